// The four KIO activity documents that question banks map to (Multiple
// choice, Dialogical, Cloze, Memory), read and written as their files hold
// them. This is the one unit of the questions layer that reaches the
// document formats; it reads and writes them through the documents layer's
// units (src/documents), keeping the settings block's strings as stored.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "documents/lexical_document.h"
#include "documents/list_activity_document.h"
#include "documents/memory_document.h"

namespace kio::questions {

enum class DocumentKind { kMultiple, kDialogical, kCloze, kMemory };

// ".mul", ".gab", ".clo", ".mem" (any case); nothing for another name.
std::optional<DocumentKind> DocumentKindForFileName(const std::string& fileName);
std::string DocumentExtension(DocumentKind kind);  // "mul"
std::string ActivityName(DocumentKind kind);       // "Multiple choice"

// Limits of the documents, as the editors hold them (the document formats
// are those of src/documents).
constexpr size_t kListItemsPerDocument = 101;  // the editors reach items 1 to 101
constexpr size_t kItemTextLimit = kio::kItemTextLimit;
constexpr size_t kItemFileLimit = kio::kItemFileLimit;
constexpr size_t kItemParts = kItemPlusLimit + 1;  // options, answers, feedback parts
constexpr size_t kLongTextLimit = 14999;           // Cloze text and instructions, Memory instructions
constexpr size_t kCardLimit = kio::kCardLimit;
constexpr size_t kMemoryPairsMax = kMemoryPairs;

// The six texts of a Multiple choice or Dialogical item, in file order.
using ListItem = std::array<std::string, 6>;
enum ListField { kFile = 0, kAssessed, kQuestion, kFourth, kFifth, kSixth };

// A document's value. Texts are Windows-1252, as in the file.
struct KioDocument {
  DocumentKind kind = DocumentKind::kMultiple;
  // The strings of the settings block as stored, in order; empty for the
  // defaults, written as a new document of the editors has them.
  std::vector<std::string> settings;
  std::vector<ListItem> items;                             // Multiple choice, Dialogical
  std::string instructions;                                // Cloze, Memory
  std::string text;                                        // Cloze
  std::vector<std::pair<std::string, std::string>> pairs;  // Memory
  bool operator==(const KioDocument&) const = default;
};

// Reads a document of that kind. False with `error` set for a file that
// cannot be read or is damaged (a count or a text beyond its limits).
bool ReadKioDocument(const std::string& path, DocumentKind kind, KioDocument& document, std::string& error);
// The bytes of a document's file.
std::string EncodeKioDocument(const KioDocument& document, const std::string& completionMessage);
// Writes the document under `path`, whole or not at all.
bool WriteKioDocument(const std::string& path, const KioDocument& document,
                      const std::string& completionMessage, std::string& error);

// The text of a lexical page document (".hpl"): the settings block, then the
// text, as the lexical page editor reads it. False with `error` set for a
// file that cannot be read or is damaged.
bool ReadLexicalText(const std::string& path, std::string& text, std::string& error);
constexpr size_t kLexicalTextLimit = lexical::kTextLimit;

// The bytes of a Sequence document (".seq"): the settings block, the
// instructions and the text with its segments separated by '+'.
std::string EncodeSequenceDocument(const std::string& instructions, const std::string& text,
                                   const std::string& completionMessage);

}  // namespace kio::questions
