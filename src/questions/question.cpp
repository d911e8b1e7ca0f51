#include "questions/question.h"

#include "questions/question_text.h"

namespace kio::questions {

std::string QuestionLabel(const Question& question) {
  if (!question.name.empty()) return question.name;
  std::string text = Trim(PlainText(question.text));
  for (char& c : text)
    if (c == '\n') c = ' ';
  if (text.size() > 40) {
    size_t cut = 40;
    // Never cut inside a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut) + "...";
  }
  if (text.empty()) text = "(no text)";
  return text;
}

std::string KindName(const Question& question) {
  if (!question.typeName.empty()) return question.typeName;
  switch (question.kind) {
    case QuestionKind::kMultipleChoice: return "multichoice";
    case QuestionKind::kTrueFalse: return "truefalse";
    case QuestionKind::kShortAnswer: return "shortanswer";
    case QuestionKind::kMatching: return "matching";
    case QuestionKind::kCloze: return "cloze";
    case QuestionKind::kDescription: return "description";
    case QuestionKind::kNumerical: return "numerical";
    case QuestionKind::kEssay: return "essay";
    case QuestionKind::kOther: break;
  }
  return "unknown";
}

}  // namespace kio::questions
