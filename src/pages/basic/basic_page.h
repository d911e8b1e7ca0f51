// The Basic hypertext page: one teacher's text in the middle cell of a
// centred table of three cells, put together from the program's own pieces.
#pragma once
#include <string>

namespace kio {

// Longest text the Basic page document holds.
constexpr size_t kBasicTextLimit = 59999;

// The frame-2 background and box colour in the attribute forms the page's
// tags need ("body bgcolor='#FFFFFF'", "bgcolor=\"#F0E8F0\""): a bare colour
// (from a ".bg2" code or an old document) is wrapped into its form, so the
// body tag stays valid HTML.
std::string BodyColourAttribute(const std::string& background2);
std::string BoxColourAttribute(const std::string& boxColor);

// The text as the page shows it: line breaks as " <br> " first, then the
// markup codes rendered (so a code spanning a line break is not one).
std::string RenderBasicText(const std::string& text);

// The whole page: `title` is the page file's name, `rendered` the text from
// RenderBasicText.
std::string BuildBasicPage(const std::string& title, const std::string& rendered,
                           const std::string& background2, const std::string& boxColor);

}  // namespace kio
