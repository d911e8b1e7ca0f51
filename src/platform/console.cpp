#include "platform/console.h"

#include <csignal>
#include <cstdlib>

#include "platform/text_encoding.h"

namespace kio {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
  gInterrupted = 1;
  std::signal(SIGINT, SIG_DFL);  // the next Ctrl-C ends the program
}

std::string ForConsole(const std::string& text) {
  std::string s = Cp1252ToUtf8(text);
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    if (s[i] == '\r') {
      out += '\n';
      continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace

ConsolePlatform::ConsolePlatform(std::ostream& messages) : out_(messages) {
  gInterrupted = 0;
  std::signal(SIGINT, OnInterrupt);
}

ConsolePlatform::~ConsolePlatform() { std::signal(SIGINT, SIG_DFL); }

int ConsolePlatform::RunModal(Dialog&) { return static_cast<int>(Answer::Cancel); }

Answer ConsolePlatform::ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                                    const Dialog*) {
  std::string cap = ForConsole(caption);
  while (!cap.empty() && cap.back() == ' ') cap.pop_back();
  out_ << "[" << cap << "] " << ForConsole(text) << "\n";
  if (buttons != Buttons::Ok) {
    // Nobody is there to answer: a question here is a fault of the program.
    out_ << "a console tool cannot answer this question; stopping\n";
    ExitProcess(3);
  }
  out_.flush();
  return Answer::Ok;
}

std::optional<std::string> ConsolePlatform::ChooseFile(const ChooserRequest&) { return std::nullopt; }

void ConsolePlatform::OpenInBrowser(const std::string& pathOrAddress) {
  out_ << "open " << ForConsole(pathOrAddress) << "\n";
}

bool ConsolePlatform::EscapePressed() {
  if (!gInterrupted) return false;
  gInterrupted = 0;
  std::signal(SIGINT, OnInterrupt);
  return true;
}

void ConsolePlatform::ExitProcess(int status) {
  out_.flush();
  std::exit(status);
}

}  // namespace kio
