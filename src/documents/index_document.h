// The Index: a heading and up to 100 items, each a text shown as a link to
// a page; its ".dex" document and its page, put together from the
// program's own pieces.
#pragma once
#include <string>
#include <vector>

#include "documents/item_list_document.h"
#include "fileio/file.h"
#include "render/page_build.h"
#include "render/page_settings.h"

namespace kio {

constexpr size_t kIndexItemLimit = 100;
// Longest text taken from each of the editor's boxes and read from a ".dex"
// file.
constexpr size_t kIndexTextLimit = 2000;
// The items as the document keeps them: the link and the text, each cut to
// kIndexTextLimit; the link keeps its case.
extern const ItemListFormat kIndexItems;

struct IndexItem {
  std::string link;  // relative to the index folder, "/" separators
  std::string text;  // with markup codes
  bool operator==(const IndexItem&) const = default;
};

struct IndexDocument {
  std::string folder;   // of the index page, with its closing "/"
  std::string heading;  // with markup codes
  std::vector<IndexItem> items;
  bool operator==(const IndexDocument&) const = default;
};

// Whether a link opens in the same window (other menus and indexes: it ends
// in "menu.htm" or "dex.html") rather than in a window of its own.
bool IsPlainLink(const std::string& link);

// The index page. The heading and the item texts are rendered copies: the
// document keeps its codes.
std::string BuildIndexPage(const IndexDocument& index, const std::string& background2,
                           const std::string& boxColor, PageBuild& build);

// The ".dex" document: the settings block, the count, the folder, the
// heading and the items (link, text).
struct IndexFile {
  SettingsBlock settings;
  IndexDocument index;
};
// Texts longer than kIndexTextLimit and items beyond kIndexItemLimit are
// cut; `cut` tells so. Throws FileError.
IndexFile ReadIndexDocument(File& file, bool& cut);
void WriteIndexDocument(File& file, IndexFile& document);

// The page of a document: its colours in the attribute forms the page needs.
std::string IndexPage(const IndexFile& document, PageBuild& build);

}  // namespace kio
