// Moving entries out of and into a dictionary in bulk: the text export and
// the entries of another dictionary to merge. Both run through one
// ProgressLoop, so that a long run shows its progress and can be stopped;
// failures are left as the store's notices.
#pragma once
#include <string>
#include <vector>

#include "lexicon/lexicon_progress.h"
#include "lexicon/lexicon_store.h"
#include "lexicon/lexicon_text.h"

namespace kio {

// The question the dictionary editor asks when Escape is pressed during the
// text export, at entry `n`.
std::string ExportInterruptQuestion(uint32_t n);

// Every real entry of the open dictionary in the text layout. False when an
// entry cannot be read (a notice says so) or when `progress` stopped it.
// With `whole`, the whole layout (lexicon_text.h), notes and every line of
// the body included.
bool ExportText(LexiconStore& store, std::string& text, const LexiconProgress& progress = {},
                bool whole = false);

// The entries of the dictionary pair given as bytes, to be put into another
// with PutEntries. False, with the notices in `notices`, when the pair
// cannot be read, fails the pair check or an entry of it is damaged, or when
// `progress` stopped.
bool ReadMergeSource(const std::string& pointerBytes, const std::string& dataBytes,
                     std::vector<TextEntry>& entries, std::vector<LexiconNotice>& notices,
                     const LexiconProgress& progress = {});

}  // namespace kio
