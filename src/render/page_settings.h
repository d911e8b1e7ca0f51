// The page-layout settings of the activity pages, and the settings block
// that begins every activity document.
#pragma once
#include <string>

#include "fileio/file.h"
#include "fileio/session.h"
#include "render/fields.h"

namespace kio {

// Longest string of the block.
constexpr size_t kBlockStringLimit = 14999;

// The settings block of one document, as a value: its page settings and
// completion message, and what reading it found ("tem_tres_frames_e_cortabela",
// "vazio" or the bytes read).
struct SettingsBlock {
  PageSettings page;
  std::string completionMessage;
  std::string status;
};

// The page settings a new document starts with; `boxColor` is the
// interface language's (UiText record 180).
PageSettings DefaultPageSettings(const std::string& boxColor);

// Writes the block at the file's current position. Empty colours are
// written (and left in `block`) as their defaults.
void WriteSettingsBlock(File& file, SettingsBlock& block);
void WriteSettingsBlock(FieldWriter& writer, SettingsBlock& block);
// Reads the block from the file's current position into `block`: the
// fields the file holds replace `block`'s, the others stay. Throws
// FileError for a string longer than 14,999 bytes or running past the end
// of the file.
void ReadSettingsBlock(File& file, SettingsBlock& block);

// The same, for the editors, on the session's page settings, completion
// message and blockStatus.
// Restores the defaults of every field but the box colour and the
// completion message.
void ResetPageSettings();
void WriteSettingsBlock(File& file);
void ReadSettingsBlock(File& file);

}  // namespace kio
