#include "app/main_dlg.h"

#include <optional>

#include "activities/cloze/cloze_dlg.h"
#include "activities/dialogical/dialogical_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "activities/sequence/sequence_dlg.h"
#include "app/output_dlg.h"
#include "app/package_dlg.h"
#include "app/startup.h"
#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "lexicon_editor/lexicon_dlg.h"
#include "pages/basic/basic_page_dlg.h"
#include "pages/index/index_dlg.h"
#include "pages/lexical/lexical_page_dlg.h"
#include "pages/menu/menu_dlg.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

// KIO has no home page on the Internet yet: while this is empty, the home
// screen leaves out Download and its "?" rather than open an address that
// leads nowhere.
const char kProjectHomePage[] = "";

namespace {

struct HomeButton {
  int id;
  const char* label;
  std::optional<Ui> uiRecord;  // none: keeps its resource label
  int x, y;
  int helpButton;
  const char* helpFile;
};

// Buttons with their "?" buttons, which stand 15 units to their left.
const HomeButton kButtons[] = {
    {kHomeOutput, "&Output", std::nullopt, 25, 245, 1228, "lingua_aluno.rtf"},
    {kHomeInput, "I&nput", std::nullopt, 25, 260, 1230, "lingua_pro.rtf"},
    {kHomeDictionary, "&Dictionary", Ui::kDictionaryButton, 25, 275, 1229, "dicionario_intro.rtf"},
    {kHomeEclipse, "&Eclipse", Ui::kEclipseButton, 115, 250, 1226, "eclipse_intro.rtf"},
    {kHomeCloze, "&Cloze", Ui::kClozeButton, 115, 265, 1227, "cloze_intro.rtf"},
    {kHomeSequence, "&Sequence", Ui::kSequenceButton, 185, 250, 1222, "sequencia_intro.rtf"},
    {kHomeMemory, "&Memory", Ui::kMemoryButton, 185, 265, 1225, "memoria_intro.rtf"},
    {kHomeMultiple, "M&ultiple", Ui::kMultipleButton, 275, 250, 1221, "multipla_intro.rtf"},
    {kHomeDialogical, "D&ialogical", Ui::kDialogicalButton, 275, 265, 1220, "dialogica_intro.rtf"},
    {kHomeBasicPage, "Basic &HP", Ui::kBasicPageButton, 360, 250, 1216, "basica_intro.rtf"},
    {kHomeLinkedPage, "Linked H&P", Ui::kLinkedPageButton, 360, 265, 1215, "lexical_intro.rtf"},
    {kHomeMenu, "Menu", Ui::kMenuButton, 450, 245, 1267, "menu_intro.rtf"},
    {kHomeIndex, "&Index", Ui::kIndexButton, 450, 259, 1219, "index_intro.rtf"},
    {kHomePackage, "&Package", std::nullopt, 450, 273, kHomePackageHelp, "pacote.rtf"},
    {kHomeCreateOutput, "Create Output", Ui::kCreateOutput, 25, 290, 1302, "output_new.rtf"},
    {kHomeProductivity, "Produtividade", Ui::kProductivityButton, 115, 290, 1291, "aju_pro.rtf"},
    {kHomeDownload, "Do&wnload", std::nullopt, 185, 290, 1280, "download.rtf"},
    {kHomeSetup, "Setup", std::nullopt, 275, 290, 1223, "configura.rtf"},
    {kHomeHome, "Home", std::nullopt, 360, 290, 1231, "inicial.rtf"},
    {kHomeExit, "&Exit", Ui::kReturnButton, 450, 290, 1224, "fecha.rtf"},
};

bool HasProjectHomePage() { return kProjectHomePage[0] != '\0'; }

constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 13;

DialogTemplate HomeLayout() {
  DialogTemplate t;
  t.resourceId = 102;
  t.title = "KIO";
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kHomeHelpLeft, ControlKind::RichText, "", 5, 10, 154, 220, kReadOnly | kVScroll},
      {kHomeHelpRight, ControlKind::RichText, "", 172, 10, 328, 220, kReadOnly | kVScroll},
      {9001, ControlKind::Group, "Lexis", 5, 235, 80, 54},
      {9002, ControlKind::Group, " Auto ", 95, 238, 150, 44},
      {9003, ControlKind::Group, "Manual", 255, 238, 80, 44},
      {9004, ControlKind::Group, "HPs", 340, 238, 80, 44},
      {9005, ControlKind::Group, "Menus", 430, 235, 75, 53},
  };
  for (const auto& b : kButtons) {
    if (b.id == kHomeDownload && !HasProjectHomePage()) continue;
    t.controls.push_back({b.id, ControlKind::Button, b.label, b.x, b.y, kButtonWidth, kButtonHeight,
                          b.id == kHomeEclipse ? unsigned(kDefault) : 0u});
    t.controls.push_back({b.helpButton, ControlKind::Button, "?", b.x - 15, b.y, 12, kButtonHeight});
  }
  return t;
}

}  // namespace

bool IsExampleAddress(const std::string& address) {
  std::string host = ToLower(address);
  const size_t scheme = host.find("://");
  if (scheme != std::string::npos) host.erase(0, scheme + 3);
  host = host.substr(0, host.find_first_of("/:?#"));
  auto endsWith = [&host](const std::string& tail) {
    return host.size() >= tail.size() && host.compare(host.size() - tail.size(), tail.size(), tail) == 0;
  };
  // The names kept for examples: example.com, .org, .net and the .example
  // top-level domain, with their subdomains.
  for (const char* name : {"example.com", "example.org", "example.net"})
    if (host == name || endsWith(std::string(".") + name)) return true;
  return host.empty() || host == "example" || endsWith(".example");
}

namespace {

// What Setup says: the address; while it is still an example, that results
// go nowhere and how to get a real one.
std::string SetupMessage() {
  const Session& s = CurrentSession();
  std::string text = UiText(Ui::kResultsAddress) + s.appPaths.resultsAddress;
  if (IsExampleAddress(s.appPaths.resultsAddress))
    text += "\r\n\r\n" + FixedText(Fixed::kResultsAddressIsExample, {s.appPaths.startFolder});
  return text;
}

}  // namespace

CMainDlg::CMainDlg() : Dialog(HomeLayout()) {
  for (const auto& b : kButtons) {
    if (b.id == kHomeDownload && !HasProjectHomePage()) continue;
    std::string help = b.helpFile;
    OnButton(b.helpButton, [this, help] { ShowHelp(kHomeHelpLeft, HelpText(help)); });
  }
  // The Package help is read when shown, not with the others at start-up.
  OnButton(kHomePackageHelp, [this] { ShowHelp(kHomeHelpLeft, PackageHelpText()); });
  for (int id : {kHomeEclipse, kHomeCloze, kHomeSequence, kHomeMemory, kHomeMultiple, kHomeDialogical,
                 kHomeBasicPage, kHomeLinkedPage, kHomeMenu, kHomeIndex})
    OnButton(id, [this, id] { RunEditor(id); });
  OnButton(kHomeDictionary, [this] {
    if (!CurrentSession().appPaths.readOnlyMedia) RunEditor(kHomeDictionary);
  });
  OnButton(kHomeCreateOutput, [this] {
    if (!CurrentSession().appPaths.readOnlyMedia) RunEditor(kHomeCreateOutput);
  });
  OnButton(kHomePackage, [] {
    CPackageDlg package;
    package.DoModal();
  });
  OnButton(kHomeInput, [this] { ChooseLanguage(true); });
  OnButton(kHomeOutput, [this] { ChooseLanguage(false); });
  OnButton(kHomeHome, [this] {
    ShowHelp(kHomeHelpRight, HelpText("abertura.rtf"));
    ShowHelp(kHomeHelpLeft, HelpText("help_inicial.rtf"));
  });
  OnButton(kHomeSetup, [this] {
    ShowHelp(kHomeHelpLeft, HelpText("configura.rtf"));
    ShowMessage(SetupMessage(), "KIO", Buttons::Ok, this);
  });
  OnButton(kHomeProductivity, [this] { ShowHelp(kHomeHelpLeft, HelpText("dicas.rtf")); });
  if (HasProjectHomePage()) OnButton(kHomeDownload, [] { OpenInBrowser(kProjectHomePage); });
}

bool CMainDlg::OnInitDialog() {
  StartUp();
  Relabel();
  if (!menuAdded_) {
    AddMenuCommand(kAboutCommand, "&About Kio...");
    menuAdded_ = true;
  }
  return true;
}

void CMainDlg::Relabel() {
  CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
  ShowFixedLabels(*this);
  ShowHelp(kHomeHelpLeft, HelpText("help_inicial.rtf"));
  // HelpText 1 shares its storage with UiText record 20, so when
  // "abertura.rtf" was not loaded this shows the record instead.
  ShowHelp(kHomeHelpRight, HelpText("abertura.rtf"));
  for (const auto& b : kButtons)
    if (b.uiRecord) SetItemText(b.id, UiText(*b.uiRecord));
  // Newer than the language files: its label follows the interface language.
  SetItemText(kHomePackage, LocalText("&Pacote", "&Package"));
}

void CMainDlg::OnCancel() {
  if (ShowMessage(UiText(Ui::kAskLeaveKio), "KIO", Buttons::YesNo, this) != Answer::No) EndDialog(IDCANCEL);
}

void CMainDlg::OnSysCommand(int command) {
  if (command == kAboutCommand) {
    CAboutDlg about;
    about.DoModal();
  }
}

void CMainDlg::ChooseLanguage(bool interface) {
  CurrentSession().configFile.Close();
  const std::string ext = interface ? "lin" : "stu";
  auto chosen = ChooseFile(ExtensionChooser(CurrentSession().appPaths.programFolder, ext, false));
  if (!chosen) return;
  std::string name = BareName(*chosen);
  if (name.empty()) return;
  if (!InProgramFolder(*chosen)) {
    // Refused, the languages in use stay: the teacher copies the file into
    // the program folder and chooses it there.
    ShowMessage(FixedText(Fixed::kLanguageFileInProgramFolder, {CurrentSession().appPaths.programFolder}),
                OopsCaption(), Buttons::Ok, this);
    return;
  }
  (interface ? CurrentSession().appPaths.interfaceLanguageFile
             : CurrentSession().appPaths.studentLanguageFile) = name;
  if (CurrentSession().appPaths.readOnlyMedia) {
    if (interface)
      LoadInterfaceLanguage();
    else
      LoadStudentLanguage();
    Relabel();
    return;
  }
  const char* configName = interface ? "language.dat" : "lingualu.dat";
  if (!PrepareDocumentFile(CurrentSession().configFile, configName)) {
    ShowMessage(FixedText(Fixed::kCannotChangeLanguage), "KIO", Buttons::Ok, this);
    return;
  }
  try {
    CurrentSession().configFile.Close();
    CurrentSession().configFile.Create(configName);
    CurrentSession().configFile.Write(name);
    CurrentSession().configFile.Close();
  } catch (const FileError&) {
    CurrentSession().configFile.Close();
    ShowMessage(FixedText(Fixed::kCannotChangeLanguage), "KIO", Buttons::Ok, this);
    return;
  }
  OnInitDialog();
}

namespace {

// Each editor is constructed afresh, run to its end and destroyed.
template <typename Editor>
void RunModal() {
  Editor editor;
  editor.DoModal();
}

}  // namespace

void CMainDlg::RunEditor(int button) {
  // Buttons whose editor does not exist yet do nothing.
  switch (button) {
    case kHomeCloze: RunModal<CClozeDlg>(); break;
    case kHomeEclipse: RunModal<CEclipseDlg>(); break;
    case kHomeMemory: RunModal<CMemoryDlg>(); break;
    case kHomeSequence: RunModal<CSequenceDlg>(); break;
    case kHomeMultiple: RunModal<CMultipleDlg>(); break;
    case kHomeDialogical: RunModal<CDialogicalDlg>(); break;
    case kHomeCreateOutput: RunModal<COutputDlg>(); break;
    case kHomeDictionary: {
      CLexiconDlg lexicon(StartUp);
      lexicon.DoModal();
      break;
    }
    case kHomeBasicPage: RunModal<CBasicPageDlg>(); break;
    case kHomeLinkedPage: RunModal<CLexicalPageDlg>(); break;
    case kHomeMenu: RunModal<CMenuDlg>(); break;
    case kHomeIndex: RunModal<CIndexDlg>(); break;
    default: break;
  }
}

CAboutDlg::CAboutDlg()
    : Dialog(DialogTemplate{100,
                            "About Kio",
                            235,
                            55,
                            {{9102, ControlKind::Icon, "", 10, 10, 21, 20},
                             {9100, ControlKind::Label, Win1252("KIO Versão 1"), 40, 10, 130, 8},
                             {9101, ControlKind::Label, "Copyright (C) KIO", 40, 25, 130, 8},
                             {IDOK, ControlKind::Button, "OK", 178, 7, 50, 14, kDefault}}}) {
  ShowFixedLabels(*this);
}

}  // namespace kio
