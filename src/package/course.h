// A course is what a start page reaches: the start page, every page it
// links to, transitively, and every file those pages use, all inside the
// start page's folder. Collected without a dialog; a packager, the command
// line and the home screen share it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kio {

// One file of a course. Paths are UTF-8, as the file system holds them.
struct CourseFile {
  std::string path;       // relative to the course folder, "/" separators
  std::string source;     // where it is on disk
  bool page = false;      // an HTML page, read for its links
  bool activity = false;  // a page that scores the student (it has the results form)
  std::string title;      // pages: the file name without its extension
  std::vector<std::string>
      uses;  // pages: the course paths of the files and pages it links to, in order, once each
};

enum class LinkProblemKind {
  kMissing,  // no such file in the course folder
  kOutside,  // ../ past the course folder, an absolute path, another drive
};

// A link that cannot travel with the course.
struct LinkProblem {
  std::string page;  // course path of the page that holds it
  std::string link;  // the link as the page writes it
  LinkProblemKind kind = LinkProblemKind::kMissing;
};

struct Course {
  std::string folder;                 // the start page's folder
  std::string startPage;              // course path of the start page
  std::vector<CourseFile> files;      // sorted by path (byte order)
  std::vector<std::string> reached;   // the same paths in the order the start page reaches them
  std::vector<LinkProblem> problems;  // in the order the pages were read
};

// Pages larger than this are packaged but read for links only this far.
constexpr std::uintmax_t kPageReadLimit = 16u << 20;

// Collects the course of a start page (a file name as the system holds it).
// False, with `error` naming what is wrong, when the start page is missing,
// is no HTML page or cannot be read; problems with links are no error: they
// come back in course.problems.
bool CollectCourse(const std::string& startPage, Course& course, std::string& error);

// The problem as one line for the teacher: "page: link: reason".
std::string DescribeProblem(const LinkProblem& problem);

// The file of a course path, or nullptr.
const CourseFile* FindCourseFile(const Course& course, const std::string& path);

// The course's default title: the name of its folder.
std::string DefaultCourseTitle(const Course& course);

}  // namespace kio
