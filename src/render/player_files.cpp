#include "render/player_files.h"

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

bool CopyPlayerFiles(const std::string& first, const std::string& second) {
  try {
    for (int n = 0; n < 2; ++n) {
      const std::string& name = n == 0 ? first : second;
      std::string source = CurrentSession().appPaths.programFolder + name;
      std::string destination = CurrentSession().outputFolder + name;
      if (FileExists(destination)) continue;
      File file;
      if (!PrepareDocumentFile(file, source)) {
        ShowMessage(
            (n == 0 ? std::string("Arquivo inexistente:") : Win1252("Arquivo não encontrad0: ")) + name,
            "Oops!");
        return false;
      }
      if (!file.Open(source, File::kRead)) {
        ShowMessage(Win1252("Diretório inexistente: ") + source, "Oops!");
        return false;
      }
      // A support file larger than the copy buffer is refused rather than
      // cut: a cut player or picture would be a broken file.
      if (file.Length() > kSupportFileLimit) throw FileError{kInvalidFile};
      std::string bytes = file.ReadAll();
      file.Close();
      if (!PrepareDocumentFile(file, destination)) {
        ShowMessage(
            n == 0 ? "Erro ao salvar primeiro arquivo" + name : std::string("Erro ao salvar segundo arquivo"),
            "Oops!");
        return false;
      }
      file.Create(destination);
      file.Write(bytes);
      file.Close();
    }
  } catch (const FileError&) {
    ShowMessage("Erro ao copiar arquivos para a pasta de destino", "Oops!");
    return false;
  }
  return true;
}

}  // namespace kio
