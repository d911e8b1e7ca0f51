#include "activities/sequence/sequence_dlg.h"

#include "dialogs/list_editor.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

TextActivityKind SequenceKind() {
  TextActivityKind k;
  k.title = "KIO Sequence";
  k.extension = kSequenceFormat.extension;
  k.templateName = kSequenceFormat.templateName;
  k.activityName = "seq";
  k.tipsHelp = "sequencia_tips.rtf";
  k.instructionsHelp = "sequencia_tips.rtf";
  k.textHelp = "sequencia_text.rtf";
  k.textLimit = kSequenceTextLimit;
  k.hintRecords = {Ui::kSequenceHint};
  k.twoLineHint = true;
  k.textLabelPt = Win1252("Texto (segmentos separados por '+')");
  k.textLabelEn = "Text (segments separated by '+')";
  k.saveMode = SaveMode::kRecreate;
  k.defaultInstructionsRecord = Ui::kSequenceInstructions;
  k.pageChooserInDocumentsFolder = false;
  k.stayWhenNotSaved = true;
  return k;
}

}  // namespace

CSequenceDlg::CSequenceDlg() : CTextActivityDlg(SequenceKind()) {}

void CSequenceDlg::LoadFields(FieldReader& reader) {
  Session& s = CurrentSession();
  ActivityFields& r = Remembered();
  r.completion = ReplaceAll(s.completionMessage, "<br>", "\r\n");
  r.instructions = UiText(Ui::kSequenceInstructions);
  r.text.clear();
  bool cut = false;
  // A file without the settings block is read again from its start.
  LoadSequenceFields(reader, s.documentFile.Position() == 0, r.instructions, r.text, cut);
  if (cut) ReportDocumentCut(this);
}

bool CSequenceDlg::BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) {
  std::string refusal;
  data = BuildSequenceData(fields.text, refusal, build);
  if (refusal.empty()) return true;
  ShowMessage(refusal, OopsCaption(), Buttons::Ok, this);
  return false;
}

}  // namespace kio
