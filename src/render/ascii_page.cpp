#include "render/ascii_page.h"

#include <cstdio>
#include <string>

#include "platform/text_encoding.h"

namespace kio {

namespace {

enum class Context { kHtml, kScript, kStyle };

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
  for (size_t k = 0; word[k]; ++k) {
    if (at + k >= text.size()) return false;
    char c = text[at + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[k]) return false;
  }
  return true;
}

// True when the tag name `name` starts at `at` and ends there (a blank, "/"
// or ">" follows, or the text ends).
bool TagNameAt(const std::string& text, size_t at, const char* name) {
  if (!StartsWithNoCase(text, at, name)) return false;
  size_t end = at + std::char_traits<char>::length(name);
  if (end >= text.size()) return true;
  char c = text[end];
  return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Whether the next character written after `out` follows an odd run of
// backslashes, that is, stands escaped.
bool Escaped(const std::string& out) {
  size_t run = 0;
  for (size_t k = out.size(); k > 0 && out[k - 1] == '\\'; --k) ++run;
  return run % 2 == 1;
}

void AppendHex(std::string& out, char32_t code, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*x", digits, static_cast<unsigned>(code));
  out += buffer;
}

}  // namespace

std::string ToAsciiPage(const std::string& page) {
  std::string out;
  out.reserve(page.size() + page.size() / 8);
  Context context = Context::kHtml;
  for (size_t i = 0; i < page.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(page[i]);
    if (c < 0x80) {
      if (c == '<') {
        if (context == Context::kHtml) {
          if (TagNameAt(page, i + 1, "script"))
            context = Context::kScript;
          else if (TagNameAt(page, i + 1, "style"))
            context = Context::kStyle;
          // The start tag itself is HTML up to its ">": its attributes are
          // still references. The raw text begins after it.
          if (context != Context::kHtml) {
            size_t close = page.find('>', i);
            size_t stop = close == std::string::npos ? page.size() : close + 1;
            for (; i < stop; ++i) {
              const unsigned char t = static_cast<unsigned char>(page[i]);
              if (t < 0x80)
                out += static_cast<char>(t);
              else
                out += "&#" + std::to_string(Cp1252CodePoint(t)) + ";";
            }
            --i;
            continue;
          }
        } else if (page.compare(i + 1, 1, "/") == 0 &&
                   TagNameAt(page, i + 2, context == Context::kScript ? "script" : "style")) {
          context = Context::kHtml;
        }
      }
      out += static_cast<char>(c);
      continue;
    }
    const char32_t code = Cp1252CodePoint(c);
    switch (context) {
      case Context::kHtml: out += "&#" + std::to_string(code) + ";"; break;
      case Context::kScript:
        out += Escaped(out) ? "u" : "\\u";
        AppendHex(out, code, 4);
        break;
      case Context::kStyle:
        if (!Escaped(out)) out += '\\';
        AppendHex(out, code, 6);
        break;
    }
  }
  return out;
}

}  // namespace kio
