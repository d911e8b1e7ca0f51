#include "lexicon/collation.h"

#include <unicode/ucol.h>

#include <stdexcept>
#include <vector>

#include "platform/text_encoding.h"

namespace kio {
namespace {

class Collation {
 public:
  Collation() {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open("pt_BR", &status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU has no collation for Portuguese (Brazil)");
    ucol_setStrength(collator_, UCOL_SECONDARY);
    for (int b = 0; b < 256; ++b)
      unicode_[b] = static_cast<UChar>(Cp1252CodePoint(static_cast<unsigned char>(b)));
  }
  ~Collation() { ucol_close(collator_); }

  // Windows-1252 bytes to UTF-16; every byte is one code unit.
  const UChar* Widen(std::string_view text, std::vector<UChar>& buffer) const {
    buffer.resize(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) buffer[i] = unicode_[static_cast<unsigned char>(text[i])];
    return buffer.data();
  }

  int Compare(std::string_view a, std::string_view b) {
    const UChar* wa = Widen(a, bufferA_);
    const UChar* wb = Widen(b, bufferB_);
    UCollationResult r =
        ucol_strcoll(collator_, wa, static_cast<int32_t>(a.size()), wb, static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_EQUAL ? 0 : 1;
  }

  void AppendKey(std::string_view text, std::string& out) {
    const UChar* w = Widen(text, bufferA_);
    size_t start = out.size();
    int32_t room = static_cast<int32_t>(text.size() * 4 + 16);
    for (;;) {
      out.resize(start + room);
      int32_t need = ucol_getSortKey(collator_, w, static_cast<int32_t>(text.size()),
                                     reinterpret_cast<uint8_t*>(out.data() + start), room);
      if (need <= room) {
        // Drop the terminating zero: keys then compare as plain byte strings.
        out.resize(start + (need > 0 ? need - 1 : 0));
        return;
      }
      room = need;
    }
  }

 private:
  UCollator* collator_ = nullptr;
  UChar unicode_[256];
  std::vector<UChar> bufferA_, bufferB_;
};

Collation& TheCollation() {
  static Collation collation;
  return collation;
}

}  // namespace

int CompareHeadwords(std::string_view a, std::string_view b) { return TheCollation().Compare(a, b); }

void AppendHeadwordSortKey(std::string_view text, std::string& out) { TheCollation().AppendKey(text, out); }

std::string HeadwordSortKey(std::string_view text) {
  std::string key;
  AppendHeadwordSortKey(text, key);
  return key;
}

int CompareSortKeys(std::string_view a, std::string_view b) {
  // string_view compares bytes as unsigned and puts the shorter first on a common prefix.
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

}  // namespace kio
