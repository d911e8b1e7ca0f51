// Making the activities from a 5,000-token reading text (the start of the
// GPL's text, line breaks as the editor holds them) against the starter
// dictionary: linking, first senses, the Cloze, Memory, Multiple choice and
// Sequence. Goal: under 200 ms.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fileio/session.h"
#include "lexicon/lexical_links.h"
#include "lexicon/lexicon_store.h"
#include "platform/text.h"
#include "questions/reading_activities.h"

namespace {

using namespace kio;
using namespace kio::questions;

// The first 5,000 tokens (runs of letters, every other character alone) of
// the GPL's text, with CR LF line breaks.
std::string FiveThousandTokens() {
  std::ifstream in("/usr/share/common-licenses/GPL-3", std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  std::string text = ReplaceAll(whole.str(), "\n", "\r\n");
  size_t tokens = 0, at = 0;
  while (at < text.size() && tokens < 5000) {
    size_t end = at + 1;
    if (lexical::IsWordLetter(text[at]))
      while (end < text.size() && lexical::IsWordLetter(text[end])) ++end;
    at = end;
    ++tokens;
  }
  return text.substr(0, at);
}

void BM_MakeReadingActivities(benchmark::State& state) {
  CurrentSession().Reset();
  const std::string text = FiveThousandTokens();
  LexiconStore store(LexiconFiles::For(std::string(KIO_PROGRAM_DIR) + "/", "ingles.kio"));
  if (store.OpenNamed("ingles.kio") != 0) {
    state.SkipWithError("the starter dictionary could not be opened");
    return;
  }
  ReadingActivityOptions options;
  options.every = 4;
  options.pairs = 8;
  size_t gaps = 0, items = 0;
  for (auto _ : state) {
    ReadingActivities made = MakeReadingActivities(text, store, options);
    gaps = made.gaps.size();
    items = made.multiple.items.size();
    benchmark::DoNotOptimize(made);
  }
  state.counters["gaps"] = static_cast<double>(gaps);
  state.counters["questions"] = static_cast<double>(items);
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_MakeReadingActivities)->Unit(benchmark::kMillisecond);

}  // namespace
