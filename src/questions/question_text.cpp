#include "questions/question_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/text_encoding.h"

namespace kio::questions {

bool DecodeTextFile(const std::string& bytes, std::string& text, std::string& error) {
  size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  bool utf8 = true;
  for (size_t i = start; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f')) {
      error = "This is not a text file: it holds a control byte (" + std::to_string(c) + ") at byte " +
              std::to_string(i + 1) + ".";
      return false;
    }
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t at = i;
    if (utf8 && !NextUtf8(bytes, at)) utf8 = false;
    i = utf8 ? at : i + 1;
  }
  std::string in = bytes.substr(start);
  if (!utf8) in = Cp1252ToUtf8(in);
  text.clear();
  text.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\r') {
      text += '\n';
      if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else {
      text += in[i];
    }
  }
  return true;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n\f";
  size_t b = text.find_first_not_of(blanks);
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(blanks);
  return text.substr(b, e - b + 1);
}

namespace {

bool StartsWithTag(const std::string& html, size_t at, const char* name) {
  size_t i = at + 1;
  if (i < html.size() && html[i] == '/') ++i;
  for (const char* p = name; *p; ++p, ++i)
    if (i >= html.size() || std::tolower(static_cast<unsigned char>(html[i])) != *p) return false;
  return i < html.size() && (html[i] == '>' || html[i] == ' ' || html[i] == '/' || html[i] == '\t');
}

// A character reference at html[at] ('&'), decoded; moves at past it.
bool DecodeReference(const std::string& html, size_t& at, std::string& out) {
  size_t semi = html.find(';', at);
  if (semi == std::string::npos || semi - at > 10) return false;
  std::string name = html.substr(at + 1, semi - at - 1);
  char32_t code = 0;
  if (!name.empty() && name[0] == '#') {
    bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    code = static_cast<char32_t>(v);
  } else if (name == "amp") {
    code = '&';
  } else if (name == "lt") {
    code = '<';
  } else if (name == "gt") {
    code = '>';
  } else if (name == "quot") {
    code = '"';
  } else if (name == "apos") {
    code = '\'';
  } else if (name == "nbsp") {
    code = 0xA0;
  } else {
    return false;
  }
  AppendUtf8(out, code);
  at = semi + 1;
  return true;
}

}  // namespace

std::string HtmlToText(const std::string& html) {
  std::string out;
  out.reserve(html.size());
  for (size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '<') {
      size_t close = html.find('>', i);
      const bool tag =
          close != std::string::npos && i + 1 < html.size() &&
          (std::isalpha(static_cast<unsigned char>(html[i + 1])) || html[i + 1] == '/' || html[i + 1] == '!');
      if (tag) {
        if (StartsWithTag(html, i, "br") ||
            (html[i + 1] == '/' &&
             (StartsWithTag(html, i, "p") || StartsWithTag(html, i, "div") || StartsWithTag(html, i, "li"))))
          out += '\n';
        i = close + 1;
        continue;
      }
    } else if (c == '&' && DecodeReference(html, i, out)) {
      continue;
    }
    out += c;
    ++i;
  }
  // A closing paragraph at the very end leaves no line break behind.
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string PlainText(const RichText& text) {
  if (text.format == TextFormat::kHtml || text.format == TextFormat::kAuto) return HtmlToText(text.text);
  return text.text;
}

std::string EscapeXml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string EncodeCommentValue(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '%' || c == '-' || c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

bool DecodeCommentValue(const std::string& text, std::string& out) {
  out.clear();
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = digit(text[i + 1]), lo = digit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

std::string FormatWeight(double weight) {
  if (std::fabs(weight - std::round(weight)) < 1e-9)
    return std::to_string(static_cast<long>(std::round(weight)));
  char b[32];
  std::snprintf(b, sizeof b, "%.5f", weight);
  std::string s = b;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

}  // namespace kio::questions
