// Shared test helpers: temporary folders, prepared program folders, running
// the kio program through its headless driver, and an in-process headless
// platform.
#pragma once
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/headless.h"

namespace kio::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const fs::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& contents);
std::string ReadFile(const fs::path& path);

// Every entry below a folder with its change time and inode: two equal
// snapshots mean that nothing there was written, renamed or replaced.
using FolderSnapshot = std::map<std::string, std::pair<long long, unsigned long>>;
FolderSnapshot SnapshotFolder(const fs::path& folder);

// Copies the assembled program folder (configuration, languages, help,
// templates; not the executables) into `dest`.
void CopyProgramFolder(const fs::path& dest);

struct RunResult {
  int status = -1;
  std::string transcript;  // UTF-8, as the driver wrote it
};

// Runs `kio --program-folder folder --headless --script -` with `script` on
// its standard input, optionally as another user (uid) so that permission
// bits mean the same for root as for a teacher.
RunResult RunKio(const std::string& programFolder, const std::string& script, int asUid = -1);

// Runs a command line through the shell; returns its exit status and output.
RunResult RunCommand(const std::string& command);

// True when the tests run as root and can therefore switch to another user.
bool CanDropPrivileges();
// The uid used for running as "another user".
constexpr int kNobodyUid = 65534;

// Installs a headless platform reading `script` for the lifetime of the
// object; the transcript collects in transcript().
class HeadlessSession {
 public:
  explicit HeadlessSession(const std::string& script = "");
  ~HeadlessSession();
  std::string transcript() const { return out_.str(); }
  HeadlessPlatform& platform() { return *platform_; }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  std::unique_ptr<HeadlessPlatform> platform_;
};

// Runs `body` (which opens a dialog) with a headless platform reading
// `script`; returns the transcript, ended by "(exit N)" when the body ended
// the program and by "(script ended)" when it ran out of script.
std::string RunScripted(const std::string& script, const std::function<void()>& body);

// Changes the working folder for the lifetime of the object.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder);
  ~InFolder();

 private:
  fs::path previous_;
};

// Converts a UTF-8 test literal to the program's Windows-1252.
std::string W(const std::string& utf8);

// A text as one single-quoted shell word.
std::string ShellQuote(const std::string& s);

// Reading transcripts.
// A program text (Windows-1252) as the transcript shows it.
std::string Shown(const std::string& cp1252);
bool Has(const std::string& transcript, const std::string& part);
// The transcript line of a notice under the caption "Oops!".
std::string OopsMessage(const std::string& cp1252);
// The text of one control as the last "dump" showed it; "<absent>" when no
// dump showed it.
std::string Control(const std::string& transcript, int id);

}  // namespace kio::test
