#pragma once

namespace kio {

// The application object: runs the home screen modally; when it closes, the
// program ends.
class CAuthoringApp {
 public:
  // Returns the process exit status.
  int Run();
};

}  // namespace kio
