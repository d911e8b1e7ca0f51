#include "platform/file_names.h"

#include "platform/text_encoding.h"

namespace kio {

std::string SystemName(const std::string& name) { return Cp1252ToUtf8(name); }

std::optional<std::string> ProgramName(const std::string& systemName) { return Utf8ToCp1252(systemName); }

std::string FirstUnfitCharacter(const std::string& systemName) {
  size_t i = 0;
  while (i < systemName.size()) {
    const size_t start = i;
    auto cp = NextUtf8(systemName, i);
    if (!cp) return "?";
    if (!Cp1252Byte(*cp)) return systemName.substr(start, i - start);
  }
  return "";
}

}  // namespace kio
