// Pieces the package formats share: the page that opens the start page, and the kit's platform script put
// into the activity pages of a learning-platform package.
#pragma once
#include <string>

namespace kio {

// A small pure-ASCII page that opens `target` (a course path) at once, with
// a link for browsers that do not follow the refresh.
std::string OpeningPage(const std::string& title, const std::string& target);

// The page with the platform script (templates/kit/scorm.js) and its
// settings put just before its last </body>: the data model version
// ("1.2" or "2004") and the mastery score in percent.
std::string WithPlatformScript(const std::string& page, const std::string& version, int mastery);

// A short fixed identifier made from a text (FNV-1a, 64 bits, in hex).
std::string Fingerprint(const std::string& text);

}  // namespace kio
