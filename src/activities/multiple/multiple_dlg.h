// The Multiple choice editor: items of a question, options of which one or
// more are right (marked with '>'), a feedback per option, a hint and the
// flag whether the item is assessed; a ".mul" document and a page from
// "tmplate_multi.htm".
#pragma once
#include <string>
#include <vector>

#include "activities/list_activity_dlg.h"

namespace kio {

// Checks and normalises a Multiple choice item shown at `current`.
ItemCheck ValidateMultipleItem(Item& item, size_t current);
// The page data of the items: Texto, Questao, nr, Avalia, Golpe, Insegura,
// Feedback and Errada.
std::string BuildMultipleData(const std::vector<Item>& items);

class CMultipleDlg : public CListActivityDlg {
 public:
  CMultipleDlg();
};

}  // namespace kio
