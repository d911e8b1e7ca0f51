// The console backend of the platform layer, for command-line tools built on
// the editors' code: messages go to standard error (UTF-8, one line break
// per CR LF), the file choosers and dialogs are cancelled, and Ctrl-C stands
// for the Escape key (a second Ctrl-C ends the program at once). Nobody is
// there to answer a question: one ends the tool with status 3.
#pragma once
#include <ostream>

#include "platform/platform.h"

namespace kio {

class ConsolePlatform : public Platform {
 public:
  explicit ConsolePlatform(std::ostream& messages);
  ~ConsolePlatform() override;

  int RunModal(Dialog& dialog) override;
  Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                     const Dialog* owner) override;
  std::optional<std::string> ChooseFile(const ChooserRequest& request) override;
  std::optional<Rgb> PickColour() override { return std::nullopt; }
  std::optional<FontChoice> PickFont() override { return std::nullopt; }
  void OpenInBrowser(const std::string& pathOrAddress) override;
  void SetWaitCursor(bool on) override {}
  bool EscapePressed() override;
  [[noreturn]] void ExitProcess(int status) override;

 private:
  std::ostream& out_;
};

}  // namespace kio
