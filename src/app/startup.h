#pragma once
#include <string>

namespace kio {

// Settles folders and configuration: reads the four configuration files from
// the working folder, fills appPaths, loads the interface and student
// languages and derives the dictionary's file names. Ends the process with
// status 1 after a message when the program cannot run.
void StartUp();

// The documents folder for a start folder: the part up to "documents/" or,
// failing that, "documentos/"; otherwise the start folder itself.
std::string DocumentsFolderFor(const std::string& startFolder);

}  // namespace kio
