#include "questions/aiken_format.h"

#include <cctype>

#include "questions/question_text.h"

namespace kio::questions {

namespace {

// "A. text" or "A) text": the option's letter, and its text in `text`.
bool OptionLine(const std::string& line, char& letter, std::string& text) {
  if (line.size() < 3 || !std::isupper(static_cast<unsigned char>(line[0]))) return false;
  if ((line[1] != '.' && line[1] != ')') || (line[2] != ' ' && line[2] != '\t')) return false;
  letter = line[0];
  text = Trim(line.substr(3));
  return true;
}

bool AnswerLine(const std::string& line, std::string& letters) {
  if (line.compare(0, 7, "ANSWER:") != 0) return false;
  letters = Trim(line.substr(7));
  return true;
}

}  // namespace

bool AikenFormat::CanRead(const std::string& bytes) const {
  const std::string head = bytes.substr(0, 8192);
  return head.find("\nANSWER:") != std::string::npos || head.find("\rANSWER:") != std::string::npos;
}

bool AikenFormat::Read(const std::string& bytes, QuestionBank& bank) {
  ClearError();
  bank = {};
  std::string text, error;
  if (!DecodeTextFile(bytes, text, error)) return RaiseError(error);
  Question q;
  std::vector<char> letters;
  bool inOptions = false;
  size_t lineNo = 0, start = 0;
  auto fail = [&](const std::string& what) {
    bank = {};
    return RaiseError("Line " + std::to_string(lineNo) + ": " + what);
  };
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(text.substr(start, end - start));
    start = end + 1;
    ++lineNo;
    if (line.empty()) continue;
    char letter = 0;
    std::string body, answer;
    if (AnswerLine(line, answer)) {
      if (q.answers.size() < 2) return fail("ANSWER: comes before the question has two options.");
      bool found = false;
      for (size_t i = 0; i < letters.size(); ++i)
        if (answer.size() == 1 && letters[i] == answer[0]) {
          q.answers[i].fraction = 100;
          found = true;
        }
      if (!found) return fail("the answer \"" + answer + "\" is not the letter of one of the options.");
      q.kind = QuestionKind::kMultipleChoice;
      q.typeName = "multichoice";
      q.text.format = TextFormat::kPlain;
      if (bank.questions.size() >= kMaxQuestions)
        return fail("the file holds more than " + std::to_string(kMaxQuestions) + " questions.");
      bank.questions.push_back(std::move(q));
      q = Question{};
      letters.clear();
      inOptions = false;
      continue;
    }
    if (OptionLine(line, letter, body) && !q.text.text.empty()) {
      const char expected = static_cast<char>('A' + letters.size());
      if (letter != expected)
        return fail(std::string("the option ") + letter + " comes where " + expected + " was expected.");
      Answer a;
      a.text = {body, TextFormat::kPlain};
      q.answers.push_back(std::move(a));
      letters.push_back(letter);
      inOptions = true;
      continue;
    }
    if (inOptions)
      return fail("a line that is neither an option (A. ...) nor ANSWER: stands among the options.");
    if (q.text.text.empty()) {
      q.line = lineNo;
      q.text.text = line;
    } else {
      q.text.text += "\n" + line;
    }
  }
  if (!q.text.text.empty()) {
    lineNo = q.line;
    return fail("the question has no ANSWER: line.");
  }
  if (bank.questions.empty()) return RaiseError("The file holds no question.");
  return true;
}

bool AikenFormat::Write(const QuestionBank&, std::string&) {
  return RaiseError("KIO writes questions in GIFT or Moodle XML, not in Aiken.");
}

}  // namespace kio::questions
