#include "activities/eclipse/eclipse_tokens.h"

#include <unicode/uchar.h>

#include <array>

#include "platform/text_encoding.h"

namespace kio {

bool IsLetter(unsigned char byte) {
  static const auto table = [] {
    std::array<bool, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = u_isalpha(static_cast<UChar32>(Cp1252CodePoint(b)));
    return t;
  }();
  return table[byte];
}

std::vector<std::string> Tokenize(const std::string& text) {
  std::vector<std::string> tokens;
  size_t start = 0;
  for (size_t i = 1; i <= text.size(); ++i) {
    bool joined = i < text.size() && IsLetter(text[i]) && IsLetter(text[i - 1]);
    if (!joined) {
      tokens.push_back(text.substr(start, i - start));
      start = i;
    }
  }
  return tokens;
}

}  // namespace kio
