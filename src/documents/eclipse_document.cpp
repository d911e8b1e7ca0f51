#include "documents/eclipse_document.h"

#include "documents/eclipse_tokens.h"
#include "fileio/file.h"
#include "lang/fixed_texts.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"
#include "render/script_string.h"

namespace kio {

const TextActivityFormat kEclipseFormat = {"ecl", "tmplate_eclipse.htm", 14999, 4999};

EclipseData BuildEclipseData(const std::string& source, const std::string& givenWords, PageBuild& build,
                             const std::string& limitCaption) {
  EclipseData out;
  std::string text = source;
  // A text that reached a rendering limit makes no page (the page step
  // says why).
  // The given words read no more of the collection than kEclipseMaxEntries
  // runs of letters.
  if (!RenderMarkupCollectingWords(text, kEclipseMaxEntries, IsLetter, build)) return out;
  text = ReplaceAll(text, "\r\n", "<br>");
  const std::string given = build.collectedMarkup + "br " + givenWords;

  int i = 0;
  ForEachToken(text, [&](const std::string& token) {
    out.tokens += "palavras[" + std::to_string(i) + "]='" + ScriptString(token) + "';\r\n";
    if (++i > kEclipseMaxEntries - 1) {
      out.textCut = true;
      out.notices.push_back({FixedText(Fixed::kTextLimitPassed), limitCaption});
      return false;
    }
    return true;
  });
  int j = 0;
  ForEachToken(given, [&](const std::string& token) {
    if (!IsLetter(token[0])) return true;
    out.given += "PalavrasDadas[" + std::to_string(j) + "]='" + token + "';\r\n";
    if (++j > kEclipseMaxEntries - 1) {
      out.givenCut = true;
      out.notices.push_back({FixedText(Fixed::kDataLimitPassed), limitCaption});
      return false;
    }
    return true;
  });
  return out;
}

PageContent EclipsePage(const EclipseDocument& document, PageBuild& build, std::vector<Failure>* notices) {
  EclipseData d = BuildEclipseData(document.text, document.extra, build);
  if (notices) notices->insert(notices->end(), d.notices.begin(), d.notices.end());
  PageContent page;
  page.templateName = kEclipseFormat.templateName;
  page.instructions = document.instructions;
  page.completionField = CompletionField(document.settings);
  page.data = d.tokens + d.given;
  return page;
}

}  // namespace kio
