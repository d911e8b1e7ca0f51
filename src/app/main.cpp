// Program entry: reads the command line (app/command_line.h), runs a
// command, or settles the working folder, picks the backend and runs the
// application.
//
//   kio [--program-folder DIR]                      the desktop program
//   kio [--program-folder DIR] --headless --script FILE   the scripted driver
//   kio COMMAND [ARGUMENTS...]                      a command, without a window
//   kio --help | --version
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/authoring_app.h"
#include "app/command_line.h"
#include "app/user_folder.h"
#include "fileio/session.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/spell_checker.h"
#include "spelling/speller.h"
#ifdef KIO_WITH_QT
#include "platform/qt/qt_platform.h"
#endif

namespace {

std::string ExecutableFolder(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0);
  return self.parent_path().string();
}

// The program folder whose configuration the command-line tools read (the
// student language of the documents they write): the teacher's own copy of
// an installed kio when it has been made, else the installed folder, else
// the one beside the executable. Nothing is made or copied for a tool.
std::string ToolProgramFolder(const std::string& executableFolder) {
  const std::string installed = kio::InstalledProgramFolder(executableFolder);
  if (installed.empty()) return executableFolder + "/";
  const std::string user = kio::UserProgramFolder();
  std::error_code ec;
  if (!user.empty() && std::filesystem::exists(user + "/lingualu.dat", ec)) return user + "/";
  return installed + "/";
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
  using Action = kio::CommandLine::Action;
  kio::CommandLine line = kio::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.action) {
    case Action::kWrongUsage:
      std::cerr << "kio: " << line.problem << "\n" << kio::UsageText() << "Try kio --help for more.\n";
      return 2;
    case Action::kHelp: std::cout << kio::HelpText(); return 0;
    case Action::kVersion: std::cout << kio::VersionText(); return 0;
    case Action::kSubcommand:
      kio::CurrentSession().appPaths.programFolder = line.programFolder.empty()
                                                         ? ToolProgramFolder(ExecutableFolder(argv[0]))
                                                         : line.programFolder + "/";
      return line.command->run(line.arguments);
    case Action::kDesktop:
    case Action::kHeadless: break;
  }
  const bool headless = line.action == Action::kHeadless;
  const std::string& script = line.script;
  std::string programFolder = line.programFolder;
#ifdef KIO_WITH_QT
  // Said before anything is set up or copied: without a display there is
  // nothing the desktop program can do.
  if (!headless) {
    if (auto why = kio::MissingDisplay()) {
      std::cerr << kio::NoDisplayMessage(*why);
      return 1;
    }
  }
#endif

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

  // The text boxes check spelling through the session's dictionaries.
  kio::SetSpellChecker(&kio::SessionSpellChecker());
  if (headless) return RunHeadless(script == "-" ? std::cin : scriptFile);
#ifdef KIO_WITH_QT
  return kio::RunDesktop(
      argc, argv,
      [] {
        kio::CAuthoringApp app;
        return app.Run();
      },
      [](const std::string& why) { std::cerr << kio::NoDisplayMessage(why); });
#else
  std::cerr << "kio: this build has no desktop backend; use --headless\n";
  return 2;
#endif
}
