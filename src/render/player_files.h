// Support files that some pages need beside them (the video player, the
// memory cards' faces), copied from the program folder once.
#pragma once
#include <string>

namespace kio {

// Largest support file copied.
constexpr size_t kSupportFileLimit = 90000;

// Copies two support files from the program folder to outputFolder unless
// they are there already. False when the copy stopped (a message was shown);
// the page generation goes on either way.
bool CopyPlayerFiles(const std::string& first, const std::string& second);

}  // namespace kio
