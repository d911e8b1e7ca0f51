#include "package/web_package.h"

#include "package/package_pieces.h"
#include "package/zip_writer.h"

namespace kio {

bool WebPackage::Write(const Course& course, const PackageOptions& options, const std::string& file,
                       std::string& error) const {
  std::string title = options.title.empty() ? DefaultCourseTitle(course) : options.title;
  // A start page named index.html opens by itself. Otherwise a small
  // index.html opens it; when the course has an index.html of its own
  // elsewhere in its links, the course goes into a folder beside it.
  bool opener = course.startPage != "index.html";
  std::string prefix = opener && FindCourseFile(course, "index.html") ? "course/" : "";
  ZipWriter zip;
  bool ok = zip.Open(file);
  if (ok && opener) ok = zip.AddBytes("index.html", OpeningPage(title, prefix + course.startPage));
  for (const CourseFile& f : course.files) {
    if (ok) ok = zip.AddFile(prefix + f.path, f.source);
  }
  if (ok) ok = zip.Close();
  if (!ok) error = zip.Error();
  return ok;
}

}  // namespace kio
