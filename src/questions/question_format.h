// One interface for every question-bank format, and the registry the
// command line (and any screen) picks a format from. A reader returns what
// went wrong through ErrorString(); it never shows anything itself.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "questions/question.h"

namespace kio::questions {

// Largest question file read: far beyond any real bank (10,000 questions in
// GIFT take about 1 MB), small enough that reading one stays bounded.
constexpr size_t kMaxQuestionFileBytes = 16u << 20;
// Most questions one file may hold.
constexpr size_t kMaxQuestions = 100000;

class QuestionFormat {
 public:
  virtual ~QuestionFormat() = default;
  // The short name used on the command line ("gift", "aiken", "moodlexml").
  virtual std::string Name() const = 0;
  // The name a teacher reads, with its file patterns: "GIFT (*.gift *.txt)".
  virtual std::string NameFilter() const = 0;
  // Lower-case extensions that name this format, without the dot.
  virtual std::vector<std::string> Extensions() const = 0;
  // Whether the bytes look like this format (a quick look, not a read).
  virtual bool CanRead(const std::string& bytes) const = 0;
  virtual bool CanWrite() const = 0;
  // Reads a whole file's bytes (UTF-8). False with ErrorString() set when
  // the file cannot be read; the bank is then left empty.
  virtual bool Read(const std::string& bytes, QuestionBank& bank) = 0;
  // Writes the bank in this format. False with ErrorString() set when the
  // format cannot hold it.
  virtual bool Write(const QuestionBank& bank, std::string& bytes) = 0;

  const std::string& ErrorString() const { return error_; }

 protected:
  bool RaiseError(std::string message) {
    error_ = std::move(message);
    return false;
  }
  void ClearError() { error_.clear(); }

 private:
  std::string error_;
};

// Every format KIO reads, in the order a chooser lists them.
std::vector<std::unique_ptr<QuestionFormat>> QuestionFormats();
// The format of that short name; nothing when there is none.
std::unique_ptr<QuestionFormat> FormatNamed(const std::string& name);
// The format a file name's extension names; nothing when none does.
std::unique_ptr<QuestionFormat> FormatForFileName(const std::string& fileName);

// Reads a question file whole, refusing one larger than
// kMaxQuestionFileBytes before reading it. False with `error` set.
bool ReadQuestionFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace kio::questions
