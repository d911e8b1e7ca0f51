// GIFT, the text format in which platforms teach teachers to type
// questions: one question per paragraph, answers between braces.
#pragma once
#include "questions/question_format.h"

namespace kio::questions {

class GiftFormat : public QuestionFormat {
 public:
  std::string Name() const override { return "gift"; }
  std::string NameFilter() const override { return "GIFT (*.gift *.txt)"; }
  std::vector<std::string> Extensions() const override { return {"gift"}; }
  bool CanRead(const std::string& bytes) const override;
  bool CanWrite() const override { return true; }
  bool Read(const std::string& bytes, QuestionBank& bank) override;
  bool Write(const QuestionBank& bank, std::string& bytes) override;
};

// A text with GIFT's special characters escaped: \ ~ = # { } : and line
// breaks as \n.
std::string EscapeGift(const std::string& text);

}  // namespace kio::questions
