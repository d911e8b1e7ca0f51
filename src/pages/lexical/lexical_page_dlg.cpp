#include "pages/lexical/lexical_page_dlg.h"

#include <filesystem>

#include "documents/lexical_document.h"
#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_store.h"
#include "lexicon_editor/lexicon_prompts.h"
#include "pages/lexical/make_activities_dlg.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "questions/reading_activities.h"
#include "render/page_settings.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kButtonHeight = 14;
constexpr int kRight = 162;
// The two button rows below the text.
constexpr DocumentButtonIds kButtons = {kLexicalNew,      kLexicalOpen,   kLexicalSave,   kLexicalSaveAs,
                                        kLexicalGenerate, kLexicalReturn, kLexicalFont,   kLexicalParagraph,
                                        kLexicalAV,       kLexicalGlobal, kLexicalPreview};
constexpr int kRightWidth = 340;

DialogTemplate LexicalLayout() {
  DialogTemplate t;
  t.title = "KIO Dictionary Homepage";
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kLexicalHelp, ControlKind::RichText, "", 5, 5, 150, 222, kReadOnly | kVScroll},
      {kLexicalLabelText, ControlKind::Label, "", kRight + 15, 4, 200, 9},
      {kLexicalHelpText, ControlKind::Button, "?", kRight, 3, 12, 10},
      {kLexicalText, ControlKind::Edit, "", kRight, 14, kRightWidth, 222,
       kMultiLine | kVScroll | kWantReturn},
      {kLexicalHint, ControlKind::Label, "", kRight, 240, kRightWidth, 14},
      {kLexicalDictionary, ControlKind::Label, "", 5, 231, 150, 12},
      {kLexicalDocumentName, ControlKind::Edit, "", 5, 246, 150, 12, kReadOnly},
  };
  AddDocumentButtonRows(t.controls, kButtons);
  t.controls.insert(t.controls.end(),
                    {
                        // Each above the right end of the buttons it explains:
                        // the file buttons (New to Save As) and Generate.
                        {kLexicalHelpFiles, ControlKind::Button, "?", kRight + 208, 255, 12, 10},
                        {kLexicalHelpGenerate, ControlKind::Button, "?", kRight + 284, 255, 12, 10},
                        {kLexicalWhatCanIDo, ControlKind::Button, "", 5, 285, 150, kButtonHeight},
                    });
  t.controls.push_back(
      {kLexicalMakeActivities, ControlKind::Button, "", kRight + 258, 285, 82, kButtonHeight});
  return t;
}

DocumentEditorKind LexicalKind() {
  DocumentEditorKind d;
  d.extension = "hpl";
  d.saveMode = SaveMode::kRecreate;
  d.helpPanel = kLexicalHelp;
  d.activityName = "lex";
  d.openErrorSuffix = FixedText(Fixed::kCannotOpenTextFile);
  d.saveErrorRecord = Ui::kFileNotSaved;
  d.returnName = "*.hpl";
  d.previewButton = kLexicalPreview;
  return d;
}

void StartSettings() {
  ResetPageSettings();
  PageSettings& p = CurrentSession().pageSettings;
  p.boxColor = "bgcolor=\"#F0E8F0\"";
  p.background2 = "#FFFFCC";
  p.frameCols = "30%,*";
}

}  // namespace

CLexicalPageDlg::CLexicalPageDlg() : CDocumentEditorDlg(LexicalLayout(), LexicalKind()) {
  HelpOn(kLexicalHelpText, kLexicalText, "hp_lexical.rtf");
  HelpOn(kLexicalHelpFiles, 0, "arquivos.rtf");
  HelpOn(kLexicalHelpGenerate, 0, "gera_htm.rtf");
  HelpOn(kLexicalWhatCanIDo, 0, "lexical_intro.rtf");
  OnButton(kLexicalNew, [this] {
    if (AskToSave() != SaveAnswer::kCancelled) New();
  });
  OnButton(kLexicalOpen, [this] {
    if (AskToSave() != SaveAnswer::kCancelled) OpenDocument();
  });
  OnButton(kLexicalSave, [this] { SaveDocument(); });
  OnButton(kLexicalSaveAs, [this] { SaveDocumentAs(); });
  OnButton(kLexicalGenerate, [this] { GeneratePage(); });
  OnButton(kLexicalMakeActivities, [this] { MakeActivities(); });
  FormattingButtons(kLexicalFont, kLexicalParagraph, kLexicalAV, kLexicalGlobal);
}

// The dictionary stays open read-only while the editor runs.
CLexicalPageDlg::~CLexicalPageDlg() {
  lookup_.reset();
  Lexicon().CloseAll();
}

bool CLexicalPageDlg::OnInitDialog() {
  LabelDocumentButtons(kButtons);
  LabelFromInterfaceTexts({{kLexicalWhatCanIDo, Ui::kLinkedPageButton}});
  SetItemText(kLexicalLabelText, FixedText(Fixed::kPageTextLabel));
  SetItemText(kLexicalHint, UiText(Ui::kFormattingHint));
  SetItemText(kLexicalMakeActivities, LocalText("Fazer atividades", "Make activities"));
  ShowHelp(kLexicalHelp, HelpText("lexical_intro.rtf"));
  if (!Start()) EndDialog(IDCANCEL);
  return true;
}

bool CLexicalPageDlg::Start() {
  Session& s = CurrentSession();
  StartSettings();
  ShowMessage(UiText(Ui::kChooseDictionary), "KIO", Buttons::Ok, this);
  lookup_.reset();
  Lexicon().CloseAll();
  const std::string folder = s.appPaths.programFolder;
  auto chosen = ChooseFile(ExtensionChooser(folder, "kio", false));
  if (!chosen) {
    ShowMessage(FixedText(Fixed::kCanceled), "KIO", Buttons::Ok, this);
    return false;
  }
  const std::string path = ToLower(*chosen);
  const std::string name = BareName(path);
  if (!InProgramFolder(*chosen)) {
    ShowMessage(FixedText(Fixed::kDictionaryMustBeInFolder, {folder}), OopsCaption(), Buttons::Ok, this);
    return false;
  }
  // The chooser leaves the working folder at the dictionary's folder.
  std::error_code ec;
  if (!folder.empty()) std::filesystem::current_path(SystemName(folder), ec);
  if (Lexicon().OpenNamed(name) != 0) {
    ShowNotices(Lexicon(), this);
    return false;
  }
  dictionary_ = name;
  lookup_ = lexical::MemoryLookup(Lexicon());
  remembered_.clear();
  read_.clear();
  ForgetSettingsChange();
  s.documentName = "*.hpl";
  SetItemText(kLexicalText, "");
  SetItemText(kLexicalDocumentName, UiText(Ui::kUntitled));
  SetItemText(kLexicalDictionary, LocalText(Win1252("Dicionário: "), "Dictionary: ") + dictionary_);
  return true;
}

void CLexicalPageDlg::OnCancel() { ReturnFromEditor(); }

void CLexicalPageDlg::New() {
  ForgetDocumentFile();
  if (!Start()) {
    EndDialog(IDCANCEL);
    return;
  }
  CurrentSession().documentName = UiText(Ui::kUntitled);
  SetFocus(kLexicalText);
}

void CLexicalPageDlg::CollectFields() {
  read_ = GetItemText(kLexicalText);
  if (read_.size() > lexical::kTextLimit) read_.resize(lexical::kTextLimit);
}

void CLexicalPageDlg::LoadFields(FieldReader& reader) { remembered_ = reader.Text(lexical::kTextLimit); }

void CLexicalPageDlg::ShowFields() {
  SetItemText(kLexicalText, remembered_);
  SetItemText(kLexicalDocumentName, CurrentSession().documentName);
}

bool CLexicalPageDlg::ReadyToSave() {
  if (!read_.empty()) return true;
  ShowMessage(UiText(Ui::kNothingToSave), OopsCaption(), Buttons::Ok, this);
  return false;
}

std::optional<std::string> CLexicalPageDlg::WritePageTo(const PageDestination& destination) {
  Session& s = CurrentSession();
  CollectFields();
  if (read_.empty()) {
    ShowMessage(UiText(Ui::kNothingToGenerate), OopsCaption(), Buttons::Ok, this);
    return std::nullopt;
  }
  PageBuild build = SessionPageBuild();
  lexical::Tokens tokens = lexical::Tokenize(read_, build);
  if (tokens.cut) ShowMessage(lexical::TokenLimitMessage(), UiText(Ui::kProgramName), Buttons::Ok, this);
  std::vector<std::string> messages;
  PageRequest request;
  request.templateName = "tmplate_lexis.htm";
  request.instructions = "*";
  request.cut = lexical::CutAtLexicalMarkers;
  // The links are made once the page's folder is known: the pictures that
  // entries name are copied there.
  request.check = [&](const PageTarget& target) {
    const std::string folder = FolderOf(target.chosenPath);
    // A preview's folder is not where the teacher's pages go.
    if (!target.preview) s.outputFolder = folder;
    CurrentPlatform().SetWaitCursor(true);
    lexical::LexicalLinker linker(*lookup_);
    const auto linked = linker.LinkWords(tokens.tokens);
    request.data = lexical::InDictionaryLanguage(
        dictionary_, lexical::PageBody(linked, {s.appPaths.programFolder + "pictures/", folder}, messages));
    CurrentPlatform().SetWaitCursor(false);
    // An entry the store could not read reads as empty and matches nothing;
    // the page is still written, after one short message.
    if (!Lexicon().TakeNotices().empty())
      ShowMessage(FixedText(Fixed::kDictionaryEntryUnreadable), "KIO ", Buttons::Ok, this);
    return true;
  };
  request.after = [&](const PageTarget& target) {
    for (const auto& m : messages) ShowMessage(m, OopsCaption(), Buttons::Ok, this);
    if (!target.preview)
      ShowMessage(UiText(Ui::kPageGeneratedInFolder) + s.outputFolder, "KIO", Buttons::Ok, this);
  };
  auto written = WritePage(request, build, destination);
  ReturnToSession(build);
  return written;
}

void CLexicalPageDlg::MakeActivities() {
  Session& s = CurrentSession();
  CollectFields();
  if (read_.empty()) {
    ShowMessage(UiText(Ui::kNothingToGenerate), OopsCaption(), Buttons::Ok, this);
    return;
  }
  // The activities are written beside the text's document, under its name.
  const std::string document = s.documentFile.Path();
  if (document.empty() || !FileExists(document)) {
    ShowMessage(LocalText("Salve o texto antes: as atividades ficam ao lado do documento, com o nome dele.",
                          "Save the text first: the activities go beside its document, under its name."),
                OopsCaption(), Buttons::Ok, this);
    return;
  }
  CMakeActivitiesDlg ask;
  if (ask.DoModal() != IDOK) return;
  questions::ReadingActivityOptions options;
  options.every = ask.Every();
  options.pairs = ask.Pairs();
  options.portuguese = LocalText("pt", "en") == "pt";
  CurrentPlatform().SetWaitCursor(true);
  const questions::ReadingActivities made = questions::MakeReadingActivities(read_, Lexicon(), options);
  CurrentPlatform().SetWaitCursor(false);
  Lexicon().TakeNotices();
  const std::string folder = FolderOf(document);
  bool replace = false;
  std::string existing;
  for (const auto& f : questions::ActivityFiles(document, folder, made))
    if (FileExists(f.path)) existing += "\r\n" + f.path;
  if (!existing.empty()) {
    if (ShowMessage(LocalText("Substituir estes documentos?", "Replace these documents?") + existing, "KIO",
                    Buttons::YesNo, this) != Answer::Yes)
      return;
    replace = true;
  }
  std::vector<questions::ActivityFile> written;
  std::string error;
  const bool ok =
      questions::WriteReadingActivities(document, folder, made, replace, s.completionMessage, written, error);
  std::string report = ok ? LocalText("Documentos escritos:", "Documents written:") : error;
  for (const auto& f : written) report += "\r\n" + f.activity + ": " + f.path;
  for (const std::string& note : made.notes) report += "\r\n" + note;
  ShowMessage(report, ok ? "KIO" : OopsCaption(), Buttons::Ok, this);
}

}  // namespace kio
