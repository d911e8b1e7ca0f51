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
#include "activities/dialogical/dialogical_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "activities/sequence/sequence_dlg.h"
#include "app/main_dlg.h"
#include "app/output_dlg.h"
#include "app/package_dlg.h"
#include "app/startup.h"
#include "dialogs/formatting.h"
#include "fileio/session.h"
#include "gui_support.h"
#include "lexicon/lexicon_store.h"
#include "lexicon_editor/lexicon_dlg.h"
#include "lexicon_editor/lexicon_small_dlgs.h"
#include "pages/basic/basic_page_dlg.h"
#include "pages/index/index_dlg.h"
#include "pages/lexical/lexical_page_dlg.h"
#include "pages/menu/menu_dlg.h"
#include "platform/text_encoding.h"

namespace kio::test {
namespace {

struct Screen {
  const char* name;
  std::function<std::unique_ptr<Dialog>()> make;
  // What the teacher would see after a few clicks: tags in their boxes.
  std::function<void(Dialog&)> fill;
  // Answers the file choosers the dialog opens before it shows.
  std::function<void(QDialog&)> chooser = nullptr;
};

// Picks `name` in the file chooser on screen.
std::function<void(QDialog&)> PickFile(const char* name) {
  return [name](QDialog& dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(&dialog);
    if (!chooser) return;
    if (auto* box = chooser->findChild<QLineEdit*>("fileNameEdit")) box->setText(name);
    dialog.accept();
  };
}

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
      {"package", Make<CPackageDlg>,
       [](Dialog& d) {
         d.SetItemText(kPackageStart, Win1252("/home/ana/Documentos/Unidade 1/índice.html"));
         d.SetItemText(kPackageTitle, "Unidade 1");
       }},
      {"eclipse", Make<CEclipseDlg>,
       [](Dialog& d) { d.SetItemText(kActText, "The sun rises in the east and sets in the west."); }},
      {"memory", Make<CMemoryDlg>,
       [](Dialog& d) {
         const char* cards[] = {"cat",     "gato",        "dog",        "cachorro",
                                "the sea", "{i=mar.jpg}", "it's sunny", "faz sol"};
         for (int i = 0; i < 8; ++i) d.SetItemText(kMemCardBase + i, Win1252(cards[i]));
       }},
      {"sequence", Make<CSequenceDlg>,
       [](Dialog& d) {
         d.SetItemText(kActText,
                       "Once upon a time+there was a boy+who loved books.\r\nOne day+he found a map.");
       }},
      {"basic", Make<CBasicPageDlg>,
       [](Dialog& d) {
         d.SetItemText(kBasicText, "{5.siz}Recife\r\nRecife is a city by the sea. {i=recife.jpg}");
       }},
      {"menu", Make<CMenuDlg>,
       [](Dialog& d) {
         d.SetItemText(kMenuTitle, "Unit 1\r\nFood and drink");
         const char* pages[] = {"leitura.htm", "cloze_food.htm", "eclipse_drinks.htm",
                                "a_very_long_page_name_01.htm"};
         for (size_t k = 0; k < 4; ++k) d.SetItemText(MenuEntryBox(k + 1), pages[k]);
         d.SetItemText(MenuEntryBox(24), "last_page.htm");
       }},
      {"index", Make<CIndexDlg>,
       [](Dialog& d) {
         d.SetItemText(kIndexFolder, "/home/ana/Documents/course/");
         d.SetItemText(kIndexHeading, "My course\r\n2027");
         d.SetItemText(kIndexLink, "unit1/menu.htm");
         d.SetItemText(kIndexText, "Unit 1: food and drink");
       }},
      {"multiple", Make<CMultipleDlg>,
       [](Dialog& d) {
         const char* texts[] = {"leitura_1.htm",
                                "S",
                                "Which animal says <i>meow</i>?",
                                "The dog +>The cat +The cow",
                                "Dogs bark. +Yes! +Cows moo.",
                                "Think of a small pet."};
         for (int i = 0; i < 6; ++i) d.SetItemText(kListField + i, texts[i]);
         d.SetItemText(kListPosition, "3/7");
         d.SetItemText(kListFinal, Win1252("Parabéns! / Well done!"));
       }},
      {"dialogical", Make<CDialogicalDlg>,
       [](Dialog& d) {
         const char* texts[] = {"#",
                                "S",
                                "What is the capital of France?",
                                "Paris+paris",
                                "Yes: Paris.+Right.",
                                "It is on the Seine."};
         for (int i = 0; i < 6; ++i) d.SetItemText(kListField + i, texts[i]);
         d.SetItemText(kListPosition, "1/2");
       }},
      {"lexicon",
       [] {
         // As the home screen leaves it before starting an editor.
         CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
         return std::unique_ptr<Dialog>(std::make_unique<CLexiconDlg>(StartUp));
       },
       [](Dialog& d) {
         // Looked up as the teacher would: typed, then Tab.
         d.SetItemText(kLexHeadword, "house");
         d.FocusLeave(kLexHeadword);
         d.SetProgress(kLexProgress, 40);
       },
       PickFile("ingles.kio")},
      {"lexicon_cut", [] { return std::unique_ptr<Dialog>(std::make_unique<CCutSegmentDlg>(15861)); },
       [](Dialog& d) {
         d.SetItemText(kCutFrom, "120");
         d.SetItemText(kCutTo, "15859");
       }},
      {"lexicon_replace", Make<CReplaceDlg>,
       [](Dialog& d) {
         d.SetItemText(kReplaceSegment, "colour");
         d.SetItemText(kReplaceWith, "color");
       }},
      {"lexicon_search", Make<CSearchDlg>, [](Dialog& d) { d.SetItemText(kSearchSegmentBox, "informal"); }},
      {"lexicon_save_part", [] { return std::unique_ptr<Dialog>(std::make_unique<CSavePartDlg>(15861)); },
       [](Dialog& d) {
         d.SetItemText(kSavePartFrom, "1");
         d.SetItemText(kSavePartTo, "2500");
       }},
  };
}

void PrintTo(const Screen& screen, std::ostream* os) { *os << screen.name; }

using Param = std::tuple<Language, Screen>;

class Screens : public testing::TestWithParam<Param> {};

TEST_P(Screens, EveryControlFitsAndNothingOverlaps) {
  const auto& [language, screen] = GetParam();
  Desktop desktop(language);
  if (screen.chooser) desktop.onSystemDialog = screen.chooser;
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
      d.SetItemText(kLexicalText,
                    "In front of the houses, the children played until five o'clock.\r\n"
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
                         [](const testing::TestParamInfo<Language>& info) {
                           return std::string(info.param.tag);
                         });

}  // namespace
}  // namespace kio::test
