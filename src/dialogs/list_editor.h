// The base of the editors that keep a list of items, one shown at a time
// (Multiple choice, Dialogical, Index): the item boxes, the "N." field,
// Insert, Attach, Back, Forward, Copy, Cut and Paste over an ItemList, the
// question whether to keep an edited item (Ui::kAskAttachItem), and the
// document steps of CDocumentEditorDlg around them.
//
// A configuration supplies the layout (with the control ids below), the
// item fields (their boxes, labels, help, limits) and the item check with
// its normalisations. By default the document after the settings block is
// the item count followed by the items' texts, read and written by the
// documents' item list (documents/item_list_document.h) configured with the
// fields' limits, their lower-cased names and the capacity; an editor with
// other fields overrides LoadFields and StoreFields.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/document_editor.h"
#include "dialogs/item_list.h"
#include "documents/item_checks.h"
#include "lang/fixed_texts.h"

namespace kio {

// Control ids. Item field i has its box at kListField + i, its label at
// kListFieldLabel + i and its "?" button at kListFieldHelp + i. A layout
// leaves out the buttons its editor does not have.
enum ListControl {
  kListHelp = 1900,      // the rich-text help panel
  kListPosition = 1901,  // "N.": "3/7"
  kListDocumentName = 1902,
  kListFinal = 1903,  // the completion message
  kListFinalLabel = 1904,
  kListFinalHelp = 1905,
  kListPositionLabel = 1906,
  kListSelect = 1910,
  kListInsert = 1911,
  kListAttach = 1912,
  kListBack = 1913,
  kListForward = 1914,
  kListCopy = 1915,
  kListCut = 1916,
  kListPaste = 1917,
  kListNew = 1920,
  kListOpen = 1921,
  kListSave = 1922,
  kListSaveAs = 1923,
  kListGenerate = 1924,
  kListReturn = IDCANCEL,
  kListFont = 1930,
  kListParagraph = 1931,
  kListAV = 1932,
  kListGlobal = 1933,
  kListWhatCanIDo = 1934,
  kListPreview = 1937,
  kListField = 1940,
  kListFieldLabel = 1960,
  kListFieldHelp = 1980,
};

// Longest text of the "Final" box.
constexpr size_t kListFinalLimit = 1499;

// One of an item's texts as the editor shows it.
struct ItemField {
  size_t limit = 2997;            // longest text the box and the document keep
  std::string help;               // help file shown on focus and by its "?"
  std::optional<Ui> labelRecord;  // the interface text of the label; none: the texts below
  std::string labelPt, labelEn;   // the label when there is no record
  bool lowerCase = false;         // stored lower-cased (file names)
};

// What the check of an item found: the interface texts of its messages, in
// order, and the fixed texts that stand in for a record the interface
// language file leaves empty. The item is good when there are none.
struct ItemCheck {
  std::vector<Ui> records;
  std::vector<Fixed> fixedForms;  // one for each record
  bool Failed() const { return !records.empty(); }
  // "Error(s): " and the messages one after the other.
  std::string Report() const;
};
// The messages of the problems a document's item check found
// (documents/item_checks.h), each the interface-language record of its
// rule.
ItemCheck ItemCheckOf(const std::vector<ItemProblem>& problems);

struct ListEditorKind {
  DocumentEditorKind document;  // use SaveMode::kRecreate for these lists
  std::vector<ItemField> fields;
  size_t capacity = 102;   // items the list holds at most
  size_t lastPlace = 100;  // Forward goes up to this position
  size_t pasteFields = 0;  // Paste needs the first this many texts (0: all)
  bool hasFinal = true;    // a "Final" box with the completion message
  std::string tipsHelp;    // shown at start and by "O que posso fazer?"
  std::string finalHelp = "mensagem_final.rtf";
  // The clipboard; null: the editor keeps one of its own.
  ItemClipboard* clipboard = nullptr;
  // Checks `item` (the boxes' texts, cut to their limits) shown at position
  // `current`, normalising its texts in place. Null: every item is good.
  std::function<ItemCheck(Item& item, size_t current)> check;
  // The Select button: the text to put into `selectField`, or nothing.
  std::function<std::optional<std::string>()> select;
  size_t selectField = 0;
};

// The fixed message of a document cut to fit the editor.
const std::string& DocumentCutMessage();
// Shows it: every editor that opens a document cut says so in these words.
void ReportDocumentCut(Dialog* owner);

class CListEditorDlg : public CDocumentEditorDlg {
 public:
  CListEditorDlg(DialogTemplate layout, ListEditorKind kind);

 protected:
  bool OnInitDialog() override;
  void OnCancel() override { Return(); }

  // --- The buttons (an editor may add to them) ---
  virtual void Insert();
  // Stores the shown item; false (its message shown) when it is refused.
  virtual bool Attach();
  virtual void Back();
  virtual void Forward();
  virtual void Copy();
  virtual void Cut();
  virtual void Paste();
  virtual void New();
  virtual void Open();
  virtual bool Save();
  virtual bool SaveAs();
  virtual void Return();

  // --- Steps ---
  // Reads the boxes (cut to their limits), runs the check, writes the
  // normalised texts back into the boxes.
  ItemCheck ValidateItem(Item& item);
  // The check of an item: by default the kind's. An editor may add checks
  // of its own fields.
  virtual ItemCheck CheckItem(Item& item);
  // Before leaving the shown item: when it was edited, asks UiText record
  // 110 (Yes attaches, No drops the edits, Cancel stops). False: stop.
  bool ConfirmItemChanges();
  // The shown item, its position, the "Final" box and the document's name.
  void ShowItem();
  // Blank boxes for a new item.
  void ClearFields();
  // An empty, untitled document with the default page settings.
  void ClearDocument();
  // False (interface text `record` shown) when the list is empty.
  bool HasItems(Ui record);
  // Shows an ItemList refusal; true when `outcome` was not one.
  bool ShowOutcome(ItemOutcome outcome);
  // The boxes' texts, cut to their limits.
  Item ReadItem() const;
  std::string FinalText() const;
  // Something was changed that the document does not have yet.
  void MarkChanged() { unchanged_ = false; }

  ItemList& List() { return list_; }
  const ItemList& List() const { return list_; }

  // --- Hooks for editors with fields beside the items (Index) ---
  // Start: labels and texts of the editor's own controls.
  virtual void StartOther() {}
  // ClearDocument: the editor's own fields and settings of a new document.
  virtual void ClearOther() {}
  // Boxes beside the item boxes, checked with them before leaving an item.
  virtual bool OtherFieldsChanged() const { return false; }
  virtual void ShowOther() {}

  // --- CDocumentEditorDlg ---
  void CollectFields() override;
  bool FieldsChanged() const override;
  // The item count and the items. A document with more items than the
  // slots, or longer texts than the fields keep, is cut to fit, with a
  // message.
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override;
  void KeepFields() override;
  void ShowFields() override;
  bool ReadyToSave() override;

  // For LoadFields: a text of the document, read whole (the reader checks
  // its count against the file) and cut to `limit`; a cut is reported once
  // the document is open.
  std::string ReadTextCut(FieldReader& reader, size_t limit);
  // For LoadFields: the document holds more than the editor keeps.
  void NoteDocumentCut() { cutOnOpen_ = true; }
  // The document's form of the items: the fields' limits and lower-cased
  // names, and the capacity.
  ItemListFormat ItemFormat() const;

 private:
  void Start();
  void ShowItemFields(const Item& item);

  ListEditorKind kind_;
  ItemClipboard ownClipboard_;
  ItemList list_;
  bool unchanged_ = true;
  std::string savedFinal_;  // the "Final" box as last loaded or saved
  bool cutOnOpen_ = false;
};

}  // namespace kio
