#include "activities/cloze/cloze_dlg.h"

#include "documents/cloze_brackets.h"
#include "fileio/file.h"
#include "lang/fixed_texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

TextActivityKind ClozeKind() {
  TextActivityKind k;
  k.title = "KIO Cloze";
  k.extension = kClozeFormat.extension;
  k.templateName = kClozeFormat.templateName;
  k.activityName = "Cloze";
  k.tipsHelp = "cloze_tips.rtf";
  k.instructionsHelp = "cloze_instru.rtf";
  k.textHelp = "cloze_text.rtf";
  k.hintRecords = {Ui::kFormattingHint};
  k.questions = questions::DocumentKind::kCloze;
  k.textLabelPt = Win1252("Texto (as lacunas entre colchetes: [palavra])");
  k.textLabelEn = "Text (gaps between square brackets: [word])";
  return k;
}

}  // namespace

CClozeDlg::CClozeDlg() : CTextActivityDlg(ClozeKind()) {}

bool CClozeDlg::BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) {
  if (auto where = FindUnmatchedBracket(fields.text);
      where && ShowMessage(UnmatchedBracketQuestion(*where), "KIO", Buttons::YesNo, this) != Answer::Yes)
    return false;
  // A text without brackets gives a page with nothing to fill in: the
  // teacher may have forgotten to mark the gaps.
  if (fields.text.find_first_of("[]") == std::string::npos &&
      ShowMessage(FixedText(Fixed::kClozeWithoutGaps), "KIO", Buttons::YesNo, this) != Answer::Yes)
    return false;
  data = BuildClozeData(fields.text, build);
  return true;
}

}  // namespace kio
