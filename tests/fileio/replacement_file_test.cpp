// ReplacementFile: a new version put in place whole or not at all.
#include "fileio/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "kio_test.h"

namespace kio {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

size_t Entries(const TempDir& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
  return n;
}

TEST(ReplacementFile, CommitPutsTheNewBytesInPlaceKeepingThePermissions) {
  TempDir dir;
  const std::string path = (dir / "lesson.clo").string();
  WriteFile(path, "old bytes");
  chmod(path.c_str(), 0640);
  {
    ReplacementFile file(path);
    file.Out().Write("new");
    EXPECT_EQ(ReadFile(path), "old bytes");  // untouched until Commit
    file.Commit();
  }
  EXPECT_EQ(ReadFile(path), "new");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(dir), 1u);
}

TEST(ReplacementFile, ADroppedVersionLeavesTheOldFileAndNoTemporaryOne) {
  TempDir dir;
  const std::string path = (dir / "lesson.clo").string();
  WriteFile(path, "old bytes");
  {
    ReplacementFile file(path);
    file.Out().Write("half of the new");
  }
  EXPECT_EQ(ReadFile(path), "old bytes");
  EXPECT_EQ(Entries(dir), 1u);
  // A folder that does not exist: the cause, nothing made.
  try {
    ReplacementFile file((dir / "no folder" / "x.clo").string());
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause, kFileNotFound);
  }
}

TEST(ReplacementFile, TheOldTailLiesPastAShorterNewVersion) {
  TempDir dir;
  const std::string path = (dir / "lesson.clo").string();
  WriteFile(path, "0123456789");
  ReplacementFile file(path);
  file.Out().Write("abc");
  file.KeepOldTail();
  file.Commit();
  EXPECT_EQ(ReadFile(path), "abc3456789");

  // No old file: only the new bytes.
  const std::string fresh = (dir / "fresh.clo").string();
  ReplacementFile other(fresh);
  other.Out().Write("abc");
  other.KeepOldTail();
  other.Commit();
  EXPECT_EQ(ReadFile(fresh), "abc");
}

}  // namespace
}  // namespace kio

namespace kio {
namespace {

// Only a file is replaced: a folder or a device of the chosen name is
// refused, and stays what it was.
TEST(ReplacementFile, OnlyAFileIsReplaced) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "folder.htm");
  for (const std::string& target : {(dir / "folder.htm").string(), std::string("/dev/null")}) {
    try {
      ReplacementFile replacement(target);
      ADD_FAILURE() << target << " was taken";
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause, kAccessDenied) << target;
    }
  }
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.htm"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "folder.htm"));
}

}  // namespace
}  // namespace kio
