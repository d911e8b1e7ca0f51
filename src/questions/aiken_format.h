// Aiken: multiple-choice questions as plain lines, each option after a
// letter, and the right letter on an "ANSWER:" line. Read only: KIO writes
// GIFT and Moodle XML, which hold everything Aiken does and more.
#pragma once
#include "questions/question_format.h"

namespace kio::questions {

class AikenFormat : public QuestionFormat {
 public:
  std::string Name() const override { return "aiken"; }
  std::string NameFilter() const override { return "Aiken (*.txt)"; }
  std::vector<std::string> Extensions() const override { return {}; }
  bool CanRead(const std::string& bytes) const override;
  bool CanWrite() const override { return false; }
  bool Read(const std::string& bytes, QuestionBank& bank) override;
  bool Write(const QuestionBank& bank, std::string& bytes) override;
};

}  // namespace kio::questions
