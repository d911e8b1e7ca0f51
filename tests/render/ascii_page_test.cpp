// Pages written in pure ASCII: each character beyond ASCII becomes the
// escape that means it where it stands, and nothing else changes.
#include "render/ascii_page.h"

#include <gtest/gtest.h>

#include <regex>

#include "kio_test.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

using test::W;

TEST(AsciiPage, EachContextGetsItsOwnEscape) {
  struct Case {
    std::string page, ascii;
  } cases[] = {
      {W("<p>Ação</p>"), "<p>A&#231;&#227;o</p>"},
      // Windows-1252's own characters go by their Unicode number.
      {W("<p>it’s “ok” – 5 €</p>"), "<p>it&#8217;s &#8220;ok&#8221; &#8211; 5 &#8364;</p>"},
      {W("<img alt='niño' src=a.jpg>"), "<img alt='ni&#241;o' src=a.jpg>"},
      {W("<title>lição</title><textarea>é</textarea>"),
       "<title>li&#231;&#227;o</title><textarea>&#233;</textarea>"},
      {W("<script>var a='niño’';</script>é"), "<script>var a='ni\\u00f1o\\u2019';</script>&#233;"},
      {W("<SCRIPT type=\"text/javascript\">x='é'</Script >é"),
       "<SCRIPT type=\"text/javascript\">x='\\u00e9'</Script >&#233;"},
      // The start tag's own attributes are still HTML.
      {W("<script data-x=\"é\">'é'</script>"), "<script data-x=\"&#233;\">'\\u00e9'</script>"},
      {W("<style>p::after{content:\"é\"}</style><p>é</p>"),
       "<style>p::after{content:\"\\0000e9\"}</style><p>&#233;</p>"},
      // An escaping backslash before the character becomes the escape's own.
      {W("<script>a='\\é';b='\\\\é'</script>"), "<script>a='\\u00e9';b='\\\\\\u00e9'</script>"},
      {W("<style>a{content:'\\é'}</style>"), "<style>a{content:'\\0000e9'}</style>"},
      // Only <script> and <style> open raw text; longer names do not.
      {W("<scripts>é</scripts><styles>é"), "<scripts>&#233;</scripts><styles>&#233;"},
      // A script left open runs to the end of the page.
      {W("<script>'é'"), "<script>'\\u00e9'"},
      // The five bytes Windows-1252 leaves unassigned keep their value.
      {std::string("<p>\x81\xA0\x80</p>"), "<p>&#129;&#160;&#8364;</p>"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToAsciiPage(c.page), c.ascii) << c.page;
}

TEST(AsciiPage, AnAsciiPageComesOutByteForByte) {
  const std::string page =
      "<!DOCTYPE html>\r\n<html lang=\"pt\"><style>a::after{content:\"\\2713\"}</style>\n"
      "<script>var s='it\\'s &#8364; \\u00e9 \\\\';</script><p>&#233; &amp; <b>x</b></p>\x7f";
  EXPECT_EQ(ToAsciiPage(page), page);
  EXPECT_EQ(ToAsciiPage(""), "");
}

// What a browser reads from a page: references in HTML, \uXXXX in scripts,
// \XXXXXX in style sheets, each turned into its character (UTF-8 here).
std::string Read(const std::string& ascii) {
  std::string out;
  std::string context = "html";
  static const std::regex reference("^&#([0-9]+);"), js("^\\\\u([0-9a-f]{4})"), css("^\\\\([0-9a-f]{6})");
  for (size_t i = 0; i < ascii.size();) {
    std::smatch m;
    const std::string rest = ascii.substr(i, 12);
    const std::regex& escape = context == "html" ? reference : context == "script" ? js : css;
    if (std::regex_search(rest, m, escape)) {
      AppendUtf8(out, static_cast<char32_t>(std::stoul(m[1], nullptr, context == "html" ? 10 : 16)));
      i += m[0].length();
      continue;
    }
    if (ascii.compare(i, 8, "<script>") == 0) context = "script";
    if (ascii.compare(i, 7, "<style>") == 0) context = "style";
    if (ascii.compare(i, 2, "</") == 0) context = "html";
    out += ascii[i++];
  }
  return out;
}

TEST(AsciiPage, AccentsCurlyQuotesAndTypedReferencesReadTheSame) {
  // A Portuguese lesson as the generator writes it: accents and curly quotes
  // in the text, the instructions and the data, and a character the teacher
  // typed that Windows-1252 cannot hold, which arrives as "&#8373;".
  const std::string page =
      W("<title>lição 1</title><style>.x::before{content:\"» é\"}</style>"
        "<p>“Atenção”: João’s café &#8373;</p>"
        "<script>var kioInstructions = 'Leia o “texto” – já';\r\npalavras[1]='pão';\r\n"
        "palavras[2]='d’água &#8373;';</script><p>Fim ½</p>");
  const std::string ascii = ToAsciiPage(page);
  EXPECT_TRUE(
      std::all_of(ascii.begin(), ascii.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
  // Everything reads as it was written, the typed reference included.
  EXPECT_EQ(Read(ascii), Read(Cp1252ToUtf8(page)));
  EXPECT_NE(ascii.find("&#8373;"), std::string::npos) << "a typed reference is kept as typed";
}

}  // namespace
}  // namespace kio
