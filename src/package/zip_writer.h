// A zip archive written the same way every time: entries in the order they
// are added, one fixed time on every entry, fixed permissions, UTF-8 names.
// Pictures, sounds and videos, compressed already, are stored; the rest is
// deflated.
#pragma once
#include <memory>
#include <string>

namespace kio {

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts a new archive at `file` (a system name). Nothing is written
  // there before Close succeeds: the archive is built beside it and renamed.
  bool Open(const std::string& file);
  // An entry from bytes in memory, or from a file on disk (read at Close).
  bool AddBytes(const std::string& name, std::string bytes);
  bool AddFile(const std::string& name, const std::string& source);
  bool Close();
  // Leaves the archive unwritten.
  void Discard();

  const std::string& Error() const { return error_; }

 private:
  bool Added(long long index, const std::string& name);
  struct Archive;
  std::unique_ptr<Archive> archive_;
  std::string error_;
};

}  // namespace kio
