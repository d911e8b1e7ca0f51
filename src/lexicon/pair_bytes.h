// The byte layout of a dictionary pair, shared by the store and the pair
// check: counts and offsets are 32-bit little-endian numbers; a record is a
// signed 16-bit little-endian length followed by that many bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lexicon/lexicon_entry.h"

namespace kio {

inline void PutU32(std::string& out, uint32_t v) {
  const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
  out.append(b, 4);
}

// The number whose four bytes begin at `at`, which must lie inside `bytes`.
inline uint32_t U32At(std::string_view bytes, size_t at) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<uint32_t>(u[3]) << 24);
}

inline void PutRecord(std::string& out, std::string_view text) {
  const uint16_t n = static_cast<uint16_t>(text.size());
  out += static_cast<char>(n & 0xFF);
  out += static_cast<char>(n >> 8);
  out += text;
}

// The bytes of a whole pair, built in order: the entry count, then the first
// sentinel, each entry, and the last sentinel (added by Close), each record's
// offset in the pointer bytes and the record itself in the data bytes.
struct PairBytes {
  std::string pointer, data;

  // `count` counts the entries with both sentinels.
  explicit PairBytes(uint32_t count) {
    PutU32(pointer, count);
    Add(kFirstSentinel);
  }
  void Add(std::string_view text) {
    PutU32(pointer, static_cast<uint32_t>(data.size()));
    PutRecord(data, text);
  }
  void Close() { Add(kLastSentinel); }
};

// Why the record at an offset cannot be read.
enum class RecordFault {
  kNone,
  kOffsetBeyond,  // its length does not lie inside the data file
  kBadLength,     // its length is outside 0 .. kLongestRecord
  kRunsPast,      // its text runs past the end of the data file
};

// Looks at the record at `offset` of `data`; `length` is set to its length
// whenever that lies inside the data file. The text then begins at offset + 2.
inline RecordFault RecordIn(std::string_view data, uint32_t offset, int16_t& length) {
  if (static_cast<uint64_t>(offset) + 2 > data.size()) return RecordFault::kOffsetBeyond;
  length = static_cast<int16_t>(static_cast<unsigned char>(data[offset]) |
                                (static_cast<unsigned char>(data[offset + 1]) << 8));
  if (length < 0 || length > kLongestRecord) return RecordFault::kBadLength;
  if (static_cast<uint64_t>(offset) + 2 + length > data.size()) return RecordFault::kRunsPast;
  return RecordFault::kNone;
}

}  // namespace kio
