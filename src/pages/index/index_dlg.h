// The Index editor ("KIO Index"): the entry page of a course, a heading and
// up to 100 items each linking to a page, saved as a ".dex" document and
// generated as the index page in the index folder. A configuration of the
// list editor: its items are a link and a text; the index folder and the
// heading stand beside them.
#pragma once
#include <functional>
#include <string>

#include "dialogs/list_editor.h"
#include "documents/index_document.h"

namespace kio {

enum IndexControl {
  kIndexFolder = 1184,
  kIndexHeading = 1182,
  kIndexInitialize = 1108,
  kIndexLink = kListField,      // item text 0
  kIndexText = kListField + 1,  // item text 1
  kIndexLinkToFile = kListSelect,
  kIndexPosition = kListPosition,
  kIndexHelp = kListHelp,
  kIndexHelpInitialize = 1331,
  kIndexHelpHeading = 1332,
  kIndexHelpList = 1335,
  kIndexHelpClipboard = 1336,
  kIndexHelpGenerate = 1337,
  kIndexLabelHeading = 1341,
};

class CIndexDlg : public CListEditorDlg {
 public:
  CIndexDlg();

 protected:
  bool Attach() override;
  void Copy() override;
  void Cut() override;
  void Paste() override;
  void Open() override;
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;

  ItemCheck CheckItem(Item& item) override;
  void StartOther() override;
  void ClearOther() override;
  bool OtherFieldsChanged() const override;
  void ShowOther() override;

  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override;
  ChooserRequest SaveChooser() const override;

 private:
  std::string Box(int id) const;
  void InitializeIndex();
  // Link to File: the link of the chosen page, relative to the index
  // folder; "" when the chooser was cancelled; nothing when the teacher
  // kept the link as it was.
  std::optional<std::string> LinkToFile();
  // The ".dex" name, "index.dex" when the index has none yet.
  std::string DexName() const;
  // Runs Copy or Cut; when an item was taken, the clipboard keeps the
  // index's folder and heading with it.
  void ClipWithContext(const std::function<void()>& clip);
  IndexDocument Document() const;

  ItemClipboard clipboard_;
  std::string folder_, heading_;          // as stored with the items
  std::string clipFolder_, clipHeading_;  // taken with the clipboard's item
  bool restart_ = false;                  // Open was told not to take the moved folder
  std::string initializedPage_;           // the page Initialize wrote, by its bare name
};

}  // namespace kio
