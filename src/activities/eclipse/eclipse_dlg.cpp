#include "activities/eclipse/eclipse_dlg.h"

#include "fileio/file.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

TextActivityKind EclipseKind() {
  TextActivityKind k;
  k.title = "KIO Eclipse";
  k.extension = kEclipseFormat.extension;
  k.templateName = kEclipseFormat.templateName;
  k.activityName = "elipse";
  k.tipsHelp = "eclipse_tips.rtf";
  k.instructionsHelp = "eclipse_instru.rtf";
  k.textHelp = "eclipse_text.rtf";
  k.extraHelp = "eclipse_dadas.rtf";
  k.extraLimit = kEclipseFormat.extraLimit;
  k.hintRecords = {Ui::kEclipseHint, Ui::kGivenWordsHint};
  k.textLabelPt = "Texto";
  k.textLabelEn = "Text";
  k.extraLabelPt = "Palavras dadas";
  k.extraLabelEn = "Given words";
  return k;
}

}  // namespace

CEclipseDlg::CEclipseDlg() : CTextActivityDlg(EclipseKind()) {}

bool CEclipseDlg::BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) {
  EclipseData d = BuildEclipseData(fields.text, fields.extra, build, UiText(Ui::kProgramName));
  for (const Failure& notice : d.notices) ShowMessage(notice.text, notice.caption, Buttons::Ok, this);
  data = d.tokens + d.given;
  return true;
}

}  // namespace kio
