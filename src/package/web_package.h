// The web package: the course as it stands in its folder, zipped, with an
// index.html that opens the start page, for any static host or a USB stick.
#pragma once
#include "package/package_format.h"

namespace kio {

class WebPackage : public PackageFormat {
 public:
  std::string Id() const override { return "web"; }
  std::string Label() const override { return "Web package (.zip)"; }
  bool Write(const Course& course, const PackageOptions& options, const std::string& file,
             std::string& error) const override;
};

}  // namespace kio
