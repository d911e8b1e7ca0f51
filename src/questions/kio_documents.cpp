#include "questions/kio_documents.h"

#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
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

// The session's page settings, completion message and block status, put
// back when the document has been read: reading a bank's document does
// not change the page being built.
class KeptPageState {
 public:
  KeptPageState()
      : settings_(CurrentSession().pageSettings),
        completion_(CurrentSession().completionMessage),
        status_(CurrentSession().blockStatus) {}
  ~KeptPageState() {
    CurrentSession().pageSettings = settings_;
    CurrentSession().completionMessage = completion_;
    CurrentSession().blockStatus = status_;
  }

 private:
  PageSettings settings_;
  std::string completion_, status_;
};

std::vector<std::string> DefaultSettings(const std::string& completionMessage) {
  KeptPageState kept;
  ResetPageSettings();
  PageSettings p = CurrentSession().pageSettings;
  // As the settings block writes them: empty colours in their stored forms.
  if (p.background1.empty()) p.background1 = "body bgcolor=\"#CAC5E4\"";
  if (p.background2.empty()) p.background2 = "body bgcolor='#FFFFFF'";
  if (p.background3.empty()) p.background3 = "body bgcolor='#008080'";
  if (p.boxColor.empty()) p.boxColor = "bgcolor='#F0E8F0'";
  return {"tem_tres_frames_e_cortabela",
          p.background1,
          p.background2,
          p.background3,
          p.boxColor,
          "a_t_i_v_i_d_a_d_e__c_o_n_c_l_u_i_d_a",
          completionMessage,
          "tem_fontes_de_pagina",
          p.fontColor1 + p.fontFace1 + p.fontSize1,
          p.fontColor2 + p.fontFace2 + p.fontSize2,
          p.fontColor3 + p.fontFace3 + p.fontSize3};
}

const char* CauseText(int cause) {
  switch (cause) {
    case kEndOfFile: return "it ends before its last field";
    case kInvalidFile: return "a field is longer than the document allows";
    default: return "it cannot be read";
  }
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
    uint64_t blockEnd = 0;
    {
      KeptPageState kept;
      ReadSettingsBlock(file);
      blockEnd = file.Position();
    }
    file.SeekToBegin();
    FieldReader reader(file);
    while (file.Position() < blockEnd) doc.settings.push_back(reader.Text(kBlockStringLimit));
    switch (kind) {
      case DocumentKind::kMultiple:
      case DocumentKind::kDialogical: {
        const uint32_t count = reader.Number();
        if (count > 102) throw FileError{kInvalidFile};
        const size_t limits[] = {kItemFileLimit, 7, kItemTextLimit, kItemTextLimit, kItemTextLimit,
                                 kItemTextLimit};
        for (uint32_t i = 0; i < count; ++i) {
          ListItem item;
          for (size_t f = 0; f < 6; ++f) item[f] = reader.Text(limits[f]);
          doc.items.push_back(std::move(item));
        }
        break;
      }
      case DocumentKind::kCloze:
        doc.instructions = reader.Text(kLongTextLimit);
        doc.text = reader.Text(kLongTextLimit);
        break;
      case DocumentKind::kMemory: {
        const uint32_t count = reader.Number();
        if (count > kMemoryPairsMax + 1) throw FileError{kInvalidFile};
        doc.instructions = reader.Text(kLongTextLimit);
        for (uint32_t j = 1; j < count; ++j) {
          std::string a = reader.Text(kCardLimit);
          doc.pairs.emplace_back(std::move(a), reader.Text(kCardLimit));
        }
        break;
      }
    }
  } catch (const FileError& e) {
    error = "The document " + path + " is damaged: " + CauseText(e.cause) + ".";
    doc = KioDocument{};
    return false;
  }
  return true;
}

std::string EncodeKioDocument(const KioDocument& doc, const std::string& completionMessage) {
  std::string out;
  for (const std::string& s : doc.settings.empty() ? DefaultSettings(completionMessage) : doc.settings)
    out += EncodeText(s);
  switch (doc.kind) {
    case DocumentKind::kMultiple:
    case DocumentKind::kDialogical:
      out += EncodeNumber(static_cast<uint32_t>(doc.items.size()));
      for (const ListItem& item : doc.items)
        for (const std::string& text : item) out += EncodeText(text);
      break;
    case DocumentKind::kCloze: out += EncodeText(doc.instructions) + EncodeText(doc.text); break;
    case DocumentKind::kMemory:
      out += EncodeNumber(static_cast<uint32_t>(doc.pairs.size() + 1)) + EncodeText(doc.instructions);
      for (const auto& [a, b] : doc.pairs) out += EncodeText(a) + EncodeText(b);
      break;
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
    {
      KeptPageState kept;
      ReadSettingsBlock(file);
    }
    FieldReader reader(file);
    text = reader.Text(kLexicalTextLimit);
  } catch (const FileError& e) {
    error = "The document " + path + " is damaged: " + CauseText(e.cause) + ".";
    text.clear();
    return false;
  }
  return true;
}

std::string EncodeSequenceDocument(const std::string& instructions, const std::string& text,
                                   const std::string& completionMessage) {
  // The same fields, in the same order, as a Cloze document.
  KioDocument doc;
  doc.kind = DocumentKind::kCloze;
  doc.instructions = instructions;
  doc.text = text;
  return EncodeKioDocument(doc, completionMessage);
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
