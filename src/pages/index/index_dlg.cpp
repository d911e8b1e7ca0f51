#include "pages/index/index_dlg.h"

#include <filesystem>

#include "fileio/document.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "pages/basic/basic_page.h"
#include "platform/platform.h"
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
      {kIndexHelp, ControlKind::RichText, "", 5, 5, 150, 274, kReadOnly | kVScroll},
      {kIndexHelpInitialize, ControlKind::Button, "?", kRight, 7, 12, 10},
      {kIndexInitialize, ControlKind::Button, "&Initialize Index:", kRight + 14, 5, 84, kButtonHeight},
      {kIndexFolder, ControlKind::Edit, "", kRight + 102, 6, kRightWidth - 102, 12, kReadOnly},
      {kIndexHelpHeading, ControlKind::Button, "?", kRight, 24, 12, 10},
      {kIndexLabelHeading, ControlKind::Label, "", kRight + 15, 25, 200, 9},
      {kIndexHeading, ControlKind::Edit, "", kRight, 36, kRightWidth, 32,
       kMultiLine | kVScroll | kWantReturn},
      {kIndexHelpList, ControlKind::Button, "?", kRight, kListTop + 2, 12, 10},
      {kIndexPosition, ControlKind::Edit, "", kRight + 14, kListTop + 1, 44, 12, kReadOnly},
      listButton(kIndexBack, "Back", 0),
      listButton(kIndexForward, "Forward", 1),
      listButton(kIndexInsert, "Insert", 2),
      listButton(kIndexAttach, "Attach", 3),
      listButton(kIndexCopy, "Copy", 4),
      listButton(kIndexCut, "Cut", 5),
      listButton(kIndexPaste, "Paste", 6),
      {kIndexHelpClipboard, ControlKind::Button, "?", kRight + 62 + 7 * 38, kListTop + 2, 12, 10},
      {kIndexLabelItem, ControlKind::Label, "", kRight, kListTop + 20, kRightWidth, 9},
      {kIndexHelpLink, ControlKind::Button, "?", kRight, kListTop + 35, 12, 10},
      {kIndexLinkToFile, ControlKind::Button, "Link to File:", kRight + 14, kListTop + 33, 84, kButtonHeight},
      {kIndexLink, ControlKind::Edit, "", kRight + 102, kListTop + 34, kRightWidth - 102, 12},
      {kIndexHelpText, ControlKind::Button, "?", kRight, kListTop + 53, 12, 10},
      {kIndexLabelText, ControlKind::Label, "", kRight + 15, kListTop + 54, 200, 9},
      {kIndexText, ControlKind::Edit, "", kRight, kListTop + 65, kRightWidth, 100,
       kMultiLine | kVScroll | kWantReturn},
      {kIndexNew, ControlKind::Button, "&New", kRight, 266, kButtonWidth, kButtonHeight},
      {kIndexOpen, ControlKind::Button, "&Open", kRight + 56, 266, kButtonWidth, kButtonHeight},
      {kIndexSave, ControlKind::Button, "&Save", kRight + 112, 266, kButtonWidth, kButtonHeight},
      {kIndexGenerate, ControlKind::Button, "&Generate HTM", kRight + 168, 266, kButtonWidth + 20,
       kButtonHeight},
      {kIndexHelpGenerate, ControlKind::Button, "?", kRight + 244, 268, 12, 10},
      {kIndexReturn, ControlKind::Button, "&Return", kRight + 300, 266, kButtonWidth - 12, kButtonHeight},
      {kIndexFont, ControlKind::Button, "Font", kRight, 285, kButtonWidth, kButtonHeight},
      {kIndexParagraph, ControlKind::Button, "Paragraph", kRight + 56, 285, kButtonWidth, kButtonHeight},
      {kIndexAV, ControlKind::Button, "A&V", kRight + 112, 285, kButtonWidth, kButtonHeight},
      {kIndexGlobal, ControlKind::Button, "Global", kRight + 168, 285, kButtonWidth, kButtonHeight},
      {kIndexWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 285, 150, kButtonHeight},
  };
  return t;
}

DocumentEditorKind IndexKind() {
  DocumentEditorKind d;
  d.extension = "dex";
  d.saveMode = SaveMode::kAskEveryTime;
  d.helpPanel = kIndexHelp;
  d.activityName = "index";
  d.openErrorSuffix = Win1252("Impossível abrir arquivo.");
  d.returnName = "";
  return d;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
  return !start.empty() && ToLower(text.substr(0, start.size())) == ToLower(start);
}

}  // namespace

CIndexDlg::CIndexDlg()
    : CDocumentEditorDlg(IndexLayout(), IndexKind()),
      list_(2, kIndexItemLimit, kIndexItemLimit, 2, clipboard_) {
  HelpOn(kIndexHelpInitialize, 0, "index_inicializa.rtf");
  HelpOn(kIndexHelpHeading, kIndexHeading, "index_titulo.rtf");
  HelpOn(kIndexHelpLink, kIndexLink, "index_cada_link.rtf");
  HelpOn(kIndexHelpText, kIndexText, "index_cada_titulo.rtf");
  HelpOn(kIndexHelpList, 0, "insere_move.rtf");
  HelpOn(kIndexHelpClipboard, 0, "copia_cola.rtf");
  HelpOn(kIndexHelpGenerate, 0, "index_finish.rtf");
  HelpOn(kIndexWhatCanIDo, 0, "index_intro.rtf");
  OnButton(kIndexInitialize, [this] { InitializeIndex(); });
  OnButton(kIndexLinkToFile, [this] { LinkToFile(); });
  OnButton(kIndexAttach, [this] { Attach(); });
  OnButton(kIndexInsert, [this] {
    if (!PendingChangeCheck() || !Went(list_.Insert())) return;
    SetItemText(kIndexLink, "");
    SetItemText(kIndexText, "");
  });
  OnButton(kIndexBack, [this] {
    if (PendingChangeCheck() && Went(list_.Back())) Show();
  });
  OnButton(kIndexForward, [this] {
    if (PendingChangeCheck() && Went(list_.Forward())) Show();
  });
  OnButton(kIndexCopy, [this] {
    if (!Went(list_.Copy())) return;
    clipFolder_ = folder_;
    clipHeading_ = heading_;
  });
  OnButton(kIndexCut, [this] {
    if (!Went(list_.Cut())) return;
    clipFolder_ = folder_;
    clipHeading_ = heading_;
    cutOrPaste_ = true;
    Show();
  });
  OnButton(kIndexPaste, [this] {
    if (!Went(list_.Paste())) return;
    folder_ = clipFolder_;
    heading_ = clipHeading_;
    cutOrPaste_ = true;
    Show();
  });
  OnButton(kIndexNew, [this] {
    if (PendingChangeCheck() && AskToSave() != SaveAnswer::kCancelled) Start();
  });
  OnButton(kIndexOpen, [this] {
    if (!PendingChangeCheck() || AskToSave() == SaveAnswer::kCancelled) return;
    restart_ = false;
    OpenDocument();
    if (restart_) Start();
  });
  OnButton(kIndexSave, [this] { SaveDocument(); });
  OnButton(kIndexGenerate, [this] { Generate(); });
  FormattingButtons(kIndexFont, kIndexParagraph, kIndexAV, kIndexGlobal);
}

bool CIndexDlg::OnInitDialog() {
  Session& s = CurrentSession();
  const std::pair<int, int> labels[] = {
      {kIndexNew, 146},      {kIndexOpen, 147},   {kIndexSave, 148},      {kIndexGenerate, 150},
      {kIndexReturn, 145},   {kIndexFont, 184},   {kIndexParagraph, 185}, {kIndexGlobal, 186},
      {kIndexWhatCanIDo, 0}, {kIndexAttach, 151}, {kIndexInsert, 152},    {kIndexBack, 153},
      {kIndexForward, 154},  {kIndexCut, 155},    {kIndexPaste, 156},     {kIndexCopy, 183}};
  for (auto [id, record] : labels)
    if (!s.UiText[record].empty()) SetItemText(id, s.UiText[record]);
  const std::tuple<int, const char*, const char*> texts[] = {
      {kIndexInitialize, "&Iniciar índice:", "&Initialize Index:"},
      {kIndexLinkToFile, "Ligar a arquivo:", "Link to File:"},
      {kIndexLabelHeading, "Título do índice", "Heading of the index"},
      {kIndexLabelItem, "Cada item: o arquivo da página e o texto do link",
       "Each item: the page's file and the text of its link"},
      {kIndexLabelText, "Texto do link", "Text of the link"},
  };
  for (const auto& [id, pt, en] : texts) SetItemText(id, LocalText(Win1252(pt), en));
  ShowHelp(kIndexHelp, HelpText("index_intro.rtf"));
  Start();
  return true;
}

void CIndexDlg::Start() {
  Session& s = CurrentSession();
  list_.Clear();
  clipboard_.item.reset();
  clipFolder_.clear();
  clipHeading_.clear();
  folder_.clear();
  heading_.clear();
  remembered_ = IndexDocument{};
  read_ = remembered_;
  cutOrPaste_ = false;
  ForgetDocumentFile();
  ForgetSettingsChange();
  s.documentName.clear();
  ResetPageSettings();
  s.pageSettings.background2 = "body bgcolor='#FFFF99'";
  s.pageSettings.boxColor = "bgcolor=\"#009999\"";
  Show();
}

void CIndexDlg::Show() {
  const Item item = list_.Shown();
  SetItemText(kIndexFolder, folder_);
  SetItemText(kIndexHeading, heading_);
  SetItemText(kIndexLink, item[0]);
  SetItemText(kIndexText, item[1]);
  SetItemText(kIndexPosition, list_.PositionText());
}

std::string CIndexDlg::Box(int id) const {
  std::string text = GetItemText(id);
  if (text.size() > kIndexTextLimit) text.resize(kIndexTextLimit);
  return text;
}

bool CIndexDlg::Went(ItemOutcome outcome) {
  if (outcome == ItemOutcome::kDone || outcome == ItemOutcome::kBlank) return true;
  const int record = RecordOf(outcome);
  ShowMessage(record ? CurrentSession().UiText[record] : ListFullMessage(), "Oops!", Buttons::Ok, this);
  return false;
}

bool CIndexDlg::PendingChangeCheck() {
  const bool same = Box(kIndexFolder) == folder_ && Box(kIndexHeading) == heading_ &&
                    list_.CheckChanges({Box(kIndexLink), Box(kIndexText)}) == ItemOutcome::kDone;
  if (same) return true;
  switch (ShowMessage(CurrentSession().UiText[110], "KIO", Buttons::YesNoCancel, this)) {
    case Answer::Yes: return Attach();
    case Answer::No: return true;
    default: return false;
  }
}

bool CIndexDlg::Attach() {
  const std::string folder = Box(kIndexFolder), heading = Box(kIndexHeading);
  const Item fields{Box(kIndexLink), Box(kIndexText)};
  if (folder.empty() || heading.empty() || fields[0].empty() || fields[1].empty()) {
    ShowMessage("Error(s): " + CurrentSession().UiText[116], "Oops!", Buttons::Ok, this);
    return false;
  }
  if (!Went(list_.Attach(fields))) return false;
  folder_ = folder;
  heading_ = heading;
  Show();
  return true;
}

void CIndexDlg::OnCancel() {
  if (PendingChangeCheck()) ReturnFromEditor();
}

void CIndexDlg::CollectFields() {
  read_.folder = folder_;
  read_.heading = heading_;
  read_.items.clear();
  for (const Item& item : list_.Items()) read_.items.push_back({item[0], item[1]});
}

void CIndexDlg::LoadFields(FieldReader& reader) {
  Session& s = CurrentSession();
  const uint32_t count = reader.Number();
  if (count > kIndexItemLimit) throw FileError{kInvalidFile};
  IndexDocument index;
  index.folder = reader.Text(kIndexTextLimit);
  index.heading = reader.Text(kIndexTextLimit);
  // The chooser left the working folder at the document's folder.
  std::string actual = std::filesystem::current_path().string() + "/";
  if (ToLower(index.folder) != ToLower(actual)) {
    const std::string question = s.UiText[197] + index.folder + s.UiText[196] + actual + s.UiText[195];
    if (ShowMessage(question, "KIO", Buttons::YesNo, this) != Answer::Yes) {
      restart_ = true;
      return;
    }
    index.folder = actual;
  }
  list_.Clear();
  folder_ = index.folder;
  heading_ = index.heading;
  remembered_ = index;
  for (uint32_t k = 0; k < count; ++k) {
    IndexItem item;
    item.link = reader.Text(kIndexTextLimit);
    item.text = reader.Text(kIndexTextLimit);
    list_.Load({item.link, item.text});
    remembered_.items.push_back(item);
  }
  list_.TakeSnapshot();
  cutOrPaste_ = false;
}

void CIndexDlg::StoreFields(FieldWriter& writer) {
  writer.Number(static_cast<uint32_t>(read_.items.size()));
  writer.Text(read_.folder);
  writer.Text(read_.heading);
  for (const IndexItem& item : read_.items) {
    writer.Text(item.link);
    writer.Text(item.text);
  }
}

void CIndexDlg::KeepFields() {
  remembered_ = read_;
  cutOrPaste_ = false;
}

bool CIndexDlg::ReadyToSave() {
  // The item on show is attached first when the teacher wants it, so that
  // a first item typed but not attached can be saved.
  if (!PendingChangeCheck()) return false;
  CollectFields();
  if (!read_.items.empty()) return true;
  ShowMessage(CurrentSession().UiText[31], "Oops!", Buttons::Ok, this);
  return false;
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

void CIndexDlg::InitializeIndex() {
  Session& s = CurrentSession();
  ChooserRequest request;
  request.save = true;
  request.initialName = "index.html";
  request.filter = "*.html";
  request.defaultExtension = "html";
  auto chosen = ChooseFile(request);
  if (!chosen || BareName(*chosen).empty()) return;
  const std::string name = ToLower(BareName(*chosen));
  if (name != "index.html" && ShowMessage(s.UiText[207], s.UiText[1], Buttons::YesNo, this) != Answer::Yes)
    return;
  File placeholder;
  if (!PrepareDocumentFile(placeholder, name)) return;
  try {
    // A placeholder that Generate overwrites.
    placeholder.Create(name);
    placeholder.Write("empty");
    placeholder.Close();
  } catch (const FileError& e) {
    ReportFileError(e.cause, Win1252("Impossível abrir arquivo."));
    return;
  }
  folder_ = FolderOf(*chosen);
  SetItemText(kIndexFolder, folder_);
}

void CIndexDlg::LinkToFile() {
  Session& s = CurrentSession();
  ChooserRequest request;
  request.save = false;
  request.initialName = "*.*";
  request.filter = "*.htm";
  request.defaultExtension = "htm";
  auto chosen = ChooseFile(request);
  if (!chosen) {
    SetItemText(kIndexLink, "");
    return;
  }
  const std::string folder = Box(kIndexFolder);
  std::string link;
  if (StartsWithIgnoringCase(*chosen, folder)) {
    link = chosen->substr(folder.size());
  } else {
    if (ShowMessage(s.UiText[3], s.UiText[1], Buttons::YesNoCancel, this) != Answer::Yes) return;
    // A page outside the index folder is reached from the index by a
    // relative path, so the course still works when the folders move
    // together.
    link = folder.empty()
               ? *chosen
               : std::filesystem::path(*chosen).lexically_relative(std::filesystem::path(folder)).string();
  }
  SetItemText(kIndexLink, ReplaceAll(link, "\\", "/"));
}

void CIndexDlg::Generate() {
  Session& s = CurrentSession();
  if (!PendingChangeCheck()) return;
  CollectFields();
  if (read_.items.empty()) {
    ShowMessage(s.UiText[31], "Oops!", Buttons::Ok, this);
    return;
  }
  const std::string dex = CurrentSession().documentName;
  const std::string pageName = dex.size() > 4 && dex.substr(dex.size() - 4) == ".dex"
                                   ? dex.substr(0, dex.size() - 4) + ".html"
                                   : "index.html";
  ChooserRequest request = ExtensionChooser(folder_, "html", true);
  request.initialName = folder_ + pageName;
  request.filter = "*.html";
  auto target = ChoosePageFile(request);
  if (!target) return;
  const std::string& name = target->fileName;
  const std::string ending = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  if (ending != ".htm" && ending != "html") {
    ShowMessage(s.UiText[212], "Oops!", Buttons::Ok, this);
    return;
  }
  if (name != "index.html" && ShowMessage(s.UiText[207], s.UiText[1], Buttons::YesNo, this) != Answer::Yes)
    return;
  const PageSettings& p = s.pageSettings;
  try {
    WritePageFile(*target,
                  BuildIndexPage(read_, BodyColourAttribute(p.background2), BoxColourAttribute(p.boxColor)));
  } catch (const FileError& e) {
    ReportPageNotWritten(e.cause);
    return;
  }
  if (ShowMessage(s.UiText[54], "KIO", Buttons::YesNo, this) == Answer::Yes)
    OpenInBrowser(ResolveCase(target->path));
}

}  // namespace kio
