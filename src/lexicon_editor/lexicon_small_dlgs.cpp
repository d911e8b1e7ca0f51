#include "lexicon_editor/lexicon_small_dlgs.h"

#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "lexicon/lexicon_edit.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

constexpr int kWidth = 270;
constexpr int kCaptionWidth = 150;
constexpr int kBoxX = 160;
constexpr int kButtonX = kWidth - 55;

std::string CancelLabel() { return LocalText("Cancelar", "Cancel"); }

// Rows of a caption and a box, and OK and Cancel on the right.
DialogTemplate SmallLayout(const std::string& title, std::initializer_list<std::pair<int, std::string>> rows,
                           int boxWidth, int extraHeight = 0) {
  DialogTemplate t;
  t.title = title;
  t.width = kWidth;
  int y = 9;
  for (const auto& [id, caption] : rows) {
    t.controls.push_back({id + kSmallCaptionOffset, ControlKind::Label, caption, 7, y + 2, kCaptionWidth, 9});
    t.controls.push_back({id, ControlKind::Edit, "", kBoxX, y, boxWidth, 12});
    y += 18;
  }
  t.height = std::max(y + 4, 48) + extraHeight;
  t.controls.push_back({IDOK, ControlKind::Button, "OK", kButtonX, 8, 48, 14, kDefault});
  t.controls.push_back({IDCANCEL, ControlKind::Button, CancelLabel(), kButtonX, 26, 48, 14});
  return t;
}

std::string Cut(std::string text) {
  if (text.size() > kLongestSegment) text.resize(kLongestSegment);
  return text;
}

}  // namespace

uint32_t TypedNumber(const std::string& text) {
  size_t a = text.find_first_not_of(" \t");
  size_t z = text.find_last_not_of(" \t");
  if (a == std::string::npos) return 0;
  uint64_t n = 0;
  for (size_t i = a; i <= z; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    n = n * 10 + static_cast<unsigned>(text[i] - '0');
    if (n > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(n);
}

CEntryRangeDlg::CEntryRangeDlg(const Kind& kind, std::function<bool(uint32_t, uint32_t)> fits)
    : Dialog(SmallLayout(kind.title, {{kind.fromId, kind.fromLabel}, {kind.toId, kind.toLabel}}, 45)),
      kind_(kind),
      fits_(std::move(fits)) {}

void CEntryRangeDlg::OnOK() {
  uint32_t from = TypedNumber(GetItemText(kind_.fromId));
  uint32_t to = TypedNumber(GetItemText(kind_.toId));
  if (!fits_(from, to)) {
    ShowMessage(kind_.refusal, kind_.caption, Buttons::Ok, this);
    return;
  }
  from_ = from;
  to_ = to;
  EndDialog(IDOK);
}

CCutSegmentDlg::CCutSegmentDlg(uint32_t count)
    : CEntryRangeDlg({FixedText(Fixed::kCutRangeTitle), kCutFrom, kCutTo, FixedText(Fixed::kCutRangeFrom),
                      FixedText(Fixed::kCutRangeTo), UiText(Ui::kRangeOutOfBounds), "Kio"},
                     [count](uint32_t from, uint32_t to) { return CutRangeFits(count, from, to); }) {}

CSavePartDlg::CSavePartDlg(uint32_t count)
    : CEntryRangeDlg(
          {FixedText(Fixed::kSavePartTitle), kSavePartFrom, kSavePartTo, FixedText(Fixed::kSavePartFrom),
           FixedText(Fixed::kSavePartTo), FixedText(Fixed::kSavePartOutOfRange), "kio"},
          [count](uint32_t from, uint32_t to) { return SavePartRangeFits(count, from, to); }) {}

CReplaceDlg::CReplaceDlg()
    : Dialog([] {
        DialogTemplate t = SmallLayout(FixedText(Fixed::kReplaceTitle),
                                       {{kReplaceSegment, FixedText(Fixed::kReplaceSegmentLabel)},
                                        {kReplaceWith, FixedText(Fixed::kReplaceWithLabel)}},
                                       0, 14);
        // The boxes take the whole width left of the buttons.
        for (ControlSpec& c : t.controls) {
          if (c.kind == ControlKind::Label) c.width = 82;
          if (c.kind == ControlKind::Edit) {
            c.x = 92;
            c.width = kButtonX - 99;
          }
        }
        t.controls.push_back({kReplaceWarning, ControlKind::Label, FixedText(Fixed::kReplaceWarning), 7,
                              t.height - 16, 200, 9});
        return t;
      }()) {}

void CReplaceDlg::OnOK() {
  segment_ = Cut(GetItemText(kReplaceSegment));
  replacement_ = Cut(GetItemText(kReplaceWith));
  EndDialog(IDOK);
}

CSearchDlg::CSearchDlg()
    : Dialog([] {
        DialogTemplate t = SmallLayout(FixedText(Fixed::kSearchTitle),
                                       {{kSearchSegmentBox, FixedText(Fixed::kSearchSegmentLabel)}}, 0);
        for (ControlSpec& c : t.controls) {
          if (c.kind == ControlKind::Label) c.width = 80;
          if (c.kind == ControlKind::Edit) {
            c.x = 90;
            c.width = kButtonX - 97;
          }
        }
        return t;
      }()) {}

void CSearchDlg::OnOK() {
  segment_ = Cut(GetItemText(kSearchSegmentBox));
  EndDialog(IDOK);
}

}  // namespace kio
