#include "pages/menu/menu_dlg.h"

#include "fileio/document.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kRowTop = 62;
constexpr int kRowStep = 15;
constexpr int kBoxWidth = 148;
constexpr int kLeftColumn = 166;
constexpr int kRightColumn = 340;

DialogTemplate MenuLayout() {
  DialogTemplate t;
  t.resourceId = 155;
  t.title = "KIO Menu";
  t.width = 517;
  t.height = 302;
  t.controls = {
      {kMenuHelp, ControlKind::RichText, "", 5, 5, 155, 275, kReadOnly | kVScroll},
      {kMenuHelpTitle, ControlKind::Button, "?", kLeftColumn, 5, 12, 10},
      {kMenuLabelTitle, ControlKind::Label, "", kLeftColumn - 3, 18, 23, 9},
      {kMenuTitle, ControlKind::Edit, "", 187, 5, 325, 36, kMultiLine | kVScroll | kWantReturn},
      {kMenuHelpSelect, ControlKind::Button, "?", kLeftColumn, 46, 12, 10},
      {kMenuLabelPages, ControlKind::Label, "", kLeftColumn + 17, 47, 320, 9},
      {kMenuOpen, ControlKind::Button, "&Open", kLeftColumn, 250, 56, 14},
      {kMenuSave, ControlKind::Button, "&Save", kLeftColumn + 60, 250, 56, 14},
      {kMenuGenerate, ControlKind::Button, "&Generate  'Menu.htm'", kLeftColumn + 120, 250, 110, 14,
       kDefault},
      {kMenuReturn, ControlKind::Button, "&Return", kLeftColumn + 234, 250, 56, 14},
      {kMenuHelpFiles, ControlKind::Button, "?", kLeftColumn + 294, 252, 12, 10},
      // Below Generate.
      {kMenuPreview, ControlKind::Button, "Preview", kLeftColumn + 120, 268, 110, 14},
  };
  for (size_t k = 1; k <= kMenuEntries; ++k) {
    const int column = k <= 12 ? kLeftColumn : kRightColumn;
    const int y = kRowTop + static_cast<int>((k - 1) % 12) * kRowStep;
    char number[3] = {static_cast<char>('0' + k / 10), static_cast<char>('0' + k % 10), 0};
    t.controls.push_back({MenuEntryButton(k), ControlKind::Button, number, column, y, 18, 12});
    t.controls.push_back({MenuEntryBox(k), ControlKind::Edit, "", column + 20, y, kBoxWidth, 12});
  }
  return t;
}

DocumentEditorKind MenuKind() {
  DocumentEditorKind d;
  d.extension = "men";
  d.saveMode = SaveMode::kAskEveryTime;
  d.settingsBlock = false;
  d.helpPanel = kMenuHelp;
  d.openErrorSuffix = FixedText(Fixed::kCannotOpenFile);
  d.saveErrorSuffix = d.openErrorSuffix;
  d.returnName = "*.men";
  d.previewButton = kMenuPreview;
  return d;
}

std::string BoxText(const Dialog& dialog, int id) {
  std::string text = dialog.GetItemText(id);
  if (text.size() > kMenuTextLimit) text.resize(kMenuTextLimit);
  return text;
}

}  // namespace

int MenuEntryBox(size_t k) {
  if (k == 1) return 1046;
  if (k <= 12) return static_cast<int>(1069 + k);  // 1071 to 1081
  if (k == 13) return 1068;
  return static_cast<int>(1068 + k);  // 1082 to 1092
}

int MenuEntryButton(size_t k) {
  if (k <= 13) return static_cast<int>(1092 + k);  // 1093 to 1105
  return static_cast<int>(1094 + k);               // 1108 to 1118
}

CMenuDlg::CMenuDlg() : CDocumentEditorDlg(MenuLayout(), MenuKind()) {
  HelpOn(kMenuHelpFiles, 0, "menu_arquivos.rtf");
  HelpOn(kMenuHelpSelect, MenuEntryBox(1), "menu_select.rtf");
  HelpOn(kMenuHelpTitle, kMenuTitle, "menu_titulo.rtf");
  for (size_t k = 1; k <= kMenuEntries; ++k) OnButton(MenuEntryButton(k), [this, k] { ChooseEntry(k); });
  OnButton(kMenuOpen, [this] {
    if (AskToSave() != SaveAnswer::kCancelled) OpenDocument();
  });
  OnButton(kMenuSave, [this] { SaveDocument(); });
  OnButton(kMenuGenerate, [this] { GeneratePage(); });
}

bool CMenuDlg::OnInitDialog() {
  const std::pair<int, Ui> labels[] = {{kMenuOpen, Ui::kOpenButton},
                                       {kMenuSave, Ui::kSaveButton},
                                       {kMenuGenerate, Ui::kGenerateButton},
                                       {kMenuReturn, Ui::kReturnButton}};
  for (auto [id, record] : labels)
    if (!UiText(record).empty()) SetItemText(id, UiText(record));
  SetItemText(kMenuLabelTitle, LocalText(Win1252("Título"), "Title"));
  SetItemText(kMenuLabelPages, LocalText(Win1252("Páginas do menu: cada botão numerado escolhe uma"),
                                         "Pages of the menu: each numbered button chooses one"));
  ShowHelp(kMenuHelp, HelpText("ajuda_geral.rtf"));
  // The title as last opened or saved in this run, else the language's
  // record 47.
  remembered_ = MenuDocument{};
  remembered_.title = UiText(Ui::kMenuTitle);
  read_ = remembered_;
  ShowFields();
  return true;
}

void CMenuDlg::CollectFields() {
  read_ = MenuDocument{};
  read_.title = BoxText(*this, kMenuTitle);
  for (size_t k = 1; k <= kMenuEntries; ++k) read_.entries[k] = BoxText(*this, MenuEntryBox(k));
}

bool CMenuDlg::FieldsChanged() const {
  if (read_.title != remembered_.title) return true;
  for (size_t k = 1; k <= kMenuEntries; ++k)
    if (read_.entries[k] != remembered_.entries[k]) return true;
  return false;
}

void CMenuDlg::LoadFields(FieldReader& reader) {
  remembered_ = ReadMenuDocument(reader);
  SetUiText(Ui::kMenuTitle, remembered_.title);
}

void CMenuDlg::KeepFields() {
  remembered_ = read_;
  SetUiText(Ui::kMenuTitle, remembered_.title);
}

void CMenuDlg::ShowFields() {
  SetItemText(kMenuTitle, remembered_.title);
  for (size_t k = 1; k <= kMenuEntries; ++k) SetItemText(MenuEntryBox(k), remembered_.entries[k]);
}

bool CMenuDlg::ListIsWhole() {
  const std::optional<Ui> problem = MenuListProblem(read_);
  if (!problem) return true;
  ShowMessage(UiText(*problem), OopsCaption(), Buttons::Ok, this);
  return false;
}

bool CMenuDlg::ReadyToSave() { return ListIsWhole(); }

void CMenuDlg::ChooseEntry(size_t k) {
  if (k == 1) ShowHelp(kMenuHelp, HelpText("menu_select.rtf"));
  ChooserRequest request;
  request.save = false;
  request.initialName = "*.htm";
  request.filter = "*.htm||";
  request.defaultExtension = "htm";
  auto chosen = ChooseFile(request);
  SetItemText(MenuEntryBox(k), chosen ? BareName(*chosen) : "");
}

std::optional<std::string> CMenuDlg::WritePageTo(const PageDestination& destination) {
  Session& s = CurrentSession();
  CollectFields();
  if (!ListIsWhole()) return std::nullopt;
  ChooserRequest request = DocumentChooser("htm", true);
  request.initialName = s.appPaths.documentsFolder + "menu.htm";
  auto target = ChoosePageFile(request, destination);
  if (!target) return std::nullopt;
  if (!target->preview && target->fileName != "menu.htm" &&
      ShowMessage(UiText(Ui::kUsualPageName), UiText(Ui::kProgramName), Buttons::YesNo, this) != Answer::Yes)
    return std::nullopt;
  PageBuild build = SessionPageBuild();
  // A page that could not be written is said so, never passed over.
  if (!WriteAssembledPage(*target, BuildMenuPage(read_, UiText(Ui::kActivity)), build)) return std::nullopt;
  return target->chosenPath;
}

}  // namespace kio
