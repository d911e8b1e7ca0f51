// kio activities: a Cloze, a Memory, a Multiple choice and a Sequence made
// from a lexical page's text and a dictionary, from the command line.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace kio::questions {

// Runs `kio activities TEXT.hpl --dictionary DICT.kio --out FOLDER
// [--every N] [--pairs N]` (the arguments after "activities"). Returns 0
// when the documents were written, 1 with a message on `err` otherwise
// (a wrong command line, a file that cannot be read, a document already in
// FOLDER: nothing is replaced). What was written is listed on `out`. The
// documents written carry the session's completion message.
int RunActivitiesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same on the standard output and error, for `kio activities`, in a
// session started with StartToolSession.
int RunActivitiesCommand(const std::vector<std::string>& args);

}  // namespace kio::questions
