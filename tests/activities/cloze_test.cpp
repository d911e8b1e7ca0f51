// The Cloze editor: its page data, its document and its questions.
#include <gtest/gtest.h>

#include "activities/cloze/cloze_dlg.h"
#include "documents/cloze_brackets.h"
#include "editor_session.h"
#include "lang/fixed_texts.h"
#include "render/fields.h"

namespace kio {
namespace {

using test::Control;
using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

TEST(ClozeData, SegmentsAndGaps) {
  struct Case {
    std::string text, data;
  } cases[] = {
      {"The [cat] sat.",
       "palavras[0]=' The ';\r\npalavras[1]='cat';\r\npalavras[2]=' sat.';\r\nPalavrasDadas[0]=1;\r\n"},
      {"[Hello] world",
       "palavras[0]=' ';\r\npalavras[1]='Hello';\r\npalavras[2]=' world';\r\nPalavrasDadas[0]=1;\r\n"},
      {"[a][b]",
       "palavras[0]=' ';\r\npalavras[1]='a';\r\npalavras[2]='';\r\npalavras[3]='b';\r\npalavras[4]='';\r\n"
       "PalavrasDadas[0]=1;\r\nPalavrasDadas[1]=3;\r\n"},
      {"a]b", "palavras[0]=' a';\r\npalavras[1]='b';\r\nPalavrasDadas[0]=0;\r\n"},
      {"one\r\ntwo [x]",
       "palavras[0]=' one<br>two ';\r\npalavras[1]='x';\r\npalavras[2]='';\r\nPalavrasDadas[0]=1;\r\n"},
      {"a  [b]",
       "palavras[0]=' a&nbsp;&nbsp;';\r\npalavras[1]='b';\r\npalavras[2]='';\r\nPalavrasDadas[0]=1;\r\n"},
      {"it's [Don't]",
       "palavras[0]=' it\\'s ';\r\npalavras[1]='Don\\'t';\r\npalavras[2]='';\r\nPalavrasDadas[0]=1;\r\n"},
      {"{i=A.jpg} [x]",
       "palavras[0]=' <img src=\\'a.jpg\\'&nbsp;&nbsp;border=\\'0\\'> "
       "';\r\npalavras[1]='x';\r\npalavras[2]='';\r\n"
       "PalavrasDadas[0]=1;\r\n"},
      {"no gaps", "palavras[0]=' no gaps';\r\n"},
  };
  for (const auto& c : cases) {
    PageBuild build;
    EXPECT_EQ(BuildClozeData(c.text, build), c.data) << c.text;
  }
}

// Backslashes, lone line breaks and a closing script tag in the text stay
// inside the page's strings.
TEST(ClozeData, TextsThatWouldEndTheScriptString) {
  struct Case {
    std::string text, data;
  } cases[] = {
      {"The file is in C:\\[temp]\\ and that's all.",
       "palavras[0]=' The file is in C:\\\\';\r\npalavras[1]='temp';\r\n"
       "palavras[2]='\\\\ and that\\'s all.';\r\nPalavrasDadas[0]=1;\r\n"},
      {"one\ntwo\rthree [x]",
       "palavras[0]=' one\\ntwo\\rthree "
       "';\r\npalavras[1]='x';\r\npalavras[2]='';\r\nPalavrasDadas[0]=1;\r\n"},
      {"a </script> [b]",
       "palavras[0]=' a \\x3C/script> ';\r\npalavras[1]='b';\r\npalavras[2]='';\r\nPalavrasDadas[0]=1;\r\n"},
  };
  for (const auto& c : cases) {
    PageBuild build;
    EXPECT_EQ(BuildClozeData(c.text, build), c.data) << c.text;
  }
}

TEST(ClozeEditor, ReturnAsksOnlyWhenSomethingChanged) {
  EditorSession s;
  EXPECT_EQ(s.Run<CClozeDlg>("press 2\n"), "DIALOG KIO Cloze\nEND KIO Cloze\n");
  std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  std::string t = s.Run<CClozeDlg>("type 1402 a [b]\npress 2\nanswer Cancel\nescape\nanswer No\n");
  EXPECT_EQ(t, "DIALOG KIO Cloze\n" + question + question + "END KIO Cloze\n");
  EXPECT_EQ(CurrentSession().documentName, "*.txt");
}

TEST(ClozeEditor, HelpFollowsTheButtonsAndTheFocus) {
  EditorSession s;
  test::ExpectHelpPanel<CClozeDlg>(s, {
                                          {"", "cloze_tips.rtf"},
                                          {"press 1411\n", "cloze_instru.rtf"},
                                          {"press 1412\n", "cloze_text.rtf"},
                                          {"press 1413\n", "mensagem_final.rtf"},
                                          {"press 1411\npress 1420\n", "cloze_tips.rtf"},
                                          {"focus 1401\n", "cloze_instru.rtf"},
                                          {"focus 1402\n", "cloze_text.rtf"},
                                          {"focus 1403\n", "mensagem_final.rtf"},
                                      });
}

TEST(ClozeEditor, EmptyTextIsNeitherSavedNorGenerated) {
  EditorSession s;
  std::string t = s.Run<CClozeDlg>("press 1423\npress 1425\npress 2\n");
  EXPECT_EQ(t, "DIALOG KIO Cloze\n" + test::OopsMessage(CurrentSession().UiText[31]) +
                   test::OopsMessage(CurrentSession().UiText[32]) + "END KIO Cloze\n");
}

TEST(ClozeEditor, SaveWritesTheBlockAndTwoFieldsAndOpenReadsThemBack) {
  EditorSession s;
  std::string path = (s / "Aula.clo").string();
  std::string t = s.Run<CClozeDlg>(
      "type 1401 Fill in.\ntype 1402 The [cat] sat.\ntype 1403 Muito bem!\\r\\nFim.\n"
      "press 1423\nchoose " +
      path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.clo | *.clo|| | clo\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Cloze")) << t;  // saved: leaving asks nothing
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, test::W(ToLower(s.docs())));

  // The chooser gave "Aula.clo": the file has exactly that name, the
  // document's name is lower-cased.
  std::string bytes = ReadFile(s / "Aula.clo");
  EXPECT_FALSE(std::filesystem::exists(s / "aula.clo"));
  EXPECT_EQ(bytes.substr(0, 31), EncodeText("tem_tres_frames_e_cortabela"));
  EXPECT_NE(bytes.find(EncodeText("Muito bem!\r\nFim.")), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 30), EncodeText("Fill in.") + EncodeText("The [cat] sat."));

  t = s.Run<CClozeDlg>("press 1422\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t,
                  "CONTROL 1401 Fill in.\nCONTROL 1402 The [cat] sat.\nCONTROL 1403 Muito bem!\\r\\nFim.\n"
                  "CONTROL 1404 aula.clo\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Cloze")) << t;
}

TEST(ClozeEditor, FramesDialogCountsAsAChange) {
  EditorSession s;
  // Even with nothing picked, using the dialog counts.
  std::string t = s.Run<CClozeDlg>("press 1434\nescape\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "DIALOG Quadro 01\nEND Quadro 01\nMESSAGE KIO | " + Shown(CurrentSession().UiText[73])))
      << t;
  t = s.Run<CClozeDlg>("press 1434\npress 1801\ncolour #FF0000\npress OK\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(
      t, "DIALOG Quadro 01\nPICK colour\nEND Quadro 01\nMESSAGE KIO | " + Shown(CurrentSession().UiText[73])))
      << t;
}

TEST(ClozeEditor, SaveAsAndNewAskAgain) {
  EditorSession s;
  std::string a = (s / "a.clo").string(), b = (s / "b.clo").string();
  std::string t = s.Run<CClozeDlg>("type 1402 [x]\npress 1423\nchoose " + a +
                                   "\npress 1423\ntype 1402 [y]\n" + "press 1424\nchoose " + b +
                                   "\npress 1421\ntype 1402 [z]\npress 1421\nanswer Yes\n"
                                   "choose cancel\ndump\npress 2\nanswer No\n");
  // Save when the document has a file asks for no name; Save As does.
  size_t chooserCount = 0;
  for (size_t p = t.find("CHOOSE save"); p != std::string::npos; p = t.find("CHOOSE save", p + 1))
    ++chooserCount;
  EXPECT_EQ(chooserCount, 3u) << t;
  EXPECT_EQ(ReadFile(s / "b.clo").substr(ReadFile(s / "b.clo").size() - 7), EncodeText("[y]"));
  // Yes, then a cancelled save: New goes on all the same.
  EXPECT_TRUE(Has(t, "CONTROL 1402 \n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1401 " + Shown(CurrentSession().UiText[25]) + "\n")) << t;
}

TEST(ClozeEditor, ADamagedDocumentIsRefusedWithAClearMessage) {
  EditorSession s;
  // A settings block whose second string claims more bytes than the file has.
  test::WriteFile(s / "bad.clo", EncodeText("tem_tres_frames_e_cortabela") + EncodeNumber(100000) + "short");
  std::string t = s.Run<CClozeDlg>("press 1422\nchoose " + (s / "bad.clo").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | Invalid File \\r\\nArquivo inválido.  Impossível abrir arquivo.\n"))
      << t;
  EXPECT_TRUE(Has(t, "CONTROL 1402 \n")) << t;
}

TEST(ClozeEditor, GeneratesThePageFromTheTemplate) {
  EditorSession s;
  std::string t =
      s.Run<CClozeDlg>("type 1401 \ntype 1402 The [cat] sat.\ntype 1403 Bravo!\npress 1425\nchoose " +
                       (s / "cloze_01.htm").string() + "\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder +
                         "*.htm | *.htm|| | htm\nMESSAGE KIO | " + Shown(CurrentSession().UiText[54]) +
                         "\nOPEN " + (s / "cloze_01.htm").string() + "\n"))
      << t;
  EXPECT_EQ(ReadFile(s / "cloze_01.htm"),
            "<title>cloze_01.htm</title>\n"
            "<style>body{background:#CAC5E4;color:#000001;font:13pt Verdana}</style>\n"
            "<script>\n"
            "var instrucoes='*';\n"
            "//INICIA DADOS\n ok"
            "palavras[0]=' The ';\r\npalavras[1]='cat';\r\npalavras[2]=' sat.';\r\nPalavrasDadas[0]=1;\r\n"
            ".\n//TERMINA DADOS\n"
            "</script>\n"
            "<p>Bravo!</p>\n"
            "<form action=\"" +
                CurrentSession().appPaths.resultsAddress + "\"></form>\n");
}

TEST(ClozeEditor, AnUnmatchedBracketIsQuestionedBeforeGenerating) {
  EditorSession s;
  const std::string page = (s / "lone.htm").string();
  const std::string question =
      "MESSAGE KIO | " + Shown(UnmatchedBracketQuestion(*FindUnmatchedBracket("The cat] sat.")));
  // No: nothing is generated, and the teacher is back in the editor.
  std::string t = s.Run<CClozeDlg>("type 1402 The cat] sat.\npress 1425\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "DIALOG KIO Cloze\n" + question + "\nMESSAGE KIO")) << t;
  EXPECT_FALSE(Has(t, "CHOOSE")) << t;
  // Yes: the page is generated as the text stands.
  t = s.Run<CClozeDlg>("type 1402 The cat] sat.\npress 1425\nanswer Yes\nchoose " + page +
                       "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "\nCHOOSE save")) << t;
  EXPECT_TRUE(Has(ReadFile(page), "PalavrasDadas[0]=0;"));
  // Matched brackets ask nothing.
  t = s.Run<CClozeDlg>("type 1402 The [cat] sat.\npress 1425\nchoose cancel\npress 2\nanswer No\n");
  EXPECT_FALSE(Has(t, "MESSAGE KIO | " + Shown(Win1252("O texto")))) << t;
}

// A text without any gap is questioned: No stays in the editor, Yes
// generates the page as it stands.
TEST(ClozeEditor, ATextWithoutGapsIsQuestionedBeforeGenerating) {
  EditorSession s;
  const std::string page = (s / "nogap.htm").string();
  const std::string question = "MESSAGE KIO | " + Shown(FixedText(Fixed::kClozeWithoutGaps)) + "\n";
  std::string t = s.Run<CClozeDlg>("type 1402 The cat sat.\npress 1425\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "DIALOG KIO Cloze\n" + question + "MESSAGE KIO")) << t;
  EXPECT_FALSE(Has(t, "CHOOSE")) << t;
  t = s.Run<CClozeDlg>("type 1402 The cat sat.\npress 1425\nanswer Yes\nchoose " + page +
                       "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "CHOOSE save")) << t;
  EXPECT_TRUE(std::filesystem::exists(page));
  // In English, the question is English alone.
  EXPECT_EQ(FixedTextIn(Fixed::kClozeWithoutGaps, InterfaceLanguage::kEnglish).find(Win1252("lacuna")),
            std::string::npos);
}

TEST(ClozeEditor, ReadOnlyDocumentIsRefusedForAnotherUser) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  test::ProgramFolder folder;
  test::TempDir docs;
  test::WriteFile(docs / "locked.clo", EncodeText("instr") + EncodeText("[x]"));
  std::filesystem::permissions(docs / "locked.clo", std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::group_read |
                                                        std::filesystem::perms::others_read);
  auto run = test::RunKio(
      folder.str(), "press 1009\npress 1422\nchoose " + (docs / "locked.clo").string() + "\ndump\npress 2\n",
      test::kNobodyUid);
  EXPECT_TRUE(Has(run.transcript, "MESSAGE Oops! | \\r\\n Aparentemente você está tentando abrir"))
      << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "CONTROL 1402 \n"));
}

}  // namespace
}  // namespace kio

namespace kio {
namespace {

// Saving into a folder the teacher may not write: the cause is shown, and
// the document has no file afterwards, so the next Save asks for a name
// again instead of failing the same way.
TEST(ClozeEditor, AFailedFirstSaveLeavesTheDocumentWithoutAFile) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  test::ProgramFolder folder;
  test::TempDir locked, open;
  std::filesystem::permissions(locked.path(),
                               std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                   std::filesystem::perms::others_exec);
  std::filesystem::permissions(open.path(), std::filesystem::perms::all);
  auto run =
      test::RunKio(folder.str(),
                   "press 1009\ntype 1402 a [gap]\npress 1423\nchoose " + (locked / "aula.clo").string() +
                       "\npress 1423\nchoose " + (open / "aula.clo").string() + "\npress 2\n",
                   test::kNobodyUid);
  EXPECT_TRUE(Has(run.transcript, "MESSAGE Oops! | Acesso negado.  /Access denied.")) << run.transcript;
  // Two choosers: the second Save asked for a name again, and saved there.
  size_t first = run.transcript.find("CHOOSE save");
  ASSERT_NE(first, std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find("CHOOSE save", first + 1), std::string::npos) << run.transcript;
  EXPECT_FALSE(std::filesystem::exists(locked / "aula.clo"));
  EXPECT_TRUE(std::filesystem::exists(open / "aula.clo"));
}

}  // namespace
}  // namespace kio
