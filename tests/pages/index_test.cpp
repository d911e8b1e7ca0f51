// The Index: its page, its document and its editor's list.
#include <gtest/gtest.h>

#include <filesystem>

#include "documents/index_document.h"
#include "editor_session.h"
#include "lang/fixed_texts.h"
#include "lang/lang_tag.h"
#include "pages/index/index_dlg.h"
#include "render/fields.h"

namespace kio {
namespace {

using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;

// Added to the fixed pieces for phones and screen readers: the page
// language, the viewport line and the narrow-screen style sheet after
// "<head>", the main landmark, the heading as the first-level heading.
std::string Root() {
  return "<html lang=\"" + StudentLanguageTag(CurrentSession().appPaths.studentLanguageFile) + "\">";
}
const char kViewport[] = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
const char kPhoneStyle[] =
    "<style>@media (max-width: 40em) { html body, html td, html p { font-size: max(16px, 1em); } } "
    "table, img, embed, object, video { max-width: 100%; } img { height: auto; }</style>";
const char kHeadingOpen[] = "<h1 style=\"margin:0;font:inherit;text-align:center\">";

const char kH1[] =
    "<title>Index</title>\r\n<style type=\"text/css\"> <!--\r\n"
    "a:link       { color: black }\r\na:visited    { color: black }\r\na:hover      { color: blue }\r\n"
    "a:active     { color: red }\r\na            { text-decoration: none }\r\n--> </style>\r\n"
    "<SCRIPT LANGUAGE='JavaScript'>\r\n\r\nfunction Abre1(arq,larg,alt) \r\n{\r\n"
    "        var features =\r\n        'width=' +larg+\r\n        ',height=' +alt+  \r\n"
    "        ',top=0' +\r\n        ',left=0'+\r\n        ',menubar=' +\"no\"+  //yes or no//\r\n"
    "        ',scrollbars=' +\"no\"+ //yes or no//\r\n        ',toolbar=' +\"no\"+ //yes or no//\r\n"
    "        ',resizable=' +\"no\"; //yes or no//\r\n        window.open(arq,\"janela\",features);\r\n"
    "}\r\n</SCRIPT>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>\r\n<";

std::string ExpectedPage(const std::string& heading,
                         const std::vector<std::pair<std::string, std::string>>& items,
                         const std::string& body = "body bgcolor='#FFFF99'",
                         const std::string& box = "bgcolor=\"#009999\"") {
  std::string page =
      Root() + "\r\n<head>\r\n" + kViewport + "\r\n" + kPhoneStyle + "\r\n" + kH1 + body +
      // Right-click and selection are no longer blocked.
      "><body>\r\n"
      "<main><table width=\"80%\" border=\"0\" align=\"center\" cellspacing=\"2\"" +
      box +
      ">\r\n  <tr> \r\n    <td class=\"tablehead\"><div align=\"center\"><font color=\"#FFFF99\" "
      "size=\"5\">\r\n" +
      kHeadingOpen + heading + "</h1></font></div></td>\r\n  </tr>\r\n</table>\r\n";
  for (const auto& [item, text] : items)
    page += item + text +
            "</a></font></p>\r\n<table width=\"80%\" border=\"0\" align=\"center\" cellspacing=\"2\"" + box +
            ">\r\n  <tr>\r\n    <td width=\"395\" class=\"tablehead\">&nbsp;</td>\r\n  </tr>\r\n</table>\r\n";
  return page + "</main>\r\n</body>\r\n</html>\r\n";
}

std::string Plain(const std::string& link) {
  return "<p align=\"center\"><font size=\"5\"><a href=\"" + link + "\">";
}
std::string Window(const std::string& link) {
  return "<p align=\"center\"><font size=\"5\"><a href=\"javascript:Abre1('" + link + "','790','520');\">";
}

TEST(IndexPage, PlainLinksForMenusAndIndexesWindowsForTheRest) {
  struct Case {
    const char* link;
    bool plain;
  } cases[] = {{"menu.htm", true},   {"unit2/MENU.HTM", true}, {"sub/index.html", true},
               {"unit1.htm", false}, {"a.htm", false},         {"menu.html", false},
               {"dex.html", true},   {"ex.html", false},       {"", false}};
  for (auto [link, plain] : cases) EXPECT_EQ(IsPlainLink(link), plain) << link;
}

TEST(IndexPage, LinksAreEscapedWhereTheyLand) {
  CurrentSession().Reset();
  IndexDocument index;
  for (const char* link : {"it's.htm", "x');alert(1);('.htm", "sub/a\"b&menu.htm"}) {
    IndexItem item;
    item.link = link;
    item.text = "t";
    index.items.push_back(item);
  }
  PageBuild build;
  const std::string page = BuildIndexPage(index, "body", "bgcolor=\"#009999\"", build);
  EXPECT_NE(page.find(Window("it\\&#39;s.htm")), std::string::npos) << page;
  EXPECT_NE(page.find(Window("x\\&#39;);alert(1);(\\&#39;.htm")), std::string::npos) << page;
  EXPECT_NE(page.find(Plain("sub/a&quot;b&amp;menu.htm")), std::string::npos) << page;
}

TEST(IndexPage, HeadingAndItemsAreRenderedCopies) {
  CurrentSession().Reset();
  IndexDocument index;
  index.heading = "{5.siz}My course\r\nUnit 1";
  index.items = {{"menu.htm", "Activities\r\nof unit 1"},
                 {"sub/index.html", "Unit 2"},
                 {"unit1.htm", "{i=a.jpg}"},
                 {"a.htm", "Short"}};
  const IndexDocument before = index;
  PageBuild build;
  EXPECT_EQ(BuildIndexPage(index, "body bgcolor='#FFFF99'", "bgcolor=\"#009999\"", build),
            ExpectedPage("<font size = ' 5 ' >My course <br> Unit 1",
                         {{Plain("menu.htm"), "Activities <br> of unit 1"},
                          {Plain("sub/index.html"), "Unit 2"},
                          {Window("unit1.htm"), "<img src='a.jpg'  border='0'>"},
                          {Window("a.htm"), "Short"}}));
  EXPECT_EQ(index, before);
}

// Builds an index in the editor: the index folder, a heading and items.
std::string Build(EditorSession& s, std::initializer_list<std::pair<const char*, const char*>> items) {
  std::string script =
      "press 1108\nchoose " + (s / "index.html").string() + "\ntype 1182 {5.siz}Course\\r\\nOne\n";
  for (auto [link, text] : items)
    script += std::string("type 1940 ") + link + "\ntype 1941 " + text + "\npress 1912\npress 1914\n";
  return script;
}

TEST(IndexEditor, InitializeWritesThePlaceholderAndShowsTheFolder) {
  EditorSession s;
  std::string t = s.Run<CIndexDlg>("press 1108\nchoose " + (s / "index.html").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | index.html | *.html | html\n")) << t;
  EXPECT_EQ(ReadFile(s / "index.html"), "empty");
  EXPECT_EQ(test::Control(t, kIndexFolder), s.docs());
  // Another name asks first.
  t = s.Run<CIndexDlg>("press 1108\nchoose " + (s / "start.html").string() + "\nanswer No\npress 2\n");
  EXPECT_TRUE(Has(t, Shown(CurrentSession().UiText[207]))) << t;
  EXPECT_FALSE(std::filesystem::exists(s / "start.html"));
}

TEST(IndexEditor, LinkToFileIsRelativeToTheIndexFolder) {
  EditorSession s;
  std::filesystem::create_directories(s / "unit1");
  std::filesystem::create_directories(s / "other");
  test::WriteFile(s / "unit1" / "Cloze.htm", "x");
  test::WriteFile(s / "other" / "x.htm", "x");
  std::filesystem::create_directories(s / "site");
  std::string t = s.Run<CIndexDlg>("press 1108\nchoose " + (s / "site" / "index.html").string() +
                                   "\npress 1910\nchoose " + (s / "unit1" / "Cloze.htm").string() +
                                   "\nanswer Yes\ndump\npress 1910\nchoose cancel\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE open | *.* | *.htm | htm\nMESSAGE " + Shown(CurrentSession().UiText[1]) + " | " +
                         Shown(CurrentSession().UiText[3])))
      << t;
  EXPECT_TRUE(Has(t, "CONTROL 1940 ../unit1/Cloze.htm\n")) << t;
  EXPECT_EQ(test::Control(t, kIndexLink), "");
  // Inside the folder no question is asked.
  t = s.Run<CIndexDlg>("press 1108\nchoose " + (s / "index.html").string() + "\npress 1910\nchoose " +
                       (s / "unit1" / "Cloze.htm").string() + "\ndump\npress 2\nanswer No\n");
  EXPECT_EQ(test::Control(t, kIndexLink), "unit1/Cloze.htm");
  EXPECT_FALSE(Has(t, Shown(CurrentSession().UiText[3]))) << t;
}

TEST(IndexEditor, AttachNeedsAllFourFields) {
  EditorSession s;
  std::string t = s.Run<CIndexDlg>(
      "type 1182 Course\ntype 1940 a.htm\ntype 1941 A\npress 1912\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(
      t, "MESSAGE Oops! | " + Shown(FixedText(Fixed::kErrors)) + Shown(CurrentSession().UiText[116]) + "\n"))
      << t;
  EXPECT_EQ(test::Control(t, kIndexPosition), "1/0");
}

TEST(IndexEditor, InsertAttachCutAndPaste) {
  EditorSession s;
  std::string script = Build(s, {{"a.htm", "A"}, {"b.htm", "B"}, {"c.htm", "C"}});
  // Back to B, insert X before it; then cut the last item (C), paste it first.
  script +=
      "press 1913\npress 1913\npress 1911\ntype 1940 x.htm\ntype 1941 X\npress 1912\ndump\n"
      "press 1914\npress 1914\ndump\npress 1916\ndump\n"
      "press 1913\npress 1913\npress 1913\npress 1913\npress 1917\ndump\n"
      "press 2\nanswer No\n";
  std::string t = s.Run<CIndexDlg>(script);
  std::vector<std::string> positions;
  for (size_t p = t.find("CONTROL 1901 "); p != std::string::npos; p = t.find("CONTROL 1901 ", p + 1))
    positions.push_back(t.substr(p + 13, t.find('\n', p) - p - 13));
  // X inserted at place 2 of 4; C (the last) shown at 4/4 and cut: the empty
  // place 4/3; pasted at the front: 1/4.
  EXPECT_EQ(positions, (std::vector<std::string>{"2/4", "4/4", "4/3", "1/4"})) << t;
  EXPECT_EQ(test::Control(t, kIndexLink), "c.htm");
  // The cut marks the index changed: leaving asks.
  EXPECT_TRUE(Has(t, Shown(CurrentSession().UiText[73]))) << t;
}

// Attach, typing the next item over the one just attached, Attach: the
// question keeps both when the teacher adds.
TEST(IndexEditor, AttachingAgainAsksReplaceOrAdd) {
  EditorSession s;
  std::string t = s.Run<CIndexDlg>(Build(s, {}) +
                                   "type 1940 a.htm\ntype 1941 A\npress 1912\ntype 1940 b.htm\ntype 1941 B\n"
                                   "press 1912\nanswer No\ndump\npress 1922\nchoose " +
                                   (s / "two.dex").string() + "\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(FixedText(Fixed::kReplaceOrAddItem, {"1", "2"})) + "\n")) << t;
  EXPECT_EQ(test::Control(t, kIndexPosition), "2/2");
  const std::string dex = ReadFile(s / "two.dex");
  EXPECT_TRUE(Has(dex, EncodeText("a.htm") + EncodeText("A") + EncodeText("b.htm") + EncodeText("B"))) << dex;
}

TEST(IndexEditor, ForwardStopsAtTheHundredthPlace) {
  EditorSession s;
  std::string dex = EncodeNumber(100) + EncodeText(s.docs()) + EncodeText("H");
  for (int k = 0; k < 100; ++k) dex += EncodeText("p" + std::to_string(k) + ".htm") + EncodeText("T");
  test::WriteFile(s / "full.dex", dex);
  std::string script = "press 1921\nchoose " + (s / "full.dex").string() + "\n";
  for (int k = 0; k < 101; ++k) script += "press 1914\n";
  std::string t = s.Run<CIndexDlg>(script + "dump\npress 1911\npress 2\n");
  EXPECT_TRUE(Has(t, test::OopsMessage(CurrentSession().UiText[105]))) << t;
  EXPECT_EQ(test::Control(t, kIndexPosition), "101/100");
  EXPECT_TRUE(Has(t, test::OopsMessage(ListFullMessage()))) << t;
}

TEST(IndexEditor, ChangedBoxesAskBeforeMovingOn) {
  EditorSession s;
  std::string t = s.Run<CIndexDlg>(Build(s, {{"a.htm", "A"}}) +
                                   "press 1913\ntype 1941 Changed\npress 1914\nanswer Cancel\ndump\n"
                                   "press 1914\nanswer Yes\npress 1913\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(CurrentSession().UiText[110]))) << t;
  EXPECT_EQ(test::Control(t, kIndexText), "Changed");
  EXPECT_EQ(test::Control(t, kIndexPosition), "1/1");
}

TEST(IndexEditor, GenerateTwiceGivesOnePageAndSaveKeepsTheCodes) {
  EditorSession s;
  const std::string page = (s / "index.html").string();
  std::string t = s.Run<CIndexDlg>(Build(s, {{"menu.htm", "{5.siz}Menu"}, {"unit1.htm", "Unit 1"}}) +
                                   "press 1924\nchoose " + page + "\nanswer No\n");
  const std::string first = ReadFile(s / "index.html");
  EXPECT_EQ(first,
            ExpectedPage("<font size = ' 5 ' >Course <br> One",
                         {{Plain("menu.htm"), "<font size = ' 5 ' >Menu"}, {Window("unit1.htm"), "Unit 1"}}));
  EXPECT_TRUE(Has(t, "CHOOSE save | " + s.docs() + "index.html | *.html | html\n")) << t;

  t = s.Run<CIndexDlg>(Build(s, {{"menu.htm", "{5.siz}Menu"}, {"unit1.htm", "Unit 1"}}) +
                       "press 1924\nchoose " + page + "\nanswer No\npress 1924\nchoose " + page +
                       "\nanswer No\npress 1922\nchoose " + (s / "course.dex").string() + "\npress 2\n");
  EXPECT_EQ(ReadFile(s / "index.html"), first);
  EXPECT_TRUE(Has(t, "CHOOSE save | " + s.docs() + "index.dex | *.dex | dex\n")) << t;
  const std::string dex = ReadFile(s / "course.dex");
  EXPECT_EQ(dex.substr(dex.find(EncodeNumber(2) + EncodeText(s.docs()))),
            EncodeNumber(2) + EncodeText(s.docs()) + EncodeText("{5.siz}Course\r\nOne") +
                EncodeText("menu.htm") + EncodeText("{5.siz}Menu") + EncodeText("unit1.htm") +
                EncodeText("Unit 1"));
  EXPECT_TRUE(Has(t, "\nEND KIO Index")) << t;  // saved: leaving asks nothing
}

// Generate proposes the page that Initialize wrote, not one named after
// the document; an index opened without Initialize proposes "index.html".
TEST(IndexEditor, GenerateProposesThePageInitializeWrote) {
  EditorSession s;
  const std::string dex = (s / "course.dex").string();
  std::string t = s.Run<CIndexDlg>("press 1108\nchoose " + (s / "start.html").string() +
                                   "\nanswer Yes\ntype 1182 H\ntype 1940 a.htm\ntype 1941 A\npress 1912\n"
                                   "press 1922\nchoose " +
                                   dex + "\npress 1924\nchoose cancel\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + s.docs() + "start.html | *.html | html\n")) << t;
  t = s.Run<CIndexDlg>("press 1921\nchoose " + dex + "\npress 1924\nchoose cancel\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + s.docs() + "index.html | *.html | html\n")) << t;
}

TEST(IndexEditor, PageNamesAndEmptyIndexesAreRefused) {
  EditorSession s;
  std::string t = s.Run<CIndexDlg>("press 1924\npress 1922\npress 2\n");
  EXPECT_EQ(t, "DIALOG KIO Index\n" + test::OopsMessage(CurrentSession().UiText[31]) +
                   test::OopsMessage(CurrentSession().UiText[31]) + "END KIO Index\n");
  t = s.Run<CIndexDlg>(Build(s, {{"a.htm", "A"}}) + "press 1924\nchoose " + (s / "list.txt").string() +
                       "\npress 1924\nchoose " + (s / "start.htm").string() +
                       "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, test::OopsMessage(CurrentSession().UiText[212]))) << t;
  EXPECT_TRUE(Has(t, Shown(CurrentSession().UiText[207]))) << t;
  EXPECT_FALSE(std::filesystem::exists(s / "list.txt"));
  EXPECT_FALSE(std::filesystem::exists(s / "start.htm"));
}

TEST(IndexEditor, AMovedIndexAsksWhetherToTakeItsNewFolder) {
  EditorSession s;
  std::filesystem::create_directories(s / "moved");
  test::WriteFile(s / "moved" / "c.dex", EncodeNumber(1) + EncodeText("/old/place/") + EncodeText("Heading") +
                                             EncodeText("a.htm") + EncodeText("A"));
  const std::string actual = (s / "moved").string() + "/";
  const std::string question = Shown(CurrentSession().UiText[197] + "/old/place/" +
                                     CurrentSession().UiText[196] + actual + CurrentSession().UiText[195]);
  const std::string open = "press 1921\nchoose " + (s / "moved" / "c.dex").string() + "\n";
  std::string t = s.Run<CIndexDlg>(open + "answer Yes\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + question + "\n")) << t;
  EXPECT_EQ(test::Control(t, kIndexFolder), actual);
  EXPECT_EQ(test::Control(t, kIndexText), "A");
  t = s.Run<CIndexDlg>(open + "answer No\ndump\npress 2\n");
  EXPECT_EQ(test::Control(t, kIndexFolder), "");
  EXPECT_EQ(test::Control(t, kIndexText), "");
  EXPECT_EQ(test::Control(t, kIndexPosition), "1/0");
}

}  // namespace
}  // namespace kio
