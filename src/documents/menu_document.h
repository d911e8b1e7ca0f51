// The Menu: up to 24 page names under a title, its ".men" document (no
// settings block) and its page, put together from the program's own pieces.
#pragma once
#include <array>
#include <optional>
#include <string>

#include "lang/texts.h"
#include "render/fields.h"

namespace kio {

constexpr size_t kMenuEntries = 24;
// Longest title and entry the boxes take.
constexpr size_t kMenuTextLimit = 197;
// Longest text read from a ".men" file; the program writes none longer
// than kMenuTextLimit.
constexpr size_t kMenuReadLimit = 14999;
// Largest count a ".men" file may carry.
constexpr uint32_t kMenuCountLimit = kMenuEntries + 1;

struct MenuDocument {
  std::string title;
  // Entries 1 to 24 are the boxes; 0 and 25 are never shown.
  std::array<std::string, kMenuEntries + 2> entries;
  bool operator==(const MenuDocument&) const = default;
};

// 0 when no entry 1 to 24 is filled, else the number of the last filled
// entry plus 1.
uint32_t MenuCount(const MenuDocument& menu);

// What is wrong with the list: kNothingToSave (no entry filled),
// kBoxesOutOfOrder (an empty entry before the last filled one), or none.
std::optional<Ui> MenuListProblem(const MenuDocument& menu);

// The ".men" file: the title, the count N, entries 0 to N.
void WriteMenuDocument(FieldWriter& writer, const MenuDocument& menu);
// Reads a ".men" file: entries after N are emptied. A count above 25 or a
// text longer than the reading limit throws FileError{kInvalidFile}.
MenuDocument ReadMenuDocument(FieldReader& reader);

// The menu page: `linkWord` is UiText record 26 ("Atividade").
std::string BuildMenuPage(const MenuDocument& menu, const std::string& linkWord);

}  // namespace kio
