#include "package/course.h"

#include <gtest/gtest.h>

#include "course_fixture.h"

namespace kio {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::vector<std::string> Paths(const Course& course) {
  std::vector<std::string> out;
  for (const auto& f : course.files) out.push_back(f.path);
  return out;
}

TEST(Course, IsWhatTheStartPageReachesAndNothingElse) {
  TempDir dir;
  test::WriteCourse(dir.path());
  Course course;
  std::string error;
  ASSERT_TRUE(CollectCourse((dir / "Unidade 1" / "index.html").string(), course, error)) << error;
  EXPECT_EQ(Paths(course),
            (std::vector<std::string>{"cloze 1.htm", "fotos/d'or.jpg", "fotos/p\xC3\xA1tio.jpg", "index.html",
                                      test::kReading, "menu.htm", "multi.htm", "som da aula.mp3"}));
  EXPECT_EQ(course.reached,
            (std::vector<std::string>{"index.html", "menu.htm", test::kReading, "cloze 1.htm", "multi.htm",
                                      "fotos/d'or.jpg", "som da aula.mp3", "fotos/p\xC3\xA1tio.jpg"}));
  ASSERT_EQ(course.problems.size(), 2u);
  EXPECT_EQ(DescribeProblem(course.problems[0]),
            "index.html: ../outside.jpg: the file is outside the course folder");
  EXPECT_EQ(DescribeProblem(course.problems[1]), "multi.htm: missing.jpg: the file does not exist");
  const CourseFile* cloze = FindCourseFile(course, "cloze 1.htm");
  ASSERT_TRUE(cloze);
  EXPECT_TRUE(cloze->activity);
  EXPECT_EQ(cloze->title, "cloze 1");
  EXPECT_EQ(cloze->uses, std::vector<std::string>{"som da aula.mp3"});
  EXPECT_FALSE(FindCourseFile(course, "menu.htm")->activity);
  EXPECT_EQ(DefaultCourseTitle(course), "Unidade 1");
}

TEST(Course, LinksThatLeaveTheFolderAreReportedWhateverTheirForm) {
  TempDir dir;
  fs::create_directories(dir / "c" / "sub");
  test::WriteFile(dir / "c" / "start.htm",
                  "<img src=\"/etc/passwd\"><img src=\"C:\\fotos\\a.jpg\"><img src=\"file:///etc/hosts\">"
                  "<img src=\"sub/../../x.jpg\"><a href=\"sub/\">folder</a><img src=\"ok.jpg\">");
  test::WriteFile(dir / "c" / "ok.jpg", "x");
  test::WriteFile(dir / "x.jpg", "x");
  fs::create_symlink(dir / "x.jpg", dir / "c" / "link.jpg");
  test::WriteFile(dir / "c" / "more.htm", "<img src=\"link.jpg\">");
  Course course;
  std::string error;
  ASSERT_TRUE(CollectCourse((dir / "c" / "start.htm").string(), course, error)) << error;
  std::vector<std::string> found;
  for (const auto& p : course.problems) found.push_back(DescribeProblem(p));
  EXPECT_EQ(found, (std::vector<std::string>{
                       "start.htm: /etc/passwd: the file is outside the course folder",
                       "start.htm: C:\\fotos\\a.jpg: the file is outside the course folder",
                       "start.htm: file:///etc/hosts: the file is outside the course folder",
                       "start.htm: sub/../../x.jpg: the file is outside the course folder",
                       "start.htm: sub/: the file does not exist",
                   }));
  EXPECT_EQ(Paths(course), (std::vector<std::string>{"ok.jpg", "start.htm"}));

  // A link through a symbolic link that points out of the folder leaves it too.
  ASSERT_TRUE(CollectCourse((dir / "c" / "more.htm").string(), course, error));
  ASSERT_EQ(course.problems.size(), 1u);
  EXPECT_EQ(course.problems[0].kind, LinkProblemKind::kOutside);
}

TEST(Course, AStartPageThatIsMissingOrNoPageIsAnError) {
  TempDir dir;
  test::WriteFile(dir / "notes.txt", "x");
  Course course;
  std::string error;
  EXPECT_FALSE(CollectCourse((dir / "none.htm").string(), course, error));
  EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
  EXPECT_FALSE(CollectCourse((dir / "notes.txt").string(), course, error));
  EXPECT_NE(error.find("is not an HTML page"), std::string::npos) << error;
}

}  // namespace
}  // namespace kio
