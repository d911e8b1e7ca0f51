// What can be wrong with a file the program is about to write, in the words
// the program shows, without showing it. Kept apart from document.cpp, which
// shows messages, so that a tool that only needs the words (kio-lexicon)
// links no message box.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

const char* const kCauseTextUtf8[15] = {
    "",
    "Error.  ",
    "Read only File (or trying to record to a CD). \r\nArquivo bloqueado (somente leitura ou tentando gravar "
    "para um CD).",
    "Caminho inválido.  ",
    "Muitos arquivos abertos.  ",
    "Acesso negado.  /Access denied.\r\n\r\n",
    "Invalid File \r\nArquivo inválido.  ",
    "Cannot remove Folder. \r\nImpossível remover diretório.  ",
    "Diretório cheio.  ",
    "Erro de badSeek.  ",
    "Erro de hardware.  ",
    "Share violation \r\nArquivo já aberto em outro programa.  \r\n",
    "Share violation \r\nViolação de bloqueio.  ",
    "Full disk. \r\n Disco cheio.  ",
    "File end. \r\nFim do arquivo.  ",
};

const std::string kCannotProcess = Win1252(" Impossível processar arquivo. Ação cancelada. ");
const std::string kReadOnlyMediaFile = Win1252(
    "\r\n Aparentemente você está tentando abrir\r\n um arquivo em mídia bloqueada (CD, DVD, etc.).  \r\n"
    " Copie este arquivo para seu computador e tente novamente. \r\n\r\n\r\n"
    "Apparently you are trying to load\r\na file from read-only media (CD, DVD, etc.) \r\n"
    "Copy this file to your computer and try again. \r\n");

}  // namespace

std::string FileErrorMessage(int cause, const std::string& suffix) {
  std::string message;
  if (cause >= 1 && cause <= 14) message = Win1252(kCauseTextUtf8[cause]);
  return message + suffix;
}

std::string DocumentFileProblem(const std::string& name) {
  const std::string path = ResolveCase(name);
  const std::string systemPath = SystemName(path);
  struct stat st;
  if (lstat(systemPath.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return "";  // a new file will be created
    return kCannotProcess;
  }
  if (CurrentSession().appPaths.readOnlyMedia) return "";
  // Clear the read-only attribute: give the owner write permission, keeping
  // the file's times, then prove the file can be opened for writing.
  bool ok = true;
  if (!(st.st_mode & S_IWUSR) && chmod(systemPath.c_str(), st.st_mode | S_IWUSR) != 0) ok = false;
  if (ok) {
    File probe;
    ok = probe.Open(path, File::kReadWrite);
  }
  if (ok) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, systemPath.c_str(), times, 0);
  }
  return ok ? "" : kReadOnlyMediaFile;
}

}  // namespace kio
