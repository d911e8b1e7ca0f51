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
  return ItemCheckOf(CheckDialogicalItem(item, current));
}

CDialogicalDlg::CDialogicalDlg() : CListActivityDlg(DialogicalKind()) {}

}  // namespace kio
