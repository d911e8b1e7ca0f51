// The item rules as values, without any dialog: which rule an item breaks
// and which field it concerns. (The messages the editors show for them are
// tested with the editors.)
#include "documents/item_checks.h"

#include <gtest/gtest.h>

#include "documents/list_activity_document.h"

namespace kio {
namespace {

TEST(ItemChecks, EachProblemNamesItsRuleAndField) {
  using R = ItemRule;
  struct Case {
    const char* what;
    bool dialogical;
    Item item;
    std::vector<ItemProblem> problems;
  } cases[] = {
      {"good", false, {"a.htm", "S", "Q", ">a+b", "x+y", "h"}, {}},
      {"short name, bad flag",
       false,
       {"ab", "x", "Q", ">a", "f", "h"},
       {{R::kFileName, kItemTextFile}, {R::kAssessed, kItemAssessed}}},
      {"no right option, mark on an empty one",
       false,
       {"#", "S", "Q", "a+> +b", "x+y+z", "h"},
       {{R::kMarkOnEmptyOption, kItemFourth}}},
      {"empty hint, feedback count",
       false,
       {"#", "S", "Q", "a+b", "x", " + "},
       {{R::kNoRightOption, kItemFourth}, {R::kEmptyField, kItemSixth}, {R::kFeedbackCount, kItemFifth}}},
      {"too many wrong feedbacks",
       true,
       {"#", "N", "Q", "a", "x", "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22"},
       {{R::kTooManyParts, kItemSixth}}},
      {"empty question", true, {"#", "N", "", "a", "x", "#"}, {{R::kEmptyField, kItemQuestion}}},
  };
  for (auto& c : cases) {
    Item item = c.item;
    const auto problems = c.dialogical ? CheckDialogicalItem(item, 1) : CheckMultipleItem(item, 1);
    EXPECT_EQ(problems, c.problems) << c.what;
  }
}

TEST(ItemChecks, AnIndexItemNeedsItsFourBoxes) {
  EXPECT_EQ(CheckIndexItem({"a.htm", "A"}, "unit/", "Course"), std::vector<ItemProblem>{});
  EXPECT_EQ(CheckIndexItem({"a.htm", "A"}, "", "Course"),
            (std::vector<ItemProblem>{{ItemRule::kEmptyField, kIndexFolderBox}}));
  EXPECT_EQ(CheckIndexItem({"a.htm", ""}, "unit/", "Course"),
            (std::vector<ItemProblem>{{ItemRule::kEmptyField, kIndexTextBox}}));
  EXPECT_EQ(CheckIndexItem({}, "unit/", "Course"),
            (std::vector<ItemProblem>{{ItemRule::kEmptyField, kIndexLinkBox}}));
}

}  // namespace
}  // namespace kio
