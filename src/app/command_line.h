// The command line of kio: the program's own options, and the commands
// (`kio NAME ARGUMENTS...`) whose bodies live in the layers that own them.
#pragma once
#include <string>
#include <vector>

namespace kio {

// One command of `kio NAME ARGUMENTS...`. Its body takes the arguments after
// the name and returns the exit status; it runs in the folder kio was
// started from, so that relative paths mean what the user typed.
struct Subcommand {
  const char* name;
  const char* arguments;  // for --help, e.g. "FILE..."
  const char* summary;    // one line for --help
  int (*run)(const std::vector<std::string>& args);
};

// Every command, in the order --help lists them.
const std::vector<Subcommand>& Subcommands();

// What the command line asks kio to do.
struct CommandLine {
  enum class Action { kDesktop, kHeadless, kHelp, kVersion, kSubcommand, kWrongUsage };
  Action action = Action::kDesktop;
  std::string programFolder;
  std::string script;                   // kHeadless: a file, or "-" for standard input
  const Subcommand* command = nullptr;  // kSubcommand
  std::vector<std::string> arguments;   // kSubcommand: those after its name
  std::string problem;                  // kWrongUsage: what was wrong, for the user
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of `kio --help` and `kio --version`, each ending in a line feed.
std::string HelpText();
std::string VersionText();
// The short reminder shown after a wrong command line.
std::string UsageText();

// The message shown when kio cannot open a window here and why ("DISPLAY
// is not set"...), pointing to --headless.
std::string NoDisplayMessage(const std::string& why);

}  // namespace kio
