// The item list that Multiple choice, Dialogical and the Index keep: one
// reading and writing configured per kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/index_document.h"
#include "documents/list_activity_document.h"
#include "fileio/file.h"
#include "kio_test.h"

namespace kio {
namespace {

// Writes `items` as a list and reads them back in `format`.
// `whole`: every item is read, so the reading ends at the file's end.
std::vector<Item> Reread(const std::vector<Item>& items, const ItemListFormat& format, bool& cut,
                         bool whole = true) {
  test::TempDir folder;
  const std::string path = (folder.path() / "items").string();
  File file;
  file.Create(path);
  FieldWriter writer(file);
  WriteItemList(writer, items);
  file.Close();
  EXPECT_TRUE(file.Open(path, File::kRead));
  FieldReader reader(file);
  std::vector<Item> back = ReadItemList(reader, format, cut);
  if (whole) EXPECT_EQ(file.Position(), file.Length());
  return back;
}

TEST(ItemList, EachKindCutsItsFieldsAndKeepsItsNames) {
  const std::string longText(3000, 'q');
  bool cut = false;
  const std::vector<Item> list = {{"Leitura.HTM", "S", "Q", "a+>b", "x+y", "hint"}};
  EXPECT_EQ(Reread(list, kListActivityItems, cut),
            (std::vector<Item>{{"leitura.htm", "S", "Q", "a+>b", "x+y", "hint"}}));
  EXPECT_FALSE(cut);

  // The Index keeps its link's case.
  EXPECT_EQ(Reread({{"Unit1/Menu.htm", "Unit 1"}}, kIndexItems, cut),
            (std::vector<Item>{{"Unit1/Menu.htm", "Unit 1"}}));
  EXPECT_FALSE(cut);

  const std::vector<Item> longItem = {{"a.htm", "S", longText, "o", "f", "h"}};
  const std::vector<Item> back = Reread(longItem, kListActivityItems, cut);
  EXPECT_TRUE(cut);
  EXPECT_EQ(back.at(0).at(kItemQuestion).size(), kItemTextLimit);
}

TEST(ItemList, ItemsBeyondTheCapacityAreCut) {
  const ItemListFormat small = {{10, 10}, {0}, 2};
  bool cut = false;
  EXPECT_EQ(Reread({{"A", "1"}, {"B", "2"}, {"C", "3"}}, small, cut, false),
            (std::vector<Item>{{"a", "1"}, {"b", "2"}}));
  EXPECT_TRUE(cut);
}

}  // namespace
}  // namespace kio
