// The kit's platform script (templates/kit/scorm.js), built into the
// program so that a package never depends on the program folder.
#pragma once
#include <string>

namespace kio {

const std::string& ScormKitScript();

}  // namespace kio
