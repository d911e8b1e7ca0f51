#include "documents/item_checks.h"

#include <cctype>

#include "documents/list_activity_document.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

// The first three fields, as both kinds check them.
void CheckFileFlagAndQuestion(Item& item, size_t current, std::vector<ItemProblem>& problems) {
  item.resize(6);
  std::string& file = item[kItemTextFile];
  file = TrimBlanksAndPlus(file.substr(0, kItemFileLimit));
  const std::string lower = ToLower(file);
  if (lower.size() < 4 && lower != "#" && current > 0)
    problems.push_back({ItemRule::kFileName, kItemTextFile});
  // "sim", " s", "yes", "n+" are taken as the one letter they begin with.
  std::string& flag = item[kItemAssessed];
  flag = flag.substr(0, kItemFlagLimit);
  for (char& c : flag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  flag = TrimBlanksAndPlus(flag).substr(0, 1);
  // "Y" (yes, on an English screen) is stored as the "S" the pages read.
  if (flag == "Y") flag = "S";
  if (flag != "S" && flag != "N") problems.push_back({ItemRule::kAssessed, kItemAssessed});
  item[kItemQuestion] = TrimBlanksAndPlus(item[kItemQuestion]);
}

// The first empty field, if any.
void CheckNoneEmpty(const Item& item, std::vector<ItemProblem>& problems) {
  for (size_t i = 0; i < item.size(); ++i)
    if (item[i].empty()) {
      problems.push_back({ItemRule::kEmptyField, i});
      return;
    }
}

// The first of `fields` with more '+' than a field may hold, if any.
void CheckParts(const Item& item, std::initializer_list<size_t> fields, std::vector<ItemProblem>& problems) {
  for (size_t field : fields)
    if (CountPlus(item[field]) > kItemPlusLimit) {
      problems.push_back({ItemRule::kTooManyParts, field});
      return;
    }
}

}  // namespace

std::vector<ItemProblem> CheckMultipleItem(Item& item, size_t current) {
  std::vector<ItemProblem> problems;
  CheckFileFlagAndQuestion(item, current, problems);
  const std::string& options = item[kItemFourth];
  if (options.find('>') == std::string::npos && options != "#")
    problems.push_back({ItemRule::kNoRightOption, kItemFourth});
  std::string packed;
  for (char c : options)
    if (c != ' ') packed += c;
  if (packed.find(">+") != std::string::npos) problems.push_back({ItemRule::kMarkOnEmptyOption, kItemFourth});
  item[kItemFifth] = TrimBlanksAndPlus(item[kItemFifth]);
  item[kItemSixth] = TrimBlanksAndPlus(item[kItemSixth]);
  CheckNoneEmpty(item, problems);
  if (CountPlus(item[kItemFifth]) != CountPlus(options))
    problems.push_back({ItemRule::kFeedbackCount, kItemFifth});
  CheckParts(item, {kItemFifth, kItemFourth}, problems);
  return problems;
}

std::vector<ItemProblem> CheckDialogicalItem(Item& item, size_t current) {
  std::vector<ItemProblem> problems;
  CheckFileFlagAndQuestion(item, current, problems);
  item[kItemFifth] = TrimBlanksAndPlus(item[kItemFifth]);
  item[kItemSixth] = TrimBlanksAndPlus(item[kItemSixth]);
  CheckNoneEmpty(item, problems);
  if (CountPlus(item[kItemFifth]) != CountPlus(item[kItemFourth]))
    problems.push_back({ItemRule::kFeedbackCount, kItemFifth});
  CheckParts(item, {kItemFifth, kItemFourth, kItemSixth}, problems);
  return problems;
}

std::vector<ItemProblem> CheckIndexItem(const Item& item, const std::string& folder,
                                        const std::string& heading) {
  const std::pair<size_t, const std::string*> boxes[] = {
      {kIndexFolderBox, &folder},
      {kIndexHeadingBox, &heading},
      {kIndexLinkBox, item.size() > kIndexLinkBox ? &item[kIndexLinkBox] : nullptr},
      {kIndexTextBox, item.size() > kIndexTextBox ? &item[kIndexTextBox] : nullptr},
  };
  for (const auto& [box, text] : boxes)
    if (!text || text->empty()) return {{ItemRule::kEmptyField, box}};
  return {};
}

}  // namespace kio
