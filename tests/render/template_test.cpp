// Template filling: the frame geometry, the colour cleaning, the placeholder
// rows in their order, the cut at the data markers, the escaping of script
// texts, and the page written through the file chooser.
#include <gtest/gtest.h>

#include <filesystem>

#include "peak_memory.h"
#include "render_state.h"

namespace kio {
namespace {

using test::OopsMessage;
using test::RenderTest;

class TemplateTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    std::filesystem::create_directory(program_ / "Tmplates");
  }
  void Template(const std::string& text, const std::string& name = "tmplate_t.htm") {
    test::WriteFile(program_ / "Tmplates" / name, text);
  }
  // Fills `text` as a template in a context made from the session's
  // settings and completion message (build_); returns the page.
  std::string Fill(const std::string& text, const std::string& instructions = "instr") {
    Template(text);
    return FillAs({"tmplate_t.htm", instructions, "page.htm", itemCount_});
  }
  // Fills a template as the page generation does, showing what stopped it;
  // `page_` keeps the last page filled.
  std::string FillAs(const FillInputs& inputs) {
    build_ = SessionPageBuild();
    std::string page = page_;
    if (auto failure = FillTemplate(inputs, build_, page)) {
      ShowMessage(failure->text, failure->caption);
      return page_;
    }
    return page_ = page;
  }
  std::string itemCount_;  // what the list editors pass as their item count
  PageBuild build_;
  std::string page_;
};

TEST_F(TemplateTest, FrameGeometryFollowsTheSplits) {
  const std::string numbers = "170 180 190 600 610 81 399 1810";
  struct Case {
    std::string cols, rows, page;
  } cases[] = {
      {"25%,*", "20%,*", "200 210 220 570 580 80 400 1800"},
      // A full-width first frame has its own pair.
      {"100%,*", "20%,*", "780 790 820 -30 -20 80 400 1800"},
      // Each step changes the numbers an earlier step wrote.
      {"75%,*", "30%,*", "170 180 620 170 180 120 360 11200"},
      {"40%", "10%,*", "320 330 340 450 460 40 440 1400"},
  };
  for (const auto& c : cases) {
    CurrentSession().pageSettings.frameCols = c.cols;
    CurrentSession().pageSettings.frameRows = c.rows;
    EXPECT_EQ(Fill(numbers), c.page) << c.cols << " " << c.rows;
  }
}

TEST_F(TemplateTest, EveryPlaceholderHasItsValue) {
  PageSettings& p = CurrentSession().pageSettings;
  const int student[] = {12, 8,  9,  5,  6,  10, 25, 15, 17, 18, 19, 20,
                         22, 27, 28, 21, 29, 26, 30, 31, 32, 33, 7,  11};
  for (int k : student) StudentText(k) = '[' + std::to_string(k) + ']';
  CurrentSession().completionMessage = "[end]";
  p.background1 = "[b1]";
  p.background2 = "[b2]";
  p.background3 = "[b3]";
  p.boxColor = "[box]";
  p.fontColor1 = "[c1]";
  p.fontColor2 = "[c2]";
  p.fontColor3 = "[c3]";
  p.fontFace1 = "[f1]";
  p.fontFace2 = "[f2]";
  p.fontFace3 = "[f3]";
  p.fontSize1 = "[s1]";
  p.fontSize2 = "[s2]";
  p.fontSize3 = "[s3]";
  itemCount_ = "[n]";
  const std::string page = Fill(
      "i_n_s_t_r_u|t_i_t_l_e|RESPOSTA(S):|Clique em Avanca para continuar|f_i_m|Atividade concluida|"
      "p_e_r_f_o_r_m_a_n_c_e|f_i_l_e|p_e_r_g_u_n_t_a_s:|s_e_g_m_e_n_t_s|d_o_n_e|r_i_g_h_t|d_a_t_e|t_i_m_e|"
      "d_e_t_a_i_l_s|f_r_e_e|t_r_i_a_l_s|a_c_e_r_t_o_u|a_s_k_n_u_m|s_e_n_d|En_via|i_f_o_n_l_i_n_e|p_r_i_n_t|"
      "n_a_m_e|#474792|#FFFFCC|#CAC5E4|#000001|#000002|#FFFFFD|Verdana|Arial|Helvetica|13pt|14pt|12pt|"
      "w_o_r_d_s:|t_y_p_e|Escreva_menor|#F0E8F0|2     ;|var Total = 5;|" +
          std::string(kTemplateResultsAddress),
      "INSTR");
  EXPECT_EQ(
      page,
      "INSTR|page.htm|[12]|[8]|[9]|[end]|[5]|[6]|[10]|[25]|[15]|[17]|[18]|[19]|[20]|[22]|[27]|[28]|[21]|[29]|"
      "[26]|[30]|[31]|[32]|[b3]|[b2]|[b1]|[c1]|[c2]|[c3]|[f1]|[f2]|[f3]|[s1]|[s2]|[s3]|[33]|[7]|[11]|[box]|"
      "[n]||https://school.example/results.php");
}

// Each row works on what the rows before it wrote: with every value set to
// the next row's placeholder, one placeholder runs down the whole table.
TEST_F(TemplateTest, PlaceholderRowsRunInTheirOrder) {
  PageSettings& p = CurrentSession().pageSettings;
  const std::pair<std::string*, const char*> chain[] = {
      {&StudentText(12), "Clique em Avanca para continuar"},
      {&StudentText(8), "f_i_m"},
      {&StudentText(9), "Atividade concluida"},
      {&CurrentSession().completionMessage, "p_e_r_f_o_r_m_a_n_c_e"},
      {&StudentText(5), "f_i_l_e"},
      {&StudentText(6), "p_e_r_g_u_n_t_a_s:"},
      {&StudentText(10), "s_e_g_m_e_n_t_s"},
      {&StudentText(25), "d_o_n_e"},
      {&StudentText(15), "r_i_g_h_t"},
      {&StudentText(17), "d_a_t_e"},
      {&StudentText(18), "t_i_m_e"},
      {&StudentText(19), "d_e_t_a_i_l_s"},
      {&StudentText(20), "f_r_e_e"},
      {&StudentText(22), "t_r_i_a_l_s"},
      {&StudentText(27), "a_c_e_r_t_o_u"},
      {&StudentText(28), "a_s_k_n_u_m"},
      {&StudentText(21), "s_e_n_d"},
      {&StudentText(29), "En_via"},
      {&StudentText(26), "i_f_o_n_l_i_n_e"},
      {&StudentText(30), "p_r_i_n_t"},
      {&StudentText(31), "n_a_m_e"},
      {&StudentText(32), "#474792"},
      {&p.background3, "#FFFFCC"},
      {&p.background2, "#CAC5E4"},
      {&p.background1, "#000001"},
      {&p.fontColor1, "#000002"},
      {&p.fontColor2, "#FFFFFD"},
      {&p.fontColor3, "Verdana"},
      {&p.fontFace1, "Arial"},
      {&p.fontFace2, "Helvetica"},
      {&p.fontFace3, "13pt"},
      {&p.fontSize1, "14pt"},
      {&p.fontSize2, "12pt"},
      {&p.fontSize3, "w_o_r_d_s:"},
      {&StudentText(33), "t_y_p_e"},
      {&StudentText(7), "Escreva_menor"},
      {&StudentText(11), "#F0E8F0"},
      {&p.boxColor, "2     ;"},
      {&itemCount_, kTemplateResultsAddress},
  };
  for (const auto& [field, value] : chain) *field = value;
  CurrentSession().appPaths.resultsAddress = "END";
  // The instructions and the title go in after the geometry and before the
  // rows.
  EXPECT_EQ(Fill("170 i_n_s_t_r_u RESPOSTA(S):", "170 RESPOSTA(S):"), "200 170 END END");
}

TEST_F(TemplateTest, SecondRoundOfBackgrounds) {
  PageSettings& p = CurrentSession().pageSettings;
  p.background1 = "#474792";
  p.background3 = "third";
  EXPECT_EQ(Fill("#CAC5E4"), "third");
  // A third background of "#FFFFCC" is turned into the second.
  p.background3 = "#FFFFCC";
  p.background2 = "second";
  p.background1 = "first";
  EXPECT_EQ(Fill("#474792"), "second");
}

TEST_F(TemplateTest, StoredColourFormsReachThePageBare) {
  PageSettings& p = CurrentSession().pageSettings;
  p.background1 = "body bgcolor=\"#112233\"";
  p.background2 = "body bgcolor='#FFFFFF'";
  p.background3 = "'#445566'";
  p.boxColor = "bgcolor='#778899'";
  EXPECT_EQ(Fill("#CAC5E4|#FFFFCC|#474792|#F0E8F0"), "#112233|#FFFFFF|#445566|#778899");
  // The page's stored values change too.
  const PageSettings& built = build_.settings;
  EXPECT_EQ(built.background1 + built.background2 + built.background3 + built.boxColor,
            "#112233#FFFFFF#445566#778899");
  p.boxColor = "body bgcolor=\"#ABCDEF\"";
  EXPECT_EQ(Fill("#F0E8F0"), "#ABCDEF");
}

TEST_F(TemplateTest, PageLanguageFromTheStudentLanguageFile) {
  for (const auto& [file, tag] : {std::pair{"espanol.stu", "es"}, {"minha_turma.stu", "und"}}) {
    CurrentSession().appPaths.studentLanguageFile = file;
    EXPECT_EQ(Fill("<html lang=\"l_a_n_g\">"), std::string("<html lang=\"") + tag + "\">") << file;
  }
}

TEST_F(TemplateTest, CompletionMessageLineBreaks) {
  CurrentSession().completionMessage = "Muito bem!\r\nFim.";
  EXPECT_EQ(Fill("<p>Atividade concluida</p>"), "<p>Muito bem! <br> Fim.</p>");
  // The teacher's message itself keeps its line breaks.
  EXPECT_EQ(CurrentSession().completionMessage, "Muito bem!\r\nFim.");
  EXPECT_EQ(build_.completionMessage, "Muito bem!\r\nFim.");
}

// The page's file name is HTML text where it lands (title and heading): a
// name that is markup shows as itself; a plain name is unchanged.
TEST_F(TemplateTest, TheFileNameIsEscapedAsText) {
  Template("<title>t_i_t_l_e</title><h1>t_i_t_l_e</h1>");
  EXPECT_EQ(FillAs({"tmplate_t.htm", "i", "<img src=x onerror=alert(1)>&.htm", ""}),
            "<title>&lt;img src=x onerror=alert(1)&gt;&amp;.htm</title><h1>&lt;img src=x "
            "onerror=alert(1)&gt;&amp;.htm</h1>");
  EXPECT_EQ(FillAs({"tmplate_t.htm", "i", "it's page.htm", ""}),
            "<title>it's page.htm</title><h1>it's page.htm</h1>");
}

TEST_F(TemplateTest, TemplatesThatCannotBeUsedStopTheGeneration) {
  test::HeadlessSession session;
  page_ = "previous page";
  // Missing.
  EXPECT_EQ(FillAs({"tmplate_none.htm", "", "page.htm", ""}), "previous page");
  // Unreadable: a folder of that name.
  std::filesystem::create_directory(program_ / "Tmplates" / "tmplate_dir.htm");
  EXPECT_EQ(FillAs({"tmplate_dir.htm", "", "page.htm", ""}), "previous page");
  // Longer than 40,003 bytes.
  Template(std::string(40004, 'x'));
  EXPECT_EQ(FillAs({"tmplate_t.htm", "", "page.htm", ""}), "previous page");
  const std::string message = OopsMessage(Win1252("Modelo da página não encontrado!"));
  EXPECT_EQ(session.transcript(), message + message + message);

  // 40,003 bytes are taken whole.
  const std::string largest = "t_i_t_l_e" + std::string(40003 - 18, 'x') + "t_i_t_l_e";
  EXPECT_EQ(Fill(largest), "page.htm" + std::string(40003 - 18, 'x') + "page.htm");
  EXPECT_EQ(session.transcript(), message + message + message);
}

TEST_F(TemplateTest, PageIsCutAtTheDataMarkers) {
  struct Case {
    std::string page;
    std::optional<std::string> result;
  } cases[] = {
      // The start marker keeps the four characters after it, the end
      // marker the two before it.
      {"head\n/* //INICIA DADOS */\nold = 1;\r\n//TERMINA DADOS\ntail",
       "head\n/* //INICIA DADOS */\nDATA\r\n//TERMINA DADOS\ntail"},
      {"//INICIA DADOS1234//TERMINA DADOS", "//INICIA DADOS1234DATA34//TERMINA DADOS"},
      // Markers close together: the characters both keep appear twice.
      {"//INICIA DADOS\n\n\n//TERMINA DADOS", "//INICIA DADOS\n\n\n/DATA\n\n//TERMINA DADOS"},
      // Only the first of each marker counts.
      {"//INICIA DADOS....//TERMINA DADOS //INICIA DADOS....//TERMINA DADOS",
       "//INICIA DADOS....DATA..//TERMINA DADOS //INICIA DADOS....//TERMINA DADOS"},
      // Markers in the other order: each piece stops at the page's ends.
      {"//TERMINA DADOS//INICIA DADOS", "//TERMINA DADOS//INICIA DADOSDATA//TERMINA DADOS//INICIA DADOS"},
      {"no markers", std::nullopt},
      {"//INICIA DADOS only the start", std::nullopt},
      {"only the end //TERMINA DADOS", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CutAtMarkers(c.page, "DATA"), c.result) << c.page;
}

TEST_F(TemplateTest, ScriptTextEscaping) {
  struct Case {
    std::string text, escaped;
  } cases[] = {
      {"plain", "plain"},
      {"it's", "it\\'s"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"c:\\dir", "c:\\\\dir"},
      {"one\r\ntwo", "one <br> two"},
      // Backslashes are doubled before the quotes get theirs.
      {"\\'", "\\\\\\'"},
      {"\\\"", "\\\\\\\""},
      {"a\r\n\r\nb", "a <br>  <br> b"},
  };
  for (auto c : cases) {
    std::string text = c.text;
    EscapeScriptText(text);
    EXPECT_EQ(text, c.escaped) << c.text;
  }
}

class WritePageTest : public TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    CurrentSession().UiText[1] = "KIO";
    CurrentSession().UiText[178] = test::W("O nome tem caracteres especiais. Continuar?");
    Template(kTemplate);
  }
  std::optional<std::string> Write(const std::string& script, const PageRequest& request) {
    test::HeadlessSession session(script);
    PageBuild build = SessionPageBuild();
    auto written = WritePage(request, build);
    transcript_ = session.transcript();
    return written;
  }
  std::string Chooser() const {
    return "CHOOSE save | " + CurrentSession().appPaths.documentsFolder + "*.htm | *.htm|| | htm\n";
  }
  std::string Page(const std::string& name) const { return test::ReadFile(docs_ / name); }
  // The page of kTemplate and request_ under the file name `name`.
  static std::string Expected(const std::string& name) {
    return "<title>" + name +
           "</title>\n"
           "<script>\nvar instrucoes='*';\n"
           "//INICIA DADOS\n okpalavras[0]='x';\r\n"
           "a\n//TERMINA DADOS\n"
           "</script>\n<p style='width:200px'>Bravo!</p>\n";
  }

  static constexpr const char* kTemplate =
      "<title>t_i_t_l_e</title>\n"
      "<script>\nvar instrucoes='i_n_s_t_r_u';\n"
      "//INICIA DADOS\n ok\nold data\n//TERMINA DADOS\n"
      "</script>\n<p style='width:170px'>Atividade concluida</p>\n";
  const PageRequest request_ = [] {
    PageRequest r;
    r.templateName = "tmplate_t.htm";
    r.completionField = "Bravo!";
    r.data = "palavras[0]='x';\r\n";
    return r;
  }();
  std::string transcript_;
};

TEST_F(WritePageTest, WritesThePageUnderTheChosenName) {
  auto written = Write("choose " + (docs_ / "Cloze_01.htm").string() + "\n", request_);
  EXPECT_EQ(transcript_, Chooser());
  // The page file has exactly the chosen name, its title the lower-cased
  // one; the page is the one to offer to the browser.
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, (docs_ / "Cloze_01.htm").string());
  EXPECT_EQ(Page("Cloze_01.htm"), Expected("cloze_01.htm"));
  EXPECT_FALSE(std::filesystem::exists(docs_ / "cloze_01.htm"));
}

TEST_F(WritePageTest, InstructionsAndMessageAreRenderedAndCut) {
  PageRequest request = request_;
  request.instructions = "It's {b.fon}x{/b.fon}\r\n\"ok\"";
  request.completionField = "Bravo {i=a.gif}\r\nFim";
  CurrentSession().completionMessage = request.completionField;
  ASSERT_TRUE(Write("choose " + (docs_ / "p.htm").string() + "\n", request));
  const std::string page = Page("p.htm");
  EXPECT_NE(page.find("var instrucoes='It\\'s <b>x</b> <br> \\\"ok\\\"';"), std::string::npos) << page;
  EXPECT_NE(page.find("<p style='width:200px'>Bravo <img src='a.gif'  border='0'> <br> Fim</p>"),
            std::string::npos)
      << page;
  // The teacher's message stays the teacher's text once the page is built.
  EXPECT_EQ(CurrentSession().completionMessage, "Bravo {i=a.gif}\r\nFim");

  request.instructions = std::string(15000, 'i');
  request.completionField = std::string(1500, 'm');
  ASSERT_TRUE(Write("choose " + (docs_ / "p.htm").string() + "\n", request));
  const std::string cut = Page("p.htm");
  EXPECT_NE(cut.find("'" + std::string(14999, 'i') + "'"), std::string::npos);
  EXPECT_NE(cut.find(">" + std::string(1499, 'm') + "<"), std::string::npos);
}

TEST_F(WritePageTest, AnOldPageIsReplacedWhole) {
  test::WriteFile(docs_ / "old.htm", std::string(5000, 'o'));
  ASSERT_TRUE(Write("choose " + (docs_ / "old.htm").string() + "\n", request_));
  EXPECT_EQ(Page("old.htm"), Expected("old.htm"));
}

TEST_F(WritePageTest, NothingIsWrittenWhenTheTeacherStops) {
  EXPECT_FALSE(Write("choose cancel\n", request_));
  EXPECT_EQ(transcript_, Chooser());

  // A name with a blank asks first.
  const std::string question = "MESSAGE KIO | " + test::Shown(CurrentSession().UiText[178]) + "\n";
  EXPECT_FALSE(Write("choose " + (docs_ / "my page.htm").string() + "\nanswer No\n", request_));
  EXPECT_EQ(transcript_, Chooser() + question);
  EXPECT_FALSE(std::filesystem::exists(docs_ / "my page.htm"));
  EXPECT_TRUE(Write("choose " + (docs_ / "my page.htm").string() + "\nanswer Yes\n", request_));
  EXPECT_TRUE(std::filesystem::exists(docs_ / "my page.htm"));
}

TEST_F(WritePageTest, NoPageFromAMissingOrUnmarkedTemplate) {
  PageRequest request = request_;
  request.completionField = "Final";
  CurrentSession().completionMessage = request.completionField;
  request.templateName = "tmplate_missing.htm";
  EXPECT_FALSE(Write("choose " + (docs_ / "a.htm").string() + "\n", request));
  EXPECT_EQ(transcript_, Chooser() + OopsMessage(Win1252("Modelo da página não encontrado!")));
  EXPECT_FALSE(std::filesystem::exists(docs_ / "a.htm"));
  EXPECT_EQ(CurrentSession().completionMessage, "Final");

  Template("<p>no markers</p>");
  EXPECT_FALSE(Write("choose " + (docs_ / "b.htm").string() + "\n", request_));
  EXPECT_EQ(transcript_,
            Chooser() + OopsMessage(Win1252("O modelo da página não tem as marcas dos dados: a página não "
                                            "foi gerada.")));
  EXPECT_FALSE(std::filesystem::exists(docs_ / "b.htm"));
}

}  // namespace
// The editor's own steps: its check of the chosen page stops before
// anything is written, its report replaces the shared one, and its
// after-step runs once the page is there.
TEST_F(WritePageTest, TheEditorsStepsRunInTheirPlaces) {
  PageRequest request = request_;
  std::string checked, after;
  request.check = [&](const PageTarget& t) {
    checked = t.fileName;
    return t.fileName != "refused.htm";
  };
  request.after = [&](const PageTarget& t) { after = t.chosenPath; };
  EXPECT_FALSE(Write("choose " + (docs_ / "Refused.htm").string() + "\n", request));
  EXPECT_EQ(checked, "refused.htm");
  EXPECT_FALSE(std::filesystem::exists(docs_ / "refused.htm"));
  EXPECT_EQ(after, "");

  ASSERT_TRUE(Write("choose " + (docs_ / "fine.htm").string() + "\n", request));
  EXPECT_EQ(after, (docs_ / "fine.htm").string());

  // A page that cannot be written (the disk fills up, here a file-size
  // limit in a child process): the editor's report, nothing after, and no
  // file left behind.
  auto run = test::RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    int reported = 0;
    request.reportError = [&](int cause) { reported = cause; };
    after.clear();
    return !Write("choose " + (docs_ / "taken.htm").string() + "\n", request) && reported == kDiskFull &&
           after.empty();
  });
  EXPECT_TRUE(run.ok);
  EXPECT_FALSE(std::filesystem::exists(docs_ / "taken.htm"));
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(docs_.path())) left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"fine.htm"});
}

TEST_F(TemplateTest, AssembledPagesRenderCopiesOfTheTeachersTexts) {
  const std::string heading = "{b.fon}Unit 1{/b.fon}\r\nVerbs";
  PageBuild build;
  PageAssembler page(build);
  page.Add("<h1>").AddRendered(heading).Add("</h1>");
  EXPECT_EQ(page.Text(), "<h1><b>Unit 1</b> <br> Verbs</h1>");
  EXPECT_EQ(heading, "{b.fon}Unit 1{/b.fon}\r\nVerbs");
}

}  // namespace kio
