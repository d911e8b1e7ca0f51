// Packages for learning platforms: SCORM 1.2 and SCORM 2004 (4th edition).
// Both have imsmanifest.xml at the root with one organization and one item
// per activity page (the pages with a score); the start page, menus,
// reading pages and every file they use travel as one asset resource, so
// the course's own navigation keeps working beside the platform's. The
// activity pages get the kit's platform script and the mastery score.
#pragma once
#include "package/package_format.h"

namespace kio {

class Scorm12Package : public PackageFormat {
 public:
  std::string Id() const override { return "scorm12"; }
  std::string Label() const override { return "SCORM 1.2 (.zip)"; }
  bool Write(const Course& course, const PackageOptions& options, const std::string& file,
             std::string& error) const override;
};

class Scorm2004Package : public PackageFormat {
 public:
  std::string Id() const override { return "scorm2004"; }
  std::string Label() const override { return "SCORM 2004 (.zip)"; }
  bool Write(const Course& course, const PackageOptions& options, const std::string& file,
             std::string& error) const override;
};

// The manifest alone, for the tests and the writers: version "1.2" or "2004".
std::string ScormManifest(const Course& course, const PackageOptions& options, const std::string& version);

}  // namespace kio
