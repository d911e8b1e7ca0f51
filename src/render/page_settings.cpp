#include "render/page_settings.h"

#include "lang/texts.h"
#include "platform/text.h"
#include "render/fields.h"

namespace kio {

namespace {

const char kBlockMarker[] = "tem_tres_frames_e_cortabela";
const char kCompletionMarker[] = "a_t_i_v_i_d_a_d_e__c_o_n_c_l_u_i_d_a";
const char kFontsMarker[] = "tem_fontes_de_pagina";

// A font colour must be exactly seven characters for the font groups to be
// split back by position; a colour set by a markup code may not be. Keep
// the seven characters a "#RRGGBB" colour takes, padding a shorter value
// with blanks, which browsers ignore around a colour.
std::string SevenCharacters(std::string colour) {
  colour.resize(7, ' ');
  return colour;
}

}  // namespace

PageSettings DefaultPageSettings(const std::string& boxColor) {
  PageSettings p;
  p.background1 = "#CAC5E4";
  p.background2 = "#FFFFCC";
  p.background3 = "#474792";
  p.fontColor1 = "#000001";
  p.fontColor2 = "#000002";
  p.fontColor3 = "#FFFFFD";
  p.fontFace1 = "Verdana";
  p.fontFace2 = "Arial";
  p.fontFace3 = "Helvetica";
  p.fontSize1 = "13pt";
  p.fontSize2 = "14pt";
  p.fontSize3 = "12pt";
  p.frameCols = "25%,*";
  p.frameRows = "20%,*";
  p.boxColor = boxColor;
  return p;
}

void ResetPageSettings() {
  PageSettings& p = CurrentSession().pageSettings;
  // The box colour is not reset; its first value comes from the interface
  // language.
  p = DefaultPageSettings(p.boxColor.empty() ? UiText(Ui::kBoxColour) : p.boxColor);
}

void WriteSettingsBlock(File& file) {
  Session& s = CurrentSession();
  SettingsBlock block{s.pageSettings, s.completionMessage, s.blockStatus};
  WriteSettingsBlock(file, block);
  s.pageSettings = block.page;
}

void ReadSettingsBlock(File& file) {
  Session& s = CurrentSession();
  SettingsBlock block{s.pageSettings, s.completionMessage, s.blockStatus};
  // What was read before a failure stays read, as it did on the session.
  struct Keep {
    Session& s;
    SettingsBlock& block;
    ~Keep() {
      s.pageSettings = block.page;
      s.completionMessage = block.completionMessage;
      s.blockStatus = block.status;
    }
  } keep{s, block};
  ReadSettingsBlock(file, block);
}

void WriteSettingsBlock(File& file, SettingsBlock& block) {
  FieldWriter writer(file);
  WriteSettingsBlock(writer, block);
}

void WriteSettingsBlock(FieldWriter& w, SettingsBlock& block) {
  PageSettings& p = block.page;
  if (p.background1.empty()) p.background1 = "body bgcolor=\"#CAC5E4\"";
  if (p.background2.empty()) p.background2 = "body bgcolor='#FFFFFF'";
  if (p.background3.empty()) p.background3 = "body bgcolor='#008080'";
  if (p.boxColor.empty()) p.boxColor = "bgcolor='#F0E8F0'";
  w.Text(kBlockMarker);
  w.Text(p.background1);
  w.Text(p.background2);
  w.Text(p.background3);
  w.Text(p.boxColor);
  if (p.fontColor1.empty()) p.fontColor1 = "#000001";
  if (p.fontColor2.empty()) p.fontColor2 = "#000002";
  if (p.fontColor3.empty()) p.fontColor3 = "#FFFFFD";
  w.Text(kCompletionMarker);
  w.Text(block.completionMessage);
  w.Text(kFontsMarker);
  w.Text(SevenCharacters(p.fontColor1) + p.fontFace1 + p.fontSize1);
  w.Text(SevenCharacters(p.fontColor2) + p.fontFace2 + p.fontSize2);
  w.Text(SevenCharacters(p.fontColor3) + p.fontFace3 + p.fontSize3);
}

void ReadSettingsBlock(File& file, SettingsBlock& block) {
  PageSettings& p = block.page;
  FieldReader r(file);
  if (r.Count() != 27) {
    file.Seek(0);
    block.status = "vazio";
    return;
  }
  block.status = r.Bytes(27);
  if (block.status != kBlockMarker) return;
  std::string b1 = r.Text(kBlockStringLimit);
  std::string b2 = r.Text(kBlockStringLimit);
  std::string b3 = r.Text(kBlockStringLimit);
  std::string box = r.Text(kBlockStringLimit);
  b1 = ReplaceAll(b1, "'", "\"");
  p.background1 = Without(b1, {"<", ">"});
  p.background2 = Without(b2, {"<", ">"});
  p.background3 = Without(b3, {"<", ">"});
  p.boxColor = box;

  int64_t mark = static_cast<int64_t>(file.Position());
  if (r.Count() != 36) {
    file.Seek(mark);
    return;
  }
  std::string marker = r.Bytes(36);
  if (marker != kCompletionMarker) {
    block.status = marker;
    file.Seek(mark);
    return;
  }
  block.completionMessage = r.Text(kBlockStringLimit);
  block.status = kBlockMarker;

  mark = static_cast<int64_t>(file.Position());
  if (r.Count() != 20) {
    file.Seek(mark);
    return;
  }
  if (r.Bytes(20) != kFontsMarker) {
    file.Seek(mark);
    block.status = "vazio";
    return;
  }
  std::string groups[3];
  for (auto& g : groups) g = r.Text(kBlockStringLimit);
  std::string* colours[3] = {&p.fontColor1, &p.fontColor2, &p.fontColor3};
  std::string* faces[3] = {&p.fontFace1, &p.fontFace2, &p.fontFace3};
  std::string* sizes[3] = {&p.fontSize1, &p.fontSize2, &p.fontSize3};
  if (groups[0].size() < 9) {
    for (int i = 0; i < 3; ++i) *colours[i] = groups[i];
  } else {
    for (int i = 0; i < 3; ++i) {
      const std::string& g = groups[i];
      if (g.size() < 11) throw FileError{kInvalidFile};
      *colours[i] = g.substr(0, 7);
      *faces[i] = g.substr(7, g.size() - 11);
      *sizes[i] = g.substr(g.size() - 4);
    }
  }
  block.status = kBlockMarker;
}

}  // namespace kio
