// The Memory document (".mem") and its page data: up to eight pairs of
// cards, each side a short text that may hold a picture.
#pragma once
#include <array>
#include <optional>
#include <string>

#include "lang/texts.h"
#include "render/fields.h"
#include "render/page_build.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

constexpr int kMemoryPairs = 8;
constexpr size_t kCardLimit = 397;
constexpr size_t kMemoryInstructionsLimit = 14999;
extern const char kMemoryTemplate[];

struct MemoryPair {
  std::string a, b;
  bool operator==(const MemoryPair&) const = default;
};
using MemoryPairs = std::array<MemoryPair, kMemoryPairs>;

struct MemoryDocument {
  SettingsBlock settings;
  std::string instructions;
  MemoryPairs pairs;
};

// How many pairs are filled from pair 1 on, both sides, and the interface
// text that refuses them: kMemoryPairCount when the count is not 3, 4, 6 or
// 8, kBoxesOutOfOrder when a box after the counted pairs holds text; none
// when they are fine.
struct PairCount {
  int pairs = 0;
  std::optional<Ui> refusal;
};
PairCount CountPairs(const MemoryPairs& pairs);
// The pairs a saved document keeps: up to the last pair with any text, so
// that a draft (5 pairs, a half pair) is saved whole; for a playable set,
// the counted pairs.
int PairsToStore(const MemoryPairs& pairs);

// The page data: par1[j]='...'; and par2[j]='...'; for the first `count`
// pairs, each card rendered in memory mode.
std::string BuildMemoryData(const MemoryPairs& pairs, int count, PageBuild& build);

// The ".mem" fields after the settings block: the count (pairs + 1), the
// instructions, the pairs.
void StoreMemoryFields(FieldWriter& writer, const std::string& instructions, const MemoryPairs& pairs,
                       int count);
// Reads them back. Texts longer than their boxes and pairs beyond eight are
// cut; `cut` tells so. Pairs the document lacks are left empty. Returns how
// many pairs were read.
int LoadMemoryFields(FieldReader& reader, std::string& instructions, MemoryPairs& pairs, bool& cut);

// The whole document: the settings block, then the fields. Throws FileError.
MemoryDocument ReadMemoryDocument(File& file, bool& cut);
void WriteMemoryDocument(File& file, MemoryDocument& document);

// What the document's page is made of (the counted pairs); the card faces
// "facea.gif" and "faceb.gif" go beside it.
PageContent MemoryPage(const MemoryDocument& document, PageBuild& build);

}  // namespace kio
