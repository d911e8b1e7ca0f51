// Reading of the RTF help texts. One RTF reader serves two outputs: plain
// text, and the HTML that the desktop's rich-text help panels display.
#pragma once
#include <string>

namespace kio {

// The readable text of an RTF document, in Windows-1252: paragraphs and line
// breaks become "\n", \'hh escapes become their byte, groups that are
// destinations (font and colour tables, \* groups) are skipped.
std::string RtfToPlainText(const std::string& rtf);

// The same document as a UTF-8 HTML fragment for a rich-text panel: one <p> per paragraph (\par; no margins,
// spaces and tabs kept), <br> for \line, <b>, <i> and <u> for bold, italic and underline,
// <span style="color:#rrggbb"> for \cf colours from the colour table, align="center" and the like for \qc,
// \qr and \qj. Text is escaped (&amp; &lt; &gt; &nbsp;), \'hh bytes are read as Windows-1252, \u characters
// are kept as they are. Damaged input (unbalanced braces, cut-off escapes, out-of-range numbers) gives a
// best-effort result, never an error.
std::string RtfToHtml(const std::string& rtf);

}  // namespace kio
