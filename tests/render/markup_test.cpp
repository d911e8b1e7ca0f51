// The markup converter: every code in the three modes, the acceptance test,
// the collected markup with its repeated tags, and the fast scan against the
// rescanning reference on generated texts.
#include <gtest/gtest.h>

#include <random>

#include "render_state.h"

namespace kio {
namespace {

using test::W;

// Each test renders in one page-build context, which starts with the
// default page settings and no media sizes.
class MarkupTest : public test::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    build_ = PageBuild{};
    build_.settings = build_.settings;
  }
  std::string Render(std::string text) {
    RenderMarkup(text, build_);
    return text;
  }
  PageBuild build_;
};

// Plain-mode fragments, with MediaWidth "320" and MediaHeight "240".
const std::string kPlainImage = "<img src='a.gif'  border='0'>";
const std::string kPlainAudio =
    "<embed src='s.mp3' width = '245' height = '45' AUTOSTART='false'> </embed></p>";
const std::string kPlainVideo = "<embed src='c.avi' width='320' height='240' AUTOSTART='false'> </embed></p>";
const std::string kPlainShockwave =
    R"(<object><param name="movie" value=" m.swf"><param name="quality" value="high"><embed src="m.swf" )"
    R"(quality="high"  width="180" height="40"></embed></object>)";
const std::string kPlainFlash =
    "  <object classid='clsid:d27cdb6e-ae6d-11cf-96b8-444553540000'  width='320' height='240' "
    "id='VideoPlayer' "
    "align='middle'> <param name='allowScriptAccess' value='*' /> <param name='allowFullScreen' "
    "value='false' /> "
    "<param name='movie' value='FLVPlayer.swf?video=v.flv&autoplay=false' /> <param name='quality' "
    "value='high' />"
    "<param name='bgcolor' value='#ffffff' /> <embed src='FLVPlayer.swf?video=v.flv&autoplay=false' "
    "quality='high' bgcolor='#000000' width='320' height='240' name='VideoPlayer' align='middle' "
    "allowScriptAccess='*' allowFullScreen='false' type='application/x-shockwave-flash' />  </object>";

// Memory-mode fragments.
const std::string kMemoryImage = R"(<img src="a.gif" width="128" height="78">)";
const std::string kMemoryAudio = R"(<embed src="s.mp3"width="115" height="45" AUTOSTART="false"> </embed>)";
const std::string kMemoryVideo =
    R"(<embed src="c.avi" width="85" height="75" AUTOSTART="false"> </embed></p>)";
const std::string kMemoryShockwave =
    R"(<object><param name="movie"value="m.swf"><param name="quality" value="high"><embed src="m.swf" )"
    R"(quality="high" width="90" height="50"></embed></object>)";
const std::string kMemoryFlash =
    R"(<object width="138" height="87" id="FLVPlayer"><param name="movie"value = "FLVPlayer_Progressive.swf" /> )"
    R"(<param name="salign" value="lt" /><param name = "quality"value = "high" /><param name="scale" )"
    R"(value="noscale" /><param name = "FlashVars" value="&MM_ComponentVersion = 1&skinName=Clear_Skin_1)"
    R"(&streamName=v.flv & autoPlay=false&autoRewind=false" /><embed src="FLVPlayer_Progressive.swf")"
    R"(flashvars="&MM_ComponentVersion = 1&skinName=Clear_Skin_1&streamName=v.flv & autoPlay=false)"
    R"(&autoRewind=false" quality="high" scale="noscale" width = "138" height = "87" name = "FLVPlayer" )"
    R"(salign="LT" type = "application/x-shockwave-flash"/></object>)";

struct CodeRow {
  std::string code;
  std::string plain;     // the fragment in plain mode (and what strip mode collects)
  std::string reTagged;  // the fragment's own short tags, collected when the scan passes over it
  std::string memory;    // the fragment in memory mode
};

// Every code of the replacement tables, as "A" + code + "B" in each mode.
TEST_F(MarkupTest, EveryCodeInEveryMode) {
  const std::string embedEnd = "</embed> </p> ";
  const std::string video240 = "' width='240' height='180' AUTOSTART='false'> </embed></p>";
  const std::string audio245 = "' width = '245' height = '45' AUTOSTART='false'> </embed></p>";
  const std::string memoryAudio = "\"width=\"115\" height=\"45\" AUTOSTART=\"false\"> </embed>";
  const CodeRow rows[] = {
      // By prefix.
      {"{i=a.gif}", kPlainImage, kPlainImage + " ", kMemoryImage},
      {"{a=s.mp3}", kPlainAudio, embedEnd, kMemoryAudio},
      {"{v=c.avi}", kPlainVideo, embedEnd, kMemoryVideo},
      {"{s=m.swf}", kPlainShockwave,
       R"(<object> <param name="movie" value=" m.swf"> <param name="quality" value="high"> </embed> </object> )",
       kMemoryShockwave},
      {"{f=v.flv}", kPlainFlash,
       "<param name='allowScriptAccess' value='*' /> <param name='allowFullScreen' value='false' /> "
       "<param name='quality' value='high' /> <param name='bgcolor' value='#ffffff' /> </object> ",
       kMemoryFlash},
      {"{h=320}", "", "", ""},
      {"{t=240}", "", "", ""},
      // By extension: pictures, videos, sounds.
      {"{x.jpg}", "<img src='x.jpg'> ", "<img src='x.jpg'> ", R"(<img src="x.jpg" width="128" height="78">)"},
      {"{x.gif}", "<img src='x.gif'> ", "<img src='x.gif'> ", R"(<img src="x.gif" width="128" height="78">)"},
      {"{c.avi}", "<embed src='c.avi" + video240, embedEnd, ""},
      {"{c.mov}", "<embed src='c.mov" + video240, embedEnd, ""},
      {"{c.wmv}", "<embed src='c.wmv" + video240, embedEnd, ""},
      {"{c.mpg}", "<embed src='c.mpg" + video240, embedEnd, ""},
      {"{s.wav}", "<embed src='s.wav" + audio245, embedEnd, "<embed src=\"s.wav" + memoryAudio},
      {"{s.mp3}", "<embed src='s.mp3" + audio245, embedEnd, "<embed src=\"s.mp3" + memoryAudio},
      {"{s.rmi}", "<embed src='s.rmi" + audio245, embedEnd, "<embed src=\"s.rmi" + memoryAudio},
      {"{s.rm}", "<embed src='s.rm" + audio245, embedEnd, "<embed src=\"s.rm" + memoryAudio},
      {"{s.mid}", "<embed src='s.mid" + audio245, embedEnd, "<embed src=\"s.mid" + memoryAudio},
      {"{s.au}", "<embed src='s.au" + audio245, embedEnd, "<embed src=\"s.au" + memoryAudio},
      {"{s.wma}", "<embed src='s.wma" + audio245, embedEnd, "<embed src=\"s.wma" + memoryAudio},
      // By extension: settings and font tags.
      {"{40%.col}", "", "", ""},
      {"{30%.alt}", "", "", ""},
      {"{red.bgc}", "", "", ""},
      {"{3.siz}", "<font size = ' 3 ' >", "<font size = ' 3 ' > ", ""},
      {"{b.fon}", "<b>", "<b> ", ""},
      {"{/b.fon}", "</b>", "</b> ", ""},
      {"{#FF0000.bg1}", "", "", ""},
      {"{#FF0000.bg2}", "", "", ""},
      {"{#FF0000.bg3}", "", "", ""},
      {"{#FF0000.box}", "", "", ""},
      {"{#FF0000.fo1}", "", "", ""},
      {"{#FF0000.fo2}", "", "", ""},
      {"{#FF0000.fo3}", "", "", ""},
  };
  test::HeadlessSession quiet;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    build_.mediaWidth = "320";
    build_.mediaHeight = "240";
    EXPECT_EQ(Render("A" + row.code + "B"), "A" + row.plain + "B");
    // The fragment is collected once as the replacement, then its short
    // tags once more as the scan passes over it.
    EXPECT_EQ(build_.collectedMarkup, row.plain + " " + row.reTagged);

    EXPECT_EQ(Render("sqncA" + row.code + "B"), "AB");
    EXPECT_EQ(build_.collectedMarkup, row.plain + " ");

    build_.mediaWidth = "320";
    build_.mediaHeight = "240";
    EXPECT_EQ(Render("mmraA" + row.code + "B"), "A" + row.memory + "B");
  }
  EXPECT_EQ(quiet.transcript(), "");
}

// What the setting codes store, and in which modes.
TEST_F(MarkupTest, SettingCodesStoreTheirValues) {
  struct Row {
    std::string code;
    std::string* field;
    std::string value;
    bool inMemoryMode;  // frame colours take effect whatever the mode
  };
  PageSettings& p = build_.settings;
  const Row rows[] = {
      {"{40%.col}", &p.frameCols, "40%,*", false},
      {"{30%.ALT}", &p.frameRows, "30%,*", false},
      {"{h=320}", &build_.mediaWidth, "320", false},
      {"{T=240}", &build_.mediaHeight, "240", false},
      {"{#FF0000.bg1}", &p.background1, "#ff0000", true},
      {"{Teal.BG2}", &p.background2, "teal", true},
      {"{#00FF00.bg3}", &p.background3, "#00ff00", true},
      {"{#0000FF.box}", &p.boxColor, "#0000ff", true},
      {"{#111111.fo1}", &p.fontColor1, "#111111", true},
      {"{#222222.fo2}", &p.fontColor2, "#222222", true},
      {"{#333333.fo3}", &p.fontColor3, "#333333", true},
      // The colour extension is removed from the value wherever it occurs.
      {"{a.fo1b.fo1}", &p.fontColor1, "ab", true},
  };
  for (const auto& row : rows) {
    for (const char* prefix : {"", "sqnc", "mmra"}) {
      SCOPED_TRACE(prefix + row.code);
      SetUp();
      const std::string before = *row.field;
      EXPECT_EQ(Render(prefix + row.code), "");
      const bool memory = std::string(prefix) == "mmra";
      EXPECT_EQ(*row.field, memory && !row.inMemoryMode ? before : row.value);
    }
  }
}

TEST_F(MarkupTest, PrefixAndExtensionIgnoreCaseAndTheValueIsLowerCased) {
  EXPECT_EQ(Render("Look {I=Photo.JPG} here"), "Look <img src='photo.jpg'  border='0'> here");
  EXPECT_EQ(Render("{X.GIF}"), "<img src='x.gif'> ");
  EXPECT_EQ(Render(W("{i=AÇÃO.jpg}")), W("<img src='ação.jpg'  border='0'>"));
  EXPECT_EQ(Render("{B.FON}x{/B.FON}"), "<b>x</b>");
}

TEST_F(MarkupTest, SizeCodesInARowLeaveOnlyTheVideo) {
  EXPECT_EQ(Render("{h=320}{t=240}{v=clip.avi}"),
            "<embed src='clip.avi' width='320' height='240' AUTOSTART='false'> </embed></p>");
  // The sizes persist into later calls, and memory mode neither uses nor
  // changes them.
  EXPECT_EQ(Render("mmra{h=1}{t=2}{v=c.avi}"), kMemoryVideo);
  EXPECT_EQ(Render("{v=c.avi}"), kPlainVideo);
}

TEST_F(MarkupTest, SizeValuesAreCutToTheirFields) {
  Render("{h=12345678901234567890123}{t=abcdefghijklmnopqrstuvwxyz}");
  EXPECT_EQ(build_.mediaWidth, "1234567890123456789");
  EXPECT_EQ(build_.mediaHeight, "abcdefghijklmnopqrs");
  Render("{h=1234567890123456789}");
  EXPECT_EQ(build_.mediaWidth, "1234567890123456789");
}

// Spans the acceptance test turns down stay in the text as they are.
TEST_F(MarkupTest, RejectedSpansStayUnchanged) {
  const char* texts[] = {
      "{ab}",        // no dot and no known value
      "a{.x}",       // an extension of one letter
      "{a}",         // too short
      "{}",          //
      "{i=a.b}",     // a prefix code whose value ends in a one-letter extension
      "{x.r}",       //
      "{x.jpg.}",    // the last dot ends the value
      "{x.txt}",     // unknown extensions
      "{x.jpeg}",    //
      "{x.png}",     //
      "{.jp}",       //
      "{f4=x}",      // not a frame-split code
      "{ i=a.png}",  //
      "{x.jpg",      // unclosed
      "x.jpg}",      //
      "{i=a.gif",    //
      "}{",          //
  };
  for (const char* text : texts) {
    EXPECT_EQ(Render(text), text);
    EXPECT_EQ(build_.collectedMarkup, "") << text;
  }
}

TEST_F(MarkupTest, TheNearestClosingBraceThatGivesACodeEndsIt) {
  EXPECT_EQ(Render("{note} text {x.jpg}"), "<img src='note} text {x.jpg'> ");
  EXPECT_EQ(Render("{a.gif}}"), "<img src='a.gif'> }");
  EXPECT_EQ(Render("{{x.jpg}"), "<img src='{x.jpg'> ");
  EXPECT_EQ(Render("{x.jpg}{y.gif}"), "<img src='x.jpg'> <img src='y.gif'> ");
  // A value without a prefix needs no name before its extension.
  EXPECT_EQ(Render("{.jpg}"), "<img src='.jpg'> ");
}

// A colour code with a prefix stores the colour and still gives its
// fragment, from the value less the extension.
TEST_F(MarkupTest, AColourExtensionOnAPrefixCode) {
  EXPECT_EQ(Render("{i=red.bg1}"), "<img src='red'  border='0'>");
  EXPECT_EQ(build_.settings.background1, "i=red");
  EXPECT_EQ(Render("{h=5.siz}"), "");
  EXPECT_EQ(build_.mediaWidth, "5.siz");
}

TEST_F(MarkupTest, ModeComesFromTheFirstFourCharacters) {
  EXPECT_EQ(Render("mmraword"), "word");
  EXPECT_EQ(Render("sqncword"), "word");
  EXPECT_EQ(Render("Mmraword"), "Mmraword");
  EXPECT_EQ(Render("mmr"), "mmr");
  EXPECT_EQ(Render(" mmra{x.jpg}"), " mmra<img src='x.jpg'> ");
  // Only one prefix is taken.
  EXPECT_EQ(Render("mmrasqnc{x.gif}"), R"(sqnc<img src="x.gif" width="128" height="78">)");

  EXPECT_EQ(Render("sqnc{i=a.jpg} word"), " word");
  EXPECT_EQ(build_.collectedMarkup, "<img src='a.jpg'  border='0'> ");
  EXPECT_EQ(Render("mmra{i=a.jpg}"), R"(<img src="a.jpg" width="128" height="78">)");
}

TEST_F(MarkupTest, FrameSplitCodeSwitchesTheRestToStripMode) {
  EXPECT_EQ(Render("x{f1=x}{i=a.jpg}y"), "xy");
  EXPECT_EQ(build_.collectedMarkup, "<img src='a.jpg'  border='0'> ");
  EXPECT_EQ(Render("{F2=}<b>{x.gif}"), "<b>");
  EXPECT_EQ(build_.collectedMarkup, "<b> <img src='x.gif'>  <b> ");
  // The codes before it were rendered in plain mode already.
  EXPECT_EQ(Render("{x.gif}{f3=q}{y.gif}"), "<img src='x.gif'> ");
  // A memory-mode call switches too.
  EXPECT_EQ(Render("mmra{x.gif}{f1=}{y.gif}"), R"(<img src="x.gif" width="128" height="78">)");
}

TEST_F(MarkupTest, TagsAreCollectedOnEveryPass) {
  EXPECT_EQ(Render("<b>x</b> {i=a.gif}"), "<b>x</b> " + kPlainImage);
  EXPECT_EQ(build_.collectedMarkup, "<b> </b> " + kPlainImage + " <b> </b> " + kPlainImage + " ");

  // Two codes: the tags before each are collected once per pass.
  EXPECT_EQ(Render("<p>{h=1}<i>{t=2}"), "<p><i>");
  EXPECT_EQ(build_.collectedMarkup, "<p>  <p> <i>  <p> <i> ");

  EXPECT_EQ(Render("<p align='center'>text</p>"), "<p align='center'>text</p>");
  EXPECT_EQ(build_.collectedMarkup, "<p align='center'> </p> ");
  EXPECT_EQ(Render("no tags"), "no tags");
  EXPECT_EQ(build_.collectedMarkup, "");
}

TEST_F(MarkupTest, ATagIsAtMostFiftyOneCharacters) {
  const std::string tag51 = "<" + std::string(49, 'x') + ">";
  const std::string tag52 = "<" + std::string(50, 'x') + ">";
  Render(tag51);
  EXPECT_EQ(build_.collectedMarkup, tag51 + " ");
  Render(tag52);
  EXPECT_EQ(build_.collectedMarkup, "");
  // The scan goes on inside a long tag: its codes are rendered and its
  // inner tags collected, while a short tag hides its codes.
  const std::string inner = "<span title='" + std::string(40, 't') + " <i> {x.gif}'>";
  EXPECT_EQ(Render(inner), "<span title='" + std::string(40, 't') + " <i> <img src='x.gif'> '>");
  EXPECT_EQ(Render("<b {x.jpg}>"), "<b {x.jpg}>");
  EXPECT_EQ(build_.collectedMarkup, "<b {x.jpg}> ");
  EXPECT_EQ(Render("a < b {i=a.gif} c>"), "a < b {i=a.gif} c>");
  EXPECT_EQ(Render("a < b"), "a < b");
  EXPECT_EQ(build_.collectedMarkup, "");
}

// A "<" whose ">" lay too far away can find one in a replacement: the next
// pass collects the longer tag.
TEST_F(MarkupTest, AReplacementCanCloseAnEarlierTag) {
  const std::string filler(40, '-');
  const std::string text = "<x {i=a.gif}" + filler + ">";
  EXPECT_EQ(Render(text), "<x " + kPlainImage + filler + ">");
  EXPECT_EQ(build_.collectedMarkup, kPlainImage + " <x " + kPlainImage + " ");
}

// A "{" passed over can form a code once a later replacement changes what
// follows it: the rescan finds it.
TEST_F(MarkupTest, AReplacementCanCompleteAnEarlierCode) {
  // "{q.g" finds no code while "{h=1}" stands between it and "if}"; once
  // that code is gone the first brace opens a picture.
  EXPECT_EQ(Render("{q.g{h=1}if}"), "<img src='q.gif'> ");
  EXPECT_EQ(build_.collectedMarkup, " <img src='q.gif'>  <img src='q.gif'> ");
}

// The page is not chosen yet when its texts are rendered: a video code
// notes that the page needs the player, in plain and strip mode, and the
// page step copies it beside the page (template_test, document_save_test).
TEST_F(MarkupTest, FlashCodeNotesThatThePageNeedsThePlayer) {
  test::TempDir out;
  CurrentSession().outputFolder = out.str() + "/";
  test::HeadlessSession session;
  Render("mmra{f=v.flv}");
  EXPECT_FALSE(build_.playerFilesNeeded);
  Render("sqnc{f=v.flv}");
  EXPECT_TRUE(build_.playerFilesNeeded);
  build_.playerFilesNeeded = false;
  build_.mediaWidth = "320";
  build_.mediaHeight = "240";
  EXPECT_EQ(Render("{F=V.FLV}"), kPlainFlash);
  EXPECT_TRUE(build_.playerFilesNeeded);
  // Nothing is copied while rendering.
  EXPECT_TRUE(test::fs::is_empty(out.path()));
  EXPECT_EQ(session.transcript(), "");
}

// The codes change the context they are rendered in and nothing else: the
// open document's settings and media sizes stay as they were.
TEST_F(MarkupTest, CodesChangeOnlyTheirOwnContext) {
  const PageSettings before = CurrentSession().pageSettings;
  CurrentSession().MediaWidth = "320";
  Render("<b>{#FF0000.bg1}{40%.col}{h=5}{t=6}{f=v.flv}</b>");
  EXPECT_EQ(build_.settings.background1, "#ff0000");
  EXPECT_EQ(build_.mediaWidth, "5");
  EXPECT_TRUE(build_.playerFilesNeeded);
  EXPECT_EQ(CurrentSession().pageSettings.background1, before.background1);
  EXPECT_EQ(CurrentSession().pageSettings.frameCols, before.frameCols);
  EXPECT_EQ(CurrentSession().MediaWidth, "320");
  EXPECT_EQ(CurrentSession().MediaHeight, "");
}

// Generated texts: random mixes of codes, partial codes, tags, brackets and
// words, in the three modes.
std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> pieces = {
      "{i=a.gif}", "{I=B.JPG}", "{a=s.mp3}", "{v=c.avi}", "{s=m.swf}", "{h=12}", "{t=34}", "{f=v.flv}",
      "{x.jpg}", "{c.mov}", "{s.wav}", "{s.au}", "{40%.col}", "{30%.alt}", "{red.bgc}", "{3.siz}", "{b.fon}",
      "{/b.fon}", "{#ABCDEF.bg1}", "{red.fo2}", "{x.box}", "{f1=q}", "{f2=}",
      // partial codes and braces
      "{", "}", "{i=", ".jpg}", "{x.", "{ab}", "a{.x}", "{h=", "gif}", "{{", "}}", ".fon}", "{q ",
      // pieces that a later replacement can join into a code
      "{z.g", "{z.j", "{z.", "if}", "pg}", "p", "{h=1}", "{t=}", "{x.bgc}", "{y.alt}",
      // tags and brackets
      "<b>", "</b>", "<p align='center'>", "<", ">", "<br>", "< a ", "<" + std::string(45, 'x') + ">",
      "<" + std::string(60, 'y') + ">", std::string(30, '-'),
      // words
      "a", " ", "word", "\r\n", W("ção")};
  static const std::string letters = "{}<>.=/ifahtvsx1g%#";
  std::string text;
  const char* prefixes[] = {"", "", "mmra", "sqnc"};
  text += prefixes[random() % 4];
  const int count = static_cast<int>(random() % 60);
  for (int k = 0; k < count; ++k) {
    if (random() % 4 == 0)
      text += letters[random() % letters.size()];
    else
      text += pieces[random() % pieces.size()];
  }
  return text;
}

struct Outcome {
  std::string text, collected, width, height;
  std::string settings[11];
  bool operator==(const Outcome&) const = default;
};

template <typename Render>
Outcome RenderWith(Render render, const std::string& input) {
  ResetPageSettings();
  PageBuild build;
  build.settings = CurrentSession().pageSettings;
  build.mediaWidth = "w";
  build.mediaHeight = "h";
  const PageSettings& p = build.settings;
  Outcome o;
  o.text = input;
  render(o.text, build);
  o.collected = build.collectedMarkup;
  o.width = build.mediaWidth;
  o.height = build.mediaHeight;
  const std::string* fields[] = {&p.background1, &p.background2, &p.background3, &p.boxColor,
                                 &p.fontColor1,  &p.fontColor2,  &p.fontColor3,  &p.frameCols,
                                 &p.frameRows,   &p.fontFace1,   &p.fontSize1};
  for (int k = 0; k < 11; ++k) o.settings[k] = *fields[k];
  return o;
}

TEST_F(MarkupTest, FastScanMatchesTheRescanOnGeneratedTexts) {
  test::HeadlessSession quiet;
  std::mt19937 random(20240601);
  int replaced = 0;
  for (int n = 0; n < 4000; ++n) {
    const std::string input = RandomText(random);
    Outcome fast = RenderWith(RenderMarkup, input);
    Outcome reference = RenderWith(RenderMarkupByRescanning, input);
    ASSERT_EQ(fast.text, reference.text) << "input: " << input;
    ASSERT_EQ(fast.collected, reference.collected) << "input: " << input;
    ASSERT_TRUE(fast == reference) << "input: " << input;
    if (fast.text != input) ++replaced;
  }
  // The mix does exercise the replacements.
  EXPECT_GT(replaced, 3000);
  EXPECT_EQ(quiet.transcript(), "");
}

}  // namespace
}  // namespace kio
