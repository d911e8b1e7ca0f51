// A full check of a dictionary pair: everything the store relies on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kio {

struct PairCheck {
  uint32_t count = 0;                 // as the pointer file gives it (0 when unreadable)
  std::vector<std::string> problems;  // one line each, UTF-8; empty when the pair is sound
  size_t unlisted = 0;                // problems found beyond the listed ones
  bool sound() const { return problems.empty(); }
};

// Checks the pointer file's count against its length, every slot's offset
// and record (inside the data file, length 0 .. 4094, a sound entry text),
// the two sentinels, a headword for every real entry, and that the
// headwords ascend strictly in the order of CompareHeadwords. At most
// `listed` problems are described.
PairCheck CheckPair(const std::string& pointerBytes, const std::string& dataBytes, size_t listed = 50);

}  // namespace kio
