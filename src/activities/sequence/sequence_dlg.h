// The Sequence editor ("KIO Sequence"): a text cut into segments with '+',
// which the page shows shuffled for the student to put back in order.
#pragma once
#include <optional>
#include <string>

#include "activities/text_activity_dlg.h"
#include "render/fields.h"

namespace kio {

constexpr size_t kSequenceTextLimit = 14999;
// Between the text and the instructions of an older ".seq" file.
extern const char kOlderInstructionsMarker[];

// Why segment `s` is refused ("Oops!"), or nothing when it is fine: an
// empty segment, or one of blanks, line breaks and '+' only.
std::optional<std::string> CheckSegment(const std::string& s);

// The page data: Segmento[k] = '...'; for each segment, then the same lines
// as Segmento1[k]. Empty, with `refusal` set, when a segment fails
// CheckSegment or there are fewer than three.
std::string BuildSequenceData(const std::string& text, std::string& refusal);

// Reads the fields after the settings block: the instructions and the text;
// or, for an older file without the block (`older`), the whole file as the
// text, with the instructions after the marker when it holds one.
// `instructions` keeps its value when the file has none. Texts beyond the
// limit are cut, and `cut` tells so.
void LoadSequenceFields(FieldReader& reader, bool older, std::string& instructions, std::string& text,
                        bool& cut);

class CSequenceDlg : public CTextActivityDlg {
 public:
  CSequenceDlg();

 protected:
  void LoadFields(FieldReader& reader) override;
  bool BuildPageData(const ActivityFields& fields, std::string& data) override;
};

}  // namespace kio
