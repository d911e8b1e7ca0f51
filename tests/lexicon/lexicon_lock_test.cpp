// Two programs on one dictionary: the lock beside the pair keeps a reader
// from tidying away a save in progress and two saves from interleaving;
// damaged pairs are neither updated nor merged from.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <set>

#include "lexicon/dictionary_lock.h"
#include "lexicon/pair_check.h"
#include "lexicon_test_util.h"

extern char** environ;

namespace kio::test {
namespace {

const std::string kTool = std::string(KIO_PROGRAM_DIR) + "/kio-lexicon";

// Starts kio-lexicon with `args`, its output thrown away.
pid_t Start(const std::vector<std::string>& args) {
  std::vector<std::string> all = {kTool};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, kTool.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The text layout of `count` entries whose headwords start with `stem`.
std::string TextLayout(const std::string& stem, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += stem + std::to_string(i) + "\r\nmeaning of " + stem + std::to_string(i) + "\r\n\r\n";
  return text;
}

// The headwords of the pair at `dict` (".kio", its ".kpo" beside it), or
// nothing when check rejects the pair.
std::optional<std::set<std::string>> SoundHeadwords(const fs::path& dict) {
  fs::path pointerPath = dict;
  pointerPath.replace_extension(".kpo");
  const std::string pointer = ReadFile(pointerPath), data = ReadFile(dict);
  if (!CheckPair(pointer, data).sound()) return std::nullopt;
  LexiconStore store;
  if (!store.OpenBytes(pointer, data)) return std::nullopt;
  auto words = Headwords(store);
  return std::set<std::string>(words.begin(), words.end());
}

bool HasAll(const std::set<std::string>& words, const std::string& stem, int count) {
  for (int i = 0; i < count; ++i)
    if (!words.count(stem + std::to_string(i))) return false;
  return true;
}

class TwoProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two sources big enough that a merge takes a while.
    for (const char* stem : {"alfa", "beta"}) {
      WriteFile(dir_ / (std::string(stem) + ".txt"), TextLayout(stem, kEntries));
      ASSERT_EQ(Wait(Start({"import", Source(stem), (dir_ / (std::string(stem) + ".txt")).string()})), 0);
    }
  }
  std::string Source(const std::string& stem) const { return (dir_ / (stem + ".kio")).string(); }
  std::string Fresh() {
    const fs::path dict = work_ / "aula.kio";
    fs::remove(dict);
    fs::remove(work_ / "aula.kpo");
    EXPECT_EQ(Wait(Start({"create", dict.string()})), 0);
    return dict.string();
  }
  static constexpr int kEntries = 400;
  static constexpr int kTrials = 100;
  TempDir dir_, work_;
};

// Two merges at once: each either saves all its entries or says the
// dictionary is in use; the pair stays sound.
TEST_F(TwoProgramsTest, TwoMergesLoseNoAcknowledgedEntry) {
  int bothSaved = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    const std::string dict = Fresh();
    pid_t a = Start({"merge", dict, Source("alfa")});
    pid_t b = Start({"merge", dict, Source("beta")});
    const int statusA = Wait(a), statusB = Wait(b);
    auto words = SoundHeadwords(dict);
    ASSERT_TRUE(words) << "trial " << trial;
    if (statusA == 0) {
      ASSERT_TRUE(HasAll(*words, "alfa", kEntries)) << "trial " << trial;
    }
    if (statusB == 0) {
      ASSERT_TRUE(HasAll(*words, "beta", kEntries)) << "trial " << trial;
    }
    bothSaved += statusA == 0 && statusB == 0;
  }
  // The second merge waits for the first rather than failing.
  EXPECT_EQ(bothSaved, kTrials);
}

// A look-up or a check while a merge saves: the save is never tidied away.
TEST_F(TwoProgramsTest, AReaderDuringASaveLeavesItWhole) {
  for (int trial = 0; trial < kTrials; ++trial) {
    const std::string dict = Fresh();
    pid_t merge = Start({"merge", dict, Source("alfa")});
    pid_t reader = trial % 2 ? Start({"lookup", dict, "alfa1"}) : Start({"check", dict});
    const int statusMerge = Wait(merge);
    Wait(reader);
    EXPECT_FALSE(fs::exists(work_ / "tempcommit")) << "trial " << trial;
    auto words = SoundHeadwords(dict);
    ASSERT_TRUE(words) << "trial " << trial;
    ASSERT_EQ(statusMerge, 0) << "trial " << trial;
    ASSERT_TRUE(HasAll(*words, "alfa", kEntries)) << "trial " << trial;
  }
}

// Another program holding the lock of `dict` (of `kind`) until killed.
pid_t HoldInAnotherProgram(const std::string& dict, DictionaryLock::Kind kind) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  pid_t holder = fork();
  if (holder == 0) {
    DictionaryLock lock;
    char c = lock.Acquire(dict, kind) ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    pause();
    _exit(0);
  }
  char c = 0;
  const bool held = read(ready[0], &c, 1) == 1 && c == 'y';
  close(ready[0]);
  close(ready[1]);
  if (!held) {
    kill(holder, SIGKILL);
    Wait(holder);
    return -1;
  }
  return holder;
}

void LetGo(pid_t holder) {
  kill(holder, SIGKILL);
  Wait(holder);
}

TEST(DictionaryLock, AnotherProgramWaitsAShortWhileThenIsRefused) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string();
  EXPECT_EQ(DictionaryLockFile(dict), (dir / "aula.lck").string());
  using Kind = DictionaryLock::Kind;
  using std::chrono::milliseconds;

  // A writer elsewhere: a reader waits the while it is given, then gives up.
  pid_t writer = HoldInAnotherProgram(dict, Kind::kExclusive);
  ASSERT_GT(writer, 0);
  DictionaryLock reader;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(reader.Acquire(dict, Kind::kShared, milliseconds(300)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(300));
  LetGo(writer);
  EXPECT_TRUE(reader.Acquire(dict, Kind::kShared, milliseconds(0)));
  reader.Release();

  // Readers elsewhere: another reader shares, a writer waits.
  pid_t other = HoldInAnotherProgram(dict, Kind::kShared);
  ASSERT_GT(other, 0);
  EXPECT_TRUE(reader.Acquire(dict, Kind::kShared, milliseconds(0)));
  reader.Release();
  DictionaryLock writerHere;
  EXPECT_FALSE(writerHere.Acquire(dict, Kind::kExclusive, milliseconds(100)));
  LetGo(other);

  // Within one program the locks nest, a shared hold made exclusive in place.
  DictionaryLock outer, inner;
  ASSERT_TRUE(outer.Acquire(dict, Kind::kShared, milliseconds(0)));
  EXPECT_TRUE(inner.Acquire(dict, Kind::kExclusive, milliseconds(0)));
  inner.Release();
  outer.Release();
  // All let go: another program takes it at once.
  pid_t after = HoldInAnotherProgram(dict, Kind::kExclusive);
  EXPECT_GT(after, 0);
  if (after > 0) LetGo(after);
}

// A pair that check rejects is not updated, and a damaged source is not
// merged from: a clear message and status 1, the files as they were.
TEST(DamagedPairs, AreNeitherUpdatedNorMergedFrom) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string(), source = (dir / "fonte.kio").string();
  WriteFile(dir / "words.txt", TextLayout("gama", 5));
  ASSERT_EQ(Wait(Start({"import", dict, (dir / "words.txt").string()})), 0);
  ASSERT_EQ(Wait(Start({"import", source, (dir / "words.txt").string()})), 0);

  // A lowered count: the last entries and the closing sentinel are lost.
  auto lowerCount = [](const fs::path& pointerPath) {
    std::string pointer = ReadFile(pointerPath);
    pointer[0] = static_cast<char>(pointer[0] - 2);
    WriteFile(pointerPath, pointer);
  };
  lowerCount(dir / "fonte.kpo");
  const std::string before = ReadFile(dir / "aula.kio") + ReadFile(dir / "aula.kpo");
  RunResult merged =
      RunCommand(ShellQuote(kTool) + " merge " + ShellQuote(dict) + " " + ShellQuote(source) + " 2>&1");
  EXPECT_EQ(merged.status, 1) << merged.transcript;
  EXPECT_TRUE(Has(merged.transcript, "is damaged")) << merged.transcript;
  EXPECT_EQ(ReadFile(dir / "aula.kio") + ReadFile(dir / "aula.kpo"), before);

  // A slot pointing just past the data file.
  std::string pointer = ReadFile(dir / "aula.kpo");
  const uint32_t past = static_cast<uint32_t>(ReadFile(dir / "aula.kio").size());
  for (int k = 0; k < 4; ++k) pointer[8 + k] = static_cast<char>(past >> (8 * k));
  WriteFile(dir / "aula.kpo", pointer);
  const std::string damaged = ReadFile(dir / "aula.kio") + ReadFile(dir / "aula.kpo");
  RunResult imported = RunCommand(ShellQuote(kTool) + " import " + ShellQuote(dict) + " " +
                                  ShellQuote((dir / "words.txt").string()) + " 2>&1");
  EXPECT_EQ(imported.status, 1) << imported.transcript;
  EXPECT_TRUE(Has(imported.transcript, "is damaged")) << imported.transcript;
  EXPECT_EQ(ReadFile(dir / "aula.kio") + ReadFile(dir / "aula.kpo"), damaged);
}

}  // namespace
}  // namespace kio::test
