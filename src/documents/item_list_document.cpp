#include "documents/item_list_document.h"

#include "platform/text_encoding.h"

namespace kio {

std::vector<Item> ReadItems(FieldReader& reader, uint32_t count, const ItemListFormat& format, bool& cut) {
  std::vector<Item> items;
  for (uint32_t n = 0; n < count; ++n) {
    if (n >= format.capacity) {
      cut = true;
      break;
    }
    Item item;
    for (size_t limit : format.limits) item.push_back(reader.TextCut(limit, cut));
    for (size_t field : format.names) item[field] = ToLower(item[field]);
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<Item> ReadItemList(FieldReader& reader, const ItemListFormat& format, bool& cut) {
  const uint32_t count = reader.Number();
  return ReadItems(reader, count, format, cut);
}

void WriteItems(FieldWriter& writer, const std::vector<Item>& items) {
  for (const Item& item : items)
    for (const std::string& text : item) writer.Text(text);
}

void WriteItemList(FieldWriter& writer, const std::vector<Item>& items) {
  writer.Number(static_cast<uint32_t>(items.size()));
  WriteItems(writer, items);
}

}  // namespace kio
