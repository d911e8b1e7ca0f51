#include "app/startup.h"

#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "lexicon/lexicon_session.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

const std::string kZippedFolder = Win1252(
    "\r\nAparentemente você está tentando iniciar o KIO\r\ndiretamente de uma pasta compactada,\r\n"
    "ou possivelmente do Linux.\r\nFaça a descompactação, use o Wine e tente novamente.\r\n\r\n"
    "Apparently you are trying to start KIO\r\nfrom a zipped folder\r\nor from Linux.\r\n"
    "Please unzip it, use Wine and try again.\r\n");
const std::string kReadOnlyMedia = Win1252(
    "KIO funciona sem problemas\r\ndiretamente de mídia bloqueada\r\n(como parece ser o caso agora).\r\n"
    "mas fica mais lento\r\ne tem algumas restrições.\r\n\r\n\r\n"
    "KIO can be used directly\r\nfrom read-only media\r\n(as seems to be the case now)\r\n"
    "but it works slower\r\nand has some restrictions.\r\n");
const std::string kConfigNotFound = Win1252(
    "Config file not found.  Cannot continue.\r\nArquivo de Configuração não encontrada.  Impossível "
    "continuar.");
const std::string kLexiconDatNotFound = Win1252(
    "Configuration file (lexicon.dat) not found.\r\nKIO cannot go on.\r\n\r\n"
    " Arquivo de configuração (lexicon.dat) não localizado!\r\nKio não pode continuar.");
const std::string kOutputNotFoundCapital = Win1252(
    "Output language not found.  Cannot continue.\r\nLíngua de Saida não encontrada.  Impossível continuar.");
const std::string kOutputNotFoundSmall = Win1252(
    "Output language not found.  Cannot continue.\r\nLíngua de saida não encontrada.  Impossível continuar.");
// The program keeps every name as a Windows-1252 text; a program folder
// whose name holds another character could not be named in any path.
const std::string kFolderNameUnfit = Win1252(
    "O nome da pasta do KIO (ou de uma pasta acima dela) tem um caractere que o KIO não consegue "
    "guardar.\r\nMude esse nome, ou ponha o KIO em outra pasta, e abra o KIO de novo.\r\n\r\n"
    "The name of KIO's folder (or of a folder above it) holds a character KIO cannot keep.\r\n"
    "Rename it, or put KIO in another folder, and start KIO again.");

[[noreturn]] void EndProgram(const std::string& message, const std::string& caption) {
  ShowMessage(message, caption);
  ExitProcess(1);
}

enum class Read { kOk, kMissing, kTooShort, kTooLong };

// Reads a one-value configuration file whole. A value longer than its field
// is refused rather than cut: a cut file name or address would silently
// point somewhere else.
Read ReadConfigValue(const std::string& name, size_t minimum, size_t capacity, std::string& value) {
  std::string contents;
  if (!ReadWholeFile(name, contents)) return Read::kMissing;
  if (contents.size() < minimum) return Read::kTooShort;
  if (contents.size() > capacity) return Read::kTooLong;
  value = contents;
  return Read::kOk;
}

}  // namespace

std::string DocumentsFolderFor(const std::string& startFolder) {
  std::string lower = ToLower(startFolder);
  size_t p = lower.find("documents/");
  if (p != std::string::npos) return startFolder.substr(0, p + 10);
  p = lower.find("documentos/");
  if (p != std::string::npos) return startFolder.substr(0, p + 11);
  return startFolder;
}

void StartUp() {
  CurrentSession().configFile.Close();

  if (!WorkingFolderUnfitCharacter().empty()) EndProgram(kFolderNameUnfit, "KIO");
  // The general caption: empty until a language has been loaded.
  if (!FileExists("Configura.txt")) EndProgram(kZippedFolder, UiText(Ui::kProgramName));
  if (!FileWritable("Configura.txt")) {
    CurrentSession().appPaths.readOnlyMedia = true;
    ShowMessage(kReadOnlyMedia, UiText(Ui::kProgramName));
  }

  if (ReadConfigValue("Configura.txt", 2, kResultsAddressCapacity,
                      CurrentSession().appPaths.resultsAddress) != Read::kOk)
    EndProgram(kConfigNotFound, OopsCaption());

  if (ReadConfigValue("lexicon.dat", 0, kLexiconNameCapacity, CurrentSession().appPaths.lexiconDataFile) !=
      Read::kOk)
    EndProgram(kLexiconDatNotFound, OopsCaption());
  // The full path under which the file was opened, less "lexicon.dat".
  std::string full = ResolveCase("lexicon.dat");
  if (full.empty() || full[0] != '/') full = WorkingFolder() + full;
  CurrentSession().appPaths.startFolder = ReplaceAll(full, "lexicon.dat", "");

  if (ReadConfigValue("language.dat", 2, kLanguageNameCapacity,
                      CurrentSession().appPaths.interfaceLanguageFile) != Read::kOk)
    EndProgram(InputLanguageNotFoundMessage(), OopsCaption());
  LoadInterfaceLanguage();

  switch (ReadConfigValue("lingualu.dat", 2, kLanguageNameCapacity,
                          CurrentSession().appPaths.studentLanguageFile)) {
    case Read::kOk: break;
    case Read::kMissing: EndProgram(kOutputNotFoundCapital, OopsCaption());
    default: EndProgram(kOutputNotFoundSmall, OopsCaption());
  }
  LoadStudentLanguage();

  DeriveLexiconNames();

  if (CurrentSession().appPaths.documentsFolder.empty())
    CurrentSession().appPaths.documentsFolder = DocumentsFolderFor(CurrentSession().appPaths.startFolder);
}

}  // namespace kio
