// The dictionary store measured against SQLite holding the same entries (one
// table, an index on the headword with a case-insensitive collation, bulk
// inserts in one transaction, indexed point look-ups through a prepared
// statement), and against a naive store that does one file operation per
// step: it reads every probed slot and record from the files and moves the
// pointer file's tail on every insertion.
//
// Prints one Markdown table. --quick uses smaller sizes.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
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
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "lexicon/lexicon_text.h"
#include "platform/console.h"

namespace fs = std::filesystem;
using namespace kio;
using kio::bench::Ms;
using kio::bench::Seconds;

namespace {

// The time of `total` calls of `step`, estimated from its first `sample` calls.
double Scaled(size_t sample, size_t total, const std::function<void(size_t)>& step) {
  return Seconds([&] {
           for (size_t i = 0; i < sample; ++i) step(i);
         }) *
         static_cast<double>(total) / sample;
}

std::vector<TextEntry> Synthetic(size_t n, uint32_t seed, const char* bodyPrefix) {
  std::mt19937 rng(seed);
  std::vector<TextEntry> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    std::string h;
    int len = 5 + rng() % 8;
    for (int k = 0; k < len; ++k) h += static_cast<char>('a' + rng() % 26);
    out.push_back({h, std::string(bodyPrefix) + " " + h + ", tradução número " + std::to_string(i), {}});
  }
  return out;
}

// --- SQLite ---------------------------------------------------------------------

class Sql {
 public:
  explicit Sql(const std::string& path) {
    fs::remove(path);
    sqlite3_open(path.c_str(), &db_);
    Exec("CREATE TABLE entry (headword TEXT NOT NULL COLLATE NOCASE, body TEXT NOT NULL)");
    Exec("CREATE UNIQUE INDEX entry_headword ON entry (headword COLLATE NOCASE)");
  }
  ~Sql() { sqlite3_close(db_); }
  void Exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
      std::cerr << "sqlite: " << err << "\n";
      std::exit(1);
    }
  }
  // Bulk insert in one transaction; a headword already present is replaced.
  void Insert(const std::vector<TextEntry>& entries) {
    Exec("BEGIN");
    sqlite3_stmt* st;
    sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO entry (headword, body) VALUES (?, ?)", -1, &st, nullptr);
    for (const TextEntry& e : entries) {
      sqlite3_bind_text(st, 1, e.headword.data(), static_cast<int>(e.headword.size()), SQLITE_STATIC);
      sqlite3_bind_text(st, 2, e.body.data(), static_cast<int>(e.body.size()), SQLITE_STATIC);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Exec("COMMIT");
  }
  size_t Lookups(const std::vector<std::string>& keys) {
    sqlite3_stmt* st;
    sqlite3_prepare_v2(db_, "SELECT body FROM entry WHERE headword = ?", -1, &st, nullptr);
    size_t found = 0;
    for (const std::string& k : keys) {
      sqlite3_bind_text(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
      if (sqlite3_step(st) == SQLITE_ROW) ++found;
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return found;
  }

 private:
  sqlite3* db_ = nullptr;
};

// --- The store --------------------------------------------------------------------

// Makes `name` (in the current folder) a committed dictionary of `entries`.
void MakeDictionary(const std::string& name, const std::vector<TextEntry>& entries) {
  LexiconStore::DeriveNames(name);
  LexiconStore::WriteEmptyPair(CurrentSession().appPaths.lexiconPointerFile,
                               CurrentSession().appPaths.lexiconDataFile);
  LexiconStore store{SessionLexiconFiles()};
  store.BeginUpdate();
  PutEntries(store, entries);
  store.Commit();
  store.EndUpdate();
}

// --- The naive store: one file operation per step ---------------------------------

class Naive {
 public:
  Naive(const std::string& pointer, const std::string& data) {
    p_ = ::open(pointer.c_str(), O_RDWR);
    d_ = ::open(data.c_str(), O_RDWR);
    ::pread(p_, &count_, 4, 0);
  }
  ~Naive() {
    ::close(p_);
    ::close(d_);
  }
  std::string HeadwordAt(uint32_t n) {
    uint32_t off = 0;
    int16_t len = 0;
    ::pread(p_, &off, 4, 4 + 4 * static_cast<off_t>(n));
    ::pread(d_, &len, 2, off);
    std::string t(len > 0 ? len : 0, '\0');
    ::pread(d_, t.data(), t.size(), off + 2);
    return t.substr(0, t.find('\x1C'));
  }
  // The lower bound by reading and comparing one probed entry at a time.
  uint32_t Find(const std::string& key) {
    uint32_t lo = 1, hi = count_ - 1;
    while (lo < hi) {
      uint32_t mid = (lo + hi) / 2;
      if (CompareHeadwords(HeadwordAt(mid), key) < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }
  void Put(const TextEntry& e) {
    uint32_t at = Find(e.headword);
    std::string text = e.headword + "\x1C" + e.body + "\x02";
    // Move the tail up by one slot, 4096 bytes at a time from the end.
    ++count_;
    ::pwrite(p_, &count_, 4, 0);
    off_t end = 4 + 4 * static_cast<off_t>(count_ - 1), from = 4 + 4 * static_cast<off_t>(at);
    char buf[4096];
    while (end > from) {
      off_t c = std::min<off_t>(4096, end - from);
      ::pread(p_, buf, c, end - c);
      ::pwrite(p_, buf, c, end - c + 4);
      end -= c;
    }
    uint32_t off = static_cast<uint32_t>(::lseek(d_, 0, SEEK_END));
    int16_t len = static_cast<int16_t>(text.size());
    ::write(d_, &len, 2);
    ::write(d_, text.data(), text.size());
    ::pwrite(p_, &off, 4, 4 + 4 * static_cast<off_t>(at));
  }

 private:
  int p_, d_;
  uint32_t count_ = 0;
};

struct Row {
  std::string what;
  double store, sqlite, naive;  // seconds; negative when not measured
  std::string note;
};

}  // namespace

int main(int argc, char** argv) {
  bool quick = argc > 1 && std::string(argv[1]) == "--quick";
  const size_t kBig = quick ? 20000 : 100000;
  const size_t kFinds = quick ? 100000 : 1000000;
  ConsolePlatform console(std::cerr);
  SetPlatform(&console);
  fs::path dir = fs::temp_directory_path() / ("kio-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  CurrentSession().appPaths.programFolder = dir.string() + "/";
  std::vector<Row> rows;

  // 1. Import of the FreeDict dictionary.
  const std::string freedict = "/usr/share/dictd/freedict-eng-por.index";
  if (fs::exists(freedict)) {
    std::vector<TextEntry> entries;
    std::string error;
    double parse = Seconds([&] { ReadDictd(freedict, entries, error); });
    double store = Seconds([&] { MakeDictionary("fd.kio", entries); });
    Sql sql((dir / "fd.db").string());
    double lite = Seconds([&] { sql.Insert(entries); });
    rows.push_back({"import FreeDict (" + std::to_string(entries.size()) + " entries)", store, lite, -1,
                    "reading and converting the dictd files: " + Ms(parse) + " more"});
  }

  // 2. Merge of two synthetic dictionaries; 3. Commit; 4. Find.
  std::vector<TextEntry> a = Synthetic(kBig, 1, "a"), b = Synthetic(kBig, 2, "b");
  for (size_t i = 0; i < b.size(); i += 4) b[i].headword = a[i].headword;  // a quarter overlap
  MakeDictionary("a.kio", a);
  MakeDictionary("b.kio", b);
  double merge = Seconds([&] {
    std::string pointer, data;
    ReadWholeFile("b.kpo", pointer);
    ReadWholeFile("b.kio", data);
    std::vector<TextEntry> other;
    {
      LexiconStore source;
      source.OpenBytes(pointer, data);
      for (uint32_t n = 1; n + 1 < source.Count(); ++n) {
        uint32_t k = n;
        other.push_back({"", "", source.ReadEntry(k)});
      }
    }
    LexiconStore::DeriveNames("a.kio");
    LexiconStore store{SessionLexiconFiles()};
    store.BeginUpdate();
    PutEntries(store, other);
    store.Commit();
    store.EndUpdate();
  });
  Sql sqlMerge((dir / "merge.db").string());
  sqlMerge.Insert(a);
  double sqlMergeTime = Seconds([&] { sqlMerge.Insert(b); });
  rows.push_back({"merge " + std::to_string(kBig) + " into " + std::to_string(kBig) + " entries", merge,
                  sqlMergeTime, -1,
                  "SQLite: bulk insert (or replace) of the same entries into the filled table"});

  LexiconStore::DeriveNames("b.kio");
  LexiconStore store{SessionLexiconFiles()};
  store.BeginUpdate();
  double commit = Seconds([&] { store.Commit(); });
  Sql sqlBulk((dir / "bulk.db").string());
  double sqlBulkTime = Seconds([&] { sqlBulk.Insert(b); });
  rows.push_back({"Commit of " + std::to_string(store.Count() - 2) + " entries", commit, sqlBulkTime, -1,
                  "SQLite: bulk insert of the same entries into an empty table"});

  std::vector<std::string> keys;
  std::mt19937 rng(3);
  for (size_t i = 0; i < kFinds; ++i) {
    const std::string& h = b[rng() % b.size()].headword;
    keys.push_back(i % 2 ? h : h + "q");  // half present, half absent
  }
  size_t foundStore = 0;
  double find = Seconds([&] {
    for (const std::string& k : keys) {
      std::string key = k;
      uint32_t p = store.Find(key);
      if (!key.empty() && p != kOffLimits) ++foundStore;
    }
  });
  size_t foundSql = 0;
  double sqlFind = Seconds([&] { foundSql = sqlBulk.Lookups(keys); });
  store.EndUpdate();

  // The naive per-step store, on a sample, scaled to the same numbers.
  double naiveFind = -1, naiveMerge = -1;
  {
    Naive naive("b.kpo", "b.kio");
    naiveFind = Scaled(quick ? 2000 : 20000, kFinds, [&](size_t i) { naive.Find(keys[i]); });
  }
  {
    fs::copy_file("a.kio", "n.kio", fs::copy_options::overwrite_existing);
    fs::copy_file("a.kpo", "n.kpo", fs::copy_options::overwrite_existing);
    Naive naive("n.kpo", "n.kio");
    naiveMerge = Scaled(quick ? 200 : 1000, kBig, [&](size_t i) { naive.Put(b[i]); });
  }
  rows.push_back({std::to_string(kFinds) + " Find calls (half absent)", find, sqlFind, naiveFind,
                  "found " + std::to_string(foundStore) + " / SQLite " + std::to_string(foundSql)});
  for (Row& r : rows)
    if (r.what.rfind("merge", 0) == 0) r.naive = naiveMerge;

  std::cout << "| operation | store | SQLite | store vs SQLite | naive per-step store | notes |\n";
  std::cout << "|---|---|---|---|---|---|\n";
  for (const Row& r : rows) {
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.1fx faster", r.sqlite / r.store);
    std::cout << "| " << r.what << " | " << Ms(r.store) << " | " << Ms(r.sqlite) << " | " << ratio << " | "
              << (r.naive >= 0 ? "~" + Ms(r.naive) : "-") << " | " << r.note << " |\n";
  }
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
  return 0;
}
