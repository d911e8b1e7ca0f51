#include "lexicon/pair_check.h"

#include "lexicon/collation.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/pair_bytes.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

// What is wrong with a record that cannot be read.
std::string FaultText(RecordFault fault, uint32_t offset, int16_t length, size_t dataSize) {
  switch (fault) {
    case RecordFault::kOffsetBeyond:
      return "its offset " + std::to_string(offset) + " lies beyond the data file (" +
             std::to_string(dataSize) + " bytes)";
    case RecordFault::kBadLength:
      return "its record length " + std::to_string(length) + " lies outside 0 .. 4094";
    default: return "its record runs past the end of the data file";
  }
}

}  // namespace

PairCheck CheckPair(const std::string& pointer, const std::string& data, size_t listed) {
  PairCheck check;
  auto problem = [&](const std::string& text) {
    if (check.problems.size() < listed)
      check.problems.push_back(text);
    else
      ++check.unlisted;
  };
  if (pointer.size() < 4) {
    problem("the pointer file is " + std::to_string(pointer.size()) + " bytes long: it has no count");
    return check;
  }
  check.count = U32At(pointer, 0);
  const uint64_t slotsInFile = (pointer.size() - 4) / 4;
  if (check.count < 2) {
    problem("the count is " + std::to_string(check.count) + ": a dictionary has at least its two sentinels");
    return check;
  }
  if (check.count > slotsInFile) {
    problem("the count is " + std::to_string(check.count) + " but the pointer file holds only " +
            std::to_string(slotsInFile) + " slots");
    return check;
  }
  std::string previousKey, previousHeadword;
  bool havePrevious = false;
  for (uint32_t i = 0; i < check.count; ++i) {
    const std::string where = "entry " + std::to_string(i) + ": ";
    uint32_t offset = U32At(pointer, 4 + 4 * static_cast<size_t>(i));
    int16_t length = 0;
    const RecordFault fault = RecordIn(data, offset, length);
    if (fault != RecordFault::kNone) {
      problem(where + FaultText(fault, offset, length, data.size()));
      havePrevious = false;
      continue;
    }
    std::string text = data.substr(offset + 2, static_cast<size_t>(length));
    if (!EntryTextIsSound(text)) {
      problem(where + "its text is not an entry (at most 4093 bytes, with a separator and an end mark)");
      havePrevious = false;
      continue;
    }
    if (i == 0 && text != kFirstSentinel) problem(where + "the opening sentinel is missing");
    if (i + 1 == check.count && text != kLastSentinel) problem(where + "the closing sentinel is missing");
    std::string headword = Headword(text);
    if (i > 0 && i + 1 < check.count && headword.empty()) {
      problem(where + "it has no headword");
      havePrevious = false;
      continue;
    }
    std::string key = HeadwordSortKey(headword);
    if (havePrevious) {
      int c = CompareSortKeys(previousKey, key);
      if (c == 0)
        problem(where + "its headword \"" + Cp1252ToUtf8(headword) + "\" repeats entry " +
                std::to_string(i - 1));
      else if (c > 0)
        problem(where + "\"" + Cp1252ToUtf8(headword) + "\" is out of order after \"" +
                Cp1252ToUtf8(previousHeadword) + "\"");
    }
    previousKey = std::move(key);
    previousHeadword = std::move(headword);
    havePrevious = true;
  }
  return check;
}

}  // namespace kio
