// kio-lexicon, run as a teacher or a script would run it, and the starter
// dictionary it builds into the program folder.
#include <gtest/gtest.h>

#include <set>

#include "lexicon_test_util.h"

namespace kio::test {
namespace {

const std::string kTool = std::string(KIO_PROGRAM_DIR) + "/kio-lexicon";
const std::string kFreeDict = "/usr/share/dictd/freedict-eng-por.index";

// Runs the tool with its arguments; standard error is kept apart unless asked.
RunResult Tool(const std::vector<std::string>& args, bool withErrors = false) {
  std::string cmd = ShellQuote(kTool);
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  return RunCommand(cmd + (withErrors ? " 2>&1" : " 2>/dev/null"));
}

TEST(LexiconTool, UsageAndWrongUse) {
  RunResult help = Tool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Has(help.transcript, "Usage: kio-lexicon")) << help.transcript;
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{}, 2},
      {{"frobnicate", "x.kio"}, 2},
      {{"create"}, 2},
      {{"lookup", "x.kio"}, 2},
      {{"export", "x.kio", "a", "b"}, 2},
      {{"check", "x.kio", "--keep"}, 2},
      {{"merge", "x.kio", "y.kio", "--keep", "--replace"}, 2},
      {{"create", "/tmp/no.dots.kio"}, 1},
      {{"create", "/tmp/notes.txt"}, 1},
      {{"check", "/nonexistent-folder/x.kio"}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Tool(c.args).status, c.status) << (c.args.empty() ? "" : c.args[0]);
}

TEST(LexiconTool, CreateWritesTheExactEmptyPairAndKeepsAnExistingOne) {
  TempDir dir;
  const std::string dict = (dir / "Novo.kio").string();
  ASSERT_EQ(Tool({"create", dict}).status, 0);
  EXPECT_EQ(ReadFile(dir / "novo.kpo"), kEmptyPointer);
  EXPECT_EQ(ReadFile(dir / "novo.kio"), kEmptyData);
  EXPECT_FALSE(fs::exists(dir / "lexicon.dat"));
  EXPECT_EQ(Tool({"check", dict}).status, 0);
  EXPECT_EQ(Tool({"create", dict}).status, 1);
  EXPECT_EQ(Tool({"create", dict, "--force"}).status, 0);
}

// Dictionaries and text files named with accents, in a folder named with
// accents: the files carry those names in UTF-8, the dictionary's own names
// lower-cased by characters. A name KIO cannot keep is refused, not changed.
TEST(LexiconTool, AccentedNamesAreTheNamesOnDisk) {
  TempDir dir;
  const fs::path folder = dir / "Área de Línguas";
  fs::create_directory(folder);
  const std::string dict = (folder / "Dicionário.kio").string();
  RunResult r = Tool({"create", dict});
  ASSERT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "created " + (folder / "dicionário.kio").string())) << r.transcript;
  EXPECT_EQ(ReadFile(folder / "dicionário.kpo"), kEmptyPointer);
  EXPECT_EQ(ReadFile(folder / "dicionário.kio"), kEmptyData);

  WriteFile(folder / "Lição.txt", W("ação\r\naction\r\n\r\n"));
  r = Tool({"import", dict, (folder / "Lição.txt").string()});
  ASSERT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "dicionário.kio: 1 entries read, 1 added")) << r.transcript;
  r = Tool({"lookup", dict, "AÇÃO"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.transcript, "ação\naction")) << r.transcript;
  ASSERT_EQ(Tool({"export", dict, (folder / "Saída.txt").string()}).status, 0);
  EXPECT_EQ(ReadFile(folder / "Saída.txt"), W("ação\r\naction\r\n\r\n"));
  ASSERT_EQ(Tool({"import", (folder / "Outro.kio").string(), (folder / "Saída.txt").string()}).status, 0);
  ASSERT_EQ(Tool({"merge", dict, (folder / "OUTRO.KIO").string()}).status, 0);
  EXPECT_EQ(Tool({"check", dict}).status, 0);
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"dicionário.kio", "dicionário.kpo", "dicionário.lck", "outro.kio",
                                          "outro.kpo", "outro.lck", "Lição.txt", "Saída.txt"}));

  for (const fs::path& unfit : {dir / "辞書.kio", dir / "辞書" / "aula.kio"}) {
    fs::create_directories(unfit.parent_path());
    r = Tool({"create", unfit.string()}, true);
    EXPECT_EQ(r.status, 1) << unfit;
    EXPECT_TRUE(Has(r.transcript, "KIO cannot keep")) << r.transcript;
    EXPECT_FALSE(fs::exists(unfit)) << unfit;
  }
}

TEST(LexiconTool, ImportExportAndMergeWithTheTextLayout) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string(), other = (dir / "outro.kio").string();
  WriteFile(dir / "aula.txt", W("ir\r\nto go//ir\r\n\r\ncasa\r\nhouse\r\n\r\nbola\r\nball\r\nbal\r\n\r\n"));
  RunResult r = Tool({"import", dict, (dir / "aula.txt").string()});
  ASSERT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "3 entries read, 3 added")) << r.transcript;
  ASSERT_EQ(Tool({"export", dict, (dir / "out.txt").string()}).status, 0);
  const std::string exported = "bola\r\nball\r\nbal\r\n\r\ncasa\r\nhouse\r\n\r\nir\r\nto go\r\n\r\n";
  EXPECT_EQ(ReadFile(dir / "out.txt"), exported);
  // The export reads back to the same export.
  ASSERT_EQ(Tool({"import", (dir / "copia.kio").string(), (dir / "out.txt").string()}).status, 0);
  ASSERT_EQ(Tool({"export", (dir / "copia.kio").string(), (dir / "out2.txt").string()}).status, 0);
  EXPECT_EQ(ReadFile(dir / "out2.txt"), exported);

  // Merge: an entry of the other dictionary replaces or is skipped.
  WriteFile(dir / "outro.txt", "CASA\r\nhome\r\n\r\ndado\r\ndie\r\n\r\n");
  ASSERT_EQ(Tool({"import", other, (dir / "outro.txt").string()}).status, 0);
  struct Case {
    const char* mode;
    std::string result;
  } cases[] = {
      {"--keep", "bola\r\nball\r\nbal\r\n\r\ncasa\r\nhouse\r\n\r\ndado\r\ndie\r\n\r\nir\r\nto go\r\n\r\n"},
      {"--replace", "bola\r\nball\r\nbal\r\n\r\nCASA\r\nhome\r\n\r\ndado\r\ndie\r\n\r\nir\r\nto go\r\n\r\n"},
  };
  for (const Case& c : cases) {
    fs::copy_file(dir / "copia.kio", dir / "m.kio", fs::copy_options::overwrite_existing);
    fs::copy_file(dir / "copia.kpo", dir / "m.kpo", fs::copy_options::overwrite_existing);
    ASSERT_EQ(Tool({"merge", (dir / "m.kio").string(), other, c.mode}).status, 0) << c.mode;
    ASSERT_EQ(Tool({"export", (dir / "m.kio").string(), (dir / "m.txt").string()}).status, 0);
    EXPECT_EQ(ReadFile(dir / "m.txt"), c.result) << c.mode;
    EXPECT_FALSE(fs::exists(dir / "m_bak.kio")) << "the working pair is removed";
  }
  EXPECT_EQ(Tool({"merge", dict, dict}).status, 1);
}

TEST(LexiconTool, ImportReportsRefusedEntriesAndSavesTheRest) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string();
  WriteFile(dir / "in.txt", "zzzzzzzzzzzzzzzzzzzzzzz\r\nbeyond\r\n\r\nlong\r\n" + std::string(4090, 'x') +
                                "\r\n\r\nok\r\nfine\r\n\r\n");
  RunResult r = Tool({"import", dict, (dir / "in.txt").string()}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "[Oops!] Off limits.")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "[Oops!] Entry too long")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "3 entries read, 1 added, 0 replaced, 2 refused")) << r.transcript;
  EXPECT_EQ(Tool({"check", dict}).status, 0);
}

TEST(LexiconTool, CheckNamesTheFaultsOfADamagedPair) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string();
  WriteFile(dir / "in.txt", "a\r\n1\r\n\r\nb\r\n2\r\n\r\n");
  ASSERT_EQ(Tool({"import", dict, (dir / "in.txt").string()}).status, 0);
  std::string pointer = ReadFile(dir / "aula.kpo");
  std::swap(pointer[8], pointer[12]);  // slots 1 and 2 exchanged: out of order
  WriteFile(dir / "aula.kpo", pointer);
  RunResult r = Tool({"check", dict});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "entry 2: \"a\" is out of order after \"b\"")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "NOT SOUND")) << r.transcript;
  WriteFile(dir / "aula.kpo", pointer.substr(0, 10));
  r = Tool({"check", dict});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "the count is 4 but the pointer file holds only 1 slots")) << r.transcript;
}

TEST(LexiconTool, HelpAndVersionOnStandardOutput) {
  RunResult help = RunCommand(ShellQuote(kTool) + " --help 2>/dev/null");
  EXPECT_EQ(help.status, 0);
  // What the editor's layout leaves out is said where the export is.
  EXPECT_TRUE(Has(help.transcript, "LEAVES OUT every rule note")) << help.transcript;
  EXPECT_TRUE(Has(help.transcript, "explain DICT WORD...")) << help.transcript;
  RunResult version = RunCommand(ShellQuote(kTool) + " --version 2>/dev/null");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(Has(version.transcript, "kio-lexicon (KIO) ")) << version.transcript;
  EXPECT_EQ(Tool({"export", "x.kio", "y.txt", "--whole", "--keep"}).status, 2);
  EXPECT_EQ(Tool({"lookup", "x.kio", "w", "--whole"}).status, 2);
}

// The dictionary tool links the store alone: nothing that shows a message,
// asks a question or draws a dialog is in its binary.
TEST(LexiconTool, LinksNoDialogCode) {
  RunResult symbols = RunCommand("nm -C " + ShellQuote(kTool));
  ASSERT_EQ(symbols.status, 0) << symbols.transcript;
  ASSERT_TRUE(Has(symbols.transcript, "kio::LexiconStore::Commit")) << "nm read no symbols";
  for (const char* dialog :
       {"ShowMessage", "kio::Dialog", "CDocumentEditorDlg", "CListEditorDlg", "CLexiconDlg", "ShowNotices",
        "OpenDictionaryAsking", "EscapeStops", "kio::Platform", "ChooseFile"})
    EXPECT_FALSE(Has(symbols.transcript, dialog)) << dialog;
}

// The whole export keeps every note and line of the bodies: import reads it
// back to the same entries, byte for byte, where the editor's layout cuts
// every body at "//".
TEST(LexiconTool, WholeExportGivesEveryEntryBack) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string();
  const std::string whole =
      "#plural:-s\r\n^//plural\r\n\r\nir\r\nto go//ir: verbo irregular\r\ngo, went, gone\r\n \r\n"
      "(uma linha vazia acima)\r\n\r\nnada\r\n\r\n";
  WriteFile(dir / "in.txt", whole);
  ASSERT_EQ(Tool({"import", dict, (dir / "in.txt").string()}).status, 0);
  ASSERT_EQ(Tool({"export", dict, (dir / "whole.txt").string(), "--whole"}).status, 0);
  EXPECT_EQ(ReadFile(dir / "whole.txt"), whole);
  RunResult r = Tool({"lookup", dict, "ir"});
  EXPECT_TRUE(Has(r.transcript, "to go//ir: verbo irregular\ngo, went, gone\n\n(uma linha vazia acima)"))
      << r.transcript;
  ASSERT_EQ(Tool({"export", dict, (dir / "cut.txt").string()}).status, 0);
  EXPECT_EQ(ReadFile(dir / "cut.txt"), "#plural:-s\r\n^\r\n\r\nir\r\nto go\r\n\r\nnada\r\n\r\n\r\n");

  // The starter dictionary through the whole layout: the same pair again.
  const std::string starter = std::string(KIO_PROGRAM_DIR) + "/ingles.kio";
  ASSERT_EQ(Tool({"export", starter, (dir / "ingles.txt").string(), "--whole"}).status, 0);
  r = Tool({"import", (dir / "copia.kio").string(), (dir / "ingles.txt").string()}, true);
  ASSERT_EQ(r.status, 0) << r.transcript;
  EXPECT_EQ(ReadFile(dir / "copia.kio"), ReadFile(std::string(KIO_PROGRAM_DIR) + "/ingles.kio"));
  EXPECT_EQ(ReadFile(dir / "copia.kpo"), ReadFile(std::string(KIO_PROGRAM_DIR) + "/ingles.kpo"));
}

TEST(LexiconTool, ImportAndMergeNameWhatTheyReplacedKeptOrFoundEmpty) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string(), other = (dir / "outro.kio").string();
  WriteFile(dir / "aula.txt", "casa\r\nhouse\r\n\r\nbola\r\nball\r\n\r\n");
  ASSERT_EQ(Tool({"import", dict, (dir / "aula.txt").string()}).status, 0);
  WriteFile(dir / "outro.txt", "CASA\r\nhome\r\n\r\ndado\r\ndie\r\n\r\nvazio\r\n\r\nBola\r\nbal\r\n\r\n");
  RunResult r = Tool({"import", other, (dir / "outro.txt").string()}, true);
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "outro.txt line 7: \"vazio\" has an empty body")) << r.transcript;
  EXPECT_FALSE(Has(r.transcript, "\"dado\" has an empty body")) << r.transcript;

  r = Tool({"merge", dict, other, "--keep"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.transcript, "kept Bola\nkept CASA\n")) << r.transcript;
  r = Tool({"merge", dict, other});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.transcript, "replaced Bola\nreplaced CASA\nreplaced dado\nreplaced vazio\n"))
      << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "4 entries read, 0 added, 4 replaced")) << r.transcript;
}

TEST(LexiconTool, AMissingDictionaryIsNamedByItsPath) {
  TempDir dir;
  const std::string missing = (dir / "nenhum.kio").string();
  for (const std::string& command : {"check", "lookup", "explain", "export"}) {
    std::vector<std::string> args = {command, missing,
                                     command == "export" ? (dir / "o.txt").string() : "casa"};
    if (command == "check") args.pop_back();
    RunResult r = Tool(args, true);
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_TRUE(Has(r.transcript, "Dictionary not found! " + missing)) << command << ": " << r.transcript;
  }
  WriteFile(dir / "meio.kio", kEmptyData);
  RunResult r = Tool({"lookup", (dir / "meio.kio").string(), "casa"}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "its pointer file " + (dir / "meio.kpo").string() + " is missing"))
      << r.transcript;
}

// What a student sees on a lexical page for a word: the linker of the page
// itself, over the dictionary.
TEST(LexiconTool, ExplainShowsWhatTheLexicalPageLinks) {
  TempDir dir;
  const std::string dict = (dir / "aula.kio").string();
  WriteFile(dir / "in.txt",
            "#plural:-s\r\n^//plural\r\n\r\n#plural:-ies\r\ny//plural\r\n\r\ncity\r\ncidade\r\n\r\n"
            "house\r\ncasa [s]\r\n\r\na lot of\r\nmuito\r\n\r\nrule\r\nregra//nota do professor\r\n\r\n");
  ASSERT_EQ(Tool({"import", dict, (dir / "in.txt").string()}).status, 0);
  RunResult r = Tool({"explain", dict, "Houses", "cities", "a lot of", "rule"});
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript,
                  "Houses\n  links: Houses\n  headword: house\n"
                  "  through: the rule for the ending -s, note: plural\n"
                  "  shows:\n    house\n    casa [s]\n    \n    plural\n"))
      << r.transcript;
  EXPECT_TRUE(Has(r.transcript,
                  "  headword: city\n  through: the rule for the ending -ies (put back: y), note: plural"))
      << r.transcript;
  EXPECT_TRUE(
      Has(r.transcript, "a lot of\n  links: a lot of\n  headword: a lot of\n  through: the phrase a lot of"))
      << r.transcript;
  EXPECT_TRUE(Has(r.transcript,
                  "  through: its own entry\n  shows:\n    rule\n    regra\n    \n    nota do professor\n"))
      << r.transcript;
  r = Tool({"explain", dict, "xyzzy"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "xyzzy\n  not linked")) << r.transcript;
}

TEST(LexiconStarter, ShippedDictionaryIsSoundAndHoldsTheAffixRules) {
  const std::string dict = std::string(KIO_PROGRAM_DIR) + "/ingles.kio";
  RunResult r = Tool({"check", dict});
  EXPECT_EQ(r.status, 0) << r.transcript;
  r = Tool({"lookup", dict, "#plural:-s", "#plural:-ies", "#past:-ed", "#ing:-ing", "#possessive:-'s"});
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "#plural:-ies\ny//plural\n")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "#ing:-ing\n^//-ing form / gerúndio")) << r.transcript;
}

TEST(LexiconStarter, FindsTheFreeDictEntries) {
  if (!fs::exists(kFreeDict)) GTEST_SKIP() << kFreeDict << " is not installed (dict-freedict-eng-por)";
  const std::string dict = std::string(KIO_PROGRAM_DIR) + "/ingles.kio";
  RunResult r = Tool({"lookup", dict, "house", "a lot of"});
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "house\ncasa, habitação, vivenda\n")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "a lot of\n1. muito\n2. um grande número de\n")) << r.transcript;
  r = Tool({"lookup", dict, "House", "xyzzy"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.transcript, "house\ncasa")) << r.transcript;
  EXPECT_TRUE(Has(r.transcript, "xyzzy: not found")) << r.transcript;

  // Windows-1252 throughout: no pronunciation and no UTF-8 left behind.
  TempDir dir;
  ASSERT_EQ(Tool({"export", dict, (dir / "all.txt").string()}).status, 0);
  std::string all = ReadFile(dir / "all.txt");
  EXPECT_GT(all.size(), 400000u);
  EXPECT_TRUE(Has(all, W("\r\ncasa, habitação, vivenda\r\n")));
  for (size_t i = 0; i + 1 < all.size(); ++i) {
    unsigned char a = all[i], b = all[i + 1];
    ASSERT_FALSE(a >= 0xC2 && a <= 0xDF && b >= 0x80 && b <= 0xBF) << "UTF-8 at " << all.substr(i, 40);
  }
  EXPECT_FALSE(Has(all, "/haus/"));
}

}  // namespace
}  // namespace kio::test
