// Support files that some pages need beside them (the video player, the
// memory cards' faces), copied from the program folder once.
#pragma once
#include <optional>
#include <string>

#include "fileio/failure.h"

namespace kio {

// Largest support file copied.
constexpr size_t kSupportFileLimit = 90000;

// Copies two support files from the program folder into `folder` (with its
// trailing "/"; empty: the working folder) unless they are there already.
// The failure that stopped the copy, when it stopped; the page generation
// goes on either way.
std::optional<Failure> CopyPlayerFiles(const std::string& folder, const std::string& first,
                                       const std::string& second);
// The same into the session's outputFolder, showing the failure; false
// when the copy stopped.
bool CopyPlayerFiles(const std::string& first, const std::string& second);

}  // namespace kio
