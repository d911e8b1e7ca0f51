#include "lang/texts.h"

#include <stdexcept>

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

constexpr int kUiRecordOfStudent[29] = {6,  7,  9,  10, 11,  18,  19,  22,  25,  35,  69,  75,  76,  77, 78,
                                        80, 81, 82, 83, 122, 124, 125, 198, 199, 200, 201, 202, 203, 204};

const char* const kHelpNames[kHelpTextCount] = {"abertura.rtf",
                                                "atividades.rtf",
                                                "dicionario.rtf",
                                                "fontes.rtf",
                                                "frames.rtf",
                                                "av.rtf",
                                                "paragraph.rtf",
                                                "ajuda_geral.rtf",
                                                "dial_01_seleciona.rtf",
                                                "dial_02_avalia.rtf",
                                                "dial_03_pergunta.rtf",
                                                "dial_05_gabarito.rtf",
                                                "dial_04_errado.rtf",
                                                "dial_06_certo.rtf",
                                                "insere_move.rtf",
                                                "copia_cola.rtf",
                                                "gera_htm.rtf",
                                                "arquivos.rtf",
                                                "audiovisuais.rtf",
                                                "dic_termo_fonte.rtf",
                                                "dic_termo_alvo.rtf",
                                                "dic_move.rtf",
                                                "dic_edita.rtf",
                                                "dic_abre_salva.rtf",
                                                "dic_avancado.rtf",
                                                "kio_tur.rtf",
                                                "dicas.rtf",
                                                "hp_basica.rtf",
                                                "hp_lexical.rtf",
                                                "memoria_instru.rtf",
                                                "mult_dica_geral.rtf",
                                                "mult_opcoes.rtf",
                                                "mult_feedback.rtf",
                                                "cloze_instru.rtf",
                                                "cloze_text.rtf",
                                                "memoria_text.rtf",
                                                "eclipse_instru.rtf",
                                                "eclipse_text.rtf",
                                                "eclipse_dadas.rtf",
                                                "sequencia_text.rtf",
                                                "index_inicializa.rtf",
                                                "index_titulo.rtf",
                                                "index_cada_link.rtf",
                                                "index_cada_titulo.rtf",
                                                "index_finish.rtf",
                                                "menu_titulo.rtf",
                                                "menu_select.rtf",
                                                "menu_arquivos.rtf",
                                                "help_inicial.rtf",
                                                "eclipse_intro.rtf",
                                                "cloze_intro.rtf",
                                                "sequencia_intro.rtf",
                                                "memoria_intro.rtf",
                                                "multipla_intro.rtf",
                                                "dialogica_intro.rtf",
                                                "basica_intro.rtf",
                                                "lexical_intro.rtf",
                                                "menu_intro.rtf",
                                                "index_intro.rtf",
                                                "lingua_aluno.rtf",
                                                "lingua_pro.rtf",
                                                "dicionario_intro.rtf",
                                                "inicial.rtf",
                                                "fecha.rtf",
                                                "configura.rtf",
                                                "mensagem_final.rtf",
                                                "eclipse_tips.rtf",
                                                "cloze_tips.rtf",
                                                "sequencia_tips.rtf",
                                                "memoria_tips.rtf",
                                                "multipla_tips.rtf",
                                                "dialogica_tips.rtf",
                                                "download.rtf",
                                                "aju_pro.rtf",
                                                "output_new.rtf",
                                                "output_intro.rtf",
                                                "perguntas.rtf"};

std::string& UiRecord(Ui id) { return CurrentSession().UiText.at(static_cast<size_t>(id)); }

// Help texts 4 to 77 have storage of their own; 1, 2 and 3 share theirs with
// UiText records 20, 28 and 48.

std::string& HelpStorage(int index) {
  if (index == 1) return UiRecord(Ui::kWelcome);
  if (index == 2) return UiRecord(Ui::kHelpActivities);
  if (index == 3) return UiRecord(Ui::kHelpDictionary);
  return CurrentSession().helpTexts[index];
}

}  // namespace

const std::string& InputLanguageNotFoundMessage() {
  static const std::string text = Win1252(
      "Input language not found.  Cannot continue.\r\nLíngua de entrada não encontrada.  Impossível "
      "continuar.");
  return text;
}

namespace {

const std::string kOutputLanguageNotFound = Win1252(
    "Output language not found.  Cannot continue.\r\nLíngua de saída não encontrada.  Impossível continuar.");

}  // namespace

const std::string& UiText(Ui id) { return UiRecord(id); }

void SetUiText(Ui id, std::string text) { UiRecord(id) = std::move(text); }

Answer CheckFileNameCharacters(const std::string& name) {
  if (HasOnlyPlainFileNameCharacters(name)) return Answer::Yes;
  return ShowMessage(UiText(Ui::kUnsafeFileName), UiText(Ui::kProgramName), Buttons::YesNo);
}

int StudentTextUiRecord(int entry) {
  if (entry < kFirstStudentEntry || entry > 33) throw std::out_of_range("student text entry");
  return kUiRecordOfStudent[entry - kFirstStudentEntry];
}

std::string& StudentText(int entry) {
  if (entry == 34) return CurrentSession().completionMessage;
  return CurrentSession().UiText[StudentTextUiRecord(entry)];
}

const char* HelpFileName(int index) {
  if (index < 1 || index > kHelpTextCount) throw std::out_of_range("help text index");
  return kHelpNames[index - 1];
}

const std::string& HelpText(int index) {
  if (index < 1 || index > kHelpTextCount) throw std::out_of_range("help text index");
  return HelpStorage(index);
}

const std::string& HelpText(const std::string& fileName) {
  for (int i = 1; i <= kHelpTextCount; ++i)
    if (fileName == kHelpNames[i - 1]) return HelpStorage(i);
  throw std::out_of_range("no help text named " + fileName);
}

std::vector<std::string> ReadRecords(const std::string& contents, size_t capacity) {
  std::vector<std::string> records;
  records.reserve(capacity);
  size_t nextTilde = 0;  // position of the first "~" after the current "^"
  for (size_t i = 0; i < contents.size() && records.size() < capacity; ++i) {
    if (contents[i] != '^') continue;
    if (nextTilde <= i) {
      nextTilde = contents.find('~', i + 1);
      if (nextTilde == std::string::npos) break;  // no later "~": no more records
    }
    records.push_back(contents.substr(i + 1, nextTilde - i - 1));
  }
  return records;
}

std::string HelpFolderFor(const std::string& languageFile) {
  std::string name = ToLower(languageFile);
  if (name == "portugues.lin" || name == "port_deut.lin" || name == "port_espan.lin") return "instru_por/";
  if (name == "english.lin" || name == "eng_deut.lin") return "instru_eng/";
  return name;
}

bool ReadTextFile(const std::string& name, std::string& contents) {
  CurrentSession().configFile.Close();
  if (!CurrentSession().configFile.Open(name, File::kRead)) return false;
  bool ok = true;
  try {
    uint64_t length = CurrentSession().configFile.Length();
    if (length < 2 || length > kSharedTextBufferSize - 1)
      ok = false;
    else
      contents = CurrentSession().configFile.ReadAll();
  } catch (const FileError&) {
    ok = false;
  }
  CurrentSession().configFile.Close();
  return ok && contents.size() >= 2 && contents.size() < kSharedTextBufferSize;
}

void LoadInterfaceLanguage() {
  std::string contents;
  if (!ReadTextFile(CurrentSession().appPaths.interfaceLanguageFile, contents)) {
    ShowMessage(InputLanguageNotFoundMessage(), OopsCaption());
    ExitProcess(1);
  }
  CurrentSession().appPaths.helpFolder = HelpFolderFor(CurrentSession().appPaths.interfaceLanguageFile);
  std::vector<std::string> records = ReadRecords(contents, 225);
  for (int k = 0; k < kUiTextCount; ++k) {
    if (k == static_cast<int>(Ui::kSkippedA) || k == static_cast<int>(Ui::kSkippedB)) continue;
    CurrentSession().UiText[k] = k < static_cast<int>(records.size()) ? records[k] : std::string();
  }
  for (int i = 1; i <= kHelpTextCount; ++i) {
    std::string help;
    if (!ReadTextFile(CurrentSession().appPaths.helpFolder + kHelpNames[i - 1], help)) {
      ShowMessage(kOutputLanguageNotFound, OopsCaption());
      break;
    }
    HelpStorage(i) = std::move(help);
  }
}

std::vector<std::string> StudentTextsOf(const std::string& contents) {
  std::vector<std::string> records = ReadRecords(contents, 50);
  std::vector<std::string> texts(kLastStudentEntry - kFirstStudentEntry + 1);
  for (int r = kFirstStudentEntry; r <= kLastStudentEntry && r < static_cast<int>(records.size()); ++r)
    texts[r - kFirstStudentEntry] = std::move(records[r]);
  return texts;
}

void LoadStudentLanguage() {
  std::string contents;
  if (!ReadTextFile(CurrentSession().appPaths.studentLanguageFile, contents)) {
    ShowMessage(kOutputLanguageNotFound, OopsCaption());
    ExitProcess(1);
  }
  std::vector<std::string> texts = StudentTextsOf(contents);
  for (int r = kFirstStudentEntry; r <= kLastStudentEntry; ++r)
    StudentText(r) = std::move(texts[r - kFirstStudentEntry]);
}

const std::string& BuiltInCompletionMessage() {
  static const std::string message = Win1252("Parabéns! Você concluiu a atividade.");
  return message;
}

std::string StudentCompletionMessage(const std::string& programFolder) {
  std::string name, contents;
  if (!ReadTextFile(programFolder + "lingualu.dat", name) || name.size() > kLanguageNameCapacity ||
      !ReadTextFile(programFolder + name, contents))
    return BuiltInCompletionMessage();
  return StudentTextsOf(contents)[34 - kFirstStudentEntry];
}

std::string LocalText(const std::string& portuguese, const std::string& english) {
  return CurrentSession().appPaths.helpFolder == "instru_eng/" ? english : portuguese;
}

}  // namespace kio
