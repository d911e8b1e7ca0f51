// The list of items behind the list editors (Multiple choice, Dialogical,
// Index): the items, the current position, the insert-pending mark, the
// snapshot of the item as last shown, and the clipboard. No dialog: each
// operation changes the list and says how it went; the editor shows the
// result and the message its outcome names.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "documents/item_list_document.h"
#include "lang/texts.h"

namespace kio {

// One item kept across copies and pastes. Multiple choice and Dialogical
// share one for the whole run (the session keeps it); an Index keeps its
// own.
struct ItemClipboard {
  std::optional<Item> item;
};

// How an operation went. Each refusal names the interface text its message
// is, or a message of the list's own.
enum class ItemOutcome {
  kDone,
  kBlank,           // moved to the blank place after the last item
  kPastLastPlace,   // kListAtLargest: Forward would go past the last place
  kClipboardEmpty,  // kNothingToPaste: nothing (whole) has been copied
  kItemChanged,     // kAskAttachItem: the shown item differs from the stored one
  kNoItemHere,      // kNoItemHere: Copy or Cut on the blank place
  kListFull,        // every slot is taken: Insert or Paste would lose an item
};

// The interface text of a refusal; none for kDone, kBlank and kListFull.
std::optional<Ui> RecordOf(ItemOutcome outcome);

// The text of kListFull, bilingual like the program's other fixed messages.
const std::string& ListFullMessage();

class ItemList {
 public:
  // `slots` items at the most; the current position goes up to
  // `lastPlace`. A clipboard item is whole when its first `pasteFields`
  // texts are not empty.
  ItemList(size_t fieldCount, size_t slots, size_t lastPlace, size_t pasteFields, ItemClipboard& clipboard);

  size_t Count() const { return items_.size(); }
  size_t Current() const { return current_; }
  bool InsertPending() const { return insertPending_; }
  // The item at the current position; blank texts on the blank place.
  Item Shown() const;
  const Item& At(size_t index) const { return items_.at(index); }
  const std::vector<Item>& Items() const { return items_; }
  // "3/7": the current position counted from 1, and the count.
  std::string PositionText() const;

  // Empties the list (New, Open).
  void Clear();
  // Appends an item read from a document, as it is.
  void Load(Item item);

  // Whether `fields` differ from the item as last shown (kItemChanged).
  ItemOutcome CheckChanges(const Item& fields) const;
  // Remembers the item shown now as the one the boxes hold.
  void TakeSnapshot() { snapshot_ = Shown(); }
  // Blank boxes: the snapshot becomes blank texts.
  void BlankSnapshot() { snapshot_ = Item(fieldCount_); }

  // Stores `fields` at the current position: overwrites the item there, or
  // adds one after the last, or, after Insert, inserts before it.
  ItemOutcome Attach(const Item& fields);
  // Whether attaching `fields` would overwrite the item that the last
  // Attach stored, shown since without a move: the teacher may be typing
  // the next item over it rather than mending it, so the editor asks.
  bool WouldReplaceJustAttached(const Item& fields) const;
  // Stores `fields` as a new item after the current one, which it then is.
  ItemOutcome AttachAfter(const Item& fields);
  // The next Attach inserts instead of overwriting.
  ItemOutcome Insert();
  ItemOutcome Back();
  ItemOutcome Forward();
  ItemOutcome Copy();
  ItemOutcome Cut();
  // Inserts the clipboard's item before the current one, which it then is.
  ItemOutcome Paste();

 private:
  size_t fieldCount_, slots_, lastPlace_, pasteFields_;
  ItemClipboard& clipboard_;
  std::vector<Item> items_;
  size_t current_ = 0;
  bool insertPending_ = false;
  bool justAttached_ = false;  // the shown item is the one the last Attach stored
  Item snapshot_;
};

}  // namespace kio
