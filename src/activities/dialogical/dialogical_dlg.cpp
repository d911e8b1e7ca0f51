#include "activities/dialogical/dialogical_dlg.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/write_page.h"

namespace kio {

namespace {

ListActivityKind DialogicalKind() {
  ListActivityKind k;
  k.title = "KIO Dialogical";
  k.extension = "gab";
  k.templateName = "tmplate_dial.htm";
  k.activityName = "dialogica";
  k.questions = questions::DocumentKind::kDialogical;
  k.tipsHelp = "dialogica_tips.rtf";
  k.fieldHelp = {"dial_01_seleciona.rtf", "dial_02_avalia.rtf", "dial_03_pergunta.rtf",
                 "dial_05_gabarito.rtf",  "dial_06_certo.rtf",  "dial_04_errado.rtf"};
  k.check = ValidateDialogicalItem;
  k.buildData = BuildDialogicalData;
  k.sameNameCaption = "KIO";
  return k;
}

std::vector<std::string> AnswersOf(const Item& item) {
  std::string answers = ReplaceAll(item[kItemFourth], "\r\n", " ");
  if (answers == "#") answers = " ";
  std::vector<std::string> parts = SplitAtPlus(answers);
  for (std::string& part : parts) part = QuotedAsStored(RotateAnswer(part));
  return parts;
}

// Feedback parts, each rendered, escaped and followed by blank lines.
std::vector<std::string> FeedbackOf(const std::string& field, const std::string& lineBreak) {
  std::string text = ReplaceAll(field, "\r\n", lineBreak);
  if (text == "#") text = " ";
  std::vector<std::string> parts = SplitAtPlus(text);
  for (std::string& part : parts) part = ScriptText(part) + "<br> <br> <br> ";
  return parts;
}

}  // namespace

ItemCheck ValidateDialogicalItem(Item& item, size_t current) {
  ItemCheck check;
  CheckFileFlagAndQuestion(item, current, check);
  const size_t answerPlus = CountPlus(item[kItemFourth]);
  item[kItemFifth] = TrimBlanksAndPlus(item[kItemFifth]);
  const size_t rightPlus = CountPlus(item[kItemFifth]);
  item[kItemSixth] = TrimBlanksAndPlus(item[kItemSixth]);
  const size_t wrongPlus = CountPlus(item[kItemSixth]);
  for (const std::string& text : item)
    if (text.empty()) {
      check.records.push_back(116);
      break;
    }
  if (rightPlus != answerPlus) check.records.push_back(117);
  if (rightPlus > kItemPlusLimit || answerPlus > kItemPlusLimit || wrongPlus > kItemPlusLimit)
    check.records.push_back(118);
  return check;
}

std::string RotateAnswer(std::string text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (char& c : text)
    if (size_t p = alphabet.find(c); c != '\0' && p != std::string::npos)
      c = alphabet[(p + 10) % alphabet.size()];
  return text;
}

std::string BuildDialogicalData(const std::vector<Item>& items) {
  return FileAndQuestionSections(items) + "\r\n\r\n" +
         ItemSection(
             items, "nr", [](const Item& item) { return std::to_string(1 + CountPlus(item[kItemFifth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(
             items, "nf", [](const Item& item) { return std::to_string(CountPlus(item[kItemSixth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(items, "Avalia", [](const Item& item) { return QuotedAsStored(item[kItemAssessed]); }) +
         "\r\n\r\n" + ArraySection(items, "Resposta", AnswersOf, true, true) + "\r\n\r\n" +
         ArraySection(items, "Certa",
                      [](const Item& item) { return FeedbackOf(item[kItemFifth], " <br> "); }) +
         "\r\n\r\n" +
         ArraySection(items, "Errada", [](const Item& item) { return FeedbackOf(item[kItemSixth], "<br>"); });
}

CDialogicalDlg::CDialogicalDlg() : CListActivityDlg(DialogicalKind()) {}

}  // namespace kio
