// The Memory editor: the pair count, the page data, the ".mem" document,
// its questions and the card faces copied beside the page.
#include <gtest/gtest.h>

#include "activities/memory/memory_dlg.h"
#include "editor_session.h"
#include "lang/fixed_texts.h"
#include "render/fields.h"

namespace kio {
namespace {

using test::Control;
using test::EditorSession;
using test::Has;
using test::OopsMessage;
using test::ReadFile;
using test::Shown;
using test::W;

MemoryPairs Pairs(std::initializer_list<std::pair<const char*, const char*>> list) {
  MemoryPairs p;
  int i = 0;
  for (auto [a, b] : list) p[i++] = {a, b};
  return p;
}

TEST(MemoryCountPairs, OnlyThreeFourSixOrEightPairsFromTheFirstOn) {
  struct Case {
    MemoryPairs pairs;
    int count, refusal;
    const char* what;
  } cases[] = {
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}}), 3, 0, "3 pairs"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}), 4, 0, "4 pairs"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}}), 6, 0, "6 pairs"},
      {Pairs(
           {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}, {"g", "7"}, {"h", "8"}}),
       8, 0, "8 pairs"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}}), 5, 36, "5 pairs"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}, {"g", "7"}}), 7, 36,
       "7 pairs"},
      {Pairs({}), 0, 36, "nothing"},
      {Pairs({{"a", "1"}, {"b", ""}, {"c", "3"}, {"d", "4"}}), 1, 36, "pair 2 without its B"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"", ""}, {"f", "6"}}), 4, 37, "a gap"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"", "4"}}), 3, 37, "a half pair after three"},
      {Pairs({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"", ""}, {"", ""}, {"", ""}, {"", "8"}}), 4,
       37, "a lone B in pair 8"},
  };
  for (const auto& c : cases) {
    PairCount got = CountPairs(c.pairs);
    EXPECT_EQ(got.pairs, c.count) << c.what;
    EXPECT_EQ(got.refusal ? static_cast<int>(*got.refusal) : 0, c.refusal) << c.what;
  }
}

TEST(MemoryData, CardsInMemoryModeWithApostrophesBreaksAndBlanks) {
  MemoryPairs p = Pairs({{"it's", "a  b"}, {"x   y", "{i=Cat.GIF}"}, {"one\r\ntwo", "back\\slash"}});
  PageBuild build;
  EXPECT_EQ(BuildMemoryData(p, 3, build),
            "par1[0]='it\\'s';\r\n"
            "par2[0]='a&nbsp;&nbsp;b';\r\n"
            "par1[1]='x&nbsp;&nbsp; y';\r\n"
            "par2[1]='<img src=\"cat.gif\" width=\"128\" height=\"78\">';\r\n"
            "par1[2]='one <br> two';\r\n"
            "par2[2]='back\\\\slash';\r\n");
  // Only the counted pairs.
  EXPECT_EQ(BuildMemoryData(p, 1, build), "par1[0]='it\\'s';\r\npar2[0]='a&nbsp;&nbsp;b';\r\n");
}

std::string Fields(uint32_t count, const std::string& instructions,
                   std::initializer_list<std::string> cards) {
  std::string out = EncodeNumber(count) + EncodeText(instructions);
  for (const auto& c : cards) out += EncodeText(c);
  return out;
}

TEST(MemoryEditor, SaveWritesCountInstructionsAndPairsAndOpenReadsThemBack) {
  EditorSession s;
  std::string path = (s / "Jogo.mem").string();
  std::string t = s.Run<CMemoryDlg>(
      "type 1401 Ache os pares.\ntype 1451 cat\ntype 1452 gato\ntype 1453 dog\ntype 1454 cachorro\n"
      "type 1455 it's\ntype 1456 {i=Bird.jpg}\npress 1423\nchoose " +
      path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.mem | *.mem|| | mem\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Sweet Memories")) << t;
  std::string bytes = ReadFile(s / "Jogo.mem");
  EXPECT_EQ(bytes.substr(0, 31), EncodeText("tem_tres_frames_e_cortabela"));
  const std::string fields =
      Fields(4, "Ache os pares.", {"cat", "gato", "dog", "cachorro", "it's", "{i=Bird.jpg}"});
  ASSERT_GE(bytes.size(), fields.size());
  EXPECT_EQ(bytes.substr(bytes.size() - fields.size()), fields);

  t = s.Run<CMemoryDlg>("press 1422\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1401), "Ache os pares.");
  EXPECT_EQ(Control(t, 1455), "it's");
  EXPECT_EQ(Control(t, 1456), "{i=Bird.jpg}");
  EXPECT_EQ(Control(t, 1457), "");
  EXPECT_EQ(Control(t, kActDocumentName), "jogo.mem");
  EXPECT_TRUE(Has(t, "END KIO Sweet Memories")) << t;  // nothing changed: no question
}

TEST(MemoryEditor, ASaveOverALongerDocumentLeavesItsTailUnread) {
  EditorSession s;
  std::string path = (s / "long.mem").string();
  std::string eight;
  for (int i = 1; i <= 8; ++i)
    eight += "type " + std::to_string(1449 + 2 * i) + " a" + std::to_string(i) + "\ntype " +
             std::to_string(1450 + 2 * i) + " b" + std::to_string(i) + "\n";
  s.Run<CMemoryDlg>(eight + "press 1423\nchoose " + path + "\npress 2\n");
  const size_t before = ReadFile(s / "long.mem").size();
  // Open it, drop pairs 4 to 8, save in place.
  std::string drop;
  for (int id = 1457; id <= 1466; ++id) drop += "type " + std::to_string(id) + " \n";
  s.Run<CMemoryDlg>("press 1422\nchoose " + path + "\n" + drop + "press 1423\npress 2\n");
  EXPECT_EQ(ReadFile(s / "long.mem").size(), before);  // not shortened
  std::string t = s.Run<CMemoryDlg>("press 1422\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1455), "a3");
  EXPECT_EQ(Control(t, 1457), "");
  EXPECT_EQ(Control(t, 1466), "");
}

// Save keeps a draft whatever its pairs; only Generate needs a playable
// count, and the draft opens again as it was saved.
TEST(MemoryEditor, SaveKeepsADraftAndOnlyGenerateNeedsAPlayableCount) {
  EditorSession s;
  const std::string five =
      "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\n"
      "type 1457 d\ntype 1458 4\ntype 1459 e\ntype 1460 5\n";
  const std::string path = (s / "draft.mem").string();
  std::string t = s.Run<CMemoryDlg>(five + "press 1425\npress 1423\nchoose " + path + "\npress 2\n");
  const std::string m36 = OopsMessage(CurrentSession().UiText[36]);
  EXPECT_TRUE(Has(t, "DIALOG KIO Sweet Memories\n" + m36 + "CHOOSE save")) << t;
  EXPECT_TRUE(Has(t, "END KIO Sweet Memories")) << t;  // saved: nothing asked
  std::string bytes = ReadFile(s / "draft.mem");
  const std::string fields =
      Fields(6, CurrentSession().UiText[35], {"a", "1", "b", "2", "c", "3", "d", "4", "e", "5"});
  ASSERT_GE(bytes.size(), fields.size());
  EXPECT_EQ(bytes.substr(bytes.size() - fields.size()), fields);
  t = s.Run<CMemoryDlg>("press 1422\nchoose " + path + "\ndump\npress 1425\npress 2\n");
  EXPECT_EQ(Control(t, 1459), "e");
  EXPECT_EQ(Control(t, 1460), "5");
  EXPECT_TRUE(Has(t, m36 + "END KIO Sweet Memories")) << t;

  // Four pairs and pair 6, a half pair in between: saved whole, pair 5
  // empty; Generate refuses the gap.
  const std::string gap = (s / "gap.mem").string();
  t = s.Run<CMemoryDlg>(
      "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\ntype 1457 d\n"
      "type 1458 4\ntype 1459 e\ntype 1461 f\ntype 1462 6\npress 1425\npress 1423\nchoose " +
      gap + "\npress 1422\nchoose " + gap + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, OopsMessage(CurrentSession().UiText[37]) + "CHOOSE save")) << t;
  EXPECT_EQ(Control(t, 1459), "e");
  EXPECT_EQ(Control(t, 1460), "");
  EXPECT_EQ(Control(t, 1462), "6");
}

TEST(MemoryEditor, AskingToSaveStaysWhenTheSaveDidNotHappen) {
  EditorSession s;
  const std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  // Untouched: Return asks nothing.
  EXPECT_EQ(s.Run<CMemoryDlg>("press 2\n"), "DIALOG KIO Sweet Memories\nEND KIO Sweet Memories\n");
  // Cancel stays; Yes with a cancelled chooser stays (a draft of two
  // pairs is saved like any other); No leaves.
  std::string t = s.Run<CMemoryDlg>(
      "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\npress 2\nanswer Cancel\npress 2\nanswer Yes\n"
      "choose cancel\npress 1421\nanswer Yes\nchoose cancel\ndump\npress 2\nanswer No\n");
  const std::string chooser =
      "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.mem | *.mem|| | mem\n";
  EXPECT_EQ(t.substr(0, t.find("CONTROL 2 ")),
            "DIALOG KIO Sweet Memories\n" + question + question + chooser + question + chooser);
  EXPECT_EQ(Control(t, 1451), "a");  // New kept the work
  EXPECT_TRUE(Has(t, question + "END KIO Sweet Memories\n")) << t;
  // Yes and a cancelled chooser stays too.
  t = s.Run<CMemoryDlg>(
      "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\npress 2\nanswer Yes\n"
      "choose cancel\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "CHOOSE save")) << t;
  EXPECT_TRUE(Has(t, "\n" + question + "END KIO Sweet Memories\n")) << t;  // asked again, then left
  // New after No starts afresh with the default instructions.
  t = s.Run<CMemoryDlg>("type 1451 a\npress 1421\nanswer No\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1451), "");
  EXPECT_EQ(Control(t, 1401), Shown(CurrentSession().UiText[35]));
  EXPECT_EQ(Control(t, kActDocumentName), Shown(CurrentSession().UiText[23]));
}

TEST(MemoryEditor, HelpFollowsTheButtonsAndTheFocus) {
  EditorSession s;
  test::ExpectHelpPanel<CMemoryDlg>(s, {
                                           {"", "memoria_tips.rtf"},
                                           {"press 1411\n", "memoria_instru.rtf"},
                                           {"press 1412\n", "memoria_text.rtf"},
                                           {"press 1413\n", "mensagem_final.rtf"},
                                           {"press 1411\npress 1420\n", "memoria_tips.rtf"},
                                           {"focus 1401\n", "memoria_instru.rtf"},
                                           {"focus 1451\n", "memoria_text.rtf"},
                                           {"focus 1466\n", "memoria_text.rtf"},
                                       });
}

TEST(MemoryEditor, AVGivesPictureCodes) {
  EditorSession s;
  s.Run<CMemoryDlg>("press 1433\nescape\npress 2\n");
  EXPECT_EQ(CurrentSession().activityName, "memoria");
}

TEST(MemoryEditor, ADocumentBeyondTheLimitsOpensCut) {
  EditorSession s;
  // No settings block; a count of 12 (11 pairs), a card of 500 bytes.
  std::string doc = EncodeNumber(12) + EncodeText("Inst");
  doc += EncodeText(std::string(500, 'x')) + EncodeText("b1");
  for (int i = 2; i <= 11; ++i)
    doc += EncodeText("a" + std::to_string(i)) + EncodeText("b" + std::to_string(i));
  test::WriteFile(s / "big.mem", doc);
  std::string t = s.Run<CMemoryDlg>("press 1422\nchoose " + (s / "big.mem").string() + "\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(FixedText(Fixed::kDocumentOpenedCut)))) << t;
  EXPECT_EQ(Control(t, 1451), std::string(kCardLimit, 'x'));
  EXPECT_EQ(Control(t, 1466), "b8");
  // A count that claims more than the file holds is damaged.
  test::WriteFile(s / "short.mem", EncodeNumber(4) + EncodeText("I") + EncodeNumber(900) + "ab");
  t = s.Run<CMemoryDlg>("press 1422\nchoose " + (s / "short.mem").string() + "\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | File end.")) << t;
}

TEST(MemoryEditor, GeneratesThePageAndCopiesTheCardFacesOnce) {
  EditorSession s;
  const std::string page = (s / "memo_01.htm").string();
  const std::string three =
      "type 1401 \ntype 1451 it's\ntype 1452 a  b\ntype 1453 x   y\ntype 1454 {i=Cat.GIF}\n"
      "type 1455 one\\r\\ntwo\ntype 1456 z\ntype 1403 Bravo!\n";
  std::string t =
      s.Run<CMemoryDlg>(three + "press 1425\nchoose " + page + "\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder +
                         "*.htm | *.htm|| | htm\nMESSAGE KIO | " + Shown(CurrentSession().UiText[54]) +
                         "\nOPEN " + page + "\n"))
      << t;
  EXPECT_EQ(ReadFile(page),
            "<title>memo_01.htm</title>\n"
            "<style>body{background:#CAC5E4;color:#000001;font:13pt Verdana}</style>\n"
            "<script>\n"
            "var instrucoes='*';\n"
            "//INICIA DADOS\n ok"
            "par1[0]='it\\'s';\r\npar2[0]='a&nbsp;&nbsp;b';\r\n"
            "par1[1]='x&nbsp;&nbsp; y';\r\npar2[1]='<img src=\"cat.gif\" width=\"128\" height=\"78\">';\r\n"
            "par1[2]='one <br> two';\r\npar2[2]='z';\r\n"
            ".\n//TERMINA DADOS\n"
            "</script>\n"
            "<p>Bravo!</p>\n"
            "<form action=\"" +
                CurrentSession().appPaths.resultsAddress + "\"></form>\n");
  const std::string shipped = ReadFile(std::filesystem::path(KIO_PROGRAM_DIR) / "facea.gif");
  ASSERT_FALSE(shipped.empty());
  EXPECT_EQ(ReadFile(s / "facea.gif"), shipped);
  EXPECT_EQ(ReadFile(s / "faceb.gif"), ReadFile(std::filesystem::path(KIO_PROGRAM_DIR) / "faceb.gif"));
  // A face already there is the teacher's: left alone.
  test::WriteFile(s / "facea.gif", "mine");
  s.Run<CMemoryDlg>(three + "press 1425\nchoose " + page + "\nanswer No\npress 2\nanswer No\n");
  EXPECT_EQ(ReadFile(s / "facea.gif"), "mine");
}

TEST(MemoryEditor, MissingCardFacesAreReportedAndThePageIsStillWritten) {
  EditorSession s;
  std::filesystem::remove(std::filesystem::path(CurrentSession().appPaths.programFolder) / "faceb.gif");
  const std::string page = (s / "m.htm").string();
  std::string t = s.Run<CMemoryDlg>(
      "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\npress 1425\nchoose " +
      page + "\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE Oops! | " + Shown(W("Diretório inexistente: ")))) << t;
  EXPECT_FALSE(Has(t, Shown(CurrentSession().UiText[54]))) << t;  // no question after a failed copy
  EXPECT_TRUE(std::filesystem::exists(page));
}

}  // namespace
}  // namespace kio
