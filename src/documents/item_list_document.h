// The list of items that several documents keep (Multiple choice, Dialogical,
// Index): the count and each item's texts one after the other. One
// implementation of the reading and writing, configured per kind with the
// limits of its texts, which of them are file names kept lower-cased, and
// how many items the kind holds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/fields.h"

namespace kio {

// An item's texts, in the order of the document.
using Item = std::vector<std::string>;

struct ItemListFormat {
  std::vector<size_t> limits;  // longest text of each field, one per field
  std::vector<size_t> names;   // fields that are file names, lower-cased
  size_t capacity = 0;         // most items the list holds
};

// Reads `count` items. Texts longer than their fields and items beyond the
// capacity are cut (`cut` tells so: the items past it are not read).
// Throws FileError.
std::vector<Item> ReadItems(FieldReader& reader, uint32_t count, const ItemListFormat& format, bool& cut);
// Reads the count, then the items.
std::vector<Item> ReadItemList(FieldReader& reader, const ItemListFormat& format, bool& cut);
// Writes the items' texts; WriteItemList the count before them.
void WriteItems(FieldWriter& writer, const std::vector<Item>& items);
void WriteItemList(FieldWriter& writer, const std::vector<Item>& items);

}  // namespace kio
