// The words a teacher's text is checked for, and what is skipped, in the
// three languages against Debian's dictionaries; the teacher's own words;
// the files beside the documents; the paragraphs checked again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fileio/session.h"
#include "platform/text_encoding.h"
#include "spelling/speller.h"
#include "spelling/word_finder.h"

namespace kio {
namespace {

std::vector<std::string> Words(const std::string& text, const std::vector<SpellRange>& ranges) {
  std::vector<std::string> out;
  for (const SpellRange& r : ranges) out.push_back(text.substr(r.start, r.length));
  return out;
}

struct Case {
  const char* name;
  SpellingLanguage language;
  const char* text;  // UTF-8 here, Windows-1252 to the checker
  std::vector<const char*> unknown;
};

// Loading a dictionary takes a while: the tests that only read share one
// speller.
Speller& SharedSpeller() {
  static Speller speller;
  return speller;
}

class SpellTable : public ::testing::TestWithParam<Case> {};

TEST_P(SpellTable, FindsTheUnknownWordsAndSkipsTheRest) {
  const Case& c = GetParam();
  Speller& speller = SharedSpeller();
  speller.SetLanguage(c.language);
  ASSERT_TRUE(speller.HasDictionary()) << SpellingLanguageCode(c.language);
  std::string text = Win1252(c.text);
  std::vector<std::string> expected;
  for (const char* w : c.unknown) expected.push_back(Win1252(w));
  EXPECT_EQ(Words(text, speller.Check(text)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SpellTable,
    ::testing::Values(
        Case{"PortugueseProse",
             SpellingLanguage::kPortugueseBrazil,
             "A professora escreveu uma frase com um érro e outra palavra cerrta.",
             {"érro", "cerrta"}},
        Case{"PortugueseCodesAndTags",
             SpellingLanguage::kPortugueseBrazil,
             "{img=fotoo.jpg}<b>Bom</b> dia, <font color=red>alunos</font> {h=300}{t=200} da escolla.",
             {"escolla"}},
        Case{"PortugueseGapsAreNotChecked",
             SpellingLanguage::kPortugueseBrazil,
             "O menino [comeu] a [maçã/maçãã] na cozinnha.",
             {"cozinnha"}},
        Case{"PortuguesePlusListAndHyphen",
             SpellingLanguage::kPortugueseBrazil,
             "guarda-chuva+cadeira+mezza+disse-lhe",
             {"mezza"}},
        Case{"PortugueseApostrophe",
             SpellingLanguage::kPortugueseBrazil,
             "um copo d'água e d'águaa",
             {"d'águaa"}},
        Case{"EnglishProse",
             SpellingLanguage::kEnglishUs,
             "The teacher doesn't know the studnet's name; it's a well-known problem.",
             {"studnet's"}},
        Case{
            "EnglishTypographicApostrophe", SpellingLanguage::kEnglishUs, "She didn’t see the bok.", {"bok"}},
        Case{"EnglishAddresses",
             SpellingLanguage::kEnglishUs,
             "Write to ana.silva@escola.br or see https://example.org/pagee and www.kio-site.com.br, "
             "then open exercisse.htm and fix the mistakke.",
             {"mistakke"}},
        Case{"EnglishNumbersAcronymsLetters",
             SpellingLanguage::kEnglishUs,
             "In 2024 the 3rd HTML test of KIO had x errors, sayd Mr. Smith.",
             {"sayd"}},
        Case{"EnglishEntitiesAndUnclosedMarkup",
             SpellingLanguage::kEnglishUs,
             "Caf&eacute; &#233; a < b and {open brace then wordd",
             {"wordd"}},
        Case{"SpanishProse",
             SpellingLanguage::kSpanish,
             "¿Dónde está la biblioteca? ¡El niño comió una manzanna!",
             {"manzanna"}},
        Case{"SpanishListWithCodes",
             SpellingLanguage::kSpanish,
             "{som=hola.wav}hola+adiós+graciass+<i>por favor</i>",
             {"graciass"}},
        Case{"MultiLineOffsets",
             SpellingLanguage::kEnglishUs,
             "First linne\r\nsecond line\r\nthird lyne",
             {"linne", "lyne"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordFinder, OffsetsPointAtTheWordsInTheWholeText) {
  Speller speller;
  speller.SetLanguage(SpellingLanguage::kEnglishUs);
  std::string text = "fine\r\nbadd\r\n\r\n<b>worng</b>";
  auto found = speller.Check(text);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], (SpellRange{6, 4}));
  EXPECT_EQ(found[1], (SpellRange{17, 5}));
}

TEST(WordFinder, ManyOpenersWithoutClosersAreReadOnce) {
  // 200,000 "<a" and "{" with no closer: linear, words still found.
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "<ab {bc [cd ";
  auto words = FindWords(text);
  EXPECT_FALSE(words.empty());
}

TEST(Speller, SuggestionsComeBackInWindows1252) {
  Speller& speller = SharedSpeller();
  speller.SetLanguage(SpellingLanguage::kPortugueseBrazil);
  auto suggestions = speller.Suggest(Win1252("cancao"), 5);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), Win1252("canção")), suggestions.end());
  speller.SetLanguage(SpellingLanguage::kSpanish);
  suggestions = speller.Suggest(Win1252("espanol"), 10);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), Win1252("español")), suggestions.end());
}

TEST(Speller, OwnWordsAreKnownInEveryLanguage) {
  Speller speller;
  speller.SetLanguage(SpellingLanguage::kEnglishUs);
  std::string text = "Kiotópolis is near Xuxuville; xuxuville too.";
  text = Win1252(text.c_str());
  EXPECT_EQ(Words(text, speller.Check(text)).size(), 3u);
  speller.AddOwnWord(Win1252("Kiotópolis"));
  speller.AddOwnWord("xuxuville");
  EXPECT_TRUE(speller.Check(text).empty());
  speller.SetLanguage(SpellingLanguage::kPortugueseBrazil);
  EXPECT_TRUE(speller.Knows("xuxuville"));
  // A word added with a capital stays known only so.
  EXPECT_FALSE(speller.Knows(Win1252("kiotópolis")));
}

TEST(Speller, OnlyTheChangedParagraphIsCheckedAgain) {
  Speller speller;
  speller.SetLanguage(SpellingLanguage::kEnglishUs);
  std::string text = "One paragraph here.\r\nA second one.\r\nAnd a thirdd.";
  EXPECT_EQ(speller.Check(text).size(), 1u);
  EXPECT_EQ(speller.ParagraphsChecked(), 3u);
  text.replace(text.find("second"), 6, "secnd");
  auto found = speller.Check(text);
  EXPECT_EQ(speller.ParagraphsChecked(), 4u);
  EXPECT_EQ(Words(text, found), (std::vector<std::string>{"secnd", "thirdd"}));
}

TEST(Speller, NoDictionaryUnderlinesNothing) {
  Speller speller("/nonexistent-folder");
  EXPECT_FALSE(speller.HasDictionary());
  EXPECT_TRUE(speller.Check("anything wrongg").empty());
  EXPECT_TRUE(speller.Suggest("wrongg", 3).empty());
}

TEST(Speller, Latin1DictionaryIsSpokenToInItsOwnEncoding) {
  // A small dictionary in ISO-8859-1, as older ones are.
  auto folder = std::filesystem::temp_directory_path() / ("kio-latin1-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "pt_BR.aff") << "SET ISO8859-1\nTRY aeiouç\n";
  std::ofstream(folder / "pt_BR.dic") << "2\nma\xe7\xe3\ncora\xe7\xe3o\n";
  Speller speller(folder.string());
  speller.SetLanguage(SpellingLanguage::kPortugueseBrazil);
  ASSERT_TRUE(speller.HasDictionary());
  std::string text = Win1252("maçã coração macã");
  EXPECT_EQ(Words(text, speller.Check(text)), std::vector<std::string>{Win1252("macã")});
  auto suggestions = speller.Suggest(Win1252("macã"), 3);
  ASSERT_FALSE(suggestions.empty());
  EXPECT_EQ(suggestions[0], Win1252("maçã"));
  // "œ" has no ISO-8859-1 form: the word is unknown, nothing breaks.
  EXPECT_FALSE(
      speller.Knows("\x9c"
                    "uvre"));
  std::filesystem::remove_all(folder);
}

class SpellingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().Reset();
    folder_ = std::filesystem::temp_directory_path() / ("kio-spelling-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    CurrentSession().appPaths.startFolder = folder_.string() + "/";
    CurrentSession().appPaths.studentLanguageFile = "espanol.stu";
  }
  void TearDown() override {
    CurrentSession().Reset();
    std::filesystem::remove_all(folder_);
  }
  std::string Read(const char* name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path folder_;
};

TEST_F(SpellingFiles, DefaultFollowsTheStudentLanguageAndChoicesAreRememberedPerDocument) {
  Spelling& spelling = CurrentSpelling();
  spelling.UseDocument("");
  EXPECT_EQ(spelling.Language(), SpellingLanguage::kSpanish);
  spelling.UseDocument(Win1252("/docs/Lição.clo"));
  spelling.ChooseLanguage(SpellingLanguage::kEnglishUs);
  spelling.UseDocument("/docs/other.clo");
  EXPECT_EQ(spelling.Language(), SpellingLanguage::kSpanish);
  // The name is matched whatever its case.
  spelling.UseDocument(Win1252("/docs/LIÇÃO.clo"));
  EXPECT_EQ(spelling.Language(), SpellingLanguage::kEnglishUs);
  // A choice made before the first save is kept under the name saved.
  spelling.UseDocument("");
  spelling.ChooseLanguage(SpellingLanguage::kPortugueseBrazil);
  spelling.DocumentSaved("/docs/new.seq");
  EXPECT_EQ(Read(kDocumentLanguagesFileName), Win1252("en_US\t/docs/lição.clo\r\npt_BR\t/docs/new.seq\r\n"));
  CurrentSession().Reset();
  CurrentSession().appPaths.startFolder = folder_.string() + "/";
  CurrentSpelling().UseDocument("/docs/new.seq");
  EXPECT_EQ(CurrentSpelling().Language(), SpellingLanguage::kPortugueseBrazil);
}

TEST_F(SpellingFiles, OwnWordsAreKeptInTheProgramFolderAndReadNextTime) {
  CurrentSpelling().UseDocument("");
  EXPECT_FALSE(CurrentSpelling().speller().Knows("Xuxuvilla"));
  EXPECT_TRUE(CurrentSpelling().AddOwnWord("Xuxuvilla"));
  EXPECT_FALSE(CurrentSpelling().AddOwnWord("two words"));
  EXPECT_EQ(Read(kOwnWordsFileName), "Xuxuvilla\r\n");
  CurrentSession().Reset();
  CurrentSession().appPaths.startFolder = folder_.string() + "/";
  CurrentSpelling().UseDocument("");
  EXPECT_TRUE(CurrentSpelling().speller().Knows("Xuxuvilla"));
  // The platform's checker is the session's, whatever Reset did.
  EXPECT_TRUE(SessionSpellChecker().Check("Xuxuvilla").empty());
}

TEST_F(SpellingFiles, BadSideFilesAreReadWithoutHarm) {
  std::string junk(3 << 20, 'x');  // 3 MB on one line, past the read limit
  std::ofstream(folder_ / kOwnWordsFileName, std::ios::binary)
      << "ok\r\n\r\nwith blank\r\n"
      << std::string(200, 'y') << "\n\x01\x02\nfine\n"
      << junk;
  auto words = ReadOwnWords((folder_ / kOwnWordsFileName).string());
  EXPECT_EQ(words, (std::vector<std::string>{"ok", "fine"}));
  std::ofstream(folder_ / kDocumentLanguagesFileName, std::ios::binary)
      << "xx_XX\t/a.clo\nen_US\n\tpt_BR\nes_ES\t/b.clo\nen_US\t/b.clo\n"
      << junk;
  auto languages = ReadDocumentLanguages((folder_ / kDocumentLanguagesFileName).string());
  ASSERT_EQ(languages.size(), 1u);
  EXPECT_EQ(languages[0].first, "/b.clo");
  EXPECT_EQ(languages[0].second, SpellingLanguage::kEnglishUs);
}

TEST_F(SpellingFiles, OnlyTheLatestDocumentsAreRemembered) {
  DocumentLanguages many;
  for (size_t i = 0; i < kRememberedDocuments + 10; ++i)
    many.emplace_back("/d/" + std::to_string(i) + ".clo", SpellingLanguage::kSpanish);
  std::string file = (folder_ / kDocumentLanguagesFileName).string();
  ASSERT_TRUE(WriteDocumentLanguages(file, many));
  auto read = ReadDocumentLanguages(file);
  ASSERT_EQ(read.size(), kRememberedDocuments);
  EXPECT_EQ(read.front().first, "/d/10.clo");
}

}  // namespace
}  // namespace kio
