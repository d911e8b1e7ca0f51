// kio convert: question banks into KIO documents and KIO documents out to
// question banks, from the command line.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace kio::questions {

// Runs `kio convert [--from gift|aiken|moodlexml] IN OUT` (the arguments
// after "convert"). Returns the exit status: 0 when every question found a
// place, 1 with the problems listed (no file written when nothing could be
// converted), 2 for a command line that cannot be understood. The report
// goes to `out`, the problems and errors to `err`. The documents written
// carry the session's completion message.
int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same on the standard output and error, for `kio convert`, in a
// session started with StartToolSession.
int RunConvertCommand(const std::vector<std::string>& args);

// The names of the documents an import makes from OUT: OUT itself for one,
// "name-1.ext", "name-2.ext"... for several.
std::vector<std::string> DocumentNames(const std::string& out, size_t count);

}  // namespace kio::questions
