// How a long dictionary operation (saving, exporting, merging) reports its
// progress and learns that it should stop, and the one loop that does both.
#pragma once
#include <cstdint>
#include <functional>

namespace kio {

struct LexiconProgress {
  // Receives the progress bar position: 0 at the start, one more after
  // every count/100 + 1 entries, and 0 again at the end.
  std::function<void(int position)> position;
  // Asked at every progress step with the entry reached; true stops the
  // operation. The editors ask the teacher when Escape was pressed; the
  // console tool stops on Ctrl-C.
  std::function<bool(uint32_t entry)> stop;
};

class ProgressLoop {
 public:
  ProgressLoop(const LexiconProgress& progress, uint32_t count)
      : progress_(progress), step_(count / 100 + 1) {
    Show(0);
  }
  ~ProgressLoop() { Show(0); }
  ProgressLoop(const ProgressLoop&) = delete;
  ProgressLoop& operator=(const ProgressLoop&) = delete;

  // Entry `n` is done; false when the operation is to stop. The stop
  // question comes once per progress step: after every entry in a small
  // dictionary, about a hundred times in a large one.
  bool Step(uint32_t n) {
    if (n % step_ != 0) return true;
    Show(++position_);
    return !(progress_.stop && progress_.stop(n));
  }

 private:
  void Show(int position) {
    if (progress_.position) progress_.position(position);
  }
  const LexiconProgress& progress_;
  uint32_t step_;
  int position_ = 0;
};

}  // namespace kio
