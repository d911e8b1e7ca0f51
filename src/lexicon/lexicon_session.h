// The session's dictionary: the store the editors and the lexical page
// share, and the four dictionary names the session keeps in appPaths (read
// from "lexicon.dat" at start-up, shown by the editor). The store itself
// knows nothing of the session: it is handed the names and the folder here,
// and the names it changes (a new or a chosen dictionary) come back here.
#pragma once
#include <string>

#include "lexicon/lexicon_store.h"

namespace kio {

// The dictionary in use, kept by the session, with the session's names and
// the program folder (or the working folder before the home screen set it).
LexiconStore& Lexicon();

// The session's dictionary files: appPaths' four names in the program
// folder.
LexiconFiles SessionLexiconFiles();

// Gives `store` the session's dictionary files, and writes the names the
// store changes back into the session.
void FollowSession(LexiconStore& store);

// Derives the pointer, backup data and backup pointer names from
// appPaths.lexiconDataFile (lower-cased first).
void DeriveLexiconNames();

}  // namespace kio
