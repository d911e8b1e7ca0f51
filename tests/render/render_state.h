// The process-wide state the rendering core reads and changes, put back to a
// known start for every test: default page settings, empty media sizes, a
// program folder of its own, and an output folder that already holds the
// video player files (so that "{f=" codes copy nothing unless a test asks).
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/text_encoding.h"
#include "render/markup.h"
#include "render/page_settings.h"
#include "render/player_files.h"
#include "render/write_page.h"

namespace kio::test {

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().Reset();
    CurrentSession().appPaths.programFolder = program_.str() + "/";
    CurrentSession().appPaths.documentsFolder = docs_.str() + "/";
    CurrentSession().appPaths.resultsAddress = "https://school.example/results.php";
    CurrentSession().UiText[180] = "bgcolor='#F0E8F0'";
    ResetPageSettings();
    WriteFile(players_ / "Clear_Skin_1.swf", "skin");
    WriteFile(players_ / "FLVPlayer.swf", "player");
    CurrentSession().outputFolder = players_.str() + "/";
  }
  // File choosers move the working folder; each test starts and ends in
  // the one it was given.
  void TearDown() override {
    CurrentSession().Reset();
    std::filesystem::current_path(workingFolder_);
  }

  TempDir program_, docs_, players_;
  const std::filesystem::path workingFolder_ = std::filesystem::current_path();
};

}  // namespace kio::test
