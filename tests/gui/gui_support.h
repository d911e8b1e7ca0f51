// Running the program's dialogs on the Qt backend without a display: a
// QApplication on the offscreen platform, a copied program folder in one
// interface language, and helpers that look at a dialog on screen.
#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "kio_test.h"
#include "platform/qt/qt_platform.h"

class QMessageBox;
class QTimer;

namespace kio::test {

struct Language {
  const char* file;  // the interface language file, e.g. "english.lin"
  const char* tag;   // "en" or "pt", for screenshot names
};
inline void PrintTo(const Language& language, std::ostream* os) { *os << language.tag; }
inline const Language kEnglish{"english.lin", "en"};
inline const Language kPortuguese{"portugues.lin", "pt"};

// The QApplication of the test process, on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
void EnsureApplication();

// A copied program folder in `language`, made the working folder, started
// up, with the Qt backend installed. Message boxes are answered by
// `onMessage` (by default: the default button) and collected in messages.
class Desktop {
 public:
  explicit Desktop(const Language& language);
  ~Desktop();
  QtPlatform& platform() { return *platform_; }

  // "caption | text" of every message box shown, in order.
  std::vector<std::string> messages;
  // Answers a message box on screen.
  std::function<void(QMessageBox&)> onMessage;
  // Answers any other system dialog on screen (file chooser, pickers).
  std::function<void(QDialog&)> onSystemDialog;

 private:
  TempDir folder_;
  std::unique_ptr<InFolder> inFolder_;
  std::unique_ptr<QtPlatform> platform_;
  QTimer* watcher_ = nullptr;
};

// Everything wrong with the layout of a dialog on screen: controls that
// overlap (a frame may hold controls), and texts that do not fit their
// control. Each fault names the control ids.
std::vector<std::string> LayoutFaults(const QDialog& window);

// Saves the window as screenshots/gui-<name>-<tag>.png; returns the path.
QString SaveScreenshot(QWidget& window, const std::string& name, const Language& language);

// A text shown by a widget, without its "&" accelerator marks.
QString ShownText(const QString& label);

}  // namespace kio::test
