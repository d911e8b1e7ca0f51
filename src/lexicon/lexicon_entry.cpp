#include "lexicon/lexicon_entry.h"

namespace kio {

const std::string kFirstSentinel = std::string("\x01\x1C") + "inicial" + "\x02";
const std::string kLastSentinelHeadword(20, 'z');
const std::string kLastSentinel = kLastSentinelHeadword + "\x1C" + "final" + "\x02";

namespace {
// Entry texts are read as C strings: a zero byte ends them.
size_t TextEnd(const std::string& text) {
  size_t zero = text.find('\0');
  return zero == std::string::npos ? text.size() : zero;
}
}  // namespace

std::string Headword(const std::string& text, size_t& position) {
  size_t end = TextEnd(text);
  size_t sep = text.find(kHeadwordSeparator);
  if (sep == std::string::npos || sep >= end) {
    position = 0;
    return "";
  }
  position = sep;
  return text.substr(0, sep);
}

std::string Headword(const std::string& text) {
  size_t position;
  return Headword(text, position);
}

std::string NextField(const std::string& text, size_t& position) {
  size_t end = TextEnd(text);
  for (size_t i = position + 1; i < end; ++i) {
    if (text[i] == kStopMark) break;
    if (text[i] == kEntryTerminator) {
      std::string field = text.substr(position + 1, i - position - 1);
      position = i;
      return field;
    }
  }
  position = 0;
  return "";
}

std::string NextFieldForExport(const std::string& text, size_t& position) {
  std::string field = NextField(text, position);
  size_t cut = field.find("//", 1);
  if (cut != std::string::npos) field.resize(cut);
  return field;
}

LexiconEntry MakeEntry(const std::string& headword, const std::string& body) {
  size_t end = body.size();
  while (end > 1 && (body[end - 1] == '\r' || body[end - 1] == '\n' || body[end - 1] == ' ')) --end;
  return headword + kHeadwordSeparator + body.substr(0, end) + kEntryTerminator;
}

std::string CleanHeadword(const std::string& headword) {
  size_t first = headword.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  size_t last = headword.find_last_not_of(' ');
  std::string h = headword.substr(first, last - first + 1);
  if (h[0] == '#' || h[0] == '$') {
    std::string out(1, h[0]);
    for (size_t i = 1; i < h.size(); ++i)
      if (h[i] != ' ') out += h[i];
    h = out;
  }
  return h;
}

bool EntryTextIsSound(const std::string& text) {
  size_t end = TextEnd(text);
  if (end > kLongestEntry) return false;
  int marks = 0;
  for (size_t i = 0; i < end; ++i)
    if (text[i] == kHeadwordSeparator || text[i] == kEntryTerminator) ++marks;
  return marks >= 2;
}

}  // namespace kio
