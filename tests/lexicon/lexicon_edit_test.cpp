// The editor's bulk operations: Replace resuming after each replacement and
// re-filing entries, Search from the next entry, Cut segment's range, and
// Save part writing a compact pair or nothing at all.
#include "lexicon/lexicon_edit.h"

#include <gtest/gtest.h>

#include "fileio/session.h"
#include "lexicon_test_util.h"

namespace kio::test {
namespace {

class LexiconEditTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentSession().Reset(); }
  // Opens a writable in-memory dictionary holding `entries` (headword, body).
  void Open(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<std::string> texts;
    for (const auto& [h, b] : entries) texts.push_back(Entry(h, b));
    auto pair = RawPair(texts);
    ASSERT_TRUE(store.OpenBytes(pair.first, pair.second, true));
  }
  std::string EntryAt(uint32_t n) { return store.ReadEntry(n); }

  RecordingPlatform platform;
  LexiconStore store;
};

TEST(ReplaceSegment, ResumesAfterEachReplacement) {
  struct Case {
    const char* text;
    const char* segment;
    const char* replacement;
    const char* expected;
    size_t count;
  } cases[] = {
      {"colour", "colour", "colours", "colours", 1},
      {"a colour, colour", "colour", "colours", "a colours, colours", 2},
      {"aaa", "aa", "X", "Xa", 1},
      {"colour", "our", "or", "color", 1},
      {"nothing", "xyz", "q", "nothing", 0},
      {"abc", "", "q", "abc", 0},
      {"abcabc", "abc", "", "", 2},
  };
  for (const Case& c : cases) {
    size_t count = 0;
    EXPECT_EQ(ReplaceSegment(c.text, c.segment, c.replacement, count), c.expected) << c.text;
    EXPECT_EQ(count, c.count) << c.text;
  }
}

TEST_F(LexiconEditTest, ReplaceRefilesAnEntryUnderItsNewHeadword) {
  Open({{"apple", "fruit"}, {"colour", "a colour"}, {"cone", "shape"}, {"zebra", "animal"}});
  ReplaceReport r = ReplaceThroughout(store, "colour", "color");
  EXPECT_EQ(r.searched, 4u);
  EXPECT_EQ(r.replacements, 2u);
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"apple", "color", "cone", "zebra"}));
  EXPECT_EQ(EntryAt(2), Entry("color", "a color"));
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_TRUE(store.TakeNotices().empty());
}

TEST_F(LexiconEditTest, ReplaceByATextHoldingTheSegmentEndsAndVisitsEachEntryOnce) {
  // "colour" becomes "colours", which files after "colour tone": met again, it
  // would grow for ever.
  Open({{"colour", "colour"}, {"colour tone", "tone"}, {"red", "a colour"}});
  ReplaceReport r = ReplaceThroughout(store, "colour", "colours");
  EXPECT_EQ(r.replacements, 4u);
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"colours", "colours tone", "red"}));
  EXPECT_EQ(EntryAt(1), Entry("colours", "colours"));
  EXPECT_EQ(EntryAt(2), Entry("colours tone", "tone"));
  EXPECT_EQ(EntryAt(3), Entry("red", "a colours"));
}

TEST_F(LexiconEditTest, ReplaceStoppedChangesNothing) {
  Open({{"colour", "x"}, {"red", "colour"}});
  LexiconProgress stop{{}, [](uint32_t) { return true; }};
  ReplaceReport r = ReplaceThroughout(store, "colour", "color", stop);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"colour", "red"}));
  EXPECT_EQ(EntryAt(2), Entry("red", "colour"));
}

TEST_F(LexiconEditTest, ReplaceLeavesAnEntryItWouldEmptyAsItWas) {
  Open({{"cat", "animal"}, {"dog", "cat"}});
  ReplaceReport r = ReplaceThroughout(store, "cat", "");
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"cat", "dog"}));
  EXPECT_EQ(EntryAt(1), Entry("cat", "animal"));
  EXPECT_EQ(EntryAt(2), std::string("dog\x1C\x02"));
  EXPECT_EQ(r.replacements, 1u);
  auto notices = store.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].text.find("verbete 1 "), std::string::npos);
}

TEST_F(LexiconEditTest, SearchStartsAfterTheCurrentEntryAndIgnoresCase) {
  Open({{"a", "one"}, {"b", "has xyz"}, {"c", "three"}, {"d", "Xyz again"}});
  EXPECT_EQ(SearchSegment(store, 2, "xyz"), 4u);
  EXPECT_EQ(SearchSegment(store, 1, "XYZ"), 2u);
  EXPECT_EQ(SearchSegment(store, 4, "xyz"), 0u);
  EXPECT_EQ(SearchSegment(store, 0, "\xC9T\xC9"), 0u);
  EXPECT_EQ(UpperCase1252("\xE9t\xE9 \x9C\xFF"), "\xC9T\xC9 \x8C\x9F");
}

TEST_F(LexiconEditTest, CutSegmentTakesAnInclusiveRange) {
  Open({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
  EXPECT_TRUE(CutSegment(store, 3, 2));
  EXPECT_EQ(store.Count(), 7u);
  EXPECT_TRUE(CutSegment(store, 3, 3));
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"a", "b", "d", "e"}));
  // Up to the closing sentinel: through the last entry, the sentinel stays.
  EXPECT_TRUE(CutSegment(store, 3, store.Count() - 1));
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"a", "b"}));
}

TEST(CutRange, Limits) {
  const uint32_t count = 7;  // five entries
  struct Case {
    uint32_t from, to;
    bool fits;
  } cases[] = {{1, 1, true},  {5, 6, true},  {3, 2, true}, {0, 3, false},
               {6, 6, false}, {1, 7, false}, {1, 0, false}};
  for (const Case& c : cases) EXPECT_EQ(CutRangeFits(count, c.from, c.to), c.fits) << c.from << ".." << c.to;
  EXPECT_TRUE(SavePartRangeFits(count, 2, 4));
  EXPECT_TRUE(SavePartRangeFits(count, 5, 5));
  EXPECT_FALSE(SavePartRangeFits(count, 4, 2));
  EXPECT_FALSE(SavePartRangeFits(count, 1, 6));
  EXPECT_FALSE(SavePartRangeFits(count, 0, 2));
}

class SavePartTest : public LexiconEditTest {
 protected:
  DictionaryFolder folder;
};

TEST_F(SavePartTest, WritesTheRangeAsACompactPairByteForByte) {
  Open({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
  EXPECT_EQ(SavePart(store, 2, 4, "parte.kio"), SavePartResult::kSaved);
  auto expected = RawPair({Entry("b", "2"), Entry("c", "3"), Entry("d", "4")});
  EXPECT_EQ(ReadFile(folder / "parte.kpo"), expected.first);
  EXPECT_EQ(ReadFile(folder / "parte.kio"), expected.second);
  EXPECT_EQ(ReadU32(expected.first, 0), 5u);
  // The last real entry can be included.
  EXPECT_EQ(SavePart(store, 5, 5, "fim.kio"), SavePartResult::kSaved);
  EXPECT_EQ(ReadFile(folder / "fim.kio"), RawPair({Entry("e", "5")}).second);
}

TEST_F(SavePartTest, RefusesAReversedRangeAndWritesNothing) {
  Open({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  EXPECT_EQ(SavePart(store, 3, 2, "parte.kio"), SavePartResult::kBadRange);
  EXPECT_FALSE(fs::exists(folder / "parte.kio"));
  EXPECT_FALSE(fs::exists(folder / "parte.kpo"));
}

TEST_F(SavePartTest, AStopOrADamagedEntryLeavesNoPartialPairAndSaysSo) {
  Open({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  LexiconProgress stop{{}, [](uint32_t n) { return n == 2; }};
  EXPECT_EQ(SavePart(store, 1, 3, "parte.kio", stop), SavePartResult::kStopped);
  EXPECT_FALSE(fs::exists(folder / "parte.kio"));
  EXPECT_FALSE(fs::exists(folder / "parte.kpo"));
  auto notices = store.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].text.find("nenhum arquivo foi gravado"), std::string::npos);

  auto pair = RawPair({Entry("a", "1"), "damaged", Entry("c", "3")});
  ASSERT_TRUE(store.OpenBytes(pair.first, pair.second, true));
  EXPECT_EQ(SavePart(store, 1, 3, "parte.kio", {}, "record 84"), SavePartResult::kDamaged);
  EXPECT_FALSE(fs::exists(folder / "parte.kio"));
  EXPECT_FALSE(fs::exists(folder / "parte.kpo"));
  notices = store.TakeNotices();
  ASSERT_GE(notices.size(), 2u);
  EXPECT_EQ(notices[notices.size() - 2].text, "record 84");
}

}  // namespace
}  // namespace kio::test
