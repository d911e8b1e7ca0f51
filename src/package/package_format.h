// The package formats: one interface, one unit per format, and the list the
// home screen and the command line pick from. Nothing above this knows one
// format from another.
#pragma once
#include <string>
#include <vector>

#include "package/course.h"

namespace kio {

struct PackageOptions {
  std::string title;  // UTF-8; empty: the course folder's name
  int mastery = 50;   // percent a student needs to pass, 0 to 100
};

class PackageFormat {
 public:
  virtual ~PackageFormat() = default;
  // The name the command line takes ("web", "scorm12", "scorm2004").
  virtual std::string Id() const = 0;
  // What the teacher sees in the list of formats.
  virtual std::string Label() const = 0;
  // Writes the course into a zip at `file` (a system name). False, with
  // `error` saying why, when the package could not be written; no file is
  // left behind then.
  virtual bool Write(const Course& course, const PackageOptions& options, const std::string& file,
                     std::string& error) const = 0;
};

// Every format, in the order they are offered.
const std::vector<const PackageFormat*>& PackageFormats();
// The format of a command-line name, or nullptr.
const PackageFormat* FindPackageFormat(const std::string& id);

// Builds the course into `file` in the given format: the one call the
// command line and the home screen make once the teacher has agreed to
// leave out the problems of course.problems.
bool WritePackage(const PackageFormat& format, const Course& course, const PackageOptions& options,
                  const std::string& file, std::string& error);

}  // namespace kio
