// The documents of the two reading pages, Basic (".hpb") and lexical
// (".hpl"): the settings block and one text. One format, read with each
// kind's longest text.
#pragma once
#include <cstddef>
#include <string>

#include "fileio/file.h"
#include "render/page_settings.h"

namespace kio {

struct ReadingDocument {
  SettingsBlock settings;
  std::string text;
};
// Throws FileError; a text longer than `textLimit` is refused.
ReadingDocument ReadReadingDocument(File& file, size_t textLimit);
void WriteReadingDocument(File& file, ReadingDocument& document);

}  // namespace kio
