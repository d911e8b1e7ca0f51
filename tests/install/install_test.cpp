// KIO installed like any desktop program: `cmake --install` into a
// temporary DESTDIR, then the installed kio and kio-lexicon run as a teacher
// would run them, an unprivileged user with a fresh home, over a first
// start, a second one and an upgrade.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "kio_test.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Has;
using test::ReadFile;
using test::RunCommand;
using test::RunResult;
using test::ShellQuote;
using test::TempDir;

void WriteFile(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  test::WriteFile(path, contents);
}

class Installation : public testing::Test {
 protected:
  void SetUp() override {
    RunResult install = RunCommand("DESTDIR=" + ShellQuote(dest_.string()) + " " + ShellQuote(KIO_CMAKE) +
                                   " --install " + ShellQuote(KIO_BUILD_DIR) + " --prefix /usr 2>&1");
    ASSERT_EQ(install.status, 0) << install.transcript;
    fs::create_directories(home_ / "Documentos");
    WriteFile(home_ / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documentos\"\n");
    if (test::CanDropPrivileges()) {
      for (const auto& p : {home_ / "Documentos", home_ / ".config", home_ / ".config/user-dirs.dirs", home_})
        ASSERT_EQ(chown(p.c_str(), test::kNobodyUid, test::kNobodyUid), 0);
    }
  }

  // A command line run as the teacher: another user when the tests run as
  // root, with nothing of this process's environment but a fresh home.
  RunResult AsTeacher(const std::string& command) {
    std::string user;
    if (test::CanDropPrivileges()) {
      std::string id = std::to_string(test::kNobodyUid);
      user = "setpriv --reuid=" + id + " --regid=" + id + " --clear-groups ";
    }
    return RunCommand("cd / && " + user + "env -i HOME=" + ShellQuote(home_.string()) +
                      " PATH=/usr/bin:/bin LANG=C.UTF-8 " + command + " 2>&1");
  }

  RunResult Kio(const std::string& script) {
    fs::path file = dir_ / ("script" + std::to_string(++scripts_) + ".txt");
    WriteFile(file, script);
    return AsTeacher(ShellQuote((dest_ / "usr/bin/kio").string()) + " --headless --script " +
                     ShellQuote(file.string()));
  }

  RunResult Lexicon(const std::string& args) {
    return AsTeacher(ShellQuote((dest_ / "usr/bin/kio-lexicon").string()) + " " + args);
  }

  TempDir dir_;
  fs::path dest_ = dir_ / "dest";
  fs::path installed_ = dest_ / "usr/share/kio";
  fs::path home_ = dir_ / "home";
  fs::path user_ = home_ / ".local/share/kio";
  int scripts_ = 0;
};

TEST_F(Installation, PutsEachPartWhereTheDesktopLooksForIt) {
  for (const char* path :
       {"usr/bin/kio", "usr/bin/kio-lexicon", "usr/share/kio/Configura.txt", "usr/share/kio/ingles.kio",
        "usr/share/kio/ingles.kpo", "usr/share/kio/instru_por/abertura.rtf",
        "usr/share/kio/Tmplates/tmplate_cloze.htm", "usr/share/applications/kio.desktop",
        "usr/share/icons/hicolor/48x48/apps/kio.png", "usr/share/icons/hicolor/256x256/apps/kio.png",
        "usr/share/icons/hicolor/scalable/apps/kio.svg", "usr/share/man/man1/kio.1.gz",
        "usr/share/man/man1/kio-lexicon.1.gz", "usr/share/man/man1/kio-results.1.gz"})
    EXPECT_TRUE(fs::is_regular_file(dest_ / path)) << path;
  EXPECT_FALSE(fs::exists(installed_ / "kio")) << "the executables live in bin/ only";
  EXPECT_FALSE(fs::exists(installed_ / "kio.desktop"));
  EXPECT_EQ(ReadFile(installed_ / "language.dat"), ReadFile(fs::path(KIO_SOURCE_DIR) / "data/language.dat"))
      << "shipped as in the sources, whatever ./kio changed in the build folder";
}

// Every guide a manual page sends its reader to is installed there.
TEST_F(Installation, InstallsTheGuidesTheManualPagesPointTo) {
  const std::regex guide(R"(/usr/share/doc/[A-Za-z0-9.+\\-]+/[A-Za-z0-9_\\-]+(\.[A-Za-z0-9]+)*)");
  int guides = 0;
  for (const auto& page : fs::directory_iterator(dest_ / "usr/share/man/man1")) {
    RunResult man = RunCommand("zcat " + ShellQuote(page.path().string()));
    ASSERT_EQ(man.status, 0) << page.path();
    for (std::sregex_iterator i(man.transcript.begin(), man.transcript.end(), guide), end; i != end;
         ++i, ++guides) {
      std::string path = std::regex_replace(i->str(), std::regex(R"(\\-)"), "-");
      EXPECT_TRUE(fs::is_regular_file(dest_ / path.substr(1))) << page.path().filename() << " names " << path;
    }
  }
  EXPECT_GT(guides, 0) << "kio(1) names the headless driver's guide";
}

TEST_F(Installation, RunsInTheTeachersOwnFolderAndKeepsItThroughAnUpgrade) {
  const std::string shippedLanguage = ReadFile(installed_ / "language.dat");
  const std::string shippedDictionary = ReadFile(installed_ / "ingles.kio");

  // First start: the folder is made and the teacher told where it is; the
  // language chooser and a Save work; documents start in the XDG folder.
  RunResult first =
      Kio("press 1117\nchoose english.lin\n"
          "press 1009\ntype 1402 The [cat] sat.\npress 1423\nchoose " +
          (home_ / "Documentos/aula.clo").string() + "\nescape\npress 2\nanswer Yes\n");
  EXPECT_EQ(first.status, 0) << first.transcript;
  EXPECT_EQ(first.transcript.find("MESSAGE KIO | O KIO guarda a sua cópia"), 0u) << first.transcript;
  EXPECT_TRUE(Has(first.transcript, "\\r\\n    " + user_.string() + "\\r\\n")) << first.transcript;
  EXPECT_TRUE(Has(first.transcript, "CHOOSE open | " + user_.string() + "/*.lin")) << first.transcript;
  EXPECT_TRUE(Has(first.transcript, "CHOOSE save | " + (home_ / "Documentos").string() + "/*.clo"))
      << first.transcript;
  EXPECT_FALSE(Has(first.transcript, "read-only media")) << first.transcript;
  EXPECT_EQ(ReadFile(user_ / "language.dat"), "english.lin");
  EXPECT_EQ(ReadFile(installed_ / "language.dat"), shippedLanguage);
  EXPECT_TRUE(fs::exists(home_ / "Documentos/aula.clo"));

  // The teacher's dictionary, kept with kio-lexicon in that folder.
  WriteFile(home_ / "palavras.txt", "palavrinha\r\nlittle word\r\n\r\n");
  RunResult import = Lexicon("import " + ShellQuote((user_ / "ingles.kio").string()) + " " +
                             ShellQuote((home_ / "palavras.txt").string()));
  EXPECT_EQ(import.status, 0) << import.transcript;
  RunResult lookup = Lexicon("lookup " + ShellQuote((user_ / "ingles.kio").string()) + " palavrinha");
  EXPECT_EQ(lookup.status, 0) << lookup.transcript;
  EXPECT_TRUE(Has(lookup.transcript, "little word")) << lookup.transcript;
  EXPECT_EQ(ReadFile(installed_ / "ingles.kio"), shippedDictionary);

  // Second start: nothing copied, nothing said, English kept.
  auto before = test::SnapshotFolder(user_);
  RunResult second = Kio("press 2\nanswer Yes\n");
  EXPECT_EQ(second.transcript,
            "DIALOG KIO\nMESSAGE KIO | Do you really want to leave KIO?\nEND KIO\nEXIT 0\n");
  EXPECT_EQ(test::SnapshotFolder(user_), before);

  // An upgrade ships a new template, new student words and a new dictionary.
  WriteFile(installed_ / "Tmplates/tmplate_novo.htm", "<html>novo</html>");
  std::string newWords = ReadFile(installed_ / "english.stu") + " ";
  WriteFile(installed_ / "english.stu", newWords);
  WriteFile(dir_ / "upgrade.txt", "upgradeword\r\nfrom the upgrade\r\n\r\n");
  RunResult shipped = RunCommand(ShellQuote((dest_ / "usr/bin/kio-lexicon").string()) + " import " +
                                 ShellQuote((installed_ / "ingles.kio").string()) + " " +
                                 ShellQuote((dir_ / "upgrade.txt").string()) + " 2>&1");
  ASSERT_EQ(shipped.status, 0) << shipped.transcript;

  RunResult third = Kio("press 2\nanswer Yes\n");
  EXPECT_EQ(third.transcript.find("DIALOG KIO\n"), 0u) << "no message: " << third.transcript;
  EXPECT_EQ(ReadFile(user_ / "Tmplates/tmplate_novo.htm"), "<html>novo</html>") << "new file added";
  EXPECT_EQ(ReadFile(user_ / "english.stu"), newWords) << "a file the teacher left alone follows";
  EXPECT_EQ(ReadFile(user_ / "language.dat"), "english.lin");
  lookup = Lexicon("lookup " + ShellQuote((user_ / "ingles.kio").string()) + " palavrinha upgradeword");
  EXPECT_TRUE(Has(lookup.transcript, "little word"))
      << "the teacher's dictionary is kept: " << lookup.transcript;
  EXPECT_TRUE(Has(lookup.transcript, "upgradeword: not found")) << lookup.transcript;
  RunResult check = Lexicon("check " + ShellQuote((user_ / "ingles.kio").string()));
  EXPECT_EQ(check.status, 0) << check.transcript;
}

TEST_F(Installation, DesktopEntryMetadataAndManualPagesAreValid) {
  for (const std::string& check :
       {"desktop-file-validate " + ShellQuote((dest_ / "usr/share/applications/kio.desktop").string()),
        "appstreamcli validate --no-net --pedantic " + ShellQuote(dest_.string()) +
            "/usr/share/metainfo/*.xml",
        "appstreamcli validate-tree --no-net " + ShellQuote(dest_.string())}) {
    RunResult r = RunCommand(check + " 2>&1");
    EXPECT_EQ(r.status, 0) << check << "\n" << r.transcript;
    EXPECT_FALSE(Has(r.transcript, "W:") || Has(r.transcript, "E:")) << check << "\n" << r.transcript;
  }
  for (const char* page : {"kio.1.gz", "kio-lexicon.1.gz"}) {
    // man lists every formatting problem on standard error.
    RunResult r = RunCommand("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l " +
                             ShellQuote((dest_ / "usr/share/man/man1" / page).string()) + " 2>&1 >/dev/null");
    EXPECT_EQ(r.transcript, "") << page;
  }
}

// The Debian package, packed by CPack from this build: dependencies found in
// the binaries, and nothing lintian calls an error or a warning.
TEST(Package, IsCleanForLintian) {
  TempDir dir;
  RunResult pack = RunCommand("cd " + ShellQuote(dir.str()) + " && cpack --config " +
                              ShellQuote(std::string(KIO_BUILD_DIR) + "/CPackConfig.cmake") + " -G DEB 2>&1");
  ASSERT_EQ(pack.status, 0) << pack.transcript;
  std::string deb;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().extension() == ".deb") deb = e.path().string();
  ASSERT_NE(deb, "") << pack.transcript;

  RunResult depends = RunCommand("dpkg-deb -f " + ShellQuote(deb) + " Depends");
  for (const char* library : {"libc6", "libicu72", "libssl3", "zlib1g", "libstdc++6"})
    EXPECT_TRUE(Has(depends.transcript, library)) << depends.transcript;
#ifdef KIO_WITH_QT
  EXPECT_TRUE(Has(depends.transcript, "libqt6widgets6")) << depends.transcript;
#endif
  RunResult contents = RunCommand("dpkg-deb --contents " + ShellQuote(deb));
  for (const char* path :
       {"./usr/bin/kio\n", "./usr/share/kio/ingles.kio\n", "./usr/share/doc/kio-authoring/copyright\n"})
    EXPECT_TRUE(Has(contents.transcript, path)) << path;
  EXPECT_FALSE(Has(contents.transcript, "/usr/local/"));

  RunResult lint = RunCommand("lintian --fail-on error,warning " + ShellQuote(deb) + " 2>&1");
  EXPECT_EQ(lint.status, 0) << lint.transcript;
}

}  // namespace
}  // namespace kio
