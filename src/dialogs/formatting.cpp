#include "dialogs/formatting.h"

#include <algorithm>
#include <cstdio>

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "render/markup.h"
#include "render/page_settings.h"

namespace kio {

namespace {

constexpr int kBoxHeight = 13;
constexpr unsigned kCopyBox = kReadOnly;  // a box whose tag the teacher copies

void OkButton(DialogTemplate& t, int x, int y) {
  t.controls.push_back({IDOK, ControlKind::Button, "OK", x, y, 55, 14, kDefault});
}

// The OK button of the Font and AV dialogs shows the editors' Return label.
void LabelOk(Dialog& d) {
  if (!UiText(Ui::kReturnButton).empty()) d.SetItemText(IDOK, UiText(Ui::kReturnButton));
}

DialogTemplate FontLayout() {
  DialogTemplate t{0, "Font", 330, 190, {}};
  for (int k = 0; k < 7; ++k) {
    char label[3];
    std::snprintf(label, sizeof label, "%02d", k + 1);
    t.controls.push_back({kFontSize1 + k, ControlKind::Button, label, 8 + k * 22, 8, 20, kBoxHeight});
  }
  t.controls.push_back({kFontSizeBox, ControlKind::Edit, "", 165, 8, 90, kBoxHeight, kCopyBox});
  t.controls.push_back({kFontSizeEnd, ControlKind::Edit, "</font>", 260, 8, 60, kBoxHeight, kCopyBox});
  const struct {
    int button, box, end;
    const char *label, *start, *finish;
    int y;
  } rows[] = {
      {kFontColour, kFontColourBox, kFontColourEnd, "Color", "", "</font>", 28},
      {kFontName, kFontFaceBox, kFontFaceEnd, "Font_Name", "", "</font>", 46},
      {kFontItalics, kFontItalicsBox, kFontItalicsEnd, "Italics", "<em>", "</em>", 64},
      {kFontBold, kFontBoldBox, kFontBoldEnd, "Bold", "<strong>", "</strong>", 82},
  };
  for (const auto& r : rows) {
    t.controls.push_back({r.button, ControlKind::Button, r.label, 8, r.y, 70, kBoxHeight});
    t.controls.push_back({r.box, ControlKind::Edit, r.start, 85, r.y, 170, kBoxHeight, kCopyBox});
    t.controls.push_back({r.end, ControlKind::Edit, r.finish, 260, r.y, 60, kBoxHeight, kCopyBox});
  }
  t.controls.push_back({kFontHelp, ControlKind::RichText, "", 8, 102, 312, 60, kReadOnly | kVScroll});
  OkButton(t, 265, 168);
  return t;
}

DialogTemplate ParagraphLayout() {
  DialogTemplate t{0, "Align Paragraph", 280, 150, {}};
  const struct {
    int button, box, end;
    const char* label;
    int y;
  } rows[] = {{kParaLeft, kParaLeftBox, kParaLeftEnd, "&Left", 8},
              {kParaRight, kParaRightBox, kParaRightEnd, "&Right", 26},
              {kParaCenter, kParaCenterBox, kParaCenterEnd, "&Center", 44}};
  for (const auto& r : rows) {
    t.controls.push_back({r.button, ControlKind::Button, r.label, 8, r.y, 60, kBoxHeight});
    t.controls.push_back({r.box, ControlKind::Edit, "", 75, r.y, 120, kBoxHeight, kCopyBox});
    t.controls.push_back({r.end, ControlKind::Edit, "</p>", 200, r.y, 70, kBoxHeight, kCopyBox});
  }
  t.controls.push_back({kParaHelp, ControlKind::RichText, "", 8, 64, 262, 58, kReadOnly | kVScroll});
  OkButton(t, 215, 128);
  return t;
}

DialogTemplate AVLayout() {
  DialogTemplate t{0, "AV - Audiovisual", 340, 210, {}};
  t.controls = {
      {1790, ControlKind::Label, "H", 8, 10, 10, 9},
      {kAVWidth, ControlKind::Edit, "190", 20, 8, 40, kBoxHeight},
      {1791, ControlKind::Label, "V", 70, 10, 10, 9},
      {kAVHeight, ControlKind::Edit, "140", 82, 8, 40, kBoxHeight},
      {kAVImage, ControlKind::Button, "&Image", 8, 26, 70, kBoxHeight},
      {kAVImageBox, ControlKind::Edit, "", 85, 26, 245, kBoxHeight, kCopyBox},
      {kAVAlignLeft, ControlKind::Button, "<", 85, 44, 25, kBoxHeight},
      {kAVAlignCenter, ControlKind::Button, "><", 115, 44, 25, kBoxHeight},
      {kAVAlignRight, ControlKind::Button, ">", 145, 44, 25, kBoxHeight},
      {kAVAudio, ControlKind::Button, "&Audio", 8, 62, 70, kBoxHeight},
      {kAVAudioBox, ControlKind::Edit, "", 85, 62, 245, kBoxHeight, kCopyBox},
      {kAVVideo, ControlKind::Button, "&Video", 8, 80, 70, kBoxHeight},
      {kAVVideoBox, ControlKind::Edit, "", 85, 80, 245, kBoxHeight, kCopyBox},
      {kAVFlashVideo, ControlKind::Button, "&Flash Video", 8, 98, 70, kBoxHeight},
      {kAVFlashVideoBox, ControlKind::Edit, "", 85, 98, 245, kBoxHeight, kCopyBox},
      {kAVFlash, ControlKind::Button, "F&lash", 8, 116, 70, kBoxHeight},
      {kAVFlashBox, ControlKind::Edit, "", 85, 116, 245, kBoxHeight, kCopyBox},
      {kAVHelp, ControlKind::RichText, "", 8, 136, 322, 44, kReadOnly | kVScroll},
  };
  OkButton(t, 275, 188);
  return t;
}

DialogTemplate FramesLayout() {
  DialogTemplate t{0, "Frame 01", 330, 200, {}};
  for (int f = 0; f < 3; ++f) {
    int x = 8 + f * 80;
    int base = 10 * f;
    t.controls.push_back({1870 + f, ControlKind::Group, "Frame 0" + std::to_string(f + 1), x, 6, 75, 90});
    t.controls.push_back(
        {kFrameBackground1 + base, ControlKind::Button, "Background color", x + 5, 18, 65, 14});
    t.controls.push_back({kFrameFontColour1 + base, ControlKind::Button, "Font color", x + 5, 36, 65, 14});
    t.controls.push_back({kFrameFontSize1 + base, ControlKind::Button, "Font size", x + 5, 54, 65, 14});
    t.controls.push_back({kFrameFontFace1 + base, ControlKind::Button, "Muda fonte", x + 5, 72, 65, 14});
  }
  t.controls.push_back({1873, ControlKind::Group, "Box", 248, 6, 75, 34});
  t.controls.push_back({kFrameBox, ControlKind::Button, "Box", 253, 18, 65, 14});
  t.controls.push_back({kFramesHelp, ControlKind::RichText, "", 8, 102, 315, 70, kReadOnly | kVScroll});
  OkButton(t, 268, 180);
  return t;
}

}  // namespace

std::string PickColour() {
  auto rgb = CurrentPlatform().PickColour();
  if (!rgb) return "";
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb->red, rgb->green, rgb->blue);
  return text;
}

PickedFont PickFont(std::string lastSize) {
  auto font = CurrentPlatform().PickFont();
  if (!font) return {"", lastSize};
  int points = std::clamp(font->points, 10, 99);
  return {font->face, std::to_string(points)};
}

std::string PickMediaFile() {
  ChooserRequest r;
  r.initialName =
      (CurrentSession().activityName == "verbete" ? CurrentSession().appPaths.programFolder + "pictures/"
                                                  : CurrentSession().appPaths.documentsFolder) +
      "*.*";
  r.filter = "*.*||";
  auto chosen = ChooseFile(r);
  if (!chosen) return "";
  std::string name = BareName(*chosen);
  if (name == "*.*") return "";
  if (CheckFileNameCharacters(name) != Answer::Yes) return "";
  return name;
}

CFontDlg::CFontDlg() : Dialog(FontLayout()) {
  ShowFixedLabels(*this);
  for (int k = 0; k < 7; ++k)
    OnButton(kFontSize1 + k,
             [this, k] { SetItemText(kFontSizeBox, "<font size=" + std::to_string(k + 1) + ">"); });
  OnButton(kFontColour, [this] {
    std::string colour = PickColour();
    if (!colour.empty()) SetItemText(kFontColourBox, "<font color=" + colour + ">");
  });
  OnButton(kFontName, [this] {
    PickedFont font = PickFont();
    if (!font.face.empty()) SetItemText(kFontFaceBox, "<font face = '" + font.face + "'>");
  });
  OnButton(kFontItalics, [] {});
  OnButton(kFontBold, [] {});
  ShowHelp(kFontHelp, HelpText("fontes.rtf"));
  LabelOk(*this);
}

CParagraphDlg::CParagraphDlg() : Dialog(ParagraphLayout()) {
  ShowFixedLabels(*this);
  OnButton(kParaLeft, [this] { SetItemText(kParaLeftBox, "<p align=left>"); });
  OnButton(kParaRight, [this] { SetItemText(kParaRightBox, "<p align=right>"); });
  OnButton(kParaCenter, [this] { SetItemText(kParaCenterBox, "<p align=center>"); });
  ShowHelp(kParaHelp, HelpText("paragraph.rtf"));
}

CAVDlg::CAVDlg() : Dialog(AVLayout()) {
  ShowFixedLabels(*this);
  OnButton(kAVImage, [this] {
    std::string name = PickMediaFile();
    last_ = name;
    if (name.empty()) return;
    if (CurrentSession().activityName == "memoria" || CurrentSession().activityName == "verbete")
      SetItemText(kAVImageBox, "{i=" + name + "}");
    else
      SetItemText(kAVImageBox, "<center><img src='" + name + "' border=0></center>");
  });
  OnButton(kAVAlignLeft, [this] { Align("<img src='", "' border=0 align=left>"); });
  OnButton(kAVAlignCenter, [this] { Align("<center><img src='", "' border=0></center>"); });
  OnButton(kAVAlignRight, [this] { Align("<img src='", "' border=0 align=right>"); });
  OnButton(kAVAudio, [this] {
    std::string name = PickMediaFile();
    last_ = name.empty() ? "" : "{a=" + name + "}";
    SetItemText(kAVAudioBox, last_);
  });
  auto video = [this](int box, const char* code) {
    std::string name = PickMediaFile();
    if (name.empty()) {
      last_.clear();
      return;
    }
    CurrentSession().MediaWidth = GetItemText(kAVWidth).substr(0, kMediaSizeLimit);
    CurrentSession().MediaHeight = GetItemText(kAVHeight).substr(0, kMediaSizeLimit);
    last_ =
        "{h=" + CurrentSession().MediaWidth + "}{t=" + CurrentSession().MediaHeight + "}" + code + name + "}";
    SetItemText(box, last_);
  };
  OnButton(kAVVideo, [video] { video(kAVVideoBox, "{v="); });
  OnButton(kAVFlashVideo, [video] { video(kAVFlashVideoBox, "{f="); });
  OnButton(kAVFlash, [this] {
    std::string name = PickMediaFile();
    last_ = name.empty() ? "" : "{s=" + name + "}";
    SetItemText(kAVFlashBox, last_);
  });
  ShowHelp(kAVHelp, HelpText("av.rtf"));
  LabelOk(*this);
}

void CAVDlg::Align(const char* before, const char* after) {
  if (CurrentSession().activityName == "memoria") return;
  SetItemText(kAVImageBox, last_.empty() ? "" : before + last_ + after);
}

CFramesDlg::CFramesDlg() : Dialog(FramesLayout()) {
  ShowFixedLabels(*this);
  PageSettings& p = CurrentSession().pageSettings;
  std::string* fontColours[3] = {&p.fontColor1, &p.fontColor2, &p.fontColor3};
  std::string* fontSizes[3] = {&p.fontSize1, &p.fontSize2, &p.fontSize3};
  std::string* fontFaces[3] = {&p.fontFace1, &p.fontFace2, &p.fontFace3};
  std::string* backgrounds[3] = {&p.background1, &p.background2, &p.background3};
  for (int f = 0; f < 3; ++f) {
    int base = 10 * f;
    OnButton(kFrameBackground1 + base, [f, backgrounds] {
      std::string colour = PickColour();
      if (colour.empty()) return;
      *backgrounds[f] = f == 0 ? "body bgcolor=\"" + colour + "\"" : "body bgcolor='" + colour + "'";
    });
    OnButton(kFrameFontColour1 + base, [f, fontColours] {
      std::string colour = PickColour();
      if (!colour.empty()) *fontColours[f] = colour;
    });
    OnButton(kFrameFontSize1 + base, [f, fontSizes] {
      PickedFont font = PickFont();
      if (!font.face.empty()) *fontSizes[f] = font.size + "pt";
    });
    OnButton(kFrameFontFace1 + base, [f, fontFaces] {
      PickedFont font = PickFont();
      if (!font.face.empty()) *fontFaces[f] = font.face;
    });
  }
  OnButton(kFrameBox, [] {
    std::string colour = PickColour();
    if (!colour.empty()) CurrentSession().pageSettings.boxColor = "bgcolor='" + colour + "'";
  });
  ShowHelp(kFramesHelp, HelpText("frames.rtf"));
}

void RunFontDialog() {
  CFontDlg dlg;
  dlg.DoModal();
}

void RunParagraphDialog() {
  CParagraphDlg dlg;
  dlg.DoModal();
}

void RunAVDialog(const std::string& activity) {
  CurrentSession().activityName = activity;
  CAVDlg dlg;
  dlg.DoModal();
}

void RunFramesDialog() {
  CFramesDlg dlg;
  dlg.DoModal();
}

}  // namespace kio
