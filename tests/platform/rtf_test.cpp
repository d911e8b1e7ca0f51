#include "platform/rtf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/text_encoding.h"

namespace kio {
namespace {

// The paragraph tags the converter writes.
const std::string P = "<p style=\"margin-top:0; margin-bottom:0; white-space:pre-wrap\">";
const std::string PCentre =
    "<p align=\"center\" style=\"margin-top:0; margin-bottom:0; white-space:pre-wrap\">";
const std::string PRight =
    "<p align=\"right\" style=\"margin-top:0; margin-bottom:0; white-space:pre-wrap\">";

struct HtmlCase {
  const char* what;
  std::string rtf;
  std::string html;
};

void ExpectHtml(const std::vector<HtmlCase>& cases) {
  for (const auto& c : cases) EXPECT_EQ(RtfToHtml(c.rtf), c.html) << c.what << "\n  rtf: " << c.rtf;
}

TEST(RtfToHtml, ParagraphsAndLineBreaks) {
  ExpectHtml({
      {"paragraphs", R"({\rtf1\ansi\ansicpg1252 Hello\par World\par})", P + "Hello</p>" + P + "World</p>"},
      {"last paragraph without \\par", R"({\rtf1 a\line b})", P + "a<br>b</p>"},
      {"empty paragraph keeps its line", R"({\rtf1 a\par\par b\par})",
       P + "a</p>" + P + "&nbsp;</p>" + P + "b</p>"},
      {"file line breaks are not text", "{\\rtf1 a\r\nb\nc\\par\r\n}", P + "abc</p>"},
      {"backslash before a line break is \\par", "{\\rtf1 a\\\nb}", P + "a</p>" + P + "b</p>"},
      {"spaces and tabs kept", R"({\rtf1 a  b\tab c	d\par})", P + "a  b\tc\td</p>"},
      {"alignment until \\pard", R"({\rtf1\qc Title\par\pard left\par\qr r\par})",
       PCentre + "Title</p>" + P + "left</p>" + PRight + "r</p>"},
      {"empty document", "", ""},
      {"only destinations", R"({\rtf1{\fonttbl{\f0 Arial;}}})", ""},
  });
}

TEST(RtfToHtml, CharacterFormattingFollowsTheGroups) {
  ExpectHtml({
      {"toggles, and the one delimiting space", R"({\rtf1 \b bold\b0  \i it\i0  \ul u\ulnone  \ul v\ul0 .})",
       P + "<b>bold</b> <i>it</i> <u>u</u> <u>v</u>.</p>"},
      {"nested groups restore the outer state", R"({\rtf1 a{\b b{\i c}d}e\par})",
       P + "a<b>b<i>c</i>d</b>e</p>"},
      {"formatting closes at the paragraph end and reopens", R"({\rtf1\b a\par b\b0\par})",
       P + "<b>a</b></p>" + P + "<b>b</b></p>"},
      {"a line break inside bold", R"({\rtf1\b a\line b})", P + "<b>a<br>b</b></p>"},
      {"\\b1 is on, \\b0 off", R"({\rtf1\b1 x\b0 y})", P + "<b>x</b>y</p>"},
      {"\\plain resets everything", R"({\rtf1{\colortbl;\red1\green2\blue3;}\b\i\ul\cf1 x\plain y})",
       P + "<span style=\"color:#010203\"><b><i><u>x</u></i></b></span>y</p>"},
      {"italic off under bold keeps bold open", R"({\rtf1\b\i x\i0 y})", P + "<b><i>x</i>y</b></p>"},
  });
}

TEST(RtfToHtml, ColoursComeFromTheColourTable) {
  const std::string table = R"({\colortbl;\red255\green0\blue0;\red0\green128\blue255;})";
  ExpectHtml({
      {"\\cfN picks entry N, \\cf0 is the panel's colour",
       "{\\rtf1" + table + R"(a\cf1 red\cf2 blue\cf0 plain})",
       P + "a<span style=\"color:#ff0000\">red</span><span style=\"color:#0080ff\">blue</span>plain</p>"},
      {"a colour change reopens bold inside the new span", "{\\rtf1" + table + R"(\cf1\b x\cf2 y})",
       P + "<span style=\"color:#ff0000\"><b>x</b></span><span style=\"color:#0080ff\"><b>y</b></span></p>"},
      {"colour is group state", "{\\rtf1" + table + R"(a{\cf1 b}c})",
       P + "a<span style=\"color:#ff0000\">b</span>c</p>"},
      {"index past the table", "{\\rtf1" + table + R"(\cf3 x\cf99999999999 y\cf-5 z})", P + "xyz</p>"},
      {"\\cf before any table", R"({\rtf1\cf1 x})", P + "x</p>"},
      {"components out of range are clamped", R"({\rtf1{\colortbl;\red999\green-4\blue300;}\cf1 x})",
       P + "<span style=\"color:#ff00ff\">x</span></p>"},
  });
}

TEST(RtfToHtml, EscapesAndSpecialCharacters) {
  ExpectHtml({
      {"RTF escapes and HTML escapes", R"({\rtf1 a\{b\}c\\d & <x> "q"})",
       P + "a{b}c\\d &amp; &lt;x&gt; \"q\"</p>"},
      {"hex escapes are Windows-1252", R"({\rtf1 ol\'e1 \'80\'93\'85\'e7\'c3\'a3o})", P + "olá €“…çÃ£o</p>"},
      {"upper-case hex", R"({\rtf1 \'C9})", P + "É</p>"},
      {"8-bit text is Windows-1252", "{\\rtf1 " + Win1252("pão €") + "}", P + "pão €</p>"},
      {"named characters", R"({\rtf1\bullet\emdash\endash\lquote\rquote\ldblquote\rdblquote\_})",
       P + "•—–‘’“”-</p>"},
      {"\\tab", R"({\rtf1 a\tab b})", P + "a\tb</p>"},
      {"no-break space", R"({\rtf1 a\~b})", P + "a&nbsp;b</p>"},
      {"optional hyphen shows nothing", R"({\rtf1 co\-op})", P + "coop</p>"},
      {"control characters show nothing", R"({\rtf1 a\'00\'07\'81b})", P + "ab</p>"},
  });
}

TEST(RtfToHtml, UnicodeCharactersAndTheirFallbacks) {
  ExpectHtml({
      {"one fallback character by default", R"({\rtf1 \u8364?x})", P + "€x</p>"},
      {"hex escape as the fallback", R"({\rtf1 \u8364\'80 x})", P + "€ x</p>"},
      {"\\uc2 skips two", R"({\rtf1\uc2\u20320??y})", P + "你y</p>"},
      {"\\uc0 skips none", R"({\rtf1\uc0\u233 z})", P + "éz</p>"},
      {"\\uc is group state", R"({\rtf1 {\uc3\u8220 abc}q\u8221?r})", P + "“q”r</p>"},
      {"a group end ends the fallback", R"({\rtf1 {\u8364}x})", P + "€x</p>"},
      {"a control word counts as one fallback character", R"({\rtf1\u8364\'80\u8364\bullet x})",
       P + "€€x</p>"},
      {"negative N means N+65536; a surrogate pair is one character", R"({\rtf1 \u-10179?\u-8704?!})",
       P + "😀!</p>"},
      {"negative N in the 16-bit range", R"({\rtf1 \u-255?})", P + "！</p>"},
      {"lone surrogates", R"({\rtf1 \u-10179?a\u-8704?b})", P + "�a�b</p>"},
      {"escaped characters are HTML-escaped too", R"({\rtf1 \u60?\u38?})", P + "&lt;&amp;</p>"},
  });
}

TEST(RtfToHtml, DestinationsAndUnknownControlWordsShowNothing) {
  ExpectHtml({
      {"tables, info, pictures and \\* groups",
       R"({\rtf1\ansi{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1 Times;}}{\stylesheet{\s0 Normal;}})"
       R"({\info{\title T}{\author A}}{\*\generator Riched20 10.0;}{\pict\wmetafile8\picw10 0102ff}{\header H})"
       R"({\*\unknowndest text{\b more}}{\colortbl;\red1\green2\blue3;}visible\par})",
       P + "visible</p>"},
      {"a skipped group ends at its brace", R"({\rtf1 a{\*\x b}c{\fonttbl x}d})", P + "acd</p>"},
      {"a destination word inside a group is a plain word", R"({\rtf1{\b\fonttbl x}})", P + "<b>x</b></p>"},
      {"unknown words with and without parameters",
       R"({\rtf1\deff0\fs24\lang1046 one \foo123 two \bar-5 three \qwerty  four})",
       P + "one two three  four</p>"},
      {"a hyphen without digits is text", R"({\rtf1 a\x-b})", P + "a-b</p>"},
      {"unknown control symbols", R"({\rtf1 a\|\:b})", P + "ab</p>"},
      {"binary data is skipped by count", R"({\rtf1 a\bin3 {}\b\par})", P + "ab</p>"},
  });
}

TEST(RtfToHtml, DamagedInputGivesWhatCanBeRead) {
  ExpectHtml({
      {"unclosed group", R"({\rtf1 {\b abc)", P + "<b>abc</b></p>"},
      {"surplus closing braces", R"(}}}abc{{{)", P + "abc</p>"},
      {"text after the final brace", R"({\rtf1 a}b)", P + "ab</p>"},
      {"backslash at the end", "abc\\", P + "abc</p>"},
      {"cut-off hex escape", "a\\'", P + "a</p>"},
      {"one hex digit at the end", "a\\'4", P + "a</p>"},
      {"hex escape without hex digits", R"(a\'zz)", P + "azz</p>"},
      {"hex escape with one hex digit", R"(a\'4z)", P + "az</p>"},
      {"huge \\u", R"(\u99999999999999999999?x)", P + "�x</p>"},
      {"huge negative \\u", R"(\u-99999999999?x)", P + "�x</p>"},
      {"huge \\uc", R"(\uc99999999\u233 abcdefghijklmnopqrstuvwxyz)", P + "éqrstuvwxyz</p>"},
      {"huge \\bin", R"(a\bin99999999999 abc)", P + "a</p>"},
      {"negative \\bin", R"(a\bin-5 bc)", P + "abc</p>"},
      {"word at the end", R"(a\b)", P + "a</p>"},
      {"colour table left open", R"({\rtf1{\colortbl;\red1)", ""},
      {"\\u at the end waiting for its fallback", R"(a\u8364)", P + "a€</p>"},
  });
  // Cut-off hex escapes give no byte at all, not a half-read one.
  const std::pair<const char*, const char*> cutOff[] = {{"a\\'4z", "az"}, {"a\\'4", "a"}, {"a\\'", "a"}};
  for (auto [rtf, text] : cutOff) EXPECT_EQ(RtfToPlainText(rtf), text) << rtf;
  std::string deep(200000, '{');
  EXPECT_EQ(RtfToHtml(deep + "x"), P + "x</p>");
}

// Random byte soup made of RTF's own characters: the converter must end and
// write properly nested, closed tags whatever it gets.
TEST(RtfToHtml, RandomInputGivesBalancedTags) {
  const std::string alphabet = "{}\\\\\\'u0123456789abf-;* \r\nxcbiulparqtxcolortbl&<>" + Win1252("€é");
  std::mt19937 rng(12345);
  auto count = [](const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string rtf;
    size_t length = rng() % 300;
    for (size_t k = 0; k < length; ++k) rtf += alphabet[rng() % alphabet.size()];
    std::string html = RtfToHtml(rtf);
    ASSERT_EQ(count(html, "<p"), count(html, "</p>")) << rtf;
    ASSERT_EQ(count(html, "<b>"), count(html, "</b>")) << rtf;
    ASSERT_EQ(count(html, "<i>"), count(html, "</i>")) << rtf;
    ASSERT_EQ(count(html, "<u>"), count(html, "</u>")) << rtf;
    ASSERT_EQ(count(html, "<span"), count(html, "</span>")) << rtf;
    RtfToPlainText(rtf);
  }
}

TEST(RtfToPlainText, TextOfTheSameReaderInWindows1252) {
  EXPECT_EQ(RtfToPlainText(R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;})"
                           R"(\b Ol\'e1\b0\par x\tab y\line \cf1 \u8364?\u20320?\bullet z\par})"),
            Win1252("Olá\nx\ty\n€?•z\n"));
  EXPECT_EQ(Cp1252CodePoint(RtfToPlainText(R"(\~)").at(0)), 0xA0u);  // no-break space
  EXPECT_EQ(RtfToPlainText(R"({\rtf1 a\{b\}c\\d\u8364\'80 e})"), Win1252("a{b}c\\d€ e"));
  std::string rtf = "{\\rtf1 ";
  std::string bytes;
  const char hex[] = "0123456789abcdef";
  for (int b = 1; b < 0x100; ++b) {
    rtf += std::string("\\'") + hex[b >> 4] + hex[b & 15];
    bytes += static_cast<char>(b);
  }
  EXPECT_EQ(RtfToPlainText(rtf + "}"), bytes);  // every byte comes back as it was
}

}  // namespace
}  // namespace kio
