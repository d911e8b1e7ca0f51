// Small helpers on the program's texts (Windows-1252 bytes in std::string)
// that every layer uses.
#pragma once
#include <initializer_list>
#include <string>

namespace kio {

// Replaces every occurrence of `from` in `text` by `to`, left to right.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);
// `text` with every occurrence of each of `parts` taken out, in that order.
std::string Without(std::string text, std::initializer_list<const char*> parts);

}  // namespace kio
