#include "lexicon/dictionary_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <thread>

#include "fileio/file.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

// What this process holds on one lock file.
struct Hold {
  int fd = -1;
  int shared = 0, exclusive = 0;  // nested holders of each kind
};
// The locks this process holds, by lock file. It mirrors what the system
// holds for the process, so it is never destroyed: a store that lets go of
// its lock while the program exits (the session's dictionary) still finds
// it.
std::map<std::string, Hold>& Holds() {
  static auto* holds = new std::map<std::string, Hold>;
  return *holds;
}

// Takes `operation` (LOCK_SH or LOCK_EX) on `fd`, polling until `wait` ends.
bool LockWithin(int fd, int operation, std::chrono::milliseconds wait) {
  const auto end = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (flock(fd, operation | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

std::string DictionaryLockFile(const std::string& dataFile) {
  const std::string folder = FolderOf(dataFile);
  std::string name = BareName(dataFile);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return folder + name + ".lck";
}

std::string DictionaryInUseMessage() {
  return Win1252(
      "O dicionário está em uso por outro programa. Tente de novo daqui a pouco.\r\n"
      "The dictionary is in use by another program. Try again in a moment.");
}

bool DictionaryLock::Acquire(const std::string& dataFile, Kind kind, std::chrono::milliseconds wait) {
  Release();
  // The same lock file whatever the working folder.
  std::string path = DictionaryLockFile(dataFile);
  if (path.empty() || path[0] != '/') path = WorkingFolder() + path;
  Hold& hold = Holds()[path];
  if (hold.fd < 0) {
    hold.fd = open(SystemName(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (hold.fd < 0 && (errno == EROFS || errno == EACCES) && kind == Kind::kShared) {
      // Nobody can write a pair in a folder where no lock file can be made.
      Holds().erase(path);
      path_ = path;
      kind_ = kind;
      return true;
    }
    if (hold.fd < 0 || !LockWithin(hold.fd, kind == Kind::kExclusive ? LOCK_EX : LOCK_SH, wait)) {
      if (hold.fd >= 0) close(hold.fd);
      Holds().erase(path);
      return false;
    }
  } else if (kind == Kind::kExclusive && hold.exclusive == 0) {
    // Held shared by this process: made exclusive in place.
    if (!LockWithin(hold.fd, LOCK_EX, wait)) {
      // A failed conversion may have let the shared lock go; take it back.
      LockWithin(hold.fd, LOCK_SH, wait);
      return false;
    }
    upgraded_ = true;
  }
  (kind == Kind::kExclusive ? hold.exclusive : hold.shared)++;
  path_ = path;
  kind_ = kind;
  return true;
}

void DictionaryLock::Release() {
  if (path_.empty()) return;
  auto it = Holds().find(path_);
  path_.clear();
  if (it == Holds().end()) return;  // granted without a file
  Hold& hold = it->second;
  (kind_ == Kind::kExclusive ? hold.exclusive : hold.shared)--;
  if (hold.shared + hold.exclusive == 0) {
    flock(hold.fd, LOCK_UN);
    close(hold.fd);
    Holds().erase(it);
  } else if (upgraded_ && hold.exclusive == 0) {
    // Back to the shared hold this one made exclusive.
    flock(hold.fd, LOCK_SH);
  }
  upgraded_ = false;
}

}  // namespace kio
