// The Eclipse editor: tokens, given words, limits and its page.
#include <gtest/gtest.h>

#include "activities/eclipse/eclipse_dlg.h"
#include "documents/eclipse_tokens.h"
#include "editor_session.h"
#include "peak_memory.h"
#include "render/fields.h"
#include "render/markup.h"

namespace kio {
namespace {

using test::Control;
using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::Shown;
using test::W;

std::string Entries(const char* array, std::initializer_list<std::string> items) {
  std::string out;
  int i = 0;
  for (const auto& item : items)
    out += std::string(array) + "[" + std::to_string(i++) + "]='" + item + "';\r\n";
  return out;
}

// Builds the data in `build` and shows the notices of a cut list, as the
// editor does.
EclipseData BuildShown(const std::string& text, const std::string& given, PageBuild& build) {
  EclipseData d = BuildEclipseData(text, given, build, CurrentSession().UiText[1]);
  for (const Failure& notice : d.notices) ShowMessage(notice.text, notice.caption);
  return d;
}
EclipseData BuildShown(const std::string& text, const std::string& given) {
  PageBuild build;
  return BuildShown(text, given, build);
}

TEST(EclipseTokens, LettersRunTogetherEverythingElseStandsAlone) {
  EXPECT_EQ(Tokenize("O gato's dia."),
            (std::vector<std::string>{"O", " ", "gato", "'", "s", " ", "dia", "."}));
  EXPECT_EQ(Tokenize(W("ação, Ünïcode")), (std::vector<std::string>{W("ação"), ",", " ", W("Ünïcode")}));
  EXPECT_EQ(Tokenize("a1b"), (std::vector<std::string>{"a", "1", "b"}));
  EXPECT_EQ(Tokenize(""), std::vector<std::string>{});
}

TEST(EclipseData, TokensAndGivenWords) {
  test::HeadlessSession quiet;
  struct Case {
    std::string text, given, tokens, givenEntries;
  } cases[] = {
      {"O gato's dia.", "", Entries("palavras", {"O", " ", "gato", "\\'", "s", " ", "dia", "."}),
       Entries("PalavrasDadas", {"br"})},
      {"cat", "cat, dog; bird", Entries("palavras", {"cat"}),
       Entries("PalavrasDadas", {"br", "cat", "dog", "bird"})},
      {"a\r\nb", "", Entries("palavras", {"a", "<", "br", ">", "b"}), Entries("PalavrasDadas", {"br"})},
      {"{i=a.jpg} x", "",
       Entries("palavras", {"<", "img", " ",      "src", "=",   "\\'", "a",   ".", "jpg", "\\'",
                            " ", " ",   "border", "=",   "\\'", "0",   "\\'", ">", " ",   "x"}),
       // The picture is collected as a replacement and again as a tag when
       // the scan passes over it.
       Entries("PalavrasDadas",
               {"img", "src", "a", "jpg", "border", "img", "src", "a", "jpg", "border", "br"})},
      {"<b>a</b> c:\\d", "",
       Entries("palavras", {"<", "b", ">", "a", "<", "/", "b", ">", " ", "c", ":", "\\\\", "d"}),
       Entries("PalavrasDadas", {"b", "b", "br"})},
  };
  for (const auto& c : cases) {
    EclipseData d = BuildShown(c.text, c.given);
    EXPECT_EQ(d.tokens, c.tokens) << c.text;
    EXPECT_EQ(d.given, c.givenEntries) << c.text;
  }
  EXPECT_EQ(quiet.transcript(), "");
}

TEST(EclipseData, LongListsAreCutAtFiveThousandEntries) {
  CurrentSession().UiText[1] = "KIO";
  std::string text, given;
  for (int i = 0; i < 2600; ++i) text += "w ";  // 5,200 tokens
  for (int i = 0; i < 5100; ++i) given += "g ";
  test::HeadlessSession session;
  EclipseData d = BuildShown(text, given);
  EXPECT_TRUE(d.textCut);
  EXPECT_TRUE(d.givenCut);
  EXPECT_NE(d.tokens.find("palavras[4999]="), std::string::npos);
  EXPECT_EQ(d.tokens.find("palavras[5000]="), std::string::npos);
  EXPECT_NE(d.given.find("PalavrasDadas[4999]="), std::string::npos);
  EXPECT_EQ(d.given.find("PalavrasDadas[5000]="), std::string::npos);
  EXPECT_EQ(session.transcript(),
            "MESSAGE KIO | Limite de texto ultrapassado. Apenas uma parte será processada.\n"
            "MESSAGE KIO | Limite de dados ultrapassado. Apenas uma parte será processada.\n");
}

// Pictures within the editor's limit whose tags the rendering collects again
// after every code: the collection stops once it holds the 5,000 words the
// page reads, so the data is made and the memory stays bounded (the
// collection once grew to gigabytes, then stopped such texts at its limit).
TEST(EclipseData, ManyCodesWithinTheLimitMakeTheirData) {
  std::string text;
  for (int i = 0; i < 2499; ++i) text += "{i=ab}";
  auto run = test::RunInChild([&] {
    CurrentSession().UiText[1] = "KIO";
    test::HeadlessSession quiet;
    PageBuild build;
    EclipseData d = BuildShown(text, "", build);
    return !d.tokens.empty() && d.givenCut && d.given.find("PalavrasDadas[4999]='") != std::string::npos &&
           !build.workLimitReached;
  });
  EXPECT_TRUE(run.ok);
  EXPECT_LT(run.peakBytes, 120 * test::kMiB * test::kMemoryScale);
}

// The given words are the first 5,000 words of the whole collection.
TEST(EclipseData, GivenWordsAreTheStartOfTheWholeCollection) {
  CurrentSession().UiText[1] = "KIO";
  test::HeadlessSession quiet;
  std::string text;
  for (int i = 0; i < 400; ++i) text += "<b>word</b> {i=p" + std::to_string(i) + ".gif} <i>x</i> ";
  std::string whole = text;
  PageBuild wholeBuild;
  ASSERT_TRUE(RenderMarkup(whole, wholeBuild));
  std::string expected;
  int j = 0;
  ForEachToken(wholeBuild.collectedMarkup, [&](const std::string& token) {
    if (!IsLetter(token[0])) return true;
    expected += "PalavrasDadas[" + std::to_string(j) + "]='" + token + "';\r\n";
    return ++j < kEclipseMaxEntries;
  });
  ASSERT_EQ(j, kEclipseMaxEntries);  // the whole collection holds more
  EXPECT_EQ(BuildShown(text, "given").given, expected);
}

TEST(EclipseEditor, SavesThreeFieldsAndGeneratesItsPage) {
  EditorSession s;
  std::string doc = (s / "eclipse.ecl").string();
  std::string t = s.Run<CEclipseDlg>(
      "type 1401 Find the words.\ntype 1402 O gato.\ntype 1407 o\n"
      "press 1423\nchoose " +
      doc + "\npress 1425\nchoose " + (s / "e.htm").string() + "\nanswer No\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.startFolder + "*.ecl | *.ecl|| | ecl\n"))
      << t;
  EXPECT_TRUE(Has(t, "END KIO Eclipse\n")) << t;
  std::string bytes = ReadFile(doc);
  EXPECT_EQ(bytes.substr(bytes.size() - 35),
            EncodeText("Find the words.") + EncodeText("O gato.") + EncodeText("o"));
  std::string page = ReadFile(s / "e.htm");
  EXPECT_NE(page.find("var instrucoes='Find the words.';\n//INICIA DADOS\n ok" +
                      Entries("palavras", {"O", " ", "gato", "."}) + Entries("PalavrasDadas", {"br", "o"}) +
                      ".\n//TERMINA DADOS\n"),
            std::string::npos)
      << page;

  t = s.Run<CEclipseDlg>("press 1422\nchoose " + doc + "\ndump\nescape\n");
  EXPECT_TRUE(Has(t, "CONTROL 1402 O gato.\nCONTROL 1403 ")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1407 o\n")) << t;
  EXPECT_TRUE(Has(t, "END KIO Eclipse\n")) << t;
}

TEST(EclipseEditor, HelpFollowsTheButtonsAndTheFocus) {
  EditorSession s;
  test::ExpectHelpPanel<CEclipseDlg>(s, {
                                            {"", "eclipse_tips.rtf"},
                                            {"press 1411\n", "eclipse_instru.rtf"},
                                            {"press 1412\n", "eclipse_text.rtf"},
                                            {"press 1417\n", "eclipse_dadas.rtf"},
                                            {"press 1413\n", "mensagem_final.rtf"},
                                            {"press 1411\npress 1420\n", "eclipse_tips.rtf"},
                                            {"focus 1401\n", "eclipse_instru.rtf"},
                                            {"focus 1402\n", "eclipse_text.rtf"},
                                            {"focus 1407\n", "eclipse_dadas.rtf"},
                                            {"focus 1403\n", "mensagem_final.rtf"},
                                        });
}

TEST(EclipseEditor, NewEmptiesTheGivenWordsAndEmptyTextIsRefused) {
  EditorSession s;
  std::string t = s.Run<CEclipseDlg>("type 1407 dog\npress 1425\npress 1421\nanswer No\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, test::OopsMessage(CurrentSession().UiText[32]))) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1407 \n")) << t;
}

}  // namespace
}  // namespace kio
