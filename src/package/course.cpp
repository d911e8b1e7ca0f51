#include "package/course.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "package/page_links.h"

namespace kio {
namespace fs = std::filesystem;
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
  }
  return true;
}

bool IsPageName(const std::string& path) {
  return EndsWithNoCase(path, ".htm") || EndsWithNoCase(path, ".html");
}

bool ReadPage(const fs::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::error_code ec;
  std::uintmax_t size = fs::file_size(file, ec);
  text.resize(static_cast<size_t>(std::min<std::uintmax_t>(ec ? kPageReadLimit : size, kPageReadLimit)));
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return !in.bad();
}

// Joins a link to the folder of the page that holds it, inside the course:
// false when the result climbs above the course folder.
bool Resolve(const std::string& pagePath, std::string target, std::string& resolved) {
  std::replace(target.begin(), target.end(), '\\', '/');
  std::vector<std::string> parts;
  size_t slash = pagePath.rfind('/');
  std::string base = slash == std::string::npos ? "" : pagePath.substr(0, slash);
  std::string whole = base.empty() ? target : base + "/" + target;
  size_t start = 0;
  while (start <= whole.size()) {
    size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    std::string part = whole.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  resolved.clear();
  for (const auto& part : parts) resolved += (resolved.empty() ? "" : "/") + part;
  return !resolved.empty();
}

bool IsAbsolute(const std::string& target) {
  if (target.empty()) return false;
  if (target[0] == '/' || target[0] == '\\') return true;
  if (target.size() >= 2 && std::isalpha(static_cast<unsigned char>(target[0])) && target[1] == ':')
    return true;
  return target.compare(0, 5, "file:") == 0 || target.compare(0, 5, "FILE:") == 0;
}

bool Inside(const fs::path& root, const fs::path& file) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(file, ec);
  if (ec) return false;
  auto r = root.begin();
  auto f = real.begin();
  for (; r != root.end(); ++r, ++f) {
    if (f == real.end() || *r != *f) return false;
  }
  return true;
}

std::string StemOf(const std::string& path) {
  std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

CourseFile MakeFile(const std::string& path, const fs::path& root, bool page) {
  CourseFile file;
  file.path = path;
  file.source = (root / fs::path(path)).string();
  file.page = page;
  return file;
}

}  // namespace

bool CollectCourse(const std::string& startPage, Course& course, std::string& error) {
  course = Course{};
  std::error_code ec;
  fs::path start = fs::absolute(fs::path(startPage), ec);
  if (ec || !fs::is_regular_file(start, ec)) {
    error = "the start page " + startPage + " does not exist";
    return false;
  }
  if (!IsPageName(start.filename().string())) {
    error = "the start page " + startPage + " is not an HTML page (.htm, .html)";
    return false;
  }
  fs::path root = fs::weakly_canonical(start.parent_path(), ec);
  if (ec) {
    error = "cannot read the folder of " + startPage;
    return false;
  }
  course.folder = root.string();
  course.startPage = start.filename().string();

  std::map<std::string, CourseFile> files;  // by course path: sorted, once each
  std::set<std::pair<std::string, std::string>> reported;
  std::deque<std::string> toRead{course.startPage};
  course.reached.push_back(course.startPage);
  files[course.startPage] = MakeFile(course.startPage, root, true);
  while (!toRead.empty()) {
    std::string pagePath = toRead.front();
    toRead.pop_front();
    CourseFile& page = files[pagePath];
    std::string text;
    if (!ReadPage(page.source, text)) {
      if (pagePath == course.startPage) {
        error = "cannot read the start page " + startPage;
        return false;
      }
      continue;
    }
    page.activity =
        text.find("KioKit") != std::string::npos && text.find("id=\"results\"") != std::string::npos;
    std::vector<std::string> uses;
    for (const PageLink& link : PageLinks(text)) {
      std::string resolved;
      LinkProblemKind kind = LinkProblemKind::kMissing;
      bool ok = false;
      if (IsAbsolute(link.target) || !Resolve(pagePath, link.target, resolved)) {
        kind = LinkProblemKind::kOutside;
      } else {
        fs::path file = root / fs::path(resolved);
        if (!Inside(root, file))
          kind = LinkProblemKind::kOutside;
        else
          ok = fs::is_regular_file(file, ec);
      }
      if (!ok) {
        if (reported.insert({pagePath, link.written}).second)
          course.problems.push_back({pagePath, link.written, kind});
        continue;
      }
      if (std::find(uses.begin(), uses.end(), resolved) == uses.end()) uses.push_back(resolved);
      if (files.count(resolved)) continue;
      bool isPage = IsPageName(resolved);
      files[resolved] = MakeFile(resolved, root, isPage);
      course.reached.push_back(resolved);
      if (isPage) toRead.push_back(resolved);
    }
    // The map may have grown: look the page up again before writing to it.
    files[pagePath].uses = std::move(uses);
  }
  for (auto& [path, file] : files) {
    if (file.page) file.title = StemOf(path);
    course.files.push_back(std::move(file));
  }
  return true;
}

const CourseFile* FindCourseFile(const Course& course, const std::string& path) {
  auto at = std::lower_bound(course.files.begin(), course.files.end(), path,
                             [](const CourseFile& file, const std::string& p) { return file.path < p; });
  return at != course.files.end() && at->path == path ? &*at : nullptr;
}

std::string DescribeProblem(const LinkProblem& problem) {
  return problem.page + ": " + problem.link + ": " +
         (problem.kind == LinkProblemKind::kMissing ? "the file does not exist"
                                                    : "the file is outside the course folder");
}

std::string DefaultCourseTitle(const Course& course) {
  std::string name = fs::path(course.folder).filename().string();
  return name.empty() ? StemOf(course.startPage) : name;
}

}  // namespace kio
