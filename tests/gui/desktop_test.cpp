// The desktop backend's own behaviour: what the teacher's keys, clicks and
// typing do, the system's dialogs, long work, and the program icon.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "activities/cloze/cloze_dlg.h"
#include "app/main_dlg.h"
#include "dialogs/formatting.h"
#include "fileio/session.h"
#include "gui_support.h"
#include "lang/texts.h"
#include "platform/qt/qt_text.h"
#include "render/preview_folder.h"

namespace kio::test {
namespace {

// Types text as a keyboard does, character by character; a character
// without a key of its own comes as the text of a key event, as input
// methods send it.
void Type(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

// Types a name into a file chooser's name box and accepts it, as the teacher
// would.
void TypeName(QFileDialog& chooser, const QString& name) {
  auto* box = chooser.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(box, nullptr);
  box->setText(name);
  static_cast<QDialog&>(chooser).accept();
}

QPushButton* Button(QDialog& window, int id) { return qobject_cast<QPushButton*>(ControlWidget(window, id)); }

TEST(Desktop, HomeScreenHasItsTitleLabelsAndTheAboutBoxInItsHelpMenu) {
  for (const Language& language : {kEnglish, kPortuguese}) {
    bool english = language.tag == std::string("en");
    Desktop desktop(language);
    CMainDlg home;
    std::vector<std::string> titles;
    desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
      titles.push_back(d.Title());
      if (&d == &home) {
        EXPECT_EQ(window.windowTitle(), "KIO");
        EXPECT_FALSE(window.windowIcon().isNull());
        EXPECT_EQ(ShownText(Button(window, kHomeDictionary)->text()), english ? "Dictionary" : "Dicionário");
        // "Output" is labelled in the interface language.
        EXPECT_EQ(ShownText(Button(window, kHomeOutput)->text()), english ? "Output" : "Saída");
        auto* bar = window.findChild<QMenuBar*>();
        if (bar && !bar->actions().isEmpty() && bar->actions()[0]->menu()) {
          QMenu* help = bar->actions()[0]->menu();
          EXPECT_EQ(ShownText(help->title()), english ? "Help" : "Ajuda");
          help->actions().value(0)->trigger();
        } else {
          ADD_FAILURE() << "no Help menu";
        }
      }
      window.done(0);
    };
    home.DoModal();
    EXPECT_THAT(titles, testing::ElementsAre("KIO", "About Kio")) << language.tag;
  }
}

TEST(Desktop, EscapeAndTheCloseBoxAskBeforeTheHomeScreenCloses) {
  Desktop desktop(kEnglish);
  CMainDlg home;
  std::vector<QMessageBox::StandardButton> answers = {QMessageBox::No, QMessageBox::Yes};
  desktop.onMessage = [&](QMessageBox& box) {
    QTest::mouseClick(box.button(answers.front()), Qt::LeftButton);
    answers.erase(answers.begin());
  };
  bool keptAfterNo = false;
  desktop.platform().onShown = [&](Dialog&, QDialog& window) {
    QTest::keyClick(&window, Qt::Key_Escape);
    keptAfterNo = window.isVisible();
    window.close();
  };
  EXPECT_EQ(home.DoModal(), IDCANCEL);
  EXPECT_TRUE(keptAfterNo);
  EXPECT_THAT(desktop.messages, testing::ElementsAre("KIO | " + CurrentSession().UiText[21],
                                                     "KIO | " + CurrentSession().UiText[21]));
}

TEST(Desktop, EnterOnTheHomeScreenStartsEclipse) {
  Desktop desktop(kEnglish);
  CMainDlg home;
  std::vector<std::string> titles;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    titles.push_back(d.Title());
    if (&d == &home) {
      // The default button holds the focus when the window opens.
      ASSERT_NE(window.focusWidget(), nullptr);
      EXPECT_EQ(ControlId(window.focusWidget()), kHomeEclipse);
      QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    }
    window.done(0);
  };
  home.DoModal();
  EXPECT_THAT(titles, testing::ElementsAre("KIO", "KIO Eclipse"));
}

TEST(Desktop, ACharacterWindows1252CannotHoldIsKeptAsItsCharacterReference) {
  Desktop desktop(kEnglish);
  CClozeDlg cloze;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    auto* box = qobject_cast<QPlainTextEdit*>(ControlWidget(window, kActInstructions));
    box->setFocus();
    box->clear();
    Type(box, "Ω=ohm");
    QTest::keyClick(box, Qt::Key_Return);
    Type(box, "ça");
    // The box shows what the document keeps, with CR LF line ends.
    EXPECT_EQ(box->toPlainText().toStdString(), "&#937;=ohm\nça");
    EXPECT_EQ(d.GetItemText(kActInstructions), W("&#937;=ohm\r\nça"));
    window.done(0);
  };
  cloze.DoModal();

  CAVDlg av;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    auto* box = qobject_cast<QLineEdit*>(ControlWidget(window, kAVWidth));
    box->clear();
    Type(box, "½→");
    EXPECT_EQ(box->text().toStdString(), "½&#8594;");
    EXPECT_EQ(d.GetItemText(kAVWidth), W("½&#8594;"));
    window.done(0);
  };
  av.DoModal();
}

TEST(Desktop, ATagBoxCopiesItsTagInOneClick) {
  Desktop desktop(kEnglish);
  CParagraphDlg paragraph;
  desktop.platform().onShown = [&](Dialog&, QDialog& window) {
    auto copyButton = [&](int id) -> QAction* {
      for (QAction* a : ControlWidget(window, id)->actions())
        if (a->isVisible()) return a;
      return nullptr;
    };
    EXPECT_EQ(copyButton(kParaLeftBox), nullptr) << "an empty box has nothing to copy";
    Button(window, kParaLeft)->click();
    ASSERT_NE(copyButton(kParaLeftBox), nullptr);
    copyButton(kParaLeftBox)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "<p align=left>");
    copyButton(kParaCenterEnd)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "</p>");
    window.done(0);
  };
  paragraph.DoModal();
}

TEST(Desktop, TheFileChooserLeavesTheWorkingFolderAtTheChosenFile) {
  Desktop desktop(kEnglish);
  TempDir docs;
  fs::create_directories(docs / "aulas");
  ChooserRequest save;
  save.save = true;
  save.initialName = W(docs.str() + "/aulas/*.clo");
  save.filter = "*.clo||";
  save.defaultExtension = "clo";
  desktop.onSystemDialog = [&](QDialog& dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(&dialog);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->directory().absolutePath().toStdString(), (docs / "aulas").string());
    EXPECT_THAT(chooser->nameFilters(), testing::Contains("*.clo"));
    TypeName(*chooser, "lição");
  };
  EXPECT_EQ(desktop.platform().ChooseFile(save), W(docs.str() + "/aulas/lição.clo"));
  EXPECT_EQ(fs::current_path(), docs / "aulas");

  // A name Windows-1252 cannot hold is refused with a message, and the
  // working folder stays.
  fs::create_directories(docs / "日本");
  WriteFile(docs / "日本" / "a.clo", "x");
  ChooserRequest open;
  open.initialName = W(docs.str() + "/*.clo");
  open.filter = "*.clo||";
  open.defaultExtension = "clo";
  desktop.onSystemDialog = [&](QDialog& dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(&dialog);
    ASSERT_NE(chooser, nullptr);
    TypeName(*chooser, QString::fromStdString((docs / "日本" / "a.clo").string()));
  };
  EXPECT_EQ(desktop.platform().ChooseFile(open), std::nullopt);
  EXPECT_EQ(fs::current_path(), docs / "aulas");
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_THAT(desktop.messages[0], testing::HasSubstr("&#26085;"));
}

TEST(Desktop, LongWorkSeesEscapeAndNoOtherInput) {
  Desktop desktop(kEnglish);
  QWidget window;
  auto* button = new QPushButton("Go", &window);
  button->resize(80, 30);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  window.show();
  EXPECT_FALSE(EscapePressed());
  {
    WaitCursor wait;
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0) << "a click during long work starts nothing";
    QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(EscapePressed());
    EXPECT_FALSE(EscapePressed());
    // A question asked over the work takes clicks as usual.
    desktop.onMessage = [](QMessageBox& box) {
      QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
    };
    EXPECT_EQ(ShowMessage("Interrupt?", "KIO", Buttons::YesNo), Answer::Yes);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

// Preview asks the desktop to open the page's file: a handler of file
// addresses (a text browser standing in for the teacher's browser) gets the
// preview file's address, and no message is shown.
TEST(Desktop, PreviewOpensThePagesFileThroughTheDesktop) {
  Desktop desktop(kEnglish);
  // The templates of this program folder, as the home screen takes it.
  CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
  QTextBrowser browser;
  QDesktopServices::setUrlHandler("file", &browser, "setSource");
  CClozeDlg cloze;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    if (&d != &cloze) return;
    d.SetItemText(kActText, "The [cat] sat.");
    QTest::mouseClick(Button(window, kActPreview), Qt::LeftButton);
    window.done(0);
  };
  cloze.DoModal();
  QDesktopServices::unsetUrlHandler("file");
  const std::string opened = browser.source().toLocalFile().toStdString();
  const std::string folder = CurrentPreviewFolder().Made();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(opened.substr(0, folder.size()), folder) << opened;
  EXPECT_TRUE(fs::exists(opened)) << opened;
  EXPECT_THAT(desktop.messages, testing::IsEmpty());
}

TEST(Desktop, TheProgramIconComesInEverySizeDesktopsAskFor) {
  EnsureApplication();
  for (int size : {16, 32, 48, 64, 128, 256}) {
    QImage icon(QString(KIO_PROGRAM_DIR "/icons/kio-%1.png").arg(size));
    EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    EXPECT_TRUE(icon.hasAlphaChannel()) << size;
  }
  std::string entry = ReadFile(fs::path(KIO_SOURCE_DIR) / "data" / "kio.desktop");
  for (const char* line :
       {"[Desktop Entry]", "\nType=Application\n", "\nName=KIO\n", "\nIcon=kio\n", "\nExec=kio"})
    EXPECT_THAT(entry, testing::HasSubstr(line));
}

}  // namespace
}  // namespace kio::test
