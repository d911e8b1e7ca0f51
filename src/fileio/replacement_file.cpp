#include "fileio/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace kio {

namespace {

// The permissions a new file gets from the process's file-creation mask.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Syncs a folder so that a rename in it survives a crash.
void SyncFolder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target)
    : target_(std::move(target)), systemTarget_(SystemName(target_)) {
  // Only a file is replaced: a folder, a device or a pipe of that name is
  // never renamed over (a program run by root could otherwise replace a
  // device node).
  struct stat existing;
  if (::stat(systemTarget_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
    throw FileError{kAccessDenied};
  std::string pattern = FolderOf(systemTarget_) + "." + BareName(systemTarget_) + ".kio-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) ThrowSystemError(errno);
  close(fd);
  temporary_ = name.data();
  // The temporary name is the target's and ASCII, so it has a program text.
  auto programTemporary = ProgramName(temporary_);
  if (!programTemporary || !out_.Open(*programTemporary, File::kReadWrite)) {
    int e = errno;
    unlink(temporary_.c_str());
    ThrowSystemError(e);
  }
}

ReplacementFile::~ReplacementFile() {
  out_.Close();
  if (!committed_) unlink(temporary_.c_str());
}

void ReplacementFile::KeepOldTail() {
  // Only the file of exactly this name is the old version: another whose
  // name differs in case is a different document.
  struct stat st;
  if (::stat(systemTarget_.c_str(), &st) != 0) return;
  File old;
  if (!old.Open(target_, File::kRead)) return;
  const uint64_t written = out_.Position();
  if (old.Length() <= written) return;
  old.Seek(static_cast<int64_t>(written));
  out_.Write(old.ReadAll());
}

void ReplacementFile::Commit() {
  struct stat st;
  const mode_t mode = stat(systemTarget_.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
  out_.Sync();
  if (chmod(temporary_.c_str(), mode) != 0) ThrowSystemError(errno);
  out_.Close();
  if (rename(temporary_.c_str(), systemTarget_.c_str()) != 0) ThrowSystemError(errno);
  committed_ = true;
  SyncFolder(FolderOf(systemTarget_));
}

}  // namespace kio
