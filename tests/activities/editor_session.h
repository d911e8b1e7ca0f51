// Runs an activity editor in-process through the headless driver, inside a
// fresh copy of the program folder with the languages loaded.
#pragma once
#include <filesystem>
#include <string>

#include "app/app_paths.h"
#include "app/startup.h"
#include "fileio/document.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/headless.h"
#include "platform/text_encoding.h"
#include "program_folder.h"
#include "render/page_settings.h"

namespace kio::test {

class EditorSession {
 public:
  EditorSession() : in_(folder_.path()) {
    appPaths = AppPaths{};
    pageSettings = PageSettings{};
    // A small template stands in for the shipped ones, so that pages can be
    // compared byte for byte.
    for (const char* name : {"tmplate_cloze.htm", "tmplate_eclipse.htm"})
      std::filesystem::copy_file(std::filesystem::path(KIO_FIXTURES) / "tmplate_test.htm",
                                 folder_ / "Tmplates" / name,
                                 std::filesystem::copy_options::overwrite_existing);
    HeadlessSession quiet;
    StartUp();
    appPaths.programFolder = appPaths.startFolder;
    documentOpen = false;
    documentFile.Close();
  }

  // Runs a fresh `Editor` with `script`; returns the transcript. The working
  // folder is the program folder again afterwards.
  template <typename Editor>
  std::string Run(const std::string& script) {
    std::string transcript = RunScripted(script, [] {
      Editor editor;
      editor.DoModal();
    });
    std::filesystem::current_path(folder_.path());
    return transcript;
  }

  std::string docs() const { return (work_.path()).string() + "/"; }
  std::filesystem::path operator/(const std::string& name) const { return work_ / name; }

 private:
  ProgramFolder folder_;
  TempDir work_;
  InFolder in_;
};

}  // namespace kio::test
