// Question banks into KIO documents (what each kind becomes, what is
// reported, the limits), and documents out to GIFT and Moodle XML and back,
// byte for byte.
#include "questions/mapping.h"

#include <gtest/gtest.h>

#include "fileio/session.h"
#include "platform/text_encoding.h"
#include "questions/gift_format.h"
#include "questions/moodle_xml_format.h"

namespace kio::questions {
namespace {

class MappingTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentSession().Reset(); }
};

ImportResult ImportGift(const std::string& gift, DocumentKind kind) {
  GiftFormat format;
  QuestionBank bank;
  EXPECT_TRUE(format.Read(gift, bank)) << format.ErrorString();
  return ImportQuestions(bank, kind);
}

std::string W(const char* utf8) { return Win1252(utf8); }

TEST_F(MappingTest, MultipleChoiceItemsFromEachKind) {
  struct Case {
    const char* gift;
    ListItem item;
  } cases[] = {
      {"Q? {=a#fa ~b#fb ####hint}", {"#", "S", "Q?", ">a+b", "fa+fb", "hint"}},
      {"Q? {=a ~b}", {"#", "S", "Q?", ">a+b", "#", "#"}},
      {"Q {~%50%a ~%50%b ~%-100%c}", {"#", "S", "Q", ">a+>b+c", "#", "#"}},
      {"Sky is blue. {T#No#Yes}", {"#", "S", "Sky is blue.", ">True+False", "Yes+No", "#"}},
      {"Sky is green. {FALSE####Look up.}", {"#", "S", "Sky is green.", "True+>False", "#", "Look up."}},
      {"Sum? {=1+1 ~>2 ~#x}", {"#", "S", "Sum?", ">1&#43;1+&gt;2+#", "&nbsp;++x", "#"}},
      {"[html]<p>Q</p> {=<b>a</b>#<i>well</i> ~b}",
       {"#", "S", "<p>Q</p>", ">a+b", "<i>well</i>+&nbsp;", "#"}},
      {"Line\\nTwo's {=a ~b}", {"#", "S", "Line\r\nTwo's", ">a+b", "#", "#"}},
      {"Questão {=sim ~não}", {"#", "S", W("Questão"), W(">sim+não"), "#", "#"}},
      {"{=a ~b}", {"#", "S", "#", ">a+b", "#", "#"}},
      {"[plain]Is 1<2 and <b> a tag? {=yes ~no}",
       {"#", "S", "Is 1<2 and &lt;b> a tag?", ">yes+no", "#", "#"}},
  };
  for (const Case& c : cases) {
    ImportResult r = ImportGift(c.gift, DocumentKind::kMultiple);
    ASSERT_EQ(r.documents.size(), 1u) << c.gift;
    ASSERT_EQ(r.documents[0].items.size(), 1u) << c.gift;
    EXPECT_EQ(r.documents[0].items[0], c.item) << c.gift;
    EXPECT_EQ(r.placed, 1u);
  }
}

TEST_F(MappingTest, MatchingBecomesOneItemPerPairOrMemoryGames) {
  const char* gift = "Match: {=a -> 1 =b -> 2 =c -> 3}";
  ImportResult mul = ImportGift(gift, DocumentKind::kMultiple);
  ASSERT_EQ(mul.documents.size(), 1u);
  ASSERT_EQ(mul.documents[0].items.size(), 3u);
  EXPECT_EQ(mul.documents[0].items[1], (ListItem{"#", "S", "Match:\r\nb", "1+>2+3", "#", "#"}));
  ASSERT_EQ(mul.problems.size(), 1u);
  EXPECT_FALSE(mul.problems[0].dropped);
  EXPECT_EQ(mul.placed, 1u);

  ImportResult mem = ImportGift(gift, DocumentKind::kMemory);
  ASSERT_EQ(mem.documents.size(), 1u);
  EXPECT_EQ(mem.documents[0].instructions, "Match:");
  EXPECT_EQ(mem.documents[0].pairs,
            (std::vector<std::pair<std::string, std::string>>{{"a", "1"}, {"b", "2"}, {"c", "3"}}));

  // More pairs than one game holds are shared out; five cannot be.
  std::string twelve = "Twelve {", five = "Five {";
  for (int i = 0; i < 12; ++i) twelve += "=q" + std::to_string(i) + " -> a" + std::to_string(i) + " ";
  for (int i = 0; i < 5; ++i) five += "=q" + std::to_string(i) + " -> a" + std::to_string(i) + " ";
  mem = ImportGift(twelve + "}\n\n" + five + "}", DocumentKind::kMemory);
  ASSERT_EQ(mem.documents.size(), 2u);
  EXPECT_EQ(mem.documents[0].pairs.size(), 8u);
  EXPECT_EQ(mem.documents[1].pairs.size(), 4u);
  EXPECT_EQ(mem.documents[1].pairs[0].first, "q8");
  EXPECT_EQ(mem.placed, 1u);
  ASSERT_EQ(mem.problems.size(), 2u);
  EXPECT_TRUE(mem.problems[1].dropped);
  EXPECT_EQ(mem.problems[1].message,
            "it has 5 pairs; a Memory game holds 3, 4, 6 or 8 pairs (in a Multiple choice document each pair "
            "becomes "
            "an item)");
}

TEST_F(MappingTest, ShortAnswersBecomeDialogicalItems) {
  ImportResult r =
      ImportGift("Capital? {=Paris#Oui =paris =%0%Lyon#Non ####Try again}", DocumentKind::kDialogical);
  ASSERT_EQ(r.documents.size(), 1u);
  EXPECT_EQ(r.documents[0].items[0],
            (ListItem{"#", "S", "Capital?", "Paris+paris", "Oui+&nbsp;", "Try again"}));
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].message, "the feedback of its wrong answers is not kept");
}

TEST_F(MappingTest, GapsBecomeAClozeTextWithAlternatives) {
  ImportResult r = ImportGift(
      "Read the text.\n\nThe {=cat =kitty} sat on [the] mat.\n\nIt {~ran =slept ~ate} there.\n\n::Q::One "
      "{=a/b} more.",
      DocumentKind::kCloze);
  ASSERT_EQ(r.documents.size(), 1u);
  EXPECT_EQ(r.documents[0].instructions, "Read the text.");
  EXPECT_EQ(r.documents[0].text,
            "The [cat/kitty] sat on &#91;the&#93; mat.\r\n\r\nIt [slept] there.\r\n\r\nOne [a/b] more.");
  EXPECT_EQ(r.placed, 4u);
  ASSERT_EQ(r.problems.size(), 2u);
  EXPECT_EQ(r.problems[0].message, "the wrong choices of gap 1 are not kept (a Cloze gap is typed)");
  EXPECT_EQ(r.problems[1].message, "its name \"Q\" is not kept (an item has no name)");
  EXPECT_FALSE(r.problems[1].dropped);
}

TEST_F(MappingTest, WhatNoActivityHoldsIsListedByQuestion) {
  ImportResult r = ImportGift(
      "When? {#1822:5}\n\nWrite. {}\n\n::Só chinês:: 中文 {=a ~b}\n\nIntro text\n\nQ {=Paris}\n\nOK {=a ~b}",
      DocumentKind::kMultiple);
  ASSERT_EQ(r.documents.size(), 1u);
  EXPECT_EQ(r.placed, 1u);
  EXPECT_EQ(r.questions, 6u);
  std::vector<std::string> messages;
  for (const ImportProblem& p : r.problems) {
    EXPECT_TRUE(p.dropped);
    messages.push_back(std::to_string(p.line) + " " + p.question + ": " + p.message);
  }
  EXPECT_EQ(
      messages,
      (std::vector<std::string>{
          "1 When?: no KIO activity holds this kind of question (numerical)",
          "3 Write.: no KIO activity holds this kind of question (essay)",
          "5 Só chinês: it holds the character U+4E2D \"中\", which KIO's documents cannot hold",
          "7 Intro text: a description has no place in a Multiple choice document (it has no text of its "
          "own)",
          "9 Q: this shortanswer question belongs in a Dialogical document (.gab), not in a Multiple choice "
          "document"}));
}

TEST_F(MappingTest, LargeBanksBecomeSeveralDocuments) {
  std::string gift;
  for (int i = 0; i < 250; ++i) gift += "Q" + std::to_string(i) + " {=a ~b}\n\n";
  ImportResult r = ImportGift(gift, DocumentKind::kMultiple);
  ASSERT_EQ(r.documents.size(), 3u);
  EXPECT_EQ(r.documents[0].items.size(), kListItemsPerDocument);
  EXPECT_EQ(r.documents[2].items.size(), 250 - 2 * kListItemsPerDocument);
  EXPECT_EQ(r.documents[1].items[0][kQuestion], "Q101");

  // Cloze paragraphs fill a text up to its limit, then the next document.
  gift.clear();
  const std::string filler(4000, 'x');
  for (int i = 0; i < 8; ++i) gift += filler + " {=gap" + std::to_string(i) + "} end.\n\n";
  r = ImportGift(gift, DocumentKind::kCloze);
  ASSERT_EQ(r.documents.size(), 3u);
  for (const KioDocument& d : r.documents) EXPECT_LE(d.text.size(), kLongTextLimit);
  EXPECT_EQ(r.placed, 8u);
  EXPECT_NE(r.documents[1].text.find("[gap3]"), std::string::npos);

  // An item whose texts overrun the document's limits is listed, not cut.
  r = ImportGift(
      std::string(3000, 'q') + " {=a ~b}\n\nQ {" +
          [] {
            std::string many;
            for (int i = 0; i < 22; ++i) many += (i ? "~o" : "=o") + std::to_string(i) + " ";
            return many;
          }() +
          "}",
      DocumentKind::kMultiple);
  EXPECT_TRUE(r.documents.empty());
  ASSERT_EQ(r.problems.size(), 2u);
  EXPECT_EQ(r.problems[0].message, "its question take 3000 characters; an item holds 2997");
  EXPECT_EQ(r.problems[1].message, "it has 22 options; an item holds at most 21");
}

// --- Round trips ---------------------------------------------------------

std::vector<std::string> CustomSettings() {
  return {"tem_tres_frames_e_cortabela",
          "body bgcolor=\"#112233\"",
          "body bgcolor='#445566'",
          "#778899",
          "bgcolor='#AABBCC'",
          "a_t_i_v_i_d_a_d_e__c_o_n_c_l_u_i_d_a",
          W("Parabéns! Você concluiu a atividade.\r\nAté logo."),
          "tem_fontes_de_pagina",
          "#102030Times New Roman16pt",
          "#405060Arial14pt",
          "#708090Courier12pt"};
}

KioDocument MultipleFixture() {
  KioDocument d;
  d.kind = DocumentKind::kMultiple;
  d.settings = CustomSettings();
  d.items.push_back({"leitura.htm", "S", W("Qual é a capital?\r\nResponda com atenção."),
                     W(" >Brasília + Rio + São Paulo "), W("Isso!+Não, é Brasília.+#"),
                     W("Pense no Planalto Central.")});
  d.items.push_back({"#", "N", "<p>It's <b>HTML</b> & \"quotes\"</p>", ">a+>b+c", "#", "#"});
  std::string options, feedback;
  for (int i = 0; i < 21; ++i) {
    options += (i ? "+" : ">") + std::string("opção ") + std::to_string(i);
    feedback += (i ? "+" : "") + std::string("f") + std::to_string(i);
  }
  d.items.push_back({"#", "S", std::string(2997, 'q'), W(options.c_str()), feedback, std::string(2997, 'h')});
  d.items.push_back({"#", "S", "#", "#", "#", "#"});
  d.items.push_back(
      {"fig.jpg", "S", "Colchetes [a] {~=#:} e \\barra", "> {i=x.gif} + outra", "a~b+c=d", "d#e"});
  return d;
}

KioDocument DialogicalFixture() {
  KioDocument d;
  d.kind = DocumentKind::kDialogical;
  d.items.push_back(
      {"#", "S", W("Qual é a capital da França?"), "Paris+paris", "Bom!+Bom!", W("Não.+Tente de novo.")});
  d.items.push_back({"texto.htm", "N", "d'agua?", "d'agua", "#", "#"});
  d.items.push_back({"#", "S", "Line one\r\nLine two", " spaced + answers ", "a+", "<b>x</b>"});
  return d;
}

KioDocument ClozeFixture() {
  KioDocument d;
  d.kind = DocumentKind::kCloze;
  d.settings = CustomSettings();
  d.instructions = W("Complete o texto.\r\nUse as palavras do quadro.");
  d.text =
      W("O [gato/gatinho] subiu no [telhado].\r\nIt's a [don't/do not] text with <b>HTML</b>, a stray ] "
        "bracket, [a][b] gaps and {f=Arial} codes.");
  d.text += std::string(14999 - d.text.size(), 'z');
  return d;
}

KioDocument MemoryFixture(size_t pairs) {
  KioDocument d;
  d.kind = DocumentKind::kMemory;
  d.instructions = W("Encontre os pares.");
  for (size_t j = 0; j < pairs; ++j)
    d.pairs.emplace_back(W(("cão " + std::to_string(j) + " {i=cao.gif}").c_str()),
                         j == 0 ? std::string(kCardLimit, 'b') : "dog's " + std::to_string(j) + "\r\nline");
  return d;
}

TEST_F(MappingTest, DocumentsComeBackByteForByteThroughEachFormat) {
  GiftFormat gift;
  MoodleXmlFormat xml;
  const std::vector<KioDocument> documents = {MultipleFixture(), DialogicalFixture(), ClozeFixture(),
                                              MemoryFixture(3), MemoryFixture(8)};
  for (QuestionFormat* format : std::initializer_list<QuestionFormat*>{&gift, &xml}) {
    for (const KioDocument& doc : documents) {
      SCOPED_TRACE(format->Name() + " " + DocumentExtension(doc.kind));
      std::string bytes, error;
      ASSERT_TRUE(ExportDocument(doc, *format, bytes, error)) << error;
      QuestionBank bank;
      ASSERT_TRUE(format->Read(bytes, bank)) << format->ErrorString();
      ImportResult r = ImportQuestions(bank, doc.kind);
      ASSERT_EQ(r.documents.size(), 1u) << bytes;
      EXPECT_EQ(EncodeKioDocument(r.documents[0], ""), EncodeKioDocument(doc, ""));
      EXPECT_EQ(r.placed, r.questions);
    }
  }
}

TEST_F(MappingTest, ExportedBanksReadWellWithoutTheirComments) {
  // What a platform sees: the questions themselves, in their plain form.
  GiftFormat gift;
  std::string bytes, error;
  ASSERT_TRUE(ExportDocument(MultipleFixture(), gift, bytes, error));
  EXPECT_NE(
      bytes.find("Qual é a capital?\\nResponda com atenção. {\n\t=Brasília#Isso!\n\t~Rio#Não, é Brasília."
                 "\n\t~São Paulo#\\#\n\t####Pense no Planalto Central.\n}"),
      std::string::npos)
      << bytes.substr(0, 1200);
  MoodleXmlFormat xml;
  ASSERT_TRUE(ExportDocument(DialogicalFixture(), xml, bytes, error));
  EXPECT_NE(bytes.find("<question type=\"shortanswer\">"), std::string::npos);
  EXPECT_NE(bytes.find("<answer fraction=\"100\" format=\"plain_text\">\n      <text>paris</text>"),
            std::string::npos);
}

TEST_F(MappingTest, AQuestionChangedOnAPlatformIsReadAsItNowIs) {
  GiftFormat gift;
  std::string bytes, error;
  KioDocument doc = MultipleFixture();
  ASSERT_TRUE(ExportDocument(doc, gift, bytes, error));
  const std::string from = "Qual é a capital?\\nResponda com atenção.";
  ASSERT_NE(bytes.find(from), std::string::npos);
  bytes.replace(bytes.find(from), from.size(), "Qual é a capital do Brasil?");
  QuestionBank bank;
  ASSERT_TRUE(gift.Read(bytes, bank));
  ImportResult r = ImportQuestions(bank, DocumentKind::kMultiple);
  ASSERT_EQ(r.documents.size(), 1u);
  EXPECT_EQ(r.documents[0].items[0][kQuestion], W("Qual é a capital do Brasil?"));
  // The texts not changed keep their exact form; the page settings stay.
  EXPECT_EQ(r.documents[0].items[0][kFourth], doc.items[0][kFourth]);
  EXPECT_EQ(r.documents[0].items[0][kFile], "leitura.htm");
  EXPECT_EQ(r.documents[0].settings, doc.settings);
}

}  // namespace
}  // namespace kio::questions
