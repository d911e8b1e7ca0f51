// The Basic hypertext page: its page, its document and its editor.
#include <gtest/gtest.h>

#include "documents/basic_document.h"
#include "editor_session.h"
#include "lang/lang_tag.h"
#include "pages/basic/basic_page_dlg.h"
#include "pages/lexical/lexical_page_dlg.h"
#include "render/fields.h"
#include "render/markup.h"

namespace kio {
namespace {

using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

// Added to the fixed pieces for phones and screen readers: the page
// language, the viewport line and the narrow-screen style sheet after
// "<head>", the main landmark, the title as the first-level heading.
std::string Root() {
  return "<html lang=\"" + StudentLanguageTag(CurrentSession().appPaths.studentLanguageFile) + "\">";
}
const char kViewport[] = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
const char kPhoneStyle[] =
    "<style>@media (max-width: 40em) { html body, html td, html p { font-size: max(16px, 1em); } } "
    "table, img, embed, object, video { max-width: 100%; } img { height: auto; }</style>";
const char kHeadingOpen[] = "<h1 style=\"margin:0;font:inherit;text-align:center\">";

// The page as its pieces are written, with the start colours.
std::string ExpectedPage(const std::string& title, const std::string& body, const std::string& bodyTag,
                         const std::string& box) {
  return Root() + "\r\n\r\n<head>\r\n" + kViewport + "\r\n" + kPhoneStyle + "\r\n<title>" + title +
         "</title>\r\n<style type=\"text/css\">\r\n<!--\r\n"
         "body         { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
         "td           { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
         "-->\r\n</style>\r\n</head>\r\n<" +
         bodyTag +
         "><main><div align=\"center\">\r\n  <center>\r\n"
         "  <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"88%\">\r\n    <tr>\r\n"
         "      <td width=\"4%\"" +
         box + " align=\"left\">&nbsp;</td>\r\n      <td width=\"92%\" " + box + " align=\"left\">\r\n" +
         body + "</td>\r\n      <td width=\"4%\" " + box +
         " align=\"left\">&nbsp;</td>\r\n    </tr>\r\n  </table>\r\n  </center>\r\n</div></main>\r\n\r\n"
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
  for (const auto& c : cases) {
    PageBuild build;
    EXPECT_EQ(RenderBasicText(c.text, build), c.rendered) << c.text;
  }
}

// A long text with a size code on every line gives its page: the pages
// that do not read the collected markup do not collect it, so it neither
// grows with the square of the codes nor stops the page at its limit.
TEST(BasicPage, ALongTextWithACodeOnEveryLineIsRendered) {
  CurrentSession().Reset();
  std::string text;
  for (int k = 0; k < 1290; ++k) text += "{3.siz}Line " + std::to_string(10000 + k) + " of my text.\r\n";
  text.pop_back();  // 1,290 lines of 31 characters, the last without its line feed
  ASSERT_EQ(text.size(), 39989u);
  PageBuild build;
  const std::string rendered = RenderBasicText(text, build);
  EXPECT_FALSE(build.workLimitReached);
  EXPECT_TRUE(rendered.starts_with("<font size = ' 3 ' >Line 10000 of my text. <br> <font size = ' 3 ' >"))
      << rendered.substr(0, 200);
  EXPECT_EQ(rendered.find("{3.siz}"), std::string::npos);
  EXPECT_TRUE(build.collectedMarkup.empty());
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
  EXPECT_EQ(ReadFile(s / "Leitura.htm"), ExpectedPage("Leitura.htm", "Hello <br> <font size = ' 5 ' >world",
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
  EXPECT_TRUE(Has(t, "END Quadro 01\nMESSAGE KIO | " + Shown(CurrentSession().UiText[73]))) << t;
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

namespace kio {
namespace {

// The "?" of Generate (and the lexical editor's "?" of the file buttons)
// stands just above the buttons it explains, not loose in the row of Font,
// Paragraph, AV and Global; and no control of either screen covers another.
TEST(PageEditorLayout, HelpButtonsStandAboveTheButtonsTheyExplain) {
  CBasicPageDlg basic;
  CLexicalPageDlg lexical;
  struct Case {
    const Dialog& dialog;
    int help, explained, global;
  };
  const Case cases[] = {{basic, kBasicHelpGenerate, kBasicGenerate, kBasicGlobal},
                        {lexical, kLexicalHelpGenerate, kLexicalGenerate, kLexicalGlobal},
                        {lexical, kLexicalHelpFiles, kLexicalSaveAs, kLexicalGlobal}};
  for (const Case& c : cases) {
    const ControlSpec* help = c.dialog.Spec(c.help);
    const ControlSpec* button = c.dialog.Spec(c.explained);
    const ControlSpec* global = c.dialog.Spec(c.global);
    ASSERT_TRUE(help && button && global) << c.help;
    EXPECT_GE(help->x, button->x) << c.help;
    EXPECT_LE(help->x + help->width, button->x + button->width) << c.help;
    EXPECT_LE(help->y + help->height, button->y) << c.help;
    EXPECT_GE(help->y + help->height, button->y - 4) << c.help;
    EXPECT_LT(help->y + help->height, global->y) << c.help << " stands in Global's row";
  }
  for (const Dialog* d : {static_cast<const Dialog*>(&basic), static_cast<const Dialog*>(&lexical)}) {
    const auto& controls = d->Layout().controls;
    for (size_t i = 0; i < controls.size(); ++i)
      for (size_t j = i + 1; j < controls.size(); ++j) {
        const ControlSpec &a = controls[i], &b = controls[j];
        const bool apart =
            a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
        EXPECT_TRUE(apart) << d->Layout().title << ": " << a.id << " overlaps " << b.id;
      }
  }
}

}  // namespace
}  // namespace kio
