#include "activities/multiple/multiple_dlg.h"

#include "fileio/failure.h"
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
  k.sameNameCaption = OopsCaption();
  return k;
}

}  // namespace

ItemCheck ValidateMultipleItem(Item& item, size_t current) {
  ItemCheck check;
  CheckFileFlagAndQuestion(item, current, check);
  std::string& options = item[kItemFourth];
  if (options.find('>') == std::string::npos && options != "#")
    check.records.push_back(Ui::kCheckRightOption);
  std::string packed;
  for (char c : options)
    if (c != ' ') packed += c;
  if (packed.find(">+") != std::string::npos) check.records.push_back(Ui::kCheckEmptyOption);
  const size_t optionPlus = CountPlus(options);
  item[kItemFifth] = TrimBlanksAndPlus(item[kItemFifth]);
  const size_t feedbackPlus = CountPlus(item[kItemFifth]);
  item[kItemSixth] = TrimBlanksAndPlus(item[kItemSixth]);
  for (const std::string& text : item)
    if (text.empty()) {
      check.records.push_back(Ui::kCheckEmptyBox);
      break;
    }
  if (feedbackPlus != optionPlus) check.records.push_back(Ui::kCheckFeedbackCount);
  if (feedbackPlus > kItemPlusLimit || optionPlus > kItemPlusLimit)
    check.records.push_back(Ui::kCheckPartLimit);
  return check;
}

std::string BuildMultipleData(const std::vector<Item>& items) {
  return InSessionBuild([&](PageBuild& build) { return BuildMultipleData(items, build); });
}

CMultipleDlg::CMultipleDlg() : CListActivityDlg(MultipleKind()) {}

}  // namespace kio
