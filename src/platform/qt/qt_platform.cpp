// The Qt 6 Widgets backend of the platform layer. Dialogs are built from
// their control tables, with dialog units scaled from the dialog font's
// average character size as the platform the layouts were drawn for does.
// Text crosses between Qt (Unicode) and the core (Windows-1252) only here.
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>
#include <map>

#include "app/authoring_app.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "platform/rtf.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

QString ToQt(const std::string& cp1252) { return QString::fromUtf8(Cp1252ToUtf8(cp1252)); }

// Characters Windows-1252 cannot hold become "?" here; the editors' text
// boxes never produce them, since each box refuses them as they are typed.
std::string FromQt(const QString& text) {
  std::string out;
  for (char32_t cp : text.toUcs4()) {
    auto b = Cp1252Byte(cp);
    out += b ? static_cast<char>(*b) : '?';
  }
  return out;
}

QString RtfToHtml(const std::string& rtf) { return ToQt(RtfToPlainText(rtf)).toHtmlEscaped().replace("\n", "<br>"); }

class QtDialogView : public QDialog, public DialogView {
 public:
  explicit QtDialogView(Dialog& model) : model_(model) {
    setWindowTitle(ToQt(model.Title()));
    QFontMetrics fm(font());
    // Dialog units: a horizontal unit is a quarter of the average character
    // width, a vertical unit an eighth of the character height.
    baseX_ = fm.averageCharWidth();
    baseY_ = fm.height();
    const DialogTemplate& t = model.Layout();
    setFixedSize(X(t.width), Y(t.height));
    for (const ControlSpec& c : t.controls) Build(c);
    for (const ControlSpec& c : t.controls) ControlChanged(c.id);
  }

  void ControlChanged(int id) override {
    auto it = widgets_.find(id);
    if (it == widgets_.end()) return;
    QWidget* w = it->second;
    const ControlSpec* spec = model_.Spec(id);
    QString text = ToQt(model_.GetItemText(id));
    syncing_ = true;
    switch (spec->kind) {
      case ControlKind::Button: static_cast<QPushButton*>(w)->setText(text); break;
      case ControlKind::Label: static_cast<QLabel*>(w)->setText(text); break;
      case ControlKind::Group: static_cast<QGroupBox*>(w)->setTitle(text); break;
      case ControlKind::Edit:
        if (auto* e = dynamic_cast<QPlainTextEdit*>(w)) {
          if (e->toPlainText() != text) e->setPlainText(text);
        } else if (auto* l = dynamic_cast<QLineEdit*>(w)) {
          if (l->text() != text) l->setText(text);
        }
        break;
      case ControlKind::RichText: static_cast<QTextEdit*>(w)->setHtml(RtfToHtml(model_.GetItemText(id))); break;
      case ControlKind::Progress: {
        auto* p = static_cast<QProgressBar*>(w);
        auto [lo, hi] = model_.ProgressRange(id);
        p->setRange(lo, hi);
        p->setValue(model_.Progress(id));
        break;
      }
      case ControlKind::List: {
        auto* l = static_cast<QListWidget*>(w);
        l->clear();
        if (!text.isEmpty()) l->addItems(text.split('\n'));
        break;
      }
    }
    w->setEnabled(model_.IsItemEnabled(id));
    syncing_ = false;
  }

  void TitleChanged() override { setWindowTitle(ToQt(model_.Title())); }

 protected:
  void reject() override {  // Escape and the close box
    model_.PressEscape();
    CloseIfEnded();
  }
  void accept() override {}
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      if (auto* b = qobject_cast<QPushButton*>(focusWidget())) {
        b->click();
      } else if (!qobject_cast<QPlainTextEdit*>(focusWidget())) {
        model_.PressEnter();
        CloseIfEnded();
      }
      return;
    }
    QDialog::keyPressEvent(e);
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
      for (auto& [id, w] : widgets_)
        if (w == o) {
          if (e->type() == QEvent::FocusIn) model_.FocusEnter(id);
          else model_.FocusLeave(id);
          CloseIfEnded();
        }
    }
    return QDialog::eventFilter(o, e);
  }

 private:
  int X(int units) const { return units * baseX_ / 4; }
  int Y(int units) const { return units * baseY_ / 8; }

  void CloseIfEnded() {
    if (model_.Ended()) done(model_.Result());
  }

  void Build(const ControlSpec& c) {
    QWidget* w = nullptr;
    switch (c.kind) {
      case ControlKind::Button: {
        auto* b = new QPushButton(this);
        b->setAutoDefault(false);
        b->setDefault(c.flags & kDefault);
        int id = c.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
          model_.PressButton(id);
          CloseIfEnded();
        });
        w = b;
        break;
      }
      case ControlKind::Edit:
        if (c.flags & kMultiLine) {
          auto* e = new QPlainTextEdit(this);
          e->setReadOnly(c.flags & kReadOnly);
          int id = c.id;
          connect(e, &QPlainTextEdit::textChanged, this, [this, e, id] {
            if (!syncing_) model_.UserSetText(id, ToCrLf(FromQt(e->toPlainText())));
          });
          w = e;
        } else {
          auto* e = new QLineEdit(this);
          e->setReadOnly(c.flags & kReadOnly);
          int id = c.id;
          connect(e, &QLineEdit::textEdited, this, [this, e, id] { model_.UserSetText(id, FromQt(e->text())); });
          w = e;
        }
        break;
      case ControlKind::Label: w = new QLabel(this); break;
      case ControlKind::Group: w = new QGroupBox(this); break;
      case ControlKind::RichText: {
        auto* t = new QTextEdit(this);
        t->setReadOnly(true);
        w = t;
        break;
      }
      case ControlKind::Progress: w = new QProgressBar(this); break;
      case ControlKind::List: w = new QListWidget(this); break;
    }
    w->setGeometry(X(c.x), Y(c.y), X(c.width), Y(c.height));
    w->installEventFilter(this);
    if (c.kind == ControlKind::Group) w->lower();
    widgets_[c.id] = w;
  }

  // Multi-line boxes of the platform the documents come from end lines with
  // CR LF; Qt gives LF.
  static std::string ToCrLf(const std::string& text) {
    std::string out;
    for (char ch : text) {
      if (ch == '\n') out += '\r';
      out += ch;
    }
    return out;
  }

  Dialog& model_;
  std::map<int, QWidget*> widgets_;
  int baseX_ = 6, baseY_ = 13;
  bool syncing_ = false;
};

class QtPlatform : public Platform {
 public:
  int RunModal(Dialog& dialog) override {
    QtDialogView view(dialog);
    dialog.BeginModal(&view);
    for (const ControlSpec& c : dialog.Layout().controls) view.ControlChanged(c.id);
    int result = dialog.Ended() ? dialog.Result() : view.exec();
    dialog.FinishModal();
    return dialog.Ended() ? dialog.Result() : result;
  }

  Answer ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                     const Dialog* owner) override {
    QMessageBox box(QMessageBox::Information, ToQt(caption), ToQt(text));
    switch (buttons) {
      case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
      case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
      case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
      case QMessageBox::Yes: return Answer::Yes;
      case QMessageBox::No: return Answer::No;
      case QMessageBox::Cancel: return Answer::Cancel;
      default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
  }

  std::optional<std::string> ChooseFile(const ChooserRequest& r) override {
    QString initial = ToQt(r.initialName);
    QFileInfo info(initial);
    QString folder = info.path();
    QString pattern = info.fileName();
    QString filter = ToQt(r.filter).section("||", 0, 0);
    if (filter.isEmpty()) filter = pattern;
    QString start = pattern.contains('*') ? folder : initial;
    QString chosen;
    if (r.save) {
      QFileDialog::Options options;
      if (!r.overwritePrompt) options |= QFileDialog::DontConfirmOverwrite;
      chosen = QFileDialog::getSaveFileName(nullptr, QString(), start, filter, nullptr, options);
      if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty() && !r.defaultExtension.empty())
        chosen += "." + ToQt(r.defaultExtension);
    } else {
      chosen = QFileDialog::getOpenFileName(nullptr, QString(), start, filter);
    }
    if (chosen.isEmpty()) return std::nullopt;
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return FromQt(QFileInfo(chosen).absoluteFilePath());
  }

  std::optional<Rgb> PickColour() override {
    QColor c = QColorDialog::getColor(Qt::white);
    if (!c.isValid()) return std::nullopt;
    return Rgb{static_cast<unsigned char>(c.red()), static_cast<unsigned char>(c.green()),
               static_cast<unsigned char>(c.blue())};
  }

  std::optional<FontChoice> PickFont() override {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok);
    if (!ok) return std::nullopt;
    return FontChoice{FromQt(f.family()), f.pointSize()};
  }

  void OpenInBrowser(const std::string& target) override {
    QString t = ToQt(target);
    QUrl url = t.contains("://") ? QUrl(t) : QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
    QDesktopServices::openUrl(url);
  }

  void SetWaitCursor(bool on) override {
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  }

  bool EscapePressed() override {
    escape_ = false;
    QCoreApplication::processEvents();
    return escape_;
  }

  [[noreturn]] void ExitProcess(int status) override { std::exit(status); }
  void ProcessEvents() override { QCoreApplication::processEvents(); }

  bool escape_ = false;
};

}  // namespace

int RunDesktop(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("KIO");
  QtPlatform platform;
  SetPlatform(&platform);
  CAuthoringApp program;
  return program.Run();
}

}  // namespace kio
