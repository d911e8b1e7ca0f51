#include "questions/question_format.h"

#include "fileio/file.h"
#include "questions/aiken_format.h"
#include "questions/gift_format.h"
#include "questions/moodle_xml_format.h"

namespace kio::questions {

std::vector<std::unique_ptr<QuestionFormat>> QuestionFormats() {
  std::vector<std::unique_ptr<QuestionFormat>> formats;
  formats.push_back(std::make_unique<GiftFormat>());
  formats.push_back(std::make_unique<MoodleXmlFormat>());
  formats.push_back(std::make_unique<AikenFormat>());
  return formats;
}

std::unique_ptr<QuestionFormat> FormatNamed(const std::string& name) {
  for (auto& f : QuestionFormats())
    if (f->Name() == name) return std::move(f);
  return nullptr;
}

std::unique_ptr<QuestionFormat> FormatForFileName(const std::string& fileName) {
  const std::string lower = ToLower(fileName);
  const size_t dot = lower.rfind('.');
  if (dot == std::string::npos) return nullptr;
  const std::string ext = lower.substr(dot + 1);
  for (auto& f : QuestionFormats())
    for (const std::string& e : f->Extensions())
      if (e == ext) return std::move(f);
  return nullptr;
}

bool ReadQuestionFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  File file;
  if (!file.Open(path, File::kRead)) {
    error = "Cannot open " + path + ".";
    return false;
  }
  try {
    const uint64_t length = file.Length();
    if (length > kMaxQuestionFileBytes) {
      error = "The file " + path + " is " + std::to_string(length >> 20) +
              " MB long; a question bank is read up to " + std::to_string(kMaxQuestionFileBytes >> 20) +
              " MB. Split it into smaller files.";
      return false;
    }
    bytes = file.ReadAll();
  } catch (const FileError&) {
    error = "Cannot read " + path + ".";
    return false;
  }
  return true;
}

}  // namespace kio::questions
