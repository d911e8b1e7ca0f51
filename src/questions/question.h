// A question bank as the exchange formats describe it, independent of any of
// them and of KIO's activities: the readers fill it, the writers write it,
// and the mapping to KIO's documents reads and builds it. Every text here is
// UTF-8, as the formats hold it.
#pragma once
#include <string>
#include <vector>

namespace kio::questions {

// How a text is to be read: HTML, the platforms' "auto" form (text whose
// line breaks count and where HTML tags may stand), plain text, Markdown.
enum class TextFormat { kAuto, kHtml, kPlain, kMarkdown };

struct RichText {
  std::string text;
  TextFormat format = TextFormat::kAuto;
  bool operator==(const RichText&) const = default;
};

enum class QuestionKind {
  kMultipleChoice,  // one or several right answers
  kTrueFalse,
  kShortAnswer,
  kMatching,
  kCloze,        // a text with gaps: missing word, embedded answers
  kDescription,  // text only, nothing to answer
  kNumerical,
  kEssay,
  kOther,  // calculated and every other kind: named by `typeName`
};

// One answer (or one option): its text, its weight in percent (100 is
// right, 0 wrong, negative a penalty; a part of 100 for one of several right
// answers), and its feedback.
struct Answer {
  RichText text;
  double fraction = 0;
  RichText feedback;
  bool operator==(const Answer&) const = default;
};

struct MatchPair {
  RichText question;
  std::string answer;
  bool operator==(const MatchPair&) const = default;
};

// One gap of a text with gaps: the answers it offers, each with its weight.
// `choice` when the gap offers its answers to pick from (a list, buttons),
// as against a gap to type into.
struct Gap {
  std::vector<Answer> answers;
  bool choice = false;
  bool operator==(const Gap&) const = default;
};

struct Question {
  QuestionKind kind = QuestionKind::kDescription;
  std::string typeName;  // the format's own name of the kind ("calculated")
  std::string name;
  std::string category;  // the category in force where the question stands
  RichText text;         // for kCloze: the text before the first gap
  RichText generalFeedback;
  std::vector<Answer> answers;
  bool singleAnswer = true;    // multiple choice: one answer to pick
  bool trueFalseRight = true;  // true/false: the right value
  std::vector<MatchPair> pairs;
  // kCloze: gaps[i] stands between text (i == 0) or after[i - 1] and after[i].
  std::vector<Gap> gaps;
  std::vector<std::string> after;
  // Where the question begins in its file: a line (text formats) or the
  // question's number (counted from 1) when the format has no lines.
  size_t line = 0;
  // The comment lines written just before the question in formats that have
  // comments ("// ..." in GIFT, <!-- --> in Moodle XML), without markers.
  std::vector<std::string> comments;
  bool operator==(const Question&) const = default;
};

struct QuestionBank {
  std::vector<Question> questions;
  // Comments that stand before the first question and belong to none:
  // the bank's own.
  std::vector<std::string> comments;
};

// A name for a question in messages: its name, or the beginning of its text.
std::string QuestionLabel(const Question& question);
// The format's name of a question kind ("multichoice", "truefalse"...).
std::string KindName(const Question& question);

}  // namespace kio::questions
