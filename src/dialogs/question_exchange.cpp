#include "dialogs/question_exchange.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "dialogs/document_editor.h"
#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "questions/question_format.h"
#include "questions/tool/convert_command.h"

namespace kio {

namespace {

using questions::DocumentKind;
using questions::QuestionKind;

// Every text these screens show, Portuguese then English, in one table so
// that the whole set can move into the catalogue of fixed texts. "%1",
// "%2"... stand for what Fill puts in.
enum QText {
  kImportLabel,
  kExportLabel,
  kPreviewTitle,
  kSummary,
  kNothingFits,
  kDocumentsHeading,
  kProblemsLabel,
  kNoProblems,
  kNotImported,
  kNotKept,
  kUnreadable,
  kUnknownFormat,
  kReplaceQuestion,
  kCannotWrite,
  kWritten,
  kSaveFirst,
  kExportFormat,
  kExportFailed,
  kExported,
  kBankFilter,
  kQuestionsOf,
  kTextCount
};

struct Bilingual {
  const char* pt;
  const char* en;
};

const Bilingual kTexts[kTextCount] = {
    {"Importa…", "Import…"},
    {"Exporta…", "Export…"},
    {"Importar perguntas", "Import questions"},
    {"%1: %2 pergunta(s) lida(s); %3 cabe(m) em %4.", "%1: %2 question(s) read; %3 fit(s) in %4."},
    {"Nenhuma pergunta deste arquivo cabe em %1: nada será gravado.",
     "No question of this file fits in %1: nothing will be written."},
    {"Documentos que serão gravados:", "Documents that will be written:"},
    {"O que não pode ser importado ou não foi mantido:", "What cannot be imported, or was not kept:"},
    {"Nada: todas as perguntas foram importadas por inteiro.", "Nothing: every question was imported whole."},
    {"não importada", "not imported"},
    {"importada; isto não foi mantido", "imported; this was not kept"},
    {"Não foi possível ler o arquivo de perguntas.\r\n%1", "The question file could not be read.\r\n%1"},
    {"Não sei em que formato está %1. Use um arquivo .gift (GIFT), .txt (Aiken ou GIFT) ou .xml "
     "(Moodle XML).",
     "Which format %1 is in cannot be told. Use a .gift (GIFT), .txt (Aiken or GIFT) or .xml (Moodle XML) "
     "file."},
    {"Estes arquivos já existem e serão substituídos:\r\n%1\r\nSubstituir?",
     "These files already exist and will be replaced:\r\n%1\r\nReplace them?"},
    {"Não foi possível gravar %1. Nada mais foi gravado.",
     "%1 could not be written. Nothing more was written."},
    {"%1 documento(s) gravado(s) ao lado do arquivo de perguntas:\r\n%2\r\nO primeiro está aberto no editor.",
     "%1 document(s) written beside the question file:\r\n%2\r\nThe first one is open in the editor."},
    {"Grave o documento antes de exportar: o que se exporta é o documento gravado.",
     "Save the document before exporting: what is exported is the saved document."},
    {"Exporte para um arquivo .gift (GIFT) ou .xml (Moodle XML).",
     "Export to a .gift (GIFT) or .xml (Moodle XML) file."},
    {"Não foi possível exportar o documento.\r\n%1", "The document could not be exported.\r\n%1"},
    {"Gravado %1.", "Written: %1."},
    {"Perguntas (GIFT, Aiken, Moodle XML)", "Questions (GIFT, Aiken, Moodle XML)"},
    {"%1 pergunta(s): %2", "%1 question(s): %2"},
};

std::string T(QText id) { return LocalText(Win1252(kTexts[id].pt), Win1252(kTexts[id].en)); }

std::string Fill(std::string text, std::initializer_list<std::string> values) {
  int n = 1;
  for (const std::string& v : values) text = ReplaceAll(text, "%" + std::to_string(n++), v);
  return text;
}

// A text of the questions layer (UTF-8) as the screens show it: a
// character that Windows-1252 cannot hold is named by its code ("U+4E2D").
std::string Shown(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = NextUtf8(utf8, i);
    if (auto byte = c ? Cp1252Byte(*c) : std::nullopt) {
      out += static_cast<char>(*byte);
    } else {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", c ? static_cast<unsigned>(*c) : 0xFFFDu);
      out += code;
    }
  }
  return out;
}

std::string ActivityShown(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kMultiple: return LocalText(Win1252("Múltipla escolha"), "Multiple choice");
    case DocumentKind::kDialogical: return LocalText(Win1252("Dialógica"), "Dialogical");
    case DocumentKind::kCloze: return "Cloze";
    case DocumentKind::kMemory: return LocalText(Win1252("Memória"), "Memory");
  }
  return "";
}

std::string KindShown(QuestionKind kind, const std::string& typeName) {
  switch (kind) {
    case QuestionKind::kMultipleChoice: return LocalText(Win1252("múltipla escolha"), "multiple choice");
    case QuestionKind::kTrueFalse: return LocalText("verdadeiro/falso", "true/false");
    case QuestionKind::kShortAnswer: return LocalText("resposta curta", "short answer");
    case QuestionKind::kMatching: return LocalText(Win1252("associação"), "matching");
    case QuestionKind::kCloze: return LocalText("lacunas", "gaps");
    case QuestionKind::kDescription: return LocalText(Win1252("descrição"), "description");
    case QuestionKind::kNumerical: return LocalText(Win1252("numérica"), "numerical");
    case QuestionKind::kEssay: return LocalText("dissertativa", "essay");
    case QuestionKind::kOther: return Shown(typeName);
  }
  return "";
}

constexpr int kPreviewWidth = 320;

DialogTemplate PreviewLayout() {
  DialogTemplate t;
  t.title = T(kPreviewTitle);
  t.width = kPreviewWidth;
  t.height = 250;
  t.controls = {
      {kPreviewSummary, ControlKind::Label, "", 7, 7, kPreviewWidth - 14, 18},
      {kPreviewDocuments, ControlKind::Edit, "", 7, 27, kPreviewWidth - 14, 70,
       kMultiLine | kReadOnly | kVScroll},
      {kPreviewProblemsLabel, ControlKind::Label, T(kProblemsLabel), 7, 102, kPreviewWidth - 14, 9},
      {kPreviewProblems, ControlKind::Edit, "", 7, 113, kPreviewWidth - 14, 110,
       kMultiLine | kReadOnly | kVScroll},
      {IDOK, ControlKind::Button, "OK", kPreviewWidth - 116, 229, 52, 14},
      {IDCANCEL, ControlKind::Button, LocalText("Cancelar", "Cancel"), kPreviewWidth - 59, 229, 52, 14},
  };
  return t;
}

class CQuestionPreviewDlg : public Dialog {
 public:
  explicit CQuestionPreviewDlg(const QuestionPreview& preview) : Dialog(PreviewLayout()), preview_(preview) {}

 protected:
  bool OnInitDialog() override {
    SetItemText(kPreviewSummary, preview_.summary);
    SetItemText(kPreviewDocuments, preview_.documents);
    SetItemText(kPreviewProblems, preview_.problems);
    EnableItem(IDOK, preview_.anything);
    SetFocus(preview_.anything ? IDOK : IDCANCEL);
    return true;
  }

 private:
  QuestionPreview preview_;
};

// The format of a bank: its extension, else (a .txt or any other name) what
// its bytes look like, Aiken first since an Aiken file has no braces.
std::unique_ptr<questions::QuestionFormat> BankFormat(const std::string& path, const std::string& bytes) {
  if (ToLower(path).ends_with(".txt") || !questions::FormatForFileName(path)) {
    for (auto& f : questions::QuestionFormats())
      if (f->Name() == "aiken" && f->CanRead(bytes)) return std::move(f);
    for (auto& f : questions::QuestionFormats())
      if (f->CanRead(bytes)) return std::move(f);
    return nullptr;
  }
  return questions::FormatForFileName(path);
}

std::string StemOf(const std::string& path) {
  const std::string bare = BareName(path);
  const size_t dot = bare.rfind('.');
  return dot == std::string::npos || dot == 0 ? bare : bare.substr(0, dot);
}

}  // namespace

void AddQuestionButtons(std::vector<ControlSpec>& controls, int importId, int exportId, int y) {
  // The formatting row ends at 382; the two buttons fill the rest of it.
  controls.push_back({importId, ControlKind::Button, T(kImportLabel), 386, y, 56, 14});
  controls.push_back({exportId, ControlKind::Button, T(kExportLabel), 446, y, 56, 14});
}

QuestionPreview DescribeImport(const std::string& bankName, const questions::QuestionBank& bank,
                               const questions::ImportResult& result, DocumentKind kind,
                               const std::vector<std::string>& names) {
  QuestionPreview p;
  p.anything = !result.documents.empty();
  p.summary = Fill(T(kSummary), {bankName, std::to_string(result.questions), std::to_string(result.placed),
                                 ActivityShown(kind)});
  if (!p.anything) p.summary += "\r\n" + Fill(T(kNothingFits), {ActivityShown(kind)});
  // The questions found, by kind, in the order they first appear.
  std::vector<std::pair<std::string, size_t>> kinds;
  for (const auto& q : bank.questions) {
    const std::string k = KindShown(q.kind, q.typeName);
    auto it = std::find_if(kinds.begin(), kinds.end(), [&](const auto& e) { return e.first == k; });
    if (it == kinds.end())
      kinds.emplace_back(k, 1);
    else
      ++it->second;
  }
  std::string byKind;
  for (const auto& [k, n] : kinds) byKind += (byKind.empty() ? "" : ", ") + std::to_string(n) + " " + k;
  p.documents = Fill(T(kQuestionsOf), {std::to_string(result.questions), byKind}) + "\r\n";
  if (p.anything) {
    p.documents += T(kDocumentsHeading) + "\r\n";
    for (const std::string& n : names) p.documents += "  " + BareName(n) + "\r\n";
  }
  for (const auto& problem : result.problems) {
    std::string line = problem.line ? std::to_string(problem.line) + ": " : std::string();
    if (!problem.question.empty()) line += "\"" + Shown(problem.question) + "\": ";
    line += Shown(problem.message) + " (" + T(problem.dropped ? kNotImported : kNotKept) + ")";
    p.problems += line + "\r\n";
  }
  if (p.problems.empty()) p.problems = T(kNoProblems);
  return p;
}

bool RunQuestionPreview(const QuestionPreview& preview) {
  CQuestionPreviewDlg dialog(preview);
  return dialog.DoModal() == IDOK;
}

void CDocumentEditorDlg::ImportQuestionBank() {
  const DocumentKind kind = *kind_.questions;
  ShowHelp(kind_.helpPanel, HelpText("perguntas.rtf"));
  ChooserRequest request;
  request.initialName = CurrentSession().appPaths.documentsFolder + "*.gift";
  request.filter = T(kBankFilter) + "|*.gift;*.txt;*.xml|GIFT|*.gift|Aiken|*.txt|Moodle XML|*.xml||";
  request.defaultExtension = "gift";
  const auto chosen = ChooseFile(request);
  if (!chosen) return;

  std::string bytes, error;
  if (!questions::ReadQuestionFile(*chosen, bytes, error)) {
    ShowMessage(Fill(T(kUnreadable), {Shown(error)}), "KIO", Buttons::Ok, this);
    return;
  }
  auto format = BankFormat(*chosen, bytes);
  if (!format) {
    ShowMessage(Fill(T(kUnknownFormat), {BareName(*chosen)}), "KIO", Buttons::Ok, this);
    return;
  }
  questions::QuestionBank bank;
  if (!format->Read(bytes, bank)) {
    ShowMessage(Fill(T(kUnreadable), {BareName(*chosen) + ": " + Shown(format->ErrorString())}), "KIO",
                Buttons::Ok, this);
    return;
  }
  questions::ImportOptions options;
  options.trueText = LocalText("Verdadeiro", "True");
  options.falseText = LocalText("Falso", "False");
  const questions::ImportResult result = questions::ImportQuestions(bank, kind, options);
  // The documents go beside the bank, named after it in order: the whole
  // bank lands where the teacher keeps it, however many documents it takes.
  const std::vector<std::string> names =
      questions::DocumentNames(FolderOf(*chosen) + StemOf(*chosen) + "." + questions::DocumentExtension(kind),
                               result.documents.size());
  if (!RunQuestionPreview(DescribeImport(BareName(*chosen), bank, result, kind, names))) return;
  if (result.documents.empty() || !MayLeaveDocument()) return;

  std::string existing;
  for (const std::string& n : names)
    if (FileExists(n)) existing += "  " + BareName(n) + "\r\n";
  if (!existing.empty() &&
      ShowMessage(Fill(T(kReplaceQuestion), {existing}), "KIO", Buttons::YesNo, this) != Answer::Yes)
    return;
  std::string written;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!questions::WriteKioDocument(names[i], result.documents[i], CurrentSession().completionMessage,
                                     error)) {
      ShowMessage(Fill(T(kCannotWrite), {BareName(names[i])}), "KIO", Buttons::Ok, this);
      if (i == 0) return;
      break;
    }
    written += "  " + BareName(names[i]) + "\r\n";
  }
  OpenDocumentAt(names.front());
  ForgetSettingsChange();
  ShowMessage(Fill(T(kWritten), {std::to_string(names.size()), written}), "KIO", Buttons::Ok, this);
}

void CDocumentEditorDlg::ExportQuestionBank() {
  const DocumentKind kind = *kind_.questions;
  ShowHelp(kind_.helpPanel, HelpText("perguntas.rtf"));
  Session& s = CurrentSession();
  if (AskToSave() == SaveAnswer::kCancelled) return;
  if (!s.documentOpen || !s.documentFile.IsOpen()) {
    ShowMessage(T(kSaveFirst), "KIO", Buttons::Ok, this);
    return;
  }
  const std::string documentPath = s.documentFile.Path();
  ChooserRequest request;
  request.save = true;
  request.initialName = FolderOf(documentPath) + StemOf(documentPath) + ".gift";
  request.filter = "GIFT|*.gift|Moodle XML|*.xml||";
  request.defaultExtension = "gift";
  const auto chosen = ChooseFile(request);
  if (!chosen) return;
  auto format = questions::FormatForFileName(*chosen);
  if (!format || !format->CanWrite() || ToLower(*chosen).ends_with(".txt")) {
    ShowMessage(T(kExportFormat), "KIO", Buttons::Ok, this);
    return;
  }
  questions::KioDocument document;
  std::string error, bytes;
  bool ok = questions::ReadKioDocument(documentPath, kind, document, error) &&
            questions::ExportDocument(document, *format, bytes, error);
  if (ok) {
    try {
      ReplacementFile out(*chosen);
      out.Out().Write(bytes);
      out.Commit();
    } catch (const FileError&) {
      error = "Cannot write " + *chosen + ".";
      ok = false;
    }
  }
  if (!ok) {
    ShowMessage(Fill(T(kExportFailed), {Shown(error)}), "KIO", Buttons::Ok, this);
    return;
  }
  ShowMessage(Fill(T(kExported), {BareName(*chosen)}), "KIO", Buttons::Ok, this);
}

}  // namespace kio
