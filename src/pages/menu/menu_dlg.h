// The Menu editor ("KIO Menu"): a title and up to 24 pages chosen with the
// numbered buttons, saved as a ".men" document and generated as a menu page
// whose links open each page in a window of its own.
#pragma once
#include "dialogs/document_editor.h"
#include "documents/menu_document.h"

namespace kio {

enum MenuControl {
  kMenuTitle = 1173,
  kMenuHelp = 1201,
  kMenuGenerate = 1106,
  kMenuOpen = 1048,
  kMenuSave = 116,
  kMenuReturn = IDCANCEL,
  kMenuHelpFiles = 1256,
  kMenuHelpSelect = 1187,
  kMenuHelpTitle = 1180,
  kMenuLabelTitle = 1190,
  kMenuLabelPages = 1191,
  kMenuPreview = 1192,
};

// The box and the numbered button of entry k (1 to 24).
int MenuEntryBox(size_t k);
int MenuEntryButton(size_t k);

class CMenuDlg : public CDocumentEditorDlg {
 public:
  CMenuDlg();

 protected:
  bool OnInitDialog() override;
  void OnCancel() override { ReturnFromEditor(); }

  void CollectFields() override;
  bool FieldsChanged() const override;
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override { WriteMenuDocument(writer, read_); }
  void KeepFields() override;
  void ShowFields() override;
  bool ReadyToSave() override;

 private:
  // Shows the message of what is wrong with the collected list; false when
  // something is.
  bool ListIsWhole();
  void ChooseEntry(size_t k);
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;

  MenuDocument remembered_;  // as last opened or saved
  MenuDocument read_;        // as last read from the boxes
};

}  // namespace kio
