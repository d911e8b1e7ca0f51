#include "documents/cloze_document.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/markup.h"
#include "render/script_string.h"

namespace kio {

const TextActivityFormat kClozeFormat = {"clo", "tmplate_cloze.htm", 14999, 0};

std::string BuildClozeData(const std::string& source, PageBuild& build) {
  std::string text = source;
  for (char& c : text) {
    if (c == '[')
      c = '^';
    else if (c == ']')
      c = '~';
  }
  // A text that reached a rendering limit makes no page (the page step
  // says why).
  if (!RenderMarkupWithoutCollecting(text, build)) return {};
  text = " " + ReplaceAll(text, "\r\n", "<br>") + "^";
  const size_t n = text.size() - 1;  // positions 1 to n are walked
  text += ' ';

  std::string segments, gaps;
  size_t start = 0;
  int index = 0, gap = 0;
  for (size_t pos = 1; pos <= n; ++pos) {
    char c = text[pos];
    if (c != '^' && c != '~') continue;
    std::string segment = text.substr(start, pos - start);
    if (c == '~') gaps += "PalavrasDadas[" + std::to_string(gap++) + "]=" + std::to_string(index) + ";\r\n";
    segment = ReplaceAll(ScriptString(segment), "  ", "&nbsp;&nbsp;");
    segments += "palavras[" + std::to_string(index) + "]='" + segment + "';\r\n";
    ++index;
    start = pos + 1;
  }
  return segments + gaps;
}

PageContent ClozePage(const ClozeDocument& document, PageBuild& build) {
  PageContent page;
  page.templateName = kClozeFormat.templateName;
  page.instructions = document.instructions;
  page.completionField = CompletionField(document.settings);
  page.data = BuildClozeData(document.text, build);
  return page;
}

}  // namespace kio
