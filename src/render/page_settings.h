// The page-layout settings of the activity pages, and the settings block
// that begins every activity document.
#pragma once
#include <string>

#include "fileio/file.h"
#include "fileio/session.h"

namespace kio {

// Longest string of the block.
constexpr size_t kBlockStringLimit = 14999;

// Restores the defaults of every field but the box colour and the
// completion message.
void ResetPageSettings();
// Writes the block at the file's current position.
void WriteSettingsBlock(File& file);
// Reads the block from the file's current position (see blockStatus).
// Throws FileError for a string longer than 14,999 bytes or running past
// the end of the file.
void ReadSettingsBlock(File& file);

}  // namespace kio
