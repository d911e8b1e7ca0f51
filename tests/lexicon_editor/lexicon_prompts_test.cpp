// The dialog side of the dictionary store: the open flow that offers to find
// or create a dictionary, and the Escape question during a save.
#include "lexicon_editor/lexicon_prompts.h"

#include <gtest/gtest.h>

#include "fileio/session.h"
#include "lexicon/lexicon_session.h"
#include "lexicon_test_util.h"

namespace kio::test {
namespace {

class LexiconPromptsTest : public ::testing::Test {
 protected:
  LexiconPromptsTest() { FollowSession(store); }
  // A dictionary of `n` entries "w000", "w001", ... with bodies "b000"...
  void Fill(int n) { StoreNumberedEntries(store, n); }
  // The editor's progress: the bar positions into `positions`, and the
  // question on Escape.
  LexiconProgress Progress(std::vector<int>& positions) {
    LexiconProgress p = EscapeStops(nullptr, 0, CommitInterruptQuestion, "Kio");
    p.position = [&positions](int position) { positions.push_back(position); };
    return p;
  }

  RecordingPlatform platform;
  DictionaryFolder folder;
  LexiconStore store;
};

// The store only refuses such a name; choosing one where the program asks
// for a dictionary ends the program, since it could not go on.
TEST_F(LexiconPromptsTest, ChoosingANameThatCannotBeADictionaryEndsTheProgram) {
  platform.answers = {Answer::Yes};
  platform.chosen = {(folder / "semponto").string()};
  try {
    OpenDictionaryAsking(store, nullptr);
    ADD_FAILURE() << "the program went on";
  } catch (const ProcessExit& e) {
    EXPECT_EQ(e.status, 1);
  }
  ASSERT_GE(platform.shown.size(), 2u);
  EXPECT_EQ(platform.shown.back().text, " Cannot create config file. Program aborted. ");
  EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "teste.kio");
}

TEST_F(LexiconPromptsTest, CommitProgressAdvancesEveryCountOver100PlusOneEntries) {
  Fill(250);  // count 252: a step every 3 entries
  ASSERT_TRUE(store.BeginUpdate());
  platform.polls = 0;
  std::vector<int> progress;
  ASSERT_TRUE(store.Commit(Progress(progress)));
  ASSERT_EQ(progress.size(), 2u + 250 / 3);
  EXPECT_EQ(progress[1], 1);
  EXPECT_EQ(progress[progress.size() - 2], 250 / 3);
  EXPECT_EQ(platform.polls, 250 / 3);
}

TEST_F(LexiconPromptsTest, EscapeDuringCommitAsksAndYesLeavesTheMainPairUntouched) {
  Fill(5);
  ASSERT_TRUE(store.BeginUpdate());
  std::string key = "new";
  ASSERT_TRUE(store.PutEntry(key, Entry("new", "novo")));
  const auto saved = ReadPair();
  platform.polls = 0;
  platform.escapeAtPoll = 3;
  platform.answers = {Answer::Yes};
  std::vector<int> progress;
  EXPECT_FALSE(store.Commit(Progress(progress)));
  ShowNotices(store, nullptr);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].text,
            W("Indexed up to \r\nIndexou até palavra 3. \r\nInterrupt index ? \r\nInterromper Indexação?"));
  EXPECT_EQ(platform.shown[0].caption, "Kio");
  EXPECT_EQ(platform.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(progress.back(), 0);
  EXPECT_EQ(ReadPair(), saved);
  for (const char* leftover : {"temppont", "tempglo", "tempcommit"})
    EXPECT_FALSE(fs::exists(folder / leftover));
  // No goes on with the save.
  platform.polls = 0;
  platform.answers = {Answer::No};
  EXPECT_TRUE(store.Commit());
  EXPECT_EQ(store.OpenNamed("teste.kio"), 0);
  EXPECT_EQ(store.Count(), 8u);
}

TEST_F(LexiconPromptsTest, OpenAsksToFindThenToCreateAndReportsWhenBothAreRefused) {
  ASSERT_FALSE(OpenDictionaryAsking(store, nullptr));
  ShowNotices(store, nullptr);
  EXPECT_EQ(platform.Texts(),
            (std::vector<std::string>{W("Dicionário não encontrado! Localizar dicionário?"),
                                      W("Criar dicionário?"), W("Dicionário não localizado!")}));
  EXPECT_EQ(platform.shown[0].caption, "KIO");
  EXPECT_EQ(platform.shown[1].caption, "KIO");
}

TEST_F(LexiconPromptsTest, OpenCreatesTheDictionaryChosenAfterYes) {
  platform.answers = {Answer::No, Answer::Yes};
  platform.chosen = {(folder / "Fresco.kio").string()};
  ASSERT_TRUE(OpenDictionaryAsking(store, nullptr));
  ASSERT_EQ(platform.requests.size(), 1u);
  EXPECT_TRUE(platform.requests[0].save);
  EXPECT_EQ(platform.requests[0].initialName, "*.KIO");
  EXPECT_EQ(platform.requests[0].filter, "*.KIO");
  EXPECT_EQ(platform.requests[0].defaultExtension, "KIO");
  EXPECT_EQ(ReadFile(folder / "fresco.kio"), kEmptyData);
  EXPECT_EQ(ReadFile(folder / "lexicon.dat"), "fresco.kio");
  EXPECT_EQ(store.Count(), 2u);
}

}  // namespace
}  // namespace kio::test
