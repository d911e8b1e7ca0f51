// Text typed on the desktop entering the core: what Windows-1252 cannot hold
// becomes an HTML character reference instead of being lost.
#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace kio {
namespace {

TEST(DesktopText, KeepsEveryWindows1252CharacterAsItsByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252Markup(Cp1252ToUtf8(all)), all);
}

TEST(DesktopText, WritesOtherCharactersAsCharacterReferences) {
  const struct {
    const char* utf8;
    std::string cp1252;
  } cases[] = {
      {"Ação €5", Win1252("Ação €5")},
      {"日本語", "&#26085;&#26412;&#35486;"},
      {"a\xF0\x9F\x98\x80z", "a&#128512;z"},    // outside the 16-bit range
      {"Ő és ő", Win1252("&#336; és &#337;")},  // Hungarian, close to Latin-1
      {"<b>Ω</b> & co", "<b>&#937;</b> & co"},  // the teacher's markup stays as typed
      {"\xE2\x80\xAF", "&#8239;"},              // narrow no-break space
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252Markup(c.utf8), c.cp1252) << c.utf8;
}

TEST(DesktopText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  const struct {
    const char* utf8;
    const char* cp1252;
  } cases[] = {
      {"ok \xE2\x82", "ok &#65533;&#65533;"},                    // cut short at the end
      {"\xC3(", "&#65533;("},                                    // cut short by an ASCII byte
      {"\xC0\xAF", "&#65533;&#65533;"},                          // overlong "/"
      {"\xED\xA0\x80", "&#65533;&#65533;&#65533;"},              // a lone surrogate
      {"\xF4\x90\x80\x80", "&#65533;&#65533;&#65533;&#65533;"},  // past U+10FFFF
      {"\xFF", "&#65533;"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252Markup(c.utf8), c.cp1252) << c.utf8;
}

TEST(DesktopText, ReferencesReadBackAsTheTypedText) {
  // What a browser does with the page text: each reference is the character.
  std::string typed = "Grüße — 你好 🎓";
  std::string stored = Utf8ToCp1252Markup(typed);
  std::string shown;
  for (size_t i = 0; i < stored.size();) {
    if (stored.compare(i, 2, "&#") == 0) {
      size_t end = stored.find(';', i);
      AppendUtf8(shown, std::stoul(stored.substr(i + 2, end - i - 2)));
      i = end + 1;
    } else {
      shown += Cp1252ToUtf8(stored.substr(i, 1));
      ++i;
    }
  }
  EXPECT_EQ(shown, typed);
}

}  // namespace
}  // namespace kio
