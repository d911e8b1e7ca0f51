#include "documents/sequence_document.h"

#include "fileio/file.h"
#include "lang/fixed_texts.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"
#include "render/script_string.h"

namespace kio {

const char kOlderInstructionsMarker[] = "aqiniciaminstrucs";

const TextActivityFormat kSequenceFormat = {"seq", "tmplate_sequence.htm", kSequenceTextLimit, 0};

namespace {

// An older file is read whole up to this size; a longer one is cut.
constexpr size_t kOlderFileLimit = 1 << 20;

std::string CutTo(std::string text, size_t limit, bool& cut) {
  if (text.size() > limit) {
    text.resize(limit);
    cut = true;
  }
  return text;
}

}  // namespace

std::optional<std::string> CheckSegment(const std::string& s) {
  if (s.empty()) return FixedText(Fixed::kSegmentTooShort);
  if (s.find_first_not_of(" \r\n+") == std::string::npos) return FixedText(Fixed::kSegmentBlank);
  return std::nullopt;
}

std::string BuildSequenceData(const std::string& text, std::string& refusal, PageBuild& build) {
  std::string r = "sqnc" + text;
  RenderMarkupWithoutCollecting(r, build);
  std::string data;
  int k = 0;
  for (size_t start = 0;; ++k) {
    const size_t plus = r.find('+', start);
    const std::string segment = r.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (auto why = CheckSegment(segment)) {
      refusal = *why;
      return {};
    }
    const std::string s = ScriptString(ReplaceAll(segment, "\r\n", "<br>"));
    data += "Segmento[" + std::to_string(k) + "] = '" + s + "';\r\n";
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  if (k + 1 < 3) {
    refusal = FixedText(Fixed::kFewerThanThreeSegments);
    return {};
  }
  return data + ReplaceAll(data, "Segmento[", "Segmento1[");
}

void LoadSequenceFields(FieldReader& reader, bool older, std::string& instructions, std::string& text,
                        bool& cut) {
  if (!older) {
    instructions = reader.TextCut(kSequenceTextLimit, cut);
    text = reader.TextCut(kSequenceTextLimit, cut);
    return;
  }
  const uint64_t length = reader.Remaining();
  std::string whole = reader.Bytes(static_cast<size_t>(std::min<uint64_t>(length, kOlderFileLimit)));
  if (length > kOlderFileLimit) cut = true;
  const size_t p = whole.find(kOlderInstructionsMarker);
  if (p != std::string::npos && p > 0) {
    instructions = CutTo(whole.substr(p + sizeof kOlderInstructionsMarker - 1), kSequenceTextLimit, cut);
    whole.resize(p);
  }
  text = CutTo(whole, kSequenceTextLimit, cut);
}

SequenceDocument ReadSequenceDocument(File& file, bool& cut) {
  SequenceDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  // A file without the settings block is read again from its start.
  LoadSequenceFields(reader, file.Position() == 0, document.instructions, document.text, cut);
  return document;
}

PageContent SequencePage(const SequenceDocument& document, PageBuild& build, std::string& refusal) {
  PageContent page;
  page.templateName = kSequenceFormat.templateName;
  page.instructions = document.instructions;
  page.completionField = CompletionField(document.settings);
  page.data = BuildSequenceData(document.text, refusal, build);
  return page;
}

}  // namespace kio
