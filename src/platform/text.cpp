#include "platform/text.h"

namespace kio {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  size_t pos = text.find(from);
  if (pos == std::string::npos) return text;
  // Built in one pass: replacing in place would move the rest of the text
  // at every occurrence.
  std::string out;
  size_t start = 0;
  for (; pos != std::string::npos; pos = text.find(from, start)) {
    out.append(text, start, pos - start).append(to);
    start = pos + from.size();
  }
  out.append(text, start, std::string::npos);
  return out;
}

std::string Without(std::string text, std::initializer_list<const char*> parts) {
  for (const char* p : parts) text = ReplaceAll(std::move(text), p, "");
  return text;
}

}  // namespace kio
