// Spell checking of the teacher's texts: the language of the document, the
// dictionaries, the teacher's own words, and a check that looks again only
// at the paragraphs that changed.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/spell_checker.h"
#include "spelling/hunspell_dictionary.h"

namespace kio {

enum class SpellingLanguage { kPortugueseBrazil, kEnglishUs, kSpanish };
constexpr SpellingLanguage kSpellingLanguages[] = {SpellingLanguage::kPortugueseBrazil,
                                                   SpellingLanguage::kEnglishUs, SpellingLanguage::kSpanish};

// "pt_BR", "en_US", "es_ES": the dictionary's name, and the code the side
// file keeps.
std::string SpellingLanguageCode(SpellingLanguage language);
std::optional<SpellingLanguage> SpellingLanguageFromCode(const std::string& code);
// The language of a student language file ("english.stu": English);
// Portuguese (Brazil) when its name tells no language of the three.
SpellingLanguage DefaultSpellingLanguage(const std::string& studentLanguageFile);

// Where Debian installs the hunspell dictionaries.
inline constexpr char kSystemDictionaryFolder[] = "/usr/share/hunspell";

class Speller {
 public:
  explicit Speller(std::string dictionaryFolder = kSystemDictionaryFolder);
  ~Speller();

  void SetLanguage(SpellingLanguage language) { language_ = language; }
  SpellingLanguage Language() const { return language_; }
  // Whether the dictionary of the language is installed (without it nothing
  // is underlined).
  bool HasDictionary();

  // The unknown words of a text, as offsets into it. Paragraphs (lines)
  // already checked in this language are not checked again.
  std::vector<SpellRange> Check(const std::string& text);
  bool Knows(const std::string& word);
  std::vector<std::string> Suggest(const std::string& word, size_t count);
  // Known from now on, in every language (in memory only).
  void AddOwnWord(const std::string& word);

  // Forgets what was checked: the next check looks at every word again.
  void ForgetChecked();

  // How many paragraphs were looked at word by word, since the start.
  size_t ParagraphsChecked() const { return paragraphsChecked_; }

 private:
  struct PerLanguage {
    std::unique_ptr<HunspellDictionary> dictionary;
    std::unordered_map<std::string, bool> known;
    std::unordered_map<std::string, std::vector<SpellRange>> paragraphs;
  };
  PerLanguage& Current();
  bool KnowsIn(PerLanguage& in, const std::string& word);
  const std::vector<SpellRange>& CheckParagraph(PerLanguage& in, const std::string& paragraph);

  std::string folder_;
  SpellingLanguage language_ = SpellingLanguage::kPortugueseBrazil;
  std::map<SpellingLanguage, PerLanguage> languages_;
  std::set<std::string> ownWords_;
  size_t paragraphsChecked_ = 0;
};

// The teacher's own words: one a line, Windows-1252. A word is at most
// kOwnWordLimit bytes without blanks or control characters; other lines are
// left out. At most kOwnWordsFileLimit bytes are read.
constexpr size_t kOwnWordLimit = 64;
constexpr size_t kOwnWordsFileLimit = 1 << 20;
bool IsAcceptableOwnWord(const std::string& word);
std::vector<std::string> ReadOwnWords(const std::string& path);
// Appends a word; false when the file cannot be written.
bool AppendOwnWord(const std::string& path, const std::string& word);

// The language chosen for each document: lines "CODE<TAB>PATH". At most
// kRememberedDocuments are kept, the latest choices; a line that does not
// fit is left out.
constexpr size_t kRememberedDocuments = 2000;
using DocumentLanguages = std::vector<std::pair<std::string, SpellingLanguage>>;
DocumentLanguages ReadDocumentLanguages(const std::string& path);
bool WriteDocumentLanguages(const std::string& path, const DocumentLanguages& languages);

// The file names, in the program folder.
inline constexpr char kOwnWordsFileName[] = "spelling_words.txt";
inline constexpr char kDocumentLanguagesFileName[] = "spelling_languages.txt";

// The program's spell checking for the whole run (a part of the session):
// the speller, the document's language and the two files.
class Spelling {
 public:
  Spelling();
  Speller& speller() { return *speller_; }
  // Uses another dictionary folder (tests).
  void UseDictionaryFolder(const std::string& folder);

  // The editor shows document `path` ("" for a new one): its language is
  // the one remembered for it, or the student language's.
  void UseDocument(const std::string& path);
  // The teacher chose the language of the document shown; it is remembered
  // once the document has a file.
  void ChooseLanguage(SpellingLanguage language);
  // The document shown got its file (first save, Save As): a language the
  // teacher chose for it is remembered under that name.
  void DocumentSaved(const std::string& path);
  SpellingLanguage Language() const { return speller_->Language(); }

  // The speller's check and suggestions, with the teacher's words read.
  std::vector<SpellRange> Check(const std::string& text);
  std::vector<std::string> Suggest(const std::string& word, size_t count);

  // "Add to my words": known from now on, and kept in the program folder.
  bool AddOwnWord(const std::string& word);

 private:
  void LoadOwnWords();
  void Remember(const std::string& path, SpellingLanguage language);
  std::string FileInProgramFolder(const char* name) const;

  std::unique_ptr<Speller> speller_;
  bool ownWordsLoaded_ = false;
  std::string document_;
  bool chosen_ = false;  // the teacher chose the language of the document shown
};

// The session's spell checking.
Spelling& CurrentSpelling();

// The checker the app installs for the platform (SetSpellChecker): the
// session's spell checking, whatever Reset has done meanwhile.
SpellChecker& SessionSpellChecker();

}  // namespace kio
