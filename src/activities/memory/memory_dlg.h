// The Memory editor ("KIO Sweet Memories"): up to eight pairs of cards, each
// side a short text that may hold a picture, for a card-matching page.
#pragma once
#include <array>
#include <string>

#include "dialogs/document_editor.h"
#include "documents/memory_document.h"
#include "render/fields.h"

namespace kio {

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
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;

  MemoryFields remembered_;  // as last loaded, saved or cleared
  MemoryFields read_;        // as last read from the boxes
};

}  // namespace kio
