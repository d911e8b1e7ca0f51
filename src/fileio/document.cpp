#include "fileio/document.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/text_encoding.h"

namespace kio {

void ReportFileError(int cause, const std::string& suffix) {
  ShowMessage(FileErrorMessage(cause, suffix), OopsCaption());
}

bool PrepareDocumentFile(File& file, const std::string& name) {
  const std::string problem = DocumentFileProblem(name);
  if (problem.empty()) return true;
  ShowMessage(problem, OopsCaption());
  file.Close();
  return false;
}

bool HasOnlyPlainFileNameCharacters(const std::string& name) {
  static const char kAllowed[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.";
  for (char c : name)
    if (c == '\0' || !std::strchr(kAllowed, c)) return false;
  return true;
}

ChooserRequest ExtensionChooser(const std::string& folder, const std::string& extension, bool save) {
  ChooserRequest r;
  r.save = save;
  r.initialName = folder + "*." + extension;
  r.filter = "*." + extension + "||";
  r.defaultExtension = extension;
  return r;
}

ChooserRequest DocumentChooser(const std::string& extension, bool save) {
  return ExtensionChooser(CurrentSession().appPaths.documentsFolder, extension, save);
}

bool InProgramFolder(const std::string& path) {
  const std::string& program = CurrentSession().appPaths.programFolder;
  const std::string folder = FolderOf(path);
  if (ToLower(folder) == ToLower(program)) return true;
  std::error_code ec;
  return std::filesystem::equivalent(SystemName(folder.empty() ? "." : folder),
                                     SystemName(program.empty() ? "." : program), ec);
}

void TakeChosenName(const std::string& chosenPath) {
  CurrentSession().documentName = ToLower(BareName(chosenPath));
}

void SetDocumentsFolderFrom(const std::string& chosenPath) {
  CurrentSession().appPaths.documentsFolder = FolderOf(chosenPath);
}

}  // namespace kio
