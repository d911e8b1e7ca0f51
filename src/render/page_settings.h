// The page-layout settings of the activity pages, and the settings block
// that begins every activity document.
#pragma once
#include <string>

#include "fileio/file.h"

namespace kio {

struct PageSettings {
  std::string background1, background2, background3, boxColor;
  std::string fontColor1, fontColor2, fontColor3;
  std::string fontFace1, fontFace2, fontFace3;
  std::string fontSize1, fontSize2, fontSize3;
  std::string frameCols, frameRows;
  // The completion message is kio::completionMessage (lang/texts.h), which
  // is also the student text of entry 34.
};

// The one current page settings.
extern PageSettings pageSettings;

// Result of the last block read: "tem_tres_frames_e_cortabela" after a
// block was read, "vazio" for a document without one, or the marker bytes
// read when a marker did not match.
extern std::string blockStatus;

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
