#include "documents/list_activity_document.h"

#include <algorithm>

#include "documents/text_activity_document.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"
#include "render/script_string.h"

namespace kio {

const ItemListFormat kListActivityItems = {
    {kItemFileLimit, kItemFlagLimit, kItemTextLimit, kItemTextLimit, kItemTextLimit, kItemTextLimit},
    {kItemTextFile},
    kListItemCapacity};

ListActivityDocument ReadListActivityDocument(File& file, bool& cut) {
  ListActivityDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  document.items = ReadItemList(reader, kListActivityItems, cut);
  return document;
}

void WriteListActivityDocument(File& file, ListActivityDocument& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter writer(file);
  WriteItemList(writer, document.items);
}

PageContent ListActivityPage(const ListActivityFormat& format, const ListActivityDocument& document,
                             PageBuild& build) {
  PageContent page;
  page.templateName = format.templateName;
  page.completionField = CompletionField(document.settings);
  page.data = format.buildData(document.items, build);
  page.itemCount = std::to_string(document.items.size());
  return page;
}

std::string TrimBlanksAndPlus(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '+')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '+')) --end;
  return text.substr(begin, end - begin);
}

std::string StripTags(std::string text) {
  for (size_t pos = text.find('<'); pos != std::string::npos; pos = text.find('<')) {
    size_t end = text.find('>', pos);
    if (end == std::string::npos) break;
    text = ReplaceAll(text, text.substr(pos, end - pos + 1), "");
  }
  return text;
}

size_t CountPlus(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '+'));
}

std::vector<std::string> SplitAtPlus(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t plus = text.find('+'); plus != std::string::npos; plus = text.find('+', start)) {
    parts.push_back(text.substr(start, plus - start));
    start = plus + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string ScriptText(std::string markup, PageBuild& build) {
  RenderMarkupWithoutCollecting(markup, build);
  EscapeScriptText(markup);
  return markup;
}

std::string ItemSection(const std::vector<Item>& items, const std::string& name,
                        const std::function<std::string(const Item&)>& value, bool quoted) {
  const char* quote = quoted ? "'" : "";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i)
    out += name + "[" + std::to_string(i) + "] = " + quote + value(items[i]) + quote + ";\r\n";
  return out;
}

std::string ArraySection(const std::vector<Item>& items, const std::string& name,
                         const std::function<std::vector<std::string>(const Item&)>& parts, bool quoted,
                         bool blankAfterItem, const std::string& itemStart) {
  const char* quote = quoted ? "'" : "";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string at = name + "[" + std::to_string(i) + "]";
    out += itemStart + at + " = new Array();\r\n";
    const std::vector<std::string> texts = parts(items[i]);
    for (size_t k = 0; k < texts.size(); ++k) {
      out += at + "[" + std::to_string(k) + "] = " + quote + texts[k] + quote + ";\r\n";
      if (blankAfterItem && k + 1 == texts.size()) out += "\r\n";
    }
  }
  return out;
}

std::string FileAndQuestionSections(const std::vector<Item>& items, PageBuild& build) {
  return "\r\n" +
         ItemSection(items, "Texto", [](const Item& item) { return ScriptString(item[kItemTextFile]); }) +
         "\r\n\r\n" + ItemSection(items, "Questao", [&build](const Item& item) {
           return SpacedScriptText(item[kItemQuestion], build);
         });
}

std::string SpacedScriptText(const std::string& markup, PageBuild& build) {
  std::string text = ScriptText(markup, build);
  return text == "#" ? " " : text + "<br> <br> <br> ";
}

}  // namespace kio
