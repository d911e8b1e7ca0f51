// The lexical page editor ("KIO Dictionary Homepage"): a reading text, saved
// as an ".hpl" document and generated as a page in which every word the
// chosen dictionary knows opens its entry.
#pragma once
#include <memory>
#include <string>

#include "dialogs/document_editor.h"

namespace kio {

namespace lexical {
class LexicalLookup;
}

enum LexicalPageControl {
  kLexicalDocumentName = 1070,
  kLexicalText = 1072,
  kLexicalHelp = 1201,
  kLexicalHint = 1248,
  kLexicalLabelText = 1701,
  kLexicalDictionary = 1702,
  kLexicalHelpText = 1710,
  kLexicalHelpFiles = 1711,
  kLexicalHelpGenerate = 1712,
  kLexicalWhatCanIDo = 1720,
  kLexicalNew = 1721,
  kLexicalOpen = 1722,
  kLexicalSave = 1723,
  kLexicalSaveAs = 1724,
  kLexicalGenerate = 1725,
  kLexicalMakeActivities = 1726,
  kLexicalReturn = IDCANCEL,
  kLexicalFont = 1731,
  kLexicalParagraph = 1732,
  kLexicalAV = 1733,
  kLexicalGlobal = 1734,
  kLexicalPreview = 1735,
};

class CLexicalPageDlg : public CDocumentEditorDlg {
 public:
  CLexicalPageDlg();
  ~CLexicalPageDlg() override;

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;

  void CollectFields() override;
  bool FieldsChanged() const override { return read_ != remembered_; }
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override { writer.Text(read_); }
  void KeepFields() override { remembered_ = read_; }
  void ShowFields() override;
  bool ReadyToSave() override;

 private:
  // Chooses and opens the dictionary; false when the editor must close.
  bool Start();
  void New();
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;
  // Makes a Cloze, Memory, Multiple choice and Sequence beside the document.
  void MakeActivities();

  std::string remembered_;  // the text as last loaded or saved
  std::string read_;        // the text as last read from the box
  std::string dictionary_;  // the dictionary's file name
  std::unique_ptr<lexical::LexicalLookup> lookup_;
};

}  // namespace kio
