#include "dialogs/document_editor.h"

#include "dialogs/formatting.h"
#include "fileio/document.h"
#include "fileio/replacement_file.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "render/page_settings.h"
#include "spelling/speller.h"

namespace kio {

CDocumentEditorDlg::CDocumentEditorDlg(DialogTemplate layout, DocumentEditorKind kind)
    : Dialog(std::move(layout)), kind_(std::move(kind)) {
  if (kind_.questions) {
    OnButton(kind_.importButton, [this] { ImportQuestionBank(); });
    OnButton(kind_.exportButton, [this] { ExportQuestionBank(); });
  }
  // The language the boxes are checked in: a menu of every editor, the
  // choice remembered for the document (beside it, not in it).
  const std::string menu = LocalText("&Ortografia", "&Spelling");
  const char* labels[][2] = {{"Português (Brasil)", "Portuguese (Brazil)"},
                             {"Inglês (EUA)", "English (US)"},
                             {"Espanhol", "Spanish"}};
  for (int i = 0; i < 3; ++i)
    AddMenuCommand(kSpellingLanguageCommand + i, LocalText(Win1252(labels[i][0]), labels[i][1]), menu);
  if (kind_.previewButton) {
    OnButton(kind_.previewButton, [this] { PreviewPage(); });
    // Its help is Generate's, which tells both.
    OnFocusEnter(kind_.previewButton, [this] { ShowHelp(kind_.helpPanel, HelpText("gera_htm.rtf")); });
  }
  CurrentSpelling().UseDocument("");
  ShowFixedLabels(*this);
}

bool CDocumentEditorDlg::MenuCommandChecked(int command) const {
  int i = command - kSpellingLanguageCommand;
  return i >= 0 && i < 3 && kSpellingLanguages[i] == CurrentSpelling().Language();
}

void CDocumentEditorDlg::OnSysCommand(int command) {
  int i = command - kSpellingLanguageCommand;
  if (i >= 0 && i < 3) CurrentSpelling().ChooseLanguage(kSpellingLanguages[i]);
}

void CDocumentEditorDlg::HelpOn(int button, int box, const std::string& help) {
  auto show = [this, help] { ShowHelp(kind_.helpPanel, HelpText(help)); };
  OnButton(button, show);
  if (box) OnFocusEnter(box, show);
}

ControlSpec PreviewButtonSpec(int id) { return {id, ControlKind::Button, "Preview", 5, 266, 150, 14}; }

void AddDocumentButtonRows(std::vector<ControlSpec>& controls, const DocumentButtonIds& ids,
                           const char* generateLabel) {
  constexpr int kLeft = 162;  // the right-hand column's left edge
  constexpr int kWidth = 52;
  constexpr int kHeight = 14;
  const ControlSpec rows[] = {
      {ids.newDocument, ControlKind::Button, "&New", kLeft, 266, kWidth, kHeight},
      {ids.open, ControlKind::Button, "&Open", kLeft + 56, 266, kWidth, kHeight},
      {ids.save, ControlKind::Button, "&Save", kLeft + 112, 266, kWidth, kHeight},
      {ids.saveAs, ControlKind::Button, "Save &As", kLeft + 168, 266, kWidth, kHeight},
      {ids.generate, ControlKind::Button, generateLabel, kLeft + 224, 266, kWidth + 20, kHeight},
      {ids.back, ControlKind::Button, "&Return", kLeft + 300, 266, kWidth - 12, kHeight},
      {ids.font, ControlKind::Button, "Font", kLeft, 285, kWidth, kHeight},
      {ids.paragraph, ControlKind::Button, "Paragraph", kLeft + 56, 285, kWidth, kHeight},
      {ids.av, ControlKind::Button, "A&V", kLeft + 112, 285, kWidth, kHeight},
      {ids.global, ControlKind::Button, "Global", kLeft + 168, 285, kWidth, kHeight},
  };
  controls.insert(controls.end(), std::begin(rows), std::end(rows));
  if (ids.preview) controls.push_back(PreviewButtonSpec(ids.preview));
}

void CDocumentEditorDlg::FormattingButtons(int font, int paragraph, int av, int global) {
  OnButton(font, [] { RunFontDialog(); });
  OnButton(paragraph, [] { RunParagraphDialog(); });
  OnButton(av, [this] { RunAVDialog(kind_.activityName); });
  OnButton(global, [this] {
    RunFramesDialog();
    MarkSettingsChanged();
  });
}

void CDocumentEditorDlg::LabelFromInterfaceTexts(std::initializer_list<std::pair<int, Ui>> labels) {
  for (auto [id, record] : labels)
    if (HasControl(id) && !UiText(record).empty()) SetItemText(id, UiText(record));
}

void CDocumentEditorDlg::LabelDocumentButtons(const DocumentButtonIds& ids) {
  LabelFromInterfaceTexts({{ids.newDocument, Ui::kNewButton},
                           {ids.open, Ui::kOpenButton},
                           {ids.save, Ui::kSaveButton},
                           {ids.saveAs, Ui::kSaveAsButton},
                           {ids.generate, Ui::kGenerateButton},
                           {ids.back, Ui::kReturnButton},
                           {ids.font, Ui::kFontButton},
                           {ids.paragraph, Ui::kParagraphButton},
                           {ids.global, Ui::kGlobalButton}});
}

bool CDocumentEditorDlg::Changed() {
  CollectFields();
  return settingsChanged_ || FieldsChanged();
}

SaveAnswer CDocumentEditorDlg::AskToSave() {
  if (!Changed()) return SaveAnswer::kNothingToSave;
  switch (ShowMessage(UiText(Ui::kAskSaveChanges), "KIO", Buttons::YesNoCancel, this)) {
    case Answer::Cancel: return SaveAnswer::kCancelled;
    case Answer::Yes: return SaveDocument() ? SaveAnswer::kSaved : SaveAnswer::kSaveFailed;
    default: return SaveAnswer::kDeclined;
  }
}

bool CDocumentEditorDlg::MayLeaveDocument() {
  const SaveAnswer answer = AskToSave();
  return answer != SaveAnswer::kCancelled && !(kind_.stayWhenNotSaved && answer == SaveAnswer::kSaveFailed);
}

void CDocumentEditorDlg::ForgetDocumentFile() {
  Session& s = CurrentSession();
  s.documentFile.Close();
  s.documentOpen = false;
  CurrentSpelling().UseDocument("");
}

void CDocumentEditorDlg::OpenDocument() {
  ForgetDocumentFile();
  auto chosen = ChooseFile(DocumentChooser(kind_.extension, false));
  if (!chosen) return;
  OpenDocumentAt(*chosen);
}

void CDocumentEditorDlg::OpenDocumentAt(const std::string& path) {
  Session& s = CurrentSession();
  ForgetDocumentFile();
  const std::optional<std::string> chosen = path;
  TakeChosenName(*chosen);
  if (!PrepareDocumentFile(s.documentFile, *chosen)) return;
  try {
    // A file that cannot be opened is reported as one that cannot be read,
    // and the document keeps no file: the next Save asks for a name.
    // The exact chosen name first: a file whose name differs only in case
    // is found only when the chosen one does not exist.
    if (!s.documentFile.Open(*chosen, File::kReadWrite)) throw FileError{kFileNotFound};
    s.documentOpen = true;
    if (kind_.settingsBlock) ReadSettingsBlock(s.documentFile);
    FieldReader reader(s.documentFile);
    LoadFields(reader);
  } catch (const FileError& e) {
    ReportFileError(e.cause, kind_.openErrorSuffix);
  }
  // The boxes show the document in its language.
  CurrentSpelling().UseDocument(s.documentOpen ? *chosen : "");
  ShowFields();
  SetDocumentsFolderFrom(*chosen);
}

bool CDocumentEditorDlg::SaveDocument() {
  Session& s = CurrentSession();
  CollectFields();
  if (!ReadyToSave()) return false;
  std::string chosenPath = s.appPaths.documentsFolder + s.documentName;
  // A document that has its file is rewritten over its old bytes (never
  // shortened) in the rewrite-in-place kind; a new file, and every save of
  // the other kinds, holds the new bytes alone.
  const bool overOldBytes = s.documentOpen && kind_.saveMode == SaveMode::kRewriteInPlace;
  std::string target = s.documentFile.IsOpen() ? s.documentFile.Path() : s.documentName;
  try {
    if (!s.documentOpen || kind_.saveMode == SaveMode::kAskEveryTime) {
      auto chosen = ChooseFile(SaveChooser());
      if (!chosen) return false;
      TakeChosenName(*chosen);
      chosenPath = *chosen;
      // The file is written under exactly the chosen name: another file
      // whose name differs only in case is not this one.
      target = *chosen;
      if (!PrepareDocumentFile(s.documentFile, target)) return false;
      s.documentFile.Close();
    }
    // The new version is written beside the old file and put in its place
    // only once it is whole: a failure leaves the old document as it was.
    ReplacementFile replacement(target);
    if (kind_.settingsBlock) WriteSettingsBlock(replacement.Out());
    FieldWriter writer(replacement.Out());
    StoreFields(writer);
    if (overOldBytes) replacement.KeepOldTail();
    replacement.Commit();
    s.documentOpen = s.documentFile.Open(target, File::kReadWrite);
    SetDocumentsFolderFrom(chosenPath);
  } catch (const FileError& e) {
    ReportFileError(e.cause,
                    kind_.saveErrorSuffix.empty() ? UiText(kind_.saveErrorRecord) : kind_.saveErrorSuffix);
    return false;
  }
  KeepFields();
  ShowFields();
  settingsChanged_ = false;
  CurrentSpelling().DocumentSaved(target);
  return true;
}

ChooserRequest CDocumentEditorDlg::SaveChooser() const { return DocumentChooser(kind_.extension, true); }

bool CDocumentEditorDlg::SaveDocumentAs() {
  // The copy keeps the spelling language of the document.
  const SpellingLanguage language = CurrentSpelling().Language();
  ForgetDocumentFile();
  CurrentSpelling().ChooseLanguage(language);
  return SaveDocument();
}

void CDocumentEditorDlg::ReturnFromEditor() {
  if (!MayLeaveDocument()) return;
  ForgetDocumentFile();
  CurrentSession().documentName = kind_.returnName;
  EndDialog(IDCANCEL);
}

void CDocumentEditorDlg::GeneratePage() {
  const auto written = WritePageTo(PageDestination::Chosen());
  if (written && ShowMessage(UiText(Ui::kAskSeePage), "KIO", Buttons::YesNo, this) == Answer::Yes)
    OpenInBrowser(*written);
}

void CDocumentEditorDlg::PreviewPage() {
  const auto written = WritePageTo(PageDestination::Preview());
  if (!written) return;
  if (!CurrentPlatform().OpenFileInBrowser(*written))
    ShowMessage(FixedText(Fixed::kPreviewNotOpened, {*written}), OopsCaption(), Buttons::Ok, this);
}

}  // namespace kio
