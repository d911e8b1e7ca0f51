#include "gui_support.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <climits>

#include "app/startup.h"
#include "lang/texts.h"
#include "platform/qt/qt_text.h"

namespace kio::test {

void EnsureApplication() {
  if (qApp) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "gui_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

Desktop::Desktop(const Language& language) {
  EnsureApplication();
  CopyProgramFolder(folder_.path());
  // Help texts still missing from the program folder are stood in for, so
  // that start-up has all it reads.
  for (const char* help : {"instru_por", "instru_eng"}) {
    fs::create_directories(folder_ / help);
    for (int i = 1; i <= kHelpTextCount; ++i) {
      fs::path file = folder_ / help / HelpFileName(i);
      if (!fs::exists(file)) WriteFile(file, std::string("{\\rtf1 ") + help + "/" + HelpFileName(i) + "}");
    }
  }
  WriteFile(folder_ / "language.dat", language.file);
  QLocale::setDefault(language.tag == std::string("pt") ? QLocale(QLocale::Portuguese, QLocale::Brazil)
                                                        : QLocale(QLocale::English, QLocale::UnitedStates));
  SetUpDesktop(folder_.str() + "/");
  inFolder_ = std::make_unique<InFolder>(folder_.path());
  platform_ = std::make_unique<QtPlatform>();
  SetPlatform(platform_.get());

  // Message boxes and the system's dialogs run their own event loops: this
  // timer answers them from inside.
  watcher_ = new QTimer;
  watcher_->setInterval(10);
  QObject::connect(watcher_, &QTimer::timeout, [this] {
    QDialog* modal = nullptr;

    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = qobject_cast<QDialog*>(w);
      if (d && d->isVisible() && d->isModal() && !d->property("kioDialog").toBool() &&
          !d->property("kioSeen").toBool())
        modal = d;
    }
    if (!modal) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      modal->setProperty("kioSeen", true);
      if (onSystemDialog)
        onSystemDialog(*modal);
      else
        modal->reject();
      return;
    }
    box->setProperty("kioSeen", true);
    messages.push_back(FromQtMarkup(box->windowTitle() + " | " + box->text()));
    if (onMessage)
      onMessage(*box);
    else if (box->defaultButton())
      box->defaultButton()->click();
    else
      box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
  });
  watcher_->start();
  StartUp();
}

Desktop::~Desktop() {
  delete watcher_;
  SetPlatform(nullptr);
  QLocale::setDefault(QLocale::system());
}

QString ShownText(const QString& label) {
  QString out;
  for (int i = 0; i < label.size(); ++i) {
    if (label[i] == '&' && i + 1 < label.size()) ++i;
    out += label[i];
  }
  return out;
}

namespace {

std::string Describe(const QWidget* w) {
  return "control " + std::to_string(ControlId(w)) + " (" + w->metaObject()->className() + ")";
}

// Room a text needs inside its control, by the control's own font.
std::string TextFault(const QWidget* w) {
  QFontMetrics fm(w->font());
  auto too = [&](const QString& text, int need, int have) {
    return Describe(w) + " cuts \"" + FromQtMarkup(text) + "\": needs " + std::to_string(need) + " px, has " +
           std::to_string(have);
  };
  if (auto* b = qobject_cast<const QPushButton*>(w)) {
    QString text = ShownText(b->text());
    // The room inside the button's frame, as its style draws it.
    QStyleOptionButton option;
    option.initFrom(b);
    option.features = b->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    option.text = b->text();
    int room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
    int need = fm.horizontalAdvance(text) + 2;
    if (need > room) return too(text, need, room);
    if (fm.height() + 2 > b->height()) return too(text, fm.height() + 2, b->height()) + " (height)";
  } else if (auto* l = qobject_cast<const QLabel*>(w)) {
    QRect need = fm.boundingRect(QRect(0, 0, l->width(), INT_MAX), Qt::TextWordWrap, l->text());
    if (need.width() > l->width()) return too(l->text(), need.width(), l->width());
    if (need.height() > l->height()) return too(l->text(), need.height(), l->height()) + " (height)";
  } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    int need = fm.horizontalAdvance(g->title()) + 16;
    if (need > g->width()) return too(g->title(), need, g->width());
  } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    // A box that shows a tag or a code to copy must show it whole; other
    // boxes scroll their text.
    int buttons = 0;
    for (const QAction* a : e->actions()) buttons += a->isVisible();
    if (buttons > 0) {
      // The frame, the text margins and any button inside the box.
      int need = fm.horizontalAdvance(e->text()) + 10 + 24 * buttons;
      if (need > e->width()) return too(e->text(), need, e->width());
    }
    if (fm.height() + 4 > e->height()) return too(e->text(), fm.height() + 4, e->height()) + " (height)";
  }
  return "";
}

}  // namespace

std::vector<std::string> LayoutFaults(const QDialog& window) {
  std::vector<const QWidget*> controls;
  for (const QWidget* w : window.findChildren<QWidget*>())
    if (ControlId(w) && w->isVisibleTo(&window)) controls.push_back(w);
  auto rect = [&](const QWidget* w) { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); };
  // A label takes up only the room its text is drawn in.
  auto taken = [&](const QWidget* w) {
    auto* l = qobject_cast<const QLabel*>(w);
    if (!l) return rect(w);
    QRect text =
        QFontMetrics(l->font()).boundingRect(QRect(0, 0, l->width(), INT_MAX), Qt::TextWordWrap, l->text());
    return QRect(rect(w).topLeft(), text.size()).intersected(rect(w));
  };
  std::vector<std::string> faults;
  for (size_t i = 0; i < controls.size(); ++i) {
    const QWidget* a = controls[i];
    if (!QRect(QPoint(0, 0), window.size()).contains(rect(a)))
      faults.push_back(Describe(a) + " reaches outside the window");
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const QWidget* b = controls[j];
      if (!taken(a).intersects(taken(b))) continue;
      if (qobject_cast<const QGroupBox*>(a) && rect(a).contains(rect(b))) continue;
      if (qobject_cast<const QGroupBox*>(b) && rect(b).contains(rect(a))) continue;
      faults.push_back(Describe(a) + " and " + Describe(b) + " overlap");
    }
    std::string fault = TextFault(a);
    if (!fault.empty()) faults.push_back(fault);
  }
  return faults;
}

QString SaveScreenshot(QWidget& window, const std::string& name, const Language& language) {
  QString path = QString("%1/gui-%2-%3.png").arg(KIO_SCREENSHOTS, QString::fromStdString(name), language.tag);
  window.grab().save(path);
  return path;
}

}  // namespace kio::test
