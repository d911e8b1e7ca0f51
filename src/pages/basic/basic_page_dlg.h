// The Basic hypertext page editor ("KIO Basic"): one text, saved as an
// ".hpb" document and generated as a page of the program's own pieces.
#pragma once
#include <string>

#include "dialogs/document_editor.h"

namespace kio {

enum BasicPageControl {
  kBasicText = 1601,
  kBasicDocumentName = 1602,
  kBasicHint = 1603,
  kBasicLabelText = 1604,
  kBasicHelp = 1610,
  kBasicHelpText = 1611,
  kBasicHelpFiles = 1612,
  kBasicHelpGenerate = 1613,
  kBasicWhatCanIDo = 1620,
  kBasicNew = 1621,
  kBasicOpen = 1622,
  kBasicSave = 1623,
  kBasicSaveAs = 1624,
  kBasicGenerate = 1625,
  kBasicReturn = IDCANCEL,
  kBasicFont = 1631,
  kBasicParagraph = 1632,
  kBasicAV = 1633,
  kBasicGlobal = 1634,
  kBasicPreview = 1635,
};

class CBasicPageDlg : public CDocumentEditorDlg {
 public:
  CBasicPageDlg();

 protected:
  bool OnInitDialog() override;
  void OnCancel() override { ReturnFromEditor(); }

  void CollectFields() override;
  bool FieldsChanged() const override { return read_ != remembered_; }
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override { writer.Text(read_); }
  void KeepFields() override { remembered_ = read_; }
  void ShowFields() override;
  bool ReadyToSave() override;

 private:
  void Start();
  void New();
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;
  void Generate();

  std::string remembered_;  // the text as last loaded or saved
  std::string read_;        // the text as last read from the box
};

}  // namespace kio
