// Activities made from a reading text and the dictionary that links it: a
// Cloze whose gaps are the text's content words the dictionary knows, a
// Memory of word and translation pairs, a Multiple choice asking what a word
// means, and a Sequence of the text's sentences. The text is linked the way
// the lexical page links it (phrases, affix rules), and only words whose
// entry stands in the dictionary are used. The same text, dictionary and
// settings always give the same documents.
#pragma once
#include <string>
#include <vector>

#include "questions/kio_documents.h"

namespace kio {

class LexiconStore;

namespace questions {

struct ReadingActivityOptions {
  size_t every = 4;         // one Cloze gap every `every` content words the dictionary knows
  size_t pairs = 4;         // Memory pairs: 3, 4, 6 or 8
  bool portuguese = false;  // the language of the instructions and questions
};

// The Memory sizes a teacher can ask for.
bool IsMemoryPairCount(size_t pairs);

// One word or phrase of the text that the dictionary knows.
struct ReadingWord {
  size_t position = 0;    // byte offset in the text
  std::string text;       // as it stands in the text
  std::string headword;   // the entry it counts under
  std::string sense;      // the entry's first sense, codes and notes left out
  std::string wordClass;  // "subst." from "[subst.]", "s" from a first line "(s)"; empty when unsaid
  bool content = false;   // not one of the most frequent function words
};

struct ReadingActivities {
  std::vector<ReadingWord> words;  // every known word, in text order
  std::vector<ReadingWord> gaps;   // the Cloze gaps, in text order
  KioDocument cloze, memory, multiple;
  std::string sequenceInstructions, sequenceText;
  bool hasCloze = false, hasMemory = false, hasMultiple = false, hasSequence = false;
  // What could not be made, and why (Portuguese then English).
  std::vector<std::string> notes;
};

// The first sense of an entry's body: its first line that says something
// once codes ("{...}"), word-class marks ("[subst.]", "(s)"), numbering
// ("1.") and notes ("//...") are left out, up to its first ';'. `wordClass`
// gets the first word-class mark.
std::string FirstSense(const std::string& body, std::string& wordClass);

// Whether `word` (any case) is one of the most frequent function words of
// English, Portuguese or Spanish.
bool IsFunctionWord(const std::string& word);

// Makes the activities from a lexical page's text. The store must be open.
ReadingActivities MakeReadingActivities(const std::string& text, LexiconStore& store,
                                        const ReadingActivityOptions& options);

// The documents' file names for the text document `textPath` in `folder`
// (with its trailing "/"): the text's name with ".clo", ".mem", ".mul" and
// ".seq".
struct ActivityFile {
  std::string path;
  std::string activity;  // "Cloze", "Memory", "Multiple choice", "Sequence"
};
std::vector<ActivityFile> ActivityFiles(const std::string& textPath, const std::string& folder,
                                        const ReadingActivities& made);

// Writes the documents made. Unless `replace`, nothing is written when one
// of the files exists: `error` names them. `written` lists what was written.
bool WriteReadingActivities(const std::string& textPath, const std::string& folder,
                            const ReadingActivities& made, bool replace, const std::string& completionMessage,
                            std::vector<ActivityFile>& written, std::string& error);

}  // namespace questions
}  // namespace kio
