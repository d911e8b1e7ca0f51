// Importing a question bank of 10,000 GIFT questions (every kind KIO holds,
// with names, feedback, weights and escapes, about 1.1 MB) into Multiple
// choice documents: reading the GIFT, mapping into documents, and both with
// the documents' bytes. Goal: under one second for the whole import.
#include <benchmark/benchmark.h>

#include <string>

#include "fileio/session.h"
#include "questions/gift_format.h"
#include "questions/kio_documents.h"
#include "questions/mapping.h"

namespace {

using namespace kio::questions;

std::string TenThousandQuestions() {
  std::string gift = "// A bank for the benchmark.\n\n$CATEGORY: top/bench\n\n";
  for (int i = 0; i < 10000; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
      case 0:
        gift += "::Question " + n + "::Qual é a capital número " + n +
                "\\: a \\{primeira\\}? {\n\t=Brasília#Isso!\n"
                "\t~Rio de Janeiro#Não, foi até 1960.\n\t~São Paulo#Não.\n\t~Salvador#Foi a primeira.\n"
                "\t####A capital está no Planalto Central.\n}\n\n";
        break;
      case 1: gift += "A Terra gira em torno do Sol (" + n + ").{TRUE#Errado.#Certo!}\n\n"; break;
      case 2:
        gift += "[html]<p>Quais são números <b>primos</b> (" + n +
                ")?</p> {\n\t~%50%2\n\t~%50%3\n\t~%-100%4\n"
                "\t~%-100%9\n}\n\n";
        break;
      default: gift += "Match " + n + " {\n\t=um -> one\n\t=dois -> two\n\t=três -> three\n}\n\n"; break;
    }
  }
  return gift;
}

const std::string& Bank() {
  static const std::string bank = TenThousandQuestions();
  return bank;
}

void BM_ReadGift(benchmark::State& state) {
  for (auto _ : state) {
    GiftFormat gift;
    QuestionBank bank;
    if (!gift.Read(Bank(), bank)) state.SkipWithError("the bank could not be read");
    benchmark::DoNotOptimize(bank);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Bank().size()));
}
BENCHMARK(BM_ReadGift)->Unit(benchmark::kMillisecond);

void BM_ImportGiftIntoDocuments(benchmark::State& state) {
  kio::CurrentSession().Reset();
  size_t documents = 0;
  for (auto _ : state) {
    GiftFormat gift;
    QuestionBank bank;
    gift.Read(Bank(), bank);
    ImportResult result = ImportQuestions(bank, DocumentKind::kMultiple);
    std::string bytes;
    for (const KioDocument& d : result.documents) bytes += EncodeKioDocument(d, "");
    documents = result.documents.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["documents"] = static_cast<double>(documents);
}
BENCHMARK(BM_ImportGiftIntoDocuments)->Unit(benchmark::kMillisecond);

}  // namespace
