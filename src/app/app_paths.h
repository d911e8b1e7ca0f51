// Where everything lies, and the configuration values read at start-up.
#pragma once
#include <string>

namespace kio {

struct AppPaths {
  std::string startFolder;               // folder of "lexicon.dat", with a trailing "/"
  std::string programFolder;             // copy of startFolder taken by the home screen
  std::string documentsFolder;           // the teacher's current documents folder
  std::string resultsAddress;            // contents of "Configura.txt", at most 299 bytes
  bool readOnlyMedia = false;            // "Configura.txt" exists but cannot be written
  std::string lexiconDataFile;           // at most 99 bytes, lower case
  std::string lexiconPointerFile;        // at most 99 bytes
  std::string lexiconBackupDataFile;     // at most 99 bytes
  std::string lexiconBackupPointerFile;  // at most 99 bytes
  std::string interfaceLanguageFile;     // at most 51 bytes
  std::string studentLanguageFile;       // at most 51 bytes
  std::string helpFolder;                // relative, with a trailing "/"
};

// The one process-wide record.
extern AppPaths appPaths;

// Capacities of the configuration fields.
constexpr size_t kResultsAddressCapacity = 299;
constexpr size_t kLexiconNameCapacity = 99;
constexpr size_t kLanguageNameCapacity = 51;

}  // namespace kio
