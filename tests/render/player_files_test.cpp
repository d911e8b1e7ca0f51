// Support files copied from the program folder next to the pages.
#include <gtest/gtest.h>

#include "render_state.h"

namespace kio {
namespace {

using test::OopsMessage;
using test::ReadFile;
using test::RenderTest;
using test::WriteFile;

class PlayerFilesTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    CurrentSession().outputFolder = out_.str() + "/";
  }
  bool Copy() {
    test::HeadlessSession session;
    auto failure = CopyPlayerFiles(CurrentSession().outputFolder, "Clear_Skin_1.swf", "FLVPlayer.swf");
    if (failure) ShowMessage(failure->text, failure->caption);
    transcript_ = session.transcript();
    return !failure;
  }
  bool Copied(const std::string& name) const { return test::fs::exists(out_ / name); }

  test::TempDir out_;
  std::string transcript_;
};

TEST_F(PlayerFilesTest, CopiesOnceAndLeavesWhatIsThereAlone) {
  WriteFile(program_ / "Clear_Skin_1.swf", "skin");
  WriteFile(program_ / "FLVPlayer.swf", std::string("player\0bytes", 12));
  EXPECT_TRUE(Copy());
  EXPECT_EQ(transcript_, "");
  EXPECT_EQ(ReadFile(out_ / "Clear_Skin_1.swf"), "skin");
  EXPECT_EQ(ReadFile(out_ / "FLVPlayer.swf"), std::string("player\0bytes", 12));

  // A second page into the same folder copies nothing, even when the
  // program folder's files have gone.
  WriteFile(out_ / "FLVPlayer.swf", "the teacher's own");
  test::fs::remove(program_ / "Clear_Skin_1.swf");
  test::fs::remove(program_ / "FLVPlayer.swf");
  EXPECT_TRUE(Copy());
  EXPECT_EQ(transcript_, "");
  EXPECT_EQ(ReadFile(out_ / "FLVPlayer.swf"), "the teacher's own");
}

// A missing source passes the preparation and fails on opening, so the
// message names the full path.
TEST_F(PlayerFilesTest, MissingSourceFiles) {
  WriteFile(program_ / "FLVPlayer.swf", "player");
  EXPECT_FALSE(Copy());
  EXPECT_EQ(transcript_, OopsMessage(Win1252("Diretório inexistente: ") +
                                     CurrentSession().appPaths.programFolder + "Clear_Skin_1.swf"));
  EXPECT_FALSE(Copied("FLVPlayer.swf"));

  test::fs::remove(program_ / "FLVPlayer.swf");
  WriteFile(program_ / "Clear_Skin_1.swf", "skin");
  EXPECT_FALSE(Copy());
  EXPECT_EQ(transcript_, OopsMessage(Win1252("Diretório inexistente: ") +
                                     CurrentSession().appPaths.programFolder + "FLVPlayer.swf"));
  EXPECT_EQ(ReadFile(out_ / "Clear_Skin_1.swf"), "skin");
}

// The copy goes through a buffer of 90,000 bytes: a larger file is refused
// whole rather than cut.
TEST_F(PlayerFilesTest, FilesLargerThanTheBufferAreRefused) {
  const std::string largest(90000, 'p');
  WriteFile(program_ / "Clear_Skin_1.swf", largest);
  WriteFile(program_ / "FLVPlayer.swf", largest + "x");
  EXPECT_FALSE(Copy());
  EXPECT_EQ(transcript_, OopsMessage("Erro ao copiar arquivos para a pasta de destino"));
  EXPECT_EQ(ReadFile(out_ / "Clear_Skin_1.swf"), largest);
  EXPECT_FALSE(Copied("FLVPlayer.swf"));
}

TEST_F(PlayerFilesTest, AFailedWriteEndsTheCopy) {
  WriteFile(program_ / "Clear_Skin_1.swf", "skin");
  WriteFile(program_ / "FLVPlayer.swf", "player");
  CurrentSession().outputFolder = out_.str() + "/no such folder/";
  EXPECT_FALSE(Copy());
  EXPECT_EQ(transcript_, OopsMessage("Erro ao copiar arquivos para a pasta de destino"));
}

// Without an output folder the files land in the working folder.
TEST_F(PlayerFilesTest, NoOutputFolderMeansTheWorkingFolder) {
  WriteFile(program_ / "facea.gif", "a");
  WriteFile(program_ / "faceb.gif", "b");
  CurrentSession().outputFolder.clear();
  test::InFolder in(out_.path());
  test::HeadlessSession session;
  EXPECT_TRUE(CopyPlayerFiles("facea.gif", "faceb.gif"));
  EXPECT_EQ(ReadFile(out_ / "facea.gif") + ReadFile(out_ / "faceb.gif"), "ab");
  EXPECT_EQ(session.transcript(), "");
}

}  // namespace
}  // namespace kio
