// The Basic hypertext page: one teacher's text in the middle cell of a
// centred table of three cells, put together from the program's own pieces.
#pragma once
#include <string>

#include "documents/reading_document.h"
#include "fileio/file.h"
#include "render/page_build.h"
#include "render/page_settings.h"

namespace kio {

// Longest text the Basic page document holds.
constexpr size_t kBasicTextLimit = 59999;

// The ".hpb" document: the settings block and the text.
using BasicDocument = ReadingDocument;
// Throws FileError; a text longer than the limit is refused.
BasicDocument ReadBasicDocument(File& file);
void WriteBasicDocument(File& file, BasicDocument& document);

// The frame-2 background and box colour in the attribute forms the page's
// tags need ("body bgcolor='#FFFFFF'", "bgcolor=\"#F0E8F0\""): a bare colour
// (from a ".bg2" code or an old document) is wrapped into its form, so the
// body tag stays valid HTML.
std::string BodyColourAttribute(const std::string& background2);
std::string BoxColourAttribute(const std::string& boxColor);

// The text as the page shows it: line breaks as " <br> " first, then the
// markup codes rendered (so a code spanning a line break is not one).
std::string RenderBasicText(const std::string& text, PageBuild& build);

// The whole page: `title` is the page file's name, `rendered` the text from
// RenderBasicText.
std::string BuildBasicPage(const std::string& title, const std::string& rendered,
                           const std::string& background2, const std::string& boxColor);

// The page of a document whose file is `title`, in `build` (whose settings
// the text's codes may change).
std::string BasicPage(const BasicDocument& document, const std::string& title, PageBuild& build);

}  // namespace kio
