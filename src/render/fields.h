// The field encoding of every document: a text is a 32-bit little-endian
// byte count followed by that many bytes, without terminator; a number is a
// 32-bit little-endian integer. Reading checks each count against the
// field's limit and against the bytes left in the file before taking
// anything, so a damaged document is refused with a cause and nothing is
// overrun or allocated beyond the limit.
#pragma once
#include <cstdint>
#include <string>

#include "fileio/file.h"

namespace kio {

class FieldReader {
 public:
  explicit FieldReader(File& file) : file_(file) {}

  // A text field of at most `limit` bytes. A count beyond the limit throws
  // FileError{kInvalidFile}; a count beyond the end of the file throws
  // FileError{kEndOfFile}. Either way nothing is consumed past the count.
  std::string Text(size_t limit);
  // A text field cut to `limit` bytes: the bytes beyond it are passed over
  // and `cut` is set. A count beyond the end of the file throws
  // FileError{kEndOfFile}.
  std::string TextCut(size_t limit, bool& cut);
  // A number field; FileError{kEndOfFile} when fewer than 4 bytes are left.
  uint32_t Number();
  // The next count, unchecked (the settings block looks at its markers'
  // counts before deciding what follows).
  uint32_t Count() { return Number(); }
  // Exactly `size` bytes; FileError{kEndOfFile} when the file holds fewer.
  std::string Bytes(size_t size);
  // Bytes between the current position and the end of the file.
  uint64_t Remaining();

 private:
  File& file_;
};

class FieldWriter {
 public:
  explicit FieldWriter(File& file) : file_(&file) {}
  // Into memory: the fields are appended to `bytes`.
  explicit FieldWriter(std::string& bytes) : bytes_(&bytes) {}
  void Text(const std::string& text);
  void Number(uint32_t value);

 private:
  void Put(const std::string& encoded);
  File* file_ = nullptr;
  std::string* bytes_ = nullptr;
};

// The same encoding into and out of memory.
std::string EncodeNumber(uint32_t value);
std::string EncodeText(const std::string& text);

}  // namespace kio
