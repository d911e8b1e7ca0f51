// Interface texts by name, the file-name question and the catalogue of
// fixed texts.
#include "lang/texts.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "fileio/session.h"
#include "kio_test.h"
#include "lang/fixed_texts.h"

namespace kio {
namespace {

using test::HeadlessSession;

TEST(CheckFileNameCharacters, AsksOnceAtTheFirstCharacterOutsideTheSet) {
  CurrentSession().UiText[1] = "KIO";
  CurrentSession().UiText[178] = "Odd name. Go on?";
  {
    HeadlessSession session;
    EXPECT_EQ(CheckFileNameCharacters("cloze_01.htm"), Answer::Yes);
    EXPECT_EQ(session.transcript(), "");
  }
  for (std::string name : {std::string("my page.htm"), std::string("a-b c.htm"), test::W("lição.htm")}) {
    HeadlessSession session("answer No\n");
    EXPECT_EQ(CheckFileNameCharacters(name), Answer::No);
    EXPECT_EQ(session.transcript(), "MESSAGE KIO | Odd name. Go on?\n") << name;
  }
  HeadlessSession session("answer Yes\n");
  EXPECT_EQ(CheckFileNameCharacters("a b"), Answer::Yes);
}

}  // namespace
}  // namespace kio
