// Helpers shared by the dictionary tests: a platform that records every
// message and answers from a queue, and ways to build dictionary pairs.
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kio_test.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "platform/platform.h"

namespace kio::test {

class RecordingPlatform : public Platform {
 public:
  struct Shown {
    std::string text, caption;
    Buttons buttons;
  };
  RecordingPlatform() { SetPlatform(this); }
  ~RecordingPlatform() override { SetPlatform(nullptr); }

  int RunModal(Dialog&) override { return 2; }
  Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                     const Dialog*) override {
    shown.push_back({text, caption, buttons});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) return Answer::No;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> ChooseFile(const ChooserRequest& request) override {
    requests.push_back(request);
    if (chosen.empty()) return std::nullopt;
    auto c = chosen.front();
    chosen.pop_front();
    return c;
  }
  std::optional<Rgb> PickColour() override { return std::nullopt; }
  std::optional<FontChoice> PickFont() override { return std::nullopt; }
  void OpenInBrowser(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  bool EscapePressed() override { return ++polls == escapeAtPoll; }
  [[noreturn]] void ExitProcess(int status) override { throw ProcessExit{status}; }

  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& s : shown) t.push_back(s.text);
    return t;
  }

  std::vector<Shown> shown;
  std::deque<Answer> answers;  // for questions; No when empty
  std::deque<std::optional<std::string>> chosen;
  std::vector<ChooserRequest> requests;
  int polls = 0;
  int escapeAtPoll = -1;  // EscapePressed is true on this poll (1 = the first)
};

// The twelve-byte pointer file and the 41-byte data file of a new dictionary.
extern const std::string kEmptyPointer;
extern const std::string kEmptyData;

// The little-endian 32-bit number whose four bytes begin at `at`.
uint32_t ReadU32(const std::string& bytes, size_t at);

// An entry as the editor builds it.
std::string Entry(const std::string& headword, const std::string& body);

// A committed pair, byte for byte as Commit writes it, from entry texts in
// the order given (sentinels added).
std::pair<std::string, std::string> RawPair(const std::vector<std::string>& entries);

// Writes a pair under the current appPaths names in the working folder.
void WritePair(const std::pair<std::string, std::string>& pair);
std::pair<std::string, std::string> ReadPair();

// Shows, one box each, the messages the store left (as the editors do).
void ShowStoreNotices(LexiconStore& store);

// Puts the entries into the current dictionary through the store and saves.
void StoreEntries(LexiconStore& store, const std::vector<std::pair<std::string, std::string>>& entries);

// Stores `n` entries "w000", "w001", ... with bodies "b000", ... the same way.
void StoreNumberedEntries(LexiconStore& store, int n);

// The headwords of real entries 1 .. count-2, read through the store.
std::vector<std::string> Headwords(LexiconStore& store);

// A folder that holds "lexicon.dat" naming `dataFile`, which becomes the
// program folder and the working folder, with the dictionary names derived.
class DictionaryFolder {
 public:
  explicit DictionaryFolder(const std::string& dataFile = "teste.kio");
  ~DictionaryFolder();
  const TempDir& dir() const { return dir_; }
  fs::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  TempDir dir_;
  InFolder in_;
  std::string savedProgramFolder_;
};

}  // namespace kio::test
