#include "activities/multiple/multiple_dlg.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/write_page.h"

namespace kio {

namespace {

ListActivityKind MultipleKind() {
  ListActivityKind k;
  k.title = "The Multiple KIO";
  k.extension = "mul";
  k.templateName = "tmplate_multi.htm";
  k.activityName = "multipla";
  k.questions = questions::DocumentKind::kMultiple;
  k.tipsHelp = "multipla_tips.rtf";
  k.fieldHelp = {"dial_01_seleciona.rtf", "dial_02_avalia.rtf", "dial_03_pergunta.rtf",
                 "mult_opcoes.rtf",       "mult_feedback.rtf",  "mult_dica_geral.rtf"};
  k.check = ValidateMultipleItem;
  k.buildData = BuildMultipleData;
  k.sameNameCaption = "Oops!";
  return k;
}

// One option of an item as the page shows it, and whether it is right.
struct Option {
  std::string text;
  bool right = false;
};

std::vector<Option> OptionsOf(const std::string& options) {
  std::vector<Option> result;
  for (std::string part : SplitAtPlus(ReplaceAll(options, "\r\n", "  "))) {
    Option o;
    o.text = TrimBlanksAndPlus(ScriptText(part));
    if (!o.text.empty() && o.text[0] == '>') {
      o.text.erase(0, 1);
      o.right = true;
    }
    if (o.text == "#") o.text.clear();
    o.text = StripTags(o.text);
    result.push_back(o);
  }
  return result;
}

}  // namespace

ItemCheck ValidateMultipleItem(Item& item, size_t current) {
  ItemCheck check;
  CheckFileFlagAndQuestion(item, current, check);
  std::string& options = item[kItemFourth];
  if (options.find('>') == std::string::npos && options != "#") check.records.push_back(114);
  std::string packed;
  for (char c : options)
    if (c != ' ') packed += c;
  if (packed.find(">+") != std::string::npos) check.records.push_back(115);
  const size_t optionPlus = CountPlus(options);
  item[kItemFifth] = TrimBlanksAndPlus(item[kItemFifth]);
  const size_t feedbackPlus = CountPlus(item[kItemFifth]);
  item[kItemSixth] = TrimBlanksAndPlus(item[kItemSixth]);
  for (const std::string& text : item)
    if (text.empty()) {
      check.records.push_back(116);
      break;
    }
  if (feedbackPlus != optionPlus) check.records.push_back(117);
  if (feedbackPlus > kItemPlusLimit || optionPlus > kItemPlusLimit) check.records.push_back(118);
  return check;
}

std::string BuildMultipleData(const std::vector<Item>& items) {
  auto optionTexts = [](const Item& item) {
    std::vector<std::string> texts;
    for (const Option& o : OptionsOf(item[kItemFourth])) texts.push_back(o.text);
    return texts;
  };
  auto optionFlags = [](const Item& item) {
    std::vector<std::string> flags;
    for (const Option& o : OptionsOf(item[kItemFourth])) flags.push_back(o.right ? "1" : "0");
    return flags;
  };
  auto feedbackParts = [](const Item& item) {
    std::string feedback = ReplaceAll(item[kItemFifth], "\r\n", "<br>");
    feedback = feedback == "#" ? " " : feedback + "<br> <br> <br> ";
    std::vector<std::string> parts = SplitAtPlus(feedback);
    for (std::string& part : parts) part = ScriptText(part);
    return parts;
  };
  return FileAndQuestionSections(items) + "\r\n\r\n" +
         ItemSection(
             items, "nr", [](const Item& item) { return std::to_string(1 + CountPlus(item[kItemFifth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(items, "Avalia", [](const Item& item) { return QuotedAsStored(item[kItemAssessed]); }) +
         "\r\n\r\n" + ArraySection(items, "Golpe", optionTexts, true, true) + "\r\n\r\n\r\n" +
         ArraySection(items, "Insegura", optionFlags, false, false, "\r\n") + "\r\n\r\n" +
         ArraySection(items, "Feedback", feedbackParts) + "\r\n\r\n" +
         ItemSection(items, "Errada", [](const Item& item) { return SpacedScriptText(item[kItemSixth]); });
}

CMultipleDlg::CMultipleDlg() : CListActivityDlg(MultipleKind()) {}

}  // namespace kio
