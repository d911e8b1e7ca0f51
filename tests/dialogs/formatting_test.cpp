// The formatting dialogs, driven through the headless backend: the tags and
// codes they show, and what the Frames dialog does to the page settings.
#include "dialogs/formatting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/startup.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/headless.h"
#include "platform/text_encoding.h"
#include "program_folder.h"
#include "render/markup.h"
#include "render/page_settings.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Control;
using test::Has;

// The texts of one control at each "dump", in order.
std::vector<std::string> Dumps(const std::string& transcript, int id) {
  std::vector<std::string> texts;
  std::string key = "CONTROL " + std::to_string(id) + " ";
  for (size_t p = transcript.find(key); p != std::string::npos; p = transcript.find(key, p + 1)) {
    size_t e = transcript.find('\n', p);
    texts.push_back(transcript.substr(p + key.size(), e - p - key.size()));
  }
  return texts;
}

// A program folder with the Portuguese languages loaded (so the dialogs'
// titles and labels are Portuguese) and a documents folder holding the
// media files the choosers pick.
class DialogSession {
 public:
  DialogSession() : in_(folder_.path()) {
    CurrentSession().Reset();
    test::HeadlessSession quiet;
    StartUp();
    CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
    CurrentSession().appPaths.documentsFolder = docs();
    fs::create_directories(folder_ / "pictures");
    ResetPageSettings();
  }

  // Runs `show` (which opens a dialog) with `script`; returns the transcript.
  std::string Run(const std::function<void()>& show, const std::string& script) {
    std::string transcript = test::RunScripted(script, show);
    fs::current_path(folder_.path());
    return transcript;
  }

  std::string docs() const { return work_.str() + "/"; }
  std::string programFolder() const { return folder_.str() + "/"; }

 private:
  test::ProgramFolder folder_;
  test::TempDir work_;
  test::InFolder in_;
};

TEST(FontDialog, ShowsTheTagsToCopy) {
  DialogSession s;
  std::string script = "dump\n";
  for (int k = 1501; k <= 1507; ++k) script += "press " + std::to_string(k) + "\ndump\n";
  script +=
      "press 1540\npress 1550\n"
      "press 1520\ncolour #ff0000\ndump\n"
      "press 1520\ncolour #000a0b\ndump\n"
      "press 1520\ncolour cancel\ndump\n"
      "press 1530\nfont Times New Roman 8\ndump\n"
      "press 1530\nfont cancel\ndump\n"
      "press 1\n";
  std::string t = s.Run(RunFontDialog, script);
  EXPECT_TRUE(Has(t, "DIALOG Fonte\n")) << t;
  EXPECT_TRUE(Has(t, "END Fonte\n")) << t;

  auto size = Dumps(t, 1510);
  ASSERT_EQ(size.size(), 13u) << t;
  EXPECT_EQ(size[0], "");
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(size[k], "<font size=" + std::to_string(k) + ">");
  // Beside every opening tag stands its closing tag, from the start.
  const std::pair<int, const char*> fixed[] = {{1511, "</font>"},  {1522, "</font>"}, {1532, "</font>"},
                                               {1541, "<em>"},     {1542, "</em>"},   {1551, "<strong>"},
                                               {1552, "</strong>"}};
  for (auto [id, text] : fixed) {
    auto dumps = Dumps(t, id);
    for (const std::string& shown : dumps) EXPECT_EQ(shown, text) << id;
  }

  // A cancelled colour or font keeps the box as it was.
  auto colour = Dumps(t, 1521);
  EXPECT_EQ(colour[8], "<font color=#FF0000>");
  EXPECT_EQ(colour[9], "<font color=#000A0B>");
  EXPECT_EQ(colour[10], "<font color=#000A0B>");
  auto face = Dumps(t, 1531);
  EXPECT_EQ(face[10], "");
  EXPECT_EQ(face[11], "<font face = 'Times New Roman'>");
  EXPECT_EQ(face[12], "<font face = 'Times New Roman'>");

  EXPECT_EQ(Control(t, 1560), "{\\\\rtf1 instru_por/fontes.rtf}");
  EXPECT_EQ(Control(t, 1), Cp1252ToUtf8(CurrentSession().UiText[145]));
}

TEST(ParagraphDialog, ShowsTheAlignmentTags) {
  DialogSession s;
  std::string t = s.Run(RunParagraphDialog, "dump\npress 1601\npress 1602\npress 1603\ndump\nenter\n");
  EXPECT_TRUE(Has(t, "DIALOG Alinhar parágrafo\n")) << t;
  EXPECT_TRUE(Has(t, "END Alinhar parágrafo\n")) << t;
  for (int id : {1611, 1612, 1613}) EXPECT_EQ(Dumps(t, id)[0], "") << id;
  for (int id : {1621, 1622, 1623}) EXPECT_EQ(Dumps(t, id)[0], "</p>") << id;
  EXPECT_EQ(Control(t, 1611), "<p align=left>");
  EXPECT_EQ(Control(t, 1612), "<p align=right>");
  EXPECT_EQ(Control(t, 1613), "<p align=center>");
  EXPECT_EQ(Control(t, 1660), "{\\\\rtf1 instru_por/paragraph.rtf}");
  EXPECT_EQ(Control(t, 1), "OK");
}

TEST(AVDialog, PictureCodesFollowTheActivity) {
  struct Case {
    const char* activity;
    std::string image, left, center, right;  // the image box after each button
  } cases[] = {
      {"memoria", "{i=foto.jpg}", "{i=foto.jpg}", "{i=foto.jpg}", "{i=foto.jpg}"},
      {"verbete", "{i=foto.jpg}", "<img src='foto.jpg' border=0 align=left>",
       "<center><img src='foto.jpg' border=0></center>", "<img src='foto.jpg' border=0 align=right>"},
      {"Cloze", "<center><img src='foto.jpg' border=0></center>", "<img src='foto.jpg' border=0 align=left>",
       "<center><img src='foto.jpg' border=0></center>", "<img src='foto.jpg' border=0 align=right>"},
      {"hplexical", "<center><img src='foto.jpg' border=0></center>",
       "<img src='foto.jpg' border=0 align=left>", "<center><img src='foto.jpg' border=0></center>",
       "<img src='foto.jpg' border=0 align=right>"},
  };
  for (const auto& c : cases) {
    DialogSession s;
    std::string folder = std::string(c.activity) == "verbete" ? s.programFolder() + "pictures/" : s.docs();
    std::string t =
        s.Run([&] { RunAVDialog(c.activity); }, "dump\npress 1710\nchoose " + folder +
                                                    "foto.jpg\ndump\npress <\ndump\npress ><\ndump\n"
                                                    "press >\ndump\npress 1\n");
    EXPECT_EQ(CurrentSession().activityName, c.activity);
    EXPECT_TRUE(Has(t, "DIALOG AV - Audiovisual\n")) << t;
    EXPECT_TRUE(Has(t, "CHOOSE open | " + folder + "*.* | *.*|| | \n")) << c.activity << "\n" << t;
    auto image = Dumps(t, 1711);
    ASSERT_EQ(image.size(), 5u) << t;
    EXPECT_EQ(image[0], "") << c.activity;
    EXPECT_EQ(image[1], c.image) << c.activity;
    EXPECT_EQ(image[2], c.left) << c.activity;
    EXPECT_EQ(image[3], c.center) << c.activity;
    EXPECT_EQ(image[4], c.right) << c.activity;
    EXPECT_EQ(Dumps(t, 1701)[0], "190");
    EXPECT_EQ(Dumps(t, 1702)[0], "140");
    EXPECT_EQ(Control(t, 1760), "{\\\\rtf1 instru_por/av.rtf}");
    EXPECT_EQ(Control(t, 1), Cp1252ToUtf8(CurrentSession().UiText[145]));
    EXPECT_TRUE(Has(t, "END AV - Audiovisual\n")) << t;
  }
}

TEST(AVDialog, MediaCodesAndTheLastResult) {
  DialogSession s;
  std::string d = s.docs();
  std::string t = s.Run([] { RunAVDialog("Cloze"); },
                        "press 1720\nchoose " + d +
                            "som.mp3\npress <\ndump\n"  // 1
                            "type 1701 320\ntype 1702 240\npress 1730\nchoose " +
                            d +
                            "aula.mp4\ndump\n"  // 2
                            "press 1740\nchoose " +
                            d +
                            "aula.flv\npress ><\ndump\n"  // 3
                            "press 1750\nchoose " +
                            d +
                            "anim.swf\npress >\ndump\n"                   // 4
                            "press 1720\nchoose cancel\npress <\ndump\n"  // 5
                            "press 1710\nchoose " +
                            d +
                            "*.*\ndump\n"  // 6
                            "press 1\n");
  auto audio = Dumps(t, 1721), video = Dumps(t, 1731), flashVideo = Dumps(t, 1741), flash = Dumps(t, 1751),
       image = Dumps(t, 1711);
  ASSERT_EQ(audio.size(), 6u) << t;
  EXPECT_EQ(audio[0], "{a=som.mp3}");
  // The alignment buttons wrap the last result, whatever it was.
  EXPECT_EQ(image[0], "<img src='{a=som.mp3}' border=0 align=left>");
  EXPECT_EQ(video[1], "{h=320}{t=240}{v=aula.mp4}");
  EXPECT_EQ(CurrentSession().MediaWidth, "320");
  EXPECT_EQ(CurrentSession().MediaHeight, "240");
  EXPECT_EQ(flashVideo[2], "{h=320}{t=240}{f=aula.flv}");
  EXPECT_EQ(image[2], "<center><img src='{h=320}{t=240}{f=aula.flv}' border=0></center>");
  EXPECT_EQ(flash[3], "{s=anim.swf}");
  EXPECT_EQ(image[3], "<img src='{s=anim.swf}' border=0 align=right>");
  // A cancelled Audio empties its box and the last result, so "<" empties
  // the image box.
  EXPECT_EQ(audio[4], "");
  EXPECT_EQ(image[4], "");
  // "*.*" names no file.
  EXPECT_EQ(image[5], "");
  EXPECT_FALSE(Has(t, "MESSAGE")) << t;
}

TEST(AVDialog, VideoSizesAreCutTo19Characters) {
  DialogSession s;
  std::string d = s.docs();
  std::string t = s.Run([] { RunAVDialog("seq"); },
                        "type 1701 12345678901234567890123\ntype 1702 7\npress 1730\n"
                        "choose " +
                            d + "v.mp4\ndump\npress 1\n");
  EXPECT_EQ(Control(t, 1731), "{h=1234567890123456789}{t=7}{v=v.mp4}");
  EXPECT_EQ(CurrentSession().MediaWidth, "1234567890123456789");
}

TEST(AVDialog, ANameWithABlankAsksTheFileNameQuestion) {
  DialogSession s;
  std::string d = s.docs();
  std::string question = "MESSAGE " + Cp1252ToUtf8(EscapeLine(CurrentSession().UiText[1])) + " | " +
                         Cp1252ToUtf8(EscapeLine(CurrentSession().UiText[178])) + "\n";
  std::string t = s.Run([] { RunAVDialog("Cloze"); }, "press 1710\nchoose " + d +
                                                          "my photo.jpg\nanswer No\ndump\n"
                                                          "press 1720\nchoose " +
                                                          d +
                                                          "my song.mp3\nanswer Yes\ndump\n"
                                                          "press 1\n");
  EXPECT_TRUE(Has(t, question)) << t;
  EXPECT_EQ(Dumps(t, 1711)[0], "");
  EXPECT_EQ(Control(t, 1721), "{a=my song.mp3}");
}

TEST(PickFont, ClampsTheSizeAndKeepsItOnCancel) {
  struct Case {
    std::string answer, face, size;
  } cases[] = {
      {"Arial 8", "Arial", "10"},  {"Arial 10", "Arial", "10"},  {"Courier New 12", "Courier New", "12"},
      {"Arial 99", "Arial", "99"}, {"Arial 120", "Arial", "99"}, {"cancel", "", "33"},
  };
  for (const auto& c : cases) {
    test::HeadlessSession session("font " + c.answer + "\n");
    PickedFont font = PickFont("33");
    EXPECT_EQ(font.face, c.face) << c.answer;
    EXPECT_EQ(font.size, c.size) << c.answer;
    EXPECT_EQ(session.transcript(), "PICK font\n");
  }
}

// Checks every page setting against `expected`, naming the one that differs.
void ExpectSettings(const PageSettings& expected, const std::string& context) {
  const std::pair<const char*, std::string PageSettings::*> fields[] = {
      {"background1", &PageSettings::background1}, {"background2", &PageSettings::background2},
      {"background3", &PageSettings::background3}, {"boxColor", &PageSettings::boxColor},
      {"fontColor1", &PageSettings::fontColor1},   {"fontColor2", &PageSettings::fontColor2},
      {"fontColor3", &PageSettings::fontColor3},   {"fontFace1", &PageSettings::fontFace1},
      {"fontFace2", &PageSettings::fontFace2},     {"fontFace3", &PageSettings::fontFace3},
      {"fontSize1", &PageSettings::fontSize1},     {"fontSize2", &PageSettings::fontSize2},
      {"fontSize3", &PageSettings::fontSize3},     {"frameCols", &PageSettings::frameCols},
      {"frameRows", &PageSettings::frameRows},
  };
  for (auto [name, field] : fields)
    EXPECT_EQ(CurrentSession().pageSettings.*field, expected.*field) << context << ", " << name;
}

TEST(FramesDialog, EachButtonChangesItsSetting) {
  struct Case {
    int button;
    std::string answer;
    std::string PageSettings::*field;
    std::string value;
  } cases[] = {
      {1801, "colour #ff0000", &PageSettings::background1, "body bgcolor=\"#FF0000\""},
      {1811, "colour #00ff0a", &PageSettings::background2, "body bgcolor='#00FF0A'"},
      {1821, "colour #0000ff", &PageSettings::background3, "body bgcolor='#0000FF'"},
      {1831, "colour #123456", &PageSettings::boxColor, "bgcolor='#123456'"},
      {1802, "colour #010203", &PageSettings::fontColor1, "#010203"},
      {1812, "colour #a0b0c0", &PageSettings::fontColor2, "#A0B0C0"},
      {1822, "colour #ffffff", &PageSettings::fontColor3, "#FFFFFF"},
      {1803, "font Arial 8", &PageSettings::fontSize1, "10pt"},
      {1813, "font Arial 16", &PageSettings::fontSize2, "16pt"},
      {1823, "font Arial 120", &PageSettings::fontSize3, "99pt"},
      {1804, "font Times New Roman 12", &PageSettings::fontFace1, "Times New Roman"},
      {1814, "font Georgia 12", &PageSettings::fontFace2, "Georgia"},
      {1824, "font Courier New 30", &PageSettings::fontFace3, "Courier New"},
  };
  DialogSession s;
  for (const auto& c : cases) {
    ResetPageSettings();
    PageSettings before = CurrentSession().pageSettings;
    std::string t =
        s.Run(RunFramesDialog, "press " + std::to_string(c.button) + "\n" + c.answer + "\npress 1\n");
    EXPECT_TRUE(Has(t, "DIALOG Quadro 01\nPICK ")) << t;
    EXPECT_TRUE(Has(t, "END Quadro 01\n")) << t;
    PageSettings expected = before;
    expected.*(c.field) = c.value;
    // Only the button's own setting changes.
    ExpectSettings(expected, "button " + std::to_string(c.button));
  }
}

TEST(FramesDialog, CancelledPickersLeaveEverySettingAsItWas) {
  DialogSession s;
  PageSettings before = CurrentSession().pageSettings;
  std::string script = "dump\n";
  for (int frame = 0; frame < 3; ++frame) {
    int base = 1801 + 10 * frame;
    script += "press " + std::to_string(base) + "\ncolour cancel\n";
    script += "press " + std::to_string(base + 1) + "\ncolour cancel\n";
    script += "press " + std::to_string(base + 2) + "\nfont cancel\n";
    script += "press " + std::to_string(base + 3) + "\nfont cancel\n";
  }
  script += "press 1831\ncolour cancel\nescape\n";
  std::string t = s.Run(RunFramesDialog, script);
  EXPECT_TRUE(Has(t, "END Quadro 01\n")) << t;
  EXPECT_FALSE(Has(t, "SCRIPT ERROR")) << t;
  ExpectSettings(before, "after cancelled pickers");
  EXPECT_EQ(Control(t, 1860), "{\\\\rtf1 instru_por/frames.rtf}");
  EXPECT_EQ(Control(t, 1), "OK");
  // The captions in the interface language (Portuguese here).
  const std::pair<int, const char*> groups[] = {
      {1870, "Quadro 01"}, {1871, "Quadro 02"}, {1872, "Quadro 03"}, {1873, "Caixa"}};
  for (auto [id, caption] : groups) EXPECT_EQ(Control(t, id), caption);
}

}  // namespace
}  // namespace kio
