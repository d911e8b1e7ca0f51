// The dictionary editor's operations over many entries at once: replacing a
// segment throughout, searching a segment, cutting a range of entries and
// saving a range as a dictionary of its own. They work on the store as it is
// being edited, show nothing and ask nothing: failures are left as the
// store's notices, and long runs go through a LexiconProgress.
#pragma once
#include <cstdint>
#include <string>

#include "lexicon/lexicon_progress.h"
#include "lexicon/lexicon_store.h"

namespace kio {

// Longest segment the Replace and Search dialogs take.
constexpr size_t kLongestSegment = 98;

// --- Replace ----------------------------------------------------------------

// `text` with every occurrence of `segment` replaced by `replacement`, from
// the left; the search goes on after each replacement, so a replacement that
// holds the segment ("colour" by "colours") is never replaced again.
// `count` is increased by the number of replacements.
std::string ReplaceSegment(const std::string& text, const std::string& segment,
                           const std::string& replacement, size_t& count);

struct ReplaceReport {
  uint32_t searched = 0;    // real entries when the replacement began
  size_t replacements = 0;  // occurrences replaced
  uint32_t changedEntries = 0;
  bool stopped = false;  // `progress` stopped it: nothing was changed
};

// Replaces `segment` by `replacement` in every real entry, headword
// included; an entry whose headword changed is filed under its new
// headword (replacing an entry that already has it). Each entry is looked at
// once, as it was before the replacement began. Stopping leaves the
// dictionary as it was.
ReplaceReport ReplaceThroughout(LexiconStore& store, const std::string& segment,
                                const std::string& replacement, const LexiconProgress& progress = {});

// The question the editor asks when Escape is pressed during Replace.
std::string ReplaceInterruptQuestion(uint32_t n);

// --- Search -----------------------------------------------------------------

// Upper case of the Windows-1252 letters; every other byte is kept.
std::string UpperCase1252(std::string text);

// The first real entry after `current` whose text holds `segment`, ignoring
// case; 0 when none does (or `progress` stopped the search).
uint32_t SearchSegment(LexiconStore& store, uint32_t current, const std::string& segment,
                       const LexiconProgress& progress = {});

// The message when Search found nothing, after `searched` entries.
std::string SearchNotFoundMessage(uint32_t searched);
std::string SearchInterruptQuestion(uint32_t n);

// --- Cut segment --------------------------------------------------------------

// Whether the Cut segment dialog takes the numbers: 1 <= from <= count-2 and
// 1 <= to <= count-1.
bool CutRangeFits(uint32_t count, uint32_t from, uint32_t to);
// Removes entries from .. to inclusive; nothing when to < from. A `to` on
// the closing sentinel removes through the last real entry.
bool CutSegment(LexiconStore& store, uint32_t from, uint32_t to);

// --- Save part ------------------------------------------------------------------

// Whether the Save part dialog takes the numbers: 1 <= from <= to <= count-2.
bool SavePartRangeFits(uint32_t count, uint32_t from, uint32_t to);

enum class SavePartResult { kSaved, kBadRange, kBadName, kDamaged, kStopped, kFileError };

// Writes real entries from .. to of the store, in order, as a new committed
// dictionary pair `dataFile` (a bare name with a dot; its pointer file is the
// part before the first dot plus ".kpo") in the store's folder, replacing
// files of those names. The pair is written only once every entry has been
// read; a damaged entry, a stop or a file failure leaves no new file behind,
// with a notice that says so; a damaged entry's notices include
// `fileNotSaved`, the interface's "file could not be saved" text.
SavePartResult SavePart(LexiconStore& store, uint32_t from, uint32_t to, const std::string& dataFile,
                        const LexiconProgress& progress = {}, const std::string& fileNotSaved = "");

std::string SavePartInterruptQuestion(uint32_t n);

}  // namespace kio
