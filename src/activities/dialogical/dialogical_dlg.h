// The Dialogical editor: items of a question, the answers the student may
// type (separated by '+'), a right feedback per answer, wrong feedbacks and
// the flag whether the item is assessed; a ".gab" document and a page from
// "tmplate_dial.htm".
#pragma once
#include <string>
#include <vector>

#include "activities/list_activity_dlg.h"

namespace kio {

// Checks and normalises a Dialogical item shown at `current`.
ItemCheck ValidateDialogicalItem(Item& item, size_t current);
// Letters and digits moved 10 places along A-Z a-z 0-9 (so that the answers
// are not read off the page's source); everything else stays.
std::string RotateAnswer(std::string text);
// The page data of the items: Texto, Questao, nr, nf, Avalia, Resposta,
// Certa and Errada.
std::string BuildDialogicalData(const std::vector<Item>& items);

class CDialogicalDlg : public CListActivityDlg {
 public:
  CDialogicalDlg();
};

}  // namespace kio
