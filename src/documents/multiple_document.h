// The Multiple choice document (".mul") and its page data: items of a
// question, options of which one or more are right (marked with '>'), a
// feedback per option, a hint and the flag whether the item is assessed.
#pragma once
#include <string>
#include <vector>

#include "documents/list_activity_document.h"

namespace kio {

extern const ListActivityFormat kMultipleFormat;

// The page data of the items: Texto, Questao, nr, Avalia, Golpe, Insegura,
// Feedback and Errada.
std::string BuildMultipleData(const std::vector<Item>& items, PageBuild& build);

}  // namespace kio
