// The console backend of the platform layer, for command-line tools built on
// the editors' code: messages go to standard error (UTF-8, one line break
// per CR LF), questions take the answer the tool was told to give, the file
// choosers and dialogs are cancelled, and Ctrl-C stands for the Escape key
// (a second Ctrl-C ends the program at once).
#pragma once
#include <ostream>

#include "platform/platform.h"

namespace kio {

class ConsolePlatform : public Platform {
 public:
  // `answer` is given to every Yes/No question (Yes/No/Cancel questions too).
  explicit ConsolePlatform(std::ostream& messages, Answer answer = Answer::Yes);
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
  Answer answer_;
};

}  // namespace kio
