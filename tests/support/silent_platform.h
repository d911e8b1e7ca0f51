// A platform for the fuzz targets: every message goes nowhere, every
// question is answered No, every chooser cancelled. Ending the process is a
// fault of the reader under test, so it traps.
#pragma once
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kio::test {

class SilentPlatform : public Platform {
 public:
  int RunModal(Dialog&) override { return 2; }
  Answer ShowMessage(const std::string&, const std::string&, Buttons b, const Dialog*) override {
    return b == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  std::optional<std::string> ChooseFile(const ChooserRequest&) override { return std::nullopt; }
  std::optional<Rgb> PickColour() override { return std::nullopt; }
  std::optional<FontChoice> PickFont() override { return std::nullopt; }
  void OpenInBrowser(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  bool EscapePressed() override { return false; }
  [[noreturn]] void ExitProcess(int) override { __builtin_trap(); }
};

}  // namespace kio::test
