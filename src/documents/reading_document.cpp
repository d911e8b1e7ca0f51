#include "documents/reading_document.h"

#include "render/fields.h"

namespace kio {

ReadingDocument ReadReadingDocument(File& file, size_t textLimit) {
  ReadingDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  document.text = reader.Text(textLimit);
  return document;
}

void WriteReadingDocument(File& file, ReadingDocument& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter(file).Text(document.text);
}

}  // namespace kio
