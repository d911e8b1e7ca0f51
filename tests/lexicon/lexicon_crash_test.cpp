// Crash safety of Save: a child process saving a changed dictionary is
// killed at every file operation of Commit and at many random moments
// during it. After each kill the dictionary opens, kio-lexicon check passes
// and it holds every old entry or every new one, nothing in between.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "fileio/session.h"
#include "lexicon/lexicon_store.h"
#include "lexicon_test_util.h"

namespace kio::test {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string Name(char letter, int i) {
  char s[16];
  std::snprintf(s, sizeof s, "%c%05d", letter, i);
  return s;
}

Entries OldEntries() {
  Entries e;
  for (int i = 0; i < 3000; ++i) e.push_back({Name('k', i), "old " + std::to_string(i)});
  return e;
}

// What the child changes: even entries get a new body, k00100 .. k00199 are
// deleted, n00000 .. n00499 are added.
void Change(LexiconStore& store) {
  LexiconStore::Batch batch(store);
  for (int i = 0; i < 3000; i += 2) {
    std::string key = Name('k', i);
    store.PutEntry(key, Entry(Name('k', i), "new " + std::to_string(i)));
  }
  store.DeleteRange(101, 201);
  for (int i = 0; i < 500; ++i) {
    std::string key = Name('n', i);
    store.PutEntry(key, Entry(key, "added " + std::to_string(i)));
  }
}

Entries NewEntries() {
  Entries e;
  for (int i = 0; i < 3000; ++i)
    if (i < 100 || i >= 200) e.push_back({Name('k', i), (i % 2 ? "old " : "new ") + std::to_string(i)});
  for (int i = 0; i < 500; ++i) e.push_back({Name('n', i), "added " + std::to_string(i)});
  return e;
}

int gKillAtStep = 0;
void KillAtStep(int step) {
  if (step == gKillAtStep) raise(SIGKILL);
}

class LexiconCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StoreEntries(store, OldEntries());
    old = ReadPair();
  }

  enum class Outcome { kOld, kNew, kFinished };

  // Runs one save in a child, killed at `step` of Commit (0: not by step)
  // or after `delay` once Commit starts; returns how long the save ran when
  // it was not killed.
  Outcome Trial(int step, std::chrono::microseconds delay, std::chrono::microseconds* took = nullptr) {
    WritePair(old);
    int ready[2];
    if (pipe(ready) != 0) throw std::runtime_error("pipe");
    pid_t child = fork();
    if (child == 0) {
      close(ready[0]);
      LexiconStore s{SessionLexiconFiles()};
      if (!s.BeginUpdate()) _exit(3);
      Change(s);
      gKillAtStep = step;
      LexiconStore::SetCommitStepObserver(step ? KillAtStep : nullptr);
      char go = 1;
      if (write(ready[1], &go, 1) != 1) _exit(4);
      _exit(s.Commit() ? 0 : 5);
    }
    close(ready[1]);
    char go;
    EXPECT_EQ(read(ready[0], &go, 1), 1);
    close(ready[0]);
    auto start = std::chrono::steady_clock::now();
    if (!step && delay.count() >= 0) {
      std::this_thread::sleep_for(delay);
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (took)
      *took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    bool finished = WIFEXITED(status);
    if (finished) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    // The dictionary opens (finishing or undoing the cut save), the tool
    // finds it sound, and it holds one whole version.
    LexiconStore s{SessionLexiconFiles()};
    EXPECT_EQ(s.OpenNamed(CurrentSession().appPaths.lexiconDataFile), 0);
    Entries now;
    for (uint32_t n = 1; n + 1 < s.Count(); ++n) {
      uint32_t k = n;
      std::string e = s.ReadEntry(k);
      size_t p = 0;
      std::string h = Headword(e, p);
      now.push_back({h, NextField(e, p)});
    }
    s.CloseAll();
    RunResult check = RunCommand(std::string(KIO_PROGRAM_DIR) + "/kio-lexicon check " +
                                 (folder / CurrentSession().appPaths.lexiconDataFile).string() + " 2>&1");
    EXPECT_EQ(check.status, 0) << check.transcript;
    for (const char* leftover : {"temppont", "tempglo", "tempcommit"})
      EXPECT_FALSE(fs::exists(folder / leftover)) << leftover;
    bool isOld = now == oldEntries, isNew = now == newEntries;
    EXPECT_TRUE(isOld || isNew) << "step " << step << ", delay " << delay.count() << " us: " << now.size()
                                << " entries";
    if (finished) {
      EXPECT_TRUE(isNew);
      return Outcome::kFinished;
    }
    return isNew ? Outcome::kNew : Outcome::kOld;
  }

  RecordingPlatform platform;
  DictionaryFolder folder{"crash.kio"};
  LexiconStore store{SessionLexiconFiles()};
  std::pair<std::string, std::string> old;
  const Entries oldEntries = OldEntries(), newEntries = NewEntries();
};

TEST_F(LexiconCrashTest, KilledDuringSaveTheDictionaryIsWholeOldOrWholeNew) {
  int trials = 0, olds = 0, news = 0;
  // Every file operation of Commit, until a save runs to its end.
  int step = 1;
  for (;; ++step, ++trials) {
    Outcome o = Trial(step, std::chrono::microseconds(-1));
    if (HasFailure()) return;
    if (o == Outcome::kFinished) break;
    (o == Outcome::kOld ? olds : news)++;
  }
  EXPECT_GT(step, 8) << "Commit has fewer file operations than expected";
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
  // Random moments across the whole save, spread over the time an
  // uninterrupted one takes, until 200 kills have landed inside it.
  std::chrono::microseconds took{}, shortest = std::chrono::hours(1);
  for (int i = 0; i < 3; ++i) {
    Trial(0, std::chrono::microseconds(-1), &took);
    shortest = std::min(shortest, took);
  }
  std::mt19937 rng(20240607);
  std::uniform_int_distribution<long> delay(0, shortest.count());
  int landed = 0;
  for (int i = 0; landed < 200 && i < 1000; ++i, ++trials) {
    Outcome o = Trial(0, std::chrono::microseconds(delay(rng)));
    if (HasFailure()) return;
    if (o == Outcome::kFinished) continue;
    ++landed;
    (o == Outcome::kOld ? olds : news)++;
  }
  EXPECT_EQ(landed, 200);
  std::printf("%d trials, %d kills during the save: %d left the old dictionary, %d the new one\n", trials,
              olds + news, olds, news);
}

}  // namespace
}  // namespace kio::test
