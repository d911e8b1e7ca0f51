// Turns the teacher's marked-up text into the HTML of the pages: brace codes
// for media, fonts and frame settings become HTML fragments or settings;
// HTML tags stay as they are and are collected for the Eclipse generator.
#pragma once
#include <string>

namespace kio {

// Renders `text` in place. A text that begins with "mmra" is rendered in
// memory mode (small fixed-size media), one that begins with "sqnc" in strip
// mode (codes removed); the prefix is removed. Any other text is rendered in
// plain mode.
void RenderMarkup(std::string& text);

// The same result computed the simple way, rescanning from the start after
// every replacement. Kept as the reference the fast scan is checked and
// measured against.
void RenderMarkupByRescanning(std::string& text);

// What the last call collected: every tag passed over and every
// replacement, each followed by a blank, with the tags before a code
// collected again after each replacement.
const std::string& CollectedMarkup();

// Longest size of videos, set by the AV dialog and the {h= and {t= codes.
constexpr size_t kMediaSizeLimit = 19;

}  // namespace kio
