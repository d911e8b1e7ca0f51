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
  return ItemCheckOf(CheckMultipleItem(item, current));
}

CMultipleDlg::CMultipleDlg() : CListActivityDlg(MultipleKind()) {}

}  // namespace kio
