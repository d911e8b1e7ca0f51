#include "documents/text_activity_document.h"

#include "platform/text.h"

namespace kio {

std::string CompletionField(const SettingsBlock& settings) {
  return ReplaceAll(settings.completionMessage, "<br>", "\r\n");
}

void ReadTextActivityFields(FieldReader& reader, const TextActivityFormat& format,
                            TextActivityDocument& document) {
  document.instructions = reader.Text(format.textLimit);
  document.text = reader.Text(format.textLimit);
  if (format.extraLimit > 0) document.extra = reader.Text(format.extraLimit);
}

void WriteTextActivityFields(FieldWriter& writer, const TextActivityFormat& format,
                             const TextActivityDocument& document) {
  writer.Text(document.instructions);
  writer.Text(document.text);
  if (format.extraLimit > 0) writer.Text(document.extra);
}

TextActivityDocument ReadTextActivityDocument(File& file, const TextActivityFormat& format) {
  TextActivityDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  ReadTextActivityFields(reader, format, document);
  return document;
}

void WriteTextActivityDocument(File& file, const TextActivityFormat& format, TextActivityDocument& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter writer(file);
  WriteTextActivityFields(writer, format, document);
}

}  // namespace kio
