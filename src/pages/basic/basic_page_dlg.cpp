#include "pages/basic/basic_page_dlg.h"

#include "documents/basic_document.h"
#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kButtonHeight = 14;
constexpr int kRight = 162;
// The two button rows below the text.
constexpr DocumentButtonIds kButtons = {kBasicNew,      kBasicOpen,   kBasicSave,   kBasicSaveAs,
                                        kBasicGenerate, kBasicReturn, kBasicFont,   kBasicParagraph,
                                        kBasicAV,       kBasicGlobal, kBasicPreview};
constexpr int kRightWidth = 340;

// The colours this editor's pages start with, in their attribute forms.
const char kBasicBackground[] = "body bgcolor='#FFFFFF'";
const char kBasicBox[] = "bgcolor=\"#F0E8F0\"";

DialogTemplate BasicLayout() {
  DialogTemplate t;
  t.title = "KIO Basic";
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kBasicHelp, ControlKind::RichText, "", 5, 5, 150, 236, kReadOnly | kVScroll},
      {kBasicLabelText, ControlKind::Label, "", kRight + 15, 4, 200, 9},
      {kBasicHelpText, ControlKind::Button, "?", kRight, 3, 12, 10},
      {kBasicText, ControlKind::Edit, "", kRight, 14, kRightWidth, 222, kMultiLine | kVScroll | kWantReturn},
      {kBasicHint, ControlKind::Label, "", kRight, 240, kRightWidth, 14},
      {kBasicDocumentName, ControlKind::Edit, "", 5, 246, 134, 12, kReadOnly},
  };
  AddDocumentButtonRows(t.controls, kButtons);
  t.controls.insert(t.controls.end(),
                    {
                        {kBasicHelpFiles, ControlKind::Button, "?", 143, 247, 12, 10},
                        // Above the right end of Generate, which it explains.
                        {kBasicHelpGenerate, ControlKind::Button, "?", kRight + 284, 255, 12, 10},
                        {kBasicWhatCanIDo, ControlKind::Button, "", 5, 285, 150, kButtonHeight},
                    });
  return t;
}

DocumentEditorKind BasicKind() {
  DocumentEditorKind d;
  d.extension = "hpb";
  d.saveMode = SaveMode::kRecreate;
  d.helpPanel = kBasicHelp;
  d.activityName = "sem";
  d.openErrorSuffix = FixedText(Fixed::kCannotOpenTextFile);
  d.saveErrorRecord = Ui::kFileNotSaved;
  d.returnName = "*.hpb";
  d.previewButton = kBasicPreview;
  return d;
}

void StartColours() {
  PageSettings& p = CurrentSession().pageSettings;
  p.background2 = kBasicBackground;
  p.boxColor = kBasicBox;
}

}  // namespace

CBasicPageDlg::CBasicPageDlg() : CDocumentEditorDlg(BasicLayout(), BasicKind()) {
  HelpOn(kBasicHelpText, kBasicText, "hp_basica.rtf");
  HelpOn(kBasicHelpFiles, 0, "arquivos.rtf");
  HelpOn(kBasicHelpGenerate, 0, "gera_htm.rtf");
  HelpOn(kBasicWhatCanIDo, 0, "basica_intro.rtf");
  OnButton(kBasicNew, [this] {
    if (AskToSave() != SaveAnswer::kCancelled) New();
  });
  OnButton(kBasicOpen, [this] {
    if (AskToSave() != SaveAnswer::kCancelled) OpenDocument();
  });
  OnButton(kBasicSave, [this] { SaveDocument(); });
  OnButton(kBasicSaveAs, [this] { SaveDocumentAs(); });
  OnButton(kBasicGenerate, [this] { Generate(); });
  FormattingButtons(kBasicFont, kBasicParagraph, kBasicAV, kBasicGlobal);
}

bool CBasicPageDlg::OnInitDialog() {
  LabelDocumentButtons(kButtons);
  LabelFromInterfaceTexts({{kBasicWhatCanIDo, Ui::kWhatCanIDo}});
  SetItemText(kBasicLabelText, FixedText(Fixed::kPageTextLabel));
  SetItemText(kBasicHint, UiText(Ui::kFormattingHint));
  ShowHelp(kBasicHelp, HelpText("basica_intro.rtf"));
  Start();
  return true;
}

void CBasicPageDlg::Start() {
  remembered_.clear();
  read_.clear();
  ForgetSettingsChange();
  StartColours();
  CurrentSession().documentName = "*.hpb";
  SetItemText(kBasicText, "");
  SetItemText(kBasicDocumentName, UiText(Ui::kUntitled));
}

void CBasicPageDlg::New() {
  ForgetDocumentFile();
  Start();
  CurrentSession().documentName = UiText(Ui::kUntitled);
}

void CBasicPageDlg::CollectFields() {
  read_ = GetItemText(kBasicText);
  if (read_.size() > kBasicTextLimit) read_.resize(kBasicTextLimit);
}

void CBasicPageDlg::LoadFields(FieldReader& reader) { remembered_ = reader.Text(kBasicTextLimit); }

void CBasicPageDlg::ShowFields() {
  SetItemText(kBasicText, remembered_);
  SetItemText(kBasicDocumentName, CurrentSession().documentName);
}

bool CBasicPageDlg::ReadyToSave() {
  if (!read_.empty()) return true;
  ShowMessage(UiText(Ui::kNothingToSave), OopsCaption(), Buttons::Ok, this);
  return false;
}

std::optional<std::string> CBasicPageDlg::WritePageTo(const PageDestination& destination) {
  Session& s = CurrentSession();
  CollectFields();
  if (read_.empty()) {
    ShowMessage(UiText(Ui::kNothingToGenerate), OopsCaption(), Buttons::Ok, this);
    return std::nullopt;
  }
  PageBuild build = SessionPageBuild();
  const std::string rendered = RenderBasicText(read_, build);
  ReturnToSession(build);
  if (RefusedForWork(build)) return std::nullopt;  // said before a file is chosen
  auto target = ChoosePageFile(DocumentChooser("htm", true), destination);
  if (!target) return std::nullopt;
  const PageSettings& p = build.settings;
  // The page's title is its file name as the teacher chose it, capitals
  // kept.
  if (!WriteAssembledPage(
          *target, BuildBasicPage(BareName(target->chosenPath), rendered, p.background2, p.boxColor), build))
    return std::nullopt;
  return target->chosenPath;
}

void CBasicPageDlg::Generate() {
  Session& s = CurrentSession();
  auto written = WritePageTo(PageDestination::Chosen());
  if (!written) return;
  ShowMessage(UiText(Ui::kPageGenerated), "KIO", Buttons::Ok, this);
  if (ShowMessage(UiText(Ui::kAskSeePage), "KIO", Buttons::YesNo, this) == Answer::Yes)
    OpenInBrowser(*written);
}

}  // namespace kio
