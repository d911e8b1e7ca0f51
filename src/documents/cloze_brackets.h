// A Cloze text marks its gaps with square brackets. A bracket without its
// partner silently changes the gaps (a lone "]" turns everything since the
// previous bracket into one gap), so Generate asks before going on.
#pragma once
#include <optional>
#include <string>

namespace kio {

struct UnmatchedBracket {
  size_t position = 0;  // byte offset of the bracket in the text
  char bracket = 0;     // '[' or ']'
  int line = 1;         // 1-based line of the text
  std::string excerpt;  // the text around the bracket, on one line
};

// The first bracket of `text` that has no partner: a "]" with no open "[",
// a "[" opened while another is still open (the earlier one is the
// unmatched one), or a "[" never closed. Nothing when every gap is closed.
std::optional<UnmatchedBracket> FindUnmatchedBracket(const std::string& text);

// The question asked at Generate (Portuguese, then English), naming the
// bracket, its line and the text around it.
std::string UnmatchedBracketQuestion(const UnmatchedBracket& where);

}  // namespace kio
