#include "lexicon/slot_list.h"

#include <tuple>

namespace kio {

void SlotList::Assign(const std::vector<LexiconSlot>& slots) {
  blocks_.clear();
  starts_.clear();
  size_ = slots.size();
  for (size_t i = 0; i < slots.size(); i += kBlock) {
    size_t end = std::min(slots.size(), i + kBlock);
    blocks_.emplace_back(slots.begin() + i, slots.begin() + end);
    starts_.push_back(i);
  }
}

void SlotList::Renumber(size_t fromBlock) {
  for (size_t b = fromBlock; b < blocks_.size(); ++b)
    starts_[b] = b == 0 ? 0 : starts_[b - 1] + blocks_[b - 1].size();
}

void SlotList::Insert(size_t i, const LexiconSlot& slot) {
  if (i > size_) i = size_;
  if (blocks_.empty()) {
    blocks_.push_back({slot});
    starts_.push_back(0);
    size_ = 1;
    return;
  }
  size_t b, j;
  if (i == size_) {
    b = blocks_.size() - 1;
    j = blocks_[b].size();
  } else {
    std::tie(b, j) = Locate(i);
  }
  std::vector<LexiconSlot>& block = blocks_[b];
  block.insert(block.begin() + j, slot);
  ++size_;
  if (block.size() >= 2 * kBlock) {
    std::vector<LexiconSlot> tail(block.begin() + kBlock, block.end());
    block.resize(kBlock);
    blocks_.insert(blocks_.begin() + b + 1, std::move(tail));
    starts_.insert(starts_.begin() + b + 1, 0);
  }
  Renumber(b + 1);
}

void SlotList::Erase(size_t first, size_t last) {
  if (last > size_) last = size_;
  if (first >= last) return;
  auto [b, j] = Locate(first);
  size_t remaining = last - first;
  size_t firstTouched = b;
  while (remaining > 0) {
    std::vector<LexiconSlot>& block = blocks_[b];
    size_t n = std::min(remaining, block.size() - j);
    block.erase(block.begin() + j, block.begin() + j + n);
    remaining -= n;
    if (block.empty() && blocks_.size() > 1) {
      blocks_.erase(blocks_.begin() + b);
      starts_.erase(starts_.begin() + b);
    } else {
      ++b;
    }
    j = 0;
  }
  size_ -= last - first;
  Renumber(firstTouched);
}

}  // namespace kio
