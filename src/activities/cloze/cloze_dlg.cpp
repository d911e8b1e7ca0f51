#include "activities/cloze/cloze_dlg.h"

#include "activities/cloze/cloze_brackets.h"
#include "fileio/file.h"
#include "lang/fixed_texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"

namespace kio {

namespace {

TextActivityKind ClozeKind() {
  TextActivityKind k;
  k.title = "KIO Cloze";
  k.extension = "clo";
  k.templateName = "tmplate_cloze.htm";
  k.activityName = "Cloze";
  k.tipsHelp = "cloze_tips.rtf";
  k.instructionsHelp = "cloze_instru.rtf";
  k.textHelp = "cloze_text.rtf";
  k.hintRecords = {67};
  k.questions = questions::DocumentKind::kCloze;
  k.textLabelPt = Win1252("Texto (as lacunas entre colchetes: [palavra])");
  k.textLabelEn = "Text (gaps between square brackets: [word])";
  return k;
}

}  // namespace

std::string BuildClozeData(const std::string& source) {
  std::string text = source;
  for (char& c : text) {
    if (c == '[')
      c = '^';
    else if (c == ']')
      c = '~';
  }
  // A text that reached a rendering limit makes no page (the page step
  // says why).
  if (!RenderMarkupWithoutCollecting(text)) return {};
  text = ReplaceAll(text, "\r\n", "\\r\\n");
  text = ReplaceAll(text, "'", "\\'");
  text = " " + text + "^";
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
    segment = ReplaceAll(segment, "\\r\\n", "<br>");
    segment = ReplaceAll(segment, "  ", "&nbsp;&nbsp;");
    segments += "palavras[" + std::to_string(index) + "]='" + segment + "';\r\n";
    ++index;
    start = pos + 1;
  }
  return segments + gaps;
}

CClozeDlg::CClozeDlg() : CTextActivityDlg(ClozeKind()) {}

bool CClozeDlg::BuildPageData(const ActivityFields& fields, std::string& data) {
  if (auto where = FindUnmatchedBracket(fields.text);
      where && ShowMessage(UnmatchedBracketQuestion(*where), "KIO", Buttons::YesNo, this) != Answer::Yes)
    return false;
  // A text without brackets gives a page with nothing to fill in: the
  // teacher may have forgotten to mark the gaps.
  if (fields.text.find_first_of("[]") == std::string::npos &&
      ShowMessage(FixedText(Fixed::kClozeWithoutGaps), "KIO", Buttons::YesNo, this) != Answer::Yes)
    return false;
  data = BuildClozeData(fields.text);
  return true;
}

}  // namespace kio
