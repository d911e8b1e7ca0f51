// The dictionary editor's small dialogs: two entry numbers (Cut segment,
// Save part), a segment and its replacement (Replace), a segment (Search).
// Each runs modally and hands back what was typed; OK with numbers outside
// the dialog's range shows its message and keeps the dialog open.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/dialog.h"

namespace kio {

enum LexiconSmallControl {
  kCutFrom = 151,
  kCutTo = 152,
  kReplaceSegment = 162,
  kReplaceWith = 163,
  kSavePartFrom = 164,
  kSavePartTo = 165,
  kSearchSegmentBox = 166,
  // Captions beside the boxes: the box's id plus 9000.
  kSmallCaptionOffset = 9000,
  kReplaceWarning = 9160,
};

// A whole number typed in a box (blanks around it allowed); 0 when the text
// is not one.
uint32_t TypedNumber(const std::string& text);

// Two entry numbers: `fits(from, to)` decides; otherwise `refusal` is shown
// under `caption` and the dialog stays.
class CEntryRangeDlg : public Dialog {
 public:
  struct Kind {
    std::string title;
    int fromId, toId;
    std::string fromLabel, toLabel;
    std::string refusal, caption;
  };
  CEntryRangeDlg(const Kind& kind, std::function<bool(uint32_t, uint32_t)> fits);
  uint32_t From() const { return from_; }
  uint32_t To() const { return to_; }

 protected:
  void OnOK() override;

 private:
  Kind kind_;
  std::function<bool(uint32_t, uint32_t)> fits_;
  uint32_t from_ = 0, to_ = 0;
};

// "Delete entry.  Deleta verbete.": from 1 .. count-2, to 1 .. count-1.
class CCutSegmentDlg : public CEntryRangeDlg {
 public:
  explicit CCutSegmentDlg(uint32_t count);
};

// "Save dictionary segment  /  Salva segmento do dicionário": both 1 ..
// count-2, from not after to.
class CSavePartDlg : public CEntryRangeDlg {
 public:
  explicit CSavePartDlg(uint32_t count);
};

// "Replace segment in dictionary.": the segment and its replacement, each cut
// to 98 characters.
class CReplaceDlg : public Dialog {
 public:
  CReplaceDlg();
  const std::string& Segment() const { return segment_; }
  const std::string& Replacement() const { return replacement_; }

 protected:
  void OnOK() override;

 private:
  std::string segment_, replacement_;
};

// "Search any segment, starting here.": the segment, cut to 98 characters.
class CSearchDlg : public Dialog {
 public:
  CSearchDlg();
  const std::string& Segment() const { return segment_; }

 protected:
  void OnOK() override;

 private:
  std::string segment_;
};

}  // namespace kio
