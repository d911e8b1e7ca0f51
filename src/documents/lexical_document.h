// The lexical page: a reading text in which every word or phrase the
// dictionary knows is a link that shows its entry.
//
// Generating one runs in three steps, each here without any dialog:
// Tokenize cuts the text into words, single characters, tags and rendered
// codes; LexicalLinker links each word to its entry (phrases, affix rules,
// fallbacks and the "#^" catch-all); PageBody writes the links. Look-ups go
// through a LexicalLookup, which the dialog makes over the dictionary in
// memory (fast) and the benchmark also over the files (one read per probe).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fileio/file.h"
#include "render/page_build.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

class LexiconStore;

namespace lexical {

// The longest text the editor takes, and the most tokens a page holds.
constexpr size_t kTextLimit = 60000;
constexpr size_t kTokenLimit = 5000;
// Words longer than a headword can be are not taken through the rules, and
// prefix rules go at most this deep.
constexpr size_t kLongestRuleWord = 260;
constexpr int kPrefixDepth = 16;
// Pictures at least this large are not copied beside the page.
constexpr uint64_t kPictureLimit = 40000000;

// The message shown when the text holds more tokens than a page can.
std::string TokenLimitMessage();

struct Tokens {
  std::vector<std::string> tokens;
  bool cut = false;  // the text was longer than kTokenLimit tokens
};

// Letters as the program decides them everywhere: the Windows-1252 letters,
// accented ones included.
bool IsWordLetter(char c);

// Cuts the teacher's text into tokens: words (maximal runs of letters),
// single other characters, tags as they stand, and brace codes lower-cased
// and rendered. Line breaks become "<br>" tags.
Tokens Tokenize(const std::string& text, PageBuild& build);
// The same on the session's settings and marks.
Tokens Tokenize(const std::string& text);

// Same length of at least 1, and at every position equal characters or a
// "*" on either side; else equal as headwords are compared.
bool MatchPattern(const std::string& a, const std::string& b);

// Where the linker finds headwords and entries.
class LexicalLookup {
 public:
  virtual ~LexicalLookup() = default;
  // The number of entries, the two sentinels included.
  virtual uint32_t Count() = 0;
  // The position of `word`'s entry (found) or where it belongs; kOffLimits
  // when it sorts outside the sentinels.
  virtual uint32_t Find(const std::string& word, bool& found) = 0;
  // The entry text of entry `n` (empty when it cannot be read).
  virtual std::string Entry(uint32_t n) = 0;
  // The headword of entry `n`.
  virtual std::string HeadwordAt(uint32_t n) = 0;
  // -1, 0 or +1 as the first len(H) characters of `phrase` sort before,
  // equal to or after entry `n`'s headword H.
  virtual int ComparePrefix(const std::string& phrase, uint32_t n) = 0;
};

// The look-up over a dictionary the store holds in memory: the headwords'
// sort keys and every word's place are kept once computed.
std::unique_ptr<LexicalLookup> MemoryLookup(LexiconStore& store);

// One token as the linker leaves it.
struct LinkedToken {
  std::string text;      // the token (a phrase: its tokens joined)
  std::string entry;     // the entry it links to, or text 0x1C text 0x02
  std::string headword;  // empty when the token is not linked
};

// An affix rule read from the dictionary.
struct AffixRule {
  bool suffix = true;
  std::string affix;        // the ending or the beginning
  std::string replacement;  // what a suffix is replaced by
  std::string note;         // added to the entry found through the rule
  std::string body;         // the whole body, "*" removed (a fallback's text)
  bool fallback = false;
};

// Reads a rule from its headword and body; nothing for an entry that is not
// a rule of a usable form.
std::optional<AffixRule> ParseRule(const std::string& headword, const std::string& body);

class LexicalLinker {
 public:
  explicit LexicalLinker(LexicalLookup& lookup);

  // Links the tokens; phrases become one token.
  std::vector<LinkedToken> LinkWords(const std::vector<std::string>& tokens);

  const std::vector<AffixRule>& Rules() const { return rules_; }

 private:
  // The entry of the longest headword starting at token `at`; moves `at` to
  // the phrase's last token.
  std::optional<std::string> FindPhrase(const std::string& word, size_t& at);
  std::optional<std::string> ApplyAffixRules(const std::string& word, size_t& at, int depth);
  void ReadRules();

  LexicalLookup& lookup_;
  const std::vector<std::string>* tokens_ = nullptr;
  std::vector<AffixRule> rules_;
  std::optional<std::string> catchAll_;  // the body of "#^"
};

// The body of an entry as the page shows it, before the brackets are
// coloured: line breaks as " <br> ". Copies the pictures its codes name from
// the program's pictures folder into `outputFolder` (each once per
// `copied`); every picture problem is left in `messages`.
std::string PrepareEntryBody(const std::string& body, const std::string& picturesFolder,
                             const std::string& outputFolder, std::set<std::string>& copied,
                             std::vector<std::string>& messages);

struct PageBodyInputs {
  std::string picturesFolder;  // with its trailing "/"
  std::string outputFolder;    // with its trailing "/", or empty
};

// The page body: the text with each linked token as a link that shows its
// entry through the page's escreve.
std::string PageBody(const std::vector<LinkedToken>& tokens, const PageBodyInputs& inputs,
                     std::vector<std::string>& messages);

// The ".hpl" document: the settings block and the text.
struct LexicalDocument {
  SettingsBlock settings;
  std::string text;
};
// Throws FileError; a text longer than the limit is refused.
LexicalDocument ReadLexicalDocument(File& file);
void WriteLexicalDocument(File& file, LexicalDocument& document);

// What the document's page is made of, its words linked through `lookup`;
// `inputs.outputFolder` is the page's folder, where the pictures the
// entries name are copied. Picture problems are left in `messages`;
// `tokensCut` tells the text held more tokens than a page can.
PageContent LexicalPage(const LexicalDocument& document, LexicalLookup& lookup, const PageBodyInputs& inputs,
                        PageBuild& build, std::vector<std::string>& messages, bool& tokensCut);

}  // namespace lexical
}  // namespace kio
