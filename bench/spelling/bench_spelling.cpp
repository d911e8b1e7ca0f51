// Checking a 60,000-character teacher's text (Portuguese prose with codes,
// tags, gaps, "+" lists and addresses, one word in twenty misspelt): the
// whole text with empty caches, and the same text again after one
// paragraph changed, as the text box checks it while the teacher types.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/text_encoding.h"
#include "spelling/speller.h"

namespace {

std::string SixtyThousandCharacters() {
  const std::string paragraph = kio::Win1252(
      "A professora {img=foto.jpg}escreveu no quadro uma <b>frase</b> sobre a cidade e o campo. Os alunos "
      "leram o texto [devagar] e responderam as perguntas com cuidado; depois visitaram www.exemplo.com.br "
      "e escreveram para ana@escola.br. casa+mesa+cadeira+janella. O menino comeu a maçã na cozinha, "
      "enquanto a menina estudava geografia e história com a avó.");
  std::string text;
  int n = 0;
  while (text.size() < 60000) {
    // Every paragraph differs a little, as a real text does.
    text += paragraph + " Parágrafo " + std::to_string(++n) + " palavraa" + std::to_string(n % 7) + ".\r\n";
  }
  text.resize(60000);
  return text;
}

void CheckWholeText(benchmark::State& state) {
  const std::string text = SixtyThousandCharacters();
  size_t unknown = 0;
  kio::Speller speller;  // the dictionary loads outside the timing
  speller.SetLanguage(kio::SpellingLanguage::kPortugueseBrazil);
  speller.HasDictionary();
  for (auto _ : state) {
    state.PauseTiming();
    speller.ForgetChecked();
    state.ResumeTiming();
    unknown = speller.Check(text).size();
    benchmark::DoNotOptimize(unknown);
  }
  state.counters["chars"] = static_cast<double>(text.size());
  state.counters["unknown"] = static_cast<double>(unknown);
}
BENCHMARK(CheckWholeText)->Unit(benchmark::kMillisecond);

void CheckAfterOneParagraphChanged(benchmark::State& state) {
  std::string text = SixtyThousandCharacters();
  kio::Speller speller;
  speller.SetLanguage(kio::SpellingLanguage::kPortugueseBrazil);
  speller.Check(text);
  size_t middle = text.find("cidade", text.size() / 2);
  int edit = 0;
  for (auto _ : state) {
    // A letter typed in one paragraph, then the whole box checked.
    text[middle] = (++edit % 2) ? 'C' : 'c';
    benchmark::DoNotOptimize(speller.Check(text));
  }
}
BENCHMARK(CheckAfterOneParagraphChanged)->Unit(benchmark::kMillisecond);

}  // namespace
