#pragma once
#include <string>

#include "activities/text_activity_dlg.h"

namespace kio {

// The page data of a Cloze text: the segments as palavras[i]='...'; and,
// after them, the gaps as PalavrasDadas[k]=i; . Gaps are marked with square
// brackets.
std::string BuildClozeData(const std::string& text);

// The Cloze editor: a text whose bracketed words the student supplies.
class CClozeDlg : public CTextActivityDlg {
 public:
  CClozeDlg();

 protected:
  bool BuildPageData(const ActivityFields& fields, std::string& data) override;
};

}  // namespace kio
