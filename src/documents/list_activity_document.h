// The documents of the activities that keep a list of items, each of six
// texts (Multiple choice ".mul", Dialogical ".gab"): the settings block, the
// count and the items; and the text steps both page-data builders share.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "documents/item_list_document.h"
#include "fileio/file.h"
#include "render/fields.h"
#include "render/page_build.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

// The six texts of an item, in the order of the document and the clipboard.
enum ListActivityField : size_t {
  kItemTextFile = 0,  // the page or picture the item refers to
  kItemAssessed = 1,  // "S" or "N"
  kItemQuestion = 2,
  kItemFourth = 3,  // options / answers
  kItemFifth = 4,   // feedback per option / right feedback
  kItemSixth = 5,   // hint / wrong feedback
};

// Longest texts of the six fields as the boxes are read: the file name, the
// one-letter flag (read with room for a word such as "sim"), and the four
// marked-up texts.
constexpr size_t kItemFileLimit = 97;
constexpr size_t kItemFlagLimit = 7;
constexpr size_t kItemTextLimit = 2997;
// At most this many '+' separators in a field (21 parts).
constexpr size_t kItemPlusLimit = 20;
// Most items a list document holds.
constexpr size_t kListItemCapacity = 102;
// The items of both kinds: the six fields cut to their limits, the file
// name lower-cased.
extern const ItemListFormat kListActivityItems;

// What tells the two kinds apart.
struct ListActivityFormat {
  std::string extension;     // without dot
  std::string templateName;  // the page's template
  // The page data of the items.
  std::function<std::string(const std::vector<Item>&, PageBuild&)> buildData;
};

struct ListActivityDocument {
  SettingsBlock settings;
  std::vector<Item> items;
};

// The whole document. Reading cuts texts longer than their fields and items
// beyond the capacity (`cut` tells so) and lower-cases the file names.
// Throws FileError.
ListActivityDocument ReadListActivityDocument(File& file, bool& cut);
void WriteListActivityDocument(File& file, ListActivityDocument& document);

// What the document's page is made of.
PageContent ListActivityPage(const ListActivityFormat& format, const ListActivityDocument& document,
                             PageBuild& build);

// --- Text steps of the checks and the data blocks ---

// Removes leading and trailing blanks and '+'.
std::string TrimBlanksAndPlus(const std::string& text);
// Deletes every span from a '<' to the next '>', wherever its text occurs.
std::string StripTags(std::string text);
size_t CountPlus(const std::string& text);
// The parts between '+' (one part when there is none).
std::vector<std::string> SplitAtPlus(const std::string& text);
// A marked-up text rendered and escaped for a single-quoted script string.
std::string ScriptText(std::string markup, PageBuild& build);
// A question or hint in the page: " " for "#", otherwise the rendered text
// followed by "<br> <br> <br> ".
std::string SpacedScriptText(const std::string& markup, PageBuild& build);
// "Name[i] = 'value';" (or without quotes) and CR LF for each item.
std::string ItemSection(const std::vector<Item>& items, const std::string& name,
                        const std::function<std::string(const Item&)>& value, bool quoted = true);
// For each item, "Name[i] = new Array();" and a line "Name[i][k] = 'part';"
// (or without quotes) for each of its parts, each line ending in CR LF; the
// last part's line ends in two when `blankAfterItem`.
std::string ArraySection(const std::vector<Item>& items, const std::string& name,
                         const std::function<std::vector<std::string>(const Item&)>& parts,
                         bool quoted = true, bool blankAfterItem = false, const std::string& itemStart = "");
// The section of the texts the items refer to and of their questions.
std::string FileAndQuestionSections(const std::vector<Item>& items, PageBuild& build);

}  // namespace kio
