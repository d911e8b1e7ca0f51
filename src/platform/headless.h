// The headless scripted backend: runs the very same dialogs as the desktop,
// taking the user's actions from a script and writing a transcript of every
// dialog, message box, chooser, picker and browser request. The script and
// transcript language is described in docs/headless.md.
#pragma once
#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "platform/platform.h"

namespace kio {

// Thrown when the script runs out while a dialog waits for the user: the
// program then ends with status 0 without running any further handler.
struct ScriptEnded {};

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform(std::istream& script, std::ostream& transcript);

  int RunModal(Dialog& dialog) override;
  Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                     const Dialog* owner) override;
  std::optional<std::string> ChooseFile(const ChooserRequest& request) override;
  std::optional<Rgb> PickColour() override;
  std::optional<FontChoice> PickFont() override;
  void OpenInBrowser(const std::string& pathOrAddress) override;
  void SetWaitCursor(bool on) override {}
  bool EscapePressed() override;
  [[noreturn]] void ExitProcess(int status) override;

  // Writes one transcript line (the text is Windows-1252).
  void Emit(const std::string& line);
  // Reports a script line that does not fit what is on screen and ends with status 3.
  [[noreturn]] void ScriptError(const std::string& why);

 private:
  struct Line {
    std::string verb;
    std::string rest;  // Windows-1252, escapes resolved
    std::string raw;
  };
  std::optional<Line> NextLine();
  std::optional<Line> PeekLine();
  Line ExpectLine(const std::string& verb, const std::string& what);
  int ResolveControl(Dialog& dialog, const std::string& ref, bool buttonsOnly);
  void Execute(Dialog& dialog, const Line& line);

  std::istream& script_;
  std::ostream& out_;
  std::deque<Line> pending_;
  int lineNumber_ = 0;
};

}  // namespace kio
