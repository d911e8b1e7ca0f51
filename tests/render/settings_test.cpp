// The settings block at the start of every activity document, and the field
// reader underneath it.
#include <gtest/gtest.h>

#include <limits>

#include "fileio/document.h"
#include "render/fields.h"
#include "render_state.h"

namespace kio {
namespace {

using test::RenderTest;

const std::string kBlockMarker = "tem_tres_frames_e_cortabela";
const std::string kCompletionMarker = "a_t_i_v_i_d_a_d_e__c_o_n_c_l_u_i_d_a";
const std::string kFontsMarker = "tem_fontes_de_pagina";

// String fields one after the other.
std::string Items(std::initializer_list<std::string> texts) {
  std::string out;
  for (const auto& t : texts) out += EncodeText(t);
  return out;
}

class SettingsBlockTest : public RenderTest {
 protected:
  std::string Write() {
    File f;
    EXPECT_TRUE(f.Open(path(), File::kCreateWrite));
    WriteSettingsBlock(f);
    f.Close();
    return test::ReadFile(path());
  }
  // Reads the block from `bytes`, then the editor's next field; returns it
  // ("" when nothing follows).
  std::string Read(const std::string& bytes) {
    test::WriteFile(path(), bytes);
    File f;
    EXPECT_TRUE(f.Open(path(), File::kReadWrite));
    ReadSettingsBlock(f);
    position_ = f.Position();
    FieldReader r(f);
    return r.Remaining() ? r.Text(kBlockStringLimit) : "";
  }
  std::string path() const { return (docs_ / "doc.clo").string(); }
  uint64_t position_ = 0;
};

TEST_F(SettingsBlockTest, DefaultsAreWrittenByteForByte) {
  PageSettings& p = CurrentSession().pageSettings;
  p.background1.clear();
  p.background2.clear();
  p.background3.clear();
  p.boxColor.clear();
  p.fontColor1.clear();
  p.fontColor2.clear();
  p.fontColor3.clear();
  CurrentSession().completionMessage = "Muito bem!\r\nFim.";
  EXPECT_EQ(Write(),
            Items({kBlockMarker, "body bgcolor=\"#CAC5E4\"", "body bgcolor='#FFFFFF'",
                   "body bgcolor='#008080'", "bgcolor='#F0E8F0'", kCompletionMarker, "Muito bem!\r\nFim.",
                   kFontsMarker, "#000001Verdana13pt", "#000002Arial14pt", "#FFFFFDHelvetica12pt"}));
  // The empty colours are filled in memory too.
  EXPECT_EQ(p.background1, "body bgcolor=\"#CAC5E4\"");
  EXPECT_EQ(p.background2, "body bgcolor='#FFFFFF'");
  EXPECT_EQ(p.background3, "body bgcolor='#008080'");
  EXPECT_EQ(p.boxColor, "bgcolor='#F0E8F0'");
  EXPECT_EQ(p.fontColor1, "#000001");
  EXPECT_EQ(p.fontColor2, "#000002");
  EXPECT_EQ(p.fontColor3, "#FFFFFD");
}

TEST_F(SettingsBlockTest, ResetRestoresTheDefaultsButNotTheBoxOrTheMessage) {
  PageSettings& p = CurrentSession().pageSettings;
  p = PageSettings{};
  p.boxColor = "bgcolor='#123456'";
  CurrentSession().completionMessage = "kept";
  ResetPageSettings();
  EXPECT_EQ(p.background1 + p.background2 + p.background3, "#CAC5E4#FFFFCC#474792");
  EXPECT_EQ(p.fontColor1 + p.fontColor2 + p.fontColor3, "#000001#000002#FFFFFD");
  EXPECT_EQ(p.fontFace1 + "|" + p.fontFace2 + "|" + p.fontFace3, "Verdana|Arial|Helvetica");
  EXPECT_EQ(p.fontSize1 + p.fontSize2 + p.fontSize3, "13pt14pt12pt");
  EXPECT_EQ(p.frameCols + p.frameRows, "25%,*20%,*");
  EXPECT_EQ(p.boxColor, "bgcolor='#123456'");
  EXPECT_EQ(CurrentSession().completionMessage, "kept");
}

TEST_F(SettingsBlockTest, SettingsSurviveASaveAndARead) {
  PageSettings& p = CurrentSession().pageSettings;
  p.background1 = "body bgcolor=\"#101010\"";
  p.background2 = "body bgcolor='#202020'";
  p.background3 = "#303030";
  p.boxColor = "bgcolor='#404040'";
  p.fontColor1 = "#111111";
  p.fontFace1 = "Times New Roman";
  p.fontSize1 = "11pt";
  p.fontFace2 = "X";
  p.fontSize3 = "99pt";
  CurrentSession().completionMessage = test::W("Parabéns!");
  std::string bytes = Write() + EncodeText("own field");
  const PageSettings saved = p;

  ResetPageSettings();
  p.boxColor = "other";  // the reset keeps the box colour
  CurrentSession().completionMessage = "other";
  EXPECT_EQ(Read(bytes), "own field");
  EXPECT_EQ(CurrentSession().blockStatus, kBlockMarker);
  EXPECT_EQ(p.background1, saved.background1);
  EXPECT_EQ(p.background2, saved.background2);
  EXPECT_EQ(p.background3, saved.background3);
  EXPECT_EQ(p.boxColor, saved.boxColor);
  EXPECT_EQ(p.fontColor1 + "|" + p.fontFace1 + "|" + p.fontSize1, "#111111|Times New Roman|11pt");
  EXPECT_EQ(p.fontColor2 + "|" + p.fontFace2 + "|" + p.fontSize2, "#000002|X|14pt");
  EXPECT_EQ(p.fontColor3 + "|" + p.fontFace3 + "|" + p.fontSize3, "#FFFFFD|Helvetica|99pt");
  EXPECT_EQ(CurrentSession().completionMessage, test::W("Parabéns!"));
}

// A font colour set by a markup code may have any length; the block keeps
// seven characters of it so that face and size read back.
TEST_F(SettingsBlockTest, OddFontColoursKeepFaceAndSize) {
  PageSettings& p = CurrentSession().pageSettings;
  p.fontColor1 = "red";
  p.fontColor2 = "#1234567890";
  p.fontColor3 = "#abcdef";
  std::string bytes = Write();
  EXPECT_NE(bytes.find(EncodeText("red    Verdana13pt") + EncodeText("#123456Arial14pt") +
                       EncodeText("#abcdefHelvetica12pt")),
            std::string::npos);
  EXPECT_EQ(p.fontColor1, "red");  // the value in memory is left as it was

  ResetPageSettings();
  Read(bytes);
  EXPECT_EQ(p.fontColor1 + "|" + p.fontFace1 + "|" + p.fontSize1, "red    |Verdana|13pt");
  EXPECT_EQ(p.fontColor2 + "|" + p.fontFace2 + "|" + p.fontSize2, "#123456|Arial|14pt");
  EXPECT_EQ(p.fontColor3 + "|" + p.fontFace3 + "|" + p.fontSize3, "#abcdef|Helvetica|12pt");
}

TEST_F(SettingsBlockTest, ADocumentWithoutBlockIsReadFromTheStart) {
  CurrentSession().completionMessage = "before";
  EXPECT_EQ(Read(Items({"instructions", "text"})), "instructions");
  EXPECT_EQ(CurrentSession().blockStatus, "vazio");
  EXPECT_EQ(position_, 0u);
  EXPECT_EQ(CurrentSession().pageSettings.background1, "#CAC5E4");
  EXPECT_EQ(CurrentSession().completionMessage, "before");
}

TEST_F(SettingsBlockTest, OlderBlocksEndAfterTheColoursOrTheMessage) {
  const std::string colours = Items({kBlockMarker, "<body bgcolor='#CAC5E4'>", "<body bgcolor='#FFFFFF'>",
                                     "body bgcolor='#008080'", "<bgcolor='#F0E8F0'>"});
  PageSettings& p = CurrentSession().pageSettings;
  CurrentSession().completionMessage = "before";
  p.fontFace1 = "Old";

  // Ends after item 5: the message and the fonts keep their values.
  EXPECT_EQ(Read(colours + EncodeText("own")), "own");
  EXPECT_EQ(position_, colours.size());
  EXPECT_EQ(CurrentSession().blockStatus, kBlockMarker);
  // Apostrophes in the first background become double quotes; brackets
  // are dropped from the three backgrounds, not from the box colour.
  EXPECT_EQ(p.background1, "body bgcolor=\"#CAC5E4\"");
  EXPECT_EQ(p.background2, "body bgcolor='#FFFFFF'");
  EXPECT_EQ(p.background3, "body bgcolor='#008080'");
  EXPECT_EQ(p.boxColor, "<bgcolor='#F0E8F0'>");
  EXPECT_EQ(CurrentSession().completionMessage, "before");
  EXPECT_EQ(p.fontFace1, "Old");

  // Ends after item 7.
  const std::string message = colours + Items({kCompletionMarker, "Fim!"});
  EXPECT_EQ(Read(message + EncodeText("own")), "own");
  EXPECT_EQ(position_, message.size());
  EXPECT_EQ(CurrentSession().blockStatus, kBlockMarker);
  EXPECT_EQ(CurrentSession().completionMessage, "Fim!");
  EXPECT_EQ(p.fontFace1, "Old");

  // Bare font colours in items 9 to 11.
  EXPECT_EQ(Read(message + Items({kFontsMarker, "#111111", "#222222", "#333333", "own"})), "own");
  EXPECT_EQ(CurrentSession().blockStatus, kBlockMarker);
  EXPECT_EQ(p.fontColor1 + p.fontColor2 + p.fontColor3, "#111111#222222#333333");
  EXPECT_EQ(p.fontFace1 + "|" + p.fontSize1, "Old|13pt");
}

TEST_F(SettingsBlockTest, MarkersWithTheRightCountButOtherBytes) {
  const std::string colours = Items({kBlockMarker, "a", "b", "c", "d"});
  const std::string other27(27, 'x'), other36(36, 'y'), other20(20, 'z');
  CurrentSession().completionMessage = "before";

  EXPECT_EQ(Read(EncodeText(other27) + EncodeText("own")), "own");
  EXPECT_EQ(CurrentSession().blockStatus, other27);
  EXPECT_EQ(CurrentSession().pageSettings.background1, "#CAC5E4");

  EXPECT_EQ(Read(colours + EncodeText(other36) + EncodeText("own")), other36);
  EXPECT_EQ(position_, colours.size());
  EXPECT_EQ(CurrentSession().blockStatus, other36);
  EXPECT_EQ(CurrentSession().completionMessage, "before");

  const std::string message = colours + Items({kCompletionMarker, "Fim!"});
  EXPECT_EQ(Read(message + EncodeText(other20)), other20);
  EXPECT_EQ(position_, message.size());
  EXPECT_EQ(CurrentSession().blockStatus, "vazio");
  EXPECT_EQ(CurrentSession().completionMessage, "Fim!");
}

// Saving rewrites the file from its start without shortening it: the old
// tail stays and is never read.
TEST_F(SettingsBlockTest, AShorterSaveOverALongerDocument) {
  CurrentSession().completionMessage = std::string(500, 'L');
  std::string longer = Write() + EncodeText(std::string(300, 'o'));
  test::WriteFile(path(), longer);

  CurrentSession().completionMessage = "short";
  CurrentSession().pageSettings.fontFace2 = "Courier New";
  {
    File f;
    ASSERT_TRUE(f.Open(path(), File::kReadWrite));
    f.SeekToBegin();
    WriteSettingsBlock(f);
    FieldWriter(f).Text("new");
  }
  const std::string bytes = test::ReadFile(path());
  EXPECT_EQ(bytes.size(), longer.size());
  EXPECT_EQ(bytes.substr(bytes.size() - 100), longer.substr(longer.size() - 100));

  ResetPageSettings();
  CurrentSession().completionMessage.clear();
  EXPECT_EQ(Read(bytes), "new");
  EXPECT_EQ(CurrentSession().completionMessage, "short");
  EXPECT_EQ(CurrentSession().pageSettings.fontFace2, "Courier New");
}

// A string of the block longer than 14,999 bytes, running past the end of
// the file, or a font group too short to split is refused; the editor's
// Open reports it.
TEST_F(SettingsBlockTest, DamagedBlocksAreRefused) {
  const std::string big(15000, 'b');
  const std::string fits(14999, 'f');
  const std::string head = EncodeText(kBlockMarker);
  const std::string colours = head + Items({"a", "b", "c", "d"});
  const std::string message = colours + Items({kCompletionMarker, "m", kFontsMarker});
  struct Case {
    std::string bytes;
    int cause;
  } cases[] = {
      {head + EncodeText(big), kInvalidFile},
      {head + Items({"a", "b", big}), kInvalidFile},
      {head + Items({"a", "b", "c", big}), kInvalidFile},
      {colours + Items({kCompletionMarker, big}), kInvalidFile},
      {message + EncodeText(big), kInvalidFile},
      {message + Items({"#000001Verdana13pt", "#000002Arial14pt", big}), kInvalidFile},
      {message + Items({"#000001Verdana13pt", "short", "#FFFFFDHelvetica12pt"}), kInvalidFile},
      {head + EncodeText("a").substr(0, 3), kEndOfFile},
      {head + EncodeText(fits).substr(0, 200), kEndOfFile},
      {colours + Items({kCompletionMarker}) + EncodeText("message").substr(0, 6), kEndOfFile},
      {message + Items({"#000001Verdana13pt", "#000002Arial14pt"}), kEndOfFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    try {
      Read(c.bytes);
      ADD_FAILURE() << "read";
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause, c.cause);
    }
  }
  // 14,999 bytes fit.
  EXPECT_EQ(Read(colours + Items({kCompletionMarker, fits, "own"})), "own");
  EXPECT_EQ(CurrentSession().completionMessage, fits);

  test::HeadlessSession session;
  const std::string suffix = test::W("Impossível abrir arquivo.");
  for (const auto& c : {cases[0], cases[7]}) {
    try {
      Read(c.bytes);
    } catch (const FileError& e) {
      ReportFileError(e.cause, suffix);
    }
  }
  EXPECT_EQ(session.transcript(),
            "MESSAGE Oops! | Invalid File \\r\\nArquivo inválido.  Impossível abrir arquivo.\n"
            "MESSAGE Oops! | File end. \\r\\nFim do arquivo.  Impossível abrir arquivo.\n");
}

class FieldReaderTest : public RenderTest {
 protected:
  File& Open(const std::string& bytes) {
    test::WriteFile(docs_ / "fields", bytes);
    file_.Open((docs_ / "fields").string(), File::kRead);
    return file_;
  }
  File file_;
};

TEST_F(FieldReaderTest, CountsAreCheckedBeforeAnythingIsTaken) {
  struct Case {
    std::string bytes;
    size_t limit;
    int cause;  // 0: read
  } cases[] = {
      {EncodeText("12345"), 5, 0},
      {EncodeText(""), 0, 0},
      {EncodeText("123456"), 5, kInvalidFile},
      {EncodeText("12345").substr(0, 8), 5, kEndOfFile},
      {EncodeText("12"), std::numeric_limits<size_t>::max(), 0},
      // A damaged count asks for 4 GB: refused without allocating it.
      {std::string("\xff\xff\xff\xff", 4) + "abc", std::numeric_limits<size_t>::max(), kEndOfFile},
      {std::string("\xff\xff\xff\xff", 4) + "abc", 14999, kInvalidFile},
      {std::string("\x05\x00", 2), 5, kEndOfFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    FieldReader r(Open(c.bytes));
    try {
      std::string text = r.Text(c.limit);
      EXPECT_EQ(c.cause, 0);
      EXPECT_EQ(EncodeText(text), c.bytes);
      EXPECT_EQ(r.Remaining(), 0u);
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause, c.cause);
      // Nothing past the count was consumed.
      if (c.bytes.size() >= 4) {
        EXPECT_EQ(file_.Position(), 4u);
      }
    }
    file_.Close();
  }
}

TEST_F(FieldReaderTest, NumbersAreLittleEndian) {
  FieldReader r(Open(std::string("\x04\x03\x02\x01\xff\xff\xff\xff\x01", 9)));
  EXPECT_EQ(r.Number(), 0x01020304u);
  EXPECT_EQ(r.Number(), 0xFFFFFFFFu);
  EXPECT_EQ(r.Remaining(), 1u);
  try {
    r.Number();
    ADD_FAILURE() << "read past the end";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause, kEndOfFile);
  }
  EXPECT_EQ(EncodeNumber(0x01020304u), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(EncodeText("ab"), std::string("\x02\x00\x00\x00"
                                          "ab",
                                          6));
}

}  // namespace
}  // namespace kio
