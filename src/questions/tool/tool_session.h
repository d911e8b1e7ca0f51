// The session a command-line tool of this layer runs in.
#pragma once

namespace kio::questions {

// Starts the session of a tool run from `kio SUBCOMMAND`: everything as a
// program that has just started, but for the program folder the dispatch
// named, whose student language gives the completion message of the
// documents the tool writes (as a new document in the editors has it).
void StartToolSession();

}  // namespace kio::questions
