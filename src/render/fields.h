// The field encoding of every document: a text is a 32-bit little-endian
// byte count followed by that many bytes, a number a 32-bit little-endian
// integer. Reading checks each count against the field's limit and the
// bytes left in the file before taking anything, so a damaged document is
// refused with a cause and nothing is overrun.
#pragma once
#include <cstdint>
#include <string>

#include "fileio/file.h"

namespace kio {

class FieldReader {
 public:
  explicit FieldReader(File& file) : file_(file) {}
  // A text of at most `limit` bytes. A count beyond the limit, or beyond
  // the end of the file, throws FileError: kInvalidFile or kEndOfFile.
  std::string Text(size_t limit);
  uint32_t Number();
  // The next count, without checking it (the settings block looks at its
  // markers' counts before deciding what follows).
  uint32_t Count() { return Number(); }
  // Exactly `size` bytes.
  std::string Bytes(size_t size);

 private:
  File& file_;
};

class FieldWriter {
 public:
  explicit FieldWriter(File& file) : file_(file) {}
  void Text(const std::string& text);
  void Number(uint32_t value);

 private:
  File& file_;
};

// The same encoding into and out of memory.
std::string EncodeNumber(uint32_t value);
std::string EncodeText(const std::string& text);

}  // namespace kio
