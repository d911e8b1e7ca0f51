#include "fileio/file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_names.h"

namespace kio {

FileError::FileError(int cause, int systemError)
    : cause(cause),
      systemError(systemError),
      what_(systemError != 0 ? std::string(std::strerror(systemError))
                             : "file error, cause " + std::to_string(cause)) {}

void ThrowSystemError(int error) { throw FileError(CauseFromErrno(error), error); }

FileErrorCause CauseFromErrno(int error) {
  switch (error) {
    case ENOENT: return kFileNotFound;
    case EBADF: return kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kAccessDenied;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case EIO: return kHardwareError;
    case ESPIPE:
    case EINVAL: return kBadSeek;
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP: return kBadPath;
    case EISDIR: return kInvalidFile;
    case EBUSY:
    case ETXTBSY: return kSharingViolation;
    case EDEADLK:
    case ENOLCK: return kLockViolation;
    default: return kGenericError;
  }
}

std::string BareName(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string FolderOf(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? "" : path.substr(0, p + 1);
}

namespace {

std::string SystemWorkingFolder() {
  std::vector<char> buf(PATH_MAX + 1);
  if (!getcwd(buf.data(), buf.size())) return "";
  return buf.data();
}

}  // namespace

std::string WorkingFolder() {
  auto s = ProgramName(SystemWorkingFolder());
  if (!s || s->empty()) return "./";
  if (s->back() != '/') *s += '/';
  return *s;
}

std::string WorkingFolderUnfitCharacter() { return FirstUnfitCharacter(SystemWorkingFolder()); }

std::string ResolveCase(const std::string& path) {
  struct stat st;
  if (path.empty() || lstat(SystemName(path).c_str(), &st) == 0) return path;
  std::string out;
  size_t i = 0;
  if (path[0] == '/') {
    out = "/";
    i = 1;
  }
  while (i <= path.size()) {
    size_t slash = path.find('/', i);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(i, slash - i);
    if (!part.empty()) {
      std::string candidate = out + part;
      if (lstat(SystemName(candidate).c_str(), &st) != 0) {
        // Look for the part among the folder's entries, ignoring case. An
        // entry whose name the program cannot hold cannot be the one asked.
        std::string folder = out.empty() ? "." : out;
        std::string wanted = ToLower(part);
        if (DIR* d = opendir(SystemName(folder).c_str())) {
          while (dirent* e = readdir(d)) {
            auto entry = ProgramName(e->d_name);
            if (entry && ToLower(*entry) == wanted) {
              candidate = out + *entry;
              break;
            }
          }
          closedir(d);
        }
      }
      out = candidate;
      if (slash < path.size()) out += '/';
    } else if (slash < path.size() && !out.empty() && out.back() != '/') {
      out += '/';
    }
    i = slash + 1;
  }
  return out;
}

std::string SystemPath(const std::string& name) { return SystemName(ResolveCase(name)); }

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(SystemPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileWritable(const std::string& path) { return access(SystemPath(path).c_str(), W_OK) == 0; }

File::~File() { Close(); }

bool File::Open(const std::string& name, Mode mode) {
  Close();
  errno = 0;
  // A file to read is found whatever the case of its name; a file made
  // (or emptied) is exactly the one named, never another whose name
  // differs only in case.
  path_ = mode == kCreateWrite ? name : ResolveCase(name);
  const char* how = mode == kRead ? "rb" : mode == kReadWrite ? "r+b" : "wb";
  fp_ = std::fopen(SystemName(path_).c_str(), how);
  // Writes go straight to the system so that a full disk or a failing
  // device shows on the write that met it, not later on a silent close.
  if (fp_ && mode != kRead) std::setvbuf(fp_, nullptr, _IONBF, 0);
  return fp_ != nullptr;
}

void File::Create(const std::string& name) {
  if (!Open(name, kCreateWrite)) ThrowSystemError(errno);
}

void File::Close() {
  if (fp_) std::fclose(fp_);
  fp_ = nullptr;
}

void File::Check() const {
  if (!fp_) throw FileError{kFileNotFound};
}

size_t File::Read(void* buffer, size_t size) {
  Check();
  if (size == 0) return 0;
  size_t n = std::fread(buffer, 1, size, fp_);
  if (n < size && std::ferror(fp_)) {
    int e = errno;
    std::clearerr(fp_);
    ThrowSystemError(e);
  }
  return n;
}

void File::ReadExact(void* buffer, size_t size) {
  if (Read(buffer, size) != size) throw FileError{kEndOfFile};
}

void File::Write(const void* data, size_t size) {
  Check();
  if (size == 0) return;
  if (std::fwrite(data, 1, size, fp_) != size) {
    int e = errno;
    std::clearerr(fp_);
    ThrowSystemError(e);
  }
}

void File::Flush() {
  Check();
  if (std::fflush(fp_) != 0) ThrowSystemError(errno);
}

void File::Sync() {
  Flush();
  if (fsync(fileno(fp_)) != 0) ThrowSystemError(errno);
}

void File::SeekToBegin() { Seek(0); }

void File::Seek(int64_t offset) {
  Check();
  if (offset < 0 || std::fseek(fp_, static_cast<long>(offset), SEEK_SET) != 0) throw FileError{kBadSeek};
}

uint64_t File::Length() {
  Check();
  struct stat st;
  if (fstat(fileno(fp_), &st) != 0) ThrowSystemError(errno);
  return static_cast<uint64_t>(st.st_size);
}

uint64_t File::Position() {
  Check();
  long p = std::ftell(fp_);
  if (p < 0) throw FileError{kBadSeek};
  return static_cast<uint64_t>(p);
}

std::string File::ReadAll() {
  std::string out;
  char buf[65536];
  size_t n;
  while ((n = Read(buf, sizeof buf)) > 0) out.append(buf, n);
  return out;
}

bool ReadWholeFile(const std::string& name, std::string& contents) {
  File f;
  if (!f.Open(name, File::kRead)) return false;
  try {
    contents = f.ReadAll();
  } catch (const FileError&) {
    return false;
  }
  return true;
}

}  // namespace kio
