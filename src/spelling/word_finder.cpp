#include "spelling/word_finder.h"

#include <algorithm>
#include <cctype>

namespace kio {

namespace {

constexpr unsigned char kTypographicApostrophe = 0x92;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(unsigned char c) { return IsWordLetter(c) || IsDigit(c); }
bool IsJoiner(unsigned char c) { return c == '\'' || c == kTypographicApostrophe || c == '-'; }

bool IsUpper(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C ||
         c == 0x8E || c == 0x9F;
}

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0; }

// What ends a run of text that may be an address: blanks, the list
// separator, the openers of markup, quotes and brackets, and the
// punctuation that cannot stand inside an address.
bool EndsChunk(unsigned char c) {
  switch (c) {
    case '+':
    case '{':
    case '}':
    case '[':
    case ']':
    case '<':
    case '>':
    case '"':
    case '(':
    case ')':
    case ';':
    case ',':
    case '!':
    case '?':
    case 0x93:  // typographic double quotes
    case 0x94:
    case 0xAB:  // guillemets
    case 0xBB:
    case 0xA1:  // inverted exclamation and question marks
    case 0xBF: return true;
    default: return IsBlank(c);
  }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// An address, a file name or an e-mail address: nothing in it is prose.
bool IsAddress(std::string_view chunk) {
  if (chunk.find('@') != std::string_view::npos) return true;
  if (chunk.find("://") != std::string_view::npos) return true;
  if (StartsWithNoCase(chunk, "www.") || StartsWithNoCase(chunk, "mailto:")) return true;
  if (chunk.find('/') != std::string_view::npos || chunk.find('\\') != std::string_view::npos) return true;
  // "foto.jpg", "pagina.htm": a dot between a letter or digit and one more.
  for (size_t i = 1; i + 1 < chunk.size(); ++i)
    if (chunk[i] == '.' && IsWordChar(static_cast<unsigned char>(chunk[i - 1])) &&
        IsWordChar(static_cast<unsigned char>(chunk[i + 1])))
      return true;
  return false;
}

// Looks for the closer of markup opened before `from`, on the same line
// (a line break first: no closer). A scan is remembered, so that a text with
// many openers and no closer is still read once.
class CloserFinder {
 public:
  static constexpr size_t kNone = std::string_view::npos;
  CloserFinder(std::string_view text, char closer) : text_(text), closer_(closer) {}
  size_t Find(size_t from) {
    if (!scanned_ || from < scannedFrom_ || from > scannedTo_) {
      size_t i = from;
      while (i < text_.size() && text_[i] != closer_ && text_[i] != '\n' && text_[i] != '\r') ++i;
      scanned_ = true;
      scannedFrom_ = from;
      scannedTo_ = i;
      found_ = i < text_.size() && text_[i] == closer_ ? i : kNone;
    }
    return found_;
  }

 private:
  std::string_view text_;
  char closer_;
  bool scanned_ = false;
  size_t scannedFrom_ = 0, scannedTo_ = 0, found_ = kNone;
};

// Length of an HTML character reference at `i` ("&nbsp;", "&#233;"), or 0.
size_t ReferenceLength(std::string_view text, size_t i) {
  size_t j = i + 1;
  if (j < text.size() && text[j] == '#') ++j;
  size_t start = j;
  while (j < text.size() && j - start < 10 && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
  if (j == start || j >= text.size() || text[j] != ';') return 0;
  return j + 1 - i;
}

// Whether a found word is one to look up.
bool WorthChecking(std::string_view word) {
  if (word.size() < 2) return false;
  bool allUpper = true;
  for (unsigned char c : word) {
    if (IsDigit(c)) return false;
    if (IsWordLetter(c) && !IsUpper(c)) allUpper = false;
  }
  return !allUpper;
}

}  // namespace

bool IsWordLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
  return c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

std::vector<SpellRange> FindWords(std::string_view text) {
  std::vector<SpellRange> words;
  CloserFinder braces(text, '}'), tags(text, '>'), gaps(text, ']');
  const size_t n = text.size();
  size_t i = 0;
  // Where the last character reference ended: a word that touches one
  // ("Caf&eacute;") is only a piece of a word, and is not looked up.
  size_t referenceEnd = std::string_view::npos;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '{' || c == '[' ||
        (c == '<' && i + 1 < n &&
         (IsWordLetter(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '/' ||
          text[i + 1] == '!'))) {
      CloserFinder& finder = c == '{' ? braces : c == '[' ? gaps : tags;
      size_t close = finder.Find(i + 1);
      i = close == CloserFinder::kNone ? i + 1 : close + 1;
      continue;
    }
    if (c == '&') {
      size_t length = ReferenceLength(text, i);
      i += length ? length : 1;
      if (length) referenceEnd = i;
      continue;
    }
    if (!IsWordChar(c)) {
      ++i;
      continue;
    }
    // A run that may be an address, from here to the next blank or markup.
    size_t end = i;
    while (end < n && !EndsChunk(static_cast<unsigned char>(text[end]))) ++end;
    // A character reference inside the run ends it: "&nbsp;" is markup.
    std::string_view chunk = text.substr(i, end - i);
    size_t amp = chunk.find('&');
    if (amp != std::string_view::npos) {
      end = i + amp;
      chunk = chunk.substr(0, amp);
    }
    const bool referenceFollows = end < n && text[end] == '&' && ReferenceLength(text, end) > 0;
    if (IsAddress(chunk)) {
      i = end;
      continue;
    }
    while (i < end) {
      if (!IsWordChar(static_cast<unsigned char>(text[i]))) {
        ++i;
        continue;
      }
      size_t start = i;
      while (i < end) {
        unsigned char here = static_cast<unsigned char>(text[i]);
        if (IsWordChar(here)) {
          ++i;
        } else if (IsJoiner(here) && i + 1 < end && IsWordChar(static_cast<unsigned char>(text[i + 1]))) {
          ++i;
        } else {
          break;
        }
      }
      bool touchesReference = start == referenceEnd || (referenceFollows && i == end);
      if (!touchesReference && WorthChecking(text.substr(start, i - start)))
        words.push_back({start, i - start});
    }
  }
  return words;
}

}  // namespace kio
