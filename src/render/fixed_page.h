// What the pages put together from fixed pieces (Basic, Menu, Index) gain
// so that they work on a phone and with a screen reader, beside their fixed
// pieces: the page language on the root element, a viewport line and a
// short style sheet for narrow screens at the top of the head, a main
// landmark around what the page shows, and its title as the first-level
// heading where the page shows one.
#pragma once
#include <string>

namespace kio {

// "<html lang=\"TAG\">", TAG the student language's (StudentLanguageTag).
std::string FixedPageRoot();

// The viewport line, then a style sheet that on a narrow screen sets the
// page's own text to at least 16 px and keeps tables, pictures and media
// within the width; each line ends in `lineEnd`. Its selectors outweigh the
// fixed style sheets' element rules that come after it; their class rules
// (headings, links) keep their own sizes.
std::string PhoneHead(const std::string& lineEnd);

// The script of the Menu and Index pages that opens a linked page in a
// window of its own (Abre1), as both pages carry it.
extern const char kWindowOpenerScript[];

// Opens the page's first-level heading, in the look of the text around it.
constexpr char kPageHeadingOpen[] = "<h1 style=\"margin:0;font:inherit;text-align:center\">";
constexpr char kPageHeadingClose[] = "</h1>";

}  // namespace kio
