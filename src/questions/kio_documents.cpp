#include "questions/kio_documents.h"

#include <algorithm>

#include "documents/cloze_document.h"
#include "documents/lexical_document.h"
#include "documents/list_activity_document.h"
#include "documents/memory_document.h"
#include "documents/sequence_document.h"
#include "documents/text_activity_document.h"
#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "render/fields.h"
#include "render/page_settings.h"

namespace kio::questions {

std::optional<DocumentKind> DocumentKindForFileName(const std::string& fileName) {
  const std::string lower = ToLower(fileName);
  const size_t dot = lower.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string ext = lower.substr(dot + 1);
  if (ext == "mul") return DocumentKind::kMultiple;
  if (ext == "gab") return DocumentKind::kDialogical;
  if (ext == "clo") return DocumentKind::kCloze;
  if (ext == "mem") return DocumentKind::kMemory;
  return std::nullopt;
}

std::string DocumentExtension(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kMultiple: return "mul";
    case DocumentKind::kDialogical: return "gab";
    case DocumentKind::kCloze: return "clo";
    case DocumentKind::kMemory: return "mem";
  }
  return "";
}

std::string ActivityName(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kMultiple: return "Multiple choice";
    case DocumentKind::kDialogical: return "Dialogical";
    case DocumentKind::kCloze: return "Cloze";
    case DocumentKind::kMemory: return "Memory";
  }
  return "";
}

namespace {

// The settings block of a new document of the editors, with `completionMessage`.
std::string DefaultSettings(const std::string& completionMessage) {
  const PageSettings& current = CurrentSession().pageSettings;
  SettingsBlock block{
      DefaultPageSettings(current.boxColor.empty() ? UiText(Ui::kBoxColour) : current.boxColor),
      completionMessage, ""};
  std::string bytes;
  FieldWriter writer(bytes);
  WriteSettingsBlock(writer, block);
  return bytes;
}

const char* CauseText(int cause) {
  switch (cause) {
    case kEndOfFile: return "it ends before its last field";
    case kInvalidFile: return "a field is longer than the document allows";
    default: return "it cannot be read";
  }
}

// The items as their documents keep them, the file names in the case they
// were written in: a text longer than its field is a damaged document here.
ItemListFormat StoredItems() {
  ItemListFormat format = kListActivityItems;
  format.names.clear();
  return format;
}

// The strings of the settings block at the start of `file`, as stored; the
// file is left after them.
std::vector<std::string> StoredSettings(File& file) {
  SettingsBlock block;
  ReadSettingsBlock(file, block);
  const uint64_t blockEnd = file.Position();
  file.SeekToBegin();
  FieldReader reader(file);
  std::vector<std::string> settings;
  while (file.Position() < blockEnd) settings.push_back(reader.Text(kBlockStringLimit));
  return settings;
}

}  // namespace

bool ReadKioDocument(const std::string& path, DocumentKind kind, KioDocument& doc, std::string& error) {
  doc = KioDocument{};
  doc.kind = kind;
  File file;
  if (!file.Open(path, File::kRead)) {
    error = "Cannot open " + path + ".";
    return false;
  }
  try {
    doc.settings = StoredSettings(file);
    FieldReader reader(file);
    bool cut = false;
    switch (kind) {
      case DocumentKind::kMultiple:
      case DocumentKind::kDialogical:
        for (Item& item : ReadItemList(reader, StoredItems(), cut)) {
          ListItem stored;
          std::move(item.begin(), item.end(), stored.begin());
          doc.items.push_back(std::move(stored));
        }
        break;
      case DocumentKind::kCloze: {
        TextActivityDocument cloze;
        ReadTextActivityFields(reader, kClozeFormat, cloze);
        doc.instructions = std::move(cloze.instructions);
        doc.text = std::move(cloze.text);
        break;
      }
      case DocumentKind::kMemory: {
        MemoryPairs pairs;
        const int stored = LoadMemoryFields(reader, doc.instructions, pairs, cut);
        for (int j = 0; j < stored; ++j) doc.pairs.emplace_back(pairs[j].a, pairs[j].b);
        break;
      }
    }
    if (cut) throw FileError{kInvalidFile};
  } catch (const FileError& e) {
    error = "The document " + path + " is damaged: " + CauseText(e.cause) + ".";
    doc = KioDocument{};
    return false;
  }
  return true;
}

std::string EncodeKioDocument(const KioDocument& doc, const std::string& completionMessage) {
  std::string out;
  if (doc.settings.empty())
    out = DefaultSettings(completionMessage);
  else
    for (const std::string& s : doc.settings) out += EncodeText(s);
  FieldWriter writer(out);
  switch (doc.kind) {
    case DocumentKind::kMultiple:
    case DocumentKind::kDialogical: {
      std::vector<Item> items;
      for (const ListItem& item : doc.items) items.emplace_back(item.begin(), item.end());
      WriteItemList(writer, items);
      break;
    }
    case DocumentKind::kCloze:
      WriteTextActivityFields(writer, kClozeFormat, {{}, doc.instructions, doc.text, ""});
      break;
    case DocumentKind::kMemory: {
      MemoryPairs pairs;
      const int count = static_cast<int>(std::min<size_t>(doc.pairs.size(), kMemoryPairs));
      for (int j = 0; j < count; ++j) pairs[j] = {doc.pairs[j].first, doc.pairs[j].second};
      StoreMemoryFields(writer, doc.instructions, pairs, count);
      break;
    }
  }
  return out;
}

bool ReadLexicalText(const std::string& path, std::string& text, std::string& error) {
  text.clear();
  File file;
  if (!file.Open(path, File::kRead)) {
    error = "Cannot open " + path + ".";
    return false;
  }
  try {
    text = lexical::ReadLexicalDocument(file).text;
  } catch (const FileError& e) {
    error = "The document " + path + " is damaged: " + CauseText(e.cause) + ".";
    text.clear();
    return false;
  }
  return true;
}

std::string EncodeSequenceDocument(const std::string& instructions, const std::string& text,
                                   const std::string& completionMessage) {
  std::string out = DefaultSettings(completionMessage);
  FieldWriter writer(out);
  WriteTextActivityFields(writer, kSequenceFormat, {{}, instructions, text, ""});
  return out;
}

bool WriteKioDocument(const std::string& path, const KioDocument& doc, const std::string& completionMessage,
                      std::string& error) {
  try {
    ReplacementFile out(path);
    out.Out().Write(EncodeKioDocument(doc, completionMessage));
    out.Commit();
  } catch (const FileError&) {
    error = "Cannot write " + path + ".";
    return false;
  }
  return true;
}

}  // namespace kio::questions
