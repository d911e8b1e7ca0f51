// One result as a student's page sends it, and the checks every posted form
// passes before anything is stored.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kio::results {

// Field limits, in characters (Unicode code points) of the decoded text.
inline constexpr size_t kMaxNameChars = 100;
inline constexpr size_t kMaxFileChars = 255;
inline constexpr size_t kMaxDetailsChars = 4000;
inline constexpr size_t kMaxActivityChars = 32;
// The largest body accepted, in bytes: the longest valid form, every
// character percent-encoded, fits well inside it.
inline constexpr size_t kMaxBodyBytes = 64 * 1024;

// A result as the page gave it (UTF-8 texts), checked.
struct ResultPost {
  std::string activity;        // "cloze", "eclipse", ...
  std::string file;            // the page's file name
  std::string name;            // the student's name, trimmed
  std::string score;           // as shown on the page: "75%", "-", "3/4"
  std::optional<int> percent;  // the score as 0..100; none for "-"
  std::string details;         // line breaks kept as "\n"
  std::string date;            // YYYY-MM-DD, the student's clock
  std::string time;            // HH:MM or HH:MM:SS, the student's clock
  std::string id;              // optional token the page sends again on a retry
  std::string teacher;         // the token of the address it was posted to; "" for none
};

using FormFields = std::vector<std::pair<std::string, std::string>>;

// Decodes an application/x-www-form-urlencoded body ("+" is a blank,
// "%XX" a byte). Returns nothing when an escape is malformed.
std::optional<FormFields> DecodeFormBody(const std::string& body);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& text);

// Checks the fields of one post. On failure returns the message a page or a
// person reading the answer can act on, naming the field.
struct CheckedPost {
  std::optional<ResultPost> result;
  std::string error;
};
CheckedPost CheckResultPost(const FormFields& fields);

// The score as a percentage, when it is one of the forms the pages send:
// "N%" or "N" (0 to 100), "A/B" (0 <= A <= B, B > 0), or "-" for none.
// Returns false for anything else.
bool ParseScore(const std::string& score, std::optional<int>& percent);

// Bytes as lower-case hexadecimal, two digits a byte.
std::string Hex(const unsigned char* bytes, size_t size);

// A key that identifies one result, so that a post sent twice (a retry after
// a lost answer, a double click) is stored once: the page's id when it sent
// one, otherwise a digest of every field.
std::string DeduplicationKey(const ResultPost& post);

}  // namespace kio::results
