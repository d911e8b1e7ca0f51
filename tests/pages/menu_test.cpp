// The Menu: its document, its page and its editor.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "documents/menu_document.h"
#include "editor_session.h"
#include "lang/lang_tag.h"
#include "pages/menu/menu_dlg.h"
#include "peak_memory.h"
#include "render/fields.h"

namespace kio {
namespace {

using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

const char kLFCR[] = "\n\r";
const char kCRLF[] = "\r\n";
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

// The head, line by line with the separator written after each line.
std::string ExpectedHead() {
  const std::pair<const char*, const char*> lines[] = {
      {nullptr, kLFCR},  // the root element with the page language
      {"", kLFCR},
      {"<head>", kLFCR},
      {kViewport, kLFCR},
      {kPhoneStyle, kLFCR},
      {"<title>Menu - Activities</title>", kLFCR},
      {"<style type=\"text/css\">", kLFCR},
      {"<!--", kLFCR},
      {"body         { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }", kLFCR},
      {"td           { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }", kLFCR},
      {".welcome     { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 28px; ", kLFCR},
      {"               font-weight: normal }", kLFCR},
      {".tablehead   { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 16px; ", kLFCR},
      {"               font-weight: bold; color: #FFFFFF; background-color: #333399 }", kLFCR},
      {".copyright   { font-family: 'Times New Roman', Times, serif; font-size: 10px }", kLFCR},
      {".team        { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 14px }", kLFCR},
      {"-->", kLFCR},
      {"</style>", kLFCR},
      {"<SCRIPT LANGUAGE='JavaScript'>", kCRLF},
      {"", kCRLF},
      {"function Abre1(arq,larg,alt) ", kCRLF},
      {"{", kCRLF},
      {"        var features =", kCRLF},
      {"        'width=' +larg+", kCRLF},
      {"        ',height=' +alt+  ", kCRLF},
      {"        ',top=0' +", kCRLF},
      {"        ',left=0'+", kCRLF},
      {"        ',menubar=' +\"no\"+  //yes or no//", kCRLF},
      {"        ',scrollbars=' +\"no\"+ //yes or no//", kCRLF},
      {"        ',toolbar=' +\"no\"+ //yes or no//", kCRLF},
      {"        ',resizable=' +\"no\"; //yes or no//", kCRLF},
      {"        window.open(arq,\"janela\",features);", kCRLF},
      {"}", kCRLF},
      {"</SCRIPT>", kCRLF},
      {"</head>", kLFCR},
      {"", kLFCR},
      // Right-click and selection are no longer blocked.
      {"<body bgcolor=\"#FFFFFF\" "
       "link=\"#FFFFCC\" vlink=\"#FFFFCC\" alink=\"#FFFFCC\">",
       kLFCR},
      {"", kLFCR},
      {"<main><table width=\"400\" border=\"0\"  align=\"center\" cellspacing=\"2\" "
       "cellpadding=\"2\"bgcolor=\"#333399\">",
       kLFCR},
      {"  <tr>", kLFCR},
      {"    <td class=\"tablehead\">", kLFCR},
      {"      <p align=\"center\">", ""},
  };
  std::string head;
  for (auto [text, separator] : lines) head += (text ? std::string(text) : Root()) + separator;
  return head;
}

std::string ExpectedEntry(int k, const std::string& e) {
  return std::string(kCRLF) +
         "<table width=\"400\" border=\"0\" align=\"center\"cellspacing=\"2\" bgcolor=\"#333399\">" + kCRLF +
         "  <tr>" + kCRLF + "    <td class=\"tablehead\">" + "<a href=\"javascript:Abre1('" + e +
         "','790','520');\"  class=linkpadrao>" + "Atividade " + std::to_string(k) + " - " + e + "</a>" +
         "</a></td>" + kCRLF + "  </tr>" + kCRLF + "</table>" + kCRLF + " <p>&nbsp;</p>";
}

std::string ExpectedPage(const std::string& title, const std::vector<std::string>& entries) {
  std::string page = ExpectedHead() + kHeadingOpen + title + "</h1></td>" + kLFCR + "  </tr>" + kLFCR +
                     "</table>" + kLFCR + "<p class=\"welcome\" align=\"center\">&nbsp;&nbsp;</p>";
  for (size_t k = 0; k < entries.size(); ++k) page += ExpectedEntry(static_cast<int>(k + 1), entries[k]);
  return page + kCRLF + "<p  align=\"center\">Powered by KIO</p>" + kCRLF + "</main>" + kCRLF + "</body>" +
         kCRLF + "</html>" + kCRLF;
}

MenuDocument Menu(std::initializer_list<std::pair<size_t, const char*>> filled) {
  MenuDocument m;
  m.title = "Unit 1";
  for (auto [k, text] : filled) m.entries[k] = text;
  return m;
}

TEST(MenuDocument, CountAndGapRules) {
  MenuDocument all;
  for (size_t k = 1; k <= kMenuEntries; ++k) all.entries[k] = "p" + std::to_string(k) + ".htm";
  struct Case {
    MenuDocument menu;
    uint32_t count;
    int problem;
  } cases[] = {
      {Menu({}), 0, 31},
      {Menu({{1, "a.htm"}, {2, "b.htm"}, {3, "c.htm"}}), 4, 0},
      {Menu({{1, "a.htm"}, {3, "c.htm"}}), 4, 37},
      {Menu({{24, "x.htm"}}), 25, 37},
      {all, 25, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MenuCount(c.menu), c.count);
    const std::optional<Ui> problem = MenuListProblem(c.menu);
    EXPECT_EQ(problem ? static_cast<int>(*problem) : 0, c.problem);
  }
}

TEST(MenuPage, TheHeadTheTitleAndOneTableALink) {
  MenuDocument m = Menu({{1, "cloze1.htm"}, {2, "Eclipse 2.htm"}, {3, "leitura.htm"}});
  m.title = "Unidade 1\r\nRevisão";
  EXPECT_EQ(BuildMenuPage(m, "Atividade"),
            ExpectedPage("Unidade 1 <br> Revisão", {"cloze1.htm", "Eclipse 2.htm", "leitura.htm"}));
  MenuDocument all;
  std::vector<std::string> names;
  for (size_t k = 1; k <= kMenuEntries; ++k)
    names.push_back(all.entries[k] = "p" + std::to_string(k) + ".htm");
  EXPECT_EQ(BuildMenuPage(all, "Atividade"), ExpectedPage("", names));
}

// A file name lands in a script string inside the link's address and in
// the link's text: an apostrophe no longer ends the string, and a name that
// is script runs nothing.
TEST(MenuPage, FileNamesAreEscapedWhereTheyLand) {
  const struct {
    const char* name;
    const char* href;
    const char* text;
  } cases[] = {
      {"it's.htm", "it\\&#39;s.htm", "it's.htm"},
      {"x');alert(1);('.htm", "x\\&#39;);alert(1);(\\&#39;.htm", "x');alert(1);('.htm"},
      {"a\"b<c>&%27.htm", "a&quot;b&lt;c&gt;&amp;\\x2527.htm", "a\"b&lt;c&gt;&amp;%27.htm"},
  };
  for (const auto& c : cases) {
    const std::string page = BuildMenuPage(Menu({{1, c.name}}), "Atividade");
    EXPECT_NE(page.find(std::string("<a href=\"javascript:Abre1('") + c.href + "','790','520');\""),
              std::string::npos)
        << page;
    EXPECT_NE(page.find(std::string(">Atividade 1 - ") + c.text + "</a>"), std::string::npos) << page;
  }
}

TEST(MenuEditor, SaveWritesTitleCountAndEntriesAndOpenRestoresThem) {
  EditorSession s;
  const std::string path = (s / "menu.men").string();
  std::string t = s.Run<CMenuDlg>(
      "type 1173 Unit 1\\r\\nReview\ntype 1046 a.htm\ntype 1071 B.htm\ntype 1072 c.htm\n"
      "press 116\nchoose " +
      path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.men | *.men|| | men\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Menu")) << t;
  EXPECT_EQ(ReadFile(s / "menu.men"), EncodeText("Unit 1\r\nReview") + EncodeNumber(4) + EncodeText("") +
                                          EncodeText("a.htm") + EncodeText("B.htm") + EncodeText("c.htm") +
                                          EncodeText(""));
  // A new run starts with the title last saved; reopening asks nothing on
  // leaving.
  t = s.Run<CMenuDlg>("dump\npress 1048\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_EQ(test::Control(t, kMenuTitle), "Unit 1\\r\\nReview");
  EXPECT_TRUE(Has(t, "CONTROL 1046 a.htm\n") && Has(t, "CONTROL 1071 B.htm\n") &&
              Has(t, "CONTROL 1072 c.htm\n"))
      << t;
  EXPECT_TRUE(Has(t, "\nEND KIO Menu")) << t;
  EXPECT_FALSE(Has(t, Shown(CurrentSession().UiText[73]))) << t;
}

TEST(MenuEditor, OpeningAShorterMenuEmptiesTheEntriesAfterIt) {
  EditorSession s;
  test::WriteFile(s / "short.men", EncodeText("T") + EncodeNumber(2) + EncodeText("") +
                                       EncodeText("one.htm") + EncodeText(""));
  std::string t = s.Run<CMenuDlg>("type 1071 stale.htm\ntype 1092 old.htm\npress 1048\nanswer No\nchoose " +
                                  (s / "short.men").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CONTROL 1046 one.htm\nCONTROL 1048")) << t;
  EXPECT_EQ(test::Control(t, 1071), "");
  EXPECT_EQ(test::Control(t, 1092), "");
  // A count beyond 25 is a damaged file.
  test::WriteFile(s / "bad.men", EncodeText("T") + EncodeNumber(26));
  t = s.Run<CMenuDlg>("press 1048\nchoose " + (s / "bad.men").string() + "\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | Invalid File")) << t;
}

TEST(MenuEditor, NumberedButtonsChooseBareNamesAndCancelEmpties) {
  EditorSession s;
  test::WriteFile(s / "Cloze1.htm", "x");
  std::string t = s.Run<CMenuDlg>("press 1093\nchoose " + (s / "Cloze1.htm").string() +
                                  "\npress 1118\nchoose " + (s / "Cloze1.htm").string() +
                                  "\npress 1118\nchoose cancel\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE open | *.htm | *.htm|| | htm\n")) << t;
  EXPECT_EQ(test::Control(t, 1046), "Cloze1.htm");
  EXPECT_EQ(test::Control(t, 1092), "");
  EXPECT_EQ(test::Control(t, kMenuHelp), "{\\\\rtf1 instru_por/menu_select.rtf}");
}

TEST(MenuEditor, GapsAndEmptyListsStopSaveAndGenerate) {
  EditorSession s;
  const std::string gap = test::OopsMessage(CurrentSession().UiText[37]);
  std::string t =
      s.Run<CMenuDlg>("type 1046 a.htm\ntype 1072 c.htm\npress 116\npress 1106\npress 2\nanswer No\n");
  EXPECT_EQ(t, "DIALOG KIO Menu\n" + gap + gap + "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) +
                   "\nEND KIO Menu\n");
  t = s.Run<CMenuDlg>("type 1092 z.htm\npress 1106\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, gap)) << t;
  t = s.Run<CMenuDlg>("press 1106\npress 2\n");
  EXPECT_EQ(t, "DIALOG KIO Menu\n" + test::OopsMessage(CurrentSession().UiText[31]) + "END KIO Menu\n");
}

TEST(MenuEditor, GeneratesMenuHtmAndAsksBeforeAnotherName) {
  EditorSession s;
  const std::string fill = "type 1173 Unit 1\ntype 1046 cloze1.htm\ntype 1071 eclipse1.htm\n";
  std::string t = s.Run<CMenuDlg>(fill + "press 1106\nchoose " + (s / "menu.htm").string() +
                                  "\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder +
                         "menu.htm | *.htm|| | htm\nMESSAGE KIO | " + Shown(CurrentSession().UiText[54]) +
                         "\nOPEN " + (s / "menu.htm").string() + "\n"))
      << t;
  EXPECT_EQ(ReadFile(s / "menu.htm"), ExpectedPage("Unit 1", {"cloze1.htm", "eclipse1.htm"}));
  // Another name asks record 207 first; No writes nothing.
  t = s.Run<CMenuDlg>(fill + "press 1106\nchoose " + (s / "index.htm").string() +
                      "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(
      Has(t, "MESSAGE " + Shown(CurrentSession().UiText[1]) + " | " + Shown(CurrentSession().UiText[207])))
      << t;
  EXPECT_FALSE(std::filesystem::exists(s / "index.htm"));
}

TEST(MenuEditor, APageThatCannotBeWrittenIsReported) {
  EditorSession s;
  // The disk fills up (a file-size limit, in a child process): the page is
  // not written and the teacher is told.
  const std::string page = (s / "menu.htm").string();
  auto run = test::RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string t = s.Run<CMenuDlg>("type 1046 a.htm\npress 1106\nchoose " + page + "\npress 2\nanswer No\n");
    return Has(t, "MESSAGE Oops! | Erro ao criar arquivo html!\n") &&
           !Has(t, Shown(CurrentSession().UiText[54]));
  });
  EXPECT_TRUE(run.ok);
  EXPECT_FALSE(std::filesystem::exists(page));
}

TEST(MenuEditor, YesOnLeavingThenACancelledChooserClosesWithoutSaving) {
  EditorSession s;
  std::string t = s.Run<CMenuDlg>("type 1046 a.htm\npress 2\nanswer Yes\nchoose cancel\n");
  EXPECT_TRUE(Has(t, "CHOOSE save")) << t;
  EXPECT_TRUE(Has(t, "END KIO Menu\n")) << t;
}

}  // namespace
}  // namespace kio
