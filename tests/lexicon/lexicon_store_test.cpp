// The dictionary store: names, the exact new pair, reads and their clamping,
// Find and PutEntry, the pointer primitives, Commit and the open questions.
#include "lexicon/lexicon_store.h"

#include <gtest/gtest.h>

#include "fileio/session.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/pair_check.h"
#include "lexicon_test_util.h"

namespace kio::test {
namespace {

class LexiconStoreTest : public ::testing::Test {
 protected:
  // The store works on the session's dictionary, as the editors' does.
  LexiconStoreTest() { FollowSession(store); }
  // A dictionary of `n` entries "w000", "w001", ... with bodies "b000"...
  void Fill(int n) { StoreNumberedEntries(store, n); }
  // A progress that keeps the bar positions in `positions`.
  LexiconProgress Progress(std::vector<int>& positions) {
    LexiconProgress p;
    p.position = [&positions](int position) { positions.push_back(position); };
    return p;
  }
  uint32_t SlotValue(uint32_t i) {
    return ReadU32(ReadFile(CurrentSession().appPaths.lexiconBackupPointerFile), 4 + 4 * i);
  }

  RecordingPlatform platform;
  DictionaryFolder folder;
  LexiconStore store;
};

TEST(LexiconNames, DerivedFromTheDataFileName) {
  struct Case {
    const char* given;
    const char* data;
    const char* pointer;
    const char* backupData;
    const char* backupPointer;
  } cases[] = {
      {"Ingles.KIO", "ingles.kio", "ingles.kpo", "ingles_bak.kio", "ingles_bak.kpo"},
      {"vocab.kio", "vocab.kio", "vocab.kpo", "vocab_bak.kio", "vocab_bak.kpo"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    LexiconStore::DeriveNames(c.given);
    EXPECT_EQ(CurrentSession().appPaths.lexiconDataFile, c.data);
    EXPECT_EQ(CurrentSession().appPaths.lexiconPointerFile, c.pointer);
    EXPECT_EQ(CurrentSession().appPaths.lexiconBackupDataFile, c.backupData);
    EXPECT_EQ(CurrentSession().appPaths.lexiconBackupPointerFile, c.backupPointer);
  }
}

TEST_F(LexiconStoreTest, CreateWritesTheExactEmptyPairAndRecordsItsName) {
  ASSERT_TRUE(store.Create("Novo.KIO"));
  EXPECT_EQ(ReadFile(folder / "novo.kpo"), kEmptyPointer);
  EXPECT_EQ(ReadFile(folder / "novo.kio"), kEmptyData);
  EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "novo.kio");
  EXPECT_TRUE(store.IsOpen());
  EXPECT_EQ(store.Count(), 2u);
  ShowStoreNotices(store);
  EXPECT_TRUE(platform.shown.empty());
  // A cancelled chooser's name creates nothing.
  EXPECT_FALSE(store.Create("*.KIO"));
  EXPECT_FALSE(store.Create(""));
}

TEST_F(LexiconStoreTest, RecordNameRefusesNamesThatCannotBeADictionary) {
  for (const char* bad : {"abc", ".kio", "ab.k", "semponto"}) {
    platform.shown.clear();
    // The store refuses; the dialog side ends the program (below).
    EXPECT_FALSE(store.RecordName(bad)) << bad;
    ShowStoreNotices(store);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, " Cannot create config file. Program aborted. ");
    EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "teste.kio");
  }
}

// Nothing the store does shows a message or asks a question: what it has to
// say waits for its caller.
TEST_F(LexiconStoreTest, TheStoreShowsNothingItself) {
  EXPECT_EQ(store.OpenNamed("nenhum.kio"), 1);
  std::string key = "x";
  EXPECT_FALSE(store.PutEntry(key, Entry("x", "y")));
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_FALSE(store.TakeNotices().empty());
  EXPECT_TRUE(store.TakeNotices().empty());
}

TEST_F(LexiconStoreTest, RecordNameWithoutLexiconDatWarnsOfTheRecovery) {
  fs::remove(folder / "lexicon.dat");
  store.RecordName("Outro.kio");
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].caption, "KIO");
  EXPECT_EQ(platform.shown[0].text,
            W(" KIO is trying to recover dictionary.\r\n\r\n KIO está tentanto recuperar dicionário.   "));
  EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "outro.kio");
  EXPECT_EQ(CurrentSession().appPaths.lexiconPointerFile, "outro.kpo");
}

TEST_F(LexiconStoreTest, ReadEntryClampsToTheRealEntries) {
  Fill(5);
  ASSERT_EQ(store.OpenNamed("teste.kio"), 0);
  struct Case {
    uint32_t asked, read;
  } cases[] = {{0, 1}, {1, 1}, {3, 3}, {5, 5}, {6, 5}, {999999999, 5}};
  for (const Case& c : cases) {
    uint32_t n = c.asked;
    EXPECT_EQ(Headword(store.ReadEntry(n)), "w00" + std::to_string(c.read - 1));
    EXPECT_EQ(n, c.read);
  }
  // ProbeEntry reaches both sentinels.
  uint32_t n = 0;
  EXPECT_EQ(store.ProbeEntry(n), kFirstSentinel);
  n = 999999999;
  EXPECT_EQ(store.ProbeEntry(n), kLastSentinel);
  EXPECT_EQ(n, 6u);
  ShowStoreNotices(store);
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(LexiconStoreTest, ReadEntryOfAnEmptyDictionaryGivesTheFirstSentinel) {
  WritePair({kEmptyPointer, kEmptyData});
  ASSERT_EQ(store.OpenNamed("teste.kio"), 0);
  uint32_t n = 0;
  EXPECT_EQ(store.ReadEntry(n), kFirstSentinel);
  EXPECT_EQ(n, 0u);
  n = 999999999;
  EXPECT_EQ(store.ReadEntry(n), kFirstSentinel);
}

TEST_F(LexiconStoreTest, FindIgnoresCaseAndGivesThePlaceOfAbsentKeys) {
  StoreEntries(store,
               {{"casa", "house"}, {W("água"), "water"}, {"agua", "typo"}, {W("pé"), "foot"}, {"pe", "x"}});
  ASSERT_EQ(store.OpenNamed("teste.kio"), 0);
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"agua", W("água"), "casa", "pe", W("pé")}));
  struct Case {
    std::string key;
    uint32_t position;
    bool found;
  } cases[] = {
      {"CASA", 3, true},  {W("ÁGUA"), 2, true},
      {"agua", 1, true},  {"b", 3, false},
      {"a", 1, false},    {"casas", 4, false},
      {W("Pé"), 5, true}, {"zzzzzzzzzzzzzzzzzzzzz", kOffLimits, true},
  };
  for (const Case& c : cases) {
    std::string key = c.key;
    EXPECT_EQ(store.Find(key), c.position) << c.key;
    EXPECT_EQ(key, c.found ? c.key : "") << c.key;
  }
  std::string empty;
  EXPECT_EQ(store.Find(empty), 0u);
  // The closing sentinel's headword is found at count-1, in any case.
  std::string last = "ZZZZZZZZZZZZZZZZZZZZ";
  EXPECT_EQ(store.Find(last), store.Count() - 1);
  EXPECT_EQ(last, "ZZZZZZZZZZZZZZZZZZZZ");
}

TEST_F(LexiconStoreTest, PutEntryReplacesTheSameHeadwordInAnyCaseOrKeepsIt) {
  StoreEntries(store, {{"house", "casa"}, {"tree", W("árvore")}});
  ASSERT_TRUE(store.BeginUpdate());
  const uint64_t before = fs::file_size(CurrentSession().appPaths.lexiconBackupDataFile);
  std::string key = "House";
  ASSERT_TRUE(store.PutEntry(key, Entry("House", "lar")));
  EXPECT_EQ(store.Count(), 4u);
  uint32_t n = 1;
  EXPECT_EQ(store.ReadEntry(n), Entry("House", "lar"));
  // The new record was appended; the old one stays behind until Commit.
  EXPECT_EQ(fs::file_size(CurrentSession().appPaths.lexiconBackupDataFile),
            before + 2 + Entry("House", "lar").size());

  store.SetReplaceDuplicates(false);
  key = "HOUSE";
  EXPECT_TRUE(store.PutEntry(key, Entry("HOUSE", "morada")));
  n = 1;
  EXPECT_EQ(store.ReadEntry(n), Entry("House", "lar"));
  key = "garden";
  EXPECT_TRUE(store.PutEntry(key, Entry("garden", "jardim")));
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"garden", "House", "tree"}));
  ShowStoreNotices(store);
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(LexiconStoreTest, PutEntryRefusesWhatCouldNotBeReadBackOrWouldDisplaceTheSentinel) {
  Fill(3);
  ASSERT_TRUE(store.BeginUpdate());
  const auto files = std::make_pair(ReadFile(CurrentSession().appPaths.lexiconBackupPointerFile),
                                    ReadFile(CurrentSession().appPaths.lexiconBackupDataFile));
  struct Case {
    std::string key, text, messageStart;
  } cases[] = {
      {"beyond", "beyond\x1C" + std::string(4086, 'x') + "\x02", "Entry too long"},  // 4094 bytes
      {"zzzzzzzzzzzzzzzzzzzzz", Entry("zzzzzzzzzzzzzzzzzzzzz", "x"), "Off limits."},
      {"ZZZZZZZZZZZZZZZZZZZZ", Entry("ZZZZZZZZZZZZZZZZZZZZ", "x"), "This headword closes the dictionary"},
      {"", Entry("", "x"), "Invalid entry"},
      {"one", "one\x1Cno end mark", "Invalid entry"},
      {"one", Entry("two", "x"), "Invalid entry"},
      {"one", std::string("one\x1Cx\0y\x02", 8), "Invalid entry"},
  };
  for (const Case& c : cases) {
    platform.shown.clear();
    std::string key = c.key;
    EXPECT_FALSE(store.PutEntry(key, c.text)) << c.messageStart;
    ShowStoreNotices(store);
    ASSERT_EQ(platform.shown.size(), 1u) << c.messageStart;
    EXPECT_EQ(platform.shown[0].text.rfind(c.messageStart, 0), 0u) << platform.shown[0].text;
    EXPECT_EQ(platform.shown[0].caption, "Oops!");
  }
  EXPECT_EQ(store.Count(), 5u);
  EXPECT_EQ(ReadFile(CurrentSession().appPaths.lexiconBackupPointerFile), files.first);
  EXPECT_EQ(ReadFile(CurrentSession().appPaths.lexiconBackupDataFile), files.second);
  // The longest entry that can be read back is accepted.
  std::string longest = "longest\x1C" + std::string(4084, 'x') + "\x02";
  ASSERT_EQ(longest.size(), 4093u);
  std::string key = "longest";
  EXPECT_TRUE(store.PutEntry(key, longest));
  uint32_t n = 1;
  EXPECT_EQ(store.ReadEntry(n), longest);
}

TEST_F(LexiconStoreTest, OffLimitsMessageNamesTheKeyAndStoresNothing) {
  Fill(2);
  ASSERT_TRUE(store.BeginUpdate());
  std::string key = "zzzzzzzzzzzzzzzzzzzzzz";
  EXPECT_FALSE(store.PutEntry(key, Entry(key, "x")));
  EXPECT_EQ(key, "");
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(
      platform.shown[0].text,
      W("Off limits.\r\n\r\nUltrapassou limites do dicionário. Processamento suspenso.\n\rPossível solução: "
        "Tente excluir o item zzzzzzzzzzzzzzzzzzzzzz"));
  EXPECT_EQ(store.Count(), 4u);
}

TEST_F(LexiconStoreTest, InsertionLeavesOneSpareTrailingSlotAndTheSlotsStayRight) {
  Fill(4);
  ASSERT_TRUE(store.BeginUpdate());
  EXPECT_EQ(fs::file_size(CurrentSession().appPaths.lexiconBackupPointerFile), 4u + 4 * 6);
  std::string key = "w001a";
  ASSERT_TRUE(store.PutEntry(key, Entry("w001a", "new")));
  EXPECT_EQ(fs::file_size(CurrentSession().appPaths.lexiconBackupPointerFile), 4u + 4 * 7 + 4);
  key = "w000a";
  ASSERT_TRUE(store.PutEntry(key, Entry("w000a", "new")));
  EXPECT_EQ(fs::file_size(CurrentSession().appPaths.lexiconBackupPointerFile), 4u + 4 * 8 + 4);
  ASSERT_TRUE(store.DeleteSlot(3));  // w001
  EXPECT_EQ(fs::file_size(CurrentSession().appPaths.lexiconBackupPointerFile), 4u + 4 * 7 + 4);
  EXPECT_EQ(Headwords(store), (std::vector<std::string>{"w000", "w000a", "w001a", "w002", "w003"}));
  // The files on disk say the same as the store.
  EXPECT_TRUE(CheckPair(ReadFile(CurrentSession().appPaths.lexiconBackupPointerFile),
                        ReadFile(CurrentSession().appPaths.lexiconBackupDataFile))
                  .sound());
  EXPECT_EQ(SlotValue(0), 0u);
  // Primitives refuse the sentinels' slots and numbers past the end.
  EXPECT_FALSE(store.DeleteSlot(0));
  EXPECT_FALSE(store.DeleteSlot(6));
  EXPECT_FALSE(store.InsertSlot(0));
  EXPECT_FALSE(store.InsertSlot(7));
  EXPECT_FALSE(store.AppendRecord(6, Entry("x", "y")));
  EXPECT_EQ(store.Count(), 7u);
}

TEST_F(LexiconStoreTest, DeleteRangeRemovesFirstUpToEnd) {
  Fill(10);
  ASSERT_TRUE(store.BeginUpdate());
  EXPECT_TRUE(store.DeleteRange(5, 5));
  EXPECT_EQ(store.Count(), 12u);
  EXPECT_TRUE(store.DeleteRange(5, 8));
  EXPECT_EQ(Headwords(store),
            (std::vector<std::string>{"w000", "w001", "w002", "w003", "w007", "w008", "w009"}));
  struct Case {
    uint32_t first, end;
  } refused[] = {{0, 2}, {3, 2}, {1, 10}, {9, 9}};
  for (const Case& c : refused) EXPECT_FALSE(store.DeleteRange(c.first, c.end)) << c.first << " " << c.end;
  EXPECT_TRUE(store.DeleteRange(1, 8));  // up to the closing sentinel
  EXPECT_EQ(store.Count(), 2u);
  EXPECT_TRUE(CheckPair(ReadFile(CurrentSession().appPaths.lexiconBackupPointerFile),
                        ReadFile(CurrentSession().appPaths.lexiconBackupDataFile))
                  .sound());
}

TEST_F(LexiconStoreTest, CommitWritesACompactOrderedPairAndEditingGoesOn) {
  Fill(20);
  ASSERT_TRUE(store.BeginUpdate());
  {
    LexiconStore::Batch batch(store);
    for (int i = 0; i < 20; i += 2) {
      char h[8];
      std::snprintf(h, sizeof h, "w%03d", i);
      std::string key = h;
      ASSERT_TRUE(store.PutEntry(key, Entry(h, "replaced")));
    }
    ASSERT_TRUE(store.DeleteRange(3, 6));
  }
  EXPECT_GT(fs::file_size(CurrentSession().appPaths.lexiconBackupDataFile),
            fs::file_size(CurrentSession().appPaths.lexiconDataFile));
  std::vector<int> progress;
  ASSERT_TRUE(store.Commit(Progress(progress)));
  auto [pointer, data] = ReadPair();
  // Record i lies at the offset of slot i, with no gaps: walk the data file.
  PairCheck check = CheckPair(pointer, data);
  EXPECT_TRUE(check.sound());
  ASSERT_EQ(check.count, 19u);
  uint32_t at = 0;
  for (uint32_t i = 0; i < check.count; ++i) {
    EXPECT_EQ(ReadU32(pointer, 4 + 4 * i), at);
    at += 2 + (static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8);
  }
  EXPECT_EQ(at, data.size());
  EXPECT_EQ(pointer.size(), 4u + 4 * 19);
  // Small dictionary: one progress step per entry, reset at both ends.
  ASSERT_EQ(progress.size(), 19u);
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress[17], 17);
  EXPECT_EQ(progress.back(), 0);
  // The working pair stays current and a second Save sees the next change.
  std::string key = "extra";
  ASSERT_TRUE(store.PutEntry(key, Entry("extra", "e")));
  ASSERT_TRUE(store.Commit());
  EXPECT_EQ(CheckPair(ReadPair().first, ReadPair().second).count, 20u);
  for (const char* leftover : {"temppont", "tempglo", "tempcommit"})
    EXPECT_FALSE(fs::exists(folder / leftover));
}

TEST_F(LexiconStoreTest, CommitStopsAtADamagedEntry) {
  WritePair(RawPair({Entry("a", "1"), "b has no marks", Entry("c", "3")}));
  const auto saved = ReadPair();
  ASSERT_TRUE(store.BeginUpdate());
  EXPECT_FALSE(store.Commit());
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 2u);
  EXPECT_EQ(platform.shown[0].text,
            W("Error (5) on reading entry from dictionary.\r\n\r\nErro  (5)  ao ler verbete: 2. "
              "Tente excluir verbete."));
  EXPECT_EQ(
      platform.shown[1].text,
      W("Cannot index dictionary.  File probably deteriorated.\r\nImpossível indexar dicionário. Arquivo "
        "possivelmente deteriorado."));
  EXPECT_EQ(platform.shown[1].caption, "Kio");
  EXPECT_EQ(ReadPair(), saved);
  // The teacher deletes the damaged entry and saves.
  ASSERT_TRUE(store.DeleteSlot(2));
  EXPECT_TRUE(store.Commit());
  EXPECT_TRUE(CheckPair(ReadPair().first, ReadPair().second).sound());
}

TEST_F(LexiconStoreTest, RecordLengthLimits) {
  std::string readable = "h\x1C" + std::string(4090, 'x') + "\x02";  // 4093 bytes
  std::string tooLong = "i\x1C" + std::string(4091, 'x') + "\x02";   // 4094 bytes: read, then refused
  WritePair(RawPair({readable, tooLong}));
  ASSERT_EQ(store.OpenNamed("teste.kio"), 0);
  uint32_t n = 1;
  EXPECT_EQ(store.ReadEntry(n), readable);
  n = 2;
  EXPECT_EQ(store.ReadEntry(n), "");
  ShowStoreNotices(store);
  EXPECT_EQ(
      platform.Texts(),
      (std::vector<std::string>{
          W("Error (5) on reading entry from dictionary.\r\n\r\nErro  (5)  ao ler verbete: 2. Tente excluir "
            "verbete."),
          "Error (2) on reading entry from dictionary.\r\n\r\nErro (2) ao ler verbete do dicionario."}));
}

TEST_F(LexiconStoreTest, OpenNamedReportsAMissingDictionaryAndKeepsLexiconDat) {
  EXPECT_EQ(store.OpenNamed("nenhum.kio"), 1);
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].text, W("Dictionary not found!  \r\n\r\nDicionário não encontrado!"));
  EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "teste.kio");
}

TEST_F(LexiconStoreTest, BeginUpdateRefusesAPairWithoutItsSentinels) {
  std::string pointer("\x01\0\0\0\0\0\0\0", 8);
  WritePair({pointer, kEmptyData});
  EXPECT_FALSE(store.BeginUpdate());
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(
      platform.shown[0].text,
      W("Cannot access dictionary.\r\n\r\nImpossível acessar o dicionário!  Possivelmente deteriorado."));
  fs::remove(CurrentSession().appPaths.lexiconDataFile);
  platform.shown.clear();
  EXPECT_FALSE(store.BeginUpdate());
  ShowStoreNotices(store);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_NE(platform.shown[0].text.find(
                W("Cannot start dictionary.\r\nAlready Open?\r\n\r\nImpossível inicializar")),
            std::string::npos);
}

}  // namespace
}  // namespace kio::test
