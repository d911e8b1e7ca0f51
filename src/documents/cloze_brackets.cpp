#include "documents/cloze_brackets.h"

#include "lang/fixed_texts.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

constexpr size_t kExcerptSide = 25;

UnmatchedBracket At(const std::string& text, size_t position) {
  UnmatchedBracket where;
  where.position = position;
  where.bracket = text[position];
  for (size_t k = 0; k < position; ++k)
    if (text[k] == '\n') ++where.line;
  // The excerpt stays within the bracket's own line.
  size_t lineStart = text.rfind('\n', position);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  size_t lineEnd = text.find_first_of("\r\n", position);
  if (lineEnd == std::string::npos) lineEnd = text.size();
  size_t from = position - lineStart > kExcerptSide ? position - kExcerptSide : lineStart;
  size_t to = lineEnd - position > kExcerptSide ? position + kExcerptSide : lineEnd;
  where.excerpt =
      (from > lineStart ? "..." : "") + text.substr(from, to - from) + (to < lineEnd ? "..." : "");
  return where;
}

}  // namespace

std::optional<UnmatchedBracket> FindUnmatchedBracket(const std::string& text) {
  std::optional<size_t> open;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '[') {
      if (open) return At(text, *open);
      open = k;
    } else if (text[k] == ']') {
      if (!open) return At(text, k);
      open.reset();
    }
  }
  if (open) return At(text, *open);
  return std::nullopt;
}

std::string UnmatchedBracketQuestion(const UnmatchedBracket& where) {
  return FixedText(Fixed::kUnmatchedBracket,
                   {std::string(1, where.bracket), std::to_string(where.line), where.excerpt});
}

}  // namespace kio
