#include "lexicon_test_util.h"

#include <cstdio>

#include "fileio/session.h"
#include "lexicon/lexicon_entry.h"

namespace kio::test {

const std::string kEmptyPointer("\x02\0\0\0\0\0\0\0\x0C\0\0\0", 12);
const std::string kEmptyData = std::string("\x0A\0", 2) + "\x01\x1Cinicial\x02" + std::string("\x1B\0", 2) +
                               "zzzzzzzzzzzzzzzzzzzz\x1C"
                               "final\x02";

uint32_t ReadU32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

std::string Entry(const std::string& headword, const std::string& body) { return MakeEntry(headword, body); }

namespace {
void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutRecord(std::string& out, const std::string& text) {
  out += static_cast<char>(text.size() & 0xFF);
  out += static_cast<char>((text.size() >> 8) & 0xFF);
  out += text;
}
}  // namespace

std::pair<std::string, std::string> RawPair(const std::vector<std::string>& entries) {
  std::vector<std::string> all;
  all.push_back(kFirstSentinel);
  all.insert(all.end(), entries.begin(), entries.end());
  all.push_back(kLastSentinel);
  std::string pointer, data;
  PutU32(pointer, static_cast<uint32_t>(all.size()));
  for (const std::string& e : all) {
    PutU32(pointer, static_cast<uint32_t>(data.size()));
    PutRecord(data, e);
  }
  return {pointer, data};
}

void WritePair(const std::pair<std::string, std::string>& pair) {
  WriteFile(CurrentSession().appPaths.lexiconPointerFile, pair.first);
  WriteFile(CurrentSession().appPaths.lexiconDataFile, pair.second);
}

std::pair<std::string, std::string> ReadPair() {
  return {ReadFile(CurrentSession().appPaths.lexiconPointerFile),
          ReadFile(CurrentSession().appPaths.lexiconDataFile)};
}

void ShowStoreNotices(LexiconStore& store) {
  for (const LexiconNotice& n : store.TakeNotices()) ShowMessage(n.text, n.caption, Buttons::Ok);
}

void StoreEntries(LexiconStore& store, const std::vector<std::pair<std::string, std::string>>& entries) {
  if (!fs::exists(CurrentSession().appPaths.lexiconDataFile))
    LexiconStore::WriteEmptyPair(CurrentSession().appPaths.lexiconPointerFile,
                                 CurrentSession().appPaths.lexiconDataFile);
  if (!store.BeginUpdate()) throw std::runtime_error("BeginUpdate failed");
  {
    LexiconStore::Batch batch(store);
    for (const auto& [h, b] : entries) {
      std::string key = h;
      if (!store.PutEntry(key, Entry(h, b))) throw std::runtime_error("PutEntry failed for " + h);
    }
  }
  if (!store.Commit()) throw std::runtime_error("Commit failed");
  store.EndUpdate();
}

std::vector<std::string> Headwords(LexiconStore& store) {
  std::vector<std::string> out;
  for (uint32_t n = 1; n + 1 < store.Count(); ++n) {
    uint32_t k = n;
    out.push_back(Headword(store.ReadEntry(k)));
  }
  return out;
}

DictionaryFolder::DictionaryFolder(const std::string& dataFile)
    : in_(dir_.path()), savedProgramFolder_(CurrentSession().appPaths.programFolder) {
  WriteFile(dir_ / "lexicon.dat", dataFile);
  CurrentSession().appPaths.programFolder = dir_.str() + "/";
  LexiconStore::DeriveNames(dataFile);
}

DictionaryFolder::~DictionaryFolder() { CurrentSession().appPaths.programFolder = savedProgramFolder_; }

void StoreNumberedEntries(LexiconStore& store, int n) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < n; ++i) {
    char h[16], b[16];
    std::snprintf(h, sizeof h, "w%03d", i);
    std::snprintf(b, sizeof b, "b%03d", i);
    entries.push_back({h, b});
  }
  StoreEntries(store, entries);
}

}  // namespace kio::test
