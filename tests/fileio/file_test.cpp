// File objects, their error causes on real failures, and case-insensitive
// lookup of names.
#include "fileio/file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "kio_test.h"
#include "platform/text.h"

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

// The one error of a file operation: a std::exception that keeps the
// program's cause for the teacher's message and the system's own reason.
TEST(FileError, CarriesTheCauseAndTheSystemsReason) {
  TempDir dir;
  File f;
  try {
    f.Create((dir / "no such folder" / "a.txt").string());
    FAIL() << "created a file in a missing folder";
  } catch (const std::exception& e) {
    const auto* error = dynamic_cast<const FileError*>(&e);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->cause, kFileNotFound);
    EXPECT_EQ(error->systemError, ENOENT);
    EXPECT_STREQ(e.what(), std::strerror(ENOENT));
  }
  // A fault the program finds itself has a cause and no system reason.
  const FileError own(kInvalidFile);
  EXPECT_EQ(own.systemError, 0);
  EXPECT_STREQ(own.what(), "file error, cause 6");
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
  // A file made is exactly the one named: the other case is left alone.
  f.Close();
  f.Create(dir.str() + "/Aulas/texto 1.clo");
  f.Write("new");
  f.Close();
  EXPECT_EQ(test::ReadFile(dir / "Aulas" / "Texto 1.CLO"), "cloze");
  EXPECT_EQ(test::ReadFile(dir / "Aulas" / "texto 1.clo"), "new");
}

// Names are program texts (Windows-1252) inside and UTF-8 on disk, so that
// every other program shows them as the teacher typed them.
TEST(FileNames, CrossBetweenTheProgramsTextsAndTheFileSystemsNames) {
  struct Case {
    std::string program;  // as the program holds it
    const char* system;   // as the file system holds it
  } cases[] = {
      {"aula.clo", "aula.clo"},
      {test::W("lição.clo"), "lição.clo"},
      {test::W("Exercício nº 2 – «página».htm"), "Exercício nº 2 – «página».htm"},
      {"\x81\x8d", "\u0081\u008d"},  // unassigned bytes: the C1 controls of the same value
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SystemName(c.program), c.system);
    EXPECT_EQ(ProgramName(c.system), c.program);
    EXPECT_EQ(FirstUnfitCharacter(c.system), "");
  }
  // Names the program's texts cannot hold are told apart, never changed.
  EXPECT_EQ(ProgramName("辞書.kio"), std::nullopt);
  EXPECT_EQ(FirstUnfitCharacter("lição 辞書.kio"), "辞");
  EXPECT_EQ(ProgramName("li\xe7\xe3o.clo"), std::nullopt);  // not UTF-8
  EXPECT_EQ(FirstUnfitCharacter("li\xe7\xe3o.clo"), "?");
}

TEST(FileNames, AccentedNamesAreFoundAndWritten) {
  TempDir dir;
  std::filesystem::create_directory(dir / "Lições");
  WriteFile(dir / "Lições" / "Exercício.CLO", "cloze");
  // Beside it, names the program cannot hold: passed over, never matched.
  WriteFile(dir / "Lições" / "辞書.clo", "other");
  WriteFile(dir / "Lições" /
                "exerc\xed"
                "cio.clo",
            "old bytes");
  const std::string folder = test::W(dir.str() + "/Lições/");
  // Lower case by characters: "Í" and "í" are the same letter.
  const std::string typed = test::W(dir.str() + "/LIÇÕES/EXERCÍCIO.clo");
  EXPECT_EQ(ResolveCase(typed), test::W(dir.str() + "/Lições/Exercício.CLO"));
  EXPECT_TRUE(FileExists(typed));
  File f;
  ASSERT_TRUE(f.Open(typed, File::kRead));
  EXPECT_EQ(f.ReadAll(), "cloze");
  f.Close();
  // A new file is made under the UTF-8 form of its name.
  f.Create(folder + test::W("página.htm"));
  f.Write("page");
  f.Close();
  EXPECT_EQ(test::ReadFile(dir / "Lições" / "página.htm"), "page");

  // The working folder comes back as a program text; one whose name the
  // program cannot hold comes back as "./", which still reaches it.
  {
    test::InFolder in(dir / "Lições");
    EXPECT_EQ(WorkingFolder(), folder);
    EXPECT_EQ(WorkingFolderUnfitCharacter(), "");
  }
  std::filesystem::create_directory(dir / "辞書");
  test::InFolder in(dir / "辞書");
  EXPECT_EQ(WorkingFolder(), "./");
  EXPECT_EQ(WorkingFolderUnfitCharacter(), "辞");
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
