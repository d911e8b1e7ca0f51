#pragma once
#include <string>

#include "activities/text_activity_dlg.h"

namespace kio {

// Most entries the page's token and given-word arrays hold.
constexpr int kEclipseMaxEntries = 5000;

struct EclipseData {
  std::string tokens;  // palavras[i]='token'; lines
  std::string given;   // PalavrasDadas[j]='word'; lines
  bool textCut = false, givenCut = false;
};

// The page data of an Eclipse text: the rendered text cut into tokens and the
// given words (the text's own markup first, then "br", then the teacher's).
// Shows the "Limite" messages when a list is cut.
EclipseData BuildEclipseData(const std::string& text, const std::string& givenWords);

// Writes a token so that it stands safely inside a single-quoted script
// string.
std::string ScriptToken(const std::string& token);

// The Eclipse editor: a text the student uncovers word by word.
class CEclipseDlg : public CTextActivityDlg {
 public:
  CEclipseDlg();

 protected:
  bool BuildPageData(const ActivityFields& fields, std::string& data) override;
};

}  // namespace kio
