// Reading of the RTF help texts.
#pragma once
#include <string>

namespace kio {

// The readable text of an RTF document, in Windows-1252: paragraphs and line
// breaks become "\n", \'hh escapes become their byte, groups that are
// destinations (font and colour tables, \* groups) are skipped.
std::string RtfToPlainText(const std::string& rtf);

}  // namespace kio
