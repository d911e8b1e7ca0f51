// The formatting dialogs every editor opens: Font, Align Paragraph and AV
// show the tags and codes the teacher copies into a text; Frames changes the
// page settings.
#pragma once
#include <string>

#include "platform/dialog.h"

namespace kio {

// The colour picker: "#RRGGBB" in upper case, or empty when cancelled.
std::string PickColour();
// The font picker: the face (empty when cancelled) and the size as two
// digits, clamped to 10..99; a cancel leaves `size` as it was.
struct PickedFont {
  std::string face;
  std::string size;
};
PickedFont PickFont(std::string lastSize = "12");
// A media file beside the page: its bare name, or empty when cancelled, when
// the name is "*.*" or when the file-name question was answered No.
std::string PickMediaFile();

// Control ids.
enum FontControl {
  kFontSize1 = 1501,  // "01" to "07": 1501 to 1507
  kFontSizeBox = 1510,
  kFontSizeEnd = 1511,
  kFontColour = 1520,
  kFontColourBox = 1521,
  kFontColourEnd = 1522,
  kFontName = 1530,
  kFontFaceBox = 1531,
  kFontFaceEnd = 1532,
  kFontItalics = 1540,
  kFontItalicsBox = 1541,
  kFontItalicsEnd = 1542,
  kFontBold = 1550,
  kFontBoldBox = 1551,
  kFontBoldEnd = 1552,
  kFontHelp = 1560,
};
enum ParagraphControl {
  kParaLeft = 1601,
  kParaRight = 1602,
  kParaCenter = 1603,
  kParaLeftBox = 1611,
  kParaRightBox = 1612,
  kParaCenterBox = 1613,
  kParaLeftEnd = 1621,
  kParaRightEnd = 1622,
  kParaCenterEnd = 1623,
  kParaHelp = 1660,
};
enum AVControl {
  kAVWidth = 1701,
  kAVHeight = 1702,
  kAVImage = 1710,
  kAVImageBox = 1711,
  kAVAlignLeft = 1712,
  kAVAlignCenter = 1713,
  kAVAlignRight = 1714,
  kAVAudio = 1720,
  kAVAudioBox = 1721,
  kAVVideo = 1730,
  kAVVideoBox = 1731,
  kAVFlashVideo = 1740,
  kAVFlashVideoBox = 1741,
  kAVFlash = 1750,
  kAVFlashBox = 1751,
  kAVHelp = 1760,
};
enum FramesControl {
  kFrameBackground1 = 1801,
  kFrameFontColour1 = 1802,
  kFrameFontSize1 = 1803,
  kFrameFontFace1 = 1804,
  // Frames 2 and 3: the same plus 10 and 20.
  kFrameBox = 1831,
  kFramesHelp = 1860,
};

class CFontDlg : public Dialog {
 public:
  CFontDlg();
};

class CParagraphDlg : public Dialog {
 public:
  CParagraphDlg();
};

class CAVDlg : public Dialog {
 public:
  CAVDlg();

 private:
  void Align(const char* before, const char* after);
  std::string last_;  // the last result: a picture's name or a code
};

class CFramesDlg : public Dialog {
 public:
  CFramesDlg();
};

// What the editors' buttons run.
void RunFontDialog();
void RunParagraphDialog();
// `activity` names the editor that opens the AV dialog ("Cloze", "elipse",
// "memoria", "multipla", "dialogica", "seq", "sem", "hplexical", "index" or
// "verbete"); it becomes the session's activityName.
void RunAVDialog(const std::string& activity);
void RunFramesDialog();

}  // namespace kio
