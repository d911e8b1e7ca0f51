#include "documents/eclipse_tokens.h"

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
  ForEachToken(text, [&tokens](std::string token) {
    tokens.push_back(std::move(token));
    return true;
  });
  return tokens;
}

}  // namespace kio
