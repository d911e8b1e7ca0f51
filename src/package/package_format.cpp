#include "package/package_format.h"

#include "package/scorm_package.h"
#include "package/web_package.h"

namespace kio {

const std::vector<const PackageFormat*>& PackageFormats() {
  static const WebPackage web;
  static const Scorm12Package scorm12;
  static const Scorm2004Package scorm2004;
  static const std::vector<const PackageFormat*> formats{&web, &scorm12, &scorm2004};
  return formats;
}

const PackageFormat* FindPackageFormat(const std::string& id) {
  for (const PackageFormat* format : PackageFormats()) {
    if (format->Id() == id) return format;
  }
  return nullptr;
}

bool WritePackage(const PackageFormat& format, const Course& course, const PackageOptions& options,
                  const std::string& file, std::string& error) {
  if (options.mastery < 0 || options.mastery > 100) {
    error = "the mastery score must be a percentage from 0 to 100";
    return false;
  }
  return format.Write(course, options, file, error);
}

}  // namespace kio
