#include "activities/memory/memory_dlg.h"

#include "activities/text_activity_dlg.h"
#include "dialogs/list_editor.h"
#include "dialogs/question_exchange.h"
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

int CardId(int pair, bool b) { return kMemCardBase + 2 * pair + (b ? 1 : 0); }

constexpr int kButtonHeight = 14;
constexpr int kRight = 162;  // left edge of the right-hand column
// The two button rows below the text.
constexpr DocumentButtonIds kButtons = {kActNew,      kActOpen,   kActSave,   kActSaveAs,
                                        kActGenerate, kActReturn, kActFont,   kActParagraph,
                                        kActAV,       kActGlobal, kActPreview};
constexpr int kRightWidth = 340;
constexpr int kHalf = 170;  // width of each half of the pairs
constexpr int kCardWidth = 80;
constexpr int kPairsTop = 52;
constexpr int kPairHeight = 34;

DialogTemplate MemoryLayout() {
  DialogTemplate t;
  t.resourceId = 161;
  t.title = "KIO Sweet Memories";
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kActHelp, ControlKind::RichText, "", 5, 5, 150, 236, kReadOnly | kVScroll},
      {kActLabelInstructions, ControlKind::Label, "", kRight + 15, 4, 200, 9},
      {kActHelpInstructions, ControlKind::Button, "?", kRight, 3, 12, 10},
      {kActInstructions, ControlKind::Edit, "", kRight, 14, kRightWidth, 34,
       kMultiLine | kVScroll | kWantReturn},
      {kActHelpText, ControlKind::Button, "?", kRight, kPairsTop - 1, 12, 10},
      {kActLabelFinal, ControlKind::Label, "Final", kRight + 15, 198, 200, 9},
      {kActHelpFinal, ControlKind::Button, "?", kRight, 197, 12, 10},
      {kActFinal, ControlKind::Edit, "", kRight, 208, kRightWidth, 26, kMultiLine | kVScroll | kWantReturn},
      {kActDocumentName, ControlKind::Edit, "", 5, 246, 150, 12, kReadOnly},
  };
  AddDocumentButtonRows(t.controls, kButtons, "&Generate htm");
  AddQuestionButtons(t.controls, kActImportQuestions, kActExportQuestions, 285);
  t.controls.push_back(
      {kActWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 285, 150, kButtonHeight});
  // Pairs 1 to 4 in the left half, 5 to 8 in the right, A and B side by side.
  for (int i = 0; i < kMemoryPairs; ++i) {
    const int x = kRight + (i / 4) * kHalf;
    const int y = kPairsTop + (i % 4) * kPairHeight;
    const std::string label = std::to_string(i + 1) + " (A-B)";
    t.controls.push_back({kMemLabelBase + i, ControlKind::Label, label, x + 15, y, 100, 9});
    for (int side = 0; side < 2; ++side)
      t.controls.push_back({CardId(i, side == 1), ControlKind::Edit, "", x + side * (kCardWidth + 4), y + 10,
                            kCardWidth, 22, kMultiLine | kVScroll | kWantReturn});
  }
  return t;
}

DocumentEditorKind MemoryKind() {
  DocumentEditorKind d;
  d.extension = "mem";
  d.questions = questions::DocumentKind::kMemory;
  d.importButton = kActImportQuestions;
  d.exportButton = kActExportQuestions;
  d.previewButton = kActPreview;
  d.saveMode = SaveMode::kRewriteInPlace;
  d.helpPanel = kActHelp;
  d.activityName = "memoria";
  d.openErrorSuffix = FixedText(Fixed::kCannotOpenFile);
  d.saveErrorRecord = Ui::kFileNotSaved;
  d.stayWhenNotSaved = true;
  return d;
}

std::string Cut(std::string text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

}  // namespace

CMemoryDlg::CMemoryDlg() : CDocumentEditorDlg(MemoryLayout(), MemoryKind()) {
  HelpOn(kActHelpInstructions, kActInstructions, "memoria_instru.rtf");
  HelpOn(kActHelpText, CardId(0, false), "memoria_text.rtf");
  for (int i = 0; i < kMemoryPairs; ++i)
    for (bool b : {false, true})
      if (i > 0 || b)
        OnFocusEnter(CardId(i, b), [this] { ShowHelp(kActHelp, HelpText("memoria_text.rtf")); });
  HelpOn(kActHelpFinal, kActFinal, "mensagem_final.rtf");
  HelpOn(kActWhatCanIDo, 0, "memoria_tips.rtf");
  OnButton(kActNew, [this] {
    if (MayLeaveDocument()) Start();
  });
  OnButton(kActOpen, [this] {
    if (!MayLeaveDocument()) return;
    Clear();
    ShowFields();
    OpenDocument();
  });
  OnButton(kActSave, [this] { SaveDocument(); });
  OnButton(kActSaveAs, [this] { SaveDocumentAs(); });
  OnButton(kActGenerate, [this] { GeneratePage(); });
  FormattingButtons(kActFont, kActParagraph, kActAV, kActGlobal);
}

bool CMemoryDlg::OnInitDialog() {
  Start();
  return true;
}

void CMemoryDlg::Start() {
  Session& s = CurrentSession();
  LabelDocumentButtons(kButtons);
  LabelFromInterfaceTexts({{kActWhatCanIDo, Ui::kWhatCanIDo}});
  SetItemText(kActLabelInstructions, FixedText(Fixed::kInstructionsLabel));
  SetItemText(kActLabelFinal, FixedText(Fixed::kFinalMessageLabel));
  ShowHelp(kActHelp, HelpText("memoria_tips.rtf"));
  Clear();
  remembered_.completion = ReplaceAll(s.completionMessage, "<br>", "\r\n");
  ShowFields();
}

void CMemoryDlg::Clear() {
  remembered_.pairs = MemoryPairs{};
  ForgetDocumentFile();
  ForgetSettingsChange();
  ResetPageSettings();
  remembered_.instructions = UiText(Ui::kMemoryInstructions);
  CurrentSession().documentName = UiText(Ui::kUntitled);
}

void CMemoryDlg::CollectFields() {
  read_.instructions = Cut(GetItemText(kActInstructions), kMemoryInstructionsLimit);
  read_.completion = Cut(GetItemText(kActFinal), kCompletionMessageLimit);
  for (int i = 0; i < kMemoryPairs; ++i) {
    read_.pairs[i].a = Cut(GetItemText(CardId(i, false)), kCardLimit);
    read_.pairs[i].b = Cut(GetItemText(CardId(i, true)), kCardLimit);
  }
  CurrentSession().completionMessage = read_.completion;
}

void CMemoryDlg::ShowFields() {
  SetItemText(kActInstructions, remembered_.instructions);
  SetItemText(kActFinal, remembered_.completion);
  for (int i = 0; i < kMemoryPairs; ++i) {
    SetItemText(CardId(i, false), remembered_.pairs[i].a);
    SetItemText(CardId(i, true), remembered_.pairs[i].b);
  }
  SetItemText(kActDocumentName, CurrentSession().documentName);
}

void CMemoryDlg::LoadFields(FieldReader& reader) {
  remembered_.completion = ReplaceAll(CurrentSession().completionMessage, "<br>", "\r\n");
  remembered_.pairs = MemoryPairs{};
  bool cut = false;
  LoadMemoryFields(reader, remembered_.instructions, remembered_.pairs, cut);
  if (cut) ReportDocumentCut(this);
}

void CMemoryDlg::StoreFields(FieldWriter& writer) {
  // Save keeps any work in progress; only Generate needs a playable count.
  StoreMemoryFields(writer, read_.instructions, read_.pairs, PairsToStore(read_.pairs));
}

bool CMemoryDlg::Counted() {
  const PairCount c = CountPairs(read_.pairs);
  if (!c.refusal) return true;
  ShowMessage(UiText(*c.refusal), OopsCaption(), Buttons::Ok, this);
  return false;
}

std::optional<std::string> CMemoryDlg::WritePageTo(const PageDestination& destination) {
  CollectFields();
  if (!Counted()) return std::nullopt;
  PageBuild build = SessionPageBuild();
  PageRequest request;
  request.templateName = kMemoryTemplate;
  request.instructions = read_.instructions;
  request.completionField = read_.completion;
  request.data = BuildMemoryData(read_.pairs, CountPairs(read_.pairs).pairs, build);
  bool copied = false;
  request.after = [this, &copied](const PageTarget& target) {
    auto failure = CopyBesidePage(target, "facea.gif", "faceb.gif");
    if (failure) ShowMessage(failure->text, failure->caption, Buttons::Ok, this);
    copied = !failure;
  };
  auto written = WritePage(request, build, destination);
  ReturnToSession(build);
  // A page without its cards' faces is not offered to the browser.
  if (!copied) return std::nullopt;
  return written;
}

}  // namespace kio
