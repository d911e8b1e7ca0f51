// Finding the words of a teacher's text that a dictionary should look at,
// and skipping what is not prose: markup codes "{...}", HTML tags and
// character references, the gaps "[...]" of a Cloze text, addresses (URLs,
// e-mail addresses, file names such as "foto.jpg"), numbers and words with
// digits, acronyms in capitals and single letters. "+" separates the parts
// of a list like any blank. Texts are Windows-1252.
#pragma once
#include <string_view>
#include <vector>

#include "platform/spell_checker.h"

namespace kio {

// A Windows-1252 letter: A-Z, a-z, the accented letters and S, Z, OE, Y with
// their marks.
bool IsWordLetter(unsigned char c);

// The words of one paragraph (a text without line breaks, or with them: a
// code, tag or gap is looked for only up to the end of its own line), as
// offsets into `text`. A word runs over letters and digits, and over an
// apostrophe (' or the typographic one) or a hyphen that stands between
// two of them.
std::vector<SpellRange> FindWords(std::string_view text);

}  // namespace kio
