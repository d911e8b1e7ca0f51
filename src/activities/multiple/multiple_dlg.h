// The Multiple choice editor: items of a question, options of which one or
// more are right (marked with '>'), a feedback per option, a hint and the
// flag whether the item is assessed; a ".mul" document and a page from
// "tmplate_multi.htm".
#pragma once
#include <string>
#include <vector>

#include "activities/list_activity_dlg.h"
#include "documents/multiple_document.h"

namespace kio {

// Checks and normalises a Multiple choice item shown at `current`
// (CheckMultipleItem), with the messages of what it found.
ItemCheck ValidateMultipleItem(Item& item, size_t current);

class CMultipleDlg : public CListActivityDlg {
 public:
  CMultipleDlg();
};

}  // namespace kio
