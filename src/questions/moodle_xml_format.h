// Moodle XML, the question-bank format of the learning platforms: a <quiz>
// of <question> elements, one per question, each with its type. Read with
// libxml2, with the network, external entities and document types off.
#pragma once
#include "questions/question_format.h"

namespace kio::questions {

class MoodleXmlFormat : public QuestionFormat {
 public:
  std::string Name() const override { return "moodlexml"; }
  std::string NameFilter() const override { return "Moodle XML (*.xml)"; }
  std::vector<std::string> Extensions() const override { return {"xml"}; }
  bool CanRead(const std::string& bytes) const override;
  bool CanWrite() const override { return true; }
  bool Read(const std::string& bytes, QuestionBank& bank) override;
  bool Write(const QuestionBank& bank, std::string& bytes) override;

 private:
  bool DocumentTypeRefused() {
    return RaiseError(
        "The file declares a document type (<!DOCTYPE>), which a Moodle XML file never does; it is not "
        "read.");
  }
};

// The gaps of a text with embedded answers ({1:SHORTANSWER:=a~=b}) taken
// out into `question` (text, gaps, after). False with `error` set for a gap
// that is begun and not ended.
bool ParseEmbeddedAnswers(const std::string& text, Question& question, std::string& error);
// The embedded-answer form of one gap.
std::string EmbeddedAnswer(const Gap& gap);

}  // namespace kio::questions
