// The activity editors whose document is the settings block followed by
// instructions, a text and, for some, a third text (Cloze, Eclipse): their
// layout, their fields on the document-editor base, and the frame of
// Generate.
#pragma once
#include <string>
#include <vector>

#include "dialogs/document_editor.h"
#include "documents/text_activity_document.h"
#include "render/page_build.h"

namespace kio {

// Control ids shared by these editors.
enum ActivityControl {
  kActInstructions = 1401,
  kActText = 1402,
  kActFinal = 1403,
  kActDocumentName = 1404,
  kActHint1 = 1405,
  kActHint2 = 1406,
  kActExtra = 1407,  // a third text field (Eclipse's given words)
  kActHelp = 1410,
  kActHelpInstructions = 1411,
  kActHelpText = 1412,
  kActHelpFinal = 1413,
  kActHelpExtra = 1417,
  kActWhatCanIDo = 1420,
  kActNew = 1421,
  kActOpen = 1422,
  kActSave = 1423,
  kActSaveAs = 1424,
  kActGenerate = 1425,
  kActReturn = IDCANCEL,
  kActFont = 1431,
  kActParagraph = 1432,
  kActAV = 1433,
  kActGlobal = 1434,
  kActLabelInstructions = 1441,
  kActLabelText = 1442,
  kActLabelFinal = 1443,
  kActLabelExtra = 1447,
  kActImportQuestions = 1435,  // "Import questions..." (editors with a question-bank kind)
  kActExportQuestions = 1436,
  kActPreview = 1437,
};

struct TextActivityKind {
  std::string title;         // dialog title, e.g. "KIO Cloze"
  std::string extension;     // document extension without dot, e.g. "clo"
  std::string templateName;  // the page's template, e.g. "tmplate_cloze.htm"
  std::string activityName;  // for the AV dialog
  std::string tipsHelp;      // shown at start and by "O que posso fazer?"
  std::string instructionsHelp, textHelp, extraHelp;
  size_t textLimit = 14999;
  size_t extraLimit = 0;        // 0: the document has no third field
  std::vector<Ui> hintRecords;  // interface texts shown in the hint lines
  // Labels of the boxes, Portuguese and English.
  std::string textLabelPt, textLabelEn, extraLabelPt, extraLabelEn;
  SaveMode saveMode = SaveMode::kRewriteInPlace;
  Ui defaultInstructionsRecord = Ui::kClozeInstructions;  // a new document's instructions
  bool pageChooserInDocumentsFolder = true;               // else the page chooser starts at "*.htm"
  bool stayWhenNotSaved = false;                          // see DocumentEditorKind
  bool twoLineHint = false;                               // one hint over both hint lines
  // The question-bank kind of the document: Import and Export questions.
  std::optional<questions::DocumentKind> questions;
};

// The texts of an editor's boxes.
struct ActivityFields {
  std::string instructions, text, extra, completion;
  bool operator==(const ActivityFields&) const = default;
};

class CTextActivityDlg : public CDocumentEditorDlg {
 public:
  explicit CTextActivityDlg(const TextActivityKind& kind);

 protected:
  bool OnInitDialog() override;
  void OnCancel() override { ReturnFromEditor(); }

  void CollectFields() override;
  bool FieldsChanged() const override { return read_ != remembered_; }
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override;
  void KeepFields() override { remembered_ = read_; }
  void ShowFields() override;
  bool ReadyToSave() override;
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;

  // Builds the data text put between the page's markers from the boxes'
  // texts, in the page's context; false stops the generation (the message
  // has been shown).
  virtual bool BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) = 0;

  // The document as last loaded or saved, for an editor that reads its
  // fields its own way.
  ActivityFields& Remembered() { return remembered_; }

 private:
  // A box's text, cut to its limit.
  std::string FieldText(int id) const;
  void Start();
  void NewSteps();
  bool HasExtra() const { return kind_.extraLimit > 0; }
  TextActivityFormat Format() const {
    return {kind_.extension, kind_.templateName, kind_.textLimit, kind_.extraLimit};
  }

  TextActivityKind kind_;
  ActivityFields remembered_;  // as last loaded or saved
  ActivityFields read_;        // as last read from the boxes
};

}  // namespace kio
