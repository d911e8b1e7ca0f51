// The private folder that previews of pages are written to: one per run,
// made on first use under the system's temporary folder with a name no
// other program can guess or take, entered by this user alone. It lives in
// the session, so the session's Reset and the end of the program remove it
// with everything in it.
#pragma once
#include <optional>
#include <string>

#include "fileio/failure.h"

namespace kio {

class PreviewFolder {
 public:
  PreviewFolder() = default;
  PreviewFolder(const PreviewFolder&) = delete;
  PreviewFolder& operator=(const PreviewFolder&) = delete;
  // Removes the folder and what it holds, as far as it can.
  ~PreviewFolder();

  // The folder with its trailing "/", made on its first use; the failure
  // when it cannot be made.
  std::optional<std::string> Path(Failure& failure);
  // The folder once made, else empty.
  const std::string& Made() const { return path_; }

 private:
  std::string path_;        // the program's text of the folder, with its "/"
  std::string systemPath_;  // the file system's name, for the removal
};

// The session's preview folder.
PreviewFolder& CurrentPreviewFolder();

// Copies into `previewFolder` each file of `sourceFolder` (the teacher's
// folder the page would be written to; empty: the working folder) that
// `page` names, by its bare name or by a relative name below the folder
// ("pics/casa.jpg", kept in the same place): the pictures, sounds and
// linked pages that sit beside a generated page. Links and names out of
// the folder are passed over. The page itself, `pageName`, stays. Copies, never moves; the teacher's
// folder is only read. A file that cannot be copied is passed over: the
// preview shows it missing, as a browser would.
void CopyReferencedFiles(const std::string& sourceFolder, const std::string& previewFolder,
                         const std::string& pageName, const std::string& page);

}  // namespace kio
