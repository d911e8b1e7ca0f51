// The Sequence document (".seq") and its page data: a text cut into
// segments with '+', which the page shows shuffled for the student to put
// back in order. An older ".seq" has no settings block: the whole file is
// the text, with the instructions after a marker.
#pragma once
#include <optional>
#include <string>

#include "documents/text_activity_document.h"
#include "render/fields.h"
#include "render/page_build.h"
#include "render/write_page.h"

namespace kio {

constexpr size_t kSequenceTextLimit = 14999;
// Between the text and the instructions of an older ".seq" file.
extern const char kOlderInstructionsMarker[];

extern const TextActivityFormat kSequenceFormat;

using SequenceDocument = TextActivityDocument;

// Why segment `s` is refused ("Oops!"), or nothing when it is fine: an
// empty segment, or one of blanks, line breaks and '+' only.
std::optional<std::string> CheckSegment(const std::string& s);

// The page data: Segmento[k] = '...'; for each segment, then the same lines
// as Segmento1[k]. Empty, with `refusal` set, when a segment fails
// CheckSegment or there are fewer than three.
std::string BuildSequenceData(const std::string& text, std::string& refusal, PageBuild& build);

// Reads the fields after the settings block: the instructions and the text;
// or, for an older file without the block (`older`), the whole file as the
// text, with the instructions after the marker when it holds one.
// `instructions` keeps its value when the file has none. Texts beyond the
// limit are cut, and `cut` tells so.
void LoadSequenceFields(FieldReader& reader, bool older, std::string& instructions, std::string& text,
                        bool& cut);

// The whole document, older files included; `cut` tells a text was cut.
SequenceDocument ReadSequenceDocument(File& file, bool& cut);

// What the document's page is made of; empty data and `refusal` set when
// the segments are refused.
PageContent SequencePage(const SequenceDocument& document, PageBuild& build, std::string& refusal);

}  // namespace kio
