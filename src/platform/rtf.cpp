#include "platform/rtf.h"

#include <cctype>
#include <vector>

#include "platform/text_encoding.h"

namespace kio {

std::string RtfToPlainText(const std::string& rtf) {
  std::string out;
  std::vector<bool> skip{false};  // per group: is it a destination to skip
  size_t i = 0;
  const size_t n = rtf.size();
  bool groupStart = false;
  while (i < n) {
    char c = rtf[i];
    if (c == '{') {
      skip.push_back(skip.back());
      groupStart = true;
      ++i;
      continue;
    }
    if (c == '}') {
      if (skip.size() > 1) skip.pop_back();
      groupStart = false;
      ++i;
      continue;
    }
    if (c == '\\') {
      if (i + 1 >= n) break;
      char d = rtf[i + 1];
      if (d == '\'' && i + 3 < n) {
        int v = std::stoi(rtf.substr(i + 2, 2), nullptr, 16);
        if (!skip.back()) out += static_cast<char>(v);
        i += 4;
      } else if (d == '*') {
        skip.back() = true;
        i += 2;
      } else if (std::isalpha(static_cast<unsigned char>(d))) {
        size_t j = i + 1;
        while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        std::string word = rtf.substr(i + 1, j - i - 1);
        size_t k = j;
        if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
          ++k;
          while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
        }
        std::string param = rtf.substr(j, k - j);
        if (k < n && rtf[k] == ' ') ++k;
        i = k;
        if (groupStart && (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                           word == "pict" || word == "header" || word == "footer"))
          skip.back() = true;
        if (skip.back()) continue;
        if (word == "par" || word == "line") out += '\n';
        else if (word == "tab") out += '\t';
        else if (word == "u" && !param.empty()) {
          auto b = Cp1252Byte(static_cast<char32_t>(std::stol(param) & 0xFFFF));
          out += b ? static_cast<char>(*b) : '?';
          if (i < n && rtf[i] != '\\' && rtf[i] != '{' && rtf[i] != '}') ++i;  // the fallback character
        } else if (word == "bullet") out += '\x95';
        else if (word == "emdash") out += '\x97';
        else if (word == "endash") out += '\x96';
        else if (word == "lquote") out += '\x91';
        else if (word == "rquote") out += '\x92';
        else if (word == "ldblquote") out += '\x93';
        else if (word == "rdblquote") out += '\x94';
      } else {
        // Escaped symbol: \\ \{ \} and others.
        if (!skip.back() && (d == '\\' || d == '{' || d == '}')) out += d;
        else if (!skip.back() && d == '~') out += '\xA0';
        i += 2;
      }
      groupStart = false;
      continue;
    }
    groupStart = false;
    if (c != '\r' && c != '\n' && !skip.back()) out += c;
    ++i;
  }
  return out;
}

}  // namespace kio
