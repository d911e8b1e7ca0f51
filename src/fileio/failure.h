// A failure as the program words it for the teacher: the message and its
// caption. Core code (page writing, the document units) returns it; the
// dialog that asked shows it.
#pragma once
#include <string>

namespace kio {

struct Failure {
  std::string text;
  std::string caption = "Oops!";
  bool operator==(const Failure&) const = default;
};

}  // namespace kio
