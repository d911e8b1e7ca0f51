// Teacher texts and file names written into a page, escaped for the place
// they land, so that a name like "it's.htm" or "<img onerror=...>.htm" shows
// as itself and runs nothing. Names without the characters these escape
// come out unchanged.
#pragma once
#include <string>

namespace kio {

// As HTML text (between tags): "&", "<" and ">" as character references.
std::string HtmlText(const std::string& text);

// As the value of an HTML attribute in double or single quotes: HtmlText
// and both quotes as character references.
std::string HtmlAttribute(const std::string& text);

// As a single-quoted script string inside a "javascript:" address in an
// attribute (href="javascript:Abre1('NAME',...)"): ScriptString, then "%"
// written "\x25" so that the address's own decoding cannot make a quote of
// "%27", then HtmlAttribute.
std::string ScriptStringInAddressAttribute(const std::string& text);

}  // namespace kio
