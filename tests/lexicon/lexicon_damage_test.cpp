// Truncated and corrupted pairs: the store refuses them or reports each
// damaged entry, never crashing, hanging or reading outside the files; the
// check names every fault.
#include <gtest/gtest.h>

#include <functional>

#include "fileio/session.h"
#include "lexicon/lexicon_store.h"
#include "lexicon/pair_check.h"
#include "lexicon_test_util.h"

namespace kio::test {
namespace {

using Pair = std::pair<std::string, std::string>;

void SetU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

Pair Sound() {
  return RawPair({Entry("alfa", "1"), Entry("bravo", "2"), Entry("charlie", "3"), Entry("delta", "4")});
}

struct Damage {
  const char* what;
  std::function<void(Pair&)> damage;
  bool opens;             // the store opens it (entries then report their own damage)
  const char* checkSays;  // a piece of the check's first problem
};

const Damage kDamages[] = {
    {"count larger than the file", [](Pair& p) { SetU32(p.first, 0, 1000); }, false, "holds only 6 slots"},
    {"count of a billion", [](Pair& p) { SetU32(p.first, 0, 1000000000); }, false, "holds only"},
    {"count 1", [](Pair& p) { SetU32(p.first, 0, 1); }, false, "at least its two sentinels"},
    {"count 0", [](Pair& p) { SetU32(p.first, 0, 0); }, false, "at least its two sentinels"},
    {"pointer file of 3 bytes", [](Pair& p) { p.first.resize(3); }, false, "has no count"},
    {"empty pointer file", [](Pair& p) { p.first.clear(); }, false, "has no count"},
    {"offset beyond the data file", [](Pair& p) { SetU32(p.first, 4 + 4 * 2, 100000); }, true, "lies beyond"},
    {"offset at the last byte", [](Pair& p) { SetU32(p.first, 4 + 4 * 2, p.second.size() - 1); }, true,
     "lies beyond"},
    {"offset of 4294967295", [](Pair& p) { SetU32(p.first, 4 + 4 * 3, 0xFFFFFFFF); }, true, "lies beyond"},
    {"negative length",
     [](Pair& p) {
       size_t at = ReadU32(p.first, 4 + 4 * 2);
       p.second[at] = p.second[at + 1] = '\xFF';
     },
     true, "record length -1"},
    {"oversized length",
     [](Pair& p) {
       size_t at = ReadU32(p.first, 4 + 4 * 3);
       p.second[at] = static_cast<char>(5000 & 0xFF);
       p.second[at + 1] = static_cast<char>(5000 >> 8);
     },
     true, "record length 5000"},
    {"data file shorter than a record", [](Pair& p) { p.second.resize(p.second.size() - 3); }, true,
     "runs past the end"},
    {"empty data file", [](Pair& p) { p.second.clear(); }, true, "lies beyond"},
    {"unsorted slots",
     [](Pair& p) {
       uint32_t a = ReadU32(p.first, 4 + 4 * 1), b = ReadU32(p.first, 4 + 4 * 3);
       SetU32(p.first, 4 + 4 * 1, b);
       SetU32(p.first, 4 + 4 * 3, a);
     },
     true, "out of order"},
    {"repeated headword", [](Pair& p) { SetU32(p.first, 4 + 4 * 2, ReadU32(p.first, 4 + 4 * 1)); }, true,
     "repeats entry 1"},
    {"opening sentinel missing", [](Pair& p) { p.second[4] = 'X'; }, true, "opening sentinel is missing"},
    {"closing sentinel missing", [](Pair& p) { p.second[p.second.size() - 3] = 'X'; }, true,
     "closing sentinel is missing"},
    {"entry without marks",
     [](Pair& p) {
       size_t at = ReadU32(p.first, 4 + 4 * 4);
       p.second[at + 2 + 5] = 'X';  // "delta" 0x1C -> "deltaX"
       p.second[at + 2 + 7] = 'X';  // the end mark
     },
     true, "not an entry"},
};

class LexiconDamageTest : public ::testing::TestWithParam<Damage> {
 protected:
  RecordingPlatform platform;
  DictionaryFolder folder;
};

TEST_P(LexiconDamageTest, IsRefusedOrReportedNeverOverrun) {
  Pair pair = Sound();
  GetParam().damage(pair);

  PairCheck check = CheckPair(pair.first, pair.second);
  ASSERT_FALSE(check.sound());
  EXPECT_NE(check.problems[0].find(GetParam().checkSays), std::string::npos) << check.problems[0];

  LexiconStore store{SessionLexiconFiles()};
  ASSERT_EQ(store.OpenBytes(pair.first, pair.second, true), GetParam().opens);
  ShowStoreNotices(store);
  if (!GetParam().opens) {
    EXPECT_EQ(
        platform.shown.back().text,
        W("Cannot access dictionary.\r\n\r\nImpossível acessar o dicionário!  Possivelmente deteriorado."));
  } else {
    // Every read, search and change stays inside the pair; damaged entries
    // read as empty after their messages.
    auto readAsEntry = [](const std::string& text) {
      return text.empty() || text.find('\x1C') != std::string::npos || text.find('\x02') != std::string::npos;
    };
    for (uint32_t n = 0; n <= store.Count(); ++n) {
      uint32_t a = n, b = n;
      EXPECT_TRUE(readAsEntry(store.ReadEntry(a))) << n;
      EXPECT_TRUE(readAsEntry(store.ProbeEntry(b))) << n;
    }
    for (std::string key : {"alfa", "bravo", "delta", "echo", "a", "zzzzzzzzzzzzzzzzzzzzzz"}) {
      uint32_t p = store.Find(key);
      EXPECT_TRUE(p == kOffLimits || (p >= 1 && p < store.Count())) << p;
    }
    std::string key = "bravissimo";
    store.PutEntry(key, Entry("bravissimo", "x"));
    store.DeleteRange(1, 2);
    ShowStoreNotices(store);
    for (const auto& shown : platform.shown) EXPECT_EQ(shown.caption, "Oops!") << shown.text;
  }

  // The same pair on disk: editing refuses it or starts, and a Save either
  // stops at the damage or writes a pair the store reads back.
  platform.shown.clear();
  WritePair(pair);
  if (!store.BeginUpdate()) {
    EXPECT_FALSE(GetParam().opens);
    return;
  }
  EXPECT_TRUE(GetParam().opens);
  if (store.Commit()) {
    EXPECT_EQ(store.OpenNamed(CurrentSession().appPaths.lexiconDataFile), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, LexiconDamageTest, ::testing::ValuesIn(kDamages), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.what; *c; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  return name;
});

TEST(LexiconDamage, DamagedEntriesGiveTheReadMessages) {
  RecordingPlatform platform;
  Pair pair = Sound();
  SetU32(pair.first, 4 + 4 * 2, 100000);
  LexiconStore store;
  ASSERT_TRUE(store.OpenBytes(pair.first, pair.second));
  uint32_t n = 2;
  EXPECT_EQ(store.ReadEntry(n), "");
  EXPECT_EQ(store.ProbeEntry(n), "");
  ShowStoreNotices(store);
  EXPECT_EQ(
      platform.Texts(),
      (std::vector<std::string>{
          "Error (2) on reading entry from dictionary.\r\n\r\nErro (2) ao ler verbete do dicionario.",
          "Error (4) on reading entry from dictionary.\r\n\r\nErro  (4) ao ler verbete do dicionario."}));
  // The other entries are still found.
  std::string key = "charlie";
  EXPECT_EQ(store.Find(key), 3u);
  EXPECT_EQ(key, "charlie");
}

}  // namespace
}  // namespace kio::test
