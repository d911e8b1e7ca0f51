// The Sequence editor ("KIO Sequence"): a text cut into segments with '+',
// which the page shows shuffled for the student to put back in order.
#pragma once
#include <optional>
#include <string>

#include "activities/text_activity_dlg.h"
#include "documents/sequence_document.h"
#include "render/fields.h"

namespace kio {

class CSequenceDlg : public CTextActivityDlg {
 public:
  CSequenceDlg();

 protected:
  void LoadFields(FieldReader& reader) override;
  bool BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) override;
};

}  // namespace kio
