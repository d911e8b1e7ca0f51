#include "render/script_string.h"

#include "platform/text.h"

namespace kio {

namespace {

// Whether `text` holds `lowerWord` at `at`, in any case.
bool HasAt(std::string_view text, size_t at, std::string_view lowerWord) {
  if (text.size() - at < lowerWord.size()) return false;
  for (size_t k = 0; k < lowerWord.size(); ++k) {
    char c = text[at + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerWord[k]) return false;
  }
  return true;
}

}  // namespace

std::string ScriptString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\'': out += "\\'"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '<': out += HasAt(text, i, "</script") || HasAt(text, i, "<!--") ? "\\x3C" : "<"; break;
      default: out += c;
    }
  }
  return out;
}

void EscapeScriptText(std::string& text) {
  text = ReplaceAll(ScriptString(ReplaceAll(text, "\r\n", " <br> ")), "\"", "\\\"");
}

}  // namespace kio
