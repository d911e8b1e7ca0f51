// Start-up against prepared program folders, through the real program and
// its headless driver.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "lexicon/lexicon_session.h"
#include "program_folder.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::ProgramFolder;
using test::RunKio;
using test::TempDir;
using test::WriteFile;

const std::string kZipped =
    "MESSAGE  | \\r\\nAparentemente você está tentando iniciar o KIO\\r\\ndiretamente de uma pasta "
    "compactada,\\r\\nou possivelmente do Linux.\\r\\nFaça a descompactação, use o Wine e tente "
    "novamente.\\r\\n\\r\\nApparently you are trying to start KIO\\r\\nfrom a zipped folder\\r\\nor from "
    "Linux.\\r\\nPlease unzip it, use Wine and try again.\\r\\n\n";

// The whole transcript when start-up shows `message` under "Oops!" and
// ends the program.
std::string OopsThenExit(const std::string& message) { return "MESSAGE Oops! | " + message + "\nEXIT 1\n"; }

const std::string kConfigNotFound =
    "Config file not found.  Cannot continue.\\r\\nArquivo de Configuração não encontrada.  Impossível "
    "continuar.";
const std::string kInputNotFound =
    "Input language not found.  Cannot continue.\\r\\nLíngua de entrada não encontrada.  Impossível "
    "continuar.";

TEST(StartUpFailures, EachEndsTheProgramWithItsMessage) {
  struct Case {
    std::string name;
    std::function<void(ProgramFolder&)> prepare;
    std::string transcript;
  } cases[] = {
      {"Configura.txt missing", [](ProgramFolder& p) { fs::remove(p / "Configura.txt"); },
       kZipped + "EXIT 1\n"},
      {"Configura.txt of one byte", [](ProgramFolder& p) { WriteFile(p / "Configura.txt", "x"); },
       OopsThenExit(kConfigNotFound)},
      {"Configura.txt longer than its field",
       [](ProgramFolder& p) { WriteFile(p / "Configura.txt", std::string(300, 'a')); },
       OopsThenExit(kConfigNotFound)},
      {"lexicon.dat missing", [](ProgramFolder& p) { fs::remove(p / "lexicon.dat"); },
       OopsThenExit("Configuration file (lexicon.dat) not found.\\r\\nKIO cannot go on.\\r\\n\\r\\n Arquivo "
                    "de configuração (lexicon.dat) não localizado!\\r\\nKio não pode continuar.")},
      {"language.dat missing", [](ProgramFolder& p) { fs::remove(p / "language.dat"); },
       OopsThenExit(kInputNotFound)},
      {"language.dat of one byte", [](ProgramFolder& p) { WriteFile(p / "language.dat", "p"); },
       OopsThenExit(kInputNotFound)},
      {"language file missing", [](ProgramFolder& p) { WriteFile(p / "language.dat", "nowhere.lin"); },
       OopsThenExit(kInputNotFound)},
      {"lingualu.dat missing", [](ProgramFolder& p) { fs::remove(p / "lingualu.dat"); },
       OopsThenExit("Output language not found.  Cannot continue.\\r\\nLíngua de Saida não encontrada.  "
                    "Impossível continuar.")},
      {"lingualu.dat of one byte", [](ProgramFolder& p) { WriteFile(p / "lingualu.dat", "p"); },
       OopsThenExit("Output language not found.  Cannot continue.\\r\\nLíngua de saida não encontrada.  "
                    "Impossível continuar.")},
      {"student language file missing",
       [](ProgramFolder& p) { WriteFile(p / "lingualu.dat", "nowhere.stu"); },
       OopsThenExit("Output language not found.  Cannot continue.\\r\\nLíngua de saída não encontrada.  "
                    "Impossível continuar.")},
  };
  for (const auto& c : cases) {
    ProgramFolder folder;
    c.prepare(folder);
    auto run = RunKio(folder.str(), "press 2\nanswer Yes\n");
    EXPECT_EQ(run.transcript, c.transcript) << c.name;
    EXPECT_EQ(run.status, 1) << c.name;
  }
}

TEST(StartUp, TwoByteAddressAndEmptyLexiconNameAreAccepted) {
  ProgramFolder folder;
  WriteFile(folder / "Configura.txt", "ab");
  WriteFile(folder / "lexicon.dat", "");
  auto run = RunKio(folder.str(), "press 1268\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.transcript.find("MESSAGE KIO | "), std::string::npos);
  EXPECT_NE(run.transcript.find("ab\nMESSAGE KIO"), std::string::npos) << run.transcript;
}

TEST(StartUp, ReadOnlyMediaWarnsAndGoesOn) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  ProgramFolder folder;
  fs::permissions(folder / "Configura.txt",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto run = RunKio(folder.str(), "press 2\nanswer Yes\n", test::kNobodyUid);
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_EQ(
      run.transcript.rfind("MESSAGE  | KIO funciona sem problemas\\r\\ndiretamente de mídia bloqueada", 0),
      0u)
      << run.transcript;
  EXPECT_NE(run.transcript.find("DIALOG KIO"), std::string::npos);
}

TEST(StartUp, MissingConfigurationWinsOverReadOnlyMedia) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  ProgramFolder folder;
  fs::remove(folder / "Configura.txt");
  fs::permissions(folder.str(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
  auto run = RunKio(folder.str(), "", test::kNobodyUid);
  EXPECT_EQ(run.transcript, kZipped + "EXIT 1\n");
  EXPECT_EQ(run.status, 1);
}

TEST(StartUp, ARerunKeepsTheDocumentsFolder) {
  ProgramFolder folder;
  test::InFolder in(fs::path(folder.str()));
  test::HeadlessSession session;
  CurrentSession().Reset();
  StartUp();
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, folder.str() + "/");
  EXPECT_EQ(CurrentSession().appPaths.startFolder, folder.str() + "/");
  CurrentSession().appPaths.documentsFolder = "/home/ana/aulas/";
  StartUp();
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, "/home/ana/aulas/");
  EXPECT_EQ(session.transcript(), "");
}

// The program folder's name comes in as the file system's and is kept as a
// program text; a name those texts cannot hold ends the program with a
// message instead of leaving every path it builds wrong.
TEST(StartUp, TheProgramFolderMayHaveAnAccentedName) {
  TempDir dir;
  const fs::path accented = dir / "Conceição" / "KIO";
  fs::create_directories(accented);
  test::CopyProgramFolder(accented);
  auto run = RunKio(accented.string(), "press 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_NE(run.transcript.find("DIALOG KIO"), std::string::npos) << run.transcript;
  {
    test::InFolder in(accented);
    test::HeadlessSession session;
    CurrentSession().Reset();
    StartUp();
    EXPECT_EQ(CurrentSession().appPaths.startFolder, test::W(accented.string() + "/"));
  }

  const fs::path unfit = dir / "教室" / "KIO";
  fs::create_directories(unfit);
  test::CopyProgramFolder(unfit);
  run = RunKio(unfit.string(), "");
  EXPECT_EQ(
      run.transcript,
      "MESSAGE KIO | O nome da pasta do KIO (ou de uma pasta acima dela) tem um caractere que o KIO não "
      "consegue guardar.\\r\\nMude esse nome, ou ponha o KIO em outra pasta, e abra o KIO de "
      "novo.\\r\\n\\r\\n"
      "The name of KIO's folder (or of a folder above it) holds a character KIO cannot keep.\\r\\n"
      "Rename it, or put KIO in another folder, and start KIO again.\nEXIT 1\n");
  EXPECT_EQ(run.status, 1);
}

TEST(DocumentsFolder, FollowsTheStartFolder) {
  std::pair<const char*, const char*> cases[] = {
      {"/home/ana/Documents/Work/", "/home/ana/Documents/"},
      {"/media/Meus Documentos/Work/", "/media/Meus Documentos/"},
      {"/x/documentos/a/Documents/b/", "/x/documentos/a/Documents/"},  // "documents/" wins wherever it stands
      {"/opt/kio/", "/opt/kio/"},
      {"/x/mydocuments/", "/x/mydocuments/"},
  };
  for (auto [start, documents] : cases) EXPECT_EQ(DocumentsFolderFor(start), documents) << start;
}

TEST(LexiconNames, AreDerivedFromTheLowerCasedDataFile) {
  CurrentSession().appPaths.lexiconDataFile = "Ingles.KIO";
  DeriveLexiconNames();
  EXPECT_EQ(CurrentSession().appPaths.lexiconDataFile, "ingles.kio");
  EXPECT_EQ(CurrentSession().appPaths.lexiconPointerFile, "ingles.kpo");
  EXPECT_EQ(CurrentSession().appPaths.lexiconBackupDataFile, "ingles_bak.kio");
  EXPECT_EQ(CurrentSession().appPaths.lexiconBackupPointerFile, "ingles_bak.kpo");
  CurrentSession().appPaths.lexiconDataFile = "";
  DeriveLexiconNames();
  EXPECT_EQ(CurrentSession().appPaths.lexiconBackupPointerFile, "");
}

}  // namespace
}  // namespace kio
