#include "package/page_links.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/text_encoding.h"

namespace kio {
namespace {

constexpr size_t kLongestLink = 2048;

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    if (!NextUtf8(text, i)) return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// HTML character references: numeric ones and the few named ones a link
// may carry. A reference that names no character stays as it is.
std::string DecodeEntities(const std::string& text) {
  static const struct {
    const char* name;
    char32_t code;
  } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    size_t end = text.find(';', i);
    if (end == std::string::npos || end - i > 32) {
      out += text[i];
      continue;
    }
    std::string name = text.substr(i + 1, end - i - 1);
    char32_t code = 0;
    bool found = false;
    if (name.size() > 1 && name[0] == '#') {
      bool hex = name[1] == 'x' || name[1] == 'X';
      size_t start = hex ? 2 : 1;
      found = start < name.size();
      for (size_t k = start; k < name.size() && found; ++k) {
        int v = hex ? HexValue(name[k])
                    : (std::isdigit(static_cast<unsigned char>(name[k])) ? name[k] - '0' : -1);
        if (v < 0)
          found = false;
        else if (code <= 0x10FFFF)
          code = code * (hex ? 16 : 10) + v;
      }
      // A number that names no character reads as U+FFFD, as in browsers.
      if (found && (code == 0 || code > 0x10FFFF)) code = 0xFFFD;
    } else {
      for (const auto& n : kNamed) {
        if (name == n.name) {
          code = n.code;
          found = true;
        }
      }
    }
    if (!found) {
      out += text[i];
      continue;
    }
    AppendUtf8(out, code);
    i = end;
  }
  return out;
}

// Script string escapes: \uXXXX (surrogate pairs joined), \xXX, \' \" and
// \\.
std::string DecodeScriptEscapes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[i + 1];
    auto hex = [&](size_t at, size_t count, char32_t& value) {
      if (at + count > text.size()) return false;
      value = 0;
      for (size_t k = 0; k < count; ++k) {
        int v = HexValue(text[at + k]);
        if (v < 0) return false;
        value = value * 16 + v;
      }
      return true;
    };
    char32_t value = 0;
    if (next == 'u' && hex(i + 2, 4, value)) {
      i += 5;
      char32_t low = 0;
      if (value >= 0xD800 && value < 0xDC00 && i + 2 < text.size() && text[i + 1] == '\\' &&
          text[i + 2] == 'u' && hex(i + 3, 4, low) && low >= 0xDC00 && low < 0xE000) {
        value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
        i += 6;
      }
      AppendUtf8(out, value);
    } else if (next == 'x' && hex(i + 2, 2, value)) {
      AppendUtf8(out, value);
      i += 3;
    } else if (next == '\'' || next == '"' || next == '\\') {
      out += next;
      ++i;
    } else {
      // Any other backslash stays: in an attribute it is a character of
      // the link (a Windows path).
      out += text[i];
    }
  }
  return out;
}

std::string DecodePercent(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() + 0 && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
  size_t n = std::strlen(word);
  if (at + n > text.size()) return false;
  for (size_t k = 0; k < n; ++k) {
    if (std::tolower(static_cast<unsigned char>(text[at + k])) != word[k]) return false;
  }
  return true;
}

// Whether a decoded target names another site or no file: a scheme of two
// letters or more ("C:" is a drive, kept so that it is reported), or a
// reference within the page.
bool LeavesNothingToFetch(const std::string& target) {
  if (target.empty() || target[0] == '#' || target[0] == '?') return true;
  size_t colon = target.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t k = 0; k < colon; ++k) {
    char c = target[k];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  // file: addresses point at the disk, outside any course.
  return !StartsWithNoCase(target, 0, "file:");
}

// A quoted value starting at `at` (the quote, perhaps after a backslash,
// as HTML written inside a script string has it): its end and text.
bool QuotedValue(const std::string& text, size_t at, size_t& end, std::string& value) {
  bool escaped = at < text.size() && text[at] == '\\';
  size_t q = escaped ? at + 1 : at;
  if (q >= text.size() || (text[q] != '"' && text[q] != '\'')) return false;
  char quote = text[q];
  // A link is a file name: a value longer than this is not one, and the
  // bound keeps the reading of any page linear.
  size_t limit = std::min(text.size(), q + kLongestLink);
  for (size_t i = q + 1; i < limit; ++i) {
    if (text[i] == '\n' || text[i] == '\r' || text[i] == '<' || text[i] == '>') return false;
    if (escaped) {
      if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == quote) {
        value = text.substr(q + 1, i - q - 1);
        end = i + 2;
        return true;
      }
    } else if (text[i] == '\\' && i + 1 < text.size()) {
      ++i;  // an escaped character inside a script string
    } else if (text[i] == quote) {
      value = text.substr(q + 1, i - q - 1);
      end = i + 1;
      return true;
    }
  }
  return false;
}

void Add(std::vector<PageLink>& links, const std::string& written) {
  std::string trimmed = written;
  while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.front()))) trimmed.erase(0, 1);
  while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back()))) trimmed.pop_back();
  if (trimmed.empty() || trimmed == "#") return;
  // The list activities' "no file" mark and the javascript: links other
  // than Abre1 (which is read on its own) fetch nothing.
  if (StartsWithNoCase(trimmed, 0, "javascript:")) return;
  std::string target = DecodeLinkTarget(trimmed);
  if (LeavesNothingToFetch(target)) return;
  links.push_back({trimmed, target});
}

bool NameBefore(const std::string& text, size_t at, const char* name) {
  size_t n = std::strlen(name);
  if (at < n + 1 || !StartsWithNoCase(text, at - n, name)) return false;
  char before = text[at - n - 1];
  return std::isspace(static_cast<unsigned char>(before));
}

}  // namespace

std::string DecodeLinkTarget(const std::string& written) {
  std::string text = DecodeScriptEscapes(DecodeEntities(written));
  size_t cut = text.find_first_of("?#");
  if (cut != std::string::npos) text = text.substr(0, cut);
  text = DecodePercent(text);
  return IsUtf8(text) ? text : Cp1252ToUtf8(text);
}

std::string UrlPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::vector<PageLink> PageLinks(const std::string& text) {
  static const char* kAttributes[] = {"src", "href", "background", "data", "poster"};
  std::vector<PageLink> links;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '=') {
      // name = "value", the name after a blank (a tag's attribute), the
      // value quoted, perhaps with escaped quotes inside a script string.
      size_t nameEnd = i;
      while (nameEnd > 0 && text[nameEnd - 1] == ' ') --nameEnd;
      bool known = false;
      for (const char* name : kAttributes) known = known || NameBefore(text, nameEnd, name);
      if (!known) continue;
      size_t at = i + 1;
      while (at < text.size() && text[at] == ' ') ++at;
      size_t end = 0;
      std::string value;
      if (QuotedValue(text, at, end, value)) {
        // The value is read on: an Abre1 call inside it is a link too.
        Add(links, value);
      } else if (at < text.size() && text[at] != '\\' && text[at] != '"' && text[at] != '\'') {
        // An unquoted attribute value: up to a blank or the end of the tag.
        size_t stop = at;
        size_t limit = std::min(text.size(), at + kLongestLink);
        while (stop < limit && !std::strchr(" \t\r\n>", text[stop])) ++stop;
        if (stop == limit && limit != text.size()) continue;
        std::string bare = text.substr(at, stop - at);
        // Script code (x.src = y;) is not an attribute.
        if (bare.find_first_of(";(){}+") == std::string::npos) Add(links, bare);
      }
    } else if (c == 'u' && text.compare(i, 4, "url(") == 0 &&
               (i == 0 || (!std::isalnum(static_cast<unsigned char>(text[i - 1])) && text[i - 1] != '_' &&
                           text[i - 1] != '.' && text[i - 1] != '$'))) {
      // A style sheet's url(...); scripts' URL(...) objects are no link.
      size_t at = i + 4;
      while (at < text.size() && text[at] == ' ') ++at;
      size_t end = 0;
      std::string value;
      if (QuotedValue(text, at, end, value)) {
        Add(links, value);
      } else {
        size_t close = text.substr(at, kLongestLink).find(')');
        if (close != std::string::npos) close += at;
        if (close != std::string::npos && close - at < kLongestLink) {
          std::string bare = text.substr(at, close - at);
          if (bare.find_first_of("\r\n<>;{}") == std::string::npos) Add(links, bare);
        }
      }
    } else if (c == 'A' && text.compare(i, 6, "Abre1(") == 0) {
      size_t at = i + 6;
      while (at < text.size() && text[at] == ' ') ++at;
      size_t end = 0;
      std::string value;
      if (QuotedValue(text, at, end, value)) {
        // Inside href="javascript:...", the address is also %-decoded.
        Add(links, value);
        i = end - 1;
      }
    } else if (c == 'T' && text.compare(i, 6, "Texto[") == 0 &&
               (i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1])))) {
      // The list activities' item files: Texto[n] = '...'.
      size_t close = text.substr(i, 16).find(']');
      if (close != std::string::npos) close += i;
      if (close == std::string::npos || close - i > 12) continue;
      size_t at = close + 1;
      while (at < text.size() && text[at] == ' ') ++at;
      if (at >= text.size() || text[at] != '=') continue;
      ++at;
      while (at < text.size() && text[at] == ' ') ++at;
      size_t end = 0;
      std::string value;
      if (QuotedValue(text, at, end, value)) {
        Add(links, value);
        i = end - 1;
      }
    }
  }
  return links;
}

}  // namespace kio
