#include "lexicon/lexicon_text.h"

#include <unicode/utf16.h>
#include <unicode/utrans.h>
#include <zlib.h>

#include <memory>
#include <unordered_map>

#include "fileio/file.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_store.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

// Splits into lines at LF, dropping a CR before it.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    size_t end = nl == std::string::npos ? text.size() : nl;
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool HasHighBytes(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

bool IsUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();)
    if (!NextUtf8(s, i)) return false;
  return true;
}

// Transliterates one character that Windows-1252 cannot hold.
class Transliterator {
 public:
  Transliterator() {
    UErrorCode status = U_ZERO_ERROR;
    const UChar id[] = u"Any-Latin; Latin-ASCII";
    trans_ = utrans_openU(id, -1, UTRANS_FORWARD, nullptr, 0, nullptr, &status);
    if (U_FAILURE(status)) trans_ = nullptr;
  }
  ~Transliterator() {
    if (trans_) utrans_close(trans_);
  }
  std::string Latin(char32_t cp) {
    std::string out;
    if (!trans_ || cp > 0x10FFFF) return out;
    UChar buf[64];
    int32_t len = 0;
    U16_APPEND_UNSAFE(buf, len, cp);
    int32_t limit = len;
    UErrorCode status = U_ZERO_ERROR;
    utrans_transUChars(trans_, buf, &len, 64, 0, &limit, &status);
    if (U_FAILURE(status)) return out;
    for (int32_t i = 0; i < len; ++i)
      if (auto b = Cp1252Byte(buf[i]); b && *b >= 0x20) out += static_cast<char>(*b);
    return out;
  }

 private:
  UTransliterator* trans_ = nullptr;
};

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool Base64Number(const std::string& s, uint64_t& value) {
  value = 0;
  if (s.empty() || s.size() > 10) return false;
  for (char c : s) {
    int d = Base64Digit(c);
    if (d < 0) return false;
    value = value * 64 + static_cast<uint64_t>(d);
  }
  return true;
}

bool ReadGzip(const std::string& path, std::string& out) {
  gzFile f = gzopen(SystemPath(path).c_str(), "rb");
  if (!f) return false;
  char buf[1 << 16];
  int n;
  while ((n = gzread(f, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  bool ok = n == 0;
  gzclose(f);
  return ok;
}

// Undoes UTF-8 that was encoded twice (read as Latin-1 and encoded again):
// "Ã³" for "ó". Each such character is the four bytes C3 xx C2 yy.
std::string RepairDoubleUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char a = s[i];
    if (a == 0xC3 && i + 3 < s.size()) {
      unsigned char b = s[i + 1], c = s[i + 2], d = s[i + 3];
      if (b >= 0x82 && b <= 0x9F && c == 0xC2 && d >= 0x80 && d <= 0xBF) {
        out += static_cast<char>(b + 0x40);
        out += static_cast<char>(d);
        i += 3;
        continue;
      }
    }
    out += static_cast<char>(a);
  }
  return out;
}

// An article's first line: "head, other /pronunciation/ <pos> <pos>".
void ParseArticle(const std::string& article, std::vector<std::string>& headwords, std::string& body) {
  std::vector<std::string> lines = Lines(article);
  headwords.clear();
  body.clear();
  if (lines.empty()) return;
  const std::string& first = lines[0];
  size_t cut = std::min(first.find(" /"), first.find(" <"));
  std::string heads = first.substr(0, cut);
  std::string rest = cut == std::string::npos ? "" : first.substr(cut);
  size_t start = 0;
  for (;;) {
    size_t comma = heads.find(", ", start);
    std::string h = Trim(heads.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!h.empty()) headwords.push_back(h);
    if (comma == std::string::npos) break;
    start = comma + 2;
  }
  std::string parts;
  for (size_t lt = rest.find('<'); lt != std::string::npos; lt = rest.find('<', lt + 1)) {
    size_t gt = rest.find('>', lt);
    if (gt == std::string::npos) break;
    std::string pos;
    for (char c : rest.substr(lt + 1, gt - lt - 1))
      if (std::isalnum(static_cast<unsigned char>(c))) pos += c;
    if (!pos.empty()) parts += (parts.empty() ? "(" : ") (") + pos;
  }
  if (!parts.empty()) body = parts + ")";
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = Trim(lines[i]);
    if (line.empty()) continue;
    if (!body.empty()) body += "\r\n";
    body += line;
  }
}

}  // namespace

std::string ExportEntryText(const LexiconEntry& entry) {
  size_t position = 0;
  std::string headword = Headword(entry, position);
  std::string body = NextFieldForExport(entry, position);
  return headword + "\r\n" + body + "\r\n\r\n";
}

std::string ExportWholeEntryText(const LexiconEntry& entry) {
  size_t position = 0;
  std::string headword = Headword(entry, position);
  // Everything between the separator and the closing 0x02.
  std::string body;
  if (position < entry.size()) {
    body = entry.substr(position + 1);
    if (!body.empty() && body.back() == kEntryTerminator) body.pop_back();
  }
  std::string out = headword + "\r\n";
  if (!body.empty())
    for (const std::string& line : Lines(body)) out += (line.empty() ? " " : line) + "\r\n";
  return out + "\r\n";
}

std::string Utf8ToCp1252Lossy(const std::string& utf8) {
  static Transliterator transliterator;
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto cp = NextUtf8(utf8, i);
    if (!cp) continue;  // not UTF-8: dropped
    if (auto b = Cp1252Byte(*cp))
      out += static_cast<char>(*b);
    else
      out += transliterator.Latin(*cp);
  }
  return out;
}

std::vector<TextEntry> ParseTextLayout(const std::string& bytes) {
  std::string text = bytes;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  // Valid UTF-8 beyond ASCII is converted, characters without a Windows-1252
  // form included.
  if (HasHighBytes(text) && IsUtf8(text)) text = Utf8ToCp1252Lossy(text);
  std::vector<TextEntry> entries;
  TextEntry current;
  bool inBlock = false, firstBodyLine = true;
  size_t number = 0;
  for (const std::string& line : Lines(text)) {
    ++number;
    if (line.empty()) {
      if (inBlock) entries.push_back(std::move(current));
      current = {};
      inBlock = false;
    } else if (!inBlock) {
      current.headword = line;
      current.line = number;
      inBlock = true;
      firstBodyLine = true;
    } else {
      if (!firstBodyLine) current.body += "\r\n";
      firstBodyLine = false;
      // A line of one blank stands for an empty line of the body.
      if (line != " ") current.body += line;
    }
  }
  if (inBlock) entries.push_back(std::move(current));
  return entries;
}

bool ReadDictd(const std::string& indexPath, std::vector<TextEntry>& entries, std::string& error) {
  std::string index;
  if (!ReadWholeFile(indexPath, index)) {
    error = "cannot read " + indexPath;
    return false;
  }
  std::string stem = indexPath;
  if (stem.size() > 6 && stem.compare(stem.size() - 6, 6, ".index") == 0) stem.resize(stem.size() - 6);
  std::string dict;
  if (!ReadWholeFile(stem + ".dict", dict) && !ReadGzip(stem + ".dict.dz", dict)) {
    error = "cannot read " + stem + ".dict or " + stem + ".dict.dz";
    return false;
  }
  std::unordered_map<std::string, size_t> byKey;
  std::vector<std::string> headwords;
  std::string body;
  for (const std::string& line : Lines(index)) {
    size_t t1 = line.find('\t');
    size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    std::string name = line.substr(0, t1);
    if (name.rfind("00database", 0) == 0 || name.rfind("00-database", 0) == 0) continue;
    uint64_t offset, length;
    if (!Base64Number(line.substr(t1 + 1, t2 - t1 - 1), offset) ||
        !Base64Number(line.substr(t2 + 1), length) || offset > dict.size() || length > dict.size() - offset)
      continue;
    ParseArticle(RepairDoubleUtf8(dict.substr(offset, length)), headwords, body);
    if (headwords.empty()) headwords.push_back(name);
    std::string body1252 = Utf8ToCp1252Lossy(body);
    for (const std::string& h : headwords) {
      std::string headword = Utf8ToCp1252Lossy(h);
      if (headword.empty()) continue;
      auto [it, fresh] = byKey.emplace(HeadwordSortKey(headword), entries.size());
      if (fresh) {
        entries.push_back({headword, body1252, {}});
      } else if (entries[it->second].body != body1252) {
        std::string& joined = entries[it->second].body;
        joined += joined.empty() || body1252.empty() ? "" : "\r\n";
        joined += body1252;
      }
    }
  }
  return true;
}

PutReport PutEntries(LexiconStore& store, const std::vector<TextEntry>& entries) {
  PutReport report;
  LexiconStore::Batch batch(store);
  for (const TextEntry& e : entries) {
    ++report.offered;
    std::string key = e.entry.empty() ? CleanHeadword(e.headword) : Headword(e.entry);
    LexiconEntry text = e.entry.empty() ? MakeEntry(key, e.body) : e.entry;
    uint32_t before = store.Count();
    if (!store.PutEntry(key, text))
      ++report.refused;
    else if (store.Count() > before)
      ++report.added;
    else {
      ++report.matched;
      report.matchedHeadwords.push_back(Headword(text));
    }
  }
  return report;
}

}  // namespace kio
