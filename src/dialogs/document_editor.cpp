#include "dialogs/document_editor.h"

#include "dialogs/formatting.h"
#include "fileio/document.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "render/page_settings.h"

namespace kio {

CDocumentEditorDlg::CDocumentEditorDlg(DialogTemplate layout, DocumentEditorKind kind)
    : Dialog(std::move(layout)), kind_(std::move(kind)) {}

void CDocumentEditorDlg::HelpOn(int button, int box, const std::string& help) {
  auto show = [this, help] { ShowHelp(kind_.helpPanel, HelpText(help)); };
  OnButton(button, show);
  if (box) OnFocusEnter(box, show);
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

bool CDocumentEditorDlg::Changed() {
  CollectFields();
  return settingsChanged_ || FieldsChanged();
}

SaveAnswer CDocumentEditorDlg::AskToSave() {
  if (!Changed()) return SaveAnswer::kNothingToSave;
  switch (ShowMessage(CurrentSession().UiText[73], "KIO", Buttons::YesNoCancel, this)) {
    case Answer::Cancel: return SaveAnswer::kCancelled;
    case Answer::Yes: return SaveDocument() ? SaveAnswer::kSaved : SaveAnswer::kSaveFailed;
    default: return SaveAnswer::kDeclined;
  }
}

void CDocumentEditorDlg::ForgetDocumentFile() {
  Session& s = CurrentSession();
  s.documentFile.Close();
  s.documentOpen = false;
}

void CDocumentEditorDlg::OpenDocument() {
  Session& s = CurrentSession();
  ForgetDocumentFile();
  auto chosen = ChooseFile(DocumentChooser(kind_.extension, false));
  if (!chosen) return;
  std::string lowerPath = TakeChosenName(*chosen);
  if (!PrepareDocumentFile(s.documentFile, s.documentName)) return;
  try {
    // A file that cannot be opened is reported as one that cannot be read,
    // and the document keeps no file: the next Save asks for a name.
    if (!s.documentFile.Open(s.documentName, File::kReadWrite)) throw FileError{kFileNotFound};
    s.documentOpen = true;
    if (kind_.settingsBlock) ReadSettingsBlock(s.documentFile);
    FieldReader reader(s.documentFile);
    LoadFields(reader);
  } catch (const FileError& e) {
    ReportFileError(e.cause, kind_.openErrorSuffix);
  }
  ShowFields();
  SetDocumentsFolderFrom(lowerPath);
}

bool CDocumentEditorDlg::SaveDocument() {
  Session& s = CurrentSession();
  CollectFields();
  if (!ReadyToSave()) return false;
  std::string lowerPath = s.appPaths.documentsFolder + s.documentName;
  try {
    if (!s.documentOpen || kind_.saveMode == SaveMode::kAskEveryTime) {
      auto chosen = ChooseFile(SaveChooser());
      if (!chosen) return false;
      lowerPath = TakeChosenName(*chosen);
      if (!PrepareDocumentFile(s.documentFile, s.documentName)) return false;
    }
    if (!s.documentOpen || kind_.saveMode != SaveMode::kRewriteInPlace) {
      // The document has a file only once it could be made.
      s.documentFile.Close();
      s.documentOpen = false;
      s.documentFile.Create(s.documentName);
      s.documentOpen = true;
    }
    s.documentFile.SeekToBegin();
    if (kind_.settingsBlock) WriteSettingsBlock(s.documentFile);
    FieldWriter writer(s.documentFile);
    StoreFields(writer);
    SetDocumentsFolderFrom(lowerPath);
  } catch (const FileError& e) {
    ReportFileError(e.cause,
                    kind_.saveErrorSuffix.empty() ? s.UiText[kind_.saveErrorRecord] : kind_.saveErrorSuffix);
    return false;
  }
  KeepFields();
  ShowFields();
  settingsChanged_ = false;
  return true;
}

ChooserRequest CDocumentEditorDlg::SaveChooser() const { return DocumentChooser(kind_.extension, true); }

bool CDocumentEditorDlg::SaveDocumentAs() {
  ForgetDocumentFile();
  return SaveDocument();
}

void CDocumentEditorDlg::ReturnFromEditor() {
  if (AskToSave() == SaveAnswer::kCancelled) return;
  ForgetDocumentFile();
  CurrentSession().documentName = kind_.returnName;
  EndDialog(IDCANCEL);
}

}  // namespace kio
