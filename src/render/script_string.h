// The one escaping of a teacher's text (or a file name) for the inside of a
// single-quoted script string in a page. Every page builder passes what it
// puts between quotes in a page's script through here, after turning the
// text's line breaks into the page's own form.
#pragma once
#include <string>
#include <string_view>

namespace kio {

// `text` as the inside of a single-quoted script string, so that the
// string holds exactly `text` and nothing in it ends the string or the
// script around it: a backslash and an apostrophe get a backslash, a
// carriage return and a line feed (alone or paired) become \r and \n, and
// the "<" of "</script" and of "<!--" (any case) becomes \x3C, which the
// page's HTML reader does not take for the end of the script. A text
// without these characters comes back as it is.
std::string ScriptString(std::string_view text);

// A rendered text as the instructions and the list activities' texts carry
// it in their script strings: line breaks (CR LF) as " <br> ", escaped by
// ScriptString, double quotes escaped as well.
void EscapeScriptText(std::string& text);

}  // namespace kio
