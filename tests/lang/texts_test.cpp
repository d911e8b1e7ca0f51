// Interface texts by name, the file-name question and the catalogue of
// fixed texts.
#include "lang/texts.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/fixed_texts.h"

namespace kio {
namespace {

using test::HeadlessSession;

TEST(CheckFileNameCharacters, AsksOnceAtTheFirstCharacterOutsideTheSet) {
  CurrentSession().UiText[1] = "KIO";
  CurrentSession().UiText[178] = "Odd name. Go on?";
  {
    HeadlessSession session;
    EXPECT_EQ(CheckFileNameCharacters("cloze_01.htm"), Answer::Yes);
    EXPECT_EQ(session.transcript(), "");
  }
  for (std::string name : {std::string("my page.htm"), std::string("a-b c.htm"), test::W("lição.htm")}) {
    HeadlessSession session("answer No\n");
    EXPECT_EQ(CheckFileNameCharacters(name), Answer::No);
    EXPECT_EQ(session.transcript(), "MESSAGE KIO | Odd name. Go on?\n") << name;
  }
  HeadlessSession session("answer Yes\n");
  EXPECT_EQ(CheckFileNameCharacters("a b"), Answer::Yes);
}

// The placeholders ("%1", "%2", ...) a text holds, each once.
std::set<std::string> Placeholders(const std::string& text) {
  std::set<std::string> found;
  static const std::regex placeholder("%[0-9]");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator();
       ++it)
    found.insert(it->str());
  return found;
}

TEST(FixedTexts, EveryEntryHasBothShippedFormsAndTheSamePlaceholdersInEachForm) {
  for (int k = 0; k < static_cast<int>(Fixed::kCount); ++k) {
    const auto id = static_cast<Fixed>(k);
    SCOPED_TRACE(k);
    const std::string& pt = FixedTextIn(id, InterfaceLanguage::kPortuguese);
    const std::string& en = FixedTextIn(id, InterfaceLanguage::kEnglish);
    const std::string& own = FixedTextIn(id, InterfaceLanguage::kOwn);
    EXPECT_FALSE(pt.empty());
    EXPECT_FALSE(en.empty());
    EXPECT_EQ(Placeholders(en), Placeholders(pt)) << en;
    // A label's own form is empty: the layout's own label stays.
    if (!IsFixedLabel(id)) EXPECT_EQ(Placeholders(own), Placeholders(pt)) << own;
    // Windows-1252 throughout: no UTF-8 lead bytes left behind.
    for (const std::string* form : {&pt, &en, &own})
      EXPECT_EQ(form->find('\xC3'), std::string::npos) << *form;
  }
}

TEST(FixedTexts, TheFormFollowsTheInterfaceLanguageFile) {
  struct Case {
    const char* file;
    Fixed id;
    std::string text;
  } cases[] = {
      {"english.lin", Fixed::kPartSaved, "Segment saved. "},
      {"ENGLISH.LIN", Fixed::kPartSaved, "Segment saved. "},
      {"portugues.lin", Fixed::kPartSaved, "Segmento salvo com sucesso. "},
      {"", Fixed::kPartSaved, "Segmento salvo com sucesso. "},
      {"english.lin", Fixed::kDictionaryMustBeInFolder, "The dictionary must be in the folder:  /kio/"},
      {"portugues.lin", Fixed::kDictionaryMustBeInFolder, test::W("Dicionário deve ficar na pasta:  /kio/")},
      // A language file of the teacher's own: the program's original text.
      {"minha_lingua.lin", Fixed::kCanceled, "Cancelado / Canceled"},
  };
  for (const Case& c : cases) {
    CurrentSession().appPaths.interfaceLanguageFile = c.file;
    EXPECT_EQ(FixedText(c.id, {"/kio/"}), c.text) << c.file;
  }
  // A value is put in as it is, even one that holds a placeholder.
  CurrentSession().appPaths.interfaceLanguageFile = "english.lin";
  EXPECT_EQ(
      FixedText(Fixed::kUnmatchedBracket, {"]", "2", "50%1 off]"}),
      "The text has an unmatched bracket: \"]\" on line 2, at:\r\n50%1 off]\r\nGenerate the page anyway?");
  CurrentSession().appPaths.interfaceLanguageFile = "";
}

TEST(UiTexts, NamesReadAndWriteTheirRecords) {
  CurrentSession().UiText[73] = "changed?";
  EXPECT_EQ(UiText(Ui::kAskSaveChanges), "changed?");
  SetUiText(Ui::kMenuTitle, "Atividades do curso");
  EXPECT_EQ(CurrentSession().UiText[47], "Atividades do curso");
}

}  // namespace
}  // namespace kio
