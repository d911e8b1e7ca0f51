// Writing a new version of a file without ever leaving a damaged one: the
// new bytes go to a temporary file in the same folder, which is synced and
// then renamed over the old file. Until Commit the old file is untouched;
// a replacement that is dropped (an error, a full disk) removes its
// temporary file and leaves the old file exactly as it was.
#pragma once
#include <cstdint>
#include <string>

#include "fileio/file.h"

namespace kio {

class ReplacementFile {
 public:
  // Makes the temporary file beside `target` (the exact name the file will
  // have). Throws FileError when it cannot be made.
  explicit ReplacementFile(std::string target);
  ~ReplacementFile();  // removes the temporary file unless committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Where the new bytes are written.
  File& Out() { return out_; }
  // Appends the bytes of the old file past what was written so far, so that
  // a shorter new version lies over the old bytes as a rewrite in place
  // would leave them. Nothing when there is no old file. Throws FileError.
  void KeepOldTail();
  // Syncs the new bytes and puts them in place of the old file (keeping its
  // permissions). Throws FileError; the old file is untouched then.
  void Commit();
  const std::string& Target() const { return target_; }

 private:
  std::string target_;        // a program text
  std::string systemTarget_;  // the file system's name for it
  std::string temporary_;     // a file system name
  File out_;
  bool committed_ = false;
};

}  // namespace kio
