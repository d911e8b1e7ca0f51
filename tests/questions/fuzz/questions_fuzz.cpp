// libFuzzer target for the question-bank readers, one per run, chosen by
// KIO_FUZZ_READER (gift, aiken, moodlexml). A bank that reads is also
// mapped into each of the four documents and written back out in GIFT and
// Moodle XML, so the mapping meets whatever a reader lets through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fileio/session.h"
#include "questions/gift_format.h"
#include "questions/mapping.h"
#include "questions/moodle_xml_format.h"
#include "questions/question_format.h"

using namespace kio::questions;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const std::string reader = [] {
    const char* r = std::getenv("KIO_FUZZ_READER");
    return std::string(r ? r : "gift");
  }();
  static auto format = FormatNamed(reader);
  if (!format) std::abort();
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  QuestionBank bank;
  if (!format->Read(input, bank)) {
    if (format->ErrorString().empty() || !bank.questions.empty()) std::abort();
    return 0;
  }
  kio::CurrentSession().Reset();
  for (DocumentKind kind :
       {DocumentKind::kMultiple, DocumentKind::kDialogical, DocumentKind::kCloze, DocumentKind::kMemory}) {
    ImportResult result = ImportQuestions(bank, kind);
    for (const KioDocument& d : result.documents) {
      if (d.items.size() > kListItemsPerDocument || d.text.size() > kLongTextLimit ||
          d.instructions.size() > kLongTextLimit || d.pairs.size() > kMemoryPairsMax)
        std::abort();
      GiftFormat gift;
      MoodleXmlFormat xml;
      std::string out, error;
      ExportDocument(d, gift, out, error);
      ExportDocument(d, xml, out, error);
    }
  }
  return 0;
}
