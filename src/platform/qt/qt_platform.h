// The Qt 6 Widgets backend of the platform layer.
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

class QDialog;
class QWidget;

namespace kio {

// Why the desktop backend cannot open windows here, judged before Qt is
// started (the window system it would use names no display: "DISPLAY is not
// set"...), or nothing when it may.
std::optional<std::string> MissingDisplay();

// Runs `program` (the application) with the Qt desktop backend; returns the
// exit status it gives. When Qt cannot reach the window system after all,
// `noDisplay` gets the reason and the process ends with status 1, instead
// of Qt's own report and abort.
int RunDesktop(int argc, char** argv, const std::function<int()>& program,
               const std::function<void(const std::string& why)>& noDisplay);

// Application-wide settings of the desktop: the widget style the dialog
// layouts are measured against, the program icon from `programFolder`, and
// the translations of the system's own dialogs. Needs a QApplication.
void SetUpDesktop(const std::string& programFolder);

class QtPlatform : public Platform {
 public:
  QtPlatform();
  ~QtPlatform() override;

  int RunModal(Dialog& dialog) override;
  Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                     const Dialog* owner) override;
  std::optional<std::string> ChooseFile(const ChooserRequest& request) override;
  std::optional<Rgb> PickColour() override;
  std::optional<FontChoice> PickFont() override;
  void OpenInBrowser(const std::string& pathOrAddress) override;
  bool OpenFileInBrowser(const std::string& path) override;
  void SetWaitCursor(bool on) override;
  bool EscapePressed() override;
  [[noreturn]] void ExitProcess(int status) override;

  // Runs once each dialog is on screen, from its own event loop: lets tests
  // look at the window and close it.
  std::function<void(Dialog&, QDialog&)> onShown;

 private:
  class InputGuard;
  // Opens a system dialog (message box, chooser, picker) on top of the work
  // in progress: input flows again and the arrow cursor shows meanwhile.
  class SystemDialogScope;

  QWidget* TopWindow() const;

  std::unique_ptr<InputGuard> guard_;
  std::vector<QDialog*> windows_;
};

// The widget that shows control `id` of a dialog window, if any.
QWidget* ControlWidget(const QDialog& window, int id);

// The control id a widget shows, or 0.
int ControlId(const QWidget* widget);

// The words of the desktop's own additions (menus, copy buttons, notes), in
// the desktop's language: Portuguese when the locale is Portuguese.
QString DesktopText(const char* portuguese, const char* english);

}  // namespace kio
