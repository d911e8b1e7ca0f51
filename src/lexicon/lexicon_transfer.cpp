#include "lexicon/lexicon_transfer.h"

#include "fileio/failure.h"
#include "lexicon/pair_check.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

// Reads the real entries 1 .. count-2 of `store` into `take`, one progress
// step at a time; false at an entry that cannot be read (after leaving
// `damaged` in the store, behind the store's own notice) or when stopped.
template <typename Take>
bool ForEachEntry(LexiconStore& store, const LexiconProgress& progress, const std::string& damaged,
                  Take take) {
  const uint32_t count = store.Count();
  ProgressLoop loop(progress, count);
  for (uint32_t n = 1; n + 1 < count; ++n) {
    uint32_t k = n;
    LexiconEntry entry = store.ReadEntry(k);
    if (entry.empty()) {
      store.Leave({damaged, "KIO "});
      return false;
    }
    take(std::move(entry));
    if (!loop.Step(n)) return false;
  }
  return true;
}

}  // namespace

std::string ExportInterruptQuestion(uint32_t n) {
  return Win1252("Salvou como texto até palavra ") + std::to_string(n) + ". Interromper?";
}

bool ExportText(LexiconStore& store, std::string& text, const LexiconProgress& progress, bool whole) {
  return ForEachEntry(
      store, progress, Win1252("Impossível ler do dicionário. Arquivo possivelmente deteriorado."),
      [&](LexiconEntry entry) { text += whole ? ExportWholeEntryText(entry) : ExportEntryText(entry); });
}

bool ReadMergeSource(const std::string& pointerBytes, const std::string& dataBytes,
                     std::vector<TextEntry>& entries, std::vector<LexiconNotice>& notices,
                     const LexiconProgress& progress) {
  const std::string damaged = Win1252("Impossível mesclar. Arquivo possivelmente deteriorado.");
  // A damaged pair (a lowered count, a lost sentinel) can read as a shorter
  // sound one: merging it would drop entries without a word.
  if (!CheckPair(pointerBytes, dataBytes).sound()) {
    notices.push_back({damaged, OopsCaption()});
    return false;
  }
  LexiconStore source;
  if (!source.OpenBytes(pointerBytes, dataBytes)) {
    notices = source.TakeNotices();
    return false;
  }
  const bool done = ForEachEntry(source, progress, damaged, [&](LexiconEntry entry) {
    entries.push_back({"", "", std::move(entry)});
  });
  for (LexiconNotice& notice : source.TakeNotices()) notices.push_back(std::move(notice));
  return done;
}

}  // namespace kio
