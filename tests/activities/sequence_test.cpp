// The Sequence editor: the segment check, the page data, the ".seq"
// document in its current and older forms, and its questions.
#include <gtest/gtest.h>

#include "activities/sequence/sequence_dlg.h"
#include "editor_session.h"
#include "lang/fixed_texts.h"
#include "platform/text.h"
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

const std::string kTooShort =
    W("Mínimo de 1 caractere por segmento. Corrija se iniciou ou terminou com '+'.");
const std::string kBlank =
    "Segmento em branco entre um '+' e outro. \r\nCorrija se iniciou ou terminou com '+'";
const std::string kFewerThanThree = W("Segmentar texto no mínimo em 3 partes (usando '+')");

TEST(SequenceCheckSegment, EmptyAndBlankSegmentsAreRefused) {
  struct Case {
    std::string segment;
    std::optional<std::string> refusal;
  } cases[] = {
      {"", kTooShort},     {" ", kBlank},       {"\r\n", kBlank},
      {" \r\n  ", kBlank}, {"a", std::nullopt}, {" a ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckSegment(c.segment), c.refusal) << Shown(c.segment);
}

TEST(SequenceData, SegmentsAndTheirCopy) {
  std::string refusal;
  PageBuild build;
  EXPECT_EQ(
      BuildSequenceData("Era uma vez+um menino+que gostava de ler", refusal, build),
      "Segmento[0] = 'Era uma vez';\r\nSegmento[1] = 'um menino';\r\nSegmento[2] = 'que gostava de ler';\r\n"
      "Segmento1[0] = 'Era uma vez';\r\nSegmento1[1] = 'um menino';\r\n"
      "Segmento1[2] = 'que gostava de ler';\r\n");
  EXPECT_EQ(refusal, "");
  struct Case {
    std::string text, firstLines, refusal;
  } cases[] = {
      {"a+ b+c", "Segmento[0] = 'a';\r\nSegmento[1] = ' b';\r\nSegmento[2] = 'c';\r\n", ""},
      {W("d'água+x+y"), W("Segmento[0] = 'd\\'água';\r\n"), ""},
      {"one\r\ntwo+x+y", "Segmento[0] = 'one<br>two';\r\n", ""},
      {"{i=a.jpg} pic+x+y", "Segmento[0] = ' pic';\r\n", ""},
      {"a  b+x+back\\", "Segmento[0] = 'a  b';\r\nSegmento[1] = 'x';\r\nSegmento[2] = 'back\\\\';\r\n", ""},
      {"a+b", "", kFewerThanThree},
      {"a", "", kFewerThanThree},
      {"a++b", "", kTooShort},
      {"+a+b+c", "", kTooShort},
      {"a+b+c+", "", kTooShort},
      {"a+ \r\n +b+c", "", kBlank},
  };
  for (const auto& c : cases) {
    std::string why;
    PageBuild each;
    std::string data = BuildSequenceData(c.text, why, each);
    EXPECT_EQ(why, c.refusal) << Shown(c.text);
    EXPECT_EQ(data.substr(0, c.firstLines.size()), c.firstLines) << Shown(c.text);
    if (c.refusal.empty())
      EXPECT_NE(data.find("Segmento1[0] = '"), std::string::npos);
    else
      EXPECT_EQ(data, "");
  }
}

TEST(SequenceEditor, SaveRecreatesTheFileAndOpenReadsItBack) {
  EditorSession s;
  std::string path = (s / "Ordem.seq").string();
  std::string t =
      s.Run<CSequenceDlg>("type 1401 Ordene.\ntype 1402 Era uma vez+um menino+que lia\npress 1423\nchoose " +
                          path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.seq | *.seq|| | seq\n"))
      << t;
  std::string bytes = ReadFile(s / "Ordem.seq");
  const std::string fields = EncodeText("Ordene.") + EncodeText("Era uma vez+um menino+que lia");
  EXPECT_EQ(bytes.substr(0, 31), EncodeText("tem_tres_frames_e_cortabela"));
  EXPECT_EQ(bytes.substr(bytes.size() - fields.size()), fields);
  // A shorter text saved in place: the file is made anew, nothing is left of
  // the longer one.
  s.Run<CSequenceDlg>("press 1422\nchoose " + path + "\ntype 1402 a+b+c\npress 1423\npress 2\n");
  std::string shorter = ReadFile(s / "Ordem.seq");
  EXPECT_EQ(shorter.size(),
            bytes.size() - fields.size() + EncodeText("Ordene.").size() + EncodeText("a+b+c").size());
  t = s.Run<CSequenceDlg>("press 1422\nchoose " + path + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1401), "Ordene.");
  EXPECT_EQ(Control(t, 1402), "a+b+c");
  EXPECT_EQ(Control(t, kActDocumentName), "ordem.seq");
  EXPECT_TRUE(Has(t, "END KIO Sequence")) << t;
}

TEST(SequenceEditor, OlderFilesWithAndWithoutTheMarker) {
  EditorSession s;
  test::WriteFile(s / "old.seq",
                  "Era uma vez+um menino+que lia" + std::string(kOlderInstructionsMarker) + "Ordene.");
  std::string t = s.Run<CSequenceDlg>("press 1422\nchoose " + (s / "old.seq").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1402), "Era uma vez+um menino+que lia");
  EXPECT_EQ(Control(t, 1401), "Ordene.");
  test::WriteFile(s / "older.seq", "a+b+c");
  t = s.Run<CSequenceDlg>("press 1422\nchoose " + (s / "older.seq").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1402), "a+b+c");
  EXPECT_EQ(Control(t, 1401), Shown(CurrentSession().UiText[83]));
  // The marker at the very start is no marker: the whole file is the text.
  test::WriteFile(s / "odd.seq", std::string(kOlderInstructionsMarker) + "x+y+z");
  t = s.Run<CSequenceDlg>("press 1422\nchoose " + (s / "odd.seq").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1402), std::string(kOlderInstructionsMarker) + "x+y+z");
}

TEST(SequenceEditor, AnOverlongDocumentOpensCut) {
  EditorSession s;
  test::WriteFile(s / "long.seq", std::string(20000, 'a') + "+b+c");
  std::string t =
      s.Run<CSequenceDlg>("press 1422\nchoose " + (s / "long.seq").string() + "\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | " + Shown(FixedText(Fixed::kDocumentOpenedCut)))) << t;
  EXPECT_EQ(Control(t, 1402), std::string(kSequenceTextLimit, 'a'));
}

TEST(SequenceEditor, AskToSaveGoesOnOnlyAfterNoOrASave) {
  EditorSession s;
  const std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  EXPECT_EQ(s.Run<CSequenceDlg>("press 2\n"), "DIALOG KIO Sequence\nEND KIO Sequence\n");
  // Cancel (2) stays; Yes with a cancelled chooser (2) stays; No (7) goes on.
  std::string t = s.Run<CSequenceDlg>(
      "type 1402 a+b+c\npress 1421\nanswer Cancel\npress 1421\nanswer Yes\n"
      "choose cancel\ndump\npress 1421\nanswer No\ndump\npress 2\n");
  const size_t firstDump = t.find("CONTROL 2 ");
  EXPECT_EQ(t.substr(0, firstDump), "DIALOG KIO Sequence\n" + question + question + "CHOOSE save | " +
                                        CurrentSession().appPaths.startFolder + "*.seq | *.seq|| | seq\n");
  EXPECT_EQ(Control(t.substr(0, t.rfind("CONTROL 2 ")), 1402), "a+b+c");  // kept after the cancelled save
  EXPECT_EQ(Control(t, 1402), "");                                        // after No: afresh
  EXPECT_EQ(Control(t, 1401), Shown(CurrentSession().UiText[83]));
  // Yes with an empty text: nothing to save, and the editor stays.
  t = s.Run<CSequenceDlg>("type 1401 Outras\npress 2\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_EQ(t, "DIALOG KIO Sequence\n" + question + OopsMessage(CurrentSession().UiText[31]) + question +
                   "END KIO Sequence\n");
}

TEST(SequenceEditor, HelpFollowsTheButtonsAndTheFocus) {
  EditorSession s;
  test::ExpectHelpPanel<CSequenceDlg>(s, {
                                             {"", "sequencia_tips.rtf"},
                                             {"press 1412\n", "sequencia_text.rtf"},
                                             {"focus 1402\n", "sequencia_text.rtf"},
                                             {"press 1413\n", "mensagem_final.rtf"},
                                         });
  s.Run<CSequenceDlg>("press 1433\nescape\npress 2\n");
  EXPECT_EQ(CurrentSession().activityName, "seq");
}

TEST(SequenceEditor, GeneratesThePageWithTheChooserAtStarDotHtm) {
  EditorSession s;
  const std::string page = (s / "seq_01.htm").string();
  std::string t = s.Run<CSequenceDlg>(
      "type 1401 \ntype 1402 Era uma vez+um menino+d'agua\\r\\nfria\ntype 1403 Bravo!\n"
      "press 1425\nchoose " +
      page + "\nanswer Yes\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | *.htm | *.htm|| | htm\nMESSAGE KIO | " +
                         Shown(CurrentSession().UiText[54]) + "\nOPEN " + page + "\n"))
      << t;
  const std::string data =
      "Segmento[0] = 'Era uma vez';\r\nSegmento[1] = 'um menino';\r\nSegmento[2] = 'd\\'agua<br>fria';\r\n";
  EXPECT_EQ(ReadFile(page),
            "<title>seq_01.htm</title>\n"
            "<style>body{background:#CAC5E4;color:#000001;font:13pt Verdana}</style>\n"
            "<script>\n"
            "var instrucoes='*';\n"
            "//INICIA DADOS\n ok" +
                data + ReplaceAll(data, "Segmento[", "Segmento1[") +
                ".\n//TERMINA DADOS\n"
                "</script>\n"
                "<p>Bravo!</p>\n"
                "<form action=\"" +
                CurrentSession().appPaths.resultsAddress + "\"></form>\n");
  // Refusals stop before the chooser.
  t = s.Run<CSequenceDlg>(
      "type 1402 a+b\npress 1425\ntype 1402 a++b\npress 1425\ntype 1402 \npress 1425\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(
      t, OopsMessage(kFewerThanThree) + OopsMessage(kTooShort) + OopsMessage(CurrentSession().UiText[32])))
      << t;
  EXPECT_FALSE(Has(t, "CHOOSE")) << t;
}

}  // namespace
}  // namespace kio
