// The Memory editor ("KIO Sweet Memories"): up to eight pairs of cards, each
// side a short text that may hold a picture, for a card-matching page.
#pragma once
#include <array>
#include <string>

#include "dialogs/document_editor.h"
#include "render/fields.h"

namespace kio {

constexpr int kMemoryPairs = 8;
constexpr size_t kCardLimit = 397;
constexpr size_t kMemoryInstructionsLimit = 14999;

struct MemoryPair {
  std::string a, b;
  bool operator==(const MemoryPair&) const = default;
};
using MemoryPairs = std::array<MemoryPair, kMemoryPairs>;

// How many pairs are filled from pair 1 on, both sides, and the UiText
// record that refuses them: 36 when the count is not 3, 4, 6 or 8, 37 when
// a box after the counted pairs holds text; 0 when they are fine.
struct PairCount {
  int pairs = 0;
  int refusal = 0;
};
PairCount CountPairs(const MemoryPairs& pairs);
// The pairs a saved document keeps: up to the last pair with any text, so
// that a draft (5 pairs, a half pair) is saved whole; for a playable set,
// the counted pairs.
int PairsToStore(const MemoryPairs& pairs);

// The page data: par1[j]='...'; and par2[j]='...'; for the first `count`
// pairs, each card rendered in memory mode.
std::string BuildMemoryData(const MemoryPairs& pairs, int count);

// The ".mem" fields after the settings block: the count (pairs + 1), the
// instructions, the pairs.
void StoreMemoryFields(FieldWriter& writer, const std::string& instructions, const MemoryPairs& pairs,
                       int count);
// Reads them back. Texts longer than their boxes and pairs beyond eight are
// cut; `cut` tells so. Pairs the document lacks are left empty.
void LoadMemoryFields(FieldReader& reader, std::string& instructions, MemoryPairs& pairs, bool& cut);

// Control ids of the editor beyond those it shares with the text editors.
constexpr int kMemCardBase = 1451;   // pair i (0..7): A is base + 2i, B base + 2i + 1
constexpr int kMemLabelBase = 1471;  // "1 (A-B)" .. "8 (A-B)"

struct MemoryFields {
  std::string instructions, completion;
  MemoryPairs pairs;
  bool operator==(const MemoryFields&) const = default;
};

class CMemoryDlg : public CDocumentEditorDlg {
 public:
  CMemoryDlg();

 protected:
  bool OnInitDialog() override;
  void OnCancel() override { ReturnFromEditor(); }

  void CollectFields() override;
  bool FieldsChanged() const override { return read_ != remembered_; }
  void LoadFields(FieldReader& reader) override;
  void StoreFields(FieldWriter& writer) override;
  void KeepFields() override { remembered_ = read_; }
  void ShowFields() override;

 private:
  void Start();
  void Clear();
  bool Counted();
  void Generate();

  MemoryFields remembered_;  // as last loaded, saved or cleared
  MemoryFields read_;        // as last read from the boxes
};

}  // namespace kio
