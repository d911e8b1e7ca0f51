#include "activities/text_activity_dlg.h"

#include "dialogs/formatting.h"
#include "dialogs/question_exchange.h"
#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/fields.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kButtonHeight = 14;
constexpr int kRight = 162;  // left edge of the right-hand column
// The two button rows below the text.
constexpr DocumentButtonIds kButtons = {kActNew,      kActOpen,   kActSave,   kActSaveAs,
                                        kActGenerate, kActReturn, kActFont,   kActParagraph,
                                        kActAV,       kActGlobal, kActPreview};
constexpr int kRightWidth = 340;

DialogTemplate ActivityLayout(const TextActivityKind& kind) {
  const bool extra = kind.extraLimit > 0;
  const int textHeight = extra ? 96 : 130;
  constexpr int finalLabelY = 198;
  DialogTemplate t;
  t.title = kind.title;
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kActHelp, ControlKind::RichText, "", 5, 5, 150, 236, kReadOnly | kVScroll},
      {kActLabelInstructions, ControlKind::Label, "", kRight + 15, 4, 200, 9},
      {kActHelpInstructions, ControlKind::Button, "?", kRight, 3, 12, 10},
      {kActInstructions, ControlKind::Edit, "", kRight, 14, kRightWidth, 34,
       kMultiLine | kVScroll | kWantReturn},
      {kActLabelText, ControlKind::Label, "", kRight + 15, 52, 200, 9},
      {kActHelpText, ControlKind::Button, "?", kRight, 51, 12, 10},
      {kActText, ControlKind::Edit, "", kRight, 62, kRightWidth, textHeight,
       kMultiLine | kVScroll | kWantReturn},
      {kActLabelFinal, ControlKind::Label, "Final", kRight + 15, finalLabelY, 200, 9},
      {kActHelpFinal, ControlKind::Button, "?", kRight, finalLabelY - 1, 12, 10},
      {kActFinal, ControlKind::Edit, "", kRight, finalLabelY + 10, kRightWidth, 26,
       kMultiLine | kVScroll | kWantReturn},
      {kActHint1, ControlKind::Label, "", kRight, 238, kRightWidth, kind.twoLineHint ? 18 : 8},
      {kActDocumentName, ControlKind::Edit, "", 5, 246, 150, 12, kReadOnly},
  };
  AddDocumentButtonRows(t.controls, kButtons);
  t.controls.push_back(
      {kActWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 285, 150, kButtonHeight});
  if (kind.questions) AddQuestionButtons(t.controls, kActImportQuestions, kActExportQuestions, 285);
  if (!kind.twoLineHint)
    t.controls.push_back({kActHint2, ControlKind::Label, "", kRight, 248, kRightWidth, 8});
  if (extra) {
    t.controls.push_back({kActLabelExtra, ControlKind::Label, "", kRight + 15, 162, 200, 9});
    t.controls.push_back({kActHelpExtra, ControlKind::Button, "?", kRight, 161, 12, 10});
    t.controls.push_back({kActExtra, ControlKind::Edit, "", kRight, 172, kRightWidth, 22,
                          kMultiLine | kVScroll | kWantReturn});
  }
  return t;
}

// The "Final" box shows the completion message with "<br>" as line breaks.
std::string FinalBoxText(const std::string& message) { return ReplaceAll(message, "<br>", "\r\n"); }

DocumentEditorKind DocumentKindOf(const TextActivityKind& kind) {
  DocumentEditorKind d;
  d.extension = kind.extension;
  d.saveMode = kind.saveMode;
  d.stayWhenNotSaved = kind.stayWhenNotSaved;
  d.helpPanel = kActHelp;
  d.activityName = kind.activityName;
  d.questions = kind.questions;
  d.importButton = kActImportQuestions;
  d.exportButton = kActExportQuestions;
  d.previewButton = kActPreview;
  d.openErrorSuffix = FixedText(Fixed::kCannotOpenFile);
  d.saveErrorRecord = Ui::kFileNotSaved;
  return d;
}

}  // namespace

CTextActivityDlg::CTextActivityDlg(const TextActivityKind& kind)
    : CDocumentEditorDlg(ActivityLayout(kind), DocumentKindOf(kind)), kind_(kind) {
  HelpOn(kActHelpInstructions, kActInstructions, kind_.instructionsHelp);
  HelpOn(kActHelpText, kActText, kind_.textHelp);
  HelpOn(kActHelpFinal, kActFinal, "mensagem_final.rtf");
  if (HasExtra()) HelpOn(kActHelpExtra, kActExtra, kind_.extraHelp);
  HelpOn(kActWhatCanIDo, 0, kind_.tipsHelp);
  OnButton(kActNew, [this] {
    if (MayLeaveDocument()) Start();
  });
  OnButton(kActOpen, [this] {
    if (MayLeaveDocument()) OpenDocument();
  });
  OnButton(kActSave, [this] { SaveDocument(); });
  OnButton(kActSaveAs, [this] { SaveDocumentAs(); });
  OnButton(kActGenerate, [this] { GeneratePage(); });
  FormattingButtons(kActFont, kActParagraph, kActAV, kActGlobal);
}

bool CTextActivityDlg::OnInitDialog() {
  Start();
  return true;
}

std::string CTextActivityDlg::FieldText(int id) const {
  std::string text = GetItemText(id);
  size_t limit = id == kActExtra   ? kind_.extraLimit
                 : id == kActFinal ? kCompletionMessageLimit
                                   : kind_.textLimit;
  if (text.size() > limit) text.resize(limit);
  return text;
}

void CTextActivityDlg::Start() {
  Session& s = CurrentSession();
  // Interface texts on the controls.
  LabelDocumentButtons(kButtons);
  LabelFromInterfaceTexts({{kActWhatCanIDo, Ui::kWhatCanIDo}});
  SetItemText(kActLabelInstructions, FixedText(Fixed::kInstructionsLabel));
  SetItemText(kActLabelText, LocalText(kind_.textLabelPt, kind_.textLabelEn));
  SetItemText(kActLabelFinal, FixedText(Fixed::kFinalMessageLabel));
  if (HasExtra()) SetItemText(kActLabelExtra, LocalText(kind_.extraLabelPt, kind_.extraLabelEn));
  for (size_t i = 0; i < kind_.hintRecords.size() && i < 2; ++i)
    SetItemText(i == 0 ? kActHint1 : kActHint2, UiText(kind_.hintRecords[i]));
  ShowHelp(kActHelp, HelpText(kind_.tipsHelp));

  ResetPageSettings();
  remembered_.completion = FinalBoxText(s.completionMessage);
  remembered_.instructions = UiText(kind_.defaultInstructionsRecord);
  NewSteps();
}

void CTextActivityDlg::NewSteps() {
  remembered_.text.clear();
  remembered_.extra.clear();
  CurrentSession().documentName = UiText(Ui::kUntitled);
  ShowFields();
  ForgetDocumentFile();
  ForgetSettingsChange();
  ResetPageSettings();
}

void CTextActivityDlg::CollectFields() {
  read_.instructions = FieldText(kActInstructions);
  read_.text = FieldText(kActText);
  if (HasExtra()) read_.extra = FieldText(kActExtra);
  read_.completion = FieldText(kActFinal);
  CurrentSession().completionMessage = read_.completion;
}

void CTextActivityDlg::ShowFields() {
  SetItemText(kActInstructions, remembered_.instructions);
  SetItemText(kActText, remembered_.text);
  if (HasExtra()) SetItemText(kActExtra, remembered_.extra);
  SetItemText(kActFinal, remembered_.completion);
  SetItemText(kActDocumentName, CurrentSession().documentName);
}

void CTextActivityDlg::LoadFields(FieldReader& reader) {
  remembered_.completion = FinalBoxText(CurrentSession().completionMessage);
  TextActivityDocument document;
  ReadTextActivityFields(reader, Format(), document);
  remembered_.instructions = document.instructions;
  remembered_.text = document.text;
  if (HasExtra()) remembered_.extra = document.extra;
}

void CTextActivityDlg::StoreFields(FieldWriter& writer) {
  TextActivityDocument document;
  document.instructions = read_.instructions;
  document.text = read_.text;
  document.extra = read_.extra;
  WriteTextActivityFields(writer, Format(), document);
}

bool CTextActivityDlg::ReadyToSave() {
  if (!read_.text.empty()) return true;
  ShowMessage(UiText(Ui::kNothingToSave), OopsCaption(), Buttons::Ok, this);
  return false;
}

std::optional<std::string> CTextActivityDlg::WritePageTo(const PageDestination& destination) {
  CollectFields();
  if (read_.text.empty()) {
    ShowMessage(UiText(Ui::kNothingToGenerate), OopsCaption(), Buttons::Ok, this);
    return std::nullopt;
  }
  PageBuild build = SessionPageBuild();
  std::string data;
  if (!BuildPageData(read_, build, data)) {
    ReturnToSession(build);
    return std::nullopt;
  }
  PageRequest request;
  request.templateName = kind_.templateName;
  request.instructions = read_.instructions;
  request.completionField = read_.completion;
  request.data = data;
  if (!kind_.pageChooserInDocumentsFolder) request.chooser = ExtensionChooser("", "htm", true);
  auto written = WritePage(request, build, destination);
  ReturnToSession(build);
  return written;
}

}  // namespace kio
