// The lexical page's words and links: tokens, phrases, affix rules, the
// catch-all, the page body and the pictures an entry names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "documents/lexical_document.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lexicon/lexicon_store.h"
#include "platform/text_encoding.h"
#include "render/markup.h"

namespace kio {
namespace {

using namespace lexical;

// The tokens of a text, rendered in a context of their own.
Tokens TokensOf(const std::string& text) {
  PageBuild build;
  return Tokenize(text, build);
}

// A dictionary in memory with the given headwords and bodies.
class Dictionary {
 public:
  explicit Dictionary(std::initializer_list<std::pair<std::string, std::string>> entries) {
    std::string pointer, data;
    PutPairHeader(pointer, data);
    store_.OpenBytes(pointer, data, true);
    for (const auto& [h, b] : entries) {
      std::string key = h;
      store_.PutEntry(key, MakeEntry(h, b));
    }
    lookup_ = MemoryLookup(store_);
  }
  LexicalLookup& lookup() { return *lookup_; }

  // The links of a text: each token's text and the headword it links to.
  std::vector<std::pair<std::string, std::string>> Links(const std::string& text) {
    LexicalLinker linker(*lookup_);
    std::vector<std::pair<std::string, std::string>> links;
    for (const auto& t : linker.LinkWords(TokensOf(text).tokens))
      if (!t.headword.empty()) links.push_back({t.text, t.headword});
    return links;
  }
  std::vector<LinkedToken> Linked(const std::string& text) {
    LexicalLinker linker(*lookup_);
    return linker.LinkWords(TokensOf(text).tokens);
  }
  std::string Body(const std::string& text) {
    std::vector<std::string> messages;
    return PageBody(Linked(text), {}, messages);
  }

 private:
  static void PutPairHeader(std::string& pointer, std::string& data) {
    // An empty dictionary: the two sentinels.
    const std::string first = kFirstSentinel, last = kLastSentinel;
    auto u32 = [](std::string& s, uint32_t v) {
      for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto record = [](std::string& s, const std::string& t) {
      s += static_cast<char>(t.size() & 0xFF);
      s += static_cast<char>(t.size() >> 8);
      s += t;
    };
    u32(pointer, 2);
    u32(pointer, 0);
    u32(pointer, static_cast<uint32_t>(first.size() + 2));
    record(data, first);
    record(data, last);
  }

  LexiconStore store_;
  std::unique_ptr<LexicalLookup> lookup_;
};

using Links = std::vector<std::pair<std::string, std::string>>;

std::string Link(const std::string& headword, const std::string& body, const std::string& token) {
  return "<a href=\"javascript:void(0);\" onclick=\"javascript:escreve('<p><font color=\\'#FF0000\\'>" +
         headword + "</font><br>" + body + "')\">" + token + "</a>\r\n";
}

// The lexical page is cut at its own markers: the start marker and the one
// character after it stay, the page resumes at the end marker. A teacher's
// template with them is taken; an older one with the markers of the other
// pages is cut as those are.
TEST(LexicalTemplate, CutAtItsOwnMarkers) {
  EXPECT_EQ(CutAtLexicalMarkers("<p><!-- //INICIA DADOS -->\nold text\n<!-- TERMINA DADOS --></p>", "BODY"),
            "<p><!-- //INICIA DADOS -->\nBODY<!-- TERMINA DADOS --></p>");
  EXPECT_EQ(CutAtLexicalMarkers("<div><!-- //INICIA DADOS --><!-- TERMINA DADOS --></div>", "B"),
            "<div><!-- //INICIA DADOS -->B<!-- TERMINA DADOS --></div>");
  EXPECT_EQ(CutAtLexicalMarkers("<div><!-- //INICIA DADOS -->\nx\n<!//TERMINA DADOS -->\n</div>", "B"),
            "<div><!-- //INICIA DADOS -->B<!//TERMINA DADOS -->\n</div>");
  EXPECT_FALSE(CutAtLexicalMarkers("<div>no markers</div>", "B"));
  EXPECT_FALSE(CutAtLexicalMarkers("<!-- TERMINA DADOS --><!-- //INICIA DADOS -->", "B"));
}

// The reading text carries the dictionary's language, told from its name.
TEST(LexicalTemplate, TheTextIsMarkedWithTheDictionarysLanguage) {
  EXPECT_EQ(InDictionaryLanguage("ingles.kio", "<p>The cat"), "<div lang=\"en\"><p>The cat</div>");
  EXPECT_EQ(InDictionaryLanguage("/home/t/Espanol.KIO", "x"), "<div lang=\"es\">x</div>");
  EXPECT_EQ(InDictionaryLanguage("meu_dicionario.kio", "x"), "x");
}

TEST(LexicalTokens, WordsCharactersTagsAndCodes) {
  CurrentSession().Reset();
  struct Case {
    std::string text;
    std::vector<std::string> tokens;
  } cases[] = {
      {"the house.", {" ", "the", " ", "house", ".", " "}},
      {"one\r\ntwo", {" ", "one", "<br>", "two", " "}},
      // A word running into a tag keeps the word; a blank typed before a tag
      // stays.
      {"big<b>house</b>", {" ", "big", "<b>", "house", "</b>", " "}},
      {"a <b>b</b>", {" ", "a", " ", "<b>", "b", "</b>", " "}},
      // Accented letters are letters.
      {Win1252("ação já"), {" ", Win1252("ação"), " ", Win1252("já"), " "}},
      // A "<" or "{" without its closing character is a character.
      {"a<b", {" ", "a", "<", "b", " "}},
      {"a{b", {" ", "a", " ", "{", "b", " "}},
      {"it's", {" ", "it", "'", "s", " "}},
  };
  for (const auto& c : cases) EXPECT_EQ(TokensOf(c.text).tokens, c.tokens) << c.text;
  // A code is lower-cased and rendered, and takes the blank put before it.
  auto coded = TokensOf("x{I=A.JPG}y").tokens;
  ASSERT_EQ(coded.size(), 5u);
  EXPECT_EQ(coded[1], "x");
  EXPECT_EQ(coded[2], "<img src='a.jpg'  border='0'>");
  EXPECT_EQ(coded[3], "y");
}

TEST(LexicalTokens, AtMostFiveThousand) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "word ";
  Tokens t = TokensOf(text);
  EXPECT_TRUE(t.cut);
  EXPECT_EQ(t.tokens.size(), kTokenLimit);
  EXPECT_FALSE(TokensOf("word word").cut);
  EXPECT_EQ(TokenLimitMessage(), Win1252("Limite de texto ultrapassado. Apenas uma parte será processada."));
}

TEST(LexicalPatterns, MatchPattern) {
  struct Case {
    const char* a;
    const char* b;
    bool match;
  } cases[] = {{"s", "s", true}, {"ies", "ies", true}, {"ies", "*es", true}, {"ab", "a*", true},
               {"S", "s", true}, {"", "", false},      {"s", "es", false},   {"x", "s", false},
               {"*", "q", true}, {"ed", "ED", true}};
  for (const auto& c : cases) EXPECT_EQ(MatchPattern(c.a, c.b), c.match) << c.a << " " << c.b;
}

TEST(LexicalLinks, NoLinkAtAllWithoutTheCatchAll) {
  Dictionary d({{"apple", "maçã"}});
  std::string code = "{5.siz}";
  PageBuild build;
  RenderMarkup(code, build);
  EXPECT_EQ(d.Body("The cat sat.\r\nOn {5.siz}mats!"), " The cat sat.<br>On " + code + "mats! ");
  EXPECT_TRUE(d.Links("The cat sat").empty());
}

TEST(LexicalLinks, LongestPhraseCaseAndEndOfText) {
  Dictionary d({{"in", "em"}, {"in front of", "na frente de"}, {"house", "casa"}, {"front", "frente"}});
  EXPECT_EQ(d.Links("in front of the house"), (Links{{"in front of", "in front of"}, {"house", "house"}}));
  EXPECT_EQ(d.Links("in the house"), (Links{{"in", "in"}, {"house", "house"}}));
  EXPECT_EQ(d.Links("IN the House"), (Links{{"IN", "in"}, {"House", "house"}}));
  // A phrase at the very end of the text, and one before a full stop.
  EXPECT_EQ(d.Links("it was in front of"), (Links{{"in front of", "in front of"}}));
  EXPECT_EQ(d.Links("in front of."), (Links{{"in front of", "in front of"}}));
  // A phrase is one link in the page, its blanks kept.
  EXPECT_EQ(d.Body("in front of"), " " + Link("in front of", "na frente de", "in front of") + " ");
}

TEST(LexicalLinks, PluralRuleWithAndWithoutNote) {
  Dictionary plain({{"#s:-s", "^"}, {"house", "casa"}});
  EXPECT_EQ(plain.Links("houses"), (Links{{"houses", "house"}}));
  EXPECT_EQ(plain.Body("houses"), " " + Link("house", "casa", "houses") + " ");

  Dictionary noted({{"#s:-s", "^//plural"}, {"house", "casa"}});
  EXPECT_EQ(noted.Body("houses"), " " + Link("house", "casa <br>  <br> plural", "houses") + " ");
}

TEST(LexicalLinks, ReplacementPrefixRecursionAndFallback) {
  Dictionary d({{"#plural:-ies", "y//plural"},
                {"#re:re-", "^"},
                {"#un:un-", "^//not"},
                {"#ly:-ly", "*adverb//adverbio"},
                {"city", "cidade"},
                {"do", "fazer"}});
  EXPECT_EQ(d.Links("cities"), (Links{{"cities", "city"}}));
  EXPECT_EQ(d.Links("redo"), (Links{{"redo", "do"}}));
  // Two prefixes: un-, then re- on what is left.
  EXPECT_EQ(d.Links("unredo"), (Links{{"unredo", "do"}}));
  // No entry through any rule: the fallback rule's own text, under the word.
  auto linked = d.Linked("quickly");
  ASSERT_EQ(linked.size(), 3u);
  EXPECT_EQ(linked[1].headword, "quickly");
  EXPECT_EQ(linked[1].entry,
            "quickly\x1C"
            "adverb//adverbio\x02");
  EXPECT_TRUE(d.Links("table").empty());
}

// Prefix rules that each take any first letter apply again to what they
// leave: ten of them on a 26-letter word without an entry would try ten to
// the seventeenth paths; a tail that found nothing is not tried again, so
// the word finishes at once, with the results the full search gives.
TEST(LexicalLinks, ManyPrefixRulesOnALongWordFinish) {
  Dictionary d({{"#p0:*-", "^"},
                {"#p1:*-", "^"},
                {"#p2:*-", "^"},
                {"#p3:*-", "^"},
                {"#p4:*-", "^"},
                {"#p5:*-", "^"},
                {"#p6:*-", "^"},
                {"#p7:*-", "^"},
                {"#p8:*-", "^"},
                {"#p9:*-", "^//nine"},
                {"rstuvwxyz", "fim"},
                {"xyz", "xyz"}});
  EXPECT_TRUE(d.Links("zyxwvutsrqponmlkjihgfedcba").empty());
  EXPECT_TRUE(d.Links("abcdefghijklmnopqrstuvwxyzab").empty());
  // Seventeen letters off, as deep as prefixes go; one more is too deep.
  EXPECT_EQ(d.Links("abcdefghijklmnopqrstuvwxyz"), (Links{{"abcdefghijklmnopqrstuvwxyz", "rstuvwxyz"}}));
  EXPECT_TRUE(d.Links("aabcdefghijklmnopqrstuvwxyz").empty());
  EXPECT_EQ(d.Links("tuvwxyz"), (Links{{"tuvwxyz", "xyz"}}));
}

TEST(LexicalLinks, CatchAllLinksEveryUnknownWordUnderItself) {
  Dictionary d({{"#^", "Not in the dictionary"}, {"#s:-s", "^"}, {"cat", "gato"}});
  EXPECT_EQ(d.Links("cats and 42 dogs"), (Links{{"cats", "cat"}, {"and", "and"}, {"dogs", "dogs"}}));
}

TEST(LexicalLinks, RuleScanStepsPastTheCatchAll) {
  // "#^" sorts among the rules; the rules after it still apply.
  Dictionary d({{"#^", "?"}, {"#a:-s", "^"}, {"#b:-x", "^"}, {"#z:-ed", "^"}, {"walk", "andar"}});
  LexicalLinker linker(d.lookup());
  EXPECT_EQ(linker.Rules().size(), 3u);
  EXPECT_EQ(d.Links("walked"), (Links{{"walked", "walk"}}));
}

TEST(LexicalBody, BracketsQuotesApostrophesAndBackslashes) {
  Dictionary d(
      {{"o'clock", "hora"}, {"box", "[x] caixa \"grande\""}, {"it", "it's \\ ele"}, {"tab", "a\r\nb"}});
  EXPECT_EQ(
      d.Body("box"),
      " " + Link("box", "<font color=\\'#FF0000\\'>x</font><br> caixa &quot;grande&quot;", "box") + " ");
  // An apostrophe or backslash in a body cannot end the script string.
  EXPECT_EQ(d.Body("it"), " " + Link("it", "it\\'s \\\\ ele", "it") + " ");
  EXPECT_EQ(d.Body("tab"), " " + Link("tab", "a <br> b", "tab") + " ");
}

TEST(LexicalBody, ApostropheInAHeadwordIsEscaped) {
  std::vector<LinkedToken> tokens = {{"o'clock", MakeEntry("o'clock", "hora"), "o'clock"}};
  std::vector<std::string> messages;
  EXPECT_EQ(PageBody(tokens, {}, messages), Link("o\\'clock", "hora", "o'clock"));
}

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() / "pictures");
    std::filesystem::create_directories(dir_.path() / "out");
    std::filesystem::create_directories(dir_.path() / "private");
    std::ofstream(dir_.path() / "pictures" / "cat.jpg") << "CAT";
    std::ofstream(dir_.path() / "private" / "secret.txt") << "SECRET";
  }
  std::string Prepare(const std::string& body) {
    std::set<std::string> copied;
    return PrepareEntryBody(body, (dir_.path() / "pictures").string() + "/",
                            (dir_.path() / "out").string() + "/", copied, messages_);
  }
  test::TempDir dir_;
  std::vector<std::string> messages_;
};

TEST_F(Pictures, APictureIsCopiedBesideThePage) {
  EXPECT_EQ(Prepare("gato\r\n{i=cat.jpg}"), "gato <br> {i=cat.jpg}");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(test::ReadFile(dir_.path() / "out" / "cat.jpg"), "CAT");
}

TEST_F(Pictures, OnlyPlainNamesInsideThePicturesFolder) {
  for (const char* code :
       {"{i=../private/secret.txt}", "{../private/secret.txt}", "{i=/etc/passwd}", "{v=..}"}) {
    messages_.clear();
    Prepare(code);
    ASSERT_EQ(messages_.size(), 1u) << code;
    EXPECT_EQ(messages_[0].rfind(Win1252("Figura não encontrada: "), 0), 0u) << code;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "out" / "secret.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path() / "out"), {}), 0);
  messages_.clear();
  Prepare("{i=missing.jpg}");
  EXPECT_EQ(messages_, std::vector<std::string>{Win1252("Figura não encontrada: missing.jpg")});
}

}  // namespace
}  // namespace kio
