// A failure as the program words it for the teacher: the message and its
// caption. Core code (page writing, the document units) returns it; the
// dialog that asked shows it.
#pragma once
#include <string>

namespace kio {

// "Oops!", the caption of the program's refusals and failures.
inline const std::string& OopsCaption() {
  static const std::string caption = "Oops!";
  return caption;
}

struct Failure {
  std::string text;
  std::string caption = OopsCaption();
  bool operator==(const Failure&) const = default;
};

}  // namespace kio
