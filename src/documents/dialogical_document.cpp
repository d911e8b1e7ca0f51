#include "documents/dialogical_document.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/script_string.h"

namespace kio {

namespace {

std::vector<std::string> AnswersOf(const Item& item) {
  std::string answers = ReplaceAll(item[kItemFourth], "\r\n", " ");
  if (answers == "#") answers = " ";
  std::vector<std::string> parts = SplitAtPlus(answers);
  for (std::string& part : parts) part = ScriptString(RotateAnswer(part));
  return parts;
}

// Feedback parts, each rendered, escaped and followed by blank lines.
std::vector<std::string> FeedbackOf(const std::string& field, const std::string& lineBreak,
                                    PageBuild& build) {
  std::string text = ReplaceAll(field, "\r\n", lineBreak);
  if (text == "#") text = " ";
  std::vector<std::string> parts = SplitAtPlus(text);
  for (std::string& part : parts) part = ScriptText(part, build) + "<br> <br> <br> ";
  return parts;
}

}  // namespace

const ListActivityFormat kDialogicalFormat = {"gab", "tmplate_dial.htm", BuildDialogicalData};

std::string RotateAnswer(std::string text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (char& c : text)
    if (size_t p = alphabet.find(c); c != '\0' && p != std::string::npos)
      c = alphabet[(p + 10) % alphabet.size()];
  return text;
}

std::string BuildDialogicalData(const std::vector<Item>& items, PageBuild& build) {
  return FileAndQuestionSections(items, build) + "\r\n\r\n" +
         ItemSection(
             items, "nr", [](const Item& item) { return std::to_string(1 + CountPlus(item[kItemFifth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(
             items, "nf", [](const Item& item) { return std::to_string(CountPlus(item[kItemSixth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(items, "Avalia", [](const Item& item) { return ScriptString(item[kItemAssessed]); }) +
         "\r\n\r\n" + ArraySection(items, "Resposta", AnswersOf, true, true) + "\r\n\r\n" +
         ArraySection(items, "Certa",
                      [&build](const Item& item) { return FeedbackOf(item[kItemFifth], " <br> ", build); }) +
         "\r\n\r\n" + ArraySection(items, "Errada", [&build](const Item& item) {
           return FeedbackOf(item[kItemSixth], "<br>", build);
         });
}

}  // namespace kio
