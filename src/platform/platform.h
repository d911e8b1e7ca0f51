// The platform layer: every service the editors need from the desktop goes
// through here. Two backends implement it: the Qt desktop and the headless
// scripted driver. No editor knows which one runs it.
#pragma once
#include <optional>
#include <string>

namespace kio {

class Dialog;

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct ChooserRequest {
  bool save = false;
  std::string initialName;       // may carry a folder and a pattern, e.g. "/docs/*.clo"
  std::string filter;            // e.g. "*.clo||"
  std::string defaultExtension;  // e.g. "clo"
  bool overwritePrompt = true;   // save only
};

struct Rgb {
  unsigned char red = 0, green = 0, blue = 0;
};

struct FontChoice {
  std::string face;
  int points = 12;
};

// Thrown by ExitProcess in backends that unwind to the entry point instead of
// ending the process on the spot.
struct ProcessExit {
  int status;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Runs a dialog modally; returns what EndDialog was given.
  virtual int RunModal(Dialog& dialog) = 0;
  virtual Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                             const Dialog* owner) = 0;
  // Returns the chosen file's full path, and leaves the working folder at
  // that file's folder; nothing when cancelled.
  virtual std::optional<std::string> ChooseFile(const ChooserRequest& request) = 0;
  virtual std::optional<Rgb> PickColour() = 0;
  virtual std::optional<FontChoice> PickFont() = 0;
  virtual void OpenInBrowser(const std::string& pathOrAddress) = 0;
  // Asks the browser to open the file `path`; false when the desktop said
  // it could not.
  virtual bool OpenFileInBrowser(const std::string& path) {
    OpenInBrowser(path);
    return true;
  }
  virtual void SetWaitCursor(bool on) = 0;
  // True when the Escape key was pressed since the last poll.
  virtual bool EscapePressed() = 0;
  [[noreturn]] virtual void ExitProcess(int status) = 0;
};

Platform& CurrentPlatform();
void SetPlatform(Platform* platform);

// Convenience wrappers over the current platform.
Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons = Buttons::Ok,
                   const Dialog* owner = nullptr);
std::optional<std::string> ChooseFile(const ChooserRequest& request);
void OpenInBrowser(const std::string& pathOrAddress);
bool EscapePressed();
[[noreturn]] void ExitProcess(int status);

// Shows the wait cursor for its lifetime.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace kio
