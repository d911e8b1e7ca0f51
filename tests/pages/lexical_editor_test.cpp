// The lexical page editor through the headless driver: the dictionary it
// starts with, its document, and the page it writes.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>

#include "documents/lexical_document.h"
#include "editor_session.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "pages/lexical/lexical_page_dlg.h"
#include "platform/text.h"
#include "preview_check.h"

namespace kio {
namespace {

using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

// Writes a dictionary of these entries into the program folder (the
// working folder of the session).
void WriteDictionary(const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
  LexiconStore::WriteEmptyPair(ReplaceAll(name, ".kio", ".kpo"), name);
  const auto saved = CurrentSession().appPaths;
  LexiconStore::DeriveNames(name);
  LexiconStore disk{SessionLexiconFiles()};
  ASSERT_TRUE(disk.Open());
  ASSERT_TRUE(disk.BeginUpdate());
  for (const auto& [h, b] : entries) {
    std::string key = h;
    ASSERT_TRUE(disk.PutEntry(key, MakeEntry(h, b)));
  }
  ASSERT_TRUE(disk.Commit());
  disk.EndUpdate();
  disk.CloseAll();
  CurrentSession().appPaths = saved;
}

// What the editor's start shows before its dialog, choosing `dictionary`.
std::string StartScript(const std::string& dictionary) { return "choose " + dictionary + "\n"; }

std::string Between(const std::string& page) {
  const std::string head = "<!-- //INICIA DADOS -->";
  const size_t a = page.find(head);
  // The marker keeps the one character after it (the template's line end).
  const size_t b = page.find("<!-- TERMINA DADOS -->");
  if (a == std::string::npos || b == std::string::npos || b < a + head.size() + 1) return "<no markers>";
  return page.substr(a + head.size() + 1, b - a - head.size() - 1);
}

class LexicalEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = CurrentSession().appPaths.programFolder;
    WriteDictionary("lexis.kio", {{"#s:-s", "^//plural"},
                                  {"in", "em"},
                                  {"in front of", "na frente de"},
                                  {"house", "casa"},
                                  {"o'clock", "hora"},
                                  {"it", "it's \\ ele"},
                                  {"cat", "gato\r\n{i=../secret.txt}"}});
  }
  std::string Start() const { return StartScript(program_ + "lexis.kio"); }
  std::string StartTranscript() const {
    return "MESSAGE KIO | " + Shown(CurrentSession().UiText[71]) + "\nCHOOSE open | " + program_ +
           "*.kio | *.kio|| | kio\nDIALOG KIO Dictionary Homepage\n";
  }
  EditorSession s_;
  std::string program_;
};

TEST_F(LexicalEditor, CancelledOrMisplacedDictionaryClosesTheEditor) {
  std::string t = s_.Run<CLexicalPageDlg>("choose cancel\n");
  EXPECT_EQ(t,
            "MESSAGE KIO | " + Shown(CurrentSession().UiText[71]) + "\nCHOOSE open | " + program_ +
                "*.kio | *.kio|| | kio\nMESSAGE KIO | Cancelado / Canceled\nDIALOG KIO Dictionary Homepage\n"
                "END KIO Dictionary Homepage\n");
  std::filesystem::copy_file(program_ + "lexis.kio", s_.docs() + "lexis.kio");
  std::filesystem::copy_file(program_ + "lexis.kpo", s_.docs() + "lexis.kpo");
  t = s_.Run<CLexicalPageDlg>("choose " + s_.docs() + "lexis.kio\n");
  EXPECT_TRUE(
      Has(t, "MESSAGE Oops! | " + Shown(Win1252("Dicionário deve ficar na pasta:  ")) + program_ + "\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Dictionary Homepage\n")) << t;
}

TEST_F(LexicalEditor, GeneratesThePageWithItsLinks) {
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  std::string t = s_.Run<CLexicalPageDlg>(
      Start() + "type 1072 It is in front of the houses at one o'clock\npress 1725\nchoose " + s_.docs() +
      "Leitura.htm\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, StartTranscript())) << t;
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(CurrentSession().UiText[55]) + s_.docs() + "\n")) << t;
  // The whole process keeps its locale.
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), locale);
  const std::string link =
      "<a href=\"javascript:void(0);\" onclick=\"javascript:escreve('<p><font color=\\'#FF0000\\'>";
  EXPECT_EQ(Between(ReadFile(s_ / "Leitura.htm")),
            " " + link + "it</font><br>it\\'s \\\\ ele')\">It</a>\r\n is " + link +
                "in front of</font><br>na frente de')\">in front of</a>\r\n the " + link +
                "house</font><br>casa <br>  <br> plural')\">houses</a>\r\n at one o'clock ");
}

TEST_F(LexicalEditor, APictureOutsideThePicturesFolderIsNotCopied) {
  std::ofstream(program_ + "secret.txt") << "SECRET";
  std::string t = s_.Run<CLexicalPageDlg>(Start() + "type 1072 cat\npress 1725\nchoose " + s_.docs() +
                                          "gato.htm\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | " + Shown(Win1252("Figura não encontrada: ../secret.txt")) + "\n"))
      << t;
  EXPECT_FALSE(std::filesystem::exists(s_ / "secret.txt"));
  EXPECT_TRUE(std::filesystem::exists(s_ / "gato.htm"));
}

TEST_F(LexicalEditor, TooManyTokensAreCut) {
  std::string text;
  for (int i = 0; i < 2600; ++i) text += "cat ";
  std::string t = s_.Run<CLexicalPageDlg>(Start() + "type 1072 " + text + "\npress 1725\nchoose " +
                                          s_.docs() + "long.htm\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(
      t, "MESSAGE " + Shown(CurrentSession().UiText[1]) + " | " + Shown(lexical::TokenLimitMessage()) + "\n"))
      << t;
  const std::string body = Between(ReadFile(s_ / "long.htm"));
  size_t links = 0;
  for (size_t at = body.find("<a "); at != std::string::npos; at = body.find("<a ", at + 1)) ++links;
  EXPECT_EQ(links, 2500u);
}

// Preview writes the page Generate writes, with the dictionary's pictures
// beside it, and touches nothing of the teacher's.
TEST_F(LexicalEditor, PreviewsThePageGenerateWrites) {
  WriteDictionary("lexis.kio", {{"in", "em"}, {"dog", "cão\r\n{i=dog.gif}"}});
  std::filesystem::create_directories(program_ + "pictures");
  test::WriteFile(program_ + "pictures/dog.gif", "GIF");
  CurrentSession().appPaths.documentsFolder = s_.docs();
  const test::PreviewCase c = {
      "Lexical",
      [](EditorSession& s, const std::string& script) { return s.Run<CLexicalPageDlg>(script); },
      Start(),
      "type 1072 in the house\n",
      "type 1072 a dog in the house\n",
      "hpl",
      kLexicalOpen,
      kLexicalSave,
      kLexicalPreview,
      kLexicalGenerate,
      "lesson.htm",
      {"dog.gif"}};
  test::ExpectPreviewLikeGenerate(s_, c);
  EXPECT_FALSE(std::filesystem::exists(s_ / "dog.gif"));
}

TEST_F(LexicalEditor, SavesAndOpensTheDocument) {
  std::string t = s_.Run<CLexicalPageDlg>(Start() + "press 1723\ntype 1072 in front of\npress 1723\nchoose " +
                                          s_.docs() + "aula.hpl\npress 2\n");
  EXPECT_TRUE(Has(t, test::OopsMessage(CurrentSession().UiText[31]))) << t;
  const std::string saved = ReadFile(s_ / "aula.hpl");
  ASSERT_GE(saved.size(), 15u);
  EXPECT_EQ(saved.substr(saved.size() - 15), std::string("\x0B\0\0\0in front of", 15));
  t = s_.Run<CLexicalPageDlg>(Start() + "press 1722\nchoose " + s_.docs() + "aula.hpl\ndump\npress 2\n");
  EXPECT_EQ(test::Control(t, kLexicalText), "in front of") << t;
  EXPECT_EQ(test::Control(t, kLexicalDocumentName), "aula.hpl") << t;
}

TEST_F(LexicalEditor, EmptyTextIsNeitherSavedNorGenerated) {
  std::string t = s_.Run<CLexicalPageDlg>(Start() + "press 1723\npress 1725\npress 2\n");
  EXPECT_EQ(t, StartTranscript() + test::OopsMessage(CurrentSession().UiText[31]) +
                   test::OopsMessage(CurrentSession().UiText[32]) + "END KIO Dictionary Homepage\n");
}

TEST_F(LexicalEditor, MakesActivitiesBesideTheSavedText) {
  const std::string text = "The cat is in the house. The cats sit in front of the house. It is one o'clock.";
  // Not before the text has a document: the activities take its name.
  std::string t = s_.Run<CLexicalPageDlg>(Start() + "type 1072 " + text +
                                          "\npress 1726\npress 1723\nchoose " + s_.docs() +
                                          "aula.hpl\npress 1726\ntype 1761 1\ntype 1762 4\npress OK\n"
                                          "press 1726\npress OK\nanswer No\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | Salve o texto antes")) << t;
  EXPECT_TRUE(Has(
      t, "DIALOG Fazer atividades\nEND Fazer atividades\nMESSAGE KIO | Documentos escritos:\\r\\nCloze: " +
             s_.docs() + "aula.clo"))
      << t;
  // Made again: the teacher is asked before anything is replaced.
  EXPECT_TRUE(Has(t, "MESSAGE KIO | Substituir estes documentos?")) << t;
  const std::string cloze = ReadFile(s_ / "aula.clo");
  EXPECT_TRUE(
      Has(cloze, "The [cat] is in the [house]. The [cats] sit [in front of] the [house]. It is one o'clock."))
      << cloze;
  EXPECT_TRUE(Has(ReadFile(s_ / "aula.mem"), "gato")) << t;
  EXPECT_TRUE(std::filesystem::exists(s_ / "aula.seq"));
  // Three words the dictionary knows give no question with three wrong options.
  EXPECT_FALSE(std::filesystem::exists(s_ / "aula.mul"));
}

}  // namespace
}  // namespace kio
