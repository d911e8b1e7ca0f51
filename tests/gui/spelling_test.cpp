// Spelling on the desktop: an unknown word of an editor's box is underlined,
// its context menu offers the dictionary's suggestions and "add to my
// words" in the desktop's language, and a suggestion replaces the word in
// the box and in the editor. A screenshot of the box with its menu is saved
// for each interface language.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include "activities/cloze/cloze_dlg.h"
#include "fileio/session.h"
#include "gui_support.h"
#include "pages/menu/menu_dlg.h"
#include "platform/spell_checker.h"
#include "platform/text_encoding.h"
#include "spelling/speller.h"

namespace kio::test {
namespace {

constexpr int kClozeText = 1402;

// Whether the text at [start, start + length) of the box's first paragraph
// carries the spelling underline.
bool Underlined(QPlainTextEdit& box, int start, int length) {
  QTextBlock block = box.document()->firstBlock();
  for (const QTextLayout::FormatRange& r : block.layout()->formats())
    if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline && r.start == start &&
        r.length == length)
      return true;
  return false;
}

// Saves the window with the menu on top, as the teacher sees them, as
// screenshots/gui-spelling-<name>-<tag>.png.
void SaveWithMenu(QDialog& window, QMenu& menu, const char* name, const Language& language) {
  QPixmap shot = window.grab();
  QPainter painter(&shot);
  painter.drawPixmap(window.mapFromGlobal(menu.mapToGlobal(QPoint(0, 0))), menu.grab());
  painter.end();
  shot.save(QString("%1/gui-spelling-%2-%3.png").arg(KIO_SCREENSHOTS, name, language.tag));
}

class DesktopSpelling : public testing::TestWithParam<Language> {
 protected:
  void SetUp() override { SetSpellChecker(&SessionSpellChecker()); }
  void TearDown() override { SetSpellChecker(nullptr); }
};

TEST_P(DesktopSpelling, UnknownWordIsUnderlinedAndItsMenuOffersSuggestions) {
  const Language language = GetParam();
  Desktop desktop(language);
  CClozeDlg dialog;
  const QString text = QString::fromUtf8("A professora escreveu uma frase com um érro no quadro.");
  const int start = text.indexOf(QString::fromUtf8("érro"));
  bool underlined = false, stillUnderlined = true;
  QStringList menuTexts;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    if (&d != &dialog) {
      window.done(0);
      return;
    }
    auto* box = qobject_cast<QPlainTextEdit*>(ControlWidget(window, kClozeText));
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->setPlainText(text);
    QCoreApplication::processEvents();
    underlined = Underlined(*box, start, 4);
    // The menu opens at the word; a timer looks at it from inside its loop.
    QTextCursor at(box->document());
    at.setPosition(start + 1);
    // At the bottom of the line, so that the menu leaves the underline in sight.
    const QPoint point(box->cursorRect(at).center().x(), box->cursorRect(at).bottom());
    QTimer::singleShot(300, [&, box] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QAction* erro = nullptr;
      for (QAction* a : menu->actions()) {
        menuTexts << a->text();
        if (a->text() == "erro") erro = a;
      }
      SaveWithMenu(window, *menu, "menu", language);
      ASSERT_NE(erro, nullptr);
      menu->close();
      erro->trigger();
      stillUnderlined = Underlined(*box, start, 4);
      window.done(0);
    });
    emit box->customContextMenuRequested(point);
  };
  dialog.DoModal();
  EXPECT_TRUE(underlined);
  const char* add = language.tag == std::string("pt") ? "Adicionar \"érro\" às minhas palavras"
                                                      : "Add \"érro\" to my words";
  EXPECT_THAT(menuTexts, testing::Contains(QString::fromUtf8(add)));
  EXPECT_THAT(menuTexts, testing::Contains("erro"));
  // The editor has the corrected text; nothing is underlined any more.
  EXPECT_EQ(dialog.GetItemText(kClozeText),
            Win1252("A professora escreveu uma frase com um erro no quadro."));
  EXPECT_FALSE(stillUnderlined);
}

INSTANTIATE_TEST_SUITE_P(Languages, DesktopSpelling, testing::Values(kEnglish, kPortuguese),
                         [](const testing::TestParamInfo<Language>& info) {
                           return std::string(info.param.tag);
                         });

// A single-line box: the same menu, and the suggestion taken into the box
// and the editor.
TEST(DesktopSpellingLine, SingleLineBoxOffersSuggestionsForTheWordUnderTheMouse) {
  SetSpellChecker(&SessionSpellChecker());
  Desktop desktop(kEnglish);
  CMenuDlg dialog;
  const int entry = MenuEntryBox(1);
  QStringList menuTexts;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    if (&d != &dialog) {
      window.done(0);
      return;
    }
    auto* box = qobject_cast<QLineEdit*>(ControlWidget(window, entry));
    ASSERT_NE(box, nullptr);
    box->setText(QString::fromUtf8("Lição da escolla"));
    QTimer::singleShot(300, [&, box] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QAction* escola = nullptr;
      for (QAction* a : menu->actions()) {
        menuTexts << a->text();
        if (a->text() == "escola") escola = a;
      }
      SaveWithMenu(window, *menu, "line", kEnglish);
      menu->close();
      ASSERT_NE(escola, nullptr);
      escola->trigger();
      window.done(0);
    });
    // The middle of "escolla".
    const int x = box->fontMetrics().horizontalAdvance(QString::fromUtf8("Lição da esco")) + 4;
    emit box->customContextMenuRequested(QPoint(x, box->height() / 2));
  };
  dialog.DoModal();
  SetSpellChecker(nullptr);
  EXPECT_THAT(menuTexts, testing::Contains(QString::fromUtf8("Add \"escolla\" to my words")));
  EXPECT_EQ(dialog.GetItemText(entry), Win1252("Lição da escola"));
}

}  // namespace
}  // namespace kio::test
