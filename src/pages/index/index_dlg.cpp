#include "pages/index/index_dlg.h"

#include <filesystem>

#include "documents/basic_document.h"
#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kRight = 162;
constexpr int kRightWidth = 340;
constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 14;
constexpr int kListTop = 74;
constexpr int kItemTop = 94;

DialogTemplate IndexLayout() {
  DialogTemplate t;
  t.resourceId = 166;
  t.title = "KIO Index";
  t.width = 507;
  t.height = 306;
  auto listButton = [](int id, const char* label, int column) {
    return ControlSpec{id, ControlKind::Button, label, kRight + 62 + column * 38, kListTop,
                       36, kButtonHeight};
  };
  t.controls = {
      {kListHelp, ControlKind::RichText, "", 5, 5, 150, 236, kReadOnly | kVScroll},
      {kListDocumentName, ControlKind::Edit, "", 5, 246, 150, 12, kReadOnly},
      {kIndexHelpInitialize, ControlKind::Button, "?", kRight, 7, 12, 10},
      {kIndexInitialize, ControlKind::Button, "&Initialize Index:", kRight + 14, 5, 84, kButtonHeight},
      {kIndexFolder, ControlKind::Edit, "", kRight + 102, 6, kRightWidth - 102, 12, kReadOnly},
      {kIndexHelpHeading, ControlKind::Button, "?", kRight, 24, 12, 10},
      {kIndexLabelHeading, ControlKind::Label, "", kRight + 15, 25, 200, 9},
      {kIndexHeading, ControlKind::Edit, "", kRight, 36, kRightWidth, 32,
       kMultiLine | kVScroll | kWantReturn},
      {kIndexHelpList, ControlKind::Button, "?", kRight, kListTop + 2, 12, 10},
      {kListPosition, ControlKind::Edit, "", kRight + 14, kListTop + 1, 44, 12, kReadOnly},
      listButton(kListBack, "&Back", 0),
      listButton(kListForward, "&Forward", 1),
      listButton(kListInsert, "&Insert", 2),
      listButton(kListAttach, "&Attach", 3),
      listButton(kListCopy, "Cop&y", 4),
      listButton(kListCut, "&Cut", 5),
      listButton(kListPaste, "&Paste", 6),
      {kIndexHelpClipboard, ControlKind::Button, "?", kRight + 62 + 7 * 38, kListTop + 2, 12, 10},
      {kListFieldHelp, ControlKind::Button, "?", kRight, kItemTop, 12, 10},
      {kListFieldLabel, ControlKind::Label, "", kRight + 15, kItemTop + 1, 320, 9},
      {kListSelect, ControlKind::Button, "Link to File:", kRight + 14, kItemTop + 12, 84, kButtonHeight},
      {kListField, ControlKind::Edit, "", kRight + 102, kItemTop + 13, kRightWidth - 102, 12},
      {kListFieldHelp + 1, ControlKind::Button, "?", kRight, kItemTop + 32, 12, 10},
      {kListFieldLabel + 1, ControlKind::Label, "", kRight + 15, kItemTop + 33, 200, 9},
      {kListField + 1, ControlKind::Edit, "", kRight, kItemTop + 44, kRightWidth, 110,
       kMultiLine | kVScroll | kWantReturn},
      {kListNew, ControlKind::Button, "&New", kRight, 266, kButtonWidth, kButtonHeight},
      {kListOpen, ControlKind::Button, "&Open", kRight + 56, 266, kButtonWidth, kButtonHeight},
      {kListSave, ControlKind::Button, "&Save", kRight + 112, 266, kButtonWidth, kButtonHeight},
      {kListGenerate, ControlKind::Button, "&Generate HTM", kRight + 168, 266, kButtonWidth + 20,
       kButtonHeight},
      {kIndexHelpGenerate, ControlKind::Button, "?", kRight + 244, 268, 12, 10},
      {kListReturn, ControlKind::Button, "&Return", kRight + 300, 266, kButtonWidth - 12, kButtonHeight},
      {kListFont, ControlKind::Button, "Font", kRight, 285, kButtonWidth, kButtonHeight},
      {kListParagraph, ControlKind::Button, "Paragraph", kRight + 56, 285, kButtonWidth, kButtonHeight},
      {kListAV, ControlKind::Button, "A&V", kRight + 112, 285, kButtonWidth, kButtonHeight},
      {kListGlobal, ControlKind::Button, "Global", kRight + 168, 285, kButtonWidth, kButtonHeight},
      {kListWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 285, 150, kButtonHeight},
      PreviewButtonSpec(kListPreview),
  };
  return t;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
  return !start.empty() && ToLower(text.substr(0, start.size())) == ToLower(start);
}

}  // namespace

CIndexDlg::CIndexDlg()
    : CListEditorDlg(IndexLayout(), [this] {
        ListEditorKind k;
        k.document.extension = "dex";
        k.document.saveMode = SaveMode::kAskEveryTime;
        k.document.helpPanel = kListHelp;
        k.document.activityName = "index";
        k.document.openErrorSuffix = FixedText(Fixed::kCannotOpenFile);
        k.document.returnName = "";
        k.document.previewButton = kListPreview;
        k.fields = {
            {kIndexItems.limits[0], "index_cada_link.rtf", std::nullopt, Win1252("Página do item (link)"),
             "Page of the item (link)"},
            {kIndexItems.limits[1], "index_cada_titulo.rtf", std::nullopt, "Texto do link",
             "Text of the link"},
        };
        k.capacity = kIndexItems.capacity;
        k.lastPlace = kIndexItemLimit;
        k.pasteFields = 2;
        k.hasFinal = false;
        k.tipsHelp = "index_intro.rtf";
        // The editor keeps its own clipboard, emptied by New and Open.
        k.clipboard = &clipboard_;
        k.select = [this] { return LinkToFile(); };
        k.selectField = 0;
        return k;
      }()) {
  HelpOn(kIndexHelpInitialize, 0, "index_inicializa.rtf");
  HelpOn(kIndexHelpHeading, kIndexHeading, "index_titulo.rtf");
  HelpOn(kIndexHelpList, 0, "insere_move.rtf");
  HelpOn(kIndexHelpClipboard, 0, "copia_cola.rtf");
  HelpOn(kIndexHelpGenerate, 0, "index_finish.rtf");
  OnButton(kIndexInitialize, [this] { InitializeIndex(); });
}

void CIndexDlg::StartOther() {
  SetItemText(kIndexInitialize, LocalText(Win1252("&Iniciar índice:"), "&Initialize Index:"));
  SetItemText(kListSelect, LocalText("Ligar a arquivo:", "Link to File:"));
  SetItemText(kIndexLabelHeading, LocalText(Win1252("Título do índice"), "Heading of the index"));
}

void CIndexDlg::ClearOther() {
  Session& s = CurrentSession();
  folder_.clear();
  heading_.clear();
  initializedPage_.clear();
  clipboard_.item.reset();
  clipFolder_.clear();
  clipHeading_.clear();
  s.pageSettings.background2 = "body bgcolor='#FFFF99'";
  s.pageSettings.boxColor = "bgcolor=\"#009999\"";
}

ItemCheck CIndexDlg::CheckItem(Item& item) {
  return ItemCheckOf(CheckIndexItem(item, Box(kIndexFolder), Box(kIndexHeading)));
}

std::string CIndexDlg::Box(int id) const {
  std::string text = GetItemText(id);
  if (text.size() > kIndexTextLimit) text.resize(kIndexTextLimit);
  return text;
}

bool CIndexDlg::OtherFieldsChanged() const {
  return Box(kIndexFolder) != folder_ || Box(kIndexHeading) != heading_;
}

void CIndexDlg::ShowOther() {
  SetItemText(kIndexFolder, folder_);
  SetItemText(kIndexHeading, heading_);
}

bool CIndexDlg::Attach() {
  const std::string folder = Box(kIndexFolder), heading = Box(kIndexHeading);
  if (!CListEditorDlg::Attach()) return false;
  folder_ = folder;
  heading_ = heading;
  ShowOther();
  return true;
}

void CIndexDlg::Copy() {
  ClipWithContext([this] { CListEditorDlg::Copy(); });
}

void CIndexDlg::Cut() {
  ClipWithContext([this] { CListEditorDlg::Cut(); });
}

void CIndexDlg::ClipWithContext(const std::function<void()>& clip) {
  const bool here = List().Current() < List().Count();
  clip();
  if (!here) return;
  clipFolder_ = folder_;
  clipHeading_ = heading_;
}

void CIndexDlg::Paste() {
  const size_t before = List().Count();
  CListEditorDlg::Paste();
  if (List().Count() == before) return;
  // The folder and heading the item was taken with come back with it.
  folder_ = clipFolder_;
  heading_ = clipHeading_;
  ShowOther();
}

void CIndexDlg::Open() {
  restart_ = false;
  CListEditorDlg::Open();
  // The teacher did not take the moved folder: the editor starts empty.
  if (restart_) ClearDocument();
}

void CIndexDlg::LoadFields(FieldReader& reader) {
  const uint32_t count = reader.Number();
  std::string folder = ReadTextCut(reader, kIndexTextLimit);
  std::string heading = ReadTextCut(reader, kIndexTextLimit);
  // The chooser left the working folder at the document's folder.
  const std::string actual = WorkingFolder();
  if (ToLower(folder) != ToLower(actual)) {
    const std::string question = UiText(Ui::kIndexFolderWas) + folder + UiText(Ui::kIndexFolderBut) + actual +
                                 UiText(Ui::kIndexFolderNow);
    if (ShowMessage(question, "KIO", Buttons::YesNo, this) != Answer::Yes) {
      restart_ = true;
      return;
    }
    folder = actual;
  }
  folder_ = folder;
  heading_ = heading;
  bool cut = false;
  for (Item& item : ReadItems(reader, count, kIndexItems, cut)) List().Load(std::move(item));
  if (cut) NoteDocumentCut();
}

void CIndexDlg::StoreFields(FieldWriter& writer) {
  writer.Number(static_cast<uint32_t>(List().Count()));
  writer.Text(folder_);
  writer.Text(heading_);
  WriteItems(writer, List().Items());
}

std::string CIndexDlg::DexName() const {
  const std::string& name = CurrentSession().documentName;
  return name.size() > 4 && name.substr(name.size() - 4) == ".dex" ? name : "index.dex";
}

ChooserRequest CIndexDlg::SaveChooser() const {
  ChooserRequest request = ExtensionChooser(folder_, "dex", true);
  request.initialName = folder_ + DexName();
  request.filter = "*.dex";
  return request;
}

IndexDocument CIndexDlg::Document() const {
  IndexDocument index;
  index.folder = folder_;
  index.heading = heading_;
  for (const Item& item : List().Items()) index.items.push_back({item[0], item[1]});
  return index;
}

void CIndexDlg::InitializeIndex() {
  ChooserRequest request;
  request.save = true;
  request.initialName = "index.html";
  request.filter = "*.html";
  request.defaultExtension = "html";
  auto chosen = ChooseFile(request);
  if (!chosen || BareName(*chosen).empty()) return;
  const std::string name = ToLower(BareName(*chosen));
  if (name != "index.html" &&
      ShowMessage(UiText(Ui::kUsualPageName), UiText(Ui::kProgramName), Buttons::YesNo, this) != Answer::Yes)
    return;
  File placeholder;
  if (!PrepareDocumentFile(placeholder, name)) return;
  try {
    // A placeholder that Generate overwrites.
    placeholder.Create(name);
    placeholder.Write("empty");
    placeholder.Close();
  } catch (const FileError& e) {
    ReportFileError(e.cause, FixedText(Fixed::kCannotOpenFile));
    return;
  }
  // The folder belongs to the index at once: the items already attached
  // now link from it.
  folder_ = FolderOf(*chosen);
  initializedPage_ = name;
  SetItemText(kIndexFolder, folder_);
  if (List().Count() > 0) MarkChanged();
}

std::optional<std::string> CIndexDlg::LinkToFile() {
  ChooserRequest request;
  request.save = false;
  request.initialName = "*.*";
  request.filter = "*.htm";
  request.defaultExtension = "htm";
  auto chosen = ChooseFile(request);
  if (!chosen) return std::string();
  const std::string folder = Box(kIndexFolder);
  std::string link;
  if (StartsWithIgnoringCase(*chosen, folder)) {
    link = chosen->substr(folder.size());
  } else {
    if (ShowMessage(UiText(Ui::kNotInIndexFolder), UiText(Ui::kProgramName), Buttons::YesNoCancel, this) !=
        Answer::Yes)
      return std::nullopt;
    // A page outside the index folder is reached from the index by a
    // relative path, so the course still works when the folders move
    // together.
    link = folder.empty()
               ? *chosen
               : std::filesystem::path(*chosen).lexically_relative(std::filesystem::path(folder)).string();
  }
  return ReplaceAll(link, "\\", "/");
}

std::optional<std::string> CIndexDlg::WritePageTo(const PageDestination& destination) {
  Session& s = CurrentSession();
  if (!ConfirmItemChanges() || !HasItems(Ui::kNothingToSave)) return std::nullopt;
  // The page that Initialize wrote is the one to fill; without one, the
  // name Initialize proposes.
  const std::string pageName = initializedPage_.empty() ? "index.html" : initializedPage_;
  ChooserRequest request = ExtensionChooser(folder_, "html", true);
  request.initialName = folder_ + pageName;
  request.filter = "*.html";
  auto target = ChoosePageFile(request, destination);
  if (!target) return std::nullopt;
  // The questions about the chosen name; a preview takes the proposed one.
  if (!target->preview) {
    const std::string& name = target->fileName;
    const std::string ending = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    if (ending != ".htm" && ending != "html") {
      ShowMessage(UiText(Ui::kPageNameEnding), OopsCaption(), Buttons::Ok, this);
      return std::nullopt;
    }
    if (name != "index.html" && ShowMessage(UiText(Ui::kUsualPageName), UiText(Ui::kProgramName),
                                            Buttons::YesNo, this) != Answer::Yes)
      return std::nullopt;
  }
  PageBuild build = SessionPageBuild();
  const std::string page = BuildIndexPage(Document(), BodyColourAttribute(build.settings.background2),
                                          BoxColourAttribute(build.settings.boxColor), build);
  ReturnToSession(build);
  if (!WriteAssembledPage(*target, page, build)) return std::nullopt;
  return target->chosenPath;
}

}  // namespace kio
