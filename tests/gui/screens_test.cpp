// Every dialog on screen in both interface languages: nothing overlaps,
// every text fits its control, and a screenshot of each is kept for people
// to look at.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <filesystem>
#include <functional>
#include <memory>

#include "activities/cloze/cloze_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "app/main_dlg.h"
#include "app/output_dlg.h"
#include "dialogs/formatting.h"
#include "fileio/session.h"
#include "lexicon/lexicon_store.h"
#include "pages/lexical/lexical_page_dlg.h"
#include "gui_support.h"
#include "platform/text_encoding.h"

namespace kio::test {
namespace {

struct Screen {
  const char* name;
  std::function<std::unique_ptr<Dialog>()> make;
  // What the teacher would see after a few clicks: tags in their boxes.
  std::function<void(Dialog&)> fill;
};

template <class D>
std::unique_ptr<Dialog> Make() {
  return std::make_unique<D>();
}

std::vector<Screen> AllScreens() {
  return {
      {"home", Make<CMainDlg>, nullptr},
      {"about", Make<CAboutDlg>, nullptr},
      {"font", Make<CFontDlg>,
       [](Dialog& d) {
         d.PressButton(kFontSize1 + 6);
         d.SetItemText(kFontColourBox, "<font color=#0A7F3C>");
         d.SetItemText(kFontFaceBox, "<font face = 'DejaVu Sans'>");
       }},
      {"paragraph", Make<CParagraphDlg>,
       [](Dialog& d) {
         for (int id : {kParaLeft, kParaRight, kParaCenter}) d.PressButton(id);
       }},
      {"av",
       [] {
         CurrentSession().activityName = "Cloze";
         return Make<CAVDlg>();
       },
       [](Dialog& d) {
         d.SetItemText(kAVImageBox, "<center><img src='my_photo.jpg' border=0></center>");
         d.SetItemText(kAVAudioBox, "{a=greeting.mp3}");
         d.SetItemText(kAVVideoBox, "{h=190}{t=140}{v=lesson_one.mp4}");
         d.SetItemText(kAVFlashVideoBox, "{h=190}{t=140}{f=lesson_one.flv}");
         d.SetItemText(kAVFlashBox, "{s=game.swf}");
       }},
      {"frames", Make<CFramesDlg>, nullptr},
      {"cloze", Make<CClozeDlg>,
       [](Dialog& d) {
         d.SetItemText(kActInstructions, Win1252("Complete o texto. / Fill in the gaps."));
         d.SetItemText(kActText, "My name [is] Ana. I [live] in Recife.\r\nI [like] the sea.");
       }},
      {"output", Make<COutputDlg>,
       [](Dialog& d) {
         // A translation under way: the first boxes filled in.
         d.SetItemText(1304, "Punteggio");
         d.SetItemText(1305, "Data");
       }},
      {"eclipse", Make<CEclipseDlg>,
       [](Dialog& d) { d.SetItemText(kActText, "The sun rises in the east and sets in the west."); }},
  };
}

void PrintTo(const Screen& screen, std::ostream* os) { *os << screen.name; }

using Param = std::tuple<Language, Screen>;

class Screens : public testing::TestWithParam<Param> {};

TEST_P(Screens, EveryControlFitsAndNothingOverlaps) {
  const auto& [language, screen] = GetParam();
  Desktop desktop(language);
  std::unique_ptr<Dialog> dialog = screen.make();
  bool shown = false;
  std::vector<std::string> faults;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    if (&d == dialog.get()) {
      if (screen.fill) screen.fill(d);
      faults = LayoutFaults(window);
      QString path = SaveScreenshot(window, screen.name, language);
      EXPECT_TRUE(QFileInfo(path).size() > 0) << path.toStdString();
      shown = true;
    }
    window.done(0);
  };
  dialog->DoModal();
  EXPECT_TRUE(shown);
  EXPECT_THAT(faults, testing::IsEmpty());
  EXPECT_THAT(desktop.messages, testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Screens,
                         testing::Combine(testing::Values(kEnglish, kPortuguese),
                                          testing::ValuesIn(AllScreens())),
                         [](const testing::TestParamInfo<Param>& info) {
                           return std::string(std::get<1>(info.param).name) + "_" +
                                  std::get<0>(info.param).tag;
                         });

// The lexical page editor asks for its dictionary before it shows: a small
// dictionary in the program folder is chosen.
class LexicalScreen : public testing::TestWithParam<Language> {};

TEST_P(LexicalScreen, EveryControlFitsAndNothingOverlaps) {
  const Language language = GetParam();
  Desktop desktop(language);
  // The program folder as the home screen takes it at its start.
  CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
  LexiconStore::WriteEmptyPair("leitura.kpo", "leitura.kio");
  const std::string dictionary = CurrentSession().appPaths.programFolder + "leitura.kio";
  desktop.onSystemDialog = [&](QDialog& dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(&dialog);
    ASSERT_NE(chooser, nullptr);
    chooser->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(dictionary));
    dialog.accept();
  };
  CLexicalPageDlg dialog;
  bool shown = false;
  std::vector<std::string> faults;
  desktop.platform().onShown = [&](Dialog& d, QDialog& window) {
    if (&d == &dialog) {
      d.SetItemText(kLexicalText, "In front of the houses, the children played until five o'clock.\r\n"
                                  "<b>Read the text</b> and click the words you do not know.");
      faults = LayoutFaults(window);
      SaveScreenshot(window, "lexical", language);
      shown = true;
    }
    window.done(0);
  };
  dialog.DoModal();
  EXPECT_TRUE(shown);
  EXPECT_THAT(faults, testing::IsEmpty());
  // Only the note that asks for the dictionary.
  ASSERT_EQ(desktop.messages.size(), 1u) << testing::PrintToString(desktop.messages);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, LexicalScreen, testing::Values(kEnglish, kPortuguese),
                         [](const testing::TestParamInfo<Language>& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace kio::test
