// The readers and writers of the question-bank formats: the documentation's
// own examples (written as fixtures of ours) read question by question,
// each escape and weight, the broken files with their messages, and banks
// written and read back in memory.
#include <gtest/gtest.h>

#include "kio_test.h"
#include "questions/aiken_format.h"
#include "questions/gift_format.h"
#include "questions/moodle_xml_format.h"
#include "questions/question_text.h"

namespace kio::questions {
namespace {

std::string Fixture(const std::string& name) {
  return test::ReadFile(std::string(KIO_FIXTURES) + "/" + name);
}

QuestionBank ReadWith(QuestionFormat& format, const std::string& bytes) {
  QuestionBank bank;
  EXPECT_TRUE(format.Read(bytes, bank)) << format.ErrorString();
  return bank;
}

struct AnswerRow {
  std::string text;
  double fraction;
  std::string feedback;
};

void ExpectAnswers(const Question& q, const std::vector<AnswerRow>& rows) {
  ASSERT_EQ(q.answers.size(), rows.size()) << q.text.text;
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(q.answers[i].text.text, rows[i].text);
    EXPECT_DOUBLE_EQ(q.answers[i].fraction, rows[i].fraction) << rows[i].text;
    EXPECT_EQ(q.answers[i].feedback.text, rows[i].feedback) << rows[i].text;
  }
}

TEST(GiftFormat, ReadsTheDocumentedExamples) {
  GiftFormat gift;
  QuestionBank bank = ReadWith(gift, Fixture("documented.gift"));
  EXPECT_EQ(bank.comments, (std::vector<std::string>{"Written after the GIFT documentation's own examples.",
                                                     "Second bank comment."}));
  ASSERT_EQ(bank.questions.size(), 11u);
  const auto& q = bank.questions;
  // Name, comment, category, per-answer feedback.
  EXPECT_EQ(q[0].kind, QuestionKind::kMultipleChoice);
  EXPECT_EQ(q[0].name, "Grants tomb");
  EXPECT_EQ(q[0].category, "tom/dick/harry");
  EXPECT_EQ(q[0].comments, (std::vector<std::string>{"question: 1 name: Grants tomb"}));
  EXPECT_EQ(q[0].line, 7u);
  EXPECT_EQ(q[0].text.text, "Who is buried in Grant's tomb in New York City?");
  EXPECT_TRUE(q[0].singleAnswer);
  ASSERT_EQ(q[0].answers.size(), 5u);
  EXPECT_EQ(q[0].answers[1].feedback.text,
            "Was true for 12 years, but Grant's remains were buried in the tomb in 1897");
  // True/false, with and without feedback and general feedback.
  EXPECT_EQ(q[1].kind, QuestionKind::kTrueFalse);
  EXPECT_FALSE(q[1].trueFalseRight);
  EXPECT_EQ(q[2].kind, QuestionKind::kTrueFalse);
  EXPECT_TRUE(q[2].trueFalseRight);
  ExpectAnswers(q[2], {{"true", 100, "Right!"}, {"false", 0, "Wrong, it rises in the east."}});
  EXPECT_EQ(q[2].generalFeedback.text, "The sun rises in the east.");
  // Short answer: every answer right.
  EXPECT_EQ(q[3].kind, QuestionKind::kShortAnswer);
  ExpectAnswers(q[3], {{"Grant", 100, ""}, {"Ulysses S. Grant", 100, ""}, {"Ulysses Grant", 100, ""}});
  // Matching with general feedback.
  EXPECT_EQ(q[4].kind, QuestionKind::kMatching);
  ASSERT_EQ(q[4].pairs.size(), 4u);
  EXPECT_EQ(q[4].pairs[3].question.text, "India");
  EXPECT_EQ(q[4].pairs[3].answer, "New Delhi");
  EXPECT_EQ(q[4].generalFeedback.text, "It's good to know the capitals");
  // Missing word: the text on both sides of the gap.
  EXPECT_EQ(q[5].kind, QuestionKind::kCloze);
  EXPECT_EQ(q[5].text.text, "Moodle costs");
  ASSERT_EQ(q[5].gaps.size(), 1u);
  EXPECT_TRUE(q[5].gaps[0].choice);
  EXPECT_EQ(q[5].after, (std::vector<std::string>{"to download."}));
  ExpectAnswers(Question{.answers = q[5].gaps[0].answers},
                {{"lots of money", 0, ""}, {"nothing", 100, ""}, {"a small amount", 0, ""}});
  // Weights make several right answers.
  EXPECT_FALSE(q[6].singleAnswer);
  ExpectAnswers(
      q[6],
      {{"No one", -100, ""}, {"Grant", 50, ""}, {"Grant's wife", 50, ""}, {"Grant's father", -100, ""}});
  EXPECT_EQ(q[7].kind, QuestionKind::kNumerical);
  EXPECT_EQ(q[8].kind, QuestionKind::kEssay);
  EXPECT_EQ(q[8].text.text, "Write a short biography of Dag Hammarskjöld.");
  // [html] and every escape.
  EXPECT_EQ(q[9].text.format, TextFormat::kHtml);
  EXPECT_EQ(q[9].text.text, "<p>Which is <b>bold</b>: this{}?</p>");
  ExpectAnswers(q[9], {{"yes = sure", 100, ""}, {"no ~ never", 0, ""}, {"back\\slash", 0, ""}});
  EXPECT_EQ(q[10].kind, QuestionKind::kDescription);
}

TEST(GiftFormat, ReadsEachEscapeFormatAndWeight) {
  struct Case {
    std::string gift;
    std::string text;
    TextFormat format;
    std::vector<AnswerRow> answers;
  } cases[] = {
      {"a\\~b\\=c\\#d\\{e\\}f\\:g\\\\h {=x}", "a~b=c#d{e}f:g\\h", TextFormat::kAuto, {{"x", 100, ""}}},
      {"line\\none {=x}", "line\none", TextFormat::kAuto, {{"x", 100, ""}}},
      {"[plain]1 < 2 {=yes#[html]<i>sure</i>}", "1 < 2", TextFormat::kPlain, {{"yes", 100, "<i>sure</i>"}}},
      {"[markdown]*Pick* {=a ~%25%b ~%-50%c}",
       "*Pick*",
       TextFormat::kMarkdown,
       {{"a", 100, ""}, {"b", 25, ""}, {"c", -50, ""}}},
      {"[moodle]Two {=%50%half =whole}", "Two", TextFormat::kAuto, {{"half", 50, ""}, {"whole", 100, ""}}},
      {"::N\\:ame::Q {=a#fb \\# hash}", "Q", TextFormat::kAuto, {{"a", 100, "fb # hash"}}},
      {"Spread\nover lines {\n=a\n~b\n}",
       "Spread\nover lines",
       TextFormat::kAuto,
       {{"a", 100, ""}, {"b", 0, ""}}},
  };
  for (const Case& c : cases) {
    GiftFormat gift;
    QuestionBank bank = ReadWith(gift, c.gift);
    ASSERT_EQ(bank.questions.size(), 1u) << c.gift;
    EXPECT_EQ(bank.questions[0].text.text, c.text) << c.gift;
    EXPECT_EQ(bank.questions[0].text.format, c.format) << c.gift;
    ExpectAnswers(bank.questions[0], c.answers);
  }
  GiftFormat gift;
  EXPECT_EQ(ReadWith(gift, "::N\\:ame::Q {=a}").questions[0].name, "N:ame");
}

TEST(GiftFormat, RefusesBrokenQuestionsWithTheirLine) {
  struct Case {
    const char* gift;
    const char* message;
  } cases[] = {
      {"Q1 {=a}\n\nQ2 {=a ~b\n\nQ3\n", "Line 3: the brace { is never closed with }."},
      {"Q1 {=a ~b\n\nQ2 {=c}\n", "Line 1: a brace { opens inside the answers; write it as \\{."},
      {"Q {=a {=b}}", "Line 1: a brace { opens inside the answers; write it as \\{."},
      {"\n\nQ } {=a}", "Line 3: a closing brace } comes before any opening brace {."},
      {"Q {=a} and {=b}", "Line 1: a question holds one answer block {...} only."},
      {"Q {x =a}", "Line 1: the answers between braces must each begin with = (right) or ~ (wrong)."},
      {"Q {=a ~%abc%b}", "Line 1: a weight is written %50% (a percentage from -100 to 100)."},
      {"::Name Q {=a}", "Line 1: the question name opened with :: is not closed with ::."},
      {"Q {=a -> b ~c}", "Line 1: every pair of a matching question is written =question -> answer."},
      {"// only a comment\n", "The file holds no question."},
      {"Q {=a}\0", "This is not a text file: it holds a control byte (0) at byte 7."},
  };
  for (const Case& c : cases) {
    GiftFormat gift;
    QuestionBank bank;
    const std::string bytes(c.gift, std::char_traits<char>::length(c.gift) +
                                        (std::string(c.message).find("byte (0)") != std::string::npos));
    EXPECT_FALSE(gift.Read(bytes, bank)) << c.gift;
    EXPECT_EQ(gift.ErrorString(), c.message) << c.gift;
    EXPECT_TRUE(bank.questions.empty());
  }
}

TEST(GiftFormat, ReadsWindows1252FilesAndLineEndings) {
  GiftFormat gift;
  QuestionBank bank = ReadWith(gift, "\xEF\xBB\xBFQual \xC3\xA9? {=sim}\r\n\r\nAgora? {=n\xC3\xA3o}\r\n");
  // A file that is UTF-8 after its byte order mark, CR LF line ends; one
  // that is not UTF-8 is read as Windows-1252.
  ASSERT_EQ(bank.questions.size(), 2u);
  EXPECT_EQ(bank.questions[0].text.text, "Qual é?");
  EXPECT_EQ(bank.questions[1].line, 3u);
  bank = ReadWith(gift, "Agora \xE9? {=n\xE3o}\r\n");
  ASSERT_EQ(bank.questions.size(), 1u);
  EXPECT_EQ(bank.questions[0].text.text, "Agora é?");
  EXPECT_EQ(bank.questions[0].answers[0].text.text, "não");
}

TEST(AikenFormat, ReadsTheDocumentedExamplesAndRefusesBrokenOnes) {
  AikenFormat aiken;
  QuestionBank bank = ReadWith(aiken, Fixture("documented_aiken.txt"));
  ASSERT_EQ(bank.questions.size(), 2u);
  ExpectAnswers(bank.questions[0], {{"Yes", 100, ""}, {"No", 0, ""}});
  EXPECT_EQ(bank.questions[1].answers.size(), 6u);
  EXPECT_DOUBLE_EQ(bank.questions[1].answers[0].fraction, 100);
  EXPECT_EQ(bank.questions[1].line, 6u);
  struct Case {
    const char* aiken;
    const char* message;
  } cases[] = {
      {"Q?\nA. a\nB. b\n", "Line 1: the question has no ANSWER: line."},
      {"Q?\nA. a\nB. b\nANSWER: C\n", "Line 4: the answer \"C\" is not the letter of one of the options."},
      {"Q?\nA. a\nC. b\nANSWER: A\n", "Line 3: the option C comes where B was expected."},
      {"Q?\nA. a\nANSWER: A\n", "Line 3: ANSWER: comes before the question has two options."},
      {"Q?\nA. a\nstray\nANSWER: A\n",
       "Line 3: a line that is neither an option (A. ...) nor ANSWER: stands among the options."},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(aiken.Read(c.aiken, bank)) << c.aiken;
    EXPECT_EQ(aiken.ErrorString(), c.message);
  }
}

TEST(MoodleXmlFormat, ReadsTheDocumentedExamples) {
  MoodleXmlFormat xml;
  QuestionBank bank = ReadWith(xml, Fixture("documented.xml"));
  ASSERT_EQ(bank.questions.size(), 10u);
  const auto& q = bank.questions;
  EXPECT_EQ(q[0].category, "$course$/top/Geography");
  EXPECT_EQ(q[0].name, "Capital");
  EXPECT_EQ(q[0].text.format, TextFormat::kHtml);
  EXPECT_EQ(q[0].text.text, "<p>What is the capital of <b>France</b>?</p>");
  EXPECT_EQ(q[0].generalFeedback.text, "Paris has been the capital since 987.");
  ExpectAnswers(q[0],
                {{"Paris", 100, "Right."}, {"Lyon", 0, "No, Lyon is the third city."}, {"Marseille", 0, ""}});
  EXPECT_FALSE(q[1].singleAnswer);
  EXPECT_EQ(q[1].text.format, TextFormat::kAuto);
  EXPECT_EQ(q[2].kind, QuestionKind::kTrueFalse);
  EXPECT_FALSE(q[2].trueFalseRight);
  EXPECT_EQ(q[2].text.format, TextFormat::kPlain);
  EXPECT_EQ(q[3].kind, QuestionKind::kShortAnswer);
  ExpectAnswers(q[3], {{"Pacific", 100, "Yes."}, {"Pacific Ocean", 100, ""}, {"*", 0, "Think bigger."}});
  ASSERT_EQ(q[4].pairs.size(), 3u);
  EXPECT_EQ(q[4].pairs[0].answer, "Brasília");
  // Embedded answers: three gaps, escapes inside a gap.
  EXPECT_EQ(q[5].kind, QuestionKind::kCloze);
  EXPECT_EQ(q[5].text.text, "The ");
  ASSERT_EQ(q[5].gaps.size(), 3u);
  ExpectAnswers(Question{.answers = q[5].gaps[0].answers}, {{"Amazon", 100, ""}, {"amazon", 100, "Right"}});
  EXPECT_TRUE(q[5].gaps[1].choice);
  EXPECT_EQ(q[5].gaps[2].answers[0].text.text, "Atlantic}");
  EXPECT_EQ(q[5].after, (std::vector<std::string>{" flows through ", " and \\ends in the ", "."}));
  EXPECT_EQ(q[6].kind, QuestionKind::kDescription);
  EXPECT_EQ(q[7].kind, QuestionKind::kEssay);
  EXPECT_EQ(q[8].kind, QuestionKind::kNumerical);
  EXPECT_EQ(q[9].kind, QuestionKind::kOther);
  EXPECT_EQ(q[9].typeName, "calculated");
}

TEST(MoodleXmlFormat, ReadsUtf16Files) {
  std::string utf16 = "\xFF\xFE";
  for (char c :
       std::string("<quiz><question type=\"description\"><questiontext><text>Hi</text></questiontext>"
                   "</question></quiz>"))
    utf16 += std::string(1, c) + '\0';
  MoodleXmlFormat xml;
  QuestionBank bank = ReadWith(xml, utf16);
  ASSERT_EQ(bank.questions.size(), 1u);
  EXPECT_EQ(bank.questions[0].text.text, "Hi");
}

TEST(MoodleXmlFormat, RefusesWhatIsNotAQuestionBank) {
  struct Case {
    std::string xml;
    std::string begins;
  } cases[] = {
      {"<quiz><question type=\"multichoice\">", "This is not a well-formed XML file (line 1)"},
      {"<?xml version=\"1.0\"?><html/>", "This XML file is not a Moodle XML question bank (no <quiz>)."},
      {"<!DOCTYPE quiz [<!ENTITY e \"x\">]><quiz><question "
       "type=\"description\"><questiontext><text>&e;</text>"
       "</questiontext></question></quiz>",
       "The file declares a document type"},
      {"<!DOCTYPE quiz SYSTEM \"http://127.0.0.1:9/quiz.dtd\"><quiz/>", "The file declares a document type"},
      {"<quiz><question type=\"cloze\"><questiontext><text>a "
       "{1:SA:=b</text></questiontext></question></quiz>",
       "Line 1: an embedded answer {1:SA:... is never closed with }."},
      {"<quiz></quiz>", "The file holds no question."},
      {std::string("\xFF\xFE<\0!\0D\0O\0C\0T\0Y\0P\0E\0 \0q\0>\0<\0q\0/\0>\0", 34),
       "The file declares a document type"},
  };
  for (const Case& c : cases) {
    MoodleXmlFormat xml;
    QuestionBank bank;
    EXPECT_FALSE(xml.Read(c.xml, bank)) << c.xml;
    EXPECT_EQ(xml.ErrorString().substr(0, c.begins.size()), c.begins) << xml.ErrorString();
  }
}

// A bank holding every kind the writers write, with the characters each
// format must escape, written and read back by each writer.
QuestionBank EveryKind() {
  QuestionBank bank;
  bank.comments = {"bank comment", "with -- dashes"};
  Question mc;
  mc.kind = QuestionKind::kMultipleChoice;
  mc.name = "Escapes: ~ = # { } \\";
  mc.category = "top/one";
  mc.comments = {"before the question"};
  mc.text = {"Qual é a <b>resposta</b>?\nLinha dois & \"aspas\" 'apóstrofo' {}", TextFormat::kHtml};
  mc.generalFeedback = {"Geral ~ = #", TextFormat::kHtml};
  mc.answers = {{{"certa = sim", TextFormat::kHtml}, 100, {"bom # sim", TextFormat::kHtml}},
                {{"errada ~ não", TextFormat::kHtml}, 0, {}},
                {{"meia", TextFormat::kHtml}, 33.33333, {"parte", TextFormat::kHtml}}};
  bank.questions.push_back(mc);
  Question multi = mc;
  multi.name.clear();
  multi.comments.clear();
  multi.singleAnswer = false;
  multi.answers = {{{"a", TextFormat::kHtml}, 50, {}},
                   {{"b", TextFormat::kHtml}, 50, {}},
                   {{"c", TextFormat::kHtml}, -100, {}}};
  bank.questions.push_back(multi);
  Question tf;
  tf.kind = QuestionKind::kTrueFalse;
  tf.category = "top/two";
  tf.text = {"Verdade?", TextFormat::kAuto};
  tf.trueFalseRight = false;
  tf.answers = {{{"true", TextFormat::kAuto}, 0, {"Não.", TextFormat::kAuto}},
                {{"false", TextFormat::kAuto}, 100, {"Isso.", TextFormat::kAuto}}};
  bank.questions.push_back(tf);
  Question sa;
  sa.kind = QuestionKind::kShortAnswer;
  sa.category = "top/two";
  sa.text = {"Capital?", TextFormat::kAuto};
  sa.answers = {{{"Paris", TextFormat::kAuto}, 100, {"Oui", TextFormat::kAuto}},
                {{"paris", TextFormat::kAuto}, 50, {}}};
  bank.questions.push_back(sa);
  Question m;
  m.kind = QuestionKind::kMatching;
  m.category = "top/two";
  m.text = {"Ligue:", TextFormat::kAuto};
  m.pairs = {{{"um", TextFormat::kAuto}, "one"},
             {{"dois", TextFormat::kAuto}, "two"},
             {{"três", TextFormat::kAuto}, "three"}};
  bank.questions.push_back(m);
  Question d;
  d.kind = QuestionKind::kDescription;
  d.category = "top/two";
  d.text = {"Leia: {nada}", TextFormat::kAuto};
  bank.questions.push_back(d);
  // Texts that begin like a comment, a category or a format mark.
  for (const char* start : {"// not a comment", "$CATEGORY: not one", "[html] as written"}) {
    d.text.text = start;
    bank.questions.push_back(d);
  }
  return bank;
}

void ExpectSameQuestions(const QuestionBank& a, const QuestionBank& b, bool names) {
  ASSERT_EQ(a.questions.size(), b.questions.size());
  for (size_t i = 0; i < a.questions.size(); ++i) {
    Question x = a.questions[i], y = b.questions[i];
    x.line = y.line = 0;
    x.typeName = y.typeName = "";
    if (!names) x.name = y.name = "";
    if (x.kind == QuestionKind::kTrueFalse) x.answers = y.answers = {};
    EXPECT_EQ(x, y) << "question " << i << ": " << x.text.text;
  }
}

TEST(QuestionWriters, BanksComeBackAsWritten) {
  GiftFormat gift;
  MoodleXmlFormat xml;
  for (QuestionFormat* f : std::initializer_list<QuestionFormat*>{&gift, &xml}) {
    std::string bytes;
    ASSERT_TRUE(f->Write(EveryKind(), bytes)) << f->ErrorString();
    QuestionBank back = ReadWith(*f, bytes);
    // Moodle XML names every question; GIFT writes the names it has.
    ExpectSameQuestions(EveryKind(), back, f == &gift);
    EXPECT_EQ(back.comments.size(), 2u) << f->Name();
  }
}

TEST(QuestionWriters, GiftWritesATextWithSeveralGapsAsOneMissingWordPerGap) {
  Question q;
  q.kind = QuestionKind::kCloze;
  q.text.text = "The";
  q.gaps = {{{{{"cat", TextFormat::kPlain}, 100, {}}}, false},
            {{{{"mat", TextFormat::kPlain}, 100, {}}}, false}};
  q.after = {" sat on the", "."};
  GiftFormat gift;
  std::string bytes;
  ASSERT_TRUE(gift.Write({{q}, {}}, bytes));
  EXPECT_EQ(bytes, "The {\n\t=cat\n} sat on the\n\n {\n\t=mat\n} .\n\n");
  QuestionBank back = ReadWith(gift, bytes);
  ASSERT_EQ(back.questions.size(), 2u);
  EXPECT_EQ(back.questions[1].after[0], ".");
}

TEST(QuestionText, HtmlBecomesText) {
  EXPECT_EQ(HtmlToText("<p>Um &amp; <b>dois</b></p><p>tr&ecirc;s&#233;&#x41;<br/>x</p>"),
            "Um & dois\ntr&ecirc;séA\nx");
  EXPECT_EQ(HtmlToText("1 < 2 and a<b"), "1 < 2 and a<b");
  std::string out;
  EXPECT_TRUE(DecodeCommentValue(EncodeCommentValue("a--b%\r\n<é>"), out));
  EXPECT_EQ(out, "a--b%\r\n<é>");
  EXPECT_EQ(EncodeCommentValue("a--b").find("--"), std::string::npos);
  EXPECT_FALSE(DecodeCommentValue("%4", out));
}

}  // namespace
}  // namespace kio::questions
