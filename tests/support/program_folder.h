#pragma once
#include <filesystem>
#include <string>

#include "kio_test.h"
#include "lang/texts.h"

namespace kio::test {

// A copy of the program folder whose help files each hold just their own
// path, so that tests see which help a panel shows and the only messages
// are the ones a test provokes.
class ProgramFolder {
 public:
  ProgramFolder() {
    test::CopyProgramFolder(dir_.path());
    for (const char* folder : {"instru_por", "instru_eng"}) {
      std::filesystem::create_directories(dir_ / folder);
      for (int i = 1; i <= kHelpTextCount; ++i) {
        test::WriteFile(dir_ / folder / HelpFileName(i),
                        std::string("{\\rtf1 ") + folder + "/" + HelpFileName(i) + "}");
      }
    }
  }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  std::string str() const { return dir_.str(); }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
};

}  // namespace kio::test
