// Conversion between the program's Windows-1252 texts and UTF-8, used only
// where text leaves or enters the core: the GUI, scripts and transcripts.
#pragma once
#include <optional>
#include <string>

namespace kio {

// Every Windows-1252 byte has a Unicode form (the five unassigned bytes map
// to the C1 control of the same value, as the Unicode mapping tables do).
std::string Cp1252ToUtf8(const std::string& text);

// Returns nothing when the text holds a character Windows-1252 cannot hold,
// or is not valid UTF-8.
std::optional<std::string> Utf8ToCp1252(const std::string& text);

// Text typed on the desktop enters the core here. Nearly every text box ends
// up in an HTML page, so a character Windows-1252 cannot hold is written as
// its HTML numeric character reference "&#N;" (N in decimal), which browsers
// show as the character itself; nothing typed is lost. A byte sequence that
// is not UTF-8 counts as U+FFFD, the replacement character.
std::string Utf8ToCp1252Markup(const std::string& utf8);

// Lower case of the Windows-1252 letters (A-Z, the accented capitals, and
// Š Œ Ž Ÿ); every other byte is kept. Names of files and labels are compared
// through it.
std::string ToLower(std::string text);

// The program's fixed texts are written in UTF-8 in the sources and taken to
// Windows-1252 once; a text with no Windows-1252 form is a programming error.
std::string Win1252(const char* utf8);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The code point whose UTF-8 form starts at text[i], moving i past it. When
// the bytes there are not UTF-8 (a stray byte, a cut or overlong sequence, a
// surrogate, a value past U+10FFFF) it gives nothing and moves i one byte on.
std::optional<char32_t> NextUtf8(const std::string& text, size_t& i);

// Unicode code point of one Windows-1252 byte, and the byte for a code point
// (nothing when the code point has no Windows-1252 form).
char32_t Cp1252CodePoint(unsigned char byte);
std::optional<unsigned char> Cp1252Byte(char32_t codePoint);

// Writes CR, LF, tab and backslash as \r, \n, \t and \\ so that a text fits
// on one transcript line; UnescapeLine is its inverse for script texts.
std::string EscapeLine(const std::string& text);
std::string UnescapeLine(const std::string& text);

}  // namespace kio
