#include "kio_test.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio::test {

TempDir::TempDir() {
  std::random_device rd;
  for (int i = 0; i < 100; ++i) {
    fs::path p = fs::temp_directory_path() / ("kio-test-" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      path_ = p;
      fs::permissions(p, fs::perms::all);  // others may enter: tests run as another user too
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files and folders left by a test must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteFile(const fs::path& path, const std::string& contents) {
  std::ofstream f(path, std::ios::binary);
  f << contents;
  if (!f) throw std::runtime_error("cannot write " + path.string());
}

FolderSnapshot SnapshotFolder(const fs::path& folder) {
  FolderSnapshot entries;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    struct stat st {};
    if (lstat(e.path().c_str(), &st) != 0) throw std::runtime_error("cannot stat " + e.path().string());
    entries[e.path().string()] = {st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec, st.st_ino};
  }
  return entries;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void CopyProgramFolder(const fs::path& dest) {
  fs::path src = KIO_PROGRAM_DIR;
  for (const auto& e : fs::directory_iterator(src)) {
    if (e.is_regular_file() && (e.path().filename() == "kio" || e.path().filename() == "kio-lexicon"))
      continue;
    fs::copy(e.path(), dest / e.path().filename(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  for (auto it = fs::recursive_directory_iterator(dest); it != fs::recursive_directory_iterator(); ++it)
    fs::permissions(it->path(), fs::perms::all, fs::perm_options::add);
  fs::permissions(dest, fs::perms::all, fs::perm_options::add);
}

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

RunResult RunCommand(const std::string& command) {
  RunResult r;
  FILE* p = popen(command.c_str(), "r");
  if (!p) throw std::runtime_error("cannot run " + command);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.transcript.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

RunResult RunKio(const std::string& programFolder, const std::string& script, int asUid) {
  TempDir scriptDir;
  fs::path scriptPath = scriptDir / "script.txt";
  WriteFile(scriptPath, script);
  fs::permissions(scriptPath, fs::perms::all);
  std::string kio = std::string(KIO_PROGRAM_DIR) + "/kio";
  std::string cmd;
  if (asUid >= 0)
    cmd =
        "setpriv --reuid=" + std::to_string(asUid) + " --regid=" + std::to_string(asUid) + " --clear-groups ";
  cmd += ShellQuote(kio) + " --program-folder " + ShellQuote(programFolder) + " --headless --script - < " +
         ShellQuote(scriptPath.string()) + " 2>&1";
  return RunCommand(cmd);
}

bool CanDropPrivileges() { return geteuid() == 0; }

HeadlessSession::HeadlessSession(const std::string& script)
    : in_(script), platform_(std::make_unique<HeadlessPlatform>(in_, out_)) {
  SetPlatform(platform_.get());
}

HeadlessSession::~HeadlessSession() { SetPlatform(nullptr); }

std::string RunScripted(const std::string& script, const std::function<void()>& body) {
  HeadlessSession session(script);
  std::string ending;
  try {
    body();
  } catch (const ProcessExit& e) {
    ending = "(exit " + std::to_string(e.status) + ")\n";
  } catch (const ScriptEnded&) {
    ending = "(script ended)\n";
  }
  return session.transcript() + ending;
}

InFolder::InFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
InFolder::~InFolder() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

std::string W(const std::string& utf8) {
  auto s = Utf8ToCp1252(utf8);
  if (!s) throw std::invalid_argument("not Windows-1252: " + utf8);
  return *s;
}

std::string Shown(const std::string& cp1252) { return Cp1252ToUtf8(EscapeLine(cp1252)); }

std::string OopsMessage(const std::string& cp1252) { return "MESSAGE Oops! | " + Shown(cp1252) + "\n"; }

bool Has(const std::string& transcript, const std::string& part) {
  return transcript.find(part) != std::string::npos;
}

std::string Control(const std::string& transcript, int id) {
  std::string key = "CONTROL " + std::to_string(id) + " ";
  size_t p = transcript.rfind(key);
  if (p == std::string::npos) return "<absent>";
  size_t e = transcript.find('\n', p);
  return transcript.substr(p + key.size(), e - p - key.size());
}

}  // namespace kio::test
