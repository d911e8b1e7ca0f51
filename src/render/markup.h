// Turns the teacher's marked-up text into the HTML of the pages: brace codes
// for media, fonts and frame settings become HTML fragments or settings;
// HTML tags stay as they are and are collected for the Eclipse generator.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kio {

struct PageBuild;

// Limits of the work one rendering may do, far above what a teacher's text
// asks: a whole 14,999-byte text of media codes renders to about 3 MB, the
// collection (which takes the tags before a code again after every code)
// reaches its limit only past about a thousand pictures or three hundred
// videos in one text. Codes that write codes (a size holding "{f=", say)
// grow without end, and braces that never close make every brace try every
// later one; past a limit the rendering stops and reports it, and no page is
// written.
constexpr size_t kRenderedTextLimit = 4'000'000;      // bytes of rendered text
constexpr size_t kCollectedMarkupLimit = 16'000'000;  // bytes of collected markup
constexpr uint64_t kRenderSpanLimit = 20'000'000;     // spans "{...}" tried
constexpr uint64_t kRenderMoveLimit = 4'000'000'000;  // bytes moved by replacements

// Renders `text` in place in a page-build context: the codes change the
// context's settings and media sizes, the collection (every tag passed over
// and every replacement, each followed by a blank, with the tags before a
// code collected again after each replacement) and the marks go to it. A
// text that begins with "mmra" is rendered in memory mode (small fixed-size
// media), one that begins with "sqnc" in strip mode (codes removed); the
// prefix is removed. Any other text is rendered in plain mode. False when a
// work limit was reached: the text is then only partly rendered, and the
// context's workLimitReached is set.
bool RenderMarkup(std::string& text, PageBuild& build);

// RenderMarkup for the pages that do not read the collected markup: the
// same text and settings, nothing collected (the collection stays empty),
// so that neither its growth nor its limit holds back a long text.
bool RenderMarkupWithoutCollecting(std::string& text, PageBuild& build);

// RenderMarkup for a page that reads only the first `words` runs of
// letters of the collected markup (`isLetter` tells letters; the Eclipse
// page takes its given words so): the collection stops at the end of the
// piece that brings it to `words` runs, so that it neither grows with the
// square of the number of codes past what the page reads nor stops a long
// text at its limit. What it holds is the start of what RenderMarkup
// collects.
bool RenderMarkupCollectingWords(std::string& text, size_t words, bool (*isLetter)(unsigned char),
                                 PageBuild& build);

// The same result computed the simple way, rescanning from the start after
// every replacement. Kept as the reference the fast scan is checked and
// measured against.
bool RenderMarkupByRescanning(std::string& text, PageBuild& build);

// Longest size of videos, set by the AV dialog and the {h= and {t= codes.
constexpr size_t kMediaSizeLimit = 19;

}  // namespace kio
