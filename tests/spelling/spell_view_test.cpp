// The headless driver's spell view through a real editor: the unknown words
// of a box with their places and first suggestions, and the teacher's own
// words kept in the program folder for the next run.
#include <gtest/gtest.h>

#include "kio_test.h"

namespace kio::test {
namespace {

TEST(SpellView, ListsTheUnknownWordsOfAnEditorsBoxAndKeepsTheTeachersWords) {
  TempDir folder;
  CopyProgramFolder(folder.path());
  const std::string script =
      "press 1009\n"
      "type 1402 A professora escreveu [resposta] com um érro.\\r\\nOutra linha {img=foto.jpg} cerrta.\n"
      "spell 1402\n"
      "myword cerrta\n"
      "spell 1402\n"
      "type 1401 Complete as frases. Veja www.exemplo.com.br e+ou+mais.\n"
      "spell 1401\n"
      "spell 1404\n";
  RunResult run = RunKio(folder.str(), script);
  EXPECT_EQ(run.status, 0);
  // Places count bytes of the text as kept, a line break being two (CR LF).
  EXPECT_EQ(run.transcript,
            "DIALOG KIO\n"
            "DIALOG KIO Cloze\n"
            "SPELL 1402 40 érro | éreo, erro, arro\n"
            "SPELL 1402 74 cerrta | cerra, certa, certar\n"
            "SPELL 1402 40 érro | éreo, erro, arro\n"
            "SPELL 1401 none\n"
            "SPELL 1404 none\n"
            "EXIT 0\n");
  EXPECT_EQ(ReadFile(folder / "spelling_words.txt"), "cerrta\r\n");

  // The next run knows the teacher's word from the start.
  run = RunKio(folder.str(), "press 1009\ntype 1402 Uma palavra cerrta.\nspell 1402\n");
  EXPECT_TRUE(Has(run.transcript, "SPELL 1402 none\n")) << run.transcript;

  // A label or button is not a text box.
  run = RunKio(folder.str(), "press 1009\nspell 1420\n");
  EXPECT_TRUE(Has(run.transcript, "SCRIPT ERROR control 1420 is not a text box")) << run.transcript;
}

TEST(SpellView, TheLanguageChosenInTheEditorsMenuIsRememberedForTheDocument) {
  TempDir folder;
  CopyProgramFolder(folder.path());
  const std::string document = (folder / "lesson.clo").string();
  RunResult run = RunKio(folder.str(),
                         "press 1009\n"
                         "type 1402 The studnet reads a [book].\n"
                         "spell 1402\n"
                         "menu 9802\n"
                         "spell 1402\n"
                         "press 1423\n"
                         "choose " +
                             document + "\n");
  // Portuguese first (the student language), then English.
  EXPECT_TRUE(Has(run.transcript, "SPELL 1402 12 reads | ")) << run.transcript;
  EXPECT_FALSE(Has(run.transcript, "SCRIPT ERROR")) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "SPELL 1402 4 studnet | student, ")) << run.transcript;
  // The document is not changed: the choice is kept beside it, in the program folder.
  EXPECT_EQ(ReadFile(folder / "spelling_languages.txt"), "en_US\t" + document + "\r\n");
  EXPECT_FALSE(Has(ReadFile(folder / "lesson.clo"), "en_US"));

  // Opened again: English; a new document: the student language again.
  run = RunKio(folder.str(), "press 1009\npress 1422\nchoose " + document +
                                 "\nspell 1402\npress 1421\ntype 1402 The studnet reads.\nspell 1402\n");
  EXPECT_TRUE(Has(run.transcript,
                  "SPELL 1402 4 studnet | student, stud net, stud-net\n"
                  "SPELL 1402 0 The | "))
      << run.transcript;
}

}  // namespace
}  // namespace kio::test
