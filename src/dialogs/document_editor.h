// The base of every editor that keeps one document: New, Open, Save,
// Save As and Return with the question whether to save changes, help on
// the "?" buttons and on focus, and the four formatting buttons.
//
// An editor supplies its fields through a few steps: collect them from the
// boxes, tell whether they differ from the document as last loaded or
// saved, load them from and store them to the document after the settings
// block, and show them. The base runs the shared file steps around them:
// the chooser, PrepareDocumentFile, the settings block, ReportFileError, the
// shared document state of the session.
#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lang/texts.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "questions/kio_documents.h"
#include "render/fields.h"
#include "render/write_page.h"

namespace kio {

// How Save writes a document that already has a file.
enum class SaveMode {
  kRewriteInPlace,  // from offset 0 into the held file, never shortening it
  kRecreate,        // the file is made anew (emptied) at every save
  kAskEveryTime,    // every Save asks for the name and makes the file anew
};

// The ids of the two button rows that the editors of one text document
// share.
struct DocumentButtonIds {
  int newDocument, open, save, saveAs, generate, back;  // the first row
  int font, paragraph, av, global;                      // the formatting row
  int preview = 0;                                      // below the document's name
};

// Where the Preview button stands in the layouts whose left-hand column
// ends with the document's name at 246 and "What can I do?" at 285.
ControlSpec PreviewButtonSpec(int id);

// Appends those rows at their places below the right-hand column: New,
// Open, Save, Save As, Generate and Return, then Font, Paragraph, AV and
// Global; and Preview in the left-hand column, below the document's name.
void AddDocumentButtonRows(std::vector<ControlSpec>& controls, const DocumentButtonIds& ids,
                           const char* generateLabel = "&Generate Htm");

// What the question whether to save changes came to.
enum class SaveAnswer {
  kNothingToSave,  // nothing had changed: nothing was asked
  kSaved,          // Yes, and the save succeeded
  kSaveFailed,     // Yes, but the save failed or its chooser was cancelled
  kDeclined,       // No: the changes are dropped
  kCancelled,      // Cancel: the caller stops
};

struct DocumentEditorKind {
  std::string extension;  // document extension without dot, e.g. "clo"
  SaveMode saveMode = SaveMode::kRewriteInPlace;
  int helpPanel = 0;                       // the rich-text panel that shows help
  std::string activityName;                // for the AV dialog
  std::string openErrorSuffix;             // after the cause of a failed Open
  Ui saveErrorRecord = Ui::kFileNotSaved;  // shown after the cause of a failed Save
  std::string returnName = "*.txt";        // documentName after Return
  // New, Open and Return stay in the editor when the teacher asked to save
  // and the save did not happen (refused, failed or its chooser cancelled),
  // so that the work is not dropped.
  bool stayWhenNotSaved = false;
  bool settingsBlock = true;    // the document begins with the settings block
  std::string saveErrorSuffix;  // when set, shown after a failed Save instead of the record
  // The question-bank kind of the document, for "Import questions..." and
  // "Export questions..." (dialogs/question_exchange.h); none: no buttons.
  std::optional<questions::DocumentKind> questions;
  int importButton = 0, exportButton = 0;
  // The Preview button; 0: none.
  int previewButton = 0;
};

// The commands of the spelling language menu, one per language in the order
// of kSpellingLanguages.
constexpr int kSpellingLanguageCommand = 9801;

class CDocumentEditorDlg : public Dialog {
 public:
  CDocumentEditorDlg(DialogTemplate layout, DocumentEditorKind kind);

 protected:
  // --- Steps the editor supplies ---
  // Reads the boxes into the editor's working copy, cut to their limits.
  virtual void CollectFields() = 0;
  // Whether the working copy differs from the document as last loaded or
  // saved.
  virtual bool FieldsChanged() const = 0;
  // After the settings block was read: reads the editor's fields into the
  // remembered copy. Throws FileError.
  virtual void LoadFields(FieldReader& reader) = 0;
  // After the settings block was written: writes the working copy.
  virtual void StoreFields(FieldWriter& writer) = 0;
  // The working copy becomes the remembered one (after a save).
  virtual void KeepFields() = 0;
  // Shows the remembered copy in the boxes, and the document's name.
  virtual void ShowFields() = 0;
  // Checked after collecting, before anything is chosen or written; false
  // stops the save (the editor has said why).
  virtual bool ReadyToSave() { return true; }
  // The save chooser of a document that has no file yet.
  virtual ChooserRequest SaveChooser() const;
  // Generate's steps from the boxes as they are now, with the page going to
  // `destination`: the checks of the content (said when it is not ready),
  // the page's file (chosen, or the preview's), the page and its support
  // files. The page's path once written; nothing when a step stopped.
  virtual std::optional<std::string> WritePageTo(const PageDestination& destination) = 0;

  // --- Shared operations ---
  // Asks Ui::kAskSaveChanges when the fields or the page settings changed; Yes
  // saves.
  SaveAnswer AskToSave();
  // AskToSave, and whether the caller may go on and drop the document.
  bool MayLeaveDocument();
  // Open: the chooser, the settings block and the editor's fields. The
  // editor's fields are shown whether or not the reading failed.
  void OpenDocument();
  // Open without the chooser: the file `path`.
  void OpenDocumentAt(const std::string& path);
  // Save: the chooser when the document has no file yet.
  bool SaveDocument();
  bool SaveDocumentAs();
  // Return: asks to save, then closes the document and the dialog.
  void ReturnFromEditor();
  // Preview: the page of the boxes as they are now, written into the
  // session's private preview folder and opened in the browser. Nothing is
  // asked or saved, the teacher's files stay as they are, and the document
  // counts as changed or unchanged as before.
  void PreviewPage();
  // Generate: the page of the boxes into the file the teacher chooses, then
  // the offer to open it in the browser.
  void GeneratePage();
  // Forgets the document's file: the next Save asks for a name.
  void ForgetDocumentFile();
  // The Frames dialog changed the page settings.
  void MarkSettingsChanged() { settingsChanged_ = true; }
  // A new document starts with the page settings unchanged.
  void ForgetSettingsChange() { settingsChanged_ = false; }
  bool Changed();

  // --- Wiring ---
  // Help `help` shows in the help panel from `button` and when the focus
  // enters `box` (0: no box).
  void HelpOn(int button, int box, const std::string& help);
  // The Font, Paragraph, AV and Frames ("Global") buttons.
  void FormattingButtons(int font, int paragraph, int av, int global);
  // Puts interface texts on controls: each (control, record) whose record
  // is not empty and whose control the dialog has.
  void LabelFromInterfaceTexts(std::initializer_list<std::pair<int, Ui>> labels);
  // The interface texts of the two document button rows.
  void LabelDocumentButtons(const DocumentButtonIds& ids);

  // --- Question banks (question_exchange.cpp) ---
  // Import: the bank's chooser, the preview, the documents beside the bank,
  // the first one opened here.
  void ImportQuestionBank();
  // Export: the saved document out to GIFT or Moodle XML.
  void ExportQuestionBank();

  // The spelling language menu: Portuguese (Brazil), English (US), Spanish.
  bool MenuCommandChecked(int command) const override;
  void OnSysCommand(int command) override;

 private:
  DocumentEditorKind kind_;
  bool settingsChanged_ = false;
};

}  // namespace kio
