// How the lexical page finds a word's entry: phrases (the longest headword
// that starts at the word), affix rules (a suffix or prefix taken off or
// replaced, with the rule's note added), fallback rules and the "#^"
// catch-all. It works on the store alone, so that the lexical page and
// kio-lexicon's explain give the same answer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kio {

class LexiconStore;

namespace lexical {

// Words longer than a headword can be are not taken through the rules, and
// prefix rules go at most this deep.
constexpr size_t kLongestRuleWord = 260;
constexpr int kPrefixDepth = 16;
// Letters as the program decides them everywhere: the Windows-1252 letters,
// accented ones included.
bool IsWordLetter(char c);

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

// The tokens of a plain text (no tags and no codes) as the page cuts them:
// each run of letters is a word, every other character a token of its own.
std::vector<std::string> PlainTokens(const std::string& text);

}  // namespace lexical
}  // namespace kio
