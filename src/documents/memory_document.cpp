#include "documents/memory_document.h"

#include "documents/text_activity_document.h"
#include "fileio/file.h"
#include "platform/text.h"
#include "render/markup.h"
#include "render/script_string.h"

namespace kio {

const char kMemoryTemplate[] = "tmplate_memo.htm";

namespace {

std::string CardData(const std::string& card, PageBuild& build) {
  std::string text = "mmra" + card;
  text = ReplaceAll(text, "\r\n", " <br> ");
  // Escaped for the page's string before the codes are rendered: the
  // memory-mode renderings hold double quotes only.
  text = ScriptString(text);
  RenderMarkupWithoutCollecting(text, build);
  return ReplaceAll(text, "  ", "&nbsp;&nbsp;");
}

}  // namespace

PairCount CountPairs(const MemoryPairs& pairs) {
  PairCount c;
  while (c.pairs < kMemoryPairs && !pairs[c.pairs].a.empty() && !pairs[c.pairs].b.empty()) ++c.pairs;
  if (c.pairs != 3 && c.pairs != 4 && c.pairs != 6 && c.pairs != 8) {
    c.refusal = Ui::kMemoryPairCount;
    return c;
  }
  for (int i = c.pairs; i < kMemoryPairs; ++i)
    if (!pairs[i].a.empty() || !pairs[i].b.empty()) c.refusal = Ui::kBoxesOutOfOrder;
  return c;
}

int PairsToStore(const MemoryPairs& pairs) {
  int last = 0;
  for (int i = 0; i < kMemoryPairs; ++i)
    if (!pairs[i].a.empty() || !pairs[i].b.empty()) last = i + 1;
  return last;
}

std::string BuildMemoryData(const MemoryPairs& pairs, int count, PageBuild& build) {
  std::string data;
  for (int j = 0; j < count && j < kMemoryPairs; ++j) {
    data += "par1[" + std::to_string(j) + "]='" + CardData(pairs[j].a, build) + "';\r\n";
    data += "par2[" + std::to_string(j) + "]='" + CardData(pairs[j].b, build) + "';\r\n";
  }
  return data;
}

void StoreMemoryFields(FieldWriter& writer, const std::string& instructions, const MemoryPairs& pairs,
                       int count) {
  writer.Number(static_cast<uint32_t>(count + 1));
  writer.Text(instructions);
  for (int j = 0; j < count && j < kMemoryPairs; ++j) {
    writer.Text(pairs[j].a);
    writer.Text(pairs[j].b);
  }
}

int LoadMemoryFields(FieldReader& reader, std::string& instructions, MemoryPairs& pairs, bool& cut) {
  const uint32_t count = reader.Number();
  instructions = reader.TextCut(kMemoryInstructionsLimit, cut);
  uint32_t stored = count > 0 ? count - 1 : 0;
  if (stored > kMemoryPairs) {
    stored = kMemoryPairs;
    cut = true;
  }
  for (uint32_t j = 0; j < stored; ++j) {
    pairs[j].a = reader.TextCut(kCardLimit, cut);
    pairs[j].b = reader.TextCut(kCardLimit, cut);
  }
  return static_cast<int>(stored);
}

MemoryDocument ReadMemoryDocument(File& file, bool& cut) {
  MemoryDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  LoadMemoryFields(reader, document.instructions, document.pairs, cut);
  return document;
}

void WriteMemoryDocument(File& file, MemoryDocument& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter writer(file);
  StoreMemoryFields(writer, document.instructions, document.pairs, PairsToStore(document.pairs));
}

PageContent MemoryPage(const MemoryDocument& document, PageBuild& build) {
  PageContent page;
  page.templateName = kMemoryTemplate;
  page.instructions = document.instructions;
  page.completionField = CompletionField(document.settings);
  page.data = BuildMemoryData(document.pairs, CountPairs(document.pairs).pairs, build);
  build.supportFiles = {"facea.gif", "faceb.gif"};
  return page;
}

}  // namespace kio
