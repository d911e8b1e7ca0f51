#pragma once
#include <string>

#include "activities/text_activity_dlg.h"
#include "documents/eclipse_document.h"

namespace kio {

// The Eclipse editor: a text the student uncovers word by word.
class CEclipseDlg : public CTextActivityDlg {
 public:
  CEclipseDlg();

 protected:
  bool BuildPageData(const ActivityFields& fields, PageBuild& build, std::string& data) override;
};

}  // namespace kio
