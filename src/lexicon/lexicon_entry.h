// One dictionary entry's text and the two field extractors shared by the
// store, the dictionary editor and the lexical page.
//
// An entry is: headword, byte 0x1C, body, byte 0x02. The body is free text
// that may span lines (CR LF). Byte 0x1D is a stop mark for field extraction.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kio {

using LexiconEntry = std::string;

constexpr char kHeadwordSeparator = '\x1C';
constexpr char kEntryTerminator = '\x02';
constexpr char kStopMark = '\x1D';

// A record's length must lie in 0 .. kLongestRecord to be read at all; an
// entry text must be at most kLongestEntry bytes to be accepted.
constexpr int kLongestRecord = 4094;
constexpr size_t kLongestEntry = 4093;
// What the dictionary editor reads from its headword and body fields.
constexpr size_t kLongestHeadword = 260;
constexpr size_t kLongestBody = 4000;

// The two sentinels that open and close every dictionary.
extern const std::string kFirstSentinel;  // 0x01 0x1C "inicial" 0x02
extern const std::string kLastSentinel;   // twenty z's 0x1C "final" 0x02
extern const std::string kLastSentinelHeadword;

// The characters before the first 0x1C; `position` is set to the index of
// that 0x1C, or to 0 (with an empty result) when there is none.
std::string Headword(const std::string& text, size_t& position);
std::string Headword(const std::string& text);

// The characters strictly between `position` and the next 0x02 after it;
// `position` is left on that 0x02. When a 0x1D comes first, or the text ends
// first, the result is empty and `position` is reset to 0.
std::string NextField(const std::string& text, size_t& position);

// NextField as the text export uses it: the result is cut before the first
// "//" found at index 1 or later.
std::string NextFieldForExport(const std::string& text, size_t& position);

// The entry text the editor builds: headword, 0x1C, body with its trailing
// CR, LF and blanks removed (never below its first character), 0x02.
LexiconEntry MakeEntry(const std::string& headword, const std::string& body);

// The headword as the editor's headword field cleans it: leading and
// trailing blanks stripped; for a rule or system headword (beginning with "#"
// or "$") every blank after the first character removed.
std::string CleanHeadword(const std::string& headword);

// What ValidateEntry checks, without a message: the text up to its first zero
// byte is at most kLongestEntry bytes and holds at least two bytes that are
// 0x1C or 0x02.
bool EntryTextIsSound(const std::string& text);

}  // namespace kio
