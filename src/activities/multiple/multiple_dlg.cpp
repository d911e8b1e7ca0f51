#include "activities/multiple/multiple_dlg.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/write_page.h"

namespace kio {

namespace {

ListActivityKind MultipleKind() {
  ListActivityKind k;
  k.title = "The Multiple KIO";
  k.extension = kMultipleFormat.extension;
  k.templateName = kMultipleFormat.templateName;
  k.activityName = "multipla";
  k.questions = questions::DocumentKind::kMultiple;
  k.tipsHelp = "multipla_tips.rtf";
  k.fieldHelp = {"dial_01_seleciona.rtf", "dial_02_avalia.rtf", "dial_03_pergunta.rtf",
                 "mult_opcoes.rtf",       "mult_feedback.rtf",  "mult_dica_geral.rtf"};
  k.check = ValidateMultipleItem;
  k.buildData = kMultipleFormat.buildData;
  k.sameNameCaption = "Oops!";
  return k;
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

CMultipleDlg::CMultipleDlg() : CListActivityDlg(MultipleKind()) {}

}  // namespace kio
