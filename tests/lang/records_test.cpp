// The record reader and the two language loaders.
#include <gtest/gtest.h>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/platform.h"

namespace kio {
namespace {

using test::HeadlessSession;
using test::InFolder;
using test::TempDir;
using test::W;
using test::WriteFile;

TEST(ReadRecords, TakesTextBetweenCaretAndTilde) {
  struct Case {
    std::string input;
    std::vector<std::string> records;
  } cases[] = {
      {W("^Sim~ ^Não~"), {"Sim", W("Não")}},
      {"^line one\r\nline two~", {"line one\r\nline two"}},
      {"^a^b~", {"a^b", "b"}},  // a caret inside a record opens another
      {"^a~ ^b", {"a"}},        // a caret after the last tilde takes nothing
      {"ignored ^x~ between ^y~ tail", {"x", "y"}},
      {"^~^~", {"", ""}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadRecords(c.input, 225), c.records) << c.input;
}

TEST(ReadRecords, KeepsNoMoreThanTheTableHolds) {
  std::string many;
  for (int i = 0; i < 60; ++i) many += "^r" + std::to_string(i) + "~";
  auto records = ReadRecords(many, 50);
  ASSERT_EQ(records.size(), 50u);
  EXPECT_EQ(records.back(), "r49");
}

TEST(HelpFolder, FollowsTheLanguageFileName) {
  std::pair<const char*, const char*> cases[] = {
      {"portugues.lin", "instru_por/"}, {"english.lin", "instru_eng/"},    {"port_deut.lin", "instru_por/"},
      {"eng_deut.lin", "instru_eng/"},  {"port_espan.lin", "instru_por/"}, {"English.LIN", "instru_eng/"},
      {"French.lin", "french.lin"},
  };
  for (auto [file, folder] : cases) EXPECT_EQ(HelpFolderFor(file), folder) << file;
}

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentSession().Reset(); }
  TempDir dir;
};

TEST_F(LoaderTest, InterfaceLanguageFillsUiTextAndLeavesTheRestEmpty) {
  WriteFile(dir / "mini.lin", W("^Sim~ ^Não~"));
  CurrentSession().UiText[2] = "from an earlier language";
  InFolder in(dir.path());
  CurrentSession().appPaths.interfaceLanguageFile = "mini.lin";
  HeadlessSession session;
  LoadInterfaceLanguage();
  EXPECT_EQ(CurrentSession().UiText[0], "Sim");
  EXPECT_EQ(CurrentSession().UiText[1], W("Não"));
  EXPECT_EQ(CurrentSession().UiText[2], "");
  // No help folder "mini.lin" exists: one message, and loading goes on.
  EXPECT_EQ(session.transcript(),
            "MESSAGE Oops! | Output language not found.  Cannot continue.\\r\\nLíngua de saída não "
            "encontrada.  Impossível continuar.\n");
}

TEST_F(LoaderTest, RecordsHeldByOtherEntriesAreSkippedAndHelpReplacesItsRecords) {
  std::string lin;
  for (int k = 0; k < 213; ++k) lin += "^r" + std::to_string(k) + "~";
  WriteFile(dir / "english.lin", lin);
  std::filesystem::create_directory(dir / "instru_eng");
  // Only the first help file exists: loading stops at the second.
  WriteFile(dir / "instru_eng" / "abertura.rtf", "{\\rtf1 hello}");
  CurrentSession().UiText[182] = "kept";
  InFolder in(dir.path());
  CurrentSession().appPaths.interfaceLanguageFile = "english.lin";
  HeadlessSession session;
  LoadInterfaceLanguage();
  EXPECT_EQ(CurrentSession().appPaths.helpFolder, "instru_eng/");
  EXPECT_EQ(CurrentSession().UiText[182], "kept");
  EXPECT_EQ(CurrentSession().UiText[205], "");
  EXPECT_EQ(CurrentSession().UiText[20], "{\\rtf1 hello}");  // help text 1 shares record 20
  EXPECT_EQ(CurrentSession().UiText[28], "r28");             // help text 2 was not loaded
  EXPECT_EQ(CurrentSession().UiText[212], "r212");
}

TEST_F(LoaderTest, UnusableLanguageFilesEndTheProgram) {
  WriteFile(dir / "one.lin", "^");
  WriteFile(dir / "one.stu", "^");
  InFolder in(dir.path());
  struct Case {
    std::string file;
    bool interface;
  } cases[] = {{"one.lin", true}, {"missing.lin", true}, {"one.stu", false}, {"missing.stu", false}};
  for (const auto& c : cases) {
    HeadlessSession session;
    CurrentSession().appPaths.interfaceLanguageFile = CurrentSession().appPaths.studentLanguageFile = c.file;
    try {
      c.interface ? LoadInterfaceLanguage() : LoadStudentLanguage();
      ADD_FAILURE() << c.file << " was accepted";
    } catch (const ProcessExit& e) {
      EXPECT_EQ(e.status, 1);
    }
    std::string expected = c.interface ? "Input language not found" : "Output language not found";
    EXPECT_NE(session.transcript().find("MESSAGE Oops! | " + expected), std::string::npos) << c.file;
    EXPECT_NE(session.transcript().find("EXIT 1"), std::string::npos);
  }
}

TEST_F(LoaderTest, StudentLanguageFillsSharedEntries) {
  std::string stu;
  for (int r = 0; r < 10; ++r) stu += "^s" + std::to_string(r) + "~";
  WriteFile(dir / "short.stu", stu);
  CurrentSession().UiText[18] = "interface text for entry 10";
  CurrentSession().completionMessage = "previous";
  InFolder in(dir.path());
  CurrentSession().appPaths.studentLanguageFile = "short.stu";
  HeadlessSession session;
  LoadStudentLanguage();
  EXPECT_EQ(StudentText(5), "s5");
  EXPECT_EQ(CurrentSession().UiText[6], "s5");  // entry 5 is UiText record 6
  EXPECT_EQ(CurrentSession().UiText[11], "s9");
  for (int r = 10; r <= 34; ++r) EXPECT_EQ(StudentText(r), "") << r;
  EXPECT_EQ(CurrentSession().completionMessage, "");
}

TEST(StudentTextsOf, TakesEntries5To34AndChangesNoStudentText) {
  std::string stu;
  for (int r = 0; r <= 35; ++r) stu += "^s" + std::to_string(r) + "~";
  CurrentSession().UiText[6] = "current";
  std::vector<std::string> texts = StudentTextsOf(stu);
  ASSERT_EQ(texts.size(), 30u);
  EXPECT_EQ(texts.front(), "s5");
  EXPECT_EQ(texts.back(), "s34");
  EXPECT_EQ(CurrentSession().UiText[6], "current");
  // Entries without their record are empty.
  texts = StudentTextsOf("^0~^1~^2~^3~^4~^five~");
  ASSERT_EQ(texts.size(), 30u);
  EXPECT_EQ(texts[0], "five");
  EXPECT_EQ(texts[1], "");
}

TEST_F(LoaderTest, StudentTextWithCaretShiftsFollowingEntries) {
  WriteFile(dir / "caret.stu", "^0~^1~^2~^3~^4~^five^x~^six~");
  InFolder in(dir.path());
  CurrentSession().appPaths.studentLanguageFile = "caret.stu";
  HeadlessSession session;
  LoadStudentLanguage();
  EXPECT_EQ(StudentText(5), "five^x");
  EXPECT_EQ(StudentText(6), "x");
  EXPECT_EQ(StudentText(7), "six");
}

}  // namespace
}  // namespace kio
