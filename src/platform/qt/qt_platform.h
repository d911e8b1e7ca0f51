#pragma once

namespace kio {

// Runs the program with the Qt desktop backend; returns the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace kio
