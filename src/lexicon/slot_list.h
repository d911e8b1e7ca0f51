// The dictionary's slots in memory: the pointer file's offsets in slot order,
// each with where its headword's sort key lies. Kept in blocks of a few
// hundred so that inserting or deleting anywhere in a dictionary of a hundred
// thousand entries moves a few kilobytes, and a position is found by a binary
// search over the blocks.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kio {

struct LexiconSlot {
  uint32_t offset = 0;    // the slot's value: where the record lies in the data file
  uint32_t keyStart = 0;  // the headword's sort key, in the store's key arena
  uint32_t keySize = 0;
  uint32_t damaged = 0;  // nonzero: the record cannot be read (its key is empty)
};

class SlotList {
 public:
  size_t size() const { return size_; }

  const LexiconSlot& operator[](size_t i) const {
    auto [b, j] = Locate(i);
    return blocks_[b][j];
  }
  LexiconSlot& operator[](size_t i) {
    auto [b, j] = Locate(i);
    return blocks_[b][j];
  }

  void Assign(const std::vector<LexiconSlot>& slots);
  void Insert(size_t i, const LexiconSlot& slot);
  void Erase(size_t first, size_t last);
  void Erase(size_t i) { Erase(i, i + 1); }

  // Calls f(position, slot) for every slot from `first` on, in order, while
  // it returns true.
  template <class F>
  void ForEachFrom(size_t first, F f) const {
    if (first >= size_) return;
    auto [b, j] = Locate(first);
    size_t pos = first;
    for (; b < blocks_.size(); ++b, j = 0)
      for (; j < blocks_[b].size(); ++j, ++pos)
        if (!f(pos, blocks_[b][j])) return;
  }

  // The first position whose slot is not `before` the sought value, as in
  // std::lower_bound; `before(position, slot)` is the ordering test.
  template <class Before>
  size_t LowerBound(Before before) const {
    if (size_ == 0) return 0;
    // First block whose last slot is not before the value.
    size_t lo = 0, hi = blocks_.size();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      size_t last = blocks_[mid].size() - 1;
      if (before(starts_[mid] + last, blocks_[mid][last]))
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == blocks_.size()) return size_;
    const std::vector<LexiconSlot>& block = blocks_[lo];
    size_t a = 0, z = block.size() - 1;  // the last one is known not to be before
    while (a < z) {
      size_t mid = (a + z) / 2;
      if (before(starts_[lo] + mid, block[mid]))
        a = mid + 1;
      else
        z = mid;
    }
    return starts_[lo] + a;
  }

 private:
  static constexpr size_t kBlock = 512;  // a block is split when it reaches twice this

  std::pair<size_t, size_t> Locate(size_t i) const {
    size_t b = std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin() - 1;
    return {b, i - starts_[b]};
  }
  void Renumber(size_t fromBlock);

  std::vector<std::vector<LexiconSlot>> blocks_;
  std::vector<size_t> starts_;  // position of each block's first slot
  size_t size_ = 0;
};

}  // namespace kio
