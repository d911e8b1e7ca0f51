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
