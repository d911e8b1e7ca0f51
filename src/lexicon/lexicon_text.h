// Dictionaries as text: the dictionary editor's text export layout, dictd
// dictionaries (such as FreeDict's), and putting many entries into the store
// at once.
//
// The text layout: for each entry, its headword, CR LF, the body's first
// field (cut before a "//" at index 1 or later), CR LF, CR LF. Reading it
// back takes a block of lines separated by empty lines: the first line is
// the headword, the others, joined by CR LF, the body.
//
// The whole layout (kio-lexicon's export) writes the whole body instead,
// notes after "//" and further lines included, and writes an empty line of
// the body as a line holding one blank; reading takes a body line of one
// blank back as an empty line. So every entry the editor or an import made
// comes back byte for byte.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "lexicon/lexicon_entry.h"

namespace kio {

class LexiconStore;

struct TextEntry {
  std::string headword;  // Windows-1252
  std::string body;
  // When set, the whole entry text to store as it is (another dictionary's
  // entry); headword and body are then not used.
  LexiconEntry entry;
  size_t line = 0;  // the headword's line in a text layout, from 1
};

// One entry in the text layout.
std::string ExportEntryText(const LexiconEntry& entry);
// One entry in the whole layout.
std::string ExportWholeEntryText(const LexiconEntry& entry);

// Reads the text layout. Windows-1252 is expected; a file that is valid
// UTF-8 holding characters beyond ASCII is taken as UTF-8 and converted by
// Utf8ToCp1252Lossy. Line ends may be CR LF or LF.
std::vector<TextEntry> ParseTextLayout(const std::string& bytes);

// UTF-8 to Windows-1252: characters that have no Windows-1252 form are
// transliterated to Latin letters where ICU knows how (ń becomes n), and
// dropped otherwise; bytes that are not UTF-8 are dropped.
std::string Utf8ToCp1252Lossy(const std::string& utf8);

// Reads a dictd dictionary from its ".index" file, with the ".dict" or
// ".dict.dz" beside it. Each article becomes one entry per headword of its
// first line ("aesthetic, esthetic" gives two); the pronunciation between
// slashes is left out, the parts of speech ("<s>", "<vt>") become a first
// body line "(s)", and the translations follow, one per line. Articles whose
// headwords are equal for the dictionary's order are joined into one entry.
// Characters encoded twice over ("Ã³" for "ó") are repaired. The database's
// own description ("00-database-...") is skipped. False, with
// `error` set, when the files cannot be read.
bool ReadDictd(const std::string& indexPath, std::vector<TextEntry>& entries, std::string& error);

struct PutReport {
  size_t offered = 0;  // entries given
  size_t added = 0;    // new headwords
  size_t matched = 0;  // headwords already present (replaced or kept as ReplaceDuplicates says)
  size_t refused = 0;  // refused by the store, after its message
  std::vector<std::string> matchedHeadwords;  // the headwords matched, in the order given
};

// Puts every entry into the store, which must be updating, as the
// dictionary editor stores one: headword cleaned, body's trailing line ends
// and blanks removed. Writes the working pair once at the end.
PutReport PutEntries(LexiconStore& store, const std::vector<TextEntry>& entries);

}  // namespace kio
