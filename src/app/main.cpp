// Program entry: settles the working folder, picks the backend and runs the
// application.
//
//   kio [--program-folder DIR]                      the desktop program
//   kio [--program-folder DIR] --headless --script FILE   the scripted driver
//   kio package START.htm --format F ... --out FILE.zip   a course packaged
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/authoring_app.h"
#include "app/user_folder.h"
#include "fileio/session.h"
#include "package/tool/package_command.h"
#include "platform/headless.h"
#include "platform/platform.h"
#ifdef KIO_WITH_QT
#include "platform/qt/qt_platform.h"
#endif

namespace {

int Usage() {
  std::cerr << "usage: kio [--program-folder DIR] [--headless --script FILE|-]\n";
  return 2;
}

std::string ExecutableFolder(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0);
  return self.parent_path().string();
}

int RunHeadless(std::istream& script) {
  kio::HeadlessPlatform platform(script, std::cout);
  kio::SetPlatform(&platform);
  try {
    kio::CAuthoringApp app;
    app.Run();
    platform.ExitProcess(0);
  } catch (const kio::ProcessExit& e) {
    return e.status;
  } catch (const kio::ScriptEnded&) {
    try {
      platform.ExitProcess(0);
    } catch (const kio::ProcessExit& e) {
      return e.status;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Subcommands run where they were started: their file names are relative
  // to that folder.
  if (argc > 1 && std::strcmp(argv[1], "package") == 0)
    return kio::RunPackageCommand(std::vector<std::string>(argv + 2, argv + argc));
  std::string programFolder, script;
  bool headless = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--program-folder" && i + 1 < argc)
      programFolder = argv[++i];
    else if (a == "--headless")
      headless = true;
    else if (a == "--script" && i + 1 < argc)
      script = argv[++i];
    else
      return Usage();
  }
  if (headless && script.empty()) return Usage();

  // The program reads its configuration from its own folder: people start it
  // from anywhere, so make that folder the working folder first. The script
  // is opened before, so that a relative script path means what it says.
  std::ifstream scriptFile;
  if (headless && script != "-") {
    scriptFile.open(script);
    if (!scriptFile) {
      std::cerr << "kio: cannot read the script " << script << "\n";
      return 2;
    }
  }
  kio::CurrentSession().Reset();
  // An installed kio works in the teacher's own copy of its program folder.
  if (programFolder.empty()) programFolder = kio::SettleProgramFolder(ExecutableFolder(argv[0]));
  if (chdir(programFolder.c_str()) != 0) {
    std::cerr << "kio: cannot enter the program folder " << programFolder << ": " << std::strerror(errno)
              << "\n";
    return 2;
  }

  if (headless) return RunHeadless(script == "-" ? std::cin : scriptFile);
#ifdef KIO_WITH_QT
  return kio::RunDesktop(argc, argv, [] {
    kio::CAuthoringApp app;
    return app.Run();
  });
#else
  std::cerr << "kio: this build has no desktop backend; use --headless\n";
  return 2;
#endif
}
