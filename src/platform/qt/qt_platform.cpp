// The Qt 6 Widgets backend of the platform layer. Dialogs are built from
// their control tables, with dialog units scaled from the dialog font as the
// layouts expect: a horizontal unit is a quarter of the average character
// width, a vertical unit an eighth of the character height.
#include "platform/qt/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/dialog.h"
#include "platform/qt/qt_text.h"
#include "platform/rtf.h"
#include "platform/spell_checker.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

const char kControlProperty[] = "kioControl";

// The help texts are RTF; the panels show HTML.
QString HelpHtml(const std::string& rtf) { return QString::fromUtf8(RtfToHtml(rtf)); }

// Multi-line boxes hand the core CR LF line ends, as the documents keep them;
// Qt works with LF.
std::string ToCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

QString FromCrLf(QString text) {
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

// A small picture of two sheets, for the copy buttons inside tag boxes.
QIcon CopyIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 70, 70), 2.5));
  p.setBrush(QColor(235, 235, 235));
  p.drawRoundedRect(QRectF(4, 4, 16, 19), 2.5, 2.5);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(12, 10, 16, 19), 2.5, 2.5);
  return QIcon(pixmap);
}

// Tells the teacher, beside the box, how a character that Windows-1252
// cannot hold is kept.
void NoteReference(QWidget* box, const QString& character, const QPoint& where) {
  QString reference = AsStored(character);
  QString note = DesktopText("O KIO guarda o caractere %1 como %2; a página o mostra como %1.",
                             "KIO keeps the character %1 as %2; the page shows it as %1.")
                     .arg(character, reference);
  QToolTip::showText(box->mapToGlobal(where), note, box);
}

// --- Spelling in the text boxes ---

// A box's text for the spell checker, one byte for each UTF-16 unit so that
// the places it gives are places in the box: a character with no
// Windows-1252 form stands as a byte that is no letter.
std::string SpellText(const QString& text) {
  std::string out;
  out.reserve(text.size());
  for (QChar c : text) {
    auto byte = c.isSurrogate() ? std::nullopt : Cp1252Byte(c.unicode());
    out += byte ? static_cast<char>(*byte) : '\x01';
  }
  return out;
}

QTextCharFormat UnknownWordFormat() {
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  format.setUnderlineColor(QColor(220, 0, 0));
  return format;
}

// The unknown word of `text` that holds place `at`, if any.
std::optional<SpellRange> UnknownWordAt(const QString& text, int at) {
  SpellChecker* checker = CurrentSpellChecker();
  if (!checker) return std::nullopt;
  for (const SpellRange& r : checker->Check(SpellText(text)))
    if (static_cast<int>(r.start) <= at && at <= static_cast<int>(r.start + r.length)) return r;
  return std::nullopt;
}

// Underlines the unknown words of a multi-line box, paragraph by paragraph:
// Qt highlights again only the paragraphs that changed.
class SpellHighlighter : public QSyntaxHighlighter {
 public:
  explicit SpellHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

 protected:
  void highlightBlock(const QString& text) override {
    SpellChecker* checker = CurrentSpellChecker();
    if (!checker) return;
    static const QTextCharFormat format = UnknownWordFormat();
    for (const SpellRange& r : checker->Check(SpellText(text)))
      setFormat(static_cast<int>(r.start), static_cast<int>(r.length), format);
  }
};

// A single-line box has no highlighter: its words are underlined through
// the formats an input method may give a line's text.
void UnderlineUnknownWords(QLineEdit* box) {
  SpellChecker* checker = CurrentSpellChecker();
  if (!checker || box->isReadOnly()) return;
  static const QTextCharFormat format = UnknownWordFormat();
  QList<QInputMethodEvent::Attribute> attributes;
  for (const SpellRange& r : checker->Check(SpellText(box->text())))
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat,
                                               static_cast<int>(r.start) - box->cursorPosition(),
                                               static_cast<int>(r.length), format);
  QInputMethodEvent event(QString(), attributes);
  QCoreApplication::sendEvent(box, &event);
}

// Puts the suggestions for `word` and "add to my words" at the top of a
// box's context menu.
void AddSpellingActions(QMenu* menu, const QString& word, const std::function<void(const QString&)>& replace,
                        const std::function<void()>& added) {
  SpellChecker* checker = CurrentSpellChecker();
  const std::string kept = SpellText(word);
  QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
  QList<QAction*> actions;
  auto suggestions = checker->Suggest(kept, 5);
  if (suggestions.empty()) {
    auto* none = new QAction(DesktopText("(sem sugestões)", "(no suggestions)"), menu);
    none->setEnabled(false);
    actions << none;
  }
  for (const std::string& suggestion : suggestions) {
    QString text = ToQt(suggestion);
    auto* action = new QAction(text, menu);
    QFont bold = action->font();
    bold.setBold(true);
    action->setFont(bold);
    QObject::connect(action, &QAction::triggered, menu, [replace, text] { replace(text); });
    actions << action;
  }
  auto* add = new QAction(
      DesktopText("Adicionar \"%1\" às minhas palavras", "Add \"%1\" to my words").arg(word), menu);
  QObject::connect(add, &QAction::triggered, menu, [checker, kept, added] {
    checker->AddWord(kept);
    added();
  });
  actions << add;
  menu->insertActions(first, actions);
  menu->insertSeparator(first);
}

// One dialog on screen.
class QtDialogView : public QDialog, public DialogView {
 public:
  QtDialogView(Dialog& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(ToQt(model.Title()));
    setProperty("kioDialog", true);
    if (!parent)
      setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    else
      setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    content_ = new QWidget(this);
    QFontMetrics fm(font());
    // The average width of the 52 letters, as the layouts were measured.
    baseX_ = (fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    baseY_ = fm.height();
    const DialogTemplate& t = model.Layout();
    content_->setFixedSize(X(t.width), Y(t.height));
    for (const ControlSpec& c : t.controls) Build(c);
    // Frames stay behind what they hold.
    for (const ControlSpec& c : t.controls)
      if (c.kind == ControlKind::Group) widgets_[c.id]->lower();
    Fit();
    for (const ControlSpec& c : t.controls) ControlChanged(c.id);
  }

  void ControlChanged(int id) override {
    auto it = widgets_.find(id);
    if (it == widgets_.end()) return;
    QWidget* w = it->second;
    const ControlSpec* spec = model_.Spec(id);
    const std::string& raw = model_.GetItemText(id);
    QString text = ToQt(raw);
    syncing_ = true;
    switch (spec->kind) {
      case ControlKind::Button: static_cast<QPushButton*>(w)->setText(text); break;
      case ControlKind::Label: static_cast<QLabel*>(w)->setText(ToQt(WithoutAccelerator(raw))); break;
      case ControlKind::Group: static_cast<QGroupBox*>(w)->setTitle(ToQt(WithoutAccelerator(raw))); break;
      case ControlKind::Edit:
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
          QString shown = FromCrLf(text);
          if (e->toPlainText() != shown) e->setPlainText(shown);
        } else if (auto* l = qobject_cast<QLineEdit*>(w)) {
          if (l->text() != text) {
            l->setText(text);
            l->setCursorPosition(0);
          }
          // The copy button shows while the box holds a tag or a code.
          for (QAction* copy : l->actions()) copy->setVisible(text.contains('<') || text.contains('{'));
          // A read-only box too narrow for its text shows it whole on hover.
          if (l->isReadOnly())
            l->setToolTip(l->fontMetrics().horizontalAdvance(text) + 10 > l->width() ? text : QString());
        }
        break;
      case ControlKind::RichText:
        if (shownHelp_[id] != raw) {
          shownHelp_[id] = raw;
          static_cast<QTextBrowser*>(w)->setHtml(HelpHtml(raw));
        }
        break;
      case ControlKind::Progress: {
        auto* p = static_cast<QProgressBar*>(w);
        auto [low, high] = model_.ProgressRange(id);
        p->setRange(low, high);
        p->setValue(model_.Progress(id));
        // Long work runs on the window thread: show the step now.
        if (p->isVisible()) p->repaint();
        break;
      }
      case ControlKind::List: {
        auto* l = static_cast<QListWidget*>(w);
        l->clear();
        if (!text.isEmpty()) l->addItems(FromCrLf(text).split('\n'));
        break;
      }
      case ControlKind::Icon: break;  // the icon has no text
    }
    w->setEnabled(model_.IsItemEnabled(id));
    syncing_ = false;
  }

  void TitleChanged() override { setWindowTitle(ToQt(model_.Title())); }

  // After the initialisation: the window menu's commands join a menu bar.
  void AddMenus() {
    const auto& commands = model_.MenuCommands();
    if (commands.empty() || menuBar_) return;
    menuBar_ = new QMenuBar(this);
    // Commands of a menu of their own (the spelling language) come first,
    // as menus of choices; the rest go to the Help menu.
    std::map<std::string, QMenu*> menus;
    QMenu* help = nullptr;
    for (const auto& [command, label] : commands) {
      int id = command;
      std::string title = model_.MenuOf(id);
      QMenu*& menu = title.empty() ? help : menus[title];
      if (!menu) {
        menu = new QMenu(title.empty() ? DesktopText("Aj&uda", "&Help") : ToQt(title), menuBar_);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
          for (QAction* a : menu->actions())
            if (a->isCheckable()) a->setChecked(model_.MenuCommandChecked(a->data().toInt()));
        });
      }
      QAction* action = menu->addAction(ToQt(label), this, [this, id] {
        model_.OnSysCommand(id);
        RecheckSpelling();
        CloseIfEnded();
      });
      action->setData(id);
      action->setCheckable(!title.empty());
    }
    for (const auto& [title, menu] : menus) menuBar_->addMenu(menu);
    if (help) menuBar_->addMenu(help);
    Fit();
  }

  void Start() {
    running_ = true;
    // The default button starts with the focus, so that Enter presses it.
    for (const ControlSpec& c : model_.Layout().controls)
      if (c.kind == ControlKind::Button && (c.flags & kDefault) && widgets_[c.id]->isEnabled()) {
        widgets_[c.id]->setFocus();
        break;
      }
  }
  void Stop() { running_ = false; }

  // The model has run the hooks already; moving the keyboard focus must not
  // run them again.
  void FocusMoved(int id) override {
    auto it = widgets_.find(id);
    if (it == widgets_.end()) return;
    movingFocus_ = true;
    it->second->setFocus(Qt::OtherFocusReason);
    movingFocus_ = false;
  }

 protected:
  void reject() override {  // Escape and the close box
    if (!running_) return;
    model_.PressEscape();
    CloseIfEnded();
  }
  void accept() override {}
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    reject();
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
        b->click();
      else
        Enter();
      return;
    }
    QDialog::keyPressEvent(e);
  }

  bool eventFilter(QObject* o, QEvent* e) override {
    auto* w = qobject_cast<QWidget*>(o);
    int id = w ? ControlId(w) : 0;
    if (!id) return QDialog::eventFilter(o, e);
    const ControlSpec* spec = model_.Spec(id);
    switch (e->type()) {
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        if (running_ && !model_.Ended() && !movingFocus_) {
          if (e->type() == QEvent::FocusIn)
            model_.FocusEnter(id);
          else
            model_.FocusLeave(id);
          CloseIfEnded();
        }
        break;
      case QEvent::KeyPress: {
        // Enter in a multi-line box that does not take line breaks presses
        // the default button.
        auto* key = static_cast<QKeyEvent*>(e);
        bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && spec->kind == ControlKind::Edit && (spec->flags & kMultiLine) &&
            !(spec->flags & kWantReturn)) {
          Enter();
          return true;
        }
        break;
      }
      default: break;
    }
    return QDialog::eventFilter(o, e);
  }

 private:
  int X(int units) const { return (units * baseX_ + 2) / 4; }
  int Y(int units) const { return (units * baseY_ + 4) / 8; }

  void Fit() {
    int top = menuBar_ ? menuBar_->sizeHint().height() : 0;
    if (menuBar_) menuBar_->setGeometry(0, 0, content_->width(), top);
    content_->move(0, top);
    setFixedSize(content_->width(), content_->height() + top);
  }

  void Enter() {
    if (!running_) return;
    model_.PressEnter();
    CloseIfEnded();
  }

  void CloseIfEnded() {
    if (model_.Ended() && running_) {
      running_ = false;
      done(model_.Result());
    }
  }

  void Build(const ControlSpec& c) {
    QWidget* w = nullptr;
    int id = c.id;
    switch (c.kind) {
      case ControlKind::Button: {
        auto* b = new QPushButton(content_);
        b->setAutoDefault(false);
        b->setDefault(c.flags & kDefault);
        connect(b, &QPushButton::clicked, this, [this, id] {
          if (!running_) return;
          model_.PressButton(id);
          // A button may have opened another document, in another language.
          RecheckSpelling();
          CloseIfEnded();
        });
        w = b;
        break;
      }
      case ControlKind::Edit:
        if (c.flags & kMultiLine) {
          auto* e = new QPlainTextEdit(content_);
          e->setReadOnly(c.flags & kReadOnly);
          e->setVerticalScrollBarPolicy((c.flags & kVScroll) ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
          e->setTabChangesFocus(true);
          connect(e, &QPlainTextEdit::textChanged, this, [this, e, id] { Typed(e, id); });
          if (!(c.flags & kReadOnly) && CurrentSpellChecker()) {
            highlighters_.push_back(new SpellHighlighter(e->document()));
            e->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(e, &QWidget::customContextMenuRequested, this,
                    [this, e](const QPoint& at) { SpellMenu(e, at); });
          }
          w = e;
        } else {
          auto* e = new QLineEdit(content_);
          e->setReadOnly(c.flags & kReadOnly);
          connect(e, &QLineEdit::textEdited, this, [this, e, id] { Typed(e, id); });
          if (c.flags & kReadOnly) AddCopyButton(e);
          if (!(c.flags & kReadOnly) && CurrentSpellChecker()) {
            spellLines_.push_back(e);
            // After the box has finished its own change.
            connect(e, &QLineEdit::textChanged, this,
                    [e] { QTimer::singleShot(0, e, [e] { UnderlineUnknownWords(e); }); });
            e->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(e, &QWidget::customContextMenuRequested, this,
                    [this, e, id](const QPoint& at) { SpellMenu(e, id, at); });
          }
          w = e;
        }
        break;
      case ControlKind::Label: {
        auto* l = new QLabel(content_);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = l;
        break;
      }
      case ControlKind::Group: w = new QGroupBox(content_); break;
      case ControlKind::RichText: {
        auto* t = new QTextBrowser(content_);
        t->setOpenExternalLinks(true);
        t->setVerticalScrollBarPolicy((c.flags & kVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        // Tab moves on to the next control rather than into the panel's links.
        t->setTabChangesFocus(true);
        t->setFocusPolicy(Qt::ClickFocus);
        // Help texts put a tab after each bullet: a short step keeps the
        // bullet beside its text.
        t->setTabStopDistance(QFontMetricsF(t->font()).horizontalAdvance("MM"));
        w = t;
        break;
      }
      case ControlKind::Progress: {
        auto* p = new QProgressBar(content_);
        p->setTextVisible(false);
        w = p;
        break;
      }
      case ControlKind::List: w = new QListWidget(content_); break;
      case ControlKind::Icon: {
        auto* l = new QLabel(content_);
        int side = std::min(X(c.width), Y(c.height));
        l->setPixmap(QApplication::windowIcon().pixmap(side, side));
        w = l;
        break;
      }
    }
    w->setGeometry(X(c.x), Y(c.y), X(c.width), Y(c.height));
    w->setObjectName(QString("control-%1").arg(c.id));
    w->setProperty(kControlProperty, c.id);
    w->installEventFilter(this);
    widgets_[c.id] = w;
  }

  // One click copies the tag or code a read-only box shows.
  void AddCopyButton(QLineEdit* box) {
    QAction* copy = box->addAction(CopyIcon(), QLineEdit::TrailingPosition);
    copy->setToolTip(DesktopText("Copiar", "Copy"));
    connect(copy, &QAction::triggered, box, [box] {
      if (box->text().isEmpty()) return;
      QApplication::clipboard()->setText(box->text());
      box->selectAll();
      QToolTip::showText(box->mapToGlobal(QPoint(box->width() - 20, box->height())),
                         DesktopText("Copiado: ", "Copied: ") + box->text(), box);
    });
  }

  // The teacher typed into a box: the core gets Windows-1252, and a character
  // that it cannot hold turns into its reference in the box as well, so the
  // box shows what will be stored.
  void Typed(QPlainTextEdit* e, int id) {
    if (syncing_) return;
    QString text = e->toPlainText();
    QString unfitting = FirstUnfitting(text);
    if (!unfitting.isEmpty()) {
      syncing_ = true;
      QTextCursor cursor = e->textCursor();
      int position = cursor.position();
      QString before = AsStored(text.left(position));
      QTextCursor all(e->document());
      all.beginEditBlock();
      all.select(QTextCursor::Document);
      all.insertText(AsStored(text));
      all.endEditBlock();
      cursor.setPosition(before.size());
      e->setTextCursor(cursor);
      syncing_ = false;
      NoteReference(e, unfitting, e->cursorRect().bottomRight());
      text = e->toPlainText();
    }
    model_.UserSetText(id, ToCrLf(FromQtMarkup(text)));
  }

  void Typed(QLineEdit* e, int id) {
    QString text = e->text();
    QString unfitting = FirstUnfitting(text);
    if (!unfitting.isEmpty()) {
      int position = AsStored(text.left(e->cursorPosition())).size();
      e->setText(AsStored(text));
      e->setCursorPosition(position);
      NoteReference(e, unfitting, QPoint(0, e->height()));
      text = e->text();
    }
    model_.UserSetText(id, FromQtMarkup(text));
  }

  // The boxes' underlines again, after the language or the teacher's words
  // changed.
  void RecheckSpelling() {
    for (SpellHighlighter* h : highlighters_) h->rehighlight();
    for (QLineEdit* l : spellLines_) UnderlineUnknownWords(l);
  }

  void SpellMenu(QPlainTextEdit* e, const QPoint& at) {
    std::unique_ptr<QMenu> menu(e->createStandardContextMenu(at));
    QTextCursor cursor = e->cursorForPosition(at);
    QTextBlock block = cursor.block();
    if (auto r = UnknownWordAt(block.text(), cursor.position() - block.position())) {
      const int start = block.position() + static_cast<int>(r->start);
      const int end = start + static_cast<int>(r->length);
      AddSpellingActions(
          menu.get(), block.text().mid(static_cast<int>(r->start), static_cast<int>(r->length)),
          [e, start, end](const QString& replacement) {
            QTextCursor word(e->document());
            word.setPosition(start);
            word.setPosition(end, QTextCursor::KeepAnchor);
            word.insertText(replacement);
          },
          [this] { RecheckSpelling(); });
    }
    menu->exec(e->viewport()->mapToGlobal(at));
  }

  void SpellMenu(QLineEdit* e, int id, const QPoint& at) {
    std::unique_ptr<QMenu> menu(e->createStandardContextMenu());
    if (auto r = UnknownWordAt(e->text(), e->cursorPositionAt(at))) {
      const int start = static_cast<int>(r->start), length = static_cast<int>(r->length);
      AddSpellingActions(
          menu.get(), e->text().mid(start, length),
          [this, e, id, start, length](const QString& replacement) {
            e->setSelection(start, length);
            e->insert(replacement);
            if (model_.GetItemText(id) != FromQtMarkup(e->text())) Typed(e, id);
          },
          [this] { RecheckSpelling(); });
    }
    menu->exec(e->mapToGlobal(at));
  }

  std::vector<SpellHighlighter*> highlighters_;
  std::vector<QLineEdit*> spellLines_;

  Dialog& model_;
  QWidget* content_ = nullptr;
  bool movingFocus_ = false;
  QMenuBar* menuBar_ = nullptr;
  std::map<int, QWidget*> widgets_;
  std::map<int, std::string> shownHelp_;
  int baseX_ = 6, baseY_ = 13;
  bool syncing_ = false;
  bool running_ = false;
};

// Splits a chooser filter "description|pattern|...||" into Qt's name filters.
QStringList NameFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i < parts.size(); i += 2) {
    QString description = parts[i];
    QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
    if (description.isEmpty() && pattern.isEmpty()) break;
    if (pattern.isEmpty()) pattern = description;
    pattern.replace(';', ' ');
    pattern.replace("*.*", "*");
    description.replace("*.*", "*");
    out << (description == pattern ? pattern : description + " (" + pattern + ")");
  }
  return out;
}

}  // namespace

// Watches the whole application while long work runs on the window thread:
// the work polls for Escape, and no other input may start a second action
// halfway through the first.
class QtPlatform::InputGuard : public QObject {
 public:
  int busy = 0;           // wait cursors shown
  int systemDialogs = 0;  // message boxes and choosers open over the work
  bool escape = false;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (busy == 0 || systemDialogs > 0) return false;
    switch (e->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) escape = true;
        return true;
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::Close: e->ignore(); return true;
      default: return false;
    }
  }
};

class QtPlatform::SystemDialogScope {
 public:
  explicit SystemDialogScope(InputGuard& guard) : guard_(guard) {
    ++guard_.systemDialogs;
    if (guard_.busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~SystemDialogScope() {
    if (guard_.busy) QApplication::restoreOverrideCursor();
    --guard_.systemDialogs;
  }

 private:
  InputGuard& guard_;
};

QtPlatform::QtPlatform() : guard_(std::make_unique<InputGuard>()) { qApp->installEventFilter(guard_.get()); }

QtPlatform::~QtPlatform() {
  if (qApp) qApp->removeEventFilter(guard_.get());
}

QWidget* QtPlatform::TopWindow() const { return windows_.empty() ? nullptr : windows_.back(); }

int QtPlatform::RunModal(Dialog& dialog) {
  QtDialogView view(dialog, TopWindow());
  windows_.push_back(&view);
  struct Pop {
    std::vector<QDialog*>& windows;
    Dialog& dialog;
    ~Pop() {
      windows.pop_back();
      dialog.FinishModal();
    }
  } pop{windows_, dialog};
  dialog.BeginModal(&view);
  if (dialog.Ended()) return dialog.Result();
  view.AddMenus();
  view.Start();
  if (onShown) {
    auto hook = onShown;
    QTimer::singleShot(0, &view, [hook, &dialog, &view] { hook(dialog, view); });
  }
  int result = view.exec();
  view.Stop();
  return dialog.Ended() ? dialog.Result() : result;
}

Answer QtPlatform::ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                               const Dialog* owner) {
  SystemDialogScope scope(*guard_);
  QMessageBox box(QMessageBox::Information, ToQt(caption), FromCrLf(ToQt(text)), QMessageBox::NoButton,
                  TopWindow());
  box.setTextFormat(Qt::PlainText);
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
      return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

std::optional<std::string> QtPlatform::ChooseFile(const ChooserRequest& r) {
  SystemDialogScope scope(*guard_);
  // The initial name may carry a folder and a pattern: "/docs/*.clo".
  QString initial = ToQt(r.initialName);
  initial.replace('\\', '/');
  QFileInfo info(initial);
  QString folder = info.path().isEmpty() ? QDir::currentPath() : QDir(info.path()).absolutePath();
  QString name = info.fileName();
  QStringList filters = NameFilters(ToQt(r.filter));
  if (name.contains('*') || name.contains('?')) {
    QString pattern = name;
    pattern.replace("*.*", "*");
    if (!filters.contains(pattern)) filters.prepend(pattern);
    name.clear();
  }

  QFileDialog chooser(TopWindow());
  chooser.setDirectory(folder);
  if (!filters.isEmpty()) chooser.setNameFilters(filters);
  if (r.save) {
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    if (!r.defaultExtension.empty()) chooser.setDefaultSuffix(ToQt(r.defaultExtension));
    if (!r.overwritePrompt) chooser.setOption(QFileDialog::DontConfirmOverwrite);
  } else {
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
  }
  if (!name.isEmpty()) chooser.selectFile(name);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;

  QFileInfo chosen(chooser.selectedFiles().first());
  if (r.save && chosen.suffix().isEmpty() && !r.defaultExtension.empty()) {
    chosen.setFile(chosen.filePath() + "." + ToQt(r.defaultExtension));
    if (r.overwritePrompt && chosen.exists() &&
        QMessageBox::question(TopWindow(), ToQt(r.initialName),
                              DesktopText("%1 já existe.\nDeseja substituí-lo?",
                                          "%1 already exists.\nDo you want to replace it?")
                                  .arg(chosen.fileName())) != QMessageBox::Yes)
      return std::nullopt;
  }
  QString path = chosen.absoluteFilePath();
  auto exact = FromQtExact(path);
  if (!exact) {
    QMessageBox box(QMessageBox::Information, "KIO",
                    DesktopText("O nome \"%1\" tem o caractere %2, que o KIO não consegue guardar. "
                                "Escolha um arquivo (e uma pasta) sem ele, ou mude o nome.",
                                "The name \"%1\" holds the character %2, which KIO cannot keep. "
                                "Choose a file (and a folder) without it, or rename it.")
                        .arg(path, FirstUnfitting(path)),
                    QMessageBox::Ok, TopWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return std::nullopt;
  }
  QDir::setCurrent(chosen.absolutePath());
  return exact;
}

std::optional<Rgb> QtPlatform::PickColour() {
  SystemDialogScope scope(*guard_);
  static QColor last = Qt::white;
  QColor c = QColorDialog::getColor(last, TopWindow());
  if (!c.isValid()) return std::nullopt;
  last = c;
  return Rgb{static_cast<unsigned char>(c.red()), static_cast<unsigned char>(c.green()),
             static_cast<unsigned char>(c.blue())};
}

std::optional<FontChoice> QtPlatform::PickFont() {
  SystemDialogScope scope(*guard_);
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, QApplication::font(), TopWindow());
  if (!ok) return std::nullopt;
  auto face = FromQtExact(f.family());
  int points = f.pointSizeF() > 0 ? qRound(f.pointSizeF()) : qRound(f.pixelSize() * 72.0 / 96.0);
  // Pages take sizes of two digits.
  points = std::clamp(points, 10, 99);
  return FontChoice{face ? *face : FromQtMarkup(f.family()), points};
}

void QtPlatform::OpenInBrowser(const std::string& target) {
  QString t = ToQt(target);
  QUrl url = t.contains("://") ? QUrl(t) : QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
  QDesktopServices::openUrl(url);
}

bool QtPlatform::OpenFileInBrowser(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(ToQt(path)).absoluteFilePath()));
}

void QtPlatform::SetWaitCursor(bool on) {
  if (on) {
    if (guard_->busy++ == 0) guard_->escape = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  } else if (guard_->busy > 0) {
    --guard_->busy;
    QApplication::restoreOverrideCursor();
  }
}

bool QtPlatform::EscapePressed() {
  // Input waiting now is looked at: Escape is noted, the rest is dropped
  // while the wait cursor shows.
  QCoreApplication::processEvents();
  bool pressed = guard_->escape;
  guard_->escape = false;
  return pressed;
}

void QtPlatform::ExitProcess(int status) {
  std::fflush(nullptr);
  std::exit(status);
}

QWidget* ControlWidget(const QDialog& window, int id) {
  return window.findChild<QWidget*>(QString("control-%1").arg(id));
}

int ControlId(const QWidget* widget) {
  QVariant id = widget->property(kControlProperty);
  return id.isValid() ? id.toInt() : 0;
}

QString DesktopText(const char* portuguese, const char* english) {
  return QString::fromUtf8(QLocale().language() == QLocale::Portuguese ? portuguese : english);
}

void SetUpDesktop(const std::string& programFolder) {
  // The layouts are measured against one style, whatever the desktop's theme.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QIcon icon;
  QDir icons(QDir(ToQt(programFolder)).filePath("icons"));
  for (int size : {16, 32, 48, 64, 128, 256}) {
    QString file = icons.filePath(QString("kio-%1.png").arg(size));
    if (QFileInfo::exists(file)) icon.addFile(file, QSize(size, size));
  }
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
  // The system's dialogs (choosers, pickers, message box buttons) in the
  // desktop's language.
  static QTranslator qtTexts;
  if (qtTexts.load(QLocale(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qtTexts);
}

std::optional<std::string> MissingDisplay() {
  auto isSet = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  std::string platforms = chosen ? chosen : "";
  if (platforms.empty()) {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) return std::nullopt;
    return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  }
  // A list such as "wayland;xcb" is tried in order; an entry may carry
  // options after ":". Backends other than X11 and Wayland (offscreen, vnc,
  // eglfs...) need no display variable.
  std::string missing;
  size_t start = 0;
  while (start <= platforms.size()) {
    size_t end = platforms.find(';', start);
    if (end == std::string::npos) end = platforms.size();
    std::string name = platforms.substr(start, end - start);
    name = name.substr(0, name.find(':'));
    if (name == "xcb") {
      if (isSet("DISPLAY")) return std::nullopt;
      missing = "DISPLAY";
    } else if (name.rfind("wayland", 0) == 0) {
      if (isSet("WAYLAND_DISPLAY")) return std::nullopt;
      missing = "WAYLAND_DISPLAY";
    } else if (!name.empty()) {
      return std::nullopt;
    }
    start = end + 1;
  }
  return "QT_QPA_PLATFORM is " + platforms + " and " +
         (missing.empty() ? "names no backend" : missing + " is not set");
}

namespace {

// While QApplication reaches the window system, Qt's reports speak of
// plugins and end in an abort; the program's own message replaces them.
const std::function<void(const std::string&)>* startFailure = nullptr;
QtMessageHandler outerHandler = nullptr;
std::string startProblem;

void StartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  bool platformReport = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
  if (type == QtFatalMsg) {
    (*startFailure)(startProblem.empty() ? "the window system could not be reached" : startProblem);
    std::_Exit(1);
  }
  if (platformReport) {
    // The first warning names the cause; the reports after it tell of
    // plugins given up on.
    if (startProblem.empty() && type == QtWarningMsg) startProblem = text.toStdString();
    return;
  }
  if (outerHandler) outerHandler(type, context, text);
}

}  // namespace

int RunDesktop(int argc, char** argv, const std::function<int()>& program,
               const std::function<void(const std::string& why)>& noDisplay) {
  startFailure = &noDisplay;
  startProblem.clear();
  outerHandler = qInstallMessageHandler(StartMessages);
  QApplication app(argc, argv);
  qInstallMessageHandler(outerHandler);
  startFailure = nullptr;
  QApplication::setApplicationName("KIO");
  QGuiApplication::setDesktopFileName("kio");
  // The program folder (the working folder) as a program text.
  SetUpDesktop(FromQtExact(QDir::currentPath()).value_or("."));
  QtPlatform platform;
  SetPlatform(&platform);
  int status = program();
  SetPlatform(nullptr);
  return status;
}

}  // namespace kio
