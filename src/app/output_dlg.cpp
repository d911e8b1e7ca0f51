#include "app/output_dlg.h"

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

constexpr int kEntryCount = kLastStudentEntry - kFirstStudentEntry + 1;
constexpr int kRowsPerColumn = 15;

struct OutputRow {
  int entry;
  int currentBox, editBox;
  bool multiLine;
  // What the text stands for on the students' pages, in Portuguese and in
  // English (UTF-8; the row label follows the interface language).
  const char* labelPt;
  const char* labelEn;
};

const OutputRow kRows[kEntryCount] = {
    {5, 1303, 1304, false, "05 desempenho", "05 performance"},
    {6, 1306, 1305, false, "06 arquivo", "06 file"},
    {7, 1308, 1307, false, "07 tipo", "07 type"},
    {8, 1310, 1309, false, "08 clique avança", "08 click next"},
    {9, 1312, 1311, false, "09 fim", "09 end"},
    {10, 1314, 1313, false, "10 perguntas", "10 questions"},
    {11, 1316, 1315, false, "11 mais curta", "11 write less"},
    {12, 1318, 1317, false, "12 respostas", "12 answers"},
    {13, 1321, 1319, true, "13 Cloze/Eclipse", "13 Cloze/Eclipse"},
    {14, 1320, 1322, true, "14 Memória", "14 Memory"},
    {15, 1332, 1333, false, "15 pronto", "15 done"},
    {16, 1334, 1335, false, "16 erradas", "16 wrong"},
    {17, 1336, 1337, false, "17 certas", "17 right"},
    {18, 1338, 1339, false, "18 data", "18 date"},
    {19, 1340, 1341, false, "19 hora", "19 time"},
    {20, 1344, 1345, false, "20 detalhes", "20 details"},
    {21, 1346, 1347, false, "21 pergunta nº", "21 question no."},
    {22, 1348, 1349, false, "22 livre", "22 free"},
    {23, 1351, 1350, true, "23 Sequência", "23 Sequence"},
    {24, 1352, 1353, false, "24 pontuação", "24 score"},
    {25, 1354, 1355, false, "25 segmentos", "25 segments"},
    {26, 1356, 1357, false, "26 enviar", "26 send"},
    {27, 1358, 1359, false, "27 tentativas", "27 trials"},
    {28, 1360, 1361, false, "28 acertos", "28 correct"},
    {29, 1362, 1363, false, "29 enviar result.", "29 send result"},
    {30, 1364, 1365, false, "30 se conectado", "30 if online"},
    {31, 1366, 1367, false, "31 imprimir", "31 print"},
    {32, 1368, 1369, false, "32 nome", "32 name"},
    {33, 1370, 1371, false, "33 palavras", "33 words"},
    {34, 1373, 1372, true, "34 msg. final", "34 end message"},
};

const OutputRow& RowOf(int entry) { return kRows[entry - kFirstStudentEntry]; }

// An unusable file chosen in Open: the editor stays open with the teacher's
// texts.
const std::string& UnusableFileMessage() { return FixedText(Fixed::kOutputLanguageNotFound); }

// Geometry, in dialog units: two columns of 15 rows each (entries 5 to 19 and
// 20 to 34), each row a label, the current text and the new text; the help
// panel and the buttons below. Every box wraps its text over two lines (a
// multi-line row over three, with a scroll bar), so that a current text such
// as "Clique em Avança para continuar." is read whole; Enter in a box that
// stands for a one-line text presses the default button rather than
// breaking the line.
constexpr int kColumnX[2] = {5, 256};
constexpr int kLabelWidth = 62;
constexpr int kBoxWidth = 88;
constexpr int kRowGap = 1;
constexpr int kBoxHeight = 18;      // two lines of text
constexpr int kTallBoxHeight = 26;  // three lines of text
constexpr int kFirstRowY = 16;
constexpr int kBottomY = 318;

DialogTemplate OutputLayout() {
  DialogTemplate t;
  t.resourceId = 178;
  t.title = "Output";
  t.width = 507;
  t.height = 360;
  for (int column = 0; column < 2; ++column) {
    int x = kColumnX[column];
    int current = column == 0 ? kOutputColumnHeaderCurrent1 : kOutputColumnHeaderCurrent2;
    int fresh = column == 0 ? kOutputColumnHeaderNew1 : kOutputColumnHeaderNew2;
    t.controls.push_back({current, ControlKind::Label, "", x + kLabelWidth + 2, 5, kBoxWidth, 8});
    t.controls.push_back({fresh, ControlKind::Label, "", x + kLabelWidth + kBoxWidth + 5, 5, kBoxWidth, 8});
    int y = kFirstRowY;
    for (int i = 0; i < kRowsPerColumn; ++i) {
      const OutputRow& row = kRows[column * kRowsPerColumn + i];
      int height = row.multiLine ? kTallBoxHeight : kBoxHeight;
      unsigned lines = kMultiLine | kVScroll | (row.multiLine ? unsigned(kWantReturn) : 0u);
      t.controls.push_back(
          {kOutputRowLabelBase + row.entry, ControlKind::Label, "", x, y + 2, kLabelWidth, 8});
      t.controls.push_back({row.currentBox, ControlKind::Edit, "", x + kLabelWidth + 2, y, kBoxWidth, height,
                            kReadOnly | lines});
      t.controls.push_back(
          {row.editBox, ControlKind::Edit, "", x + kLabelWidth + kBoxWidth + 5, y, kBoxWidth, height, lines});
      y += height + kRowGap;
    }
  }
  t.controls.push_back({kOutputHelp, ControlKind::RichText, "", 5, kBottomY, 328, 38, kReadOnly | kVScroll});
  t.controls.push_back({kOutputOpen, ControlKind::Button, "&Open", 338, kBottomY, 52, 14});
  t.controls.push_back({kOutputSave, ControlKind::Button, "&Save", 394, kBottomY, 52, 14});
  t.controls.push_back({kOutputCancel, ControlKind::Button, "Cancel", 450, kBottomY, 52, 14});
  return t;
}

// The editor's own captions follow the interface language.
std::string Local(const char* portuguese, const char* english) {
  return LocalText(Win1252(portuguese), Win1252(english));
}

}  // namespace

int OutputCurrentBox(int entry) { return RowOf(entry).currentBox; }
int OutputEditBox(int entry) { return RowOf(entry).editBox; }

std::string BuildStudentLanguageFile(const std::vector<std::string>& texts) {
  std::string file = "P_000^---~\r\nP_001^---~\r\nP_002^---~\r\nP_003^---~\r\nP_004^---~\r\n";
  for (int r = kFirstStudentEntry; r <= kLastStudentEntry; ++r)
    file += "\r\nP_00" + std::to_string(r) + "^" + texts[r - kFirstStudentEntry] + "~";
  return file;
}

COutputDlg::COutputDlg() : Dialog(OutputLayout()) {
  ShowFixedLabels(*this);
  OnButton(kOutputOpen, [this] { Open(); });
  OnButton(kOutputSave, [this] { Save(); });
}

bool COutputDlg::OnInitDialog() {
  ShowHelp(kOutputHelp, HelpText("output_intro.rtf"));
  const std::pair<int, Ui> labels[] = {
      {kOutputOpen, Ui::kOpenButton}, {kOutputSave, Ui::kSaveButton}, {kOutputCancel, Ui::kReturnButton}};
  for (auto [id, record] : labels)
    if (!UiText(record).empty()) SetItemText(id, UiText(record));
  for (int id : {kOutputColumnHeaderCurrent1, kOutputColumnHeaderCurrent2})
    SetItemText(id, Local("Texto atual", "Current text"));
  for (int id : {kOutputColumnHeaderNew1, kOutputColumnHeaderNew2})
    SetItemText(id, Local("Novo texto", "New text"));
  for (const OutputRow& row : kRows) {
    SetItemText(kOutputRowLabelBase + row.entry, Local(row.labelPt, row.labelEn));
    SetItemText(row.currentBox, StudentText(row.entry));
    SetItemText(row.editBox, "");
  }
  working_.assign(kEntryCount, std::string());
  saved_.assign(kEntryCount, std::string());
  return true;
}

void COutputDlg::Collect() {
  for (const OutputRow& row : kRows) {
    std::string text = GetItemText(row.editBox);
    if (text.size() > kOutputTextLimit) text.resize(kOutputTextLimit);
    working_[row.entry - kFirstStudentEntry] = std::move(text);
  }
}

std::optional<std::string> COutputDlg::CollectAndBuild() {
  Collect();
  bool allEmpty = true, anyEmpty = false;
  for (const std::string& text : working_) {
    if (text.empty())
      anyEmpty = true;
    else
      allEmpty = false;
  }
  if (allEmpty) {
    ShowMessage(UiText(Ui::kNothingToSave), OopsCaption(), Buttons::Ok, this);
    return std::nullopt;
  }
  if (anyEmpty) {
    ShowMessage(UiText(Ui::kBoxesOutOfOrder), OopsCaption(), Buttons::Ok, this);
    return std::nullopt;
  }
  // The file keeps each text between "^" and "~": a text holding either
  // would read back cut, or shift every later text.
  for (const std::string& text : working_) {
    if (text.find_first_of("~^") != std::string::npos) {
      ShowMessage(Local("Os textos não podem conter os sinais \"~\" e \"^\": tire-os e salve de novo.",
                        "The texts cannot hold the signs \"~\" and \"^\": take them out and save again."),
                  OopsCaption(), Buttons::Ok, this);
      return std::nullopt;
    }
  }
  return BuildStudentLanguageFile(working_);
}

bool COutputDlg::Changed() {
  Collect();
  return working_ != saved_;
}

bool COutputDlg::Save() {
  std::optional<std::string> fileText = CollectAndBuild();
  if (!fileText) return false;
  CurrentSession().documentFile.Close();
  auto chosen = ChooseFile(ExtensionChooser(CurrentSession().appPaths.programFolder, "stu", true));
  if (!chosen) return false;
  TakeChosenName(*chosen);
  try {
    // Written under exactly the chosen name, and put in place only whole.
    ReplacementFile file(*chosen);
    file.Out().Write(*fileText);
    file.Commit();
  } catch (const FileError& e) {
    ReportFileError(e.cause, FixedText(Fixed::kCannotOpenFile));
    return false;
  }
  saved_ = working_;
  return true;
}

void COutputDlg::Open() {
  if (CurrentSession().appPaths.readOnlyMedia) return;
  // Opening replaces every edit box: texts typed since the last open or save
  // are offered for saving first, as on leaving.
  if (Changed()) {
    switch (ShowMessage(UiText(Ui::kAskSaveChanges), "KIO", Buttons::YesNoCancel, this)) {
      case Answer::Cancel: return;
      case Answer::Yes:
        if (!Save()) return;
        break;
      default: break;
    }
  }
  auto chosen = ChooseFile(ExtensionChooser(CurrentSession().appPaths.programFolder, "stu", false));
  if (!chosen) return;
  std::string name = ToLower(BareName(*chosen));
  if (name.empty() || name == "*.stu") return;
  // A file the loader could not use keeps the editor and the typed texts;
  // a usable one becomes the student language in name only, its texts going
  // to the edit boxes rather than to the student texts.
  std::string contents;
  if (!ReadTextFile(name, contents)) {
    ShowMessage(UnusableFileMessage(), OopsCaption(), Buttons::Ok, this);
    return;
  }
  CurrentSession().appPaths.studentLanguageFile = name;
  working_ = StudentTextsOf(contents);
  // An edit box holds at most the limit.
  for (std::string& text : working_)
    if (text.size() > kOutputTextLimit) text.resize(kOutputTextLimit);
  for (const OutputRow& row : kRows) SetItemText(row.editBox, working_[row.entry - kFirstStudentEntry]);
  saved_ = working_;
}

void COutputDlg::OnCancel() {
  if (Changed()) {
    switch (ShowMessage(UiText(Ui::kAskSaveChanges), "KIO", Buttons::YesNoCancel, this)) {
      case Answer::Cancel: return;
      case Answer::Yes: Save(); break;
      default: break;
    }
  }
  CurrentSession().documentFile.Close();
  EndDialog(IDCANCEL);
}

}  // namespace kio
