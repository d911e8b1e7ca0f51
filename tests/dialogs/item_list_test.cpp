// The list editors' item rules, without a dialog: each case starts from a
// list of named one-text items at a position, runs a few operations, and
// checks what the last one said, the items and the position.
#include "dialogs/item_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kio {
namespace {

struct Case {
  const char* name;
  const char* items;  // one letter an item
  size_t at;          // the position to start from
  const char* ops;    // A=Attach "x", I=Insert, B=Back, F=Forward, C=Copy, X=Cut, P=Paste
  ItemOutcome last;
  const char* after;  // the items afterwards
  size_t current;
};

// Items of one text, the first required for a paste.
std::string RunOps(ItemList& list, const Case& c, ItemOutcome& last) {
  for (const char* op = c.ops; *op; ++op) {
    switch (*op) {
      case 'A': last = list.Attach({"x"}); break;
      case 'I': last = list.Insert(); break;
      case 'B': last = list.Back(); break;
      case 'F': last = list.Forward(); break;
      case 'C': last = list.Copy(); break;
      case 'X': last = list.Cut(); break;
      case 'P': last = list.Paste(); break;
    }
  }
  std::string out;
  for (const Item& item : list.Items()) out += item[0];
  return out;
}

TEST(ItemList, Rules) {
  const Case cases[] = {
      {"attach over an item overwrites it", "abcde", 2, "A", ItemOutcome::kDone, "abxde", 2},
      {"attach after insert inserts before the item", "abcde", 2, "IA", ItemOutcome::kDone, "abxcde", 2},
      {"attach on the blank place appends", "ab", 2, "A", ItemOutcome::kDone, "abx", 2},
      {"forward from the last item reaches the blank place", "abc", 2, "F", ItemOutcome::kBlank, "abc", 3},
      {"forward on the blank place stays there", "abc", 3, "F", ItemOutcome::kBlank, "abc", 3},
      {"back stops at the first item", "abc", 0, "B", ItemOutcome::kDone, "abc", 0},
      {"cut of the last item leaves the blank place shown", "abc", 2, "X", ItemOutcome::kDone, "ab", 2},
      {"cut shows the item that followed", "abc", 0, "X", ItemOutcome::kDone, "bc", 0},
      {"cut on the blank place is refused", "abc", 3, "X", ItemOutcome::kNoItemHere, "abc", 3},
      {"copy on the blank place is refused", "abc", 3, "C", ItemOutcome::kNoItemHere, "abc", 3},
      {"paste inserts before the current item", "abc", 1, "CFP", ItemOutcome::kDone, "abbc", 2},
      {"a cut item pastes back elsewhere", "abc", 0, "XFP", ItemOutcome::kDone, "bac", 1},
      {"paste with nothing copied is refused", "abc", 1, "P", ItemOutcome::kClipboardEmpty, "abc", 1},
      {"paste clears a pending insert", "abc", 0, "CIPA", ItemOutcome::kDone, "xabc", 0},
  };
  for (const Case& c : cases) {
    ItemClipboard clipboard;
    ItemList list(1, 102, 100, 1, clipboard);
    for (const char* p = c.items; *p; ++p) list.Load({std::string(1, *p)});
    while (list.Current() < c.at) list.Forward();
    ItemOutcome last = ItemOutcome::kDone;
    EXPECT_EQ(RunOps(list, c, last), c.after) << c.name;
    EXPECT_EQ(last, c.last) << c.name;
    EXPECT_EQ(list.Current(), c.current) << c.name;
  }
}

TEST(ItemList, ForwardStopsAtTheHundredthPlaceAndAFullListRefusesMore) {
  ItemClipboard clipboard;
  ItemList list(1, 102, 100, 1, clipboard);
  for (int i = 0; i < 101; ++i) {
    ASSERT_EQ(list.Attach({"i"}), ItemOutcome::kDone);
    if (i < 100) ASSERT_EQ(list.Forward(), ItemOutcome::kBlank);
  }
  EXPECT_EQ(list.Count(), 101u);
  EXPECT_EQ(list.Current(), 100u);
  EXPECT_EQ(list.Forward(), ItemOutcome::kPastLastPlace);
  EXPECT_EQ(static_cast<int>(RecordOf(ItemOutcome::kPastLastPlace).value()), 105);
  EXPECT_EQ(list.Current(), 100u);
  EXPECT_EQ(list.PositionText(), "101/101");
  // The 102nd slot takes one more; after that nothing is lost to a paste.
  ASSERT_EQ(list.Copy(), ItemOutcome::kDone);
  EXPECT_EQ(list.Paste(), ItemOutcome::kDone);
  EXPECT_EQ(list.Paste(), ItemOutcome::kListFull);
  EXPECT_EQ(list.Insert(), ItemOutcome::kListFull);
  EXPECT_EQ(list.Count(), 102u);
}

TEST(ItemList, ChangesAreMeasuredAgainstTheItemAsShownAndAPasteNeedsAWholeItem) {
  ItemClipboard clipboard;
  ItemList list(3, 102, 100, 2, clipboard);
  list.Load({"a", "b", "c"});
  list.TakeSnapshot();
  EXPECT_EQ(list.CheckChanges({"a", "b", "c"}), ItemOutcome::kDone);
  EXPECT_EQ(list.CheckChanges({"a", "b", "changed"}), ItemOutcome::kItemChanged);
  EXPECT_EQ(static_cast<int>(RecordOf(ItemOutcome::kItemChanged).value()), 110);
  EXPECT_EQ(list.Insert(), ItemOutcome::kDone);
  EXPECT_EQ(list.CheckChanges({"", "", ""}), ItemOutcome::kDone);
  // The clipboard is the caller's: another list sees what this one copied.
  clipboard.item = Item{"x", "", "z"};
  EXPECT_EQ(list.Paste(), ItemOutcome::kClipboardEmpty);
  EXPECT_EQ(static_cast<int>(RecordOf(ItemOutcome::kClipboardEmpty).value()), 106);
  ItemList other(3, 102, 100, 2, clipboard);
  other.Load({"p", "q", "r"});
  ASSERT_EQ(other.Copy(), ItemOutcome::kDone);
  EXPECT_EQ(list.Paste(), ItemOutcome::kDone);
  EXPECT_EQ(list.At(0), (Item{"p", "q", "r"}));
  EXPECT_FALSE(list.InsertPending());
}

// Attach, typing over the item just stored, and Attach again: the list
// tells the editor so (it asks), and can keep both.
TEST(ItemList, AnItemJustAttachedIsNotReplacedUnasked) {
  ItemClipboard clipboard;
  ItemList list(1, 3, 100, 1, clipboard);
  ASSERT_EQ(list.Attach({"q1"}), ItemOutcome::kDone);
  EXPECT_FALSE(list.WouldReplaceJustAttached({"q1"}));  // attached again unchanged
  EXPECT_TRUE(list.WouldReplaceJustAttached({"q2"}));
  ASSERT_EQ(list.AttachAfter({"q2"}), ItemOutcome::kDone);
  EXPECT_EQ(list.Items(), (std::vector<Item>{{"q1"}, {"q2"}}));
  EXPECT_EQ(list.PositionText(), "2/2");
  // Added in the middle: after the item shown, not at the end.
  list.Back();
  ASSERT_EQ(list.Attach({"q1"}), ItemOutcome::kDone);
  ASSERT_EQ(list.AttachAfter({"q1b"}), ItemOutcome::kDone);
  EXPECT_EQ(list.Items(), (std::vector<Item>{{"q1"}, {"q1b"}, {"q2"}}));
  EXPECT_EQ(list.Current(), 1u);
  // A full list refuses the new item and keeps every one.
  EXPECT_EQ(list.AttachAfter({"q4"}), ItemOutcome::kListFull);
  EXPECT_EQ(list.Count(), 3u);
  // An item reached by moving is being mended: no question.
  for (auto move : {&ItemList::Back, &ItemList::Forward, &ItemList::Insert, &ItemList::Cut}) {
    ItemList other(1, 102, 100, 1, clipboard);
    other.Attach({"a"});
    other.Attach({"b"});
    (other.*move)();
    EXPECT_FALSE(other.WouldReplaceJustAttached({"c"}));
  }
}

}  // namespace
}  // namespace kio
