// File objects whose failures travel as FileError exceptions carrying a
// FileErrorCause, and the platform's file services the editors use.
#pragma once
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/file_names.h"     // SystemName, ProgramName
#include "platform/text_encoding.h"  // ToLower

namespace kio {

// The cause of a failed file operation.
enum FileErrorCause : int {
  kGenericError = 1,
  kFileNotFound = 2,  // also: a file object that failed to open was used
  kBadPath = 3,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,  // also write-protected media
  kInvalidFile = 6,
  kRemoveCurrentFolder = 7,
  kFolderFull = 8,
  kBadSeek = 9,
  kHardwareError = 10,
  kSharingViolation = 11,
  kLockViolation = 12,
  kDiskFull = 13,
  kEndOfFile = 14,
};

// Maps an errno value to its cause.
FileErrorCause CauseFromErrno(int error);

// The one error of a failed file operation: the program's cause (which
// picks the message the teacher reads) and, when the system gave one, its
// own reason (errno), which what() words as the system does.
class FileError : public std::exception {
 public:
  explicit FileError(int cause, int systemError = 0);
  // The system's reason in its words ("No space left on device"), or the
  // cause's number when the program found the fault itself.
  const char* what() const noexcept override { return what_.c_str(); }

  int cause;
  int systemError;

 private:
  std::string what_;
};

// Throws the FileError of the system error `error`.
[[noreturn]] void ThrowSystemError(int error);

// Finds a file or folder whatever the case of its name on disk: each part of
// the path that does not exist as written is looked up among its folder's
// entries ignoring case. Names are lower-cased before use throughout the
// program, so a teacher's "Aula 1.CLO" is found again as "aula 1.clo".
// Returns the path as written when nothing matches.
// Takes and gives program texts (see platform/file_names.h).
std::string ResolveCase(const std::string& path);
// The file system's name of a file to read or look at, found as ResolveCase
// finds it. Every call into the system with a program's name goes through
// this or, for a file written under exactly the chosen name, SystemName.
std::string SystemPath(const std::string& name);

bool FileExists(const std::string& path);  // a file (not a folder), any case
// True when the process may write the file (which must exist).
bool FileWritable(const std::string& path);

std::string BareName(const std::string& path);  // after the last "/"
std::string FolderOf(const std::string& path);  // up to and including the last "/"
// The working folder as a program text, with a trailing "/"; "./" when its
// name holds a character the program's texts cannot hold (names under "./"
// still reach the same files).
std::string WorkingFolder();
// The first character of the working folder's name that the program's texts
// cannot hold; empty when there is none.
std::string WorkingFolderUnfitCharacter();

class File {
 public:
  enum Mode { kRead, kReadWrite, kCreateWrite };
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens without throwing; false when the file cannot be opened. A file
  // object that failed to open reports cause 2 on its first use. A file
  // opened to read (or read and write) is found whatever the case of its
  // name; kCreateWrite makes or empties exactly the file named.
  bool Open(const std::string& name, Mode mode);
  // Opens for writing, emptying or making the file; throws the system's
  // cause when it cannot.
  void Create(const std::string& name);
  bool IsOpen() const { return fp_ != nullptr; }
  const std::string& Path() const { return path_; }
  // Never throws: writes are unbuffered, so their errors were reported by
  // Write. Closing a closed file does nothing.
  void Close();

  // Reads up to `size` bytes; returns how many were read (fewer at the end).
  size_t Read(void* buffer, size_t size);
  // Reads exactly `size` bytes or throws cause 14.
  void ReadExact(void* buffer, size_t size);
  void Write(const void* data, size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }
  void SeekToBegin();
  void Seek(int64_t offset);
  uint64_t Length();
  uint64_t Position();
  void Flush();
  // Flushes and makes the system put the bytes on the disk; throws FileError.
  void Sync();

  // Reads the whole file; throws like Read.
  std::string ReadAll();

 private:
  void Check() const;
  std::FILE* fp_ = nullptr;
  std::string path_;
};

// Reads a whole file by name; false when it cannot be opened.
bool ReadWholeFile(const std::string& name, std::string& contents);

}  // namespace kio
