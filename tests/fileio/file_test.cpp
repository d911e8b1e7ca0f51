// File objects, their error causes on real failures, and case-insensitive
// lookup of names.
#include "fileio/file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "kio_test.h"

namespace kio {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(CauseFromErrno, MapsTheErrorsFilesMeet) {
  std::pair<int, int> cases[] = {
      {ENOENT, 2},  {EACCES, 5}, {EPERM, 5},        {EROFS, 5},   {EMFILE, 4}, {ENFILE, 4},
      {ENOSPC, 13}, {EIO, 10},   {ENAMETOOLONG, 3}, {ENOTDIR, 3}, {EISDIR, 6}, {EXDEV, 1},
  };
  for (auto [error, cause] : cases) EXPECT_EQ(CauseFromErrno(error), cause) << error;
}

int CauseOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const FileError& e) {
    return e.cause;
  }
  return 0;
}

TEST(File, ReportsRealFailuresWithTheirCause) {
  TempDir dir;
  WriteFile(dir / "short.bin", "abc");
  File unopened;
  EXPECT_EQ(CauseOf([&] { unopened.Write("x"); }), kFileNotFound);  // an invalid handle
  char buf[8];
  EXPECT_EQ(CauseOf([&] { unopened.Read(buf, 1); }), kFileNotFound);

  File missing;
  EXPECT_FALSE(missing.Open((dir / "no-such-folder" / "a.clo").string(), File::kCreateWrite));
  EXPECT_EQ(CauseFromErrno(errno), kFileNotFound);

  File folder;
  EXPECT_FALSE(folder.Open(dir.str(), File::kReadWrite));
  EXPECT_EQ(CauseFromErrno(errno), kInvalidFile);

  File notFolder;
  EXPECT_FALSE(notFolder.Open((dir / "short.bin" / "x").string(), File::kRead));
  EXPECT_EQ(CauseFromErrno(errno), kBadPath);

  // Create throws the cause that Open leaves in errno.
  File created;
  EXPECT_EQ(CauseOf([&] { created.Create((dir / "no-such-folder" / "a.clo").string()); }), kFileNotFound);
  EXPECT_EQ(CauseOf([&] { created.Create(dir.str()); }), kInvalidFile);
  EXPECT_EQ(CauseOf([&] { created.Create((dir / "new.clo").string()); }), 0);
  EXPECT_TRUE(created.IsOpen());

  File f;
  ASSERT_TRUE(f.Open((dir / "short.bin").string(), File::kRead));
  EXPECT_EQ(CauseOf([&] { f.ReadExact(buf, 4); }), kEndOfFile);
  EXPECT_EQ(CauseOf([&] { f.Seek(-1); }), kBadSeek);
  EXPECT_EQ(CauseOf([&] { f.Write("x"); }), kFileNotFound);  // not open for writing
}

// Runs `body` in a child process and returns its exit status.
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(File, ReadOnlyFileRefusesAnotherUser) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  WriteFile(dir / "locked.clo", "data");
  chmod((dir / "locked.clo").c_str(), 0444);
  int cause = InChild([&] {
    if (setgid(test::kNobodyUid) != 0 || setuid(test::kNobodyUid) != 0) return 99;
    File f;
    if (f.Open((dir / "locked.clo").string(), File::kReadWrite)) return 98;
    return static_cast<int>(CauseFromErrno(errno));
  });
  EXPECT_EQ(cause, kAccessDenied);
}

TEST(File, AFullDiskShowsOnTheWriteThatMetIt) {
  TempDir dir;
  // A file-size limit stands in for a full disk: writing past it fails with
  // EFBIG, which the program reports as a full disk.
  int cause = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {4096, 4096};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 99;
    File f;
    if (!f.Open((dir / "big.bin").string(), File::kCreateWrite)) return 98;
    std::string block(1024, 'x');
    try {
      for (int i = 0; i < 8; ++i) f.Write(block);
    } catch (const FileError& e) {
      return e.cause;
    }
    return 0;
  });
  EXPECT_EQ(cause, kDiskFull);
}

TEST(File, FindsNamesWhateverTheirCaseOnDisk) {
  TempDir dir;
  std::filesystem::create_directory(dir / "Aulas");
  WriteFile(dir / "Aulas" / "Texto 1.CLO", "cloze");
  std::string path = dir.str() + "/aulas/texto 1.clo";
  EXPECT_TRUE(FileExists(path));
  File f;
  ASSERT_TRUE(f.Open(path, File::kRead));
  EXPECT_EQ(f.ReadAll(), "cloze");
  // A name that matches nothing stays as written.
  EXPECT_EQ(ResolveCase(dir.str() + "/aulas/other.clo"), (dir / "Aulas").string() + "/other.clo");
}

TEST(TextHelpers, LowerCaseAndReplace) {
  EXPECT_EQ(ToLower(test::W("Ingles.KIO ÁÉÍÓÚÇÃ ŠŒŽŸ ×Þß")), test::W("ingles.kio áéíóúçã šœžÿ ×þß"));
  EXPECT_EQ(ReplaceAll("a.kio.kio", ".kio", ".kpo"), "a.kpo.kpo");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(BareName("/x/y/z.clo"), "z.clo");
  EXPECT_EQ(FolderOf("/x/y/z.clo"), "/x/y/");
}

}  // namespace
}  // namespace kio
