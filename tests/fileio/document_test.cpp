// PrepareDocumentFile and ReportFileError.
#include "fileio/document.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fileio/session.h"
#include "kio_test.h"

namespace kio {
namespace {

using test::HeadlessSession;
using test::TempDir;
using test::WriteFile;

TEST(ReportFileError, ShowsTheCauseTextFollowedByTheSuffix) {
  struct Case {
    int cause;
    std::string suffix, message;
  } cases[] = {
      {0, "Impossível abrir arquivo.", "Impossível abrir arquivo."},
      {13, "X", "Full disk. \\r\\n Disco cheio.  X"},
      {2, "",
       "Read only File (or trying to record to a CD). \\r\\nArquivo bloqueado (somente leitura ou tentando "
       "gravar "
       "para um CD)."},
      {5, "!", "Acesso negado.  /Access denied.\\r\\n\\r\\n!"},
      {11, "", "Share violation \\r\\nArquivo já aberto em outro programa.  \\r\\n"},
      {14, "", "File end. \\r\\nFim do arquivo.  "},
      {15, "only", "only"},
  };
  for (const auto& c : cases) {
    HeadlessSession session;
    ReportFileError(c.cause, test::W(c.suffix));
    EXPECT_EQ(session.transcript(), "MESSAGE Oops! | " + c.message + "\n") << c.cause;
  }
}

class PrepareTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentSession().appPaths.readOnlyMedia = false; }
  void TearDown() override { CurrentSession().appPaths.readOnlyMedia = false; }
  TempDir dir;
};

TEST_F(PrepareTest, MissingFileIsReadyForCreation) {
  HeadlessSession session;
  File f;
  EXPECT_TRUE(PrepareDocumentFile(f, (dir / "new.clo").string()));
  EXPECT_EQ(session.transcript(), "");
}

TEST_F(PrepareTest, ReadOnlyDocumentLosesItsReadOnlyAttributeKeepingItsTimes) {
  std::string path = (dir / "old.clo").string();
  WriteFile(path, "doc");
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
  chmod(path.c_str(), 0444);
  HeadlessSession session;
  File f;
  EXPECT_TRUE(PrepareDocumentFile(f, path));
  struct stat st;
  stat(path.c_str(), &st);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(session.transcript(), "");
}

TEST_F(PrepareTest, OnReadOnlyMediaTheFileIsLeftAlone) {
  std::string path = (dir / "cd.clo").string();
  WriteFile(path, "doc");
  chmod(path.c_str(), 0444);
  CurrentSession().appPaths.readOnlyMedia = true;
  HeadlessSession session;
  File f;
  EXPECT_TRUE(PrepareDocumentFile(f, path));
  struct stat st;
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(PrepareTest, AFileThatCannotBeWrittenIsRefusedWithTheMediaMessage) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  // Another user's read-only file: the teacher may not make it writable.
  std::string path = (dir / "theirs.clo").string();
  WriteFile(path, "doc");
  chmod(path.c_str(), 0444);
  int pipeFd[2];
  ASSERT_EQ(pipe(pipeFd), 0);
  pid_t pid = fork();
  if (pid == 0) {
    if (setgid(test::kNobodyUid) != 0 || setuid(test::kNobodyUid) != 0) _exit(99);
    HeadlessSession session;
    File f;
    bool ok = PrepareDocumentFile(f, path);
    std::string t = session.transcript();
    (void)!write(pipeFd[1], t.data(), t.size());
    _exit(ok ? 1 : 0);
  }
  close(pipeFd[1]);
  std::string transcript;
  char buf[1024];
  ssize_t n;
  while ((n = read(pipeFd[0], buf, sizeof buf)) > 0) transcript.append(buf, n);
  close(pipeFd[0]);
  int status;
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the file was accepted";
  EXPECT_EQ(
      transcript,
      "MESSAGE Oops! | \\r\\n Aparentemente você está tentando abrir\\r\\n um arquivo em mídia bloqueada "
      "(CD, DVD, etc.).  \\r\\n Copie este arquivo para seu computador e tente novamente. "
      "\\r\\n\\r\\n\\r\\nApparently you are trying to load\\r\\na file from read-only media (CD, DVD, etc.) "
      "\\r\\nCopy this file to your computer and try again. \\r\\n\n");
}

}  // namespace
}  // namespace kio
