#include "platform/platform.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/spell_checker.h"

namespace kio {
namespace {
Platform* gPlatform = nullptr;
SpellChecker* gSpellChecker = nullptr;
}  // namespace

Platform& CurrentPlatform() {
  if (!gPlatform) throw std::logic_error("no platform backend installed");
  return *gPlatform;
}

void SetPlatform(Platform* platform) { gPlatform = platform; }

SpellChecker* CurrentSpellChecker() { return gSpellChecker; }
void SetSpellChecker(SpellChecker* checker) { gSpellChecker = checker; }

Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                   const Dialog* owner) {
  return CurrentPlatform().ShowMessage(text, caption, buttons, owner);
}

std::optional<std::string> ChooseFile(const ChooserRequest& request) {
  return CurrentPlatform().ChooseFile(request);
}

void OpenInBrowser(const std::string& pathOrAddress) { CurrentPlatform().OpenInBrowser(pathOrAddress); }

bool EscapePressed() { return CurrentPlatform().EscapePressed(); }

void ExitProcess(int status) {
  CurrentPlatform().ExitProcess(status);
  std::abort();  // every backend ends the process or unwinds; never reached
}

WaitCursor::WaitCursor() { CurrentPlatform().SetWaitCursor(true); }
WaitCursor::~WaitCursor() { CurrentPlatform().SetWaitCursor(false); }

}  // namespace kio
