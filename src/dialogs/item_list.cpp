#include "dialogs/item_list.h"

#include "lang/fixed_texts.h"

namespace kio {

std::optional<Ui> RecordOf(ItemOutcome outcome) {
  switch (outcome) {
    case ItemOutcome::kPastLastPlace: return Ui::kListAtLargest;
    case ItemOutcome::kClipboardEmpty: return Ui::kNothingToPaste;
    case ItemOutcome::kItemChanged: return Ui::kAskAttachItem;
    case ItemOutcome::kNoItemHere: return Ui::kNoItemHere;
    default: return std::nullopt;
  }
}

const std::string& ListFullMessage() { return FixedText(Fixed::kListFull); }

ItemList::ItemList(size_t fieldCount, size_t slots, size_t lastPlace, size_t pasteFields,
                   ItemClipboard& clipboard)
    : fieldCount_(fieldCount),
      slots_(slots),
      lastPlace_(lastPlace),
      pasteFields_(pasteFields),
      clipboard_(clipboard),
      snapshot_(fieldCount) {}

Item ItemList::Shown() const { return current_ < items_.size() ? items_[current_] : Item(fieldCount_); }

std::string ItemList::PositionText() const {
  return std::to_string(current_ + 1) + "/" + std::to_string(items_.size());
}

void ItemList::Clear() {
  justAttached_ = false;
  items_.clear();
  current_ = 0;
  insertPending_ = false;
  BlankSnapshot();
}

void ItemList::Load(Item item) {
  item.resize(fieldCount_);
  if (items_.size() < slots_) items_.push_back(std::move(item));
}

ItemOutcome ItemList::CheckChanges(const Item& fields) const {
  return fields == snapshot_ ? ItemOutcome::kDone : ItemOutcome::kItemChanged;
}

ItemOutcome ItemList::Attach(const Item& fields) {
  Item item = fields;
  item.resize(fieldCount_);
  const bool grows = current_ >= items_.size() || insertPending_;
  if (grows && items_.size() >= slots_) return ItemOutcome::kListFull;
  if (current_ < items_.size() && !insertPending_)
    items_[current_] = std::move(item);
  else
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(current_), std::move(item));
  insertPending_ = false;
  justAttached_ = true;
  TakeSnapshot();
  return ItemOutcome::kDone;
}

bool ItemList::WouldReplaceJustAttached(const Item& fields) const {
  Item item = fields;
  item.resize(fieldCount_);
  return justAttached_ && !insertPending_ && current_ < items_.size() && item != items_[current_];
}

ItemOutcome ItemList::AttachAfter(const Item& fields) {
  if (items_.size() >= slots_) return ItemOutcome::kListFull;
  if (current_ < items_.size()) ++current_;
  insertPending_ = true;
  return Attach(fields);
}

ItemOutcome ItemList::Insert() {
  if (items_.size() >= slots_) return ItemOutcome::kListFull;
  insertPending_ = true;
  justAttached_ = false;
  BlankSnapshot();
  return ItemOutcome::kDone;
}

ItemOutcome ItemList::Back() {
  justAttached_ = false;
  if (current_ > 0) --current_;
  TakeSnapshot();
  return ItemOutcome::kDone;
}

ItemOutcome ItemList::Forward() {
  if (current_ + 1 > lastPlace_) return ItemOutcome::kPastLastPlace;
  justAttached_ = false;
  ++current_;
  if (current_ >= items_.size()) {
    current_ = items_.size();
    BlankSnapshot();
    return ItemOutcome::kBlank;
  }
  TakeSnapshot();
  return ItemOutcome::kDone;
}

ItemOutcome ItemList::Copy() {
  if (current_ >= items_.size()) return ItemOutcome::kNoItemHere;
  clipboard_.item = items_[current_];
  return ItemOutcome::kDone;
}

ItemOutcome ItemList::Cut() {
  if (current_ >= items_.size()) return ItemOutcome::kNoItemHere;
  clipboard_.item = items_[current_];
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(current_));
  justAttached_ = false;
  TakeSnapshot();
  return ItemOutcome::kDone;
}

ItemOutcome ItemList::Paste() {
  const auto& copied = clipboard_.item;
  bool whole = copied.has_value();
  for (size_t i = 0; whole && i < pasteFields_ && i < copied->size(); ++i)
    if ((*copied)[i].empty()) whole = false;
  if (!whole) return ItemOutcome::kClipboardEmpty;
  if (items_.size() >= slots_) return ItemOutcome::kListFull;
  Item item = *copied;
  item.resize(fieldCount_);
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(current_), std::move(item));
  insertPending_ = false;
  justAttached_ = false;
  TakeSnapshot();
  return ItemOutcome::kDone;
}

}  // namespace kio
