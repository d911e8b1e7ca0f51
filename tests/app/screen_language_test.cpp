// One language per screen: every screen, in each shipped interface language,
// shows none of the program's fixed texts in the other language.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kio_test.h"
#include "lang/fixed_texts.h"
#include "program_folder.h"

namespace kio {
namespace {

using test::Has;
using test::Shown;

// The texts of the controls in the transcript's dumps.
std::vector<std::string> ControlTexts(const std::string& transcript) {
  std::vector<std::string> texts;
  size_t at = 0;
  while ((at = transcript.find("CONTROL ", at)) != std::string::npos) {
    const size_t text = transcript.find(' ', at + 8) + 1;
    const size_t end = transcript.find('\n', at);
    texts.push_back(transcript.substr(text, end - text));
    at = end;
  }
  return texts;
}

// Visits every screen the home screen reaches, dumping each: the home
// screen, About, the editors with their formatting dialogs, the Output
// editor, the dictionary editor and the lexical page editor (both on the
// shipped dictionary), the dictionary editor's small dialogs and the
// Package window.
std::string EveryScreen(const std::string& folder) {
  std::string script = "dump\nmenu 16\ndump\npress 1\n";
  const std::string formatting =
      "press 1431\ndump\npress 1\npress 1432\ndump\npress 1\npress 1433\ndump\n"
      "press 1\npress 1434\ndump\npress 1\n";
  for (const char* editor : {"1009", "1114", "1071", "1140"})
    script += std::string("press ") + editor + "\ndump\n" + formatting + "escape\nanswer No\n";
  for (const char* editor : {"1018", "1017", "1179"})
    script += std::string("press ") + editor + "\ndump\nescape\n";
  script += "press 1147\ndump\nescape\npress 1094\ndump\nescape\npress 1301\ndump\nescape\n";
  // The dictionary editor with its small dialogs: Cut segment, Replace,
  // Search and Save part.
  script += "press 1006\nchoose " + folder + "/ingles.kio\ndump\n";
  for (const char* small : {"154", "161", "166", "1013"})
    script += std::string("press ") + small + "\ndump\nescape\n";
  script += "escape\npress 1390\ndump\nescape\n";
  script += "press 1003\nchoose " + folder + "/ingles.kio\ndump\nescape\n";
  return script + "press 2\nanswer Yes\n";
}

TEST(ScreenLanguage, NoScreenShowsAFixedTextOfTheOtherLanguage) {
  struct Case {
    const char* languageFile;
    InterfaceLanguage shown, other;
  };
  for (const Case& c : {Case{"english.lin", InterfaceLanguage::kEnglish, InterfaceLanguage::kPortuguese},
                        Case{"portugues.lin", InterfaceLanguage::kPortuguese, InterfaceLanguage::kEnglish}}) {
    SCOPED_TRACE(c.languageFile);
    test::ProgramFolder folder;
    test::WriteFile(folder / "language.dat", c.languageFile);
    auto run = test::RunKio(folder.str(), EveryScreen(folder.str()));
    ASSERT_EQ(run.status, 0) << run.transcript;
    ASSERT_FALSE(Has(run.transcript, "SCRIPT ERROR")) << run.transcript;
    // Every editor and dialog was shown.
    for (const char* title :
         {"About Kio", "KIO Cloze", "AV - Audiovisual", "KIO Sweet Memories", "The Multiple KIO", "KIO Index",
          "KIO Menu", "Output", "KIO Lexico", "KIO Dictionary Homepage"})
      EXPECT_TRUE(Has(run.transcript, std::string("DIALOG ") + title + "\n")) << title;
    for (Fixed title :
         {Fixed::kLabelFontTitle, Fixed::kLabelAlignParagraph, Fixed::kLabelFrame1, Fixed::kCutRangeTitle,
          Fixed::kReplaceTitle, Fixed::kSearchTitle, Fixed::kSavePartTitle})
      EXPECT_TRUE(Has(run.transcript, "DIALOG " + Shown(FixedTextIn(title, c.shown)) + "\n"))
          << Shown(FixedTextIn(title, c.shown));
    const std::vector<std::string> controls = ControlTexts(run.transcript);
    auto shows = [&controls](const std::string& text) {
      return std::find(controls.begin(), controls.end(), text) != controls.end();
    };
    for (int k = 0; k < static_cast<int>(Fixed::kCount); ++k) {
      const auto id = static_cast<Fixed>(k);
      const std::string shown = Shown(FixedTextIn(id, c.shown));
      const std::string other = Shown(FixedTextIn(id, c.other));
      if (other == shown || other.empty()) continue;
      // A label is a whole control's text; a message, a message's part.
      if (IsFixedLabel(id)) {
        EXPECT_FALSE(shows(other)) << other;
        EXPECT_FALSE(Has(run.transcript, "DIALOG " + other + "\n")) << other;
      } else
        EXPECT_EQ(run.transcript.find(other), std::string::npos) << other;
    }
    // The labels named as examples: each in the screen's own language.
    for (Fixed label : {Fixed::kLabelWhatCanIDo, Fixed::kLabelSetup, Fixed::kLabelInput,
                        Fixed::kLabelBackgroundColour, Fixed::kLabelChangeFont, Fixed::kLabelEdit,
                        Fixed::kLabelOpenDictionary, Fixed::kLabelVersion, Fixed::kLabelColour,
                        Fixed::kLabelItalics, Fixed::kLabelCenter, Fixed::kLabelImage, Fixed::kLabelPackage})
      EXPECT_TRUE(shows(Shown(FixedTextIn(label, c.shown)))) << Shown(FixedTextIn(label, c.shown));
  }
}

// A refusal speaks the screen's language: Sequence's Generate on two parts,
// and the dictionary editor left without a dictionary.
TEST(ScreenLanguage, ARefusalIsInTheLanguageOfTheScreen) {
  struct Case {
    const char* languageFile;
    std::string sequence, cancelled;
  } cases[] = {
      {"english.lin", "MESSAGE Oops! | Split the text into at least 3 parts (with '+')\n",
       "MESSAGE KIO | Canceled.\n"},
      {"portugues.lin",
       Shown(test::W("MESSAGE Oops! | Segmentar texto no mínimo em 3 partes (usando '+')")) + "\n",
       "MESSAGE KIO | Cancelado.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.languageFile);
    test::ProgramFolder folder;
    test::WriteFile(folder / "language.dat", c.languageFile);
    auto run = test::RunKio(folder.str(),
                            "press 1071\ntype 1402 Era uma vez+um menino\npress 1425\nescape\nanswer No\n"
                            "press 1006\nchoose cancel\npress 2\nanswer Yes\n");
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_TRUE(Has(run.transcript, c.sequence)) << run.transcript;
    EXPECT_TRUE(Has(run.transcript, c.cancelled)) << run.transcript;
  }
}

// "Assessed?" takes the yes letter of either language, as the page reads it.
TEST(ScreenLanguage, AssessedTakesYAndSAlike) {
  for (const char* languageFile : {"english.lin", "portugues.lin"}) {
    SCOPED_TRACE(languageFile);
    for (const char* letter : {"Y", "S", "y", "s"}) {
      test::ProgramFolder folder;
      test::WriteFile(folder / "language.dat", languageFile);
      auto run = test::RunKio(folder.str(), std::string("press 1018\ntype 1940 #\ntype 1941 ") + letter +
                                                "\ntype 1942 Pergunta\ntype 1943 >a+b\ntype 1944 x+y\n"
                                                "type 1945 #\npress 1912\nescape\nanswer No\n"
                                                "press 2\nanswer Yes\n");
      ASSERT_EQ(run.status, 0) << run.transcript;
      EXPECT_FALSE(Has(run.transcript, "MESSAGE Oops!")) << letter << run.transcript;
    }
  }
}

}  // namespace
}  // namespace kio
