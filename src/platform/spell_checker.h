// Spell checking as the platform offers it to its text boxes. The desktop
// underlines the unknown words of the boxes where a teacher writes and puts
// suggestions and "add to my words" in their context menus; the headless
// driver lists them (`spell` in docs/headless.md). The checker itself lives
// in a higher layer, which installs it at start-up; the backends know only
// this interface.
#pragma once
#include <string>
#include <vector>

namespace kio {

// An unknown word: where it starts in the checked text (a byte offset: the
// texts are Windows-1252, one byte a character) and how many bytes it takes.
struct SpellRange {
  size_t start = 0;
  size_t length = 0;
  friend bool operator==(const SpellRange&, const SpellRange&) = default;
};

class SpellChecker {
 public:
  virtual ~SpellChecker() = default;
  // The unknown words of a text (Windows-1252), in order.
  virtual std::vector<SpellRange> Check(const std::string& text) = 0;
  // The dictionary's suggestions for a word, best first, at most `count`.
  virtual std::vector<std::string> Suggest(const std::string& word, size_t count) = 0;
  // The teacher's own word: known from now on, in every language.
  virtual void AddWord(const std::string& word) = 0;
};

// The checker installed at start-up, or nullptr: boxes are then not checked.
SpellChecker* CurrentSpellChecker();
void SetSpellChecker(SpellChecker* checker);

}  // namespace kio
