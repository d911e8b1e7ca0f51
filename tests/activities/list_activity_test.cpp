// The Multiple choice and Dialogical editors: their checks, their page
// data, their documents and the item list through the dialog.
#include <gtest/gtest.h>

#include "activities/dialogical/dialogical_dlg.h"
#include "activities/multiple/multiple_dlg.h"
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

// Script lines that type an item's six texts into the boxes.
std::string TypeItem(const Item& item) {
  std::string script;
  for (size_t i = 0; i < item.size(); ++i)
    script += "type " + std::to_string(kListField + i) + " " + item[i] + "\n";
  return script;
}

// Types and attaches each item in turn, moving on to the blank place after
// each.
std::string AttachItems(const std::vector<Item>& items) {
  std::string script;
  for (const Item& item : items) script += TypeItem(item) + "press 1912\npress 1914\n";
  return script;
}

Item McItem(const std::string& name) { return {name + ".htm", "S", "Q " + name, ">a+b", "x+y", "h"}; }

std::string Position(const std::string& t) { return Control(t, kListPosition); }

std::string Oops(int record) { return test::OopsMessage(CurrentSession().UiText[record]); }

// --- The page data, from the literal texts of the formats ---

// The page data, each built in a context of its own.
std::string MultipleData(const std::vector<Item>& items) {
  PageBuild build;
  return BuildMultipleData(items, build);
}
std::string DialogicalData(const std::vector<Item>& items) {
  PageBuild build;
  return BuildDialogicalData(items, build);
}

TEST(MultipleData, OneItemEverySection) {
  std::vector<Item> items = {{"leitura.htm", "S", "Qual?", "a+>b+c", "x+y+z", "Releia."}};
  EXPECT_EQ(MultipleData(items),
            "\r\n"
            "Texto[0] = 'leitura.htm';\r\n"
            "\r\n\r\n"
            "Questao[0] = 'Qual?<br> <br> <br> ';\r\n"
            "\r\n\r\n"
            "nr[0] = 3;\r\n"
            "\r\n\r\n"
            "Avalia[0] = 'S';\r\n"
            "\r\n\r\n"
            "Golpe[0] = new Array();\r\n"
            "Golpe[0][0] = 'a';\r\nGolpe[0][1] = 'b';\r\nGolpe[0][2] = 'c';\r\n\r\n"
            "\r\n\r\n"
            "\r\n"
            "\r\nInsegura[0] = new Array();\r\n"
            "Insegura[0][0] = 0;\r\nInsegura[0][1] = 1;\r\nInsegura[0][2] = 0;\r\n"
            "\r\n\r\n"
            "Feedback[0] = new Array();\r\n"
            "Feedback[0][0] = 'x';\r\nFeedback[0][1] = 'y';\r\nFeedback[0][2] = 'z<br> <br> <br> ';\r\n"
            "\r\n\r\n"
            "Errada[0] = 'Releia.<br> <br> <br> ';\r\n");
}

TEST(MultipleData, TwoItemsEscapesAndEmptyParts) {
  std::vector<Item> items = {
      {"#", "N", "#", "#", "#", "#"},
      {"b.htm", "S", "It's \"it\"\r\nnow", " >  <b>sim</b> + > n\\o\r\n+>x", "a\r\nb+c+d", "h"},
  };
  EXPECT_EQ(MultipleData(items),
            "\r\n"
            "Texto[0] = '#';\r\nTexto[1] = 'b.htm';\r\n"
            "\r\n\r\n"
            "Questao[0] = ' ';\r\nQuestao[1] = 'It\\'s \\\"it\\\" <br> now<br> <br> <br> ';\r\n"
            "\r\n\r\n"
            "nr[0] = 1;\r\nnr[1] = 3;\r\n"
            "\r\n\r\n"
            "Avalia[0] = 'N';\r\nAvalia[1] = 'S';\r\n"
            "\r\n\r\n"
            "Golpe[0] = new Array();\r\nGolpe[0][0] = '';\r\n\r\n"
            "Golpe[1] = new Array();\r\n"
            "Golpe[1][0] = '  sim';\r\nGolpe[1][1] = ' n\\\\o';\r\nGolpe[1][2] = 'x';\r\n\r\n"
            "\r\n\r\n"
            "\r\n"
            "\r\nInsegura[0] = new Array();\r\nInsegura[0][0] = 0;\r\n"
            "\r\nInsegura[1] = new Array();\r\n"
            "Insegura[1][0] = 1;\r\nInsegura[1][1] = 1;\r\nInsegura[1][2] = 1;\r\n"
            "\r\n\r\n"
            "Feedback[0] = new Array();\r\nFeedback[0][0] = ' ';\r\n"
            "Feedback[1] = new Array();\r\n"
            "Feedback[1][0] = 'a<br>b';\r\nFeedback[1][1] = 'c';\r\nFeedback[1][2] = 'd<br> <br> <br> ';\r\n"
            "\r\n\r\n"
            "Errada[0] = ' ';\r\nErrada[1] = 'h<br> <br> <br> ';\r\n");
}

TEST(DialogicalData, AnswersRotatedAndFeedbackParts) {
  std::vector<Item> items = {{"texto.htm", "S", "Capital?", "Paris+paris", "Bom!+Bom!", "#"},
                             {"#", "N", "Bebe?", "d'agua", "Sim\r\nclaro", "Tente\r\nde novo+Quase"}};
  EXPECT_EQ(
      DialogicalData(items),
      "\r\n"
      "Texto[0] = 'texto.htm';\r\nTexto[1] = '#';\r\n"
      "\r\n\r\n"
      "Questao[0] = 'Capital?<br> <br> <br> ';\r\nQuestao[1] = 'Bebe?<br> <br> <br> ';\r\n"
      "\r\n\r\n"
      "nr[0] = 2;\r\nnr[1] = 1;\r\n"
      "\r\n\r\n"
      "nf[0] = 0;\r\nnf[1] = 1;\r\n"
      "\r\n\r\n"
      "Avalia[0] = 'S';\r\nAvalia[1] = 'N';\r\n"
      "\r\n\r\n"
      "Resposta[0] = new Array();\r\nResposta[0][0] = 'Zk1s2';\r\nResposta[0][1] = 'zk1s2';\r\n\r\n"
      "Resposta[1] = new Array();\r\nResposta[1][0] = 'n\\'kq4k';\r\n\r\n"
      "\r\n\r\n"
      "Certa[0] = new Array();\r\n"
      "Certa[0][0] = 'Bom!<br> <br> <br> ';\r\nCerta[0][1] = 'Bom!<br> <br> <br> ';\r\n"
      "Certa[1] = new Array();\r\nCerta[1][0] = 'Sim <br> claro<br> <br> <br> ';\r\n"
      "\r\n\r\n"
      "Errada[0] = new Array();\r\nErrada[0][0] = ' <br> <br> <br> ';\r\n"
      "Errada[1] = new Array();\r\n"
      "Errada[1][0] = 'Tente<br>de novo<br> <br> <br> ';\r\nErrada[1][1] = 'Quase<br> <br> <br> ';\r\n");
}

TEST(DialogicalData, RotateAnswer) {
  const std::pair<const char*, const char*> cases[] = {
      {"A", "K"}, {"Z", "j"}, {"q", "0"}, {"0", "A"}, {"9", "J"}, {"abc", "klm"}, {"Olá, tu!", "Yvá, 34!"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(RotateAnswer(Win1252(in)), Win1252(out)) << in;
  // An answer with a backslash cannot end its script string.
  const std::string data = DialogicalData({{"#", "S", "#", "a\\", "#", "#"}});
  EXPECT_NE(data.find("Resposta[0][0] = 'k\\\\';"), std::string::npos) << data;
}

// --- The item checks ---

TEST(ListItemCheck, MessagesAndNormalisations) {
  struct Case {
    const char* what;
    bool dialogical;
    size_t current;
    Item in, out;
    std::vector<int> records;
  } cases[] = {
      {"good item",
       false,
       0,
       {"A.htm", "s", "Q", ">a+b", "x+y", "h"},
       {"A.htm", "S", "Q", ">a+b", "x+y", "h"},
       {}},
      {"no right option",
       false,
       0,
       {"#", "N", "Q", "a+b", "x+y", "h"},
       {"#", "N", "Q", "a+b", "x+y", "h"},
       {114}},
      {"yes, as an English screen asks, is stored as S",
       false,
       0,
       {"#", " yes", "Q", ">a+b", "x+y", "h"},
       {"#", "S", "Q", ">a+b", "x+y", "h"},
       {}},
      {"Y on a Dialogical item", true, 0, {"#", "Y", "Q", "a", "x", "y"}, {"#", "S", "Q", "a", "x", "y"}, {}},
      {"options #", false, 0, {"#", "N", "Q", "#", "#", "#"}, {"#", "N", "Q", "#", "#", "#"}, {}},
      {"right mark on an empty option",
       false,
       0,
       {"#", "S", "Q", "a+> +b", "x+y+z", "h"},
       {"#", "S", "Q", "a+> +b", "x+y+z", "h"},
       {115}},
      {"two right options",
       false,
       0,
       {"#", "S", "Q", ">a+>b", "x+y", "h"},
       {"#", "S", "Q", ">a+>b", "x+y", "h"},
       {}},
      {"feedback count",
       false,
       0,
       {"#", "S", "Q", ">a+b", "x", "h"},
       {"#", "S", "Q", ">a+b", "x", "h"},
       {117}},
      {"trimmed blanks and plus",
       false,
       0,
       {" + a.htm+", " sim ", "+ Q +", ">a+b", " x+y+ ", "+h "},
       {"a.htm", "S", "Q", ">a+b", "x+y", "h"},
       {}},
      {"22 options",
       false,
       0,
       {"#", "S", "Q", ">a+b+c+d+e+f+g+h+i+j+k+l+m+n+o+p+q+r+s+t+u+v",
        "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22", "h"},
       {"#", "S", "Q", ">a+b+c+d+e+f+g+h+i+j+k+l+m+n+o+p+q+r+s+t+u+v",
        "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22", "h"},
       {118}},
      {"short file on a later item",
       false,
       3,
       {"ab", "N", "Q", ">a", "x", "h"},
       {"ab", "N", "Q", ">a", "x", "h"},
       {112}},
      {"short file on the first item",
       false,
       0,
       {"ab", "N", "Q", ">a", "x", "h"},
       {"ab", "N", "Q", ">a", "x", "h"},
       {}},
      {"# on a later item", false, 5, {"#", "N", "Q", ">a", "x", "h"}, {"#", "N", "Q", ">a", "x", "h"}, {}},
      {"flag neither S nor N",
       false,
       0,
       {"#", "talvez", "Q", ">a", "x", "h"},
       {"#", "T", "Q", ">a", "x", "h"},
       {113}},
      {"empty boxes", false, 1, {"", "", "", "", "", ""}, {"", "", "", "", "", ""}, {112, 113, 114, 116}},
      {"answers need no mark",
       true,
       0,
       {"#", "n", "Q", "Paris+paris", "Bom!+Bom!", "#"},
       {"#", "N", "Q", "Paris+paris", "Bom!+Bom!", "#"},
       {}},
      {"right feedback count",
       true,
       0,
       {"#", "S", "Q", "a+b", "x", "#"},
       {"#", "S", "Q", "a+b", "x", "#"},
       {117}},
      {"21 right parts",
       true,
       0,
       {"#", "S", "Q", "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21",
        "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21", "#"},
       {"#", "S", "Q", "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21",
        "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21", "#"},
       {}},
      {"22 wrong parts",
       true,
       0,
       {"#", "S", "Q", "a", "x", "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22"},
       {"#", "S", "Q", "a", "x", "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20+21+22"},
       {118}},
  };
  for (auto& c : cases) {
    Item item = c.in;
    ItemCheck check =
        c.dialogical ? ValidateDialogicalItem(item, c.current) : ValidateMultipleItem(item, c.current);
    EXPECT_EQ(item, c.out) << c.what;
    std::vector<int> records;  // the records' numbers in the language file
    for (Ui r : check.records) records.push_back(static_cast<int>(r));
    EXPECT_EQ(records, c.records) << c.what;
  }
}

// An interface language file of the teacher's own that leaves a check's
// record empty still tells what the item lacks.
TEST(ListItemCheck, AnEmptyRecordShowsTheFixedText) {
  CurrentSession().Reset();
  CurrentSession().UiText[114] = "[114]";
  Item item = {"#", "S", "Q", "a+b", "x", "h"};
  const ItemCheck check = ValidateMultipleItem(item, 0);
  ASSERT_EQ(check.records, (std::vector<Ui>{Ui::kCheckRightOption, Ui::kCheckFeedbackCount}));
  EXPECT_EQ(check.Report(), FixedText(Fixed::kErrors) + "[114]" + FixedText(Fixed::kItemFeedbackCount));
  CurrentSession().Reset();
}

TEST(ListItemCheck, SelectJudgesTheFileKind) {
  const std::pair<const char*, int> cases[] = {
      {"aula.mul", 0}, {"x.gab", 0}, {"t.doc", 0}, {"i.dex", 0}, {"p.htm", 1}, {"p.html", 1},
      {"f.jpg", 1},    {"f.gif", 1}, {"w.mht", 1}, {"s.png", 2}, {"noext", 2}, {"#", 2},
  };
  for (auto [name, kind] : cases) EXPECT_EQ(ItemFileKind(name), kind) << name;
}

// --- Through the dialog ---

TEST(MultipleEditor, AttachReportsAndNormalises) {
  EditorSession s;
  std::string t = s.Run<CMultipleDlg>(TypeItem({" A.HTM", "sim", "Q", "a+b", "x", "h"}) +
                                      "press 1912\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | " + Shown(FixedText(Fixed::kErrors)) +
                         Shown(CurrentSession().UiText[114]) + Shown(CurrentSession().UiText[117]) + "\n"))
      << t;
  // Nothing stored; the normalised texts stay in the boxes (the file name
  // in lower case, as it is stored).
  EXPECT_EQ(Position(t), "1/0");
  EXPECT_EQ(Control(t, kListField + 0), "a.htm");
  EXPECT_EQ(Control(t, kListField + 1), "S");
  // Attached, the file name is kept in lower case.
  t = s.Run<CMultipleDlg>(TypeItem({" A.HTM", "sim", "Q", ">a+b", "x+y", "h"}) +
                          "press 1912\ndump\npress 2\nanswer No\n");
  EXPECT_EQ(Position(t), "1/1");
  EXPECT_EQ(Control(t, kListField + 0), "a.htm");
}

TEST(MultipleEditor, ItemListRulesThroughTheDialog) {
  EditorSession s;
  const std::string five = AttachItems({McItem("a"), McItem("b"), McItem("c"), McItem("d"), McItem("e")});
  const std::string first = five + "press 1913\npress 1913\npress 1913\npress 1913\npress 1913\n";  // 1/5
  // Attach on item 3 of 5 overwrites it; after Insert it goes before it.
  std::string t =
      s.Run<CMultipleDlg>(first + "press 1914\npress 1914\n" + TypeItem(McItem("z")) +
                          "press 1912\ndump\npress 1914\ndump\n" + "press 1913\npress 1911\n" +
                          TypeItem(McItem("y")) + "press 1912\ndump\npress 1914\ndump\npress 2\nanswer No\n");
  std::vector<std::string> dumps;
  for (size_t p = t.find("CONTROL 1901 "); p != std::string::npos; p = t.find("CONTROL 1901 ", p + 1))
    dumps.push_back(t.substr(p + 13, t.find('\n', p) - p - 13));
  EXPECT_EQ(dumps, (std::vector<std::string>{"3/5", "4/5", "3/6", "4/6"})) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1940 y.htm\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1940 z.htm\n")) << t;

  // Forward from the last item shows the blank place; Forward there stays.
  t = s.Run<CMultipleDlg>(AttachItems({McItem("a"), McItem("b")}) +
                          "press 1913\npress 1914\ndump\npress 1914\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CONTROL 1901 3/2\nCONTROL 1902")) << t;
  EXPECT_FALSE(Has(t, "CONTROL 1901 4/2")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1940 \n")) << t;
  EXPECT_EQ(Position(t), "3/2");

  // Cut of the last item: the blank place is shown; Paste puts it back
  // before the shown place, at the same position.
  t = s.Run<CMultipleDlg>(AttachItems({McItem("a"), McItem("b"), McItem("c")}) +
                          "press 1913\npress 1916\ndump\npress 1913\npress 1917\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CONTROL 1901 3/2\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1901 2/3\nCONTROL 1902")) << t;
  EXPECT_EQ(Control(t, kListField + 0), "c.htm");

  // Copy and Cut on the blank place, Paste with nothing copied.
  ItemClipboard& clip = CurrentSession().Part<ItemClipboard>();
  clip.item.reset();
  t = s.Run<CMultipleDlg>("press 1915\npress 1916\npress 1917\npress 2\n");
  EXPECT_EQ(t, "DIALOG The Multiple KIO\n" + Oops(119) + Oops(119) + Oops(106) + "END The Multiple KIO\n");
}

// Question 1 typed and attached, question 2 typed over it and attached
// again: the teacher is asked, and the document holds what was chosen.
TEST(MultipleEditor, AttachingAgainOverTheItemJustAttachedAsksReplaceOrAdd) {
  EditorSession s;
  const Item q1 = McItem("q1"), q2 = McItem("q2");
  const std::string asked = "MESSAGE KIO | " + Shown(FixedText(Fixed::kReplaceOrAddItem, {"1", "2"})) + "\n";
  struct Case {
    const char* answer;
    std::vector<Item> saved;
    const char* position;
  };
  const Case cases[] = {
      {"No", {q1, q2}, "2/2"},  // a new item: both kept
      {"Yes", {q2}, "1/1"},     // item 1 mended
  };
  for (const Case& c : cases) {
    const std::string path = (s / (std::string(c.answer) + ".mul")).string();
    std::string t = s.Run<CMultipleDlg>(TypeItem(q1) + "press 1912\n" + TypeItem(q2) + "press 1912\nanswer " +
                                        c.answer + "\ndump\npress 1922\nchoose " + path + "\npress 2\n");
    EXPECT_TRUE(Has(t, asked)) << t;
    EXPECT_EQ(Position(t), c.position) << c.answer;
    std::string items = EncodeNumber(static_cast<uint32_t>(c.saved.size()));
    for (const Item& item : c.saved)
      for (const std::string& text : item) items += EncodeText(text);
    const std::string bytes = ReadFile(path);
    ASSERT_GE(bytes.size(), items.size()) << c.answer;
    EXPECT_EQ(bytes.substr(bytes.size() - items.size()), items) << c.answer;
  }
  // Cancel changes nothing: the list keeps question 1, the boxes question 2
  // (leaving asks about the edit).
  std::string t =
      s.Run<CMultipleDlg>(TypeItem(q1) + "press 1912\n" + TypeItem(q2) +
                          "press 1912\nanswer Cancel\ndump\npress 1913\nanswer No\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CONTROL 1901 1/1\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1942 Q q2\n")) << t;
  EXPECT_EQ(Control(t, 1942), "Q q1");
  // The same through Forward's question: Yes attaches, then asks which.
  t = s.Run<CMultipleDlg>(TypeItem(q1) + "press 1912\n" + TypeItem(q2) +
                          "press 1914\nanswer Yes\nanswer No\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(CurrentSession().UiText[110]) + "\n" + asked)) << t;
  EXPECT_EQ(Position(t), "3/2");
}

TEST(MultipleEditor, EditedItemIsQuestionedBeforeLeavingIt) {
  EditorSession s;
  const std::string asked = "MESSAGE KIO | " + Shown(CurrentSession().UiText[110]) + "\n";
  // Cancel stays; No drops the edit; Yes attaches.
  std::string t =
      s.Run<CMultipleDlg>(AttachItems({McItem("a")}) + "type 1942 Edited\npress 1914\nanswer Cancel\ndump\n" +
                          "press 1914\nanswer No\npress 1913\ndump\n" +
                          "type 1942 Again\npress 1914\nanswer Yes\npress 1913\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, asked + "CONTROL")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1942 Edited\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1942 Q a\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1942 Again\n")) << t;
  EXPECT_EQ(Position(t), "1/1");
}

TEST(MultipleEditor, EmptyListIsNeitherSavedNorGenerated) {
  EditorSession s;
  std::string t = s.Run<CMultipleDlg>("press 1922\npress 1923\npress 1924\npress 2\n");
  EXPECT_EQ(t, "DIALOG The Multiple KIO\n" + Oops(31) + Oops(31) + Oops(32) + "END The Multiple KIO\n");
}

TEST(MultipleEditor, SaveQuestionAfterNoAndAfterNewEdits) {
  EditorSession s;
  const std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  // No at New drops the list; the new, empty document has nothing to ask
  // about until it is changed again.
  std::string t =
      s.Run<CMultipleDlg>(AttachItems({McItem("a")}) + "press 1920\nanswer No\ndump\n" +
                          AttachItems({McItem("b")}) + "press 2\nanswer Cancel\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "CONTROL")) << t;
  EXPECT_TRUE(Has(t, question + question + "END")) << t;
  // Only the "Final" box edited: asked too.
  t = s.Run<CMultipleDlg>("type 1903 Fim\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "END")) << t;
  // A Yes whose chooser is cancelled keeps the editor open.
  t = s.Run<CMultipleDlg>(AttachItems({McItem("a")}) +
                          "press 1920\nanswer Yes\nchoose cancel\ndump\npress 2\nanswer No\n");
  EXPECT_EQ(Position(t), "2/1");
}

TEST(MultipleEditor, SaveWritesTheItemsAndOpenReadsThemBack) {
  EditorSession s;
  const std::string path = (s / "Prova.mul").string();
  const Item a = {"a.htm", "S", "Quem?", ">eu+tu", "Sim+Nao", "Pense"};
  const Item b = {"#", "N", "#", "#", "#", "#"};
  std::string t = s.Run<CMultipleDlg>(AttachItems({a, b}) + "type 1903 Parabens!\npress 1922\nchoose " +
                                      path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.mul | *.mul|| | mul\n"))
      << t;
  EXPECT_TRUE(Has(t, "END The Multiple KIO")) << t;
  std::string items = EncodeNumber(2);
  for (const Item* item : {&a, &b})
    for (const std::string& text : *item) items += EncodeText(text);
  const std::string bytes = ReadFile(s / "Prova.mul");
  EXPECT_EQ(bytes.substr(0, 31), EncodeText("tem_tres_frames_e_cortabela"));
  EXPECT_TRUE(Has(bytes, EncodeText("Parabens!")));
  ASSERT_GE(bytes.size(), items.size());
  EXPECT_EQ(bytes.substr(bytes.size() - items.size()), items);

  t = s.Run<CMultipleDlg>("press 1921\nchoose " + (s / "prova.mul").string() +
                          "\ndump\npress 1914\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CONTROL 1901 1/2\nCONTROL 1902 prova.mul\nCONTROL 1903 Parabens!\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1943 >eu+tu\nCONTROL 1944 Sim+Nao\nCONTROL 1945 Pense\n")) << t;
  EXPECT_EQ(Position(t), "2/2");
  EXPECT_TRUE(Has(t, "END The Multiple KIO")) << t;  // nothing changed: nothing asked

  // An older file without the settings block opens with the defaults.
  std::string old = EncodeNumber(1);
  for (const std::string& text : Item{"Old.HTM", "N", "Velho", ">a", "b", "c"}) old += EncodeText(text);
  test::WriteFile(s / "old.mul", old);
  t = s.Run<CMultipleDlg>("press 1921\nchoose " + (s / "old.mul").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Position(t), "1/1");
  EXPECT_EQ(Control(t, kListField + 0), "old.htm");
  EXPECT_EQ(Control(t, kListField + 2), "Velho");
}

TEST(MultipleEditor, OversizedDocumentOpensCutWithAMessage) {
  EditorSession s;
  std::string doc = EncodeNumber(105);
  for (int n = 0; n < 105; ++n)
    for (const std::string& text : Item{"f.htm", "S", n == 0 ? std::string(3000, 'q') : "Q", ">a", "b", "c"})
      doc += EncodeText(text);
  test::WriteFile(s / "big.mul", doc);
  std::string t = s.Run<CMultipleDlg>("press 1921\nchoose " + (s / "big.mul").string() +
                                      "\ndump\npress 1911\npress 1915\npress 1917\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(DocumentCutMessage()) + "\n")) << t;
  EXPECT_EQ(Control(t, kListField + 2), std::string(2997, 'q'));
  EXPECT_TRUE(Has(t, "CONTROL 1901 1/102\n")) << t;
  // Every slot taken: Insert and Paste are refused, nothing lost.
  EXPECT_TRUE(Has(t, test::OopsMessage(ListFullMessage()) + test::OopsMessage(ListFullMessage()))) << t;
  // A count beyond the file's end is a damaged file, reported.
  test::WriteFile(s / "short.mul", EncodeNumber(3) + EncodeText("only"));
  t = s.Run<CMultipleDlg>("press 1921\nchoose " + (s / "short.mul").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! |")) << t;
  EXPECT_EQ(Position(t), "1/0");
}

TEST(MultipleEditor, GeneratesThePageAndGuardsTheItemsFiles) {
  EditorSession s;
  const Item a = {"leitura.htm", "S", "Qual?", "a+>b+c", "x+y+z", "Releia."};
  std::string t = s.Run<CMultipleDlg>(AttachItems({a}) + "type 1903 Bravo!\npress 1924\nchoose " +
                                      (s / "Leitura.htm").string() + "\npress 1924\nchoose " +
                                      (s / "multi.htm").string() + "\nanswer No\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.htm | *.htm|| | htm\n" +
                         Oops(108) + "CHOOSE save"))
      << t;
  EXPECT_FALSE(std::filesystem::exists(s / "leitura.htm"));
  EXPECT_EQ(ReadFile(s / "multi.htm"),
            "<title>multi.htm</title>\n<script>\nvar itens = 1\n//INICIA DADOS\n ok" + MultipleData({a}) +
                ".\n//TERMINA DADOS\n</script>\n<p>Bravo!</p>\n");
}

TEST(MultipleEditor, HelpFollowsTheFieldsAndTheButtons) {
  EditorSession s;
  test::ExpectHelpPanel<CMultipleDlg>(s,
                                      {{"", "multipla_tips.rtf"},
                                       {"focus 1940\n", "dial_01_seleciona.rtf"},
                                       {"press 1981\n", "dial_02_avalia.rtf"},
                                       {"focus 1942\n", "dial_03_pergunta.rtf"},
                                       {"focus 1943\n", "mult_opcoes.rtf"},
                                       {"press 1984\n", "mult_feedback.rtf"},
                                       {"focus 1945\n", "mult_dica_geral.rtf"},
                                       {"focus 1903\n", "mensagem_final.rtf"},
                                       {"focus 1945\npress 1934\n", "multipla_tips.rtf"},
                                       {"press 1910\nchoose cancel\n", "dial_01_seleciona.rtf"}},
                                      kListHelp);
}

TEST(MultipleEditor, SelectTakesPagesAndRefusesDocuments) {
  EditorSession s;
  std::string t =
      s.Run<CMultipleDlg>("press 1910\nchoose " + (s / "Leitura.HTM").string() + "\ndump\n" +
                          "press 1910\nchoose " + (s / "aula.mul").string() + "\n" + "press 1910\nchoose " +
                          (s / "foto.png").string() + "\nanswer No\ndump\n" + "press 1910\nchoose " +
                          (s / "foto.png").string() + "\nanswer Yes\ndump\n" + "press 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CONTROL 1940 leitura.htm\n")) << t;
  EXPECT_TRUE(Has(t, Oops(2))) << t;
  EXPECT_TRUE(
      Has(t, "MESSAGE " + Shown(CurrentSession().UiText[1]) + " | " + Shown(CurrentSession().UiText[4])))
      << t;
  EXPECT_EQ(Control(t, kListField), "foto.png");
}

TEST(DialogicalEditor, SharesTheClipboardAndWritesItsOwnDocument) {
  EditorSession s;
  CurrentSession().Part<ItemClipboard>().item.reset();
  const Item a = {"texto.htm", "S", "Capital?", ">Paris+paris", "Bom!+Bom!", "#"};
  // Copied in Multiple choice, pasted in Dialogical, field by field.
  s.Run<CMultipleDlg>(AttachItems({a}) + "press 1913\npress 1915\npress 2\nanswer No\n");
  const std::string path = (s / "dial.gab").string();
  std::string t =
      s.Run<CDialogicalDlg>("press 1917\ndump\npress 1922\nchoose " + path + "\npress 1924\nchoose " +
                            (s / "dial.htm").string() + "\nanswer No\npress 2\n");
  EXPECT_TRUE(Has(t, "DIALOG KIO Dialogical\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1901 1/1\n")) << t;
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.gab | *.gab|| | gab\n"))
      << t;
  std::string items = EncodeNumber(1);
  for (const std::string& text : a) items += EncodeText(text);
  const std::string bytes = ReadFile(s / "dial.gab");
  EXPECT_EQ(bytes.substr(bytes.size() - items.size()), items);
  EXPECT_TRUE(
      Has(ReadFile(s / "dial.htm"), "var itens = 1\n//INICIA DADOS\n ok" + DialogicalData({a}) + ".\n"));
}

TEST(DialogicalEditor, ChecksItsOwnRulesAndHelp) {
  EditorSession s;
  std::string t =
      s.Run<CDialogicalDlg>(TypeItem({"#", "s", "Q", "a+b", "x", "#"}) + "press 1912\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(
      t, "MESSAGE Oops! | " + Shown(FixedText(Fixed::kErrors)) + Shown(CurrentSession().UiText[117]) + "\n"))
      << t;
  test::ExpectHelpPanel<CDialogicalDlg>(s,
                                        {{"", "dialogica_tips.rtf"},
                                         {"focus 1943\n", "dial_05_gabarito.rtf"},
                                         {"focus 1944\n", "dial_06_certo.rtf"},
                                         {"focus 1945\n", "dial_04_errado.rtf"}},
                                        kListHelp);
}

}  // namespace
}  // namespace kio
