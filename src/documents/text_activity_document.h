// The documents of the activities made of texts (Cloze, Eclipse, Sequence):
// the settings block followed by the instructions, the text and, for
// Eclipse, the given words. One format configured per kind.
#pragma once
#include <string>

#include "fileio/file.h"
#include "render/fields.h"
#include "render/page_settings.h"

namespace kio {

// Longest completion message the "Final" box takes.
constexpr size_t kCompletionMessageLimit = 1499;

// What tells the kinds' documents apart.
struct TextActivityFormat {
  std::string extension;     // without dot, e.g. "clo"
  std::string templateName;  // the page's template, e.g. "tmplate_cloze.htm"
  size_t textLimit = 14999;  // of the instructions and the text
  size_t extraLimit = 0;     // 0: the document has no third field
};

struct TextActivityDocument {
  SettingsBlock settings;
  std::string instructions, text, extra;
};

// The completion message as the "Final" box shows it and the page takes
// it: "<br>" as line breaks.
std::string CompletionField(const SettingsBlock& settings);

// The fields after the settings block. Reading takes each text whole up to
// its limit (a longer one is refused with FileError{kInvalidFile}).
void ReadTextActivityFields(FieldReader& reader, const TextActivityFormat& format,
                            TextActivityDocument& document);
void WriteTextActivityFields(FieldWriter& writer, const TextActivityFormat& format,
                             const TextActivityDocument& document);

// The whole document: the settings block, then the fields. Throws FileError.
TextActivityDocument ReadTextActivityDocument(File& file, const TextActivityFormat& format);
void WriteTextActivityDocument(File& file, const TextActivityFormat& format, TextActivityDocument& document);

}  // namespace kio
