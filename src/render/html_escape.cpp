#include "render/html_escape.h"

#include "render/script_string.h"

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
  // The script string's own escaping, then "%" (which it leaves alone) as
  // "\x25", then the attribute's.
  std::string script;
  for (char c : ScriptString(text)) {
    if (c == '%')
      script += "\\x25";
    else
      script += c;
  }
  return HtmlAttribute(script);
}

}  // namespace kio
