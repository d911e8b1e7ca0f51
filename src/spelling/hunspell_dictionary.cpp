#include "spelling/hunspell_dictionary.h"

#include <sys/stat.h>

#include <hunspell.hxx>

#include "platform/text_encoding.h"

namespace kio {

namespace {

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The typographic apostrophe is the plain one to a dictionary.
std::string PlainApostrophes(std::string word) {
  for (char& c : word)
    if (static_cast<unsigned char>(c) == 0x92) c = '\'';
  return word;
}

}  // namespace

HunspellDictionary::HunspellDictionary(const std::string& folder, const std::string& name) {
  std::string aff = folder + "/" + name + ".aff", dic = folder + "/" + name + ".dic";
  if (!IsFile(aff) || !IsFile(dic)) return;
  hunspell_ = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
  std::string encoding = hunspell_->get_dict_encoding();
  utf8_ = encoding == "UTF-8" || encoding == "utf-8" || encoding == "UTF8";
}

HunspellDictionary::~HunspellDictionary() = default;

bool HunspellDictionary::ToDictionary(const std::string& word, std::string& out) const {
  std::string plain = PlainApostrophes(word);
  if (utf8_) {
    out = Cp1252ToUtf8(plain);
    return true;
  }
  // ISO-8859-1 shares Windows-1252's bytes but for 0x80 to 0x9F.
  for (unsigned char c : plain)
    if (c >= 0x80 && c <= 0x9F) return false;
  out = plain;
  return true;
}

bool HunspellDictionary::FromDictionary(const std::string& word, std::string& out) const {
  if (utf8_) {
    auto converted = Utf8ToCp1252(word);
    if (!converted) return false;
    out = *converted;
    return true;
  }
  for (unsigned char c : word)
    if (c >= 0x80 && c <= 0x9F) return false;
  out = word;
  return true;
}

bool HunspellDictionary::Knows(const std::string& word) const {
  std::string w;
  if (!hunspell_ || !ToDictionary(word, w)) return false;
  return hunspell_->spell(w);
}

std::vector<std::string> HunspellDictionary::Suggest(const std::string& word, size_t count) const {
  std::vector<std::string> out;
  std::string w;
  if (!hunspell_ || count == 0 || !ToDictionary(word, w)) return out;
  for (const std::string& s : hunspell_->suggest(w)) {
    std::string converted;
    if (FromDictionary(s, converted)) out.push_back(converted);
    if (out.size() == count) break;
  }
  return out;
}

void HunspellDictionary::Add(const std::string& word) {
  std::string w;
  if (hunspell_ && ToDictionary(word, w)) hunspell_->add(w);
}

}  // namespace kio
