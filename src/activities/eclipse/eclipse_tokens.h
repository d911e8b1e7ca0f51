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

}  // namespace kio
