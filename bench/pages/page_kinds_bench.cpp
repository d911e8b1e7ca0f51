// Every page kind built from 59,999 characters holding as many codes as fit,
// the most an editor lets a teacher type (the Basic page's limit; the other
// kinds take the same characters spread over their fields, or more than
// their own editor allows):
//   - "{.au}", the shortest code that renders (5 characters: 12,000 codes,
//     each a sound player of about 70 bytes);
//   - "{3.siz}" before a short phrase on every line (the shape of a long
//     formatted reading: 3,750 codes).
// Each kind runs the same steps its editor runs to make the page's data:
// Basic RenderBasicText and BuildBasicPage; Cloze, Eclipse and Sequence their
// data builders on the whole text; Multiple choice and Dialogical 21 items of
// 2,857 characters; Memory its 16 cards full (all the editor allows, 6,352
// characters) and its instructions; the lexical page its tokens and page
// body; Menu its 24 entries and title; Index 30 items of 2,000 characters.
//
//   build*/bench/page_kinds_bench
//
// Prints, for each kind and text, the median of 5 runs in milliseconds.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "activities/cloze/cloze_dlg.h"
#include "activities/dialogical/dialogical_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "activities/sequence/sequence_dlg.h"
#include "bench_timing.h"
#include "documents/basic_document.h"
#include "documents/index_document.h"
#include "documents/lexical_document.h"
#include "documents/menu_document.h"
#include "fileio/session.h"
#include "platform/headless.h"
#include "render/markup.h"

using namespace kio;

namespace {

constexpr size_t kChars = 59999;

// `unit` repeated, cut to `length` characters.
std::string Repeat(const std::string& unit, size_t length) {
  std::string text;
  while (text.size() < length) text += unit;
  text.resize(length);
  return text;
}

size_t Codes(const std::string& text) { return std::count(text.begin(), text.end(), '{'); }

struct Row {
  const char* kind;
  std::function<void(const std::string&, PageBuild&)> build;
};

// The text cut into `n` pieces of at most `size` characters.
std::vector<std::string> Pieces(const std::string& text, size_t n, size_t size) {
  std::vector<std::string> out;
  for (size_t k = 0; k < n && k * size < text.size(); ++k) out.push_back(text.substr(k * size, size));
  return out;
}

}  // namespace

int main() {
  // Messages (a list cut at its limit) go to a transcript nobody reads.
  std::istringstream script;
  std::ostringstream transcript;
  HeadlessPlatform platform(script, transcript);
  SetPlatform(&platform);
  const std::vector<std::pair<const char*, std::string>> texts = {
      {"{.au} x 12,000", Repeat("{.au}", kChars)},
      {"{3.siz} per line", Repeat("{3.siz}A line.\r\n", kChars)},
  };
  const std::vector<Row> rows = {
      {"Basic",
       [](const std::string& t, PageBuild& b) {
         BuildBasicPage("Page.htm", RenderBasicText(t, b), "body bgcolor='#FFFFFF'", "x");
       }},
      {"Cloze", [](const std::string& t, PageBuild& b) { BuildClozeData(t, b); }},
      {"Eclipse", [](const std::string& t,
                     PageBuild& b) { BuildEclipseData(t, "the a", b, CurrentSession().UiText[1]); }},
      {"Sequence",
       [](const std::string& t, PageBuild& b) {
         std::string refusal;
         BuildSequenceData(t, refusal, b);
       }},
      {"Multiple choice",
       [](const std::string& t, PageBuild& b) {
         std::vector<Item> items;
         for (const auto& q : Pieces(t, 21, 2857))
           items.push_back({"#", "S", q, ">yes+no", "Good+No", "Think"});
         BuildMultipleData(items, b);
       }},
      {"Dialogical",
       [](const std::string& t, PageBuild& b) {
         std::vector<Item> items;
         for (const auto& q : Pieces(t, 21, 2857)) items.push_back({"#", "S", q, "yes", "Good", "No"});
         BuildDialogicalData(items, b);
       }},
      {"Memory",
       [](const std::string& t, PageBuild& b) {
         MemoryPairs pairs;
         const auto cards = Pieces(t, 2 * kMemoryPairs, kCardLimit);
         for (size_t k = 0; k + 1 < cards.size(); k += 2) pairs[k / 2] = {cards[k], cards[k + 1]};
         BuildMemoryData(pairs, kMemoryPairs, b);
         std::string instructions = t.substr(0, 14999);
         RenderMarkupWithoutCollecting(instructions, b);
       }},
      {"Lexical",
       [](const std::string& t, PageBuild& b) {
         std::vector<lexical::LinkedToken> linked;
         for (auto& token : lexical::Tokenize(t, b).tokens) linked.push_back({token, "", ""});
         std::vector<std::string> messages;
         lexical::PageBody(linked, {}, messages);
       }},
      {"Menu",
       [](const std::string& t, PageBuild&) {
         MenuDocument menu;
         menu.title = t.substr(0, kMenuTextLimit);
         for (size_t k = 1; k <= kMenuEntries; ++k) menu.entries[k] = t.substr(k * 97, 97);
         BuildMenuPage(menu, "Atividade");
       }},
      {"Index",
       [](const std::string& t, PageBuild& b) {
         IndexDocument index;
         index.heading = t.substr(0, kIndexTextLimit);
         for (const auto& text : Pieces(t, 30, kIndexTextLimit)) index.items.push_back({"unit.htm", text});
         BuildIndexPage(index, "body", "bgcolor=\"#009999\"", b);
       }},
  };
  std::printf("| Page kind | Text | Characters | Codes | Median of 5 |\n|---|---|---|---|---|\n");
  for (const auto& row : rows) {
    for (const auto& [name, text] : texts) {
      std::vector<double> times;
      bool refused = false;
      for (int run = 0; run < 5; ++run) {
        CurrentSession().Reset();
        PageBuild build;
        times.push_back(kio::bench::Millis([&] { row.build(text, build); }));
        refused = refused || build.workLimitReached;
      }
      std::sort(times.begin(), times.end());
      std::printf("| %s | %s | %zu | %zu | %.1f ms%s |\n", row.kind, name, text.size(), Codes(text), times[2],
                  refused ? " (refused: a work limit)" : "");
    }
  }
  return 0;
}
