// The Basic hypertext page: its page, its document and its editor.
#include <gtest/gtest.h>

#include "documents/basic_document.h"
#include "editor_session.h"
#include "pages/basic/basic_page_dlg.h"
#include "render/fields.h"

namespace kio {
namespace {

using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

// The page as its pieces are written, with the start colours.
std::string ExpectedPage(const std::string& title, const std::string& body, const std::string& bodyTag,
                         const std::string& box) {
  return "<html>\r\n\r\n<head>\r\n<title>" + title +
         "</title>\r\n<style type=\"text/css\">\r\n<!--\r\n"
         "body         { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
         "td           { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
         "-->\r\n</style>\r\n</head>\r\n<" +
         bodyTag +
         "><div align=\"center\">\r\n  <center>\r\n"
         "  <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"88%\">\r\n    <tr>\r\n"
         "      <td width=\"4%\"" +
         box + " align=\"left\">&nbsp;</td>\r\n      <td width=\"92%\" " + box + " align=\"left\">\r\n" +
         body + "</td>\r\n      <td width=\"4%\" " + box +
         " align=\"left\">&nbsp;</td>\r\n    </tr>\r\n  </table>\r\n  </center>\r\n</div>\r\n\r\n"
         "</body>\r\n\r\n</html>";
}

TEST(BasicPage, LineBreaksBecomeBreaksBeforeTheCodesAreRendered) {
  CurrentSession().Reset();
  struct Case {
    std::string text, rendered;
  } cases[] = {
      {"One\r\nTwo", "One <br> Two"},
      {"{5.siz}Big", "<font size = ' 5 ' >Big"},
      {"{i=a.jpg}", "<img src='a.jpg'  border='0'>"},
      // A code broken by a line break is no code.
      {"{5.\r\nsiz}", "{5. <br> siz}"},
  };
  for (const auto& c : cases) EXPECT_EQ(RenderBasicText(c.text), c.rendered) << c.text;
}

TEST(BasicPage, ThePageIsTheTableAroundTheText) {
  EXPECT_EQ(BuildBasicPage("aula.htm", "Hi <br> there", "body bgcolor='#FFFFFF'", "bgcolor=\"#F0E8F0\""),
            ExpectedPage("aula.htm", "Hi <br> there", "body bgcolor='#FFFFFF'", "bgcolor=\"#F0E8F0\""));
  // Bare colours (a ".bg2" or ".box" code, an old document) are wrapped so
  // the tags stay whole.
  EXPECT_EQ(BuildBasicPage("a.htm", "x", "#112233", "#445566"),
            ExpectedPage("a.htm", "x", "body bgcolor='#112233'", "bgcolor=\"#445566\""));
  EXPECT_EQ(BodyColourAttribute("bgcolor='#1'"), "body bgcolor='#1'");
  EXPECT_EQ(BoxColourAttribute("bgcolor='#2'"), "bgcolor='#2'");
}

TEST(BasicEditor, GeneratesThePageWithTheStartColours) {
  EditorSession s;
  const std::string page = (s / "Leitura.htm").string();
  std::string t = s.Run<CBasicPageDlg>("type 1601 Hello\\r\\n{5.siz}world\npress 1625\nchoose " + page +
                                       "\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.htm | *.htm|| | htm\n" +
                         "MESSAGE KIO | " + Shown(CurrentSession().UiText[53]) + "\nMESSAGE KIO | " +
                         Shown(CurrentSession().UiText[54]) + "\nOPEN " + (s / "Leitura.htm").string() +
                         "\n"))
      << t;
  EXPECT_EQ(ReadFile(s / "Leitura.htm"), ExpectedPage("leitura.htm", "Hello <br> <font size = ' 5 ' >world",
                                                      "body bgcolor='#FFFFFF'", "bgcolor=\"#F0E8F0\""));
}

TEST(BasicEditor, ThePageIsWrittenInPureAscii) {
  EditorSession s;
  s.Run<CBasicPageDlg>("type 1601 Ação e café\npress 1625\nchoose " + (s / "a.htm").string() +
                       "\nanswer No\npress 2\nanswer No\n");
  const std::string page = ReadFile(s / "a.htm");
  EXPECT_TRUE(Has(page, ">\r\nA&#231;&#227;o e caf&#233;</td>")) << page;
  for (unsigned char c : page) ASSERT_LT(c, 0x80);
}

// The page's own pieces are written with the activities' last steps: the
// video players a code asks for land beside the page, and a text that grows
// past the work limits is refused before a file is chosen.
TEST(BasicEditor, PlayersLandBesideThePageAndAGrowingTextIsRefused) {
  EditorSession s;
  const std::filesystem::path program = CurrentSession().appPaths.programFolder;
  test::WriteFile(program / "Clear_Skin_1.swf", "skin");
  test::WriteFile(program / "FLVPlayer.swf", "player");
  test::TempDir pages;
  std::string t = s.Run<CBasicPageDlg>("type 1601 {f=v.flv}\npress 1625\nchoose " +
                                       (pages / "video.htm").string() + "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(std::filesystem::exists(pages / "video.htm")) << t;
  EXPECT_EQ(ReadFile(pages / "FLVPlayer.swf"), "player") << t;
  EXPECT_EQ(ReadFile(pages / "Clear_Skin_1.swf"), "skin");

  std::string codes = "{h=.}";
  for (int i = 0; i < 12; ++i) codes += "{f=}";
  codes += std::string(12, '}');
  t = s.Run<CBasicPageDlg>("type 1601 " + codes + "\npress 1625\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | Este texto faz uma p")) << t;
  EXPECT_FALSE(Has(t, "CHOOSE save")) << t;
  // Nothing of it carries over to the next page.
  t = s.Run<CBasicPageDlg>("type 1601 Hello\npress 1625\nchoose " + (pages / "next.htm").string() +
                           "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(std::filesystem::exists(pages / "next.htm")) << t;
}

TEST(BasicEditor, EmptyTextIsNeitherSavedNorGenerated) {
  EditorSession s;
  std::string t = s.Run<CBasicPageDlg>("press 1623\npress 1625\npress 2\n");
  EXPECT_EQ(t, "DIALOG KIO Basic\n" + test::OopsMessage(CurrentSession().UiText[31]) +
                   test::OopsMessage(CurrentSession().UiText[32]) + "END KIO Basic\n");
  EXPECT_EQ(CurrentSession().documentName, "*.hpb");
}

TEST(BasicEditor, SaveRecreatesTheFileAndOpenReadsItBack) {
  EditorSession s;
  const std::string path = (s / "Texto.hpb").string();
  // A long text first, then a short one: the second save leaves no tail of
  // the first.
  std::string t = s.Run<CBasicPageDlg>("type 1601 a long first text\npress 1623\nchoose " + path +
                                       "\ntype 1601 short\npress 1623\npress 2\n");
  EXPECT_TRUE(Has(t, "END KIO Basic")) << t;
  const std::string bytes = ReadFile(s / "Texto.hpb");
  EXPECT_EQ(bytes.substr(0, 31), EncodeText("tem_tres_frames_e_cortabela"));
  EXPECT_EQ(bytes.substr(bytes.size() - 9), EncodeText("short"));
  EXPECT_EQ(bytes.find("first"), std::string::npos);

  t = s.Run<CBasicPageDlg>("press 1622\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CONTROL 1601 short\nCONTROL 1602 texto.hpb\n")) << t;
  EXPECT_TRUE(Has(t, "END KIO Basic")) << t;  // nothing changed: no question
}

TEST(BasicEditor, TheTextIsTakenUpToItsLimit) {
  EditorSession s;
  const std::string text(kBasicTextLimit + 5, 'x');
  s.Run<CBasicPageDlg>("type 1601 " + text + "\npress 1623\nchoose " + (s / "big.hpb").string() +
                       "\npress 2\n");
  const std::string bytes = ReadFile(s / "big.hpb");
  EXPECT_EQ(bytes.substr(bytes.size() - kBasicTextLimit - 4), EncodeText(std::string(kBasicTextLimit, 'x')));
  // A longer field cannot have come from the editor: it is refused.
  test::WriteFile(s / "long.hpb", bytes.substr(0, bytes.size() - kBasicTextLimit - 4) +
                                      EncodeText(std::string(kBasicTextLimit + 1, 'y')));
  std::string t =
      s.Run<CBasicPageDlg>("press 1622\nchoose " + (s / "long.hpb").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | Invalid File")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1601 \n")) << t;
}

TEST(BasicEditor, GlobalCountsAsAChangeAndHelpFollowsTheFocus) {
  EditorSession s;
  std::string t = s.Run<CBasicPageDlg>("press 1634\nescape\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "END Frame 01\nMESSAGE KIO | " + Shown(CurrentSession().UiText[73]))) << t;
  struct Case {
    const char* script;
    const char* help;
  } cases[] = {{"", "basica_intro.rtf"},          {"focus 1601\n", "hp_basica.rtf"},
               {"press 1611\n", "hp_basica.rtf"}, {"press 1612\n", "arquivos.rtf"},
               {"press 1613\n", "gera_htm.rtf"},  {"press 1611\npress 1620\n", "basica_intro.rtf"}};
  for (auto [script, help] : cases) {
    t = s.Run<CBasicPageDlg>(std::string(script) + "dump\npress 2\n");
    EXPECT_EQ(test::Control(t, kBasicHelp), std::string("{\\\\rtf1 instru_por/") + help + "}") << script;
  }
}

}  // namespace
}  // namespace kio
