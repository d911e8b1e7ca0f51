// The teacher's own program folder for an installed KIO.
//
// An installation keeps the shipped program folder (configuration files,
// languages, help folders, templates, starter dictionary) in share/kio/ beside
// bin/, where a teacher may not write. Started from there, kio works in a
// copy under the user's XDG data home instead, made at the first start and
// brought up to date at every later one: files the teacher has changed are
// never replaced, new shipped files are added, and shipped files the teacher
// left alone follow the installation. A list of the shipped files with the
// SHA-256 of each, as last copied, tells the two apart.
#pragma once
#include <string>

namespace kio {

// The name of that list inside the user's folder, in `sha256sum` layout.
inline constexpr char kShippedListName[] = ".shipped.sha256";

// What bringing the user's folder up to date did.
struct UserFolderUpdate {
  bool made = false;  // the folder had no list yet: a first start
  int copied = 0;     // files copied from the installation
  int kept = 0;       // shipped files left alone because the teacher changed them
  std::string error;  // empty on success; the system's reason otherwise
};

// Makes `user` (and its parents) if needed and brings it up to date from
// the installed program folder `installed`. Dictionaries (NAME.kio with
// NAME.kpo) are replaced only as a pair, and not while a dictionary save
// is unfinished in the folder. Safe against a second kio starting at once.
UserFolderUpdate UpdateUserFolder(const std::string& installed, const std::string& user);

// The installed program folder for an executable in `executableFolder`
// (share/kio/ beside bin/), or "" when the executable does not run from an
// installation: then a program folder beside it is used as it is.
std::string InstalledProgramFolder(const std::string& executableFolder);

// $XDG_DATA_HOME/kio, or ~/.local/share/kio; "" when there is no home.
std::string UserProgramFolder();

// The user's documents folder as `xdg-user-dir DOCUMENTS` gives it (from
// user-dirs.dirs under $XDG_CONFIG_HOME, or ~/.config), falling back to the
// home folder when it is not set or does not exist. With a trailing "/".
std::string XdgDocumentsFolder();

// Settles the program folder of a kio started without --program-folder,
// given the folder of its executable: a program folder beside the
// executable is used as it is (the build folder, an unpacked copy); an
// installed kio gets the user's folder, made or brought up to date, and its
// documents start in the XDG documents folder. When the folder is made, or
// cannot be, a message waits for ShowUserFolderNotice.
std::string SettleProgramFolder(const std::string& executableFolder);

// Shows the message left by SettleProgramFolder, once; nothing otherwise.
void ShowUserFolderNotice();

}  // namespace kio
