#include "package/package_pieces.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

#include "package/page_links.h"
#include "package/scorm_script.h"
#include "render/html_escape.h"

namespace kio {

namespace {

// Non-ASCII characters of a UTF-8 text as &#N; so that the page stays pure
// ASCII like every page the program writes.
std::string AsciiMarkup(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    unsigned long code = c & (0x3F >> extra);
    size_t k = 1;
    for (; k <= static_cast<size_t>(extra) && i + k < utf8.size(); ++k)
      code = (code << 6) | (utf8[i + k] & 0x3F);
    out += "&#" + std::to_string(code) + ";";
    i += k;
  }
  return out;
}

}  // namespace

std::string OpeningPage(const std::string& title, const std::string& target) {
  std::string name = AsciiMarkup(HtmlAttribute(title));
  std::string href = HtmlAttribute(UrlPath(target));
  return "<!DOCTYPE html>\n<html lang=\"und\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
         name + "</title>\n<meta http-equiv=\"refresh\" content=\"0; url=" + href +
         "\">\n</head>\n<body>\n<p><a href=\"" + href + "\">" + name + "</a></p>\n</body>\n</html>\n";
}

std::string WithPlatformScript(const std::string& page, const std::string& version, int mastery) {
  std::string script = "<script>\nvar KioScormSettings = { version: '" + version +
                       "', mastery: " + std::to_string(mastery) + " };\n" + ScormKitScript() + "</script>\n";
  // The last </body>, in any case.
  size_t at = std::string::npos;
  for (size_t i = page.size(); i >= 7; --i) {
    size_t start = i - 7;
    bool match = page[start] == '<' && page[start + 1] == '/';
    const char* body = "body>";
    for (int k = 0; match && k < 5; ++k) {
      match = std::tolower(static_cast<unsigned char>(page[start + 2 + k])) == body[k];
    }
    if (match) {
      at = start;
      break;
    }
  }
  if (at == std::string::npos) return page + script;
  return page.substr(0, at) + script + page.substr(at);
}

std::string Fingerprint(const std::string& text) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
  return out;
}

}  // namespace kio
