// kio package START.htm --format web|scorm12|scorm2004 [--mastery N]
//   [--title T] [--leave-out] --out FILE.zip
//
// Packages the course a start page reaches. Exit 0 when the package is
// written; 1, with a message naming what is wrong, otherwise. Links that
// cannot travel (missing files, files outside the course folder) are listed
// and stop it, unless --leave-out says to package without them.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace kio {

// `args` are the words after "package".
int RunPackageCommand(const std::vector<std::string>& args);
int RunPackageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kio
