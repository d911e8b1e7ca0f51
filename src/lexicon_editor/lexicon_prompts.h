// The dialog side of the dictionary store: showing what it left to say,
// asking whether to stop a long operation when Escape is pressed, and
// opening the dictionary with the offer to find or create one.
#pragma once
#include <functional>
#include <string>

#include "lexicon/lexicon_store.h"

namespace kio {

class Dialog;

// Shows, one box each, the messages the store left.
void ShowNotices(LexiconStore& store, const Dialog* window);

// Returns true when the dictionary's name was `recorded`; otherwise shows
// the store's messages and ends the program, since it cannot work without
// a dictionary name.
bool EndOnRefusedName(LexiconStore& store, const Dialog* window, bool recorded);

// A LexiconProgress that moves progress bar `progressId` of `window` (0: no
// bar) and, when Escape was pressed, asks `question(entry)` under `caption`
// (Yes stops).
LexiconProgress EscapeStops(Dialog* window, int progressId, std::function<std::string(uint32_t)> question,
                            const std::string& caption);

// Opens the current dictionary read-only. When it cannot be opened, offers
// to find one (which becomes the current dictionary, after which `startUp`
// runs so that the names are derived anew) or to create one. A name that
// cannot be a dictionary's ends the program.
bool OpenDictionaryAsking(LexiconStore& store, const Dialog* window,
                          const std::function<void()>& startUp = {});

}  // namespace kio
