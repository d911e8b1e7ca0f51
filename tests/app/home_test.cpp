// The home screen driven through the real program and its headless driver.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_dlg.h"
#include "kio_test.h"
#include "program_folder.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Control;
using test::Has;
using test::ProgramFolder;
using test::ReadFile;
using test::RunKio;
using test::WriteFile;

TEST(HomeScreen, ExitAsksAndNoKeepsTheWindow) {
  ProgramFolder folder;
  auto run = RunKio(folder.str(), "press 2\nanswer No\nescape\nanswer No\npress Voltar\nanswer Yes\n");
  EXPECT_EQ(run.status, 0);
  std::string question = "MESSAGE KIO | Deseja mesmo sair do KIO?\n";
  EXPECT_EQ(run.transcript, "DIALOG KIO\n" + question + question + question + "END KIO\nEXIT 0\n");
}

TEST(HomeScreen, EnterStartsEclipseAndTheEditorButtonsStartTheirEditors) {
  ProgramFolder folder;
  auto run =
      RunKio(folder.str(),
             "enter\nescape\npress 1009\nescape\npress 1140\nescape\npress 1071\nescape\npress 1018\nescape\n"
             "press 1017\nescape\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(
      Has(run.transcript,
          "DIALOG KIO\nDIALOG KIO Eclipse\nEND KIO Eclipse\nDIALOG KIO Cloze\nEND KIO Cloze\n"
          "DIALOG KIO Sweet Memories\nEND KIO Sweet Memories\nDIALOG KIO Sequence\nEND KIO Sequence\n"
          "DIALOG The Multiple KIO\nEND The Multiple KIO\nDIALOG KIO Dialogical\nEND KIO Dialogical\n"))
      << run.transcript;
}

TEST(HomeScreen, EveryHelpButtonShowsItsTextInTheLeftPanel) {
  std::pair<int, const char*> buttons[] = {
      {1228, "lingua_aluno.rtf"},  {1230, "lingua_pro.rtf"},     {1229, "dicionario_intro.rtf"},
      {1226, "eclipse_intro.rtf"}, {1227, "cloze_intro.rtf"},    {1222, "sequencia_intro.rtf"},
      {1225, "memoria_intro.rtf"}, {1221, "multipla_intro.rtf"}, {1220, "dialogica_intro.rtf"},
      {1216, "basica_intro.rtf"},  {1215, "lexical_intro.rtf"},  {1267, "menu_intro.rtf"},
      {1219, "index_intro.rtf"},   {1302, "output_new.rtf"},     {1291, "aju_pro.rtf"},
      {1223, "configura.rtf"},     {1231, "inicial.rtf"},        {1224, "fecha.rtf"},
  };
  ProgramFolder folder;
  std::string script;
  for (auto [id, file] : buttons) script += "press " + std::to_string(id) + "\ndump\n";
  script += "press Produtividade\ndump\npress 1244\ndump\n";
  auto run = RunKio(folder.str(), script);
  // Each dump follows one press: walk them in order.
  size_t at = 0;
  auto nextPanel = [&](int id) {
    std::string key = "CONTROL " + std::to_string(id) + " ";
    size_t p = run.transcript.find(key, at);
    size_t e = run.transcript.find('\n', p);
    at = e;
    return run.transcript.substr(p + key.size(), e - p - key.size());
  };
  for (auto [id, file] : buttons) {
    EXPECT_EQ(nextPanel(1202), std::string("{\\\\rtf1 instru_por/") + file + "}") << id;
  }
  EXPECT_EQ(nextPanel(1202), "{\\\\rtf1 instru_por/dicas.rtf}");
  EXPECT_EQ(nextPanel(1201), "{\\\\rtf1 instru_por/abertura.rtf}");
  EXPECT_EQ(nextPanel(1202), "{\\\\rtf1 instru_por/help_inicial.rtf}");
}

TEST(HomeScreen, SetupShowsTheAddressAndAbout) {
  ProgramFolder folder;
  WriteFile(folder / "Configura.txt", "http://192.168.0.10:8765/kio/results");
  auto run = RunKio(folder.str(), "press 1268\ndump\nmenu 16\npress OK\n");
  EXPECT_TRUE(Has(run.transcript,
                  "MESSAGE KIO | Endereço para envio dos resultados: "
                  "http://192.168.0.10:8765/kio/results\n"))
      << run.transcript;
  EXPECT_EQ(Control(run.transcript, 1202), "{\\\\rtf1 instru_por/configura.rtf}");
  EXPECT_TRUE(Has(run.transcript, "DIALOG About Kio\nEND About Kio\nEXIT 0\n"));
}

// While the results address is the one KIO comes with, Setup says that
// results are lost and how to get a real address, in the teacher's
// language, naming this program folder.
TEST(HomeScreen, SetupExplainsAnExampleAddress) {
  for (const char* language : {"portugues.lin", "english.lin"}) {
    ProgramFolder folder;
    WriteFile(folder / "language.dat", language);
    WriteFile(folder / "Configura.txt", "http://results.example.org/cgi-bin/kio_results.pl");
    auto run = RunKio(folder.str(), "press 1268\n");
    const bool english = std::string(language) == "english.lin";
    EXPECT_TRUE(Has(run.transcript, "kio-results --configure \"" + folder.str() + "/\"")) << run.transcript;
    EXPECT_EQ(Has(run.transcript, "This is still the example address"), english) << run.transcript;
    EXPECT_EQ(Has(run.transcript, "Este ainda é o endereço de exemplo"), !english) << run.transcript;
  }
  struct Case {
    const char* address;
    bool example;
  };
  for (const Case& c : {Case{"http://results.example.org/x", true}, Case{"https://EXAMPLE.com", true},
                        Case{"http://school.example/r.cgi", true}, Case{"", true},
                        Case{"http://192.168.0.10:8765/kio/results", false},
                        Case{"https://kio.school.edu/results", false}, Case{"http://myexample.org/", false}})
    EXPECT_EQ(IsExampleAddress(c.address), c.example) << c.address;
}

// KIO has no home page yet: Download is left out rather than open an
// address that leads nowhere.
TEST(HomeScreen, DownloadIsHiddenWithoutAHomePage) {
  ProgramFolder folder;
  auto run = RunKio(folder.str(), "dump\n");
  EXPECT_EQ(std::string(kProjectHomePage), "");
  EXPECT_EQ(Control(run.transcript, 1279), "<absent>");
  EXPECT_EQ(Control(run.transcript, 1280), "<absent>");
  EXPECT_FALSE(Has(run.transcript, "OPEN")) << run.transcript;
}

TEST(HomeScreen, OpeningTextFallsBackToRecord20) {
  ProgramFolder folder;
  fs::remove(folder / "instru_por" / "abertura.rtf");
  auto run = RunKio(folder.str(), "dump\n");
  EXPECT_TRUE(Has(run.transcript, "MESSAGE Oops! | Output language not found."));
  EXPECT_EQ(Control(run.transcript, 1201), "Bem-vindo ao KIO.");
}

TEST(LanguageChoosers, ChangeTheConfigurationAndRelabel) {
  ProgramFolder folder;
  auto run =
      RunKio(folder.str(),
             "press 1117\nchoose english.lin\ndump\npress 1265\nchoose english.stu\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0);
  std::string initial = folder.str() + "/*.lin";
  EXPECT_TRUE(Has(run.transcript, "CHOOSE open | " + initial + " | *.lin|| | lin\n")) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "CHOOSE open | " + folder.str() + "/*.stu | *.stu|| | stu\n"));
  EXPECT_EQ(ReadFile(folder / "language.dat"), "english.lin");
  EXPECT_EQ(ReadFile(folder / "lingualu.dat"), "english.stu");
  EXPECT_EQ(Control(run.transcript, 2), "&Return");
  EXPECT_EQ(Control(run.transcript, 1009), "&Cloze");
  EXPECT_EQ(Control(run.transcript, 1006), "&Dictionary");
  EXPECT_EQ(Control(run.transcript, 1117), "I&nput");  // keeps its resource label
  EXPECT_EQ(Control(run.transcript, 1201), "{\\\\rtf1 instru_eng/abertura.rtf}");
  EXPECT_TRUE(Has(run.transcript, "MESSAGE KIO | Do you really want to leave KIO?"));
}

TEST(LanguageChoosers, CancelChangesNothing) {
  ProgramFolder folder;
  auto run = RunKio(folder.str(), "press 1117\nchoose cancel\npress 1265\nchoose cancel\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "| *.lin|| | lin\nCHOOSE open | " + folder.str() + "/*.stu"))
      << run.transcript;
  EXPECT_FALSE(Has(run.transcript, "MESSAGE")) << run.transcript;
  EXPECT_EQ(ReadFile(folder / "language.dat"), "portugues.lin");
  EXPECT_EQ(ReadFile(folder / "lingualu.dat"), "portugues.stu");
}

// A language file elsewhere (a download, say) is refused with a message;
// the program goes on in its languages and writes nothing anywhere.
TEST(LanguageChoosers, AFileOutsideTheProgramFolderIsRefused) {
  ProgramFolder folder;
  test::TempDir elsewhere;
  fs::copy(folder / "english.lin", elsewhere / "english.lin");
  fs::copy(folder / "english.stu", elsewhere / "english.stu");
  auto run = RunKio(folder.str(), "press 1117\nchoose " + (elsewhere / "english.lin").string() +
                                      "\npress 1265\nchoose " + (elsewhere / "english.stu").string() +
                                      "\ndump\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "MESSAGE Oops! | O arquivo de idioma precisa estar na pasta do programa"))
      << run.transcript;
  EXPECT_FALSE(Has(run.transcript, "Aparentemente")) << run.transcript;
  EXPECT_EQ(ReadFile(folder / "language.dat"), "portugues.lin");
  EXPECT_EQ(ReadFile(folder / "lingualu.dat"), "portugues.stu");
  EXPECT_FALSE(fs::exists(elsewhere / "language.dat"));
  EXPECT_FALSE(fs::exists(elsewhere / "lingualu.dat"));
  EXPECT_EQ(Control(run.transcript, 1009), "&Cloze");
}

TEST(LanguageChoosers, OnReadOnlyMediaTheChoiceLastsOnlyThisRun) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  ProgramFolder folder;
  for (const char* f : {"Configura.txt", "language.dat", "lingualu.dat"})
    fs::permissions(folder / f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto run = RunKio(folder.str(),
                    "press 1117\nchoose english.lin\npress 1265\nchoose english.stu\n"
                    "press 1006\npress 1301\ndump\n",
                    test::kNobodyUid);
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_EQ(ReadFile(folder / "language.dat"), "portugues.lin");
  EXPECT_EQ(ReadFile(folder / "lingualu.dat"), "portugues.stu");
  EXPECT_EQ(Control(run.transcript, 2), "&Return");
  // Dictionary and Create Output do nothing on read-only media: the
  // transcript goes straight from the choosers to the dump.
  EXPECT_TRUE(Has(run.transcript, "| *.stu|| | stu\nCONTROL 2 &Return\n")) << run.transcript;
}

}  // namespace
}  // namespace kio
