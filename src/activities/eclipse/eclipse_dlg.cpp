#include "activities/eclipse/eclipse_dlg.h"

#include "activities/eclipse/eclipse_tokens.h"
#include "fileio/file.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"

namespace kio {

namespace {

TextActivityKind EclipseKind() {
  TextActivityKind k;
  k.title = "KIO Eclipse";
  k.extension = "ecl";
  k.templateName = "tmplate_eclipse.htm";
  k.activityName = "elipse";
  k.tipsHelp = "eclipse_tips.rtf";
  k.instructionsHelp = "eclipse_instru.rtf";
  k.textHelp = "eclipse_text.rtf";
  k.extraHelp = "eclipse_dadas.rtf";
  k.extraLimit = 4999;
  k.hintRecords = {29, 30};
  k.textLabelPt = "Texto";
  k.textLabelEn = "Text";
  k.extraLabelPt = "Palavras dadas";
  k.extraLabelEn = "Given words";
  return k;
}

}  // namespace

std::string ScriptToken(const std::string& token) {
  // Every non-letter is a token of its own, so only these single characters
  // could end or break the page's string.
  if (token == "'") return "\\'";
  if (token == "\\") return "\\\\";
  if (token == "\r") return "\\r";
  if (token == "\n") return "\\n";
  return token;
}

EclipseData BuildEclipseData(const std::string& source, const std::string& givenWords) {
  EclipseData out;
  std::string text = source;
  // A text that reached a rendering limit makes no page (the page step
  // says why).
  if (!RenderMarkup(text)) return out;
  text = ReplaceAll(text, "\r\n", "<br>");
  const std::string given = CollectedMarkup() + "br " + givenWords;

  int i = 0;
  ForEachToken(text, [&](const std::string& token) {
    out.tokens += "palavras[" + std::to_string(i) + "]='" + ScriptToken(token) + "';\r\n";
    if (++i > kEclipseMaxEntries - 1) {
      out.textCut = true;
      ShowMessage(Win1252("Limite de texto ultrapassado. Apenas uma parte será processada."),
                  CurrentSession().UiText[1]);
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
      ShowMessage(Win1252("Limite de dados ultrapassado. Apenas uma parte será processada."),
                  CurrentSession().UiText[1]);
      return false;
    }
    return true;
  });
  return out;
}

CEclipseDlg::CEclipseDlg() : CTextActivityDlg(EclipseKind()) {}

bool CEclipseDlg::BuildPageData(const ActivityFields& fields, std::string& data) {
  EclipseData d = BuildEclipseData(fields.text, fields.extra);
  data = d.tokens + d.given;
  return true;
}

}  // namespace kio
