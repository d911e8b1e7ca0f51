// kio's command line, run on the real program: --help and --version, a
// wrong command line, the manual page that lists the options, and a start
// without a display.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "kio_test.h"

namespace kio {
namespace {

using test::RunCommand;
using test::RunResult;
using test::ShellQuote;

std::string Kio() { return ShellQuote(std::string(KIO_PROGRAM_DIR) + "/kio"); }

// Standard output and standard error of a command apart: "OUT...\n--ERR--\nERR...".
RunResult RunKioWith(const std::string& environment, const std::string& args) {
  test::TempDir dir;
  std::string err = (dir / "stderr").string();
  RunResult r = RunCommand("env " + environment + " " + Kio() + " " + args + " 2>" + ShellQuote(err));
  std::ifstream in(err);
  std::stringstream text;
  text << in.rdbuf();
  r.transcript += "--ERR--\n" + text.str();
  return r;
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputWithStatusZero) {
  RunResult help = RunKioWith("", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.transcript, HelpText() + "--ERR--\n");
  for (const char* option : {"--program-folder DIR", "--headless", "--script FILE", "--help", "--version"})
    EXPECT_NE(help.transcript.find(option), std::string::npos) << option;
  EXPECT_NE(help.transcript.find("kio-lexicon(1) and kio-results(1)"), std::string::npos);

  RunResult version = RunKioWith("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.transcript, std::string("kio ") + KIO_VERSION + "\n--ERR--\n");
}

TEST(CommandLine, AWrongCommandLineIsNamedOnStandardErrorWithStatusTwo) {
  const struct {
    const char* args;
    const char* problem;
  } cases[] = {
      {"--frobnicate", "kio: unknown option --frobnicate\n"},
      {"--headless", "kio: --headless needs --script FILE\n"},
      {"--script x.txt", "kio: --script goes with --headless\n"},
      {"--program-folder", "kio: --program-folder needs a value\n"},
      {"frobnicate a b", "kio: unknown command frobnicate\n"},
  };
  for (const auto& c : cases) {
    RunResult r = RunKioWith("", c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.transcript, "--ERR--\n" + std::string(c.problem) + UsageText() + "Try kio --help for more.\n")
        << c.args;
  }
}

TEST(CommandLine, ParsesTheProgramsOwnOptions) {
  CommandLine line = ParseCommandLine({"--program-folder", "/p", "--headless", "--script", "-"});
  EXPECT_EQ(line.action, CommandLine::Action::kHeadless);
  EXPECT_EQ(line.programFolder, "/p");
  EXPECT_EQ(line.script, "-");
  EXPECT_EQ(ParseCommandLine({}).action, CommandLine::Action::kDesktop);
  // --help wins wherever it stands, as people add it to a line that failed.
  EXPECT_EQ(ParseCommandLine({"--headless", "--help"}).action, CommandLine::Action::kHelp);
}

TEST(CommandLine, EveryCommandIsListedByHelp) {
  for (const Subcommand& c : Subcommands()) {
    EXPECT_NE(HelpText().find(std::string("  ") + c.name + " "), std::string::npos) << c.name;
    CommandLine line = ParseCommandLine({c.name, "--x", "y"});
    EXPECT_EQ(line.action, CommandLine::Action::kSubcommand);
    EXPECT_EQ(line.command, &c);
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"--x", "y"}));
  }
}

// The manual page lists every option --help gives and points to the other
// programs' pages.
TEST(CommandLine, TheManualPageListsEveryOption) {
  std::ifstream in(std::string(KIO_SOURCE_DIR) + "/docs/man/kio.1");
  std::stringstream page;
  page << in.rdbuf();
  std::string man = page.str();
  for (const char* option : {"program\\\\-folder", "headless", "script", "help", "version"})
    EXPECT_TRUE(
        std::regex_search(man, std::regex(std::string("\n\\.TP\n\\.B[IR]? \\\\-\\\\-") + option + "\\b")))
        << option;
  for (const Subcommand& c : Subcommands()) EXPECT_NE(man.find(c.name), std::string::npos) << c.name;
  for (const char* other : {".BR kio\\-lexicon (1)", ".BR kio\\-results (1)"})
    EXPECT_NE(man.find(other), std::string::npos) << other;
}

#ifdef KIO_WITH_QT
// Without a display the desktop program says so and points to --headless,
// before it sets anything up; never Qt's plugin report or a core dump.
TEST(CommandLine, WithoutADisplayKioSaysSoAndEndsWithStatusOne) {
  test::TempDir home;
  const struct {
    const char* environment;
    const char* why;
  } cases[] = {
      {"-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "(neither DISPLAY nor WAYLAND_DISPLAY is set)"},
      {"-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb",
       "(QT_QPA_PLATFORM is xcb and DISPLAY is not set)"},
      // A display named but not there: Qt finds out itself.
      {"-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:93", "(could not connect to display :93)"},
  };
  for (const auto& c : cases) {
    RunResult r = RunKioWith(std::string(c.environment) + " HOME=" + ShellQuote(home.str()), "");
    EXPECT_EQ(r.status, 1) << c.environment << "\n" << r.transcript;
    EXPECT_EQ(r.transcript.find("--ERR--\n"), 0u) << r.transcript;
    EXPECT_NE(r.transcript.find(c.why), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("kio --headless --script FILE"), std::string::npos) << r.transcript;
    EXPECT_EQ(r.transcript.find("Reinstalling"), std::string::npos) << r.transcript;
    EXPECT_EQ(r.transcript.find("plugin"), std::string::npos) << r.transcript;
  }
  // Nothing was copied into the home folder first.
  EXPECT_TRUE(std::filesystem::is_empty(home.path())) << "the program folder was set up before the message";
}
#endif

}  // namespace
}  // namespace kio
