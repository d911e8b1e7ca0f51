#include "render/player_files.h"

#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

std::optional<Failure> CopyPlayerFiles(const std::string& folder, const std::string& first,
                                       const std::string& second) {
  try {
    for (int n = 0; n < 2; ++n) {
      const std::string& name = n == 0 ? first : second;
      std::string source = CurrentSession().appPaths.programFolder + name;
      std::string destination = folder + name;
      if (FileExists(destination)) continue;
      File file;
      if (!PrepareDocumentFile(file, source)) {
        return Failure{FixedText(n == 0 ? Fixed::kPlayerFileMissing : Fixed::kPlayerFileNotFound, {name}),
                       OopsCaption()};
      }
      if (!file.Open(source, File::kRead)) {
        return Failure{FixedText(Fixed::kFolderMissing, {source}), OopsCaption()};
      }
      // A support file larger than the copy buffer is refused rather than
      // cut: a cut player or picture would be a broken file.
      if (file.Length() > kSupportFileLimit) throw FileError{kInvalidFile};
      std::string bytes = file.ReadAll();
      file.Close();
      if (!PrepareDocumentFile(file, destination)) {
        return Failure{
            n == 0 ? "Erro ao salvar primeiro arquivo" + name : std::string("Erro ao salvar segundo arquivo"),
            OopsCaption()};
      }
      file.Create(destination);
      file.Write(bytes);
      file.Close();
    }
  } catch (const FileError&) {
    return Failure{FixedText(Fixed::kSupportFilesNotCopied), OopsCaption()};
  }
  return std::nullopt;
}

bool CopyPlayerFiles(const std::string& first, const std::string& second) {
  auto failure = CopyPlayerFiles(CurrentSession().outputFolder, first, second);
  if (failure) ShowMessage(failure->text, failure->caption);
  return !failure;
}

}  // namespace kio
