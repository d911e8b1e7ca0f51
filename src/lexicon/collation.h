// The one comparison of headwords used wherever the dictionary's order
// matters: ICU's Portuguese (Brazil) collation at the secondary strength.
//
// - Case never distinguishes two texts: "House" and "house" are equal.
// - Accents distinguish, at the second level: "pé" and "pe" differ and sort
//   next to each other ("pe" first); "ação" sorts among the "a" words.
// - Blanks, hyphens and apostrophes are ordinary characters that sort before
//   every digit and letter (blank, then hyphen, then apostrophe): "a lot of"
//   comes before "aaron", and "co-op" before "coal". So every phrase headword
//   follows right after its first word.
// - Control characters (bytes 0x01 to 0x1F) are ignored; the first sentinel's
//   headword, byte 0x01, is therefore equal to the empty text.
//
// Texts are Windows-1252 bytes.
#pragma once
#include <string>
#include <string_view>

namespace kio {

// -1, 0 or +1 as a sorts before, equal to or after b.
int CompareHeadwords(std::string_view a, std::string_view b);

// A byte string whose plain byte order (memcmp, shorter first on a common
// prefix) is the order of CompareHeadwords. Empty for a text that is equal to
// the empty text.
std::string HeadwordSortKey(std::string_view text);
void AppendHeadwordSortKey(std::string_view text, std::string& out);

// Byte-wise order of two sort keys as -1, 0 or +1.
int CompareSortKeys(std::string_view a, std::string_view b);

}  // namespace kio
