// Dictionaries as text: the export layout read back, and dictd dictionaries.
#include "lexicon/lexicon_text.h"

#include <gtest/gtest.h>

#include "kio_test.h"

namespace kio {
bool operator==(const TextEntry& a, const TextEntry& b) {
  return a.headword == b.headword && a.body == b.body;
}
std::ostream& operator<<(std::ostream& os, const TextEntry& e) { return os << e.headword << " | " << e.body; }
}  // namespace kio

namespace kio::test {
namespace {

TEST(LexiconText, ExportWritesHeadwordFirstFieldAndABlankLine) {
  EXPECT_EQ(ExportEntryText("ir\x1Cto go//ir\x02"), "ir\r\nto go\r\n\r\n");
  EXPECT_EQ(ExportEntryText("bola\x1C"
                            "ball\r\nbal\x02"),
            "bola\r\nball\r\nbal\r\n\r\n");
}

TEST(LexiconText, ParsesTheLayoutInEitherLineEndAndEncoding) {
  const std::vector<TextEntry> expected = {
      {"bola", "ball\r\nbal", {}}, {W("ação"), "action", {}}, {"só", "", {}}};
  std::vector<TextEntry> want = expected;
  want[2].headword = W("só");
  EXPECT_EQ(ParseTextLayout(W("bola\r\nball\r\nbal\r\n\r\nação\r\naction\r\n\r\nsó\r\n\r\n")), want);
  EXPECT_EQ(ParseTextLayout("\xEF\xBB\xBF"
                            "bola\nball\nbal\n\n\n"
                            "ação\naction\n\nsó"),
            want);
  // UTF-8 that Windows-1252 cannot wholly hold is still taken as UTF-8.
  EXPECT_EQ(ParseTextLayout("Poznań\ncidade\n\nação\naction\n"),
            (std::vector<TextEntry>{{"Poznan", "cidade", {}}, {W("ação"), "action", {}}}));
}

TEST(LexiconText, Utf8WithoutAWindows1252FormIsTransliteratedOrDropped) {
  struct Case {
    std::string utf8, cp1252;
  } cases[] = {
      {"Poznań", "Poznan"},
      {"ação €", W("ação €")},
      {"/əbændən/", W("/bændn/")},
      {"naïve “x”", W("naïve “x”")},
      {"\xFF"
       "ok",
       "ok"},
      {"Ωmega", "Omega"},
      {"𠀀!", "he!"},  // beyond U+FFFF: a surrogate pair for the transliterator
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252Lossy(c.utf8), c.cp1252) << c.utf8;
}

// Writes a dictd pair: the articles in order, and an index naming each.
void WriteDictd(const fs::path& stem, const std::vector<std::pair<std::string, std::string>>& articles) {
  auto b64 = [](uint64_t v) {
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s;
    do {
      s.insert(s.begin(), digits[v % 64]);
      v /= 64;
    } while (v);
    return s;
  };
  std::string dict, index;
  for (const auto& [name, article] : articles) {
    index += name + "\t" + b64(dict.size()) + "\t" + b64(article.size()) + "\n";
    dict += article;
  }
  WriteFile(stem.string() + ".index", index);
  WriteFile(stem.string() + ".dict", dict);
}

TEST(LexiconText, ReadsDictdArticles) {
  TempDir dir;
  WriteDictd(dir / "mini", {
                               {"00databaseinfo", "00-database-info\nA test dictionary\n"},
                               {"a", "a /ə/ <art>\n1. primeira letra\n2. um, uma\n"},
                               {"aesthetic", "aesthetic, esthetic /iːsθetik/ <adj>\nestético\n"},
                               {"dutch", "dutch /dˈʌtʃ/ <s> <adj>\n1. Holanda\n"},
                               {"dutch", "Dutch /dʌtʃ/\nholandês\n"},
                               {"poznan", "Poznań /pɔznaɲ/ <s>\ncidade polonesa\n"},
                               {"aboutface", "about-face /ɐbˌaʊt fˈeɪs/\nmeia-volta\n"},
                               {"merciless", "merciless /m/ <adj>\nsem misericÃ³rdia, metafÃ\u00ADsico\n"},
                           });
  std::vector<TextEntry> entries;
  std::string error;
  ASSERT_TRUE(ReadDictd((dir / "mini.index").string(), entries, error)) << error;
  EXPECT_EQ(entries, (std::vector<TextEntry>{
                         {"a", "(art)\r\n1. primeira letra\r\n2. um, uma", {}},
                         {"aesthetic", W("(adj)\r\nestético"), {}},
                         {"esthetic", W("(adj)\r\nestético"), {}},
                         {"dutch", W("(s) (adj)\r\n1. Holanda\r\nholandês"), {}},
                         {"Poznan", "(s)\r\ncidade polonesa", {}},
                         {"about-face", "meia-volta", {}},
                         {"merciless", W("(adj)\r\nsem misericórdia, metafísico"), {}},
                     }));
  EXPECT_FALSE(ReadDictd((dir / "none.index").string(), entries, error));
  EXPECT_NE(error.find("none.index"), std::string::npos);
}

}  // namespace
}  // namespace kio::test
