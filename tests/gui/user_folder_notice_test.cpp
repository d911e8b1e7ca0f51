// The message an installed KIO shows once, when it makes the teacher's own
// program folder, as the desktop shows it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <filesystem>

#include "app/user_folder.h"
#include "fileio/session.h"
#include "gui_support.h"

namespace kio::test {
namespace {

namespace fs = std::filesystem;

TEST(Desktop, TheUserFolderMessageFitsItsBox) {
  Desktop desktop(kPortuguese);
  TempDir dir;
  fs::create_directories(dir / "usr/bin");
  fs::create_directories(dir / "home/Documentos");
  fs::create_directories(dir / "usr/share/kio");
  CopyProgramFolder(dir / "usr/share/kio");
  std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", (dir / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir / "home/.config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "home/.local/share").c_str(), 1);
  WriteFile(dir / "home/Documentos/.keep", "");
  fs::create_directories(dir / "home/.config");
  WriteFile(dir / "home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documentos\"\n");
  AppPaths kept = CurrentSession().appPaths;
  std::string folder = SettleProgramFolder((dir / "usr/bin").string());

  bool seen = false;
  desktop.onMessage = [&](QMessageBox& box) {
    seen = true;
    SaveScreenshot(box, "user-folder-message", kPortuguese);
    EXPECT_LE(box.width(), 900) << "the box stays narrower than a small laptop screen";
    box.button(QMessageBox::Ok)->click();
  };
  ShowUserFolderNotice();
  EXPECT_TRUE(seen);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(desktop.messages[0].find(folder), std::string::npos) << desktop.messages[0];

  CurrentSession().appPaths = kept;
  setenv("HOME", oldHome.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace kio::test
