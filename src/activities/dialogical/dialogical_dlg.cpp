#include "activities/dialogical/dialogical_dlg.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/write_page.h"

namespace kio {

namespace {

ListActivityKind DialogicalKind() {
  ListActivityKind k;
  k.title = "KIO Dialogical";
  k.extension = kDialogicalFormat.extension;
  k.templateName = kDialogicalFormat.templateName;
  k.activityName = "dialogica";
  k.questions = questions::DocumentKind::kDialogical;
  k.tipsHelp = "dialogica_tips.rtf";
  k.fieldHelp = {"dial_01_seleciona.rtf", "dial_02_avalia.rtf", "dial_03_pergunta.rtf",
                 "dial_05_gabarito.rtf",  "dial_06_certo.rtf",  "dial_04_errado.rtf"};
  k.check = ValidateDialogicalItem;
  k.buildData = kDialogicalFormat.buildData;
  k.sameNameCaption = "KIO";
  return k;
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

CDialogicalDlg::CDialogicalDlg() : CListActivityDlg(DialogicalKind()) {}

}  // namespace kio
