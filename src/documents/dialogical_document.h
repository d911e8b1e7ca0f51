// The Dialogical document (".gab") and its page data: items of a question,
// the answers the student may type (separated by '+'), a right feedback per
// answer, wrong feedbacks and the flag whether the item is assessed.
#pragma once
#include <string>
#include <vector>

#include "documents/list_activity_document.h"

namespace kio {

extern const ListActivityFormat kDialogicalFormat;

// Letters and digits moved 10 places along A-Z a-z 0-9 (so that the answers
// are not read off the page's source); everything else stays.
std::string RotateAnswer(std::string text);
// The page data of the items: Texto, Questao, nr, nf, Avalia, Resposta,
// Certa and Errada.
std::string BuildDialogicalData(const std::vector<Item>& items, PageBuild& build);

}  // namespace kio
