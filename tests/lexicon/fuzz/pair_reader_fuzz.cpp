// libFuzzer target for the dictionary pair reader. An input is a 16-bit
// little-endian length n, then n bytes of pointer file, then the data file.
// The pair is checked, opened, read, searched and changed in memory; every
// message goes nowhere.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lexicon/lexicon_store.h"
#include "lexicon/pair_check.h"
#include "platform/platform.h"
#include "silent_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static kio::test::SilentPlatform silent;
  kio::SetPlatform(&silent);
  if (size < 2) return 0;
  size_t n = bytes[0] | bytes[1] << 8;
  const char* p = reinterpret_cast<const char*>(bytes) + 2;
  size_t rest = size - 2;
  if (n > rest) n = rest;
  std::string pointer(p, n), data(p + n, rest - n);

  kio::CheckPair(pointer, data);
  kio::LexiconStore store;
  if (!store.OpenBytes(pointer, data, true)) return 0;
  const uint32_t count = store.Count();
  for (uint32_t i = 0; i <= count && i < 64; ++i) {
    uint32_t a = i, b = i;
    store.ReadEntry(a);
    store.ProbeEntry(b);
  }
  for (std::string key : {"a", "m", "zzzzzzzzzzzzzzzzzzzz", "zzzzzzzzzzzzzzzzzzzzz", "\x01"}) store.Find(key);
  std::string key = "mid";
  store.PutEntry(key,
                 "mid\x1C"
                 "entry\x02");
  store.DeleteRange(1, count > 3 ? 3 : 1);
  store.InsertSlot(1);
  uint32_t last = 999999999;
  store.ReadEntry(last);
  return 0;
}
