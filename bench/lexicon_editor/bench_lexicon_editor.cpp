// The dictionary editor's operations timed on a dictionary of 100,000
// entries (the starter dictionary grown with generated entries) and on the
// starter dictionary itself, each beside a per-step store that works as the
// dictionary's files were first meant to be used: one read of the pointer
// file and one of the data file for every slot and record, a binary search
// that reads two entries per probe, and the pointer file's tail moved through
// a 4096-byte buffer on every insertion and deletion.
//
// Prints one Markdown table per dictionary. --quick uses fewer look-ups.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_edit.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "lexicon/lexicon_text.h"
#include "lexicon/lexicon_transfer.h"
#include "lexicon/pair_bytes.h"
#include "platform/console.h"

namespace fs = std::filesystem;
using namespace kio;
using kio::bench::Seconds;

namespace {

std::vector<TextEntry> Generated(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<TextEntry> out;
  for (size_t i = 0; i < n; ++i) {
    std::string h;
    int len = 5 + rng() % 8;
    for (int k = 0; k < len; ++k) h += static_cast<char>('a' + rng() % 26);
    out.push_back({h, "(s) " + h + ", colour number " + std::to_string(i) + "//note", {}});
  }
  return out;
}

std::string ReadAll(const std::string& path) {
  std::string s;
  ReadWholeFile(path, s);
  return s;
}

// --- The per-step store -------------------------------------------------------

class PerStepPair {
 public:
  PerStepPair(const std::string& pointer, const std::string& data) {
    p_ = ::open(pointer.c_str(), O_RDWR);
    d_ = ::open(data.c_str(), O_RDWR);
    count_ = Slot(-1);
  }
  ~PerStepPair() {
    ::close(p_);
    ::close(d_);
  }
  uint32_t Count() const { return count_; }

  std::string Read(uint32_t n) const {
    uint32_t offset = Slot(n);
    unsigned char len[2];
    if (::pread(d_, len, 2, offset) != 2) return "";
    int16_t l = static_cast<int16_t>(len[0] | len[1] << 8);
    if (l < 0 || l > kLongestRecord) return "";
    std::string text(static_cast<size_t>(l), '\0');
    if (::pread(d_, text.data(), text.size(), offset + 2) != l) return "";
    return EntryTextIsSound(text) ? text : "";
  }

  // The binary search with a halving step, two entries read per probe.
  uint32_t Find(std::string& key) const {
    uint32_t i = (count_ + 1) / 2, step = i + 1;
    for (int guard = 0; guard < 200; ++guard) {
      if (i < 1 || i > count_ - 1) return kOffLimits;
      std::string a = Headword(Read(i - 1)), b = Headword(Read(i));
      step = std::max(1u, step / 2);
      int c1 = CompareHeadwords(key, a), c2 = CompareHeadwords(key, b);
      if (c1 == 1 && c2 == -1) {
        key.clear();
        return i;
      }
      if (c2 == 0) return i;
      if (c2 == 1)
        i += step;
      else
        i -= step;
    }
    return kOffLimits;
  }

  void InsertSlot(uint32_t n) {
    ++count_;
    WriteCount();
    off_t length = ::lseek(p_, 0, SEEK_END);
    int64_t r = length - 4 * static_cast<int64_t>(n);
    int64_t k = count_;
    char buf[4096];
    while (r > 0) {
      int64_t c = std::min<int64_t>(4096, r);
      ssize_t got = ::pread(p_, buf, c, 4 * k + 4 - c);
      if (got < 0) got = 0;
      ::pwrite(p_, buf, c, 4 * k + 8 - c);
      k -= c / 4;
      r -= c;
    }
  }
  void DeleteSlot(uint32_t n) {
    off_t length = ::lseek(p_, 0, SEEK_END);
    int64_t r = length - 4 * static_cast<int64_t>(n) - 8, k = n;
    char buf[4096];
    while (r > 0) {
      int64_t c = std::min<int64_t>(4096, r);
      ssize_t got = ::pread(p_, buf, c, 4 * k + 8);
      if (got <= 0) break;
      ::pwrite(p_, buf, got, 4 * k + 4);
      r -= got;
      k += got / 4;
    }
    if (::ftruncate(p_, length - 4) != 0) return;
    --count_;
    WriteCount();
  }
  void Append(uint32_t n, const std::string& text) {
    off_t at = ::lseek(d_, 0, SEEK_END);
    std::string rec;
    PutRecord(rec, text);
    ::pwrite(d_, rec.data(), rec.size(), at);
    uint32_t o = static_cast<uint32_t>(at);
    ::pwrite(p_, &o, 4, 4 + 4 * static_cast<off_t>(n));
  }
  void Put(std::string key, const std::string& text) {
    uint32_t p = Find(key);
    if (p == kOffLimits) return;
    if (!key.empty()) DeleteSlot(p);
    InsertSlot(p);
    Append(p, text);
  }

 private:
  uint32_t Slot(int64_t n) const {
    uint32_t v = 0;
    if (::pread(p_, &v, 4, 4 + 4 * n) != 4) return 0;
    return v;
  }
  void WriteCount() { ::pwrite(p_, &count_, 4, 0); }
  int p_, d_;
  uint32_t count_;
};

// Writes a file in the per-step way: one write per piece.
struct PieceWriter {
  explicit PieceWriter(const std::string& name)
      : fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {}
  ~PieceWriter() { ::close(fd); }
  void Put(const std::string& s) {
    if (::write(fd, s.data(), s.size()) < 0) std::perror("write");
  }
  int fd;
};

// --- The measurements ---------------------------------------------------------

struct Row {
  std::string operation, store, perStep, goal;
};

void Print(const std::string& title, const std::vector<Row>& rows) {
  std::cout << "\n### " << title << "\n\n| operation | editor | per-step store | goal |\n|---|---|---|---|\n";
  for (const Row& r : rows)
    std::cout << "| " << r.operation << " | " << r.store << " | " << r.perStep << " | " << r.goal << " |\n";
}

// Measures on dictionary `name` (committed, in the current folder).
void Measure(const std::string& title, const std::string& name, bool quick) {
  LexiconStore::DeriveNames(name);
  const std::string pointerName = CurrentSession().appPaths.lexiconPointerFile;
  LexiconStore& store = Lexicon();
  double t = Seconds([&] { store.BeginUpdate(); });
  const uint32_t count = store.Count();
  std::vector<Row> rows;
  rows.push_back({"open for editing (copy to the working pair, " + std::to_string(count - 2) + " entries)",
                  bench::Ms(t, 4), "", ""});

  std::mt19937 rng(7);
  const int lookups = quick ? 2000 : 20000;
  std::vector<uint32_t> numbers;
  for (int i = 0; i < lookups; ++i) numbers.push_back(1 + rng() % (count - 2));
  std::vector<std::string> keys;
  for (uint32_t n : numbers) {
    uint32_t k = n;
    keys.push_back(Headword(store.ReadEntry(k)));
  }
  for (int i = 0; i < lookups; i += 2) keys[i] += "qx";  // half of them absent

  // Navigation: read and split one entry as the editor shows it.
  size_t shown = 0;
  t = Seconds([&] {
    for (uint32_t n : numbers) {
      uint32_t k = n;
      LexiconEntry e = store.ReadEntry(k);
      size_t pos = 0;
      shown += Headword(e, pos).size() + NextField(e, pos).size();
    }
  });
  // The per-step store on a copy of the saved pair.
  fs::copy_file(name, "perstep.kio", fs::copy_options::overwrite_existing);
  fs::copy_file(pointerName, "perstep.kpo", fs::copy_options::overwrite_existing);
  double tp;
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    tp = Seconds([&] {
      for (uint32_t n : numbers) {
        std::string e = per.Read(n);
        size_t pos = 0;
        shown += Headword(e, pos).size() + NextField(e, pos).size();
      }
    });
  }
  rows.push_back({"navigation (one entry read and shown)", bench::Ms(t / lookups, 4),
                  bench::Ms(tp / lookups, 4), "under 5 ms"});

  t = Seconds([&] {
    for (std::string k : keys) store.Find(k);
  });
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    tp = Seconds([&] {
      for (std::string k : keys) per.Find(k);
    });
  }
  rows.push_back({"Find (half present, half absent)", bench::Ms(t / lookups, 4), bench::Ms(tp / lookups, 4),
                  "under 5 ms"});

  t = Seconds([&] { SearchSegment(store, 0, "no such segment"); });
  rows.push_back({"Search through every entry (nothing found)", bench::Ms(t, 4), "", ""});

  // Text export.
  std::string text;
  t = Seconds([&] {
    ExportText(store, text);
    File f;
    f.Create("export.txt");
    f.Write(text);
    f.Close();
  });
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    tp = Seconds([&] {
      PieceWriter w("export2.txt");
      for (uint32_t n = 1; n + 1 < per.Count(); ++n) {
        std::string e = per.Read(n);
        size_t pos = 0;
        w.Put(Headword(e, pos));
        w.Put("\r\n");
        w.Put(NextFieldForExport(e, pos));
        w.Put("\r\n\r\n");
      }
    });
  }
  rows.push_back({"text export", bench::Ms(t, 4), bench::Ms(tp, 4), "under 1 s"});

  // Save part of half the entries.
  const uint32_t half = (count - 2) / 2;
  t = Seconds([&] { SavePart(store, 1, half, "half.kio"); });
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    tp = Seconds([&] {
      PieceWriter p("half2.kpo"), d("half2.kio");
      uint32_t offset = 0;
      for (uint32_t n = 1; n <= half; ++n) {
        std::string e = per.Read(n), rec, slot;
        PutU32(slot, offset);
        PutRecord(rec, e);
        p.Put(slot);
        d.Put(rec);
        offset += static_cast<uint32_t>(rec.size());
      }
    });
  }
  rows.push_back({"Save part of half the entries", bench::Ms(t, 4), bench::Ms(tp, 4), "under 1 s"});

  // Replace across all entries ("colour" is in every generated body).
  ReplaceReport rep;
  t = Seconds([&] { rep = ReplaceThroughout(store, "colour", "color"); });
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    // Every entry is read; each changed one is deleted and put again. The
    // puts are timed on a sample and scaled up.
    size_t changed = 0;
    double scan = Seconds([&] {
      for (uint32_t n = 1; n + 1 < per.Count(); ++n) {
        size_t c = 0;
        ReplaceSegment(per.Read(n), "colour", "color", c);
        if (c) ++changed;
      }
    });
    const uint32_t sample = quick ? 50 : 200;
    double puts = Seconds([&] {
      for (uint32_t i = 0; i < sample; ++i) {
        uint32_t n = 1 + (i * 7919u) % (per.Count() - 2);
        size_t c = 0;
        std::string e = ReplaceSegment(per.Read(n), "colour", "color", c);
        per.DeleteSlot(n);
        per.Put(Headword(e), e);
      }
    });
    tp = scan + puts * static_cast<double>(changed) / sample;
  }
  rows.push_back({"Replace across all entries (" + std::to_string(rep.changedEntries) + " changed)",
                  bench::Ms(t, 4), "~" + bench::Ms(tp, 4) + " (scaled)", "under 1 s"});

  t = Seconds([&] { store.Commit(); });
  rows.push_back({"Save (Commit)", bench::Ms(t, 4), "", ""});
  store.EndUpdate();

  // Merge of a dictionary of as many entries, a quarter of them shared.
  std::vector<TextEntry> other = Generated((count - 2) * 3 / 4, 99);
  {
    LexiconStore all;
    std::string p = ReadAll(pointerName), d = ReadAll(name);
    all.OpenBytes(p, d);
    for (uint32_t n = 1, step = 4; n + 1 < all.Count(); n += step) {
      uint32_t k = n;
      other.push_back({Headword(all.ReadEntry(k)), "shared", {}});
    }
  }
  LexiconStore::DeriveNames("other.kio");
  LexiconStore::WriteEmptyPair("other.kpo", "other.kio");
  {
    LexiconStore o{SessionLexiconFiles()};
    o.BeginUpdate();
    PutEntries(o, other);
    o.Commit();
    o.EndUpdate();
  }
  LexiconStore::DeriveNames(name);
  const std::string otherPointer = ReadAll("other.kpo"), otherData = ReadAll("other.kio");
  uint32_t merged = 0;
  t = Seconds([&] {
    std::vector<TextEntry> entries;
    std::vector<LexiconNotice> notices;
    ReadMergeSource(otherPointer, otherData, entries, notices);
    store.BeginUpdate();
    store.SetReplaceDuplicates(false);
    PutEntries(store, entries);
    store.SetReplaceDuplicates(true);
    store.Commit();
    merged = static_cast<uint32_t>(entries.size());
  });
  const uint32_t after = store.Count() - 2;
  store.EndUpdate();
  {
    PerStepPair per("perstep.kpo", "perstep.kio");
    const uint32_t sample = quick ? 100 : 500;
    tp = Seconds([&] {
           for (uint32_t i = 0; i < sample; ++i)
             per.Put(other[i].headword, MakeEntry(other[i].headword, other[i].body));
         }) *
         static_cast<double>(merged) / sample;
  }
  rows.push_back({"Merge of " + std::to_string(merged) + " entries into " + std::to_string(count - 2) + " (" +
                      std::to_string(after) + " after)",
                  bench::Ms(t, 4), "~" + bench::Ms(tp, 4) + " (scaled)", "under 1 s"});
  Print(title, rows);
  if (shown == 42) std::cout << "";
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  std::string starter = std::string(KIO_PROGRAM_DIR) + "/ingles.kio";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--quick")
      quick = true;
    else
      starter = a;
  }
  ConsolePlatform console(std::cerr);
  SetPlatform(&console);
  const std::string starterPointer = starter.substr(0, starter.size() - 4) + ".kpo";
  fs::path dir = fs::temp_directory_path() / ("kio-bench-editor-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  CurrentSession().appPaths.programFolder = dir.string() + "/";

  fs::copy_file(starter, "starter.kio");
  fs::copy_file(starterPointer, "starter.kpo");
  // The starter grown to 100,000 entries.
  fs::copy_file(starter, "big.kio");
  fs::copy_file(starterPointer, "big.kpo");
  LexiconStore::DeriveNames("big.kio");
  {
    LexiconStore& store = Lexicon();
    store.BeginUpdate();
    const uint32_t have = store.Count() - 2;
    std::vector<TextEntry> more = Generated(100000 - have + 200, 1);
    PutEntries(store, more);
    // Headwords that were drawn twice leave a few short; trim the rest away.
    if (store.Count() - 2 > 100000) store.DeleteRange(100001, store.Count() - 1);
    store.Commit();
    store.EndUpdate();
  }
  Measure("Starter dictionary grown to 100,000 entries", "big.kio", quick);
  Measure("Starter dictionary", "starter.kio", quick);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
}
