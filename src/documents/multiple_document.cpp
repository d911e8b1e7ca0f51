#include "documents/multiple_document.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/script_string.h"

namespace kio {

namespace {

// One option of an item as the page shows it, and whether it is right.
struct Option {
  std::string text;
  bool right = false;
};

std::vector<Option> OptionsOf(const std::string& options, PageBuild& build) {
  std::vector<Option> result;
  for (std::string part : SplitAtPlus(ReplaceAll(options, "\r\n", "  "))) {
    Option o;
    o.text = TrimBlanksAndPlus(ScriptText(part, build));
    if (!o.text.empty() && o.text[0] == '>') {
      o.text.erase(0, 1);
      o.right = true;
    }
    if (o.text == "#") o.text.clear();
    o.text = StripTags(o.text);
    result.push_back(o);
  }
  return result;
}

}  // namespace

const ListActivityFormat kMultipleFormat = {"mul", "tmplate_multi.htm", BuildMultipleData};

std::string BuildMultipleData(const std::vector<Item>& items, PageBuild& build) {
  auto optionTexts = [&build](const Item& item) {
    std::vector<std::string> texts;
    for (const Option& o : OptionsOf(item[kItemFourth], build)) texts.push_back(o.text);
    return texts;
  };
  auto optionFlags = [&build](const Item& item) {
    std::vector<std::string> flags;
    for (const Option& o : OptionsOf(item[kItemFourth], build)) flags.push_back(o.right ? "1" : "0");
    return flags;
  };
  auto feedbackParts = [&build](const Item& item) {
    std::string feedback = ReplaceAll(item[kItemFifth], "\r\n", "<br>");
    feedback = feedback == "#" ? " " : feedback + "<br> <br> <br> ";
    std::vector<std::string> parts = SplitAtPlus(feedback);
    for (std::string& part : parts) part = ScriptText(part, build);
    return parts;
  };
  return FileAndQuestionSections(items, build) + "\r\n\r\n" +
         ItemSection(
             items, "nr", [](const Item& item) { return std::to_string(1 + CountPlus(item[kItemFifth])); },
             false) +
         "\r\n\r\n" +
         ItemSection(items, "Avalia", [](const Item& item) { return ScriptString(item[kItemAssessed]); }) +
         "\r\n\r\n" + ArraySection(items, "Golpe", optionTexts, true, true) + "\r\n\r\n\r\n" +
         ArraySection(items, "Insegura", optionFlags, false, false, "\r\n") + "\r\n\r\n" +
         ArraySection(items, "Feedback", feedbackParts) + "\r\n\r\n" +
         ItemSection(items, "Errada",
                     [&build](const Item& item) { return SpacedScriptText(item[kItemSixth], build); });
}

}  // namespace kio
