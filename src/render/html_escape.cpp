#include "render/html_escape.h"

namespace kio {

namespace {

std::string Escaped(const std::string& text, bool quotes) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        if (quotes)
          out += "&quot;";
        else
          out += c;
        break;
      case '\'':
        if (quotes)
          out += "&#39;";
        else
          out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string HtmlText(const std::string& text) { return Escaped(text, false); }

std::string HtmlAttribute(const std::string& text) { return Escaped(text, true); }

std::string ScriptStringInAddressAttribute(const std::string& text) {
  std::string script;
  script.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '\'')
      script += '\\', script += c;
    else if (c == '%')
      script += "\\x25";
    else if (c == '\r' || c == '\n')
      script += c == '\r' ? "\\r" : "\\n";
    else
      script += c;
  }
  return HtmlAttribute(script);
}

}  // namespace kio
