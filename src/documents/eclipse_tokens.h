#pragma once
#include <string>
#include <vector>

namespace kio {

// True for the Windows-1252 bytes that are letters in Brazilian Portuguese
// (and the other Latin letters of the code page).
bool IsLetter(unsigned char byte);

// Cuts a text into tokens: each maximal run of letters is one token, every
// other character a token by itself.
std::vector<std::string> Tokenize(const std::string& text);

// The same tokens, handed one at a time to `take` until it returns false:
// a long text costs no more memory than its longest token.
template <typename Take>
void ForEachToken(const std::string& text, Take take) {
  size_t start = 0;
  for (size_t i = 1; i <= text.size(); ++i) {
    bool joined = i < text.size() && IsLetter(text[i]) && IsLetter(text[i - 1]);
    if (!joined) {
      if (!take(text.substr(start, i - start))) return;
      start = i;
    }
  }
}

}  // namespace kio
