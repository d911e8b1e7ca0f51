#include "package/tool/package_command.h"

#include <iostream>

#include "package/course.h"
#include "package/package_format.h"

namespace kio {
namespace {

const char kUsage[] =
    "usage: kio package START.htm --format web|scorm12|scorm2004 [--mastery N] [--title T] [--leave-out] "
    "--out FILE.zip\n";

int Fail(std::ostream& err, const std::string& message) {
  err << "kio package: " << message << "\n";
  return 1;
}

bool ReadPercent(const std::string& text, int& value) {
  if (text.empty() || text.size() > 3) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= 100;
}

}  // namespace

int RunPackageCommand(const std::vector<std::string>& args) {
  return RunPackageCommand(args, std::cout, std::cerr);
}

int RunPackageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string start, formatId, outFile;
  PackageOptions options;
  bool leaveOut = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--format" || a == "--mastery" || a == "--title" || a == "--out") {
      if (!hasValue) return Fail(err, a + " needs a value\n" + kUsage);
      const std::string& value = args[++i];
      if (a == "--format")
        formatId = value;
      else if (a == "--title")
        options.title = value;
      else if (a == "--out")
        outFile = value;
      else if (!ReadPercent(value, options.mastery))
        return Fail(err, "--mastery takes a whole percentage from 0 to 100, not \"" + value + "\"");
    } else if (a == "--leave-out") {
      leaveOut = true;
    } else if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      return Fail(err, "unknown option " + a + "\n" + kUsage);
    } else if (start.empty()) {
      start = a;
    } else {
      return Fail(err, "one start page only (" + start + " and " + a + ")\n" + kUsage);
    }
  }
  if (start.empty()) return Fail(err, std::string("no start page given\n") + kUsage);
  if (formatId.empty()) return Fail(err, std::string("no --format given\n") + kUsage);
  if (outFile.empty()) return Fail(err, std::string("no --out file given\n") + kUsage);
  const PackageFormat* format = FindPackageFormat(formatId);
  if (!format) {
    std::string names;
    for (const PackageFormat* f : PackageFormats()) names += (names.empty() ? "" : ", ") + f->Id();
    return Fail(err, "unknown format \"" + formatId + "\" (the formats are " + names + ")");
  }

  Course course;
  std::string error;
  if (!CollectCourse(start, course, error)) return Fail(err, error);
  if (!course.problems.empty()) {
    err << "kio package: " << course.problems.size()
        << (course.problems.size() == 1 ? " link cannot" : " links cannot") << " travel with the course:\n";
    for (const LinkProblem& problem : course.problems) err << "  " << DescribeProblem(problem) << "\n";
    if (!leaveOut) {
      err << "kio package: nothing written. Mend the links, or add --leave-out to package the course without "
             "them.\n";
      return 1;
    }
    err << "kio package: left out, as --leave-out asks.\n";
  }
  if (!WritePackage(*format, course, options, outFile, error)) return Fail(err, error);
  size_t pages = 0;
  for (const CourseFile& f : course.files) pages += f.page ? 1 : 0;
  out << "kio package: wrote " << outFile << " (" << format->Label() << "): " << pages
      << (pages == 1 ? " page, " : " pages, ") << course.files.size() - pages
      << (course.files.size() - pages == 1 ? " other file" : " other files") << "\n";
  return 0;
}

}  // namespace kio
