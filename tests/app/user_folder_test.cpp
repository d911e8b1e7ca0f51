// The teacher's own program folder of an installed kio: made at the first
// start, brought up to date at later ones without losing the teacher's
// changes; the XDG folders it is placed by.
#include "app/user_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "fileio/session.h"
#include "kio_test.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

// Writes a file, making its folders first.
void WriteFile(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  test::WriteFile(path, contents);
}

// Sets an environment variable (or unsets it, for nullopt) while it lives.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// An installed program folder and a user's folder beside it.
struct Install {
  TempDir dir;
  fs::path installed = dir / "share/kio";
  fs::path user = dir / "home/.local/share/kio";
  Install() {
    WriteFile(installed / "Configura.txt", "http://results.example/");
    WriteFile(installed / "language.dat", "portugues.lin");
    WriteFile(installed / "english.stu", "^old words~");
    WriteFile(installed / "Tmplates/tmplate_cloze.htm", "<html>cloze</html>");
    WriteFile(installed / "ingles.kio", "data v1");
    WriteFile(installed / "ingles.kpo", "pointers v1");
  }
  UserFolderUpdate Update() const { return UpdateUserFolder(installed.string(), user.string()); }
  std::string Mine(const std::string& name) const { return ReadFile(user / name); }
};

TEST(UserFolder, TheFirstStartCopiesEverythingAndTheNextCopiesNothing) {
  Install in;
  UserFolderUpdate first = in.Update();
  EXPECT_EQ(first.error, "");
  EXPECT_TRUE(first.made);
  EXPECT_EQ(first.copied, 6);
  EXPECT_EQ(in.Mine("Tmplates/tmplate_cloze.htm"), "<html>cloze</html>");
  EXPECT_EQ(in.Mine("ingles.kpo"), "pointers v1");
  std::string list = in.Mine(kShippedListName);
  EXPECT_NE(list.find("  Tmplates/tmplate_cloze.htm\n"), std::string::npos) << list;
  EXPECT_NE(list.find("  ingles.kio\n"), std::string::npos) << list;

  auto before = test::SnapshotFolder(in.user);
  UserFolderUpdate second = in.Update();
  EXPECT_EQ(second.error, "");
  EXPECT_FALSE(second.made);
  EXPECT_EQ(second.copied, 0);
  EXPECT_EQ(test::SnapshotFolder(in.user), before) << "a start with nothing new writes nothing";
}

TEST(UserFolder, AnUpgradeAddsAndRefreshesShippedFilesButKeepsTheTeachersChanges) {
  Install in;
  in.Update();
  WriteFile(in.user / "language.dat", "english.lin");  // the teacher chose English
  WriteFile(in.user / "notes.txt", "mine");            // and keeps a file of their own
  fs::remove(in.user / "Configura.txt");               // and lost a shipped one

  WriteFile(in.installed / "language.dat", "espanol.lin");
  WriteFile(in.installed / "english.stu", "^new words~");
  WriteFile(in.installed / "Tmplates/tmplate_eclipse.htm", "<html>eclipse</html>");
  UserFolderUpdate up = in.Update();
  EXPECT_EQ(up.error, "");
  EXPECT_FALSE(up.made);
  EXPECT_EQ(in.Mine("language.dat"), "english.lin") << "changed by the teacher: kept";
  EXPECT_EQ(in.Mine("english.stu"), "^new words~") << "left alone by the teacher: follows";
  EXPECT_EQ(in.Mine("Tmplates/tmplate_eclipse.htm"), "<html>eclipse</html>") << "new: added";
  EXPECT_EQ(in.Mine("Configura.txt"), "http://results.example/") << "missing: back";
  EXPECT_EQ(in.Mine("notes.txt"), "mine");
  EXPECT_EQ(up.copied, 3);
  EXPECT_EQ(up.kept, 1);

  // The kept file still reads as changed at the next upgrade, and once the
  // teacher puts back what was shipped before, it follows again.
  WriteFile(in.installed / "language.dat", "portugues.lin");
  in.Update();
  EXPECT_EQ(in.Mine("language.dat"), "english.lin");
  WriteFile(in.user / "language.dat", "portugues.lin");
  WriteFile(in.installed / "language.dat", "english.lin");
  in.Update();
  EXPECT_EQ(in.Mine("language.dat"), "english.lin");

  // A file the installation no longer ships stays with the teacher.
  fs::remove(in.installed / "english.stu");
  EXPECT_EQ(in.Update().error, "");
  EXPECT_EQ(in.Mine("english.stu"), "^new words~");
}

TEST(UserFolder, ADictionaryIsReplacedOnlyAsAWholePair) {
  struct Case {
    const char* name;
    std::function<void(const Install&)> teacher;
    bool replaced;
  } cases[] = {
      {"left alone", [](const Install&) {}, true},
      {"data file changed", [](const Install& in) { WriteFile(in.user / "ingles.kio", "data mine"); }, false},
      {"pointer file changed", [](const Install& in) { WriteFile(in.user / "ingles.kpo", "ptr mine"); },
       false},
      {"data file changed, pointer file lost",
       [](const Install& in) {
         WriteFile(in.user / "ingles.kio", "data mine");
         fs::remove(in.user / "ingles.kpo");
       },
       false},
      {"both lost",
       [](const Install& in) {
         fs::remove(in.user / "ingles.kio");
         fs::remove(in.user / "ingles.kpo");
       },
       true},
      {"a save left unfinished", [](const Install& in) { WriteFile(in.user / "tempcommit", ""); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Install in;
    in.Update();
    c.teacher(in);
    WriteFile(in.installed / "ingles.kio", "data v2");
    WriteFile(in.installed / "ingles.kpo", "pointers v2");
    EXPECT_EQ(in.Update().error, "");
    bool hasData = fs::exists(in.user / "ingles.kio"), hasPointers = fs::exists(in.user / "ingles.kpo");
    if (c.replaced) {
      EXPECT_EQ(in.Mine("ingles.kio"), "data v2");
      EXPECT_EQ(in.Mine("ingles.kpo"), "pointers v2");
    } else {
      EXPECT_FALSE(hasData && in.Mine("ingles.kio") == "data v2");
      EXPECT_FALSE(hasPointers && in.Mine("ingles.kpo") == "pointers v2");
    }
  }
}

TEST(UserFolder, AFolderWithoutAListKeepsWhatIsThereAndAddsWhatIsMissing) {
  Install in;
  WriteFile(in.user / "language.dat", "english.lin");
  UserFolderUpdate up = in.Update();
  EXPECT_EQ(up.error, "");
  EXPECT_TRUE(up.made);
  EXPECT_EQ(in.Mine("language.dat"), "english.lin");
  EXPECT_EQ(in.Mine("Configura.txt"), "http://results.example/");
  // Never recorded as shipped, so a later upgrade leaves it too.
  WriteFile(in.installed / "language.dat", "espanol.lin");
  in.Update();
  EXPECT_EQ(in.Mine("language.dat"), "english.lin");
}

TEST(UserFolder, CopiesOfReadOnlyShippedFilesCanBeWritten) {
  Install in;
  fs::permissions(in.installed / "Configura.txt",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  in.Update();
  EXPECT_TRUE((fs::status(in.user / "Configura.txt").permissions() & fs::perms::owner_write) !=
              fs::perms::none);
}

TEST(UserFolder, AFolderThatCannotBeMadeIsReported) {
  Install in;
  WriteFile(in.dir / "home/.local/share", "a file where the folder should be");
  UserFolderUpdate up = in.Update();
  EXPECT_NE(up.error, "");
  EXPECT_EQ(up.copied, 0);
}

TEST(UserFolder, TheInstalledFolderIsFoundBesideBinOnlyWithoutAProgramFolderBesideTheExecutable) {
  TempDir dir;
  WriteFile(dir / "usr/share/kio/Configura.txt", "http://x/");
  fs::create_directories(dir / "usr/bin");
  EXPECT_EQ(InstalledProgramFolder((dir / "usr/bin").string()), (dir / "usr/share/kio").string());
  WriteFile(dir / "usr/bin/Configura.txt", "http://x/");
  EXPECT_EQ(InstalledProgramFolder((dir / "usr/bin").string()), "") << "a program folder beside it wins";
  fs::create_directories(dir / "build/program");
  EXPECT_EQ(InstalledProgramFolder((dir / "build/program").string()), "");
}

TEST(UserFolder, TheUserFolderLiesUnderTheXdgDataHome) {
  ScopedEnv home("HOME", "/home/ana");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data/ana");
    EXPECT_EQ(UserProgramFolder(), "/data/ana/kio");
  }
  for (std::optional<std::string> ignored :
       {std::optional<std::string>(), std::optional<std::string>("relative")}) {
    ScopedEnv data("XDG_DATA_HOME", ignored);
    EXPECT_EQ(UserProgramFolder(), "/home/ana/.local/share/kio");
  }
}

TEST(UserFolder, TheDocumentsFolderIsTheOneXdgUserDirsNames) {
  TempDir dir;
  std::string home = (dir / "ana").string();
  fs::create_directories(dir / "ana/Documentos");
  fs::create_directories(dir / "Meus trabalhos");
  ScopedEnv homeVar("HOME", home);
  ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnv documents("XDG_DOCUMENTS_DIR", std::nullopt);
  struct Case {
    const char* name;
    std::optional<std::string> dirs;  // user-dirs.dirs, or none
    std::string folder;
  } cases[] = {
      {"no user-dirs.dirs", std::nullopt, home + "/"},
      {"under $HOME", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documentos\"\n",
       home + "/Documentos/"},
      {"${HOME} and a comment",
       "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"${HOME}/Documentos\"\n",
       home + "/Documentos/"},
      {"absolute, with a blank", "XDG_DOCUMENTS_DIR=\"" + (dir / "Meus trabalhos").string() + "\"\n",
       (dir / "Meus trabalhos").string() + "/"},
      {"a folder that does not exist", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", home + "/"},
      {"relative", "XDG_DOCUMENTS_DIR=\"Documentos\"\n", home + "/"},
      {"commented out", "#XDG_DOCUMENTS_DIR=\"$HOME/Documentos\"\n", home + "/"},
      {"disabled: the home folder itself", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", home + "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir / "ana/.config");
    if (c.dirs) WriteFile(dir / "ana/.config/user-dirs.dirs", *c.dirs);
    EXPECT_EQ(XdgDocumentsFolder(), c.folder);
  }
}

// An installed kio under `dir` (usr/bin, usr/share/kio) and a home folder
// whose documents folder, named in user-dirs.dirs, is home/`documents`.
class InstalledKio {
 public:
  InstalledKio(const TempDir& dir, const std::string& documents)
      : home_("HOME", (dir / "home").string()),
        data_("XDG_DATA_HOME", std::nullopt),
        config_("XDG_CONFIG_HOME", std::nullopt) {
    WriteFile(dir / "usr/share/kio/Configura.txt", "http://x/");
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "home" / documents);
    WriteFile(dir / "home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/" + documents + "\"\n");
  }

 private:
  ScopedEnv home_, data_, config_;
};

TEST(UserFolder, AnInstalledKioWorksInTheUserFolderAndSaysSoOnce) {
  TempDir dir;
  InstalledKio installed(dir, "Documents");
  const std::string user = (dir / "home/.local/share/kio").string();

  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE(start);
    CurrentSession().Reset();
    EXPECT_EQ(SettleProgramFolder((dir / "usr/bin").string()), user);
    EXPECT_EQ(CurrentSession().appPaths.documentsFolder, (dir / "home/Documents/").string());
    std::string shown = test::RunScripted("", [] {
      ShowUserFolderNotice();
      ShowUserFolderNotice();
    });
    if (start == 1) {
      EXPECT_EQ(shown.find("MESSAGE KIO | O KIO guarda"), 0u) << shown;
      EXPECT_EQ(shown.find("MESSAGE", 1), std::string::npos) << "said once: " << shown;
      EXPECT_NE(shown.find(user), std::string::npos) << shown;
      EXPECT_NE(shown.find("KIO keeps your copy"), std::string::npos) << shown;
    } else {
      EXPECT_EQ(shown, "") << "the second start says nothing";
    }
  }
  CurrentSession().Reset();

  // A kio with a program folder beside it works there as it is.
  WriteFile(dir / "usr/bin/Configura.txt", "http://x/");
  EXPECT_EQ(SettleProgramFolder((dir / "usr/bin").string()), (dir / "usr/bin").string());
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, "");
}

TEST(UserFolder, AnAccentedDocumentsFolderIsKeptAsAProgramText) {
  TempDir dir;
  InstalledKio installed(dir, "Lições de Português");
  CurrentSession().Reset();
  SettleProgramFolder((dir / "usr/bin").string());
  const std::string documents = (dir / "home/Lições de Português/").string();
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, test::W(documents));
  std::string shown = test::RunScripted("", [] { ShowUserFolderNotice(); });
  EXPECT_NE(shown.find("Your documents go to\\r\\n    " + documents), std::string::npos) << shown;
  CurrentSession().Reset();
}

TEST(UserFolder, WithoutAUsableFolderTheInstalledOneIsUsedAfterAMessage) {
  TempDir dir;
  WriteFile(dir / "usr/share/kio/Configura.txt", "http://x/");
  fs::create_directories(dir / "usr/bin");
  WriteFile(dir / "home/.local/share", "not a folder");
  ScopedEnv home("HOME", (dir / "home").string());
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(SettleProgramFolder((dir / "usr/bin").string()), (dir / "usr/share/kio").string());
  std::string shown = test::RunScripted("", [] { ShowUserFolderNotice(); });
  EXPECT_EQ(shown.find("MESSAGE Oops! | O KIO não conseguiu preparar a sua pasta"), 0u) << shown;
  EXPECT_NE(shown.find("KIO could not prepare your folder"), std::string::npos) << shown;
  CurrentSession().Reset();
}

}  // namespace
}  // namespace kio
