// The lexical page: a reading text in which every word or phrase the
// dictionary knows is a link that shows its entry.
//
// Generating one runs in three steps, each here without any dialog:
// Tokenize cuts the text into words, single characters, tags and rendered
// codes; LexicalLinker links each word to its entry (phrases, affix rules,
// fallbacks and the "#^" catch-all); PageBody writes the links. Look-ups go
// through a LexicalLookup, which the dialog makes over the dictionary in
// memory (fast) and the benchmark also over the files (one read per probe).
// The look-up and the linker live with the dictionary store
// (lexicon/lexical_links.h), so that kio-lexicon explains a word as the page
// links it.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lexicon/lexical_links.h"

namespace kio {

namespace lexical {

// The longest text the editor takes, and the most tokens a page holds.
constexpr size_t kTextLimit = 60000;
constexpr size_t kTokenLimit = 5000;
// Pictures at least this large are not copied beside the page.
constexpr uint64_t kPictureLimit = 40000000;

// The message shown when the text holds more tokens than a page can.
std::string TokenLimitMessage();

struct Tokens {
  std::vector<std::string> tokens;
  bool cut = false;  // the text was longer than kTokenLimit tokens
};

// Cuts the teacher's text into tokens: words (maximal runs of letters),
// single other characters, tags as they stand, and brace codes lower-cased
// and rendered. Line breaks become "<br>" tags.
Tokens Tokenize(const std::string& text);

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

}  // namespace lexical
}  // namespace kio
