// Activities made from a reading text against the starter dictionary: the
// gaps stand in the text, the translations are the entries' first senses,
// the distractors come from other entries, the documents open in their
// editors and make pages; and kio activities' exit codes.
#include "questions/reading_activities.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_store.h"
#include "platform/text_encoding.h"
#include "questions/kio_documents.h"
#include "questions/tool/activities_command.h"

namespace kio::questions {
namespace {

namespace fs = std::filesystem;

// Aesop's "The Fox and the Grapes" (V. S. Vernon Jones's translation).
const char kParagraph[] =
    "A hungry Fox saw some fine bunches of Grapes hanging from a vine that was trained along a high "
    "trellis, and did his best to reach them by jumping as high as he could into the air. But it was all "
    "in vain, for they were just out of reach: so he gave up trying, and walked away with an air of "
    "dignity and unconcern, remarking, \"I thought those Grapes were ripe, but I see now they are quite "
    "sour.\"\r\nIn the morning the farmer found the vine broken. He was angry. His children laughed.";

std::string Starter() { return std::string(KIO_PROGRAM_DIR) + "/ingles.kio"; }

// A copy of the starter dictionary in its own folder.
struct StarterCopy {
  test::TempDir dir;
  StarterCopy() {
    fs::copy_file(Starter(), dir / "ingles.kio");
    fs::copy_file(std::string(KIO_PROGRAM_DIR) + "/ingles.kpo", dir / "ingles.kpo");
  }
  std::string path() const { return (dir / "ingles.kio").string(); }
};

std::string SenseOf(LexiconStore& store, std::string headword) {
  std::string key = headword;
  uint32_t n = store.Find(key);
  const LexiconEntry entry = store.ReadEntry(n);
  size_t p = 0;
  if (Headword(entry, p) != headword) return "(no entry " + headword + ")";
  std::string wordClass;
  return FirstSense(NextField(entry, p), wordClass);
}

// The fourth field of a Multiple choice item: its options, the right one
// first in the pair.
std::pair<std::string, std::vector<std::string>> Options(const ListItem& item) {
  std::pair<std::string, std::vector<std::string>> out;
  std::string all = item[kFourth] + "+";
  for (size_t start = 0, plus; (plus = all.find('+', start)) != std::string::npos; start = plus + 1) {
    const std::string o = all.substr(start, plus - start);
    if (!o.empty() && o[0] == '>')
      out.first = o.substr(1);
    else
      out.second.push_back(o);
  }
  return out;
}

TEST(ReadingActivities, FirstSenseLeavesCodesClassesNumbersAndNotesOut) {
  struct Case {
    const char* body;
    const char* sense;
    const char* wordClass;
  } cases[] = {
      {"(s)\r\n1. domic\xEDlio\r\n2. aposento, habita\xE7\xE3o", "domic\xEDlio", "s"},
      {"[subst.] casa; lar //plural: casas", "casa", "subst."},
      {"{i=casa.jpg}\r\n[adj.] {b}grande{/b}, amplo", "grande, amplo", "adj."},
      {"(vt) (vi)\r\n// only a note\r\n\r\nabolir, anular", "abolir, anular", "vt"},
      {"{a=som.mp3}", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string wordClass;
    EXPECT_EQ(FirstSense(c.body, wordClass), c.sense) << c.body;
    EXPECT_EQ(wordClass, c.wordClass) << c.body;
  }
}

TEST(ReadingActivities, MadeFromARealParagraphAgainstTheStarterDictionary) {
  CurrentSession().Reset();
  StarterCopy starter;
  LexiconStore store(LexiconFiles::For(starter.dir.str() + "/", "ingles.kio"));
  ASSERT_EQ(store.OpenNamed("ingles.kio"), 0);
  const std::string text = kParagraph;
  ReadingActivityOptions options;
  options.every = 3;
  options.pairs = 6;
  const ReadingActivities made = MakeReadingActivities(text, store, options);
  ASSERT_TRUE(made.hasCloze && made.hasMemory && made.hasMultiple && made.hasSequence) << made.notes.size();

  // Plurals count under their headword: "Grapes" links to "grape".
  bool plural = false;
  for (const ReadingWord& w : made.words) plural = plural || (w.text == "Grapes" && w.headword == "grape");
  EXPECT_TRUE(plural);

  // Every gap's answer is the word at its place, and the Cloze text is the
  // text with those words in brackets, nothing else changed.
  ASSERT_GE(made.gaps.size(), 5u);
  std::string rebuilt;
  size_t from = 0;
  for (const ReadingWord& g : made.gaps) {
    EXPECT_EQ(text.substr(g.position, g.text.size()), g.text);
    EXPECT_FALSE(IsFunctionWord(g.text)) << g.text;
    rebuilt += text.substr(from, g.position - from) + "[" + g.text + "]";
    from = g.position + g.text.size();
  }
  EXPECT_EQ(made.cloze.text, rebuilt + text.substr(from));

  // Every pair's translation is its entry's first sense; no card twice.
  ASSERT_EQ(made.memory.pairs.size(), 6u);
  std::set<std::string> cards;
  for (const auto& [word, translation] : made.memory.pairs) {
    EXPECT_EQ(translation, SenseOf(store, word)) << word;
    EXPECT_TRUE(cards.insert(word).second && cards.insert(translation).second) << word;
  }

  // Each question: the word's first sense right; three distractors, each
  // the first sense of another entry of the text, none equal to the right
  // one.
  std::map<std::string, std::string> senseOf;  // sense: headword
  for (const ReadingWord& w : made.words) senseOf.emplace(w.sense, w.headword);
  std::set<std::string> gapWords;
  for (const ReadingWord& g : made.gaps) gapWords.insert(g.text);
  for (const ListItem& item : made.multiple.items) {
    const auto [right, wrong] = Options(item);
    const size_t quote = item[kQuestion].find("What does \"");
    ASSERT_NE(quote, std::string::npos);
    const std::string word =
        item[kQuestion].substr(quote + 11, item[kQuestion].find('"', quote + 11) - quote - 11);
    EXPECT_TRUE(gapWords.count(word)) << word;
    ASSERT_TRUE(senseOf.count(right)) << right;
    const std::string headword = senseOf[right];
    EXPECT_EQ(right, SenseOf(store, headword));
    ASSERT_EQ(wrong.size(), 3u);
    for (const std::string& d : wrong) {
      EXPECT_NE(ToLower(d), ToLower(right)) << word;
      ASSERT_TRUE(senseOf.count(d)) << d;
      EXPECT_NE(senseOf[d], headword) << d;
    }
  }

  // The sentences in order.
  EXPECT_EQ(made.sequenceText.substr(0, 40), std::string(kParagraph).substr(0, 40));
  EXPECT_NE(
      made.sequenceText.find("sour.\"+In the morning the farmer found the vine broken.+He was angry.+His"),
      std::string::npos)
      << made.sequenceText;

  // The same text, dictionary and settings give the same documents.
  const ReadingActivities again = MakeReadingActivities(text, store, options);
  EXPECT_EQ(again.cloze, made.cloze);
  EXPECT_EQ(again.memory, made.memory);
  EXPECT_EQ(again.multiple, made.multiple);
  EXPECT_EQ(again.sequenceText, made.sequenceText);
}

TEST(ReadingActivities, NothingFromWordsTheDictionaryDoesNotKnow) {
  CurrentSession().Reset();
  StarterCopy starter;
  LexiconStore store(LexiconFiles::For(starter.dir.str() + "/", "ingles.kio"));
  ASSERT_EQ(store.OpenNamed("ingles.kio"), 0);
  const ReadingActivities made = MakeReadingActivities("Zqxv blorft wugg. Plimf zorp. Qwezz.", store, {});
  EXPECT_TRUE(made.words.empty());
  EXPECT_FALSE(made.hasCloze || made.hasMemory || made.hasMultiple);
  EXPECT_TRUE(made.hasSequence);
  EXPECT_EQ(made.notes.size(), 3u);
}

// A .hpl document as the lexical page editor saves it: the settings block
// and the text (a Sequence document's bytes without its last field, an
// empty text).
void WriteLexicalDocument(const fs::path& path, const std::string& text) {
  const std::string bytes = EncodeSequenceDocument(text, "", "");
  test::WriteFile(path, bytes.substr(0, bytes.size() - 4));
}

// The program's `kio activities` ends each made activity with the message a
// new document of the editor has (the program's student language), not an
// empty one.
TEST(ReadingActivities, TheProgramsDocumentsCarryTheEditorsCompletionMessage) {
  StarterCopy starter;
  test::TempDir dir;
  WriteLexicalDocument(dir / "fox.hpl", kParagraph);
  fs::create_directories(dir / "out");
  const std::string message = StudentCompletionMessage(std::string(KIO_PROGRAM_DIR) + "/");
  ASSERT_FALSE(message.empty());
  const test::RunResult r =
      test::RunCommand(std::string(KIO_PROGRAM_DIR) + "/kio activities " + (dir / "fox.hpl").string() +
                       " --dictionary " + starter.path() + " --out " + (dir / "out").string());
  ASSERT_EQ(r.status, 0) << r.transcript;
  for (const char* ext : {"clo", "mem", "mul", "seq"})
    EXPECT_NE(test::ReadFile(dir / "out" / (std::string("fox.") + ext)).find(message), std::string::npos)
        << ext;
}

TEST(ReadingActivities, CommandLineWritesOpenableDocumentsAndNeverReplaces) {
  StarterCopy starter;
  test::TempDir dir;
  WriteLexicalDocument(dir / "fox.hpl", kParagraph);
  fs::create_directories(dir / "out");
  const std::string text = (dir / "fox.hpl").string(), out = (dir / "out").string();
  auto run = [&](std::vector<std::string> args) {
    std::ostringstream o, e;
    CurrentSession().Reset();
    const int status = RunActivitiesCommand(args, o, e);
    return std::make_pair(status, o.str() + e.str());
  };
  const auto made = run({text, "--dictionary", starter.path(), "--out", out, "--every", "3", "--pairs", "8"});
  ASSERT_EQ(made.first, 0) << made.second;
  for (const char* ext : {"clo", "mem", "mul", "seq"})
    EXPECT_TRUE(fs::exists(dir / "out" / (std::string("fox.") + ext))) << ext << made.second;
  KioDocument memory;
  std::string error;
  ASSERT_TRUE(ReadKioDocument((dir / "out" / "fox.mem").string(), DocumentKind::kMemory, memory, error));
  EXPECT_EQ(memory.pairs.size(), 8u);

  // Made again: nothing is replaced.
  const auto before = test::SnapshotFolder(dir / "out");
  const auto again = run({text, "--dictionary", starter.path(), "--out", out});
  EXPECT_EQ(again.first, 1);
  EXPECT_NE(again.second.find("nothing was written"), std::string::npos) << again.second;
  EXPECT_EQ(test::SnapshotFolder(dir / "out"), before);

  struct Case {
    std::vector<std::string> args;
    const char* says;
  } refused[] = {
      {{text, "--dictionary", starter.path()}, "usage"},
      {{text, "--dictionary", starter.path(), "--out", out, "--pairs", "5"}, "3, 4, 6 or 8"},
      {{text, "--dictionary", starter.path(), "--out", out, "--every", "0"}, "1 to 50"},
      {{text, "--dictionary", (dir / "none.kio").string(), "--out", out}, "cannot be opened"},
      {{(dir / "none.hpl").string(), "--dictionary", starter.path(), "--out", out}, "Cannot open"},
      {{text, "--dictionary", starter.path(), "--out", (dir / "nowhere").string()}, "no such folder"},
  };
  for (const Case& c : refused) {
    const auto r = run(c.args);
    EXPECT_EQ(r.first, 1) << c.says;
    EXPECT_NE(r.second.find(c.says), std::string::npos) << r.second;
  }

  // Through the program itself, and each document opened in its editor and
  // generated as a page.
  const auto cli = test::RunCommand(
      std::string(KIO_PROGRAM_DIR) + "/kio activities " + test::ShellQuote(text) + " --dictionary " +
      test::ShellQuote(starter.path()) + " --out " + test::ShellQuote(dir.str()));
  ASSERT_EQ(cli.status, 0) << cli.transcript;
  std::string script;
  const std::pair<const char*, const char*> editors[] = {
      {"1009\npress 1422", "clo\npress 1425"},
      {"1071\npress 1422", "seq\npress 1425"},
      {"1140\npress 1422", "mem\npress 1425"},
      {"1018\npress 1921", "mul\npress 1924"},
  };
  for (const auto& [open, generate] : editors) {
    const std::string ext = std::string(generate).substr(0, 3);
    script += std::string("press ") + open + "\nchoose " + (dir / "fox.").string() + generate + "\nchoose " +
              (dir / ("fox_" + ext + ".htm")).string() + "\nanswer No\npress 2\n";
  }
  const auto shown = test::RunKio(KIO_PROGRAM_DIR, script);
  EXPECT_EQ(shown.status, 0) << shown.transcript;
  EXPECT_EQ(shown.transcript.find("Oops"), std::string::npos) << shown.transcript;
  for (const char* ext : {"clo", "seq", "mem", "mul"}) {
    const std::string page = test::ReadFile(dir / (std::string("fox_") + ext + ".htm"));
    EXPECT_NE(page.find("</html>"), std::string::npos) << ext;
  }
  EXPECT_NE(test::ReadFile(dir / "fox_clo.htm").find("trellis"), std::string::npos);
}

}  // namespace
}  // namespace kio::questions
