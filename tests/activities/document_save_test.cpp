// Saving documents and pages through the editor base, shown with the Cloze
// editor: a failed save keeps the old file, a rewrite in place keeps its
// bytes, the exact chosen name is the one read and written, and the video
// player lands beside the page.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <set>

#include "activities/cloze/cloze_dlg.h"
#include "editor_session.h"
#include "peak_memory.h"
#include "render/fields.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Control;
using test::EditorSession;
using test::Has;
using test::ReadFile;

// Files in a folder other than the documents named.
size_t Leftovers(const fs::path& folder, std::initializer_list<const char*> names) {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    bool named = false;
    for (const char* name : names) named = named || e.path().filename() == name;
    if (!named) ++n;
  }
  return n;
}

// A Save As over an existing document on a disk that fills up: the message,
// and the old document as it was.
TEST(DocumentSave, AFullDiskKeepsTheOldDocument) {
  EditorSession s;
  const std::string path = (s / "lesson.clo").string();
  s.Run<CClozeDlg>("type 1402 " + std::string(3700, 'a') + " [x]\npress 1423\nchoose " + path +
                   "\npress 2\n");
  const std::string old = ReadFile(path);
  ASSERT_GT(old.size(), 3700u);

  // A file-size limit stands for the full disk; the child process takes it.
  auto run = test::RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string t = s.Run<CClozeDlg>("type 1402 " + std::string(6000, 'b') + " [y]\npress 1424\nchoose " +
                                     path + "\npress 2\nanswer No\n");
    return Has(t, "MESSAGE Oops! | Full disk. \\r\\n Disco cheio.  ");
  });
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(Leftovers(s / "", {"lesson.clo"}), 0u);
}

// Save over a document that has its file writes the new fields over the old
// bytes and never shortens the file.
TEST(DocumentSave, ARewriteKeepsTheOldBytesPastTheNewOnes) {
  EditorSession s;
  const std::string path = (s / "long.clo").string();
  std::string t = s.Run<CClozeDlg>("type 1402 " + std::string(500, 'a') + " [x]\npress 1423\nchoose " + path +
                                   "\ntype 1402 [y]\npress 1423\npress 2\n");
  const std::string bytes = ReadFile(path);
  const std::string shorter = EncodeText("[y]");
  const size_t at = bytes.find(shorter);
  ASSERT_NE(at, std::string::npos) << t;
  // The new text's field, then what the longer old one left behind.
  EXPECT_EQ(bytes.size(), at + 4 + 504);
  EXPECT_EQ(bytes.substr(at + shorter.size(), 10), std::string(10, 'a'));
  EXPECT_EQ(Leftovers(s / "", {"long.clo"}), 0u);
}

TEST(DocumentSave, TheExactChosenNameIsReadAndWritten) {
  EditorSession s;
  // Two documents whose names differ only in case.
  s.Run<CClozeDlg>("type 1402 [lower]\npress 1423\nchoose " + (s / "lesson.clo").string() + "\npress 2\n");
  s.Run<CClozeDlg>("type 1402 [upper]\npress 1423\nchoose " + (s / "Lesson.clo").string() + "\npress 2\n");
  EXPECT_TRUE(Has(ReadFile(s / "lesson.clo"), "[lower]"));
  EXPECT_TRUE(Has(ReadFile(s / "Lesson.clo"), "[upper]"));
  std::string t = s.Run<CClozeDlg>("press 1422\nchoose " + (s / "Lesson.clo").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1402), "[upper]") << t;

  // A new name does not overwrite another file of the same letters.
  test::WriteFile(s / "Aula.clo", "not a lesson");
  s.Run<CClozeDlg>("type 1402 [new]\npress 1423\nchoose " + (s / "aula.clo").string() + "\npress 2\n");
  EXPECT_EQ(ReadFile(s / "Aula.clo"), "not a lesson");
  EXPECT_TRUE(Has(ReadFile(s / "aula.clo"), "[new]"));

  // Opening a name that exists only in another case still finds it.
  t = s.Run<CClozeDlg>("press 1422\nchoose " + (s / "LESSON.CLO").string() + "\ndump\npress 2\n");
  EXPECT_FALSE(Control(t, 1402).empty()) << t;
}

// Teachers name files with accents: on disk the names are UTF-8, as every
// other program shows them, and they open again whatever the case typed.
TEST(DocumentSave, AccentedNamesAreTheNamesOnDisk) {
  EditorSession s;
  const fs::path folder = s / "Lições";
  fs::create_directory(folder);
  std::string t = s.Run<CClozeDlg>("type 1402 [ação]\npress 1423\nchoose " +
                                   (folder / "Exercício.clo").string() + "\npress 1425\nchoose " +
                                   (folder / "página.htm").string() + "\nanswer Yes\nanswer No\npress 2\n");
  // The page chooser opened in the document's folder, as written on disk.
  EXPECT_TRUE(Has(t, "CHOOSE save | " + folder.string() + "/*.htm")) << t;
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"Exercício.clo", "página.htm"})) << t;
  EXPECT_TRUE(Has(ReadFile(folder / "Exercício.clo"), test::W("[ação]")));
  t = s.Run<CClozeDlg>("press 1422\nchoose " + (folder / "EXERCÍCIO.CLO").string() + "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1402), "[ação]") << t;
}

TEST(DocumentSave, VideoPlayersAreCopiedBesideThePage) {
  EditorSession s;
  test::WriteFile(fs::path(CurrentSession().appPaths.programFolder) / "Clear_Skin_1.swf", "skin");
  test::WriteFile(fs::path(CurrentSession().appPaths.programFolder) / "FLVPlayer.swf", "player");
  test::TempDir pages;
  std::string t =
      s.Run<CClozeDlg>("type 1402 {f=v.flv} [x]\npress 1423\nchoose " + (s / "video.clo").string() +
                       "\npress 1425\nchoose " + (pages / "video.htm").string() + "\nanswer No\npress 2\n");
  EXPECT_TRUE(fs::exists(pages / "video.htm")) << t;
  EXPECT_EQ(ReadFile(pages / "FLVPlayer.swf"), "player");
  EXPECT_EQ(ReadFile(pages / "Clear_Skin_1.swf"), "skin");
  EXPECT_FALSE(fs::exists(s / "FLVPlayer.swf"));
}

TEST(DocumentSave, AGrowingTextIsRefusedWithItsMessage) {
  EditorSession s;
  std::string codes = "{h=.}";
  for (int i = 0; i < 12; ++i) codes += "{f=}";
  codes += std::string(12, '}');
  auto run = test::RunInChild([&] {
    // Refused before any file is chosen.
    std::string t = s.Run<CClozeDlg>("type 1402 " + codes + " [x]\npress 1425\npress 2\nanswer No\n");
    return Has(t, "MESSAGE Oops! | Este texto faz uma p") && !fs::exists(s / "big.htm");
  });
  EXPECT_TRUE(run.ok);
  EXPECT_LT(run.peakBytes, 150 * test::kMiB * test::kMemoryScale);
}

}  // namespace
}  // namespace kio
