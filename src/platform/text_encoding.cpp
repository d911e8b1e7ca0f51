#include "platform/text_encoding.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace kio {
namespace {

// Bytes 0x80..0x9F; the others equal their code point.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

std::optional<unsigned char> Cp1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<char32_t> NextUtf8(const std::string& text, size_t& i) {
  unsigned char c = text[i];
  int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || i + extra >= text.size()) {
    ++i;
    return std::nullopt;
  }
  char32_t value = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char d = text[i + k];
    if ((d & 0xC0) != 0x80) {
      ++i;
      return std::nullopt;
    }
    value = (value << 6) | (d & 0x3F);
  }
  static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
  if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++i;
    return std::nullopt;
  }
  i += extra + 1;
  return value;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (unsigned char c : text) AppendUtf8(out, Cp1252CodePoint(c));
  return out;
}

std::optional<std::string> Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto cp = NextUtf8(text, i);
    if (!cp) return std::nullopt;
    auto b = Cp1252Byte(*cp);
    if (!b) return std::nullopt;
    out += static_cast<char>(*b);
  }
  return out;
}

std::string Utf8ToCp1252Markup(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = NextUtf8(utf8, i).value_or(0xFFFD);
    if (auto b = Cp1252Byte(cp))
      out += static_cast<char>(*b);
    else
      out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
  }
  return out;
}

std::string ToLower(std::string text) {
  for (char& ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
      c = c - 'A' + 'a';
    else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
      c = c + 0x20;
    else if (c == 0x8A || c == 0x8C || c == 0x8E)
      c = c + 0x10;  // Š Œ Ž
    else if (c == 0x9F)
      c = 0xFF;  // Ÿ
    ch = static_cast<char>(c);
  }
  return text;
}

std::string Win1252(const char* utf8) {
  auto converted = Utf8ToCp1252(utf8);
  if (!converted) throw std::invalid_argument(std::string("no Windows-1252 form: ") + utf8);
  return *converted;
}

namespace {

// The characters a transcript line writes as a backslash and a letter.
struct LineEscape {
  char plain, letter;
};
constexpr LineEscape kLineEscapes[] = {{'\r', 'r'}, {'\n', 'n'}, {'\t', 't'}, {'\\', '\\'}};

}  // namespace

std::string EscapeLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto e = std::find_if(std::begin(kLineEscapes), std::end(kLineEscapes),
                          [c](const LineEscape& x) { return x.plain == c; });
    if (e != std::end(kLineEscapes)) {
      out += '\\';
      out += e->letter;
    } else {
      out += c;
    }
  }
  return out;
}

std::string UnescapeLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      auto e = std::find_if(std::begin(kLineEscapes), std::end(kLineEscapes),
                            [next](const LineEscape& x) { return x.letter == next; });
      if (e != std::end(kLineEscapes)) {
        out += e->plain;
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace kio
