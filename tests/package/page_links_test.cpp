#include "package/page_links.h"

#include <gtest/gtest.h>

namespace kio {
namespace {

std::vector<std::string> Targets(const std::string& page) {
  std::vector<std::string> out;
  for (const auto& link : PageLinks(page)) out.push_back(link.target);
  return out;
}

struct LinkCase {
  const char* page;
  std::vector<std::string> targets;
};

TEST(PageLinks, FindsWhatTheBrowserWouldFetchOrOpen) {
  const LinkCase cases[] = {
      // Tags' attributes, quoted either way or not at all.
      {"<img src=\"a.jpg\"> <a href='b.htm'>b</a> <body background=c.gif>", {"a.jpg", "b.htm", "c.gif"}},
      // HTML written inside a script string, its quotes escaped.
      {"palavras[0]='<img src=\\'foto da praia.jpg\\'&nbsp;border=\\'0\\'>';", {"foto da praia.jpg"}},
      // Character references, script escapes and %XX: names with accents,
      // spaces and apostrophes.
      {"<a href=\"li&#231;&#227;o de leitura.htm\">", {"li\xC3\xA7\xC3\xA3o de leitura.htm"}},
      {"Texto[1] = 'm\\u00fasica d\\'ontem.htm';", {"m\xC3\xBAsica d'ontem.htm"}},
      {"<a href=\"caf%C3%A9%20bar.htm#top\">", {"caf\xC3\xA9 bar.htm"}},
      // The Menu and Index pages' windows, inside a javascript: link.
      {"<a href=\"javascript:Abre1('cloze1.htm','790','520');\"  class=linkpadrao>", {"cloze1.htm"}},
      {"<a href=\"javascript:Abre1('it&#39;s.htm','790','520');\">", {"it's.htm"}},
      // Style sheets' pictures.
      {".back { background: url(facea.gif) } .x { background: url('faceb.gif') }",
       {"facea.gif", "faceb.gif"}},
      // Links that fetch nothing from the course.
      {"<a href=\"http://example.org/x.htm\"> <a href=\"#top\"> <a href=\"mailto:a@b.c\"> Texto[0] = '#';",
       {}},
      // Script code is no attribute: neither x.src = y nor new URL(address).
      {"player.src = src; var u = new URL(address); a.href='x.htm';", {}},
      // Links that leave the course are kept, to be reported.
      {"<img src=\"../up.jpg\"><img src=\"/etc/x.jpg\"><img src=\"C:\\pics\\y.jpg\">",
       {"../up.jpg", "/etc/x.jpg", "C:\\pics\\y.jpg"}},
      // A page written in Windows-1252 (a byte that is not UTF-8).
      {"<img src=\"ma\xE7\xE3.jpg\">", {"ma\xC3\xA7\xC3\xA3.jpg"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Targets(c.page), c.targets) << c.page;
}

TEST(PageLinks, KeepsTheLinkAsWrittenForTheTeacher) {
  auto links = PageLinks("<a href=\"javascript:Abre1('li&#231;&#227;o.htm','790','520');\">");
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].written, "li&#231;&#227;o.htm");
}

TEST(PageLinks, UrlPathEscapesAllButTheUnreserved) {
  EXPECT_EQ(UrlPath("sub/li\xC3\xA7\xC3\xA3o de leitura's.htm"),
            "sub/li%C3%A7%C3%A3o%20de%20leitura%27s.htm");
}

TEST(PageLinks, ABrokenPageEndsAndFindsWhatItCan) {
  // Unclosed quotes, a lone backslash, a reference without its end.
  EXPECT_EQ(Targets("<img src=\"a.jpg"), std::vector<std::string>{});
  EXPECT_EQ(Targets("Abre1('x.htm"), std::vector<std::string>{});
  EXPECT_EQ(Targets("<img src='&#99999999999;.jpg'> \\"), std::vector<std::string>{"\xEF\xBF\xBD.jpg"});
  std::string large(1 << 20, '\'');
  EXPECT_TRUE(Targets("src=" + large).empty());
}

}  // namespace
}  // namespace kio
