// Generated pages are written in pure ASCII, so that they read the same
// whatever character set a web server announces for them (many send
// "charset=utf-8", which would turn every Windows-1252 accented letter into
// a replacement character).
#pragma once
#include <string>

namespace kio {

// The page `page` (Windows-1252 bytes) with every character beyond ASCII
// written as an escape that means the same character where it stands:
//   - in HTML text and attributes, a numeric character reference "&#N;"
//     (N in decimal);
//   - between <script> and </script>, a JavaScript escape "\uXXXX";
//   - between <style> and </style>, a CSS escape "\XXXXXX" (six hex digits,
//     so that no blank is needed to end it).
// A character that already follows an escaping backslash (such as "\é" in a
// script string, which means "é") keeps that backslash as the start of its
// escape. Every ASCII byte is kept as it is, so a page that is pure ASCII
// already comes out unchanged.
std::string ToAsciiPage(const std::string& page);

}  // namespace kio
