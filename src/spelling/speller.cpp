#include "spelling/speller.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "fileio/session.h"
#include "lang/lang_tag.h"
#include "platform/file_names.h"
#include "platform/text_encoding.h"
#include "spelling/word_finder.h"

namespace kio {

namespace {

// Caches are dropped when they grow past these, and filled again as the
// teacher types.
constexpr size_t kParagraphCacheLimit = 4096;
constexpr size_t kWordCacheLimit = 200000;

bool IsApostrophe(char c) { return c == '\'' || static_cast<unsigned char>(c) == 0x92; }

// Reads at most `limit` bytes of a file; nothing when it cannot be opened.
std::optional<std::string> ReadBounded(const std::string& path, size_t limit) {
  std::ifstream in(SystemName(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string contents(limit, '\0');
  in.read(contents.data(), static_cast<std::streamsize>(limit));
  contents.resize(static_cast<size_t>(in.gcount()));
  return contents;
}

std::vector<std::string> Lines(const std::string& contents) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Writes a whole file through a temporary beside it, so that a failed
// write leaves the old file as it was.
bool WriteWhole(const std::string& path, const std::string& contents) {
  std::string temporary = path + ".new";
  {
    std::ofstream out(SystemName(temporary), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(SystemName(temporary).c_str());
      return false;
    }
  }
  if (std::rename(SystemName(temporary).c_str(), SystemName(path).c_str()) != 0) {
    std::remove(SystemName(temporary).c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string SpellingLanguageCode(SpellingLanguage language) {
  switch (language) {
    case SpellingLanguage::kPortugueseBrazil: return "pt_BR";
    case SpellingLanguage::kEnglishUs: return "en_US";
    case SpellingLanguage::kSpanish: return "es_ES";
  }
  return "pt_BR";
}

std::optional<SpellingLanguage> SpellingLanguageFromCode(const std::string& code) {
  for (SpellingLanguage language : kSpellingLanguages)
    if (SpellingLanguageCode(language) == code) return language;
  return std::nullopt;
}

SpellingLanguage DefaultSpellingLanguage(const std::string& studentLanguageFile) {
  std::string tag = StudentLanguageTag(studentLanguageFile);
  if (tag == "en") return SpellingLanguage::kEnglishUs;
  if (tag == "es") return SpellingLanguage::kSpanish;
  return SpellingLanguage::kPortugueseBrazil;
}

// --- Speller ---

Speller::Speller(std::string dictionaryFolder) : folder_(std::move(dictionaryFolder)) {}
Speller::~Speller() = default;

Speller::PerLanguage& Speller::Current() {
  PerLanguage& in = languages_[language_];
  if (!in.dictionary) {
    in.dictionary = std::make_unique<HunspellDictionary>(folder_, SpellingLanguageCode(language_));
    // The teacher's words join the suggestions too.
    for (const std::string& word : ownWords_) in.dictionary->Add(word);
  }
  return in;
}

bool Speller::HasDictionary() { return Current().dictionary->Loaded(); }

bool Speller::KnowsIn(PerLanguage& in, const std::string& word) {
  if (ownWords_.count(word) || ownWords_.count(ToLower(word))) return true;
  auto cached = in.known.find(word);
  if (cached != in.known.end()) return cached->second;
  bool known = in.dictionary->Knows(word);
  // Portuguese and Spanish join a cut word to the next with an apostrophe
  // ("d'água", "pra'onde"): each part known is the whole known. English
  // keeps its apostrophes inside the word ("don't"), as its dictionary does.
  if (!known && language_ != SpellingLanguage::kEnglishUs &&
      std::any_of(word.begin(), word.end(), IsApostrophe)) {
    known = true;
    size_t start = 0;
    while (known && start <= word.size()) {
      size_t end = start;
      while (end < word.size() && !IsApostrophe(word[end])) ++end;
      std::string part = word.substr(start, end - start);
      if (part.size() > 1 && !ownWords_.count(part) && !in.dictionary->Knows(part)) known = false;
      start = end + 1;
    }
  }
  if (in.known.size() >= kWordCacheLimit) in.known.clear();
  in.known.emplace(word, known);
  return known;
}

const std::vector<SpellRange>& Speller::CheckParagraph(PerLanguage& in, const std::string& paragraph) {
  auto cached = in.paragraphs.find(paragraph);
  if (cached != in.paragraphs.end()) return cached->second;
  ++paragraphsChecked_;
  std::vector<SpellRange> unknown;
  for (const SpellRange& word : FindWords(paragraph))
    if (!KnowsIn(in, paragraph.substr(word.start, word.length))) unknown.push_back(word);
  if (in.paragraphs.size() >= kParagraphCacheLimit) in.paragraphs.clear();
  return in.paragraphs.emplace(paragraph, std::move(unknown)).first->second;
}

std::vector<SpellRange> Speller::Check(const std::string& text) {
  std::vector<SpellRange> out;
  PerLanguage& in = Current();
  if (!in.dictionary->Loaded()) return out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      for (const SpellRange& r : CheckParagraph(in, text.substr(start, end - start)))
        out.push_back({start + r.start, r.length});
    }
    start = end + 1;
  }
  return out;
}

bool Speller::Knows(const std::string& word) {
  PerLanguage& in = Current();
  return !in.dictionary->Loaded() || KnowsIn(in, word);
}

std::vector<std::string> Speller::Suggest(const std::string& word, size_t count) {
  return Current().dictionary->Suggest(word, count);
}

void Speller::ForgetChecked() {
  for (auto& [language, in] : languages_) {
    in.known.clear();
    in.paragraphs.clear();
  }
}

void Speller::AddOwnWord(const std::string& word) {
  if (!ownWords_.insert(word).second) return;
  for (auto& [language, in] : languages_)
    if (in.dictionary) in.dictionary->Add(word);
  ForgetChecked();
}

// --- The files ---

bool IsAcceptableOwnWord(const std::string& word) {
  if (word.empty() || word.size() > kOwnWordLimit) return false;
  for (unsigned char c : word)
    if (c <= ' ' || c == 0x7F || c == 0xA0) return false;
  return true;
}

std::vector<std::string> ReadOwnWords(const std::string& path) {
  std::vector<std::string> words;
  auto contents = ReadBounded(path, kOwnWordsFileLimit);
  if (!contents) return words;
  for (std::string& line : Lines(*contents))
    if (IsAcceptableOwnWord(line)) words.push_back(std::move(line));
  return words;
}

bool AppendOwnWord(const std::string& path, const std::string& word) {
  if (!IsAcceptableOwnWord(word)) return false;
  std::ofstream out(SystemName(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out << word << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

DocumentLanguages ReadDocumentLanguages(const std::string& path) {
  DocumentLanguages out;
  auto contents = ReadBounded(path, kOwnWordsFileLimit);
  if (!contents) return out;
  for (const std::string& line : Lines(*contents)) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos || tab + 1 >= line.size()) continue;
    auto language = SpellingLanguageFromCode(line.substr(0, tab));
    if (!language) continue;
    std::string document = line.substr(tab + 1);
    auto same = std::find_if(out.begin(), out.end(), [&](const auto& e) { return e.first == document; });
    if (same != out.end()) out.erase(same);
    out.emplace_back(std::move(document), *language);
  }
  if (out.size() > kRememberedDocuments) out.erase(out.begin(), out.end() - kRememberedDocuments);
  return out;
}

bool WriteDocumentLanguages(const std::string& path, const DocumentLanguages& languages) {
  std::string contents;
  size_t first = languages.size() > kRememberedDocuments ? languages.size() - kRememberedDocuments : 0;
  for (size_t i = first; i < languages.size(); ++i)
    contents += SpellingLanguageCode(languages[i].second) + "\t" + languages[i].first + "\r\n";
  return WriteWhole(path, contents);
}

// --- The session's spell checking ---

Spelling::Spelling() : speller_(std::make_unique<Speller>()) {
  speller_->SetLanguage(DefaultSpellingLanguage(CurrentSession().appPaths.studentLanguageFile));
}

void Spelling::UseDictionaryFolder(const std::string& folder) {
  SpellingLanguage language = speller_->Language();
  speller_ = std::make_unique<Speller>(folder);
  speller_->SetLanguage(language);
  ownWordsLoaded_ = false;
}

std::string Spelling::FileInProgramFolder(const char* name) const {
  return CurrentSession().appPaths.startFolder + name;
}

void Spelling::LoadOwnWords() {
  if (ownWordsLoaded_) return;
  ownWordsLoaded_ = true;
  for (const std::string& word : ReadOwnWords(FileInProgramFolder(kOwnWordsFileName)))
    speller_->AddOwnWord(word);
}

void Spelling::UseDocument(const std::string& path) {
  LoadOwnWords();
  document_ = path;
  chosen_ = false;
  SpellingLanguage language = DefaultSpellingLanguage(CurrentSession().appPaths.studentLanguageFile);
  if (!path.empty()) {
    std::string key = ToLower(path);
    for (const auto& [document, remembered] :
         ReadDocumentLanguages(FileInProgramFolder(kDocumentLanguagesFileName)))
      if (document == key) language = remembered;
  }
  speller_->SetLanguage(language);
}

void Spelling::ChooseLanguage(SpellingLanguage language) {
  speller_->SetLanguage(language);
  chosen_ = true;
  if (!document_.empty()) Remember(document_, language);
}

void Spelling::DocumentSaved(const std::string& path) {
  if (path.empty() || ToLower(path) == ToLower(document_)) return;
  document_ = path;
  if (chosen_) Remember(path, speller_->Language());
}

void Spelling::Remember(const std::string& path, SpellingLanguage language) {
  std::string file = FileInProgramFolder(kDocumentLanguagesFileName);
  DocumentLanguages languages = ReadDocumentLanguages(file);
  std::string key = ToLower(path);
  auto same = std::find_if(languages.begin(), languages.end(), [&](const auto& e) { return e.first == key; });
  if (same != languages.end()) languages.erase(same);
  languages.emplace_back(key, language);
  WriteDocumentLanguages(file, languages);
}

std::vector<SpellRange> Spelling::Check(const std::string& text) {
  LoadOwnWords();
  return speller_->Check(text);
}

std::vector<std::string> Spelling::Suggest(const std::string& word, size_t count) {
  LoadOwnWords();
  return speller_->Suggest(word, count);
}

bool Spelling::AddOwnWord(const std::string& word) {
  if (!IsAcceptableOwnWord(word)) return false;
  LoadOwnWords();
  speller_->AddOwnWord(word);
  return AppendOwnWord(FileInProgramFolder(kOwnWordsFileName), word);
}

Spelling& CurrentSpelling() { return CurrentSession().Part<Spelling>(); }

namespace {

class SessionChecker : public SpellChecker {
 public:
  std::vector<SpellRange> Check(const std::string& text) override { return CurrentSpelling().Check(text); }
  std::vector<std::string> Suggest(const std::string& word, size_t count) override {
    return CurrentSpelling().Suggest(word, count);
  }
  void AddWord(const std::string& word) override { CurrentSpelling().AddOwnWord(word); }
};

}  // namespace

SpellChecker& SessionSpellChecker() {
  static SessionChecker checker;
  return checker;
}

}  // namespace kio
