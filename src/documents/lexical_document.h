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
#include <unordered_map>
#include <vector>

#include "documents/reading_document.h"
#include "fileio/file.h"
#include "lexicon/lexical_links.h"
#include "render/page_build.h"
#include "render/page_settings.h"
#include "render/write_page.h"

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
Tokens Tokenize(const std::string& text, PageBuild& build);

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
  // The dictionary's file name: the page's text is marked with the language
  // it tells (InDictionaryLanguage). Empty: the page's language.
  std::string dictionaryFile;
};

// The page body: the text with each linked token as a link that shows its
// entry through the page's escreve.
std::string PageBody(const std::vector<LinkedToken>& tokens, const PageBodyInputs& inputs,
                     std::vector<std::string>& messages);

// The page body marked with the language of the dictionary's words, told
// from the dictionary's file name the way the page language is told from
// the student language file's ("ingles.kio" gives "en"), so that a screen
// reader reads the text with that language's voice. A name that tells no
// language leaves the body as it is, in the page's language.
std::string InDictionaryLanguage(const std::string& dictionaryFile, const std::string& body);

// Puts the page body into the filled lexical template: the template up to
// and including "<!-- //INICIA DADOS -->" and the one character after it,
// the body, then the template from "<!-- TERMINA DADOS -->" on. A template
// without both (an older one) is cut at the markers every page uses
// (CutAtMarkers). Empty when neither pair is there.
std::optional<std::string> CutAtLexicalMarkers(const std::string& page, const std::string& body);

// The ".hpl" document: the settings block and the text.
using LexicalDocument = ReadingDocument;
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
