#pragma once
#include <string>

#include "activities/text_activity_dlg.h"
#include "documents/cloze_document.h"

namespace kio {

// The Cloze editor: a text whose bracketed words the student supplies.
class CClozeDlg : public CTextActivityDlg {
 public:
  CClozeDlg();

 protected:
  bool BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) override;
};

}  // namespace kio
