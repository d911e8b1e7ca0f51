// Text helpers shared by the question formats and their mapping.
#pragma once
#include <string>

#include "questions/question.h"

namespace kio::questions {

// Takes a file's bytes to UTF-8 text with line feeds only: a UTF-8 byte
// order mark is dropped, CR LF and lone CR become LF, and a file that is not
// UTF-8 but plainly text is read as Windows-1252 (as older editors save).
// False with `error` set for a file that is not text at all (a zero byte,
// or control characters that no text holds).
bool DecodeTextFile(const std::string& bytes, std::string& text, std::string& error);

// Blanks (space, tab, line breaks) off both ends.
std::string Trim(const std::string& text);

// The text of an HTML fragment: tags taken out, a line break for <br>, </p>,
// </div> and </li>, the character references decoded, runs of blanks kept.
std::string HtmlToText(const std::string& html);
// The same for a rich text whatever its format: HTML and the auto form lose
// their tags; plain text and Markdown are kept as they are.
std::string PlainText(const RichText& text);

// &, <, > and " as character references.
std::string EscapeXml(const std::string& text);

// Encodes a text for a comment line of any format: '%', '-', line breaks
// and other control characters as %XX, so that it never holds "--" nor
// breaks a line. DecodeCommentValue is its inverse (false for a broken %XX).
std::string EncodeCommentValue(const std::string& text);
bool DecodeCommentValue(const std::string& text, std::string& out);

// A weight written the way the formats write it: "100", "50", "33.33333",
// "-100".
std::string FormatWeight(double weight);

}  // namespace kio::questions
