// One hunspell dictionary, spoken to in the program's Windows-1252 texts.
// Hunspell dictionaries keep their words in the encoding their ".aff" file
// names (Debian's: UTF-8; older ones ISO-8859-1); words go in and
// suggestions come back through that encoding, and a suggestion with no
// Windows-1252 form is left out.
#pragma once
#include <memory>
#include <string>
#include <vector>

class Hunspell;

namespace kio {

class HunspellDictionary {
 public:
  // Loads `<folder>/<name>.aff` and `.dic`; Loaded() tells whether it could.
  HunspellDictionary(const std::string& folder, const std::string& name);
  ~HunspellDictionary();
  HunspellDictionary(const HunspellDictionary&) = delete;
  HunspellDictionary& operator=(const HunspellDictionary&) = delete;

  bool Loaded() const { return hunspell_ != nullptr; }
  bool Knows(const std::string& word) const;
  std::vector<std::string> Suggest(const std::string& word, size_t count) const;
  // Known for the rest of the run (the teacher's own words).
  void Add(const std::string& word);

 private:
  // The word in the dictionary's encoding; false when it has no form there.
  bool ToDictionary(const std::string& word, std::string& out) const;
  bool FromDictionary(const std::string& word, std::string& out) const;

  std::unique_ptr<Hunspell> hunspell_;
  bool utf8_ = false;
};

}  // namespace kio
