#include "lexicon/lexicon_edit.h"

#include <unistd.h>

#include <vector>

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lexicon/collation.h"
#include "lexicon/pair_bytes.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

const std::string kSegmentNotSaved =
    Win1252("Segmento não salvo: nenhum arquivo foi gravado.\r\n\r\nSegment not saved: no file was written.");

std::string ChangeRefused(uint32_t n) {
  return Win1252("A substituição tornaria inválido o verbete ") + std::to_string(n) +
         Win1252(
             " (vazio, longo demais ou fora da ordem do dicionário); ele ficou como estava.\r\n\r\n"
             "The replacement would make entry ") +
         std::to_string(n) +
         " invalid (empty, too long or outside the dictionary's order); it was left as it was.";
}

// Whether the store would take `text` as an entry filed under its headword.
bool Acceptable(LexiconStore& store, const std::string& text) {
  if (text.size() > kLongestEntry || text.find('\0') != std::string::npos || !EntryTextIsSound(text))
    return false;
  std::string key = Headword(text);
  if (key.empty() || HeadwordSortKey(key).empty()) return false;
  const uint32_t at = store.Find(key);
  if (at == kOffLimits) return false;
  return key.empty() || at + 1 != store.Count();  // found: the closing sentinel's own headword
}

}  // namespace

// --- Replace ----------------------------------------------------------------

std::string ReplaceSegment(const std::string& text, const std::string& segment,
                           const std::string& replacement, size_t& count) {
  if (segment.empty()) return text;
  std::string out;
  size_t from = 0;
  for (size_t at; (at = text.find(segment, from)) != std::string::npos; from = at + segment.size()) {
    out.append(text, from, at - from);
    out += replacement;
    ++count;
  }
  if (from == 0) return text;
  out.append(text, from, std::string::npos);
  return out;
}

std::string ReplaceInterruptQuestion(uint32_t n) {
  return Win1252("Substituindo no verbete ") + std::to_string(n) +
         Win1252(". Interromper? (Nada será substituído.)\r\n\r\nReplacing in entry ") + std::to_string(n) +
         ". Stop? (Nothing will be replaced.)";
}

ReplaceReport ReplaceThroughout(LexiconStore& store, const std::string& segment,
                                const std::string& replacement, const LexiconProgress& progress) {
  ReplaceReport report;
  const uint32_t count = store.Count();
  report.searched = count >= 2 ? count - 2 : 0;
  if (segment.empty() || !store.IsOpen()) return report;

  // First every entry is looked at as it is, so that an entry re-filed
  // further on is not met again.
  struct Change {
    uint32_t number;
    std::string text;
    size_t replacements;
  };
  std::vector<Change> changes;
  {
    ProgressLoop loop(progress, count);
    for (uint32_t n = 1; n + 1 < count; ++n) {
      uint32_t k = n;
      LexiconEntry entry = store.ReadEntry(k);
      size_t made = 0;
      std::string changed = entry.empty() ? entry : ReplaceSegment(entry, segment, replacement, made);
      if (made > 0) {
        if (Acceptable(store, changed))
          changes.push_back({n, std::move(changed), made});
        else
          store.Leave({ChangeRefused(n), "KIO"});
      }
      if (!loop.Step(n)) {
        report.stopped = true;
        return report;
      }
    }
  }

  LexiconStore::Batch batch(store);
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) store.DeleteSlot(it->number);
  for (Change& c : changes) {
    std::string key = Headword(c.text);
    if (store.PutEntry(key, c.text)) {
      report.replacements += c.replacements;
      ++report.changedEntries;
    }
  }
  return report;
}

// --- Search -----------------------------------------------------------------

std::string UpperCase1252(std::string text) {
  for (char& ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
      c -= 0x20;
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      c -= 0x10;  // š œ ž
    else if (c == 0xFF)
      c = 0x9F;  // ÿ
    ch = static_cast<char>(c);
  }
  return text;
}

uint32_t SearchSegment(LexiconStore& store, uint32_t current, const std::string& segment,
                       const LexiconProgress& progress) {
  const std::string wanted = UpperCase1252(segment.substr(0, kLongestSegment));
  const uint32_t count = store.Count();
  ProgressLoop loop(progress, count);
  for (uint32_t n = current + 1; n + 1 < count; ++n) {
    uint32_t k = n;
    LexiconEntry entry = store.ReadEntry(k);
    if (!entry.empty() && UpperCase1252(std::move(entry)).find(wanted) != std::string::npos) return n;
    if (!loop.Step(n)) return 0;
  }
  return 0;
}

std::string SearchNotFoundMessage(uint32_t searched) {
  return "Lidos " + std::to_string(searched) + " palavras." +
         Win1252("  Not found \r\n  Termo não foi encontrado.");
}

std::string SearchInterruptQuestion(uint32_t n) {
  return Win1252("Buscando no verbete ") + std::to_string(n) + ". Interromper?\r\n\r\nSearching entry " +
         std::to_string(n) + ". Stop?";
}

// --- Cut segment --------------------------------------------------------------

bool CutRangeFits(uint32_t count, uint32_t from, uint32_t to) {
  return from >= 1 && from + 2 <= count && to >= 1 && to + 1 <= count;
}

bool CutSegment(LexiconStore& store, uint32_t from, uint32_t to) {
  const uint32_t count = store.Count();
  if (!CutRangeFits(count, from, to)) return false;
  if (to < from) return true;
  // The closing sentinel stays: "up to" it means through the last entry.
  if (to + 1 == count) to = count - 2;
  return store.DeleteRange(from, to + 1);
}

// --- Save part ------------------------------------------------------------------

bool SavePartRangeFits(uint32_t count, uint32_t from, uint32_t to) {
  return from >= 1 && to >= from && to + 2 <= count;
}

std::string SavePartInterruptQuestion(uint32_t n) {
  return Win1252("Salvou até palavra ") + std::to_string(n) + ". Interromper?";
}

SavePartResult SavePart(LexiconStore& store, uint32_t from, uint32_t to, const std::string& dataFile,
                        const LexiconProgress& progress, const std::string& fileNotSaved) {
  if (!store.IsOpen() || !SavePartRangeFits(store.Count(), from, to)) return SavePartResult::kBadRange;
  const size_t dot = dataFile.find('.');
  if (dot == 0 || dot == std::string::npos) return SavePartResult::kBadName;
  const std::string pointerFile = PointerNameFor(dataFile);

  PairBytes pair(to - from + 3);
  {
    ProgressLoop loop(progress, to - from + 1);
    for (uint32_t n = from; n <= to; ++n) {
      uint32_t k = n;
      LexiconEntry entry = store.ReadEntry(k);
      if (entry.empty()) {
        if (!fileNotSaved.empty()) store.Leave({fileNotSaved, "Kio "});
        store.Leave({kSegmentNotSaved, "Kio "});
        return SavePartResult::kDamaged;
      }
      pair.Add(entry);
      if (!loop.Step(n)) {
        store.Leave({kSegmentNotSaved, "Kio "});
        return SavePartResult::kStopped;
      }
    }
  }
  pair.Close();

  try {
    for (auto [name, bytes] : {std::pair{&dataFile, &pair.data}, std::pair{&pointerFile, &pair.pointer}}) {
      File f;
      f.Create(store.Files().At(*name));
      f.Write(*bytes);
      f.Flush();
      f.Close();
    }
  } catch (const FileError& e) {
    for (const std::string* name : {&dataFile, &pointerFile})
      ::unlink(SystemName(store.Files().At(*name)).c_str());
    store.Leave({FileErrorMessage(e.cause, kSegmentNotSaved), "Kio "});
    return SavePartResult::kFileError;
  }
  return SavePartResult::kSaved;
}

}  // namespace kio
