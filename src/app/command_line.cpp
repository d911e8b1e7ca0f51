#include "app/command_line.h"

namespace kio {

const std::vector<Subcommand>& Subcommands() {
  // A new command is one line here: {name, arguments, summary, its Run...Command}.
  static const std::vector<Subcommand> commands = {};
  return commands;
}

namespace {

const Subcommand* FindSubcommand(const std::string& name) {
  for (const Subcommand& c : Subcommands())
    if (name == c.name) return &c;
  return nullptr;
}

CommandLine WrongUsage(std::string problem) {
  CommandLine line;
  line.action = CommandLine::Action::kWrongUsage;
  line.problem = std::move(problem);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  // A command's own arguments are its business: everything after its name.
  if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
    line.command = FindSubcommand(args[0]);
    if (!line.command) return WrongUsage("unknown command " + args[0]);
    line.action = CommandLine::Action::kSubcommand;
    line.arguments.assign(args.begin() + 1, args.end());
    return line;
  }
  bool headless = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--help" || a == "-h") {
      line.action = CommandLine::Action::kHelp;
      return line;
    } else if (a == "--version") {
      line.action = CommandLine::Action::kVersion;
      return line;
    } else if (a == "--program-folder" || a == "--script") {
      if (!hasValue) return WrongUsage(a + " needs a value");
      (a == "--script" ? line.script : line.programFolder) = args[++i];
    } else if (a == "--headless") {
      headless = true;
    } else {
      return WrongUsage("unknown option " + a);
    }
  }
  if (headless && line.script.empty()) return WrongUsage("--headless needs --script FILE");
  if (!headless && !line.script.empty()) return WrongUsage("--script goes with --headless");
  line.action = headless ? CommandLine::Action::kHeadless : CommandLine::Action::kDesktop;
  return line;
}

std::string UsageText() {
  std::string text =
      "usage: kio [--program-folder DIR]\n"
      "       kio [--program-folder DIR] --headless --script FILE|-\n";
  if (!Subcommands().empty()) text += "       kio COMMAND [ARGUMENTS...]\n";
  text += "       kio --help | --version\n";
  return text;
}

std::string HelpText() {
  std::string text = UsageText() +
                     "\n"
                     "KIO builds web activities and pages for language students.\n"
                     "\n"
                     "Options:\n"
                     "  --program-folder DIR  work in the program folder DIR as it is (no copy is made)\n"
                     "  --headless            run without a window, from a script; every dialog and\n"
                     "                        message is written to standard output (needs --script)\n"
                     "  --script FILE         the script of the user's actions; - reads standard input\n"
                     "  --help, -h            show this help and exit\n"
                     "  --version             show the version and exit\n";
  if (!Subcommands().empty()) {
    text += "\nCommands:\n";
    for (const Subcommand& c : Subcommands())
      text += std::string("  ") + c.name + " " + c.arguments + "\n      " + c.summary + "\n";
  }
  text += "\nSee kio(1), kio-lexicon(1) and kio-results(1).\n";
  return text;
}

std::string VersionText() { return std::string("kio ") + KIO_VERSION + "\n"; }

std::string NoDisplayMessage(const std::string& why) {
  return "kio: there is no display to open KIO's window on (" + why +
         ").\n"
         "Start kio from the desktop, or run it without a window with\n"
         "  kio --headless --script FILE\n"
         "(see kio --help).\n";
}

}  // namespace kio
