// The Dialogical editor: items of a question, the answers the student may
// type (separated by '+'), a right feedback per answer, wrong feedbacks and
// the flag whether the item is assessed; a ".gab" document and a page from
// "tmplate_dial.htm".
#pragma once
#include <string>
#include <vector>

#include "activities/list_activity_dlg.h"
#include "documents/dialogical_document.h"

namespace kio {

// Checks and normalises a Dialogical item shown at `current`
// (CheckDialogicalItem), with the messages of what it found.
ItemCheck ValidateDialogicalItem(Item& item, size_t current);

class CDialogicalDlg : public CListActivityDlg {
 public:
  CDialogicalDlg();
};

}  // namespace kio
