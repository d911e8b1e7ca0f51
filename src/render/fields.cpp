#include "render/fields.h"

namespace kio {

std::string EncodeNumber(uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string EncodeText(const std::string& text) {
  return EncodeNumber(static_cast<uint32_t>(text.size())) + text;
}

uint64_t FieldReader::Remaining() {
  const uint64_t length = file_.Length();
  const uint64_t position = file_.Position();
  return position < length ? length - position : 0;
}

uint32_t FieldReader::Number() {
  unsigned char b[4];
  file_.ReadExact(b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

std::string FieldReader::Bytes(size_t size) {
  if (size == 0) return {};
  // Checked before allocating, so that a damaged count cannot ask for more
  // memory than the file holds.
  if (size > Remaining()) throw FileError{kEndOfFile};
  std::string out(size, '\0');
  file_.ReadExact(out.data(), size);
  return out;
}

std::string FieldReader::Text(size_t limit) {
  const uint32_t count = Number();
  if (count > limit) throw FileError{kInvalidFile};
  return Bytes(count);
}

std::string FieldReader::TextCut(size_t limit, bool& cut) {
  const uint32_t count = Number();
  if (count > Remaining()) throw FileError{kEndOfFile};
  if (count <= limit) return Bytes(count);
  cut = true;
  const uint64_t end = file_.Position() + count;
  std::string out = Bytes(limit);
  file_.Seek(static_cast<int64_t>(end));
  return out;
}

void FieldWriter::Put(const std::string& encoded) {
  if (file_)
    file_->Write(encoded);
  else
    bytes_->append(encoded);
}

void FieldWriter::Number(uint32_t value) { Put(EncodeNumber(value)); }

void FieldWriter::Text(const std::string& text) { Put(EncodeText(text)); }

}  // namespace kio
