#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace kio {
namespace {

TEST(TextEncoding, EveryWindows1252ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  auto back = Utf8ToCp1252(Cp1252ToUtf8(all));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x93\xE7"), "€“ç");
}

TEST(TextEncoding, RefusesWhatWindows1252CannotHold) {
  for (const char* text : {"日本", "\xC3", "\xFF\xFE", "ok \xE2\x82", "\xF0\x9F\x98\x80"})
    EXPECT_FALSE(Utf8ToCp1252(text)) << text;
  EXPECT_THROW(Win1252("ő"), std::invalid_argument);
  EXPECT_EQ(Win1252("saída"),
            "sa\xED"
            "da");
}

TEST(TextEncoding, LineEscapesRoundTrip) {
  std::string text = "a\r\nb\tc\\d\\n";
  EXPECT_EQ(EscapeLine(text), "a\\r\\nb\\tc\\\\d\\\\n");
  EXPECT_EQ(UnescapeLine(EscapeLine(text)), text);
  // A backslash before any other letter, or at the end, is kept as it is.
  EXPECT_EQ(UnescapeLine("\\q and \\"), "\\q and \\");
}

}  // namespace
}  // namespace kio
