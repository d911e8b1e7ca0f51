// The headword order and the entry field extractors.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "kio_test.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_entry.h"

namespace kio::test {
namespace {

TEST(LexiconCollation, OrdersHeadwordsCaseInsensitivelyAndAccentAware) {
  struct Case {
    std::string a, b;
    int expected;
  } cases[] = {
      {"house", "HOUSE", 0},
      {W("Ação"), W("AÇÃO"), 0},
      {"pe", W("pé"), -1},
      {W("pé"), "pea", -1},
      {W("água"), "ah", -1},
      {"a lot of", "a-", -1},
      {"a-", "a'", -1},
      {"a'", "aaron", -1},
      {"co-op", "coal", -1},
      {"a lot", "alot", -1},
      {"9", "a", -1},
      {"#plural:-s", "a", -1},
      {"\x01", "", 0},
      {"\x01", "#", -1},
      {"zzzzzzzzzzzzzzzzzzzz", "zzzzzzzzzzzzzzzzzzzzz", -1},
      {"zebra", "zzzzzzzzzzzzzzzzzzzz", -1},
      {W("Çedilha"), "cedilha", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareHeadwords(c.a, c.b), c.expected) << c.a << " / " << c.b;
    EXPECT_EQ(CompareHeadwords(c.b, c.a), -c.expected) << c.b << " / " << c.a;
    EXPECT_EQ(CompareSortKeys(HeadwordSortKey(c.a), HeadwordSortKey(c.b)), c.expected) << c.a << " / " << c.b;
  }
}

TEST(LexiconCollation, SortKeysAgreeWithTheComparisonOnEveryByte) {
  // Random short texts over letters, accented letters, blanks and symbols.
  const std::string alphabet = W("aAbBeEéÉçÇãõôü -'#zZ019.") + "\x01\x80\x9F";
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 400; ++i) {
    std::string t;
    int n = rng() % 6;
    for (int k = 0; k < n; ++k) t += alphabet[rng() % alphabet.size()];
    texts.push_back(t);
  }
  for (size_t i = 0; i + 1 < texts.size(); ++i)
    EXPECT_EQ(CompareSortKeys(HeadwordSortKey(texts[i]), HeadwordSortKey(texts[i + 1])),
              CompareHeadwords(texts[i], texts[i + 1]))
        << texts[i] << " / " << texts[i + 1];
}

TEST(LexiconEntryFields, HeadwordAndNextField) {
  struct Case {
    std::string text;
    std::string headword;
    size_t afterHeadword;
    std::string field;
    size_t afterField;
    std::string exported;
  } cases[] = {
      {"casa\x1Chouse\x02", "casa", 4, "house", 10, "house"},
      {"ir\x1Cto go//ir\x02", "ir", 2, "to go//ir", 12, "to go"},
      {"x\x1C//note\x02", "x", 1, "//note", 8, "//note"},  // "//" at index 0 is kept
      {"x\x1C"
       "a\x1D"
       "b\x02",
       "x", 1, "", 0, ""},  // the stop mark comes first
      {"x\x1Cno end", "x", 1, "", 0, ""},
      {"no separator\x02", "", 0, "o separator", 12, "o separator"},  // from index 1
      {std::string("x\x1C"
                   "ab\0c\x02",
                   7),
       "x", 1, "", 0, ""},  // a zero byte ends the text
  };
  for (const Case& c : cases) {
    size_t position = 99;
    EXPECT_EQ(Headword(c.text, position), c.headword);
    EXPECT_EQ(position, c.afterHeadword);
    size_t p = position;
    EXPECT_EQ(NextField(c.text, p), c.field);
    EXPECT_EQ(p, c.afterField);
    p = position;
    EXPECT_EQ(NextFieldForExport(c.text, p), c.exported);
  }
}

TEST(LexiconEntryFields, EntriesAsTheEditorBuildsThem) {
  EXPECT_EQ(MakeEntry("casa", "house \r\n\r\n"), "casa\x1Chouse\x02");
  EXPECT_EQ(MakeEntry("casa", "a\r\nb"),
            "casa\x1C"
            "a\r\nb\x02");
  EXPECT_EQ(MakeEntry("x", "\r\n"), "x\x1C\r\x02");  // never shortened below its first character
  EXPECT_EQ(CleanHeadword("  in front of  "), "in front of");
  EXPECT_EQ(CleanHeadword(" # plural : -s "), "#plural:-s");
  EXPECT_EQ(CleanHeadword("$ x y"), "$xy");
  EXPECT_EQ(CleanHeadword("   "), "");
}

}  // namespace
}  // namespace kio::test
