// The dictionary editor driven through the headless driver, in a copy of the
// program folder: navigation and its counters, the pre-step question,
// Attach, Delete, the small dialogs and their ranges, Replace, Search, Save
// part, the text export, Merge, New, and what an interruption leaves.
#include "lexicon_editor/lexicon_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>

#include "app/main_dlg.h"
#include "app/startup.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_transfer.h"
#include "lexicon/pair_check.h"
#include "lexicon_test_util.h"
#include "platform/text_encoding.h"
#include "program_folder.h"

namespace kio::test {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class LexiconEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().Reset();
    HeadlessSession quiet;
    StartUp();
    CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
  }

  // Writes dictionary `name` ("teste.kio") into the program folder.
  void Write(const std::string& name, const Entries& entries) {
    std::vector<std::string> texts;
    for (const auto& [h, b] : entries) texts.push_back(Entry(h, b));
    auto pair = RawPair(texts);
    WriteFile(folder_ / (name.substr(0, name.find('.')) + ".kpo"), pair.first);
    WriteFile(folder_ / name, pair.second);
  }
  std::string Read(const std::string& name) { return ReadFile(folder_ / name); }
  // The script line that picks a file of the program folder.
  std::string Choose(const std::string& name) { return "choose " + folder_.str() + "/" + name + "\n"; }

  std::string Run(const std::string& script) {
    std::string t = RunScripted(script, [] {
      CLexiconDlg editor(StartUp);
      editor.DoModal();
    });
    fs::current_path(folder_.path());
    return t;
  }
  // Opens `name`, runs `script`, dumps, and leaves without saving.
  std::string Session(const std::string& name, const std::string& script) {
    return Run(Choose(name) + script + "dump\npress 2\n");
  }
  std::string Ui(int record) { return Shown(CurrentSession().UiText[record]); }

  Entries Numbered(int n) {
    Entries e;
    for (int i = 0; i < n; ++i) {
      char h[16];
      std::snprintf(h, sizeof h, "w%03d", i + 1);
      e.push_back({h, std::string("body ") + h});
    }
    return e;
  }

  ProgramFolder folder_;
  InFolder in_{folder_.path()};
};

TEST_F(LexiconEditorTest, StartsOnTheFirstEntryWithItsCounters) {
  Write("teste.kio", {{"apple", "fruit"}, {"house", "casa"}});
  std::string t = Session("teste.kio", "");
  EXPECT_TRUE(Has(t, "DIALOG KIO Lexico\n")) << t;
  EXPECT_EQ(Control(t, kLexHeadword), "apple");
  EXPECT_EQ(Control(t, kLexBody), "fruit\\r\\n");
  EXPECT_EQ(Control(t, kLexNumber), "1");
  EXPECT_EQ(Control(t, kLexTotal), "2");
  EXPECT_EQ(Control(t, kLexPath), folder_.str() + "/teste.kio");
  // The dictionary chosen became the program's, and its working pair is gone.
  EXPECT_EQ(Read("lexicon.dat"), "teste.kio");
  EXPECT_FALSE(fs::exists(folder_ / "teste_bak.kio"));
  EXPECT_TRUE(Has(t, "END KIO Lexico\n"));
}

TEST_F(LexiconEditorTest, TheHomeScreensDictionaryButtonStartsIt) {
  std::string t = RunScripted("press 1006\nchoose cancel\npress 2\nanswer Yes\n", [] {
    CMainDlg home;
    home.DoModal();
  });
  EXPECT_TRUE(Has(t, "DIALOG KIO\nCHOOSE open | " + folder_.str() + "/*.kio | *.kio | kio\n")) << t;
  EXPECT_TRUE(Has(t, "DIALOG KIO Lexico\nEND KIO Lexico\n")) << t;
}

TEST_F(LexiconEditorTest, ACancelledOpenOrAFolderElsewhereClosesTheEditor) {
  std::string t = Run("choose cancel\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | Cancelado.\nDIALOG KIO Lexico\nEND KIO Lexico\n")) << t;
  TempDir elsewhere;
  WriteFile(elsewhere / "x.kio", "");
  t = Run("choose " + (elsewhere / "x.kio").string() + "\n");
  EXPECT_TRUE(Has(t, "MESSAGE kio | " + Shown(Win1252("Dicionário deve ficar na pasta:  ")) + folder_.str() +
                         "/\nDIALOG KIO Lexico\nEND KIO Lexico\n"))
      << t;
}

TEST_F(LexiconEditorTest, NavigationMovesAndClamps) {
  Write("teste.kio", Numbered(120));
  struct Case {
    const char* script;
    const char* number;
  } cases[] = {
      {"press 117\ntype 122 w050\nleave 122\n", "50"},            // Find
      {"press 117\ntype 122 w050\nleave 122\npress 108\n", "1"},  // Fast back from 50
      {"press 117\ntype 122 w150\nleave 122\npress 108\n", "20"},
      {"press 107\n", "101"},
      {"press 107\npress 107\n", "120"},
      {"press 110\npress 106\n", "119"},
      {"press 106\n", "1"},
      {"press 105\npress 105\npress 109\n", "1"},
  };
  for (const Case& c : cases) {
    std::string t = Session("teste.kio", c.script);
    EXPECT_EQ(Control(t, kLexNumber), c.number) << c.script << t;
    EXPECT_EQ(Control(t, kLexTotal), "120");
  }
}

TEST_F(LexiconEditorTest, LastOnAnEmptyDictionaryShowsNothing) {
  Write("vazio.kio", {});
  std::string t = Session("vazio.kio", "press 110\n");
  EXPECT_EQ(Control(t, kLexHeadword), "");
  EXPECT_EQ(Control(t, kLexBody), "");
  EXPECT_EQ(Control(t, kLexTotal), "0");
  EXPECT_FALSE(Has(t, "MESSAGE Oops!")) << t;
}

TEST_F(LexiconEditorTest, InsertFindsAnExistingHeadwordAndTheBodyNeedsAHeadword) {
  Write("teste.kio", {{"apple", "fruit"}, {"house", "casa"}});
  // Mode 0: an existing headword comes up for editing; blanks are cleaned.
  std::string t = Session("teste.kio", "press 103\ntype 122   House  \nleave 122\n");
  EXPECT_EQ(Control(t, kLexHeadword), "house");
  EXPECT_EQ(Control(t, kLexBody), "casa\\r\\n");
  // A new headword stays as typed; rule headwords lose their blanks.
  t = Session("teste.kio", "press 103\ntype 122 #plural: -s\nleave 122\n");
  EXPECT_EQ(Control(t, kLexHeadword), "#plural:-s");
  EXPECT_EQ(Control(t, kLexBody), "");
  // Entering the body with no headword sends the focus back.
  t = Session("teste.kio", "press 103\nfocus 102\n");
  EXPECT_TRUE(Has(t, "FOCUS 122\n")) << t;
}

TEST_F(LexiconEditorTest, AttachStoresAnEntryAndThePreStepAsksFirst) {
  Write("teste.kio", {{"apple", "fruit"}, {"house", "casa"}});
  // Attach with an empty body: record 98.
  std::string t = Session("teste.kio", "press 103\ntype 122 cat\nleave 122\ntype 102 \npress 124\n");
  EXPECT_TRUE(Has(t, "MESSAGE Kio | " + Ui(98) + "\n")) << t;
  // Insert, type, attach, save.
  t = Run(Choose("teste.kio") +
          "press 103\ntype 122 cat\nleave 122\ntype 102 gato\\r\\n\\r\\n  \npress 124\ndump\n" +
          "press 116\npress 2\n");
  EXPECT_EQ(Control(t, kLexHeadword), "cat");
  EXPECT_EQ(Control(t, kLexNumber), "2");
  EXPECT_EQ(Control(t, kLexTotal), "3");
  EXPECT_EQ(Read("teste.kio"),
            RawPair({Entry("apple", "fruit"), Entry("cat", "gato"), Entry("house", "casa")}).second);
  // An edited body: moving on asks record 97; Yes attaches it.
  t = Run(Choose("teste.kio") +
          "type 102 fruta\npress 105\nanswer Yes\npress 106\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Kio | " + Ui(97) + "\n")) << t;
  EXPECT_EQ(Control(t, kLexBody), "fruta\\r\\n");
  EXPECT_TRUE(Has(t, "MESSAGE kio | " + Ui(99) + "\n")) << t;  // Return: not saved
  // No: the edit is dropped.
  t = Run(Choose("teste.kio") + "type 102 fruta\npress 105\nanswer No\npress 106\ndump\npress 2\n");
  EXPECT_EQ(Control(t, kLexBody), "fruit\\r\\n");
}

TEST_F(LexiconEditorTest, DeleteAsksAndShowsTheNextEntry) {
  Write("teste.kio", {{"a", "1"}, {"b", "2"}, {"c", "3"}});
  std::string t = Session("teste.kio", "press 105\npress 115\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE kio | " + Ui(87) + "\n")) << t;
  EXPECT_EQ(Control(t, kLexTotal), "3");
  t = Run(Choose("teste.kio") + "press 105\npress 115\nanswer Yes\ndump\npress 2\nanswer Yes\n");
  EXPECT_EQ(Control(t, kLexHeadword), "c");
  EXPECT_EQ(Control(t, kLexTotal), "2");
  EXPECT_EQ(Read("teste.kio"), RawPair({Entry("a", "1"), Entry("c", "3")}).second);
}

TEST_F(LexiconEditorTest, CutSegmentTakesItsRangeAndRefusesOthers) {
  Write("teste.kio", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
  const std::string cut = "press 154\n";
  std::string t = Session("teste.kio", cut + "type 151 3\ntype 152 2\npress 1\nanswer Yes\n");
  EXPECT_TRUE(Has(t, "DIALOG Excluir verbetes\n")) << t;
  EXPECT_TRUE(Has(t, "MESSAGE kio | " + Ui(96) + "\n"));
  EXPECT_EQ(Control(t, kLexTotal), "5");
  t = Session("teste.kio",
              cut + "type 151 3\ntype 152 3\npress 1\nanswer Yes\npress 109\npress 105\npress 105\n");
  EXPECT_EQ(Control(t, kLexTotal), "4");
  EXPECT_EQ(Control(t, kLexHeadword), "d");
  // Out of range: record 95, and the dialog stays until the numbers fit.
  t = Session("teste.kio", cut +
                               "type 151 0\ntype 152 2\npress 1\ntype 151 6\npress 1\ntype 151 x\npress 1\n" +
                               "type 151 5\ntype 152 6\npress 1\nanswer Yes\n");
  size_t refusals = 0;
  for (size_t p = 0; (p = t.find("MESSAGE Kio | " + Ui(95), p)) != std::string::npos; ++p) ++refusals;
  EXPECT_EQ(refusals, 3u) << t;
  EXPECT_EQ(Control(t, kLexTotal), "4");
  // Cancel ends it.
  t = Session("teste.kio", cut + "escape\n");
  EXPECT_EQ(Control(t, kLexTotal), "5");
}

TEST_F(LexiconEditorTest, SavePartWritesTheRangeByteForByte) {
  Write("teste.kio", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
  const std::string refusal = "MESSAGE kio | Verbetes al" + Shown(Win1252("é")) + "m e/ou aqu" +
                              Shown(Win1252("é")) + "m dos limites do dicion" + Shown(Win1252("á")) + "rio\n";
  std::string t = Session("teste.kio",
                          "press 1013\ntype 164 4\ntype 165 2\npress 1\n" /* reversed */
                          "type 164 2\ntype 165 6\npress 1\n"             /* beyond */
                          "type 165 4\npress 1\n" +
                              Choose("teste.kio") + Choose("teste_bak.kio") + Choose("parte.kio"));
  size_t refusals = 0;
  for (size_t p = 0; (p = t.find(refusal, p)) != std::string::npos; ++p) ++refusals;
  EXPECT_EQ(refusals, 2u) << t;
  EXPECT_TRUE(Has(t, "MESSAGE kio  | Usar para segmento")) << t;
  EXPECT_TRUE(Has(t, "MESSAGE Kio  | Segmento salvo com sucesso. \n")) << t;
  auto expected = RawPair({Entry("b", "2"), Entry("c", "3"), Entry("d", "4")});
  EXPECT_EQ(Read("parte.kpo"), expected.first);
  EXPECT_EQ(Read("parte.kio"), expected.second);
}

TEST_F(LexiconEditorTest, ReplaceRefilesAndReportsItsCount) {
  Write("teste.kio", {{"apple", "fruit"}, {"colour", "a colour"}, {"zebra", "animal"}});
  std::string t =
      Session("teste.kio", "press 161\ntype 162 colour\ntype 163 color\npress 1\npress 109\npress 105\n");
  EXPECT_TRUE(Has(t, "DIALOG Substituir segmento no dicionário\n")) << t;
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Ui(101) + "3" + Ui(102) + Ui(103) + "2.\n")) << t;
  EXPECT_EQ(Control(t, kLexHeadword), "color");
  EXPECT_EQ(Control(t, kLexBody), "a color\\r\\n");
  // An empty segment: record 100.
  t = Session("teste.kio", "press 161\npress 1\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Ui(100) + "\n")) << t;
  // colour by colours ends.
  t = Session("teste.kio", "press 161\ntype 162 colour\ntype 163 colours\npress 1\n");
  EXPECT_TRUE(Has(t, Ui(103) + "2.\n")) << t;
}

TEST_F(LexiconEditorTest, SearchStartsAfterTheCurrentEntry) {
  Write("teste.kio", {{"a", "xyz here"}, {"b", "2"}, {"c", "XyZ there"}});
  std::string t = Session("teste.kio", "press 166\ntype 166 xyz\npress 1\n");
  EXPECT_EQ(Control(t, kLexHeadword), "c");
  t = Session("teste.kio", "press 110\npress 166\ntype 166 xyz\npress 1\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO  | Lidos 3 palavras.  Not found \\r\\n  Termo n" + Shown(Win1252("ã")) +
                         "o foi encontrado.\n"))
      << t;
  EXPECT_EQ(Control(t, kLexHeadword), "c");
}

TEST_F(LexiconEditorTest, TextExportWritesTheFirstFieldAndAsksToSaveFirst) {
  Write("teste.kio", {{"go", "to go//ir"}, {"house", "casa"}});
  std::string t = Session("teste.kio", "press 1014\nanswer Yes\n");
  EXPECT_TRUE(
      Has(t, "MESSAGE KIO  | " + Shown(Win1252("Dicionário salvo como arquivo texto: ")) + "teste.TXT\n"))
      << t;
  EXPECT_EQ(Read("teste.TXT"), "go\r\nto go\r\n\r\nhouse\r\ncasa\r\n\r\n");
  // With an unsaved edit: record 99; Cancel stops, Yes saves and exports it.
  fs::remove(folder_ / "teste.TXT");
  const std::string edit = "press 105\ntype 102 casa grande\npress 124\n";
  t = Session("teste.kio", edit + "press 1014\nanswer Yes\nanswer Cancel\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Ui(99) + "\n")) << t;
  EXPECT_FALSE(fs::exists(folder_ / "teste.TXT"));
  t = Run(Choose("teste.kio") + edit + "press 1014\nanswer Yes\nanswer Yes\ndump\npress 2\n");
  EXPECT_EQ(Read("teste.TXT"), "go\r\nto go\r\n\r\nhouse\r\ncasa grande\r\n\r\n");
  EXPECT_EQ(Control(t, kLexBody), "to go//ir\\r\\n");  // the editor goes on
  // No: the export goes on from the saved dictionary, without the edit.
  t = Run(Choose("teste.kio") +
          "press 105\ntype 102 lar\npress 124\npress 1014\nanswer Yes\nanswer No\npress 2\n");
  EXPECT_EQ(Read("teste.TXT"), "go\r\nto go\r\n\r\nhouse\r\ncasa grande\r\n\r\n");
}

TEST_F(LexiconEditorTest, MergeWithNoKeepsExistingEntries) {
  Write("teste.kio", {{"apple", "mine"}, {"house", "casa"}});
  Write("outro.kio", {{"apple", "theirs"}, {"zebra", "zebra"}});
  std::string t = Session("teste.kio", "press 1015\n" + Choose("outro.kio") + "answer No\n");
  EXPECT_TRUE(Has(
      t, "MESSAGE " + Shown(Win1252("Havendo duplicação de verbete")) + " | Substituir verbete do teste?"))
      << t;
  EXPECT_EQ(Control(t, kLexTotal), "3");
  EXPECT_EQ(Read("teste.kio"),
            RawPair({Entry("apple", "mine"), Entry("house", "casa"), Entry("zebra", "zebra")}).second);
  // Yes: theirs replaces mine.
  t = Session("teste.kio", "press 1015\n" + Choose("outro.kio") + "answer Yes\n");
  EXPECT_EQ(Read("teste.kio"),
            RawPair({Entry("apple", "theirs"), Entry("house", "casa"), Entry("zebra", "zebra")}).second);
}

// A source whose count was lowered reads as a shorter sound dictionary; the
// pair check tells it apart, and nothing is merged.
TEST_F(LexiconEditorTest, ADamagedSourceIsNotMergedFrom) {
  Write("teste.kio", {{"apple", "mine"}});
  Write("outro.kio", {{"house", "casa"}, {"tree", "arvore"}, {"zebra", "zebra"}});
  std::string pointer = Read("outro.kpo");
  pointer[0] = static_cast<char>(pointer[0] - 1);
  WriteFile(folder_ / "outro.kpo", pointer);
  const std::string before = Read("teste.kio") + Read("teste.kpo");
  std::string t = Session("teste.kio", "press 1015\n" + Choose("outro.kio") + "answer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | " +
                         Shown(Win1252("Impossível mesclar. Arquivo possivelmente deteriorado.")) + "\n"))
      << t;
  EXPECT_EQ(Control(t, kLexTotal), "1");
  EXPECT_EQ(Read("teste.kio") + Read("teste.kpo"), before);
}

TEST_F(LexiconEditorTest, AnInterruptedMergeOrSavePartLeavesTheDictionaryAndNoPartialFiles) {
  Write("teste.kio", {{"apple", "mine"}, {"house", "casa"}, {"tree", "arvore"}});
  Write("outro.kio", {{"apple", "theirs"}, {"zebra", "zebra"}, {"zoo", "zoo"}});
  const std::string before = Read("teste.kio");
  std::string t = Session("teste.kio", "type 102 changed\npress 124\npress 1015\n" + Choose("outro.kio") +
                                           "answer No\nanswer Yes\nescape\nanswer Yes\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO  | Mesclando verbete 1. Interromper mesclagem?\n")) << t;
  EXPECT_EQ(Control(t, kLexBody), "changed\\r\\n");  // the unsaved edit is still there
  EXPECT_EQ(Read("teste.kio"), before);
  t = Session("teste.kio",
              "press 1013\ntype 164 1\ntype 165 3\npress 1\n" + Choose("parte.kio") + "escape\nanswer Yes\n");
  EXPECT_TRUE(Has(t, "MESSAGE Kio  | " + Shown(Win1252("Salvou até palavra 1. Interromper?")) + "\n")) << t;
  EXPECT_TRUE(Has(t, "nenhum arquivo foi gravado")) << t;
  EXPECT_FALSE(fs::exists(folder_ / "parte.kio"));
  EXPECT_FALSE(fs::exists(folder_ / "parte.kpo"));
  EXPECT_EQ(Read("teste.kio"), before);
  for (const char* leftover : {"tempglo", "temppont", "tempcommit", "teste_bak.kio", "teste_bak.kpo"})
    EXPECT_FALSE(fs::exists(folder_ / leftover)) << leftover;
}

TEST_F(LexiconEditorTest, ACancelledNewKeepsTheDictionaryOpen) {
  Write("teste.kio", {{"apple", "fruit"}, {"house", "casa"}});
  std::string t = Session("teste.kio", "press 105\npress 1012\nchoose cancel\npress 105\n");
  EXPECT_EQ(Control(t, kLexHeadword), "house");
  EXPECT_EQ(Control(t, kLexPath), folder_.str() + "/teste.kio");
  // A new dictionary: empty, recorded, edited at once.
  t = Session("teste.kio", "press 1012\n" + Choose("novo.kio") + "press 103\ntype 122 cat\nleave 122\n" +
                               "type 102 gato\npress 124\npress 116\n");
  EXPECT_EQ(Control(t, kLexTotal), "1");
  EXPECT_EQ(Read("lexicon.dat"), "novo.kio");
  EXPECT_EQ(Read("novo.kio"), RawPair({Entry("cat", "gato")}).second);
}

// An edit session on the starter dictionary: the saved dictionary stays
// sound and its text export changes exactly as edited.
TEST_F(LexiconEditorTest, AnEditSessionOnTheStarterDictionary) {
  auto exportOf = [&] {
    LexiconStore store;
    EXPECT_TRUE(store.OpenBytes(Read("ingles.kpo"), Read("ingles.kio")));
    std::string text;
    EXPECT_TRUE(ExportText(store, text));
    return text;
  };
  const std::string before = exportOf();
  ASSERT_NE(before.find("\r\n\r\nhouse\r\n"), std::string::npos);
  std::string t = Run(Choose("ingles.kio") +
                      "press 103\ntype 122 kioword\nleave 122\ntype 102 palavra do kio\npress 124\n"  // add
                      "press 117\ntype 122 house\nleave 122\ntype 102 casa, lar\npress 124\n"  // change
                      "press 117\ntype 122 zebra\nleave 122\npress 115\nanswer Yes\n"          // delete
                      "press 161\ntype 162 kioword\ntype 163 kiowords\npress 1\n"              // replace
                      "press 116\npress 2\n");
  ASSERT_TRUE(Has(t, "END KIO Lexico\n")) << t;
  PairCheck check = CheckPair(Read("ingles.kpo"), Read("ingles.kio"));
  EXPECT_TRUE(check.sound()) << (check.problems.empty() ? "" : check.problems[0]);
  // Reopened: the entries are there.
  t = Run(Choose("ingles.kio") + "press 117\ntype 122 kiowords\nleave 122\ndump\npress 2\n");
  EXPECT_EQ(Control(t, kLexBody), "palavra do kio\\r\\n");
  // The export differs by exactly the three blocks.
  auto blocks = [](const std::string& text) {
    std::multiset<std::string> b;
    for (size_t p = 0, e; (e = text.find("\r\n\r\n", p)) != std::string::npos; p = e + 4)
      b.insert(text.substr(p, e - p));
    return b;
  };
  std::multiset<std::string> was = blocks(before), now = blocks(exportOf());
  std::vector<std::string> gone, added;
  std::set_difference(was.begin(), was.end(), now.begin(), now.end(), std::back_inserter(gone));
  std::set_difference(now.begin(), now.end(), was.begin(), was.end(), std::back_inserter(added));
  ASSERT_EQ(gone.size(), 2u);
  EXPECT_EQ(gone[0].substr(0, 7), "house\r\n");
  EXPECT_EQ(gone[1].substr(0, 7), "zebra\r\n");
  EXPECT_EQ(added, (std::vector<std::string>{"house\r\ncasa, lar", "kiowords\r\npalavra do kio"}));
}

}  // namespace
}  // namespace kio::test
