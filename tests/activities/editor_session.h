// Runs an activity editor in-process through the headless driver, inside a
// fresh copy of the program folder with the languages loaded.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "activities/text_activity_dlg.h"
#include "app/startup.h"
#include "fileio/document.h"
#include "fileio/session.h"
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
    CurrentSession().Reset();
    // A small template stands in for the shipped ones, so that pages can be
    // compared byte for byte.
    for (const char* name : {"tmplate_cloze.htm", "tmplate_eclipse.htm"})
      std::filesystem::copy_file(std::filesystem::path(KIO_FIXTURES) / "tmplate_test.htm",
                                 folder_ / "Tmplates" / name,
                                 std::filesystem::copy_options::overwrite_existing);
    // The list editors' stand-in also shows the item count.
    for (const char* name : {"tmplate_multi.htm", "tmplate_dial.htm"})
      std::filesystem::copy_file(std::filesystem::path(KIO_FIXTURES) / "tmplate_list_test.htm",
                                 folder_ / "Tmplates" / name,
                                 std::filesystem::copy_options::overwrite_existing);
    HeadlessSession quiet;
    StartUp();
    CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
    CurrentSession().documentOpen = false;
    CurrentSession().documentFile.Close();
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

// Runs each script in a fresh `Editor` (which starts with its tips shown)
// and checks which help file the help panel shows afterwards. The program
// folder's stand-in help files hold their own path.
template <typename Editor>
void ExpectHelpPanel(EditorSession& s, std::initializer_list<std::pair<const char*, const char*>> cases,
                     int panel = kActHelp) {
  for (auto [script, help] : cases) {
    std::string t = s.Run<Editor>(std::string(script) + "dump\npress 2\n");
    EXPECT_EQ(Control(t, panel), std::string("{\\\\rtf1 instru_por/") + help + "}") << script;
  }
}

}  // namespace kio::test
