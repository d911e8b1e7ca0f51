// The advisory lock of a dictionary pair: one lock file beside the pair
// (the data file's name with ".lck"), taken with flock. Reading takes it
// shared; a save, and the tidying of a save cut short, take it exclusively,
// so that tidying never touches the files of a save still in progress and
// two saves never interleave. A holder that waits longer than a short while
// gives up: the dictionary is in use by another program.
//
// Within one process the locks of one pair nest: a holder may take the lock
// again (the store inside kio-lexicon, say) without waiting for itself. A
// shared hold is made exclusive in place when asked.
#pragma once
#include <chrono>
#include <string>

namespace kio {

constexpr std::chrono::milliseconds kDictionaryLockWait{5000};

// "ingles.kio" -> "ingles.lck", in the same folder.
std::string DictionaryLockFile(const std::string& dataFile);

// "Dictionary in use by another program" in both languages.
std::string DictionaryInUseMessage();

class DictionaryLock {
 public:
  enum class Kind { kShared, kExclusive };
  DictionaryLock() = default;
  ~DictionaryLock() { Release(); }
  DictionaryLock(const DictionaryLock&) = delete;
  DictionaryLock& operator=(const DictionaryLock&) = delete;

  // Takes the lock of the pair whose data file is `dataFile`, waiting up to
  // `wait` for other programs. False when it is still held elsewhere, or the
  // lock file cannot be made (a read-only folder: then nobody can write the
  // pair there either, and a shared lock is granted without a file).
  bool Acquire(const std::string& dataFile, Kind kind, std::chrono::milliseconds wait = kDictionaryLockWait);
  // Lets go; the lock file stays (removing it could part two waiters).
  void Release();
  bool Held() const { return !path_.empty(); }

 private:
  std::string path_;  // the lock file, while held
  Kind kind_ = Kind::kShared;
  bool upgraded_ = false;  // made a shared process-wide hold exclusive
};

}  // namespace kio
