// The unmatched-bracket check the Cloze editor runs before generating.
#include "documents/cloze_brackets.h"

#include <gtest/gtest.h>

#include "fileio/session.h"

namespace kio {
namespace {

TEST(ClozeBrackets, FindsTheFirstBracketWithoutItsPartner) {
  struct Case {
    std::string text;
    size_t position;  // npos: every bracket has its partner
    char bracket;
    int line;
    std::string excerpt;
  } cases[] = {
      {"The [cat] sat on the [mat].", std::string::npos, 0, 0, ""},
      {"no gaps at all", std::string::npos, 0, 0, ""},
      {"[a][b]", std::string::npos, 0, 0, ""},
      {"The cat] sat.", 7, ']', 1, "The cat] sat."},
      {"The [cat sat.", 4, '[', 1, "The [cat sat."},
      // A gap opened inside another: the first one never closes.
      {"a [b [c] d", 2, '[', 1, "a [b [c] d"},
      {"[a] b]", 5, ']', 1, "[a] b]"},
      {"line one\r\nline [two] and\r\nthree] end", 31, ']', 3, "three] end"},
      // Long lines are cut around the bracket.
      {"0123456789012345678901234567890123456789] 0123456789012345678901234567890123456789", 40, ']', 1,
       "...5678901234567890123456789] 01234567890123456789012..."},
  };
  for (const auto& c : cases) {
    auto found = FindUnmatchedBracket(c.text);
    if (c.position == std::string::npos) {
      EXPECT_FALSE(found) << c.text;
      continue;
    }
    ASSERT_TRUE(found) << c.text;
    EXPECT_EQ(found->position, c.position) << c.text;
    EXPECT_EQ(found->bracket, c.bracket) << c.text;
    EXPECT_EQ(found->line, c.line) << c.text;
    EXPECT_EQ(found->excerpt, c.excerpt) << c.text;
  }
}

TEST(ClozeBrackets, TheQuestionNamesTheBracketAndItsPlaceInBothLanguages) {
  // Both languages under a language file of the teacher's own; each alone
  // on the shipped languages' screens.
  CurrentSession().appPaths.interfaceLanguageFile = "minha_lingua.lin";
  std::string q = UnmatchedBracketQuestion({7, ']', 2, "The cat] sat."});
  EXPECT_NE(q.find("\"]\" na linha 2"), std::string::npos) << q;
  EXPECT_NE(q.find("\"]\" on line 2, at:\r\nThe cat] sat.\r\nGenerate the page anyway?"), std::string::npos)
      << q;
  EXPECT_LT(q.find("linha"), q.find("line")) << "Portuguese first";
  CurrentSession().appPaths.interfaceLanguageFile = "english.lin";
  EXPECT_EQ(UnmatchedBracketQuestion({7, ']', 2, "The cat] sat."}),
            "The text has an unmatched bracket: \"]\" on line 2, at:\r\nThe cat] sat.\r\nGenerate the page "
            "anyway?");
  CurrentSession().appPaths.interfaceLanguageFile = "portugues.lin";
  q = UnmatchedBracketQuestion({7, ']', 2, "The cat] sat."});
  EXPECT_NE(q.find("\"]\" na linha 2"), std::string::npos) << q;
  EXPECT_EQ(q.find("line"), std::string::npos) << q;
  CurrentSession().appPaths.interfaceLanguageFile = "";
}

}  // namespace
}  // namespace kio
