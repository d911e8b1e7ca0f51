#include "activities/sequence/sequence_dlg.h"

#include "activities/document_cut.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/markup.h"
#include "render/write_page.h"

namespace kio {

const char kOlderInstructionsMarker[] = "aqiniciaminstrucs";

namespace {

// An older file is read whole up to this size; a longer one is cut.
constexpr size_t kOlderFileLimit = 1 << 20;

TextActivityKind SequenceKind() {
  TextActivityKind k;
  k.title = "KIO Sequence";
  k.extension = "seq";
  k.templateName = "tmplate_sequence.htm";
  k.activityName = "seq";
  k.tipsHelp = "sequencia_tips.rtf";
  k.instructionsHelp = "sequencia_tips.rtf";
  k.textHelp = "sequencia_text.rtf";
  k.textLimit = kSequenceTextLimit;
  k.hintRecords = {33};
  k.twoLineHint = true;
  k.textLabelPt = Win1252("Texto (segmentos separados por '+')");
  k.textLabelEn = "Text (segments separated by '+')";
  k.saveMode = SaveMode::kRecreate;
  k.defaultInstructionsRecord = 83;
  k.pageChooserInDocumentsFolder = false;
  k.stayWhenNotSaved = true;
  return k;
}

std::string CutTo(std::string text, size_t limit, bool& cut) {
  if (text.size() > limit) {
    text.resize(limit);
    cut = true;
  }
  return text;
}

}  // namespace

std::optional<std::string> CheckSegment(const std::string& s) {
  if (s.empty())
    return Win1252("Mínimo de 1 caractere por segmento. Corrija se iniciou ou terminou com '+'.");
  if (s.find_first_not_of(" \r\n+") == std::string::npos)
    return std::string("Segmento em branco entre um '+' e outro. \r\nCorrija se iniciou ou terminou com '+'");
  return std::nullopt;
}

std::string BuildSequenceData(const std::string& text, std::string& refusal) {
  std::string r = "sqnc" + text;
  RenderMarkup(r);
  std::string data;
  int k = 0;
  for (size_t start = 0;; ++k) {
    const size_t plus = r.find('+', start);
    const std::string segment = r.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (auto why = CheckSegment(segment)) {
      refusal = *why;
      return {};
    }
    std::string s = ReplaceAll(segment, "\r\n", "<br>");
    // A backslash would end the page's string early or join it to the next
    // character.
    s = QuotedAsStored(s);
    data += "Segmento[" + std::to_string(k) + "] = '" + s + "';\r\n";
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  if (k + 1 < 3) {
    refusal = Win1252("Segmentar texto no mínimo em 3 partes (usando '+')");
    return {};
  }
  return data + ReplaceAll(data, "Segmento[", "Segmento1[");
}

void LoadSequenceFields(FieldReader& reader, bool older, std::string& instructions, std::string& text,
                        bool& cut) {
  if (!older) {
    instructions = reader.TextCut(kSequenceTextLimit, cut);
    text = reader.TextCut(kSequenceTextLimit, cut);
    return;
  }
  const uint64_t length = reader.Remaining();
  std::string whole = reader.Bytes(static_cast<size_t>(std::min<uint64_t>(length, kOlderFileLimit)));
  if (length > kOlderFileLimit) cut = true;
  const size_t p = whole.find(kOlderInstructionsMarker);
  if (p != std::string::npos && p > 0) {
    instructions = CutTo(whole.substr(p + sizeof kOlderInstructionsMarker - 1), kSequenceTextLimit, cut);
    whole.resize(p);
  }
  text = CutTo(whole, kSequenceTextLimit, cut);
}

CSequenceDlg::CSequenceDlg() : CTextActivityDlg(SequenceKind()) {}

void CSequenceDlg::LoadFields(FieldReader& reader) {
  Session& s = CurrentSession();
  ActivityFields& r = Remembered();
  r.completion = ReplaceAll(s.completionMessage, "<br>", "\r\n");
  r.instructions = s.UiText[83];
  r.text.clear();
  bool cut = false;
  // A file without the settings block is read again from its start.
  LoadSequenceFields(reader, s.documentFile.Position() == 0, r.instructions, r.text, cut);
  if (cut) ReportDocumentCut(this);
}

bool CSequenceDlg::BuildPageData(const ActivityFields& fields, std::string& data) {
  std::string refusal;
  data = BuildSequenceData(fields.text, refusal);
  if (refusal.empty()) return true;
  ShowMessage(refusal, "Oops!", Buttons::Ok, this);
  return false;
}

}  // namespace kio
