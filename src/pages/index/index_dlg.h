// The Index editor ("KIO Index"): the entry page of a course, a heading and
// up to 100 items each linking to a page, saved as a ".dex" document and
// generated as the index page in the index folder.
#pragma once
#include <string>

#include "dialogs/document_editor.h"
#include "dialogs/item_list.h"
#include "pages/index/index_page.h"

namespace kio {

enum IndexControl {
  kIndexFolder = 1184,
  kIndexHeading = 1182,
  kIndexLink = 1193,
  kIndexText = 1180,
  kIndexPosition = 1038,
  kIndexHelp = 1201,
  kIndexInitialize = 1108,
  kIndexLinkToFile = 1194,
  kIndexInsert = 1301,
  kIndexAttach = 1302,
  kIndexBack = 1303,
  kIndexForward = 1304,
  kIndexCopy = 1305,
  kIndexCut = 1306,
  kIndexPaste = 1307,
  kIndexNew = 1311,
  kIndexOpen = 1312,
  kIndexSave = 1313,
  kIndexGenerate = 1314,
  kIndexReturn = IDCANCEL,
  kIndexFont = 1321,
  kIndexParagraph = 1322,
  kIndexAV = 1323,
  kIndexGlobal = 1324,
  kIndexHelpInitialize = 1331,
  kIndexHelpHeading = 1332,
  kIndexHelpLink = 1333,
  kIndexHelpText = 1334,
  kIndexHelpList = 1335,
  kIndexHelpClipboard = 1336,
  kIndexHelpGenerate = 1337,
  kIndexWhatCanIDo = 1338,
  kIndexLabelHeading = 1341,
  kIndexLabelText = 1342,
  kIndexLabelItem = 1343,
};

class CIndexDlg : public CDocumentEditorDlg {
 public:
  CIndexDlg();

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;

  void CollectFields() override;
  bool FieldsChanged() const override { return cutOrPaste_ || read_ != remembered_; }
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override;
  void KeepFields() override;
  void ShowFields() override { Show(); }
  bool ReadyToSave() override;
  ChooserRequest SaveChooser() const override;

 private:
  void Start();
  void Show();
  std::string Box(int id) const;
  // Before moving away from the item shown: when its boxes changed, asks
  // whether to attach it. False stops the caller.
  bool PendingChangeCheck();
  bool Attach();
  // Shows the message of a refused list operation; true when it went.
  bool Went(ItemOutcome outcome);
  void InitializeIndex();
  void LinkToFile();
  void Generate();
  // The ".dex" name, "index.dex" when the index has none yet.
  std::string DexName() const;

  ItemClipboard clipboard_;
  ItemList list_;
  std::string folder_, heading_;          // as stored with the items
  std::string clipFolder_, clipHeading_;  // taken with the clipboard's item
  bool cutOrPaste_ = false;
  bool restart_ = false;      // Open was told not to take the moved folder
  IndexDocument read_;        // the index as it stands
  IndexDocument remembered_;  // as last opened or saved
};

}  // namespace kio
