// The rules an item of a list document must keep before the editor stores
// it (Multiple choice, Dialogical, Index). Each check normalises the item's
// texts in place as the document keeps them and returns the problems it
// found, in the order the teacher reads them: which rule, which field. The
// editor shows them; nothing here shows anything.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "documents/item_list_document.h"

namespace kio {

enum class ItemRule {
  kFileName,           // the linked file: a whole name, or "#" (after the first item)
  kAssessed,           // the flag: "S" or "N"
  kNoRightOption,      // Multiple choice: an option marked right with '>'
  kMarkOnEmptyOption,  // Multiple choice: a '>' before an empty option
  kEmptyField,         // no field empty ("#" marks one without text)
  kFeedbackCount,      // as many feedback parts as options or answers
  kTooManyParts,       // at most 21 parts ('+' signs) per field
};

struct ItemProblem {
  ItemRule rule;
  size_t field;  // the item field it concerns
  bool operator==(const ItemProblem&) const = default;
};

// Multiple choice and Dialogical items of six fields, shown at position
// `current` (0 the first): blanks and '+' trimmed from the ends of the
// file name, question and feedbacks, the flag reduced to its letter ("Y"
// stored as "S").
std::vector<ItemProblem> CheckMultipleItem(Item& item, size_t current);
std::vector<ItemProblem> CheckDialogicalItem(Item& item, size_t current);

// The Index's boxes: the item's link and text beside the index's folder
// and heading; none may be empty.
enum IndexBox : size_t { kIndexLinkBox = 0, kIndexTextBox = 1, kIndexFolderBox = 2, kIndexHeadingBox = 3 };
std::vector<ItemProblem> CheckIndexItem(const Item& item, const std::string& folder,
                                        const std::string& heading);

}  // namespace kio
