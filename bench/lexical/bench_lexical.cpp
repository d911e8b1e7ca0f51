// A lexical page generated from a real text against the starter dictionary:
// the look-up over the dictionary in memory (what the editor uses) beside
// the look-up that reads one entry from the files for every probe, with no
// memory of earlier probes. Both must give the same page.
//
//   build*/bench/bench_lexical [PROGRAM_FOLDER [TEXT]]
//
// The text defaults to /usr/share/common-licenses/GPL-3 (line breaks taken as
// the editor holds them, CR LF), cut at the page's 5,000 tokens; the
// dictionary is PROGRAM_FOLDER/ingles.kio with its affix rules.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "documents/lexical_document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "platform/console.h"
#include "platform/text.h"

namespace fs = std::filesystem;
using namespace kio;
using kio::bench::Millis;
using namespace kio::lexical;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The look-up as a program without the dictionary in memory does it: every
// probe reads the entry's slot from the pointer file and its record from the
// data file, and compares headwords afresh.
class DiskLookup : public LexicalLookup {
 public:
  DiskLookup(const std::string& pointer, const std::string& data)
      : pointerFd_(open(pointer.c_str(), O_RDONLY)), dataFd_(open(data.c_str(), O_RDONLY)) {
    unsigned char b[4] = {};
    if (pread(pointerFd_, b, 4, 0) == 4) count_ = b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
  }
  ~DiskLookup() override {
    close(pointerFd_);
    close(dataFd_);
  }
  uint32_t Count() override { return count_; }
  std::string Entry(uint32_t n) override {
    unsigned char b[4] = {};
    if (n >= count_ || pread(pointerFd_, b, 4, 4 + 4 * off_t(n)) != 4) return {};
    const uint32_t offset = b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
    unsigned char l[2] = {};
    if (pread(dataFd_, l, 2, offset) != 2) return {};
    const int16_t length = static_cast<int16_t>(l[0] | l[1] << 8);
    if (length < 0 || length > kLongestRecord) return {};
    std::string text(length, '\0');
    if (pread(dataFd_, text.data(), length, offset + 2) != length) return {};
    return text;
  }
  std::string HeadwordAt(uint32_t n) override { return Headword(Entry(n)); }
  uint32_t Find(const std::string& word, bool& found) override {
    found = false;
    uint32_t low = 1, high = count_ - 1;  // the place lies in low .. high
    while (low < high) {
      const uint32_t mid = low + (high - low) / 2;
      if (CompareHeadwords(HeadwordAt(mid), word) < 0)
        low = mid + 1;
      else
        high = mid;
    }
    if (low == count_ - 1 && CompareHeadwords(word, kLastSentinelHeadword) > 0) return kOffLimits;
    found = low < count_ - 1 && CompareHeadwords(HeadwordAt(low), word) == 0;
    return low;
  }
  int ComparePrefix(const std::string& phrase, uint32_t n) override {
    const std::string h = HeadwordAt(n);
    return CompareHeadwords(phrase.substr(0, h.size()), h);
  }

 private:
  int pointerFd_, dataFd_;
  uint32_t count_ = 0;
};

struct Run {
  std::string page;
  size_t linkedWords = 0;
  size_t words = 0;
};

Run Generate(LexicalLookup& lookup, const std::vector<std::string>& tokens) {
  LexicalLinker linker(lookup);
  const auto linked = linker.LinkWords(tokens);
  std::vector<std::string> messages;
  Run run;
  run.page = PageBody(linked, {"/nonexistent/", "/nonexistent/"}, messages);
  for (const auto& t : tokens)
    if (IsWordLetter(t[0])) ++run.words;
  for (const auto& t : linked) {
    if (t.headword.empty()) continue;
    PageBuild build;
    for (const auto& part : Tokenize(t.text, build).tokens)
      if (IsWordLetter(part[0])) ++run.linkedWords;
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  ConsolePlatform console(std::cerr);
  const std::string program = argc > 1 ? argv[1] : KIO_PROGRAM_DIR;
  const std::string textFile = argc > 2 ? argv[2] : "/usr/share/common-licenses/GPL-3";
  std::ifstream in(textFile, std::ios::binary);
  std::stringstream read;
  read << in.rdbuf();
  const std::string text = ReplaceAll(read.str(), "\n", "\r\n").substr(0, kTextLimit);
  fs::current_path(program);

  std::vector<double> tokenizeMs;
  Tokens tokens;
  for (int i = 0; i < 5; ++i)
    tokenizeMs.push_back(Millis([&] {
      PageBuild build;
      tokens = Tokenize(text, build);
    }));

  LexiconStore& store = Lexicon();
  double openMs = Millis([&] {
    if (store.OpenNamed("ingles.kio") != 0) {
      std::cerr << "cannot open " << program << "/ingles.kio\n";
      std::exit(1);
    }
  });

  // The first page after the dictionary was opened, then pages again with
  // what the look-up has kept (the editor keeps it while it runs).
  Run fast;
  std::vector<double> firstMs, againMs;
  for (int i = 0; i < 5; ++i) {
    auto lookup = MemoryLookup(store);
    firstMs.push_back(Millis([&] { fast = Generate(*lookup, tokens.tokens); }));
    againMs.push_back(Millis([&] { fast = Generate(*lookup, tokens.tokens); }));
  }

  Run slow;
  std::vector<double> diskMs;
  for (int i = 0; i < 3; ++i) {
    DiskLookup disk("ingles.kpo", "ingles.kio");
    diskMs.push_back(Millis([&] { slow = Generate(disk, tokens.tokens); }));
  }
  if (slow.page != fast.page) {
    std::cerr << "the two look-ups gave different pages\n";
    return 1;
  }

  std::printf("text: %s, %zu bytes, %zu tokens (cut: %s), %zu words\n", textFile.c_str(), text.size(),
              tokens.tokens.size(), tokens.cut ? "yes" : "no", fast.words);
  std::printf("dictionary: %s/ingles.kio, %u entries\n\n", program.c_str(), store.Count() - 2);
  std::printf("| step | median ms |\n|---|---|\n");
  std::printf("| Tokenize | %.2f |\n", Median(tokenizeMs));
  std::printf("| open the dictionary (OpenNamed, once per editor) | %.2f |\n", openMs);
  std::printf("| links and page body, in memory, first page | %.2f |\n", Median(firstMs));
  std::printf("| links and page body, in memory, next pages | %.2f |\n", Median(againMs));
  std::printf("| links and page body, one file read per probe | %.2f |\n\n", Median(diskMs));
  std::printf("linked words: %zu of %zu (%.1f%%); page body %zu bytes, the same for both look-ups\n",
              fast.linkedWords, fast.words, 100.0 * fast.linkedWords / std::max<size_t>(1, fast.words),
              fast.page.size());
  return 0;
}
