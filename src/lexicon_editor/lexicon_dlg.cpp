#include "lexicon_editor/lexicon_dlg.h"

#include "dialogs/formatting.h"
#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "lexicon/lexicon_edit.h"
#include "lexicon/lexicon_session.h"
#include "lexicon/lexicon_transfer.h"
#include "lexicon_editor/lexicon_prompts.h"
#include "lexicon_editor/lexicon_small_dlgs.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

namespace {

constexpr int kRight = 162;
constexpr int kRowX = kRight + 15;  // buttons start right of their "?"
constexpr int kButtonWidth = 51;
constexpr int kButtonHeight = 14;
constexpr int kStep = kButtonWidth + 3;

std::string MergeInterruptQuestion(uint32_t n) {
  return FixedText(Fixed::kMergeInterrupt, {std::to_string(n)});
}

struct RowButton {
  int id;
  const char* label;
};

// Four rows of six buttons, each row with its "?" on the left.
const RowButton kRows[4][6] = {
    {{kLexAttach, "&Attach"},
     {kLexInsert, "&Insert"},
     {kLexEdit, "&Edit"},
     {kLexDelete, "&Delete"},
     {kLexReplace, "Re&place"},
     {kLexCutSegment, "&Cut segment"}},
    {{kLexFirst, "Firs&t"},
     {kLexFastBack, "Fast bac&k"},
     {kLexBack, "&Back"},
     {kLexForward, "&Forward"},
     {kLexFastForward, "Fast For&ward"},
     {kLexLast, "&Last"}},
    {{kLexFind, "Fi&nd"},
     {kLexSearch, "Searc&h"},
     {kLexSave, "&Save"},
     {kLexOpen, "Abre"},
     {kLexNew, "Novo"},
     {kLexSavePart, "Salva parte"}},
    {{kLexAsText, "Como texto"},
     {kLexMerge, "Mescla"},
     {kLexFont, "Font"},
     {kLexAV, "A&V"},
     {0, nullptr},
     {kLexReturn, "&Return"}},
};
const int kRowHelp[4] = {kLexHelpEditing, kLexHelpMoving, kLexHelpFiles, kLexHelpAdvanced};
constexpr int kFirstRowY = 214;

DialogTemplate LexiconLayout() {
  DialogTemplate t;
  t.title = "KIO Lexico";
  t.width = 507;
  t.height = 290;
  t.controls = {
      {kLexHelp, ControlKind::RichText, "", 5, 5, 150, 258, kReadOnly | kVScroll},
      {kLexWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 268, 150, kButtonHeight},
      {kLexHelpHeadword, ControlKind::Button, "?", kRight, 3, 12, 10},
      {kLexHeadwordCaption, ControlKind::Label, "", kRowX, 4, 300, 9},
      {kLexHeadword, ControlKind::Edit, "", kRight, 15, 340, 12},
      {kLexHelpBody, ControlKind::Button, "?", kRight, 32, 12, 10},
      {kLexBodyCaption, ControlKind::Label, "", kRowX, 33, 300, 9},
      {kLexBody, ControlKind::Edit, "", kRight, 44, 340, 132, kMultiLine | kVScroll | kWantReturn},
      {kLexNumberCaption, ControlKind::Label, "N.", kRight, 184, 12, 9},
      {kLexNumber, ControlKind::Edit, "", kRight + 14, 182, 40, 12, kReadOnly},
      {kLexTotalCaption, ControlKind::Label, "Total:", kRight + 60, 184, 24, 9},
      {kLexTotal, ControlKind::Edit, "", kRight + 86, 182, 40, 12, kReadOnly},
      {kLexPath, ControlKind::Edit, "", kRight + 132, 182, 208, 12, kReadOnly},
      {kLexProgress, ControlKind::Progress, "", kRight, 199, 340, 8},
  };
  for (int r = 0; r < 4; ++r) {
    const int y = kFirstRowY + r * 18;
    t.controls.push_back({kRowHelp[r], ControlKind::Button, "?", kRight, y + 2, 12, 10});
    for (int c = 0; c < 6; ++c) {
      const RowButton& b = kRows[r][c];
      if (b.id != 0)
        t.controls.push_back(
            {b.id, ControlKind::Button, b.label, kRowX + c * kStep, y, kButtonWidth, kButtonHeight});
    }
  }
  return t;
}

}  // namespace

CLexiconDlg::CLexiconDlg(std::function<void()> startUp)
    : Dialog(LexiconLayout()), startUp_(std::move(startUp)) {
  const std::pair<int, const char*> help[] = {
      {kLexHelpHeadword, "dic_termo_fonte.rtf"}, {kLexHelpBody, "dic_termo_alvo.rtf"},
      {kLexHelpEditing, "dic_edita.rtf"},        {kLexHelpMoving, "dic_move.rtf"},
      {kLexHelpFiles, "dic_abre_salva.rtf"},     {kLexHelpAdvanced, "dic_avancado.rtf"},
      {kLexWhatCanIDo, "dicionario.rtf"}};
  for (auto [button, file] : help) {
    std::string name = file;
    OnButton(button, [this, name] { ShowHelp(kLexHelp, HelpText(name)); });
  }
  OnFocusEnter(kLexHeadword, [this] { ShowHelp(kLexHelp, HelpText("dic_termo_fonte.rtf")); });
  OnFocusEnter(kLexBody, [this] {
    ShowHelp(kLexHelp, HelpText("dic_termo_alvo.rtf"));
    // The body belongs to a headword: without one, typing starts there.
    if (GetItemText(kLexHeadword).empty()) SetFocus(kLexHeadword);
  });
  OnFocusLeave(kLexHeadword, [this] { HeadwordLeft(); });
  OnTextChanged(kLexBody, [this] {
    edited_ = true;
    saved_ = false;
  });

  OnButton(kLexAttach, [this] { Attach(); });
  OnButton(kLexInsert, [this] { StartTyping(true, 0); });
  OnButton(kLexEdit, [this] { StartTyping(false, 0); });
  OnButton(kLexFind, [this] { StartTyping(true, 1); });
  OnButton(kLexDelete, [this] { Delete(); });
  OnButton(kLexReplace, [this] { ReplaceOp(); });
  OnButton(kLexCutSegment, [this] { CutSegmentOp(); });
  OnButton(kLexFirst, [this] { Move(1); });
  OnButton(kLexFastBack, [this] { Move(cur_ > 100 ? cur_ - 100 : 1); });
  OnButton(kLexBack, [this] { Move(cur_ - 1); });
  OnButton(kLexForward, [this] { Move(cur_ + 1); });
  OnButton(kLexFastForward, [this] { Move(cur_ + 100); });
  OnButton(kLexLast, [this] { Move(kOffLimits); });
  OnButton(kLexSearch, [this] { SearchOp(); });
  OnButton(kLexSave, [this] {
    PreStep();
    SaveDictionary();
    mode_ = 0;
  });
  OnButton(kLexOpen, [this] { OpenOther(); });
  OnButton(kLexNew, [this] { NewDictionary(); });
  OnButton(kLexSavePart, [this] { SavePartOp(); });
  OnButton(kLexAsText, [this] { ExportAsText(); });
  OnButton(kLexMerge, [this] { MergeOther(); });
  OnButton(kLexFont, [] { RunFontDialog(); });
  OnButton(kLexAV, [] { RunAVDialog("verbete"); });
}

LexiconStore& CLexiconDlg::Store() { return Lexicon(); }

void CLexiconDlg::Notices() { ShowNotices(Store(), this); }

bool CLexiconDlg::OnInitDialog() {
  Relabel();
  ShowHelp(kLexHelp, HelpText("dicionario.rtf"));
  if (!Start()) EndDialog(IDCANCEL);
  return true;
}

void CLexiconDlg::Relabel() {
  ShowFixedLabels(*this);
  const std::pair<int, Ui> labels[] = {{kLexAttach, Ui::kAttachButton}, {kLexInsert, Ui::kInsertButton},
                                       {kLexBack, Ui::kBackButton},     {kLexForward, Ui::kForwardButton},
                                       {kLexSave, Ui::kSaveButton},     {kLexReturn, Ui::kReturnButton},
                                       {kLexFont, Ui::kFontButton},     {kLexWhatCanIDo, Ui::kWhatCanIDo}};
  for (auto [id, record] : labels)
    if (!UiText(record).empty()) SetItemText(id, UiText(record));
  SetItemText(kLexHeadwordCaption,
              LocalText(Win1252("Termo (a palavra ou expressão)"), "Headword (word or phrase)"));
  SetItemText(kLexBodyCaption,
              LocalText(Win1252("Explicação (o que o aluno vê)"), "Body (what the student sees)"));
}

// --- Start ------------------------------------------------------------------

bool CLexiconDlg::Start() {
  Session& s = CurrentSession();
  Store().CloseAll();
  ChooserRequest r{false, s.appPaths.programFolder + "*.kio", "*.kio", "kio"};
  auto chosen = ChooseFile(r);
  if (!chosen) {
    ShowMessage(FixedText(Fixed::kCanceled), "KIO", Buttons::Ok, this);
    return false;
  }
  const std::string name = ToLower(BareName(*chosen));
  if (!InProgramFolder(*chosen)) {
    ShowMessage(FixedText(Fixed::kDictionaryMustBeInFolder, {s.appPaths.programFolder}), "kio", Buttons::Ok,
                this);
    return false;
  }
  if (name == "*.kio" || name.empty()) return false;
  EndOnRefusedName(Store(), this, Store().RecordName(name));
  Notices();
  if (startUp_) startUp_();
  if (!OpenDictionaryAsking(Store(), this, startUp_)) return false;
  return StartEditing();
}

bool CLexiconDlg::StartEditing() {
  WaitCursor wait;
  if (!Store().BeginUpdate()) {
    Notices();
    return false;
  }
  Notices();
  SetProgressRange(kLexProgress, 0, 100);
  SetProgress(kLexProgress, 0);
  cur_ = 1;
  mode_ = 0;
  edited_ = false;
  saved_ = true;
  ShowEntry(Store().ProbeEntry(cur_));
  if (cur_ == 0) cur_ = 1;
  Notices();
  return true;
}

bool CLexiconDlg::RestartEditing() {
  if (StartEditing()) return true;
  EndDialog(IDCANCEL);
  return false;
}

// --- Showing ------------------------------------------------------------------

void CLexiconDlg::ShowCounters() {
  const uint32_t count = Store().Count();
  SetItemText(kLexNumber, std::to_string(count >= 3 ? cur_ : 0));
  SetItemText(kLexTotal, std::to_string(count >= 2 ? count - 2 : 0));
  SetItemText(kLexPath, CurrentSession().appPaths.programFolder + CurrentSession().appPaths.lexiconDataFile);
}

void CLexiconDlg::ShowEntry(const LexiconEntry& entry) {
  if (entry.empty() || Store().Count() < 3) {
    SetItemText(kLexHeadword, "");
    SetItemText(kLexBody, "");
  } else {
    size_t position = 0;
    SetItemText(kLexHeadword, Headword(entry, position));
    SetItemText(kLexBody, NextField(entry, position) + "\r\n");
  }
  edited_ = false;
  ShowCounters();
}

void CLexiconDlg::ShowCurrent() {
  ShowEntry(Store().ReadEntry(cur_));
  Notices();
}

// --- Editing -------------------------------------------------------------------

void CLexiconDlg::PreStep() {
  if (edited_ && !GetItemText(kLexHeadword).empty() && !GetItemText(kLexBody).empty() &&
      ShowMessage(UiText(Ui::kAskAttachEntry), "Kio", Buttons::YesNo, this) == Answer::Yes)
    Attach();
  edited_ = false;
}

void CLexiconDlg::Attach() {
  if (!edited_ || !Store().IsUpdating()) return;
  std::string headword = CleanHeadword(GetItemText(kLexHeadword).substr(0, kLongestHeadword));
  const std::string body = GetItemText(kLexBody).substr(0, kLongestBody);
  if (headword.empty() || body.empty()) {
    ShowMessage(UiText(Ui::kFillEntry), "Kio", Buttons::Ok, this);
    return;
  }
  const LexiconEntry text = MakeEntry(headword, body);
  bool stored;
  {
    WaitCursor wait;
    std::string key = headword;
    stored = Store().PutEntry(key, text);
  }
  Notices();
  if (stored) {
    // Show the entry where it now stands.
    std::string key = headword;
    const uint32_t at = Store().Find(key);
    if (!key.empty() && at != kOffLimits) cur_ = at;
    saved_ = false;
  }
  ShowCurrent();
  edited_ = false;
}

void CLexiconDlg::Move(uint32_t to) {
  PreStep();
  cur_ = to;
  ShowCurrent();
  mode_ = 0;
}

void CLexiconDlg::StartTyping(bool clear, int mode) {
  PreStep();
  if (clear) {
    SetItemText(kLexHeadword, "");
    SetItemText(kLexBody, "");
  }
  mode_ = mode;
  SetFocus(kLexHeadword);
}

void CLexiconDlg::HeadwordLeft() {
  if (!Store().IsUpdating()) return;
  std::string headword = GetItemText(kLexHeadword);
  if (headword.size() > 2998) headword.resize(2998);
  headword = CleanHeadword(headword);
  if (headword.empty()) return;
  SetItemText(kLexHeadword, headword);
  std::string key = headword;
  const uint32_t at = Store().Find(key);
  Notices();
  if (mode_ == 1) {
    cur_ = at;
    ShowCurrent();
    SetFocus(kLexFind);
  } else if (!key.empty() && at != kOffLimits) {
    // An existing entry comes up for editing instead of a duplicate.
    cur_ = at;
    ShowCurrent();
  } else {
    cur_ = at == kOffLimits ? cur_ : at;
  }
}

void CLexiconDlg::Delete() {
  ShowCurrent();
  if (ShowMessage(UiText(Ui::kAskDeleteEntry), "kio", Buttons::YesNo, this) == Answer::Yes) {
    Store().DeleteSlot(cur_);
    Notices();
    ShowCurrent();
  }
  saved_ = false;
}

void CLexiconDlg::CutSegmentOp() {
  CCutSegmentDlg range(Store().Count());
  if (range.DoModal() != IDOK) return;
  if (ShowMessage(UiText(Ui::kAskDeleteRange), "kio", Buttons::YesNo, this) == Answer::No) return;
  {
    WaitCursor wait;
    CutSegment(Store(), range.From(), range.To());
  }
  Notices();
  ShowCurrent();
  saved_ = false;
}

void CLexiconDlg::ReplaceOp() {
  CReplaceDlg replace;
  if (replace.DoModal() != IDOK) return;
  if (replace.Segment().empty()) {
    ShowMessage(UiText(Ui::kTypeSegment), "KIO", Buttons::Ok, this);
    return;
  }
  ReplaceReport report;
  {
    WaitCursor wait;
    report = ReplaceThroughout(Store(), replace.Segment(), replace.Replacement(),
                               EscapeStops(this, kLexProgress, ReplaceInterruptQuestion, "KIO"));
  }
  Notices();
  if (!report.stopped) {
    ShowMessage(UiText(Ui::kEntriesSearched) + std::to_string(report.searched) + UiText(Ui::kSentenceEnd) +
                    UiText(Ui::kReplacementsMade) + std::to_string(report.replacements) + ".",
                "KIO", Buttons::Ok, this);
  }
  ShowCurrent();
  if (report.changedEntries > 0) saved_ = false;
}

void CLexiconDlg::SearchOp() {
  CSearchDlg search;
  if (search.DoModal() != IDOK) return;
  const uint32_t count = Store().Count();
  bool stopped = false;
  uint32_t found;
  {
    WaitCursor wait;
    LexiconProgress progress = EscapeStops(this, kLexProgress, SearchInterruptQuestion, "KIO ");
    auto ask = progress.stop;
    progress.stop = [&](uint32_t n) { return stopped = ask(n); };
    found = SearchSegment(Store(), cur_, search.Segment(), progress);
  }
  Notices();
  if (found != 0)
    cur_ = found;
  else if (!stopped)
    ShowMessage(SearchNotFoundMessage(count >= 2 ? count - 2 : 0), "KIO ", Buttons::Ok, this);
  ShowCurrent();
}

// --- Saving and files ----------------------------------------------------------------

bool CLexiconDlg::SaveDictionary() {
  bool done;
  {
    WaitCursor wait;
    done = Store().Commit(EscapeStops(this, kLexProgress, CommitInterruptQuestion, "Kio"));
  }
  Notices();
  if (done) saved_ = true;
  return done;
}

bool CLexiconDlg::SaveFirst() {
  PreStep();
  if (saved_) return true;
  switch (ShowMessage(UiText(Ui::kAskSaveDictionary), "KIO", Buttons::YesNoCancel, this)) {
    case Answer::Cancel: return false;
    case Answer::Yes: return SaveDictionary();
    default: return true;
  }
}

void CLexiconDlg::OnCancel() {
  if (Store().IsUpdating()) {
    PreStep();
    if (!saved_ && ShowMessage(UiText(Ui::kAskSaveDictionary), "kio", Buttons::YesNo, this) == Answer::Yes &&
        !SaveDictionary())
      return;  // the save failed or was stopped: the editor stays, with the changes
  }
  saved_ = true;
  Store().EndUpdate();
  EndDialog(IDCANCEL);
}

void CLexiconDlg::OpenOther() {
  if (!SaveFirst()) return;
  Store().EndUpdate();
  if (!Start()) EndDialog(IDCANCEL);
}

void CLexiconDlg::NewDictionary() {
  if (!SaveFirst()) return;
  Session& s = CurrentSession();
  Store().EndUpdate();
  ChooserRequest r{true, s.appPaths.programFolder + "*.kio", "*.kio", "kio"};
  auto chosen = ChooseFile(r);
  if (!chosen) {
    // Nothing new: the dictionary that was open stays open.
    RestartEditing();
    return;
  }
  std::string name = ToLower(BareName(*chosen));
  if (!InProgramFolder(*chosen)) {
    ShowMessage(FixedText(Fixed::kDictionaryMustBeInFolder, {s.appPaths.programFolder}), "kio", Buttons::Ok,
                this);
    if (!Start()) EndDialog(IDCANCEL);
    return;
  }
  if (name.find('.', 1) == std::string::npos) name += ".kio";
  s.appPaths.lexiconDataFile = name;
  const bool created = Store().Create(name);
  EndOnRefusedName(Store(), this, created || LexiconStore::IsDictionaryName(name));
  Notices();
  RestartEditing();
}

void CLexiconDlg::SavePartOp() {
  CSavePartDlg range(Store().Count());
  if (range.DoModal() != IDOK) return;
  const AppPaths& paths = CurrentSession().appPaths;
  std::string name, path;
  for (;;) {
    auto chosen = ChooseFile(ChooserRequest{true, "*.kio", "*.kio", "kio"});
    if (!chosen) return;
    path = ToLower(*chosen);
    name = BareName(path);
    // The part may not take the place of the dictionary or its working pair.
    const std::string pointer = PointerNameFor(name);
    if (name != paths.lexiconDataFile && name != paths.lexiconBackupDataFile &&
        pointer != paths.lexiconPointerFile && pointer != paths.lexiconBackupPointerFile)
      break;
    ShowMessage(FixedText(Fixed::kPartNeedsOtherName), "kio ", Buttons::Ok, this);
  }
  if (!InProgramFolder(path)) {
    ShowMessage(FixedText(Fixed::kPartMustBeInFolder, {paths.programFolder}), "kio ", Buttons::Ok, this);
    return;
  }
  SavePartResult result;
  {
    WaitCursor wait;
    result = SavePart(Store(), range.From(), range.To(), name,
                      EscapeStops(this, kLexProgress, SavePartInterruptQuestion, "Kio "),
                      UiText(Ui::kFileNotSaved));
  }
  Notices();
  if (result == SavePartResult::kSaved) ShowMessage(FixedText(Fixed::kPartSaved), "Kio ", Buttons::Ok, this);
}

void CLexiconDlg::ExportAsText() {
  if (ShowMessage(FixedText(Fixed::kConfirmSaveAsText), "KIO ", Buttons::YesNo, this) != Answer::Yes) return;
  if (!SaveFirst()) return;
  const Session& s = CurrentSession();
  const std::string& data = s.appPaths.lexiconDataFile;
  const std::string textName = data.substr(0, data.size() >= 4 ? data.size() - 4 : 0) + ".TXT";
  {
    WaitCursor wait;
    // The text comes from the saved dictionary.
    std::string text;
    bool done = Store().Open() &&
                ExportText(Store(), text, EscapeStops(this, kLexProgress, ExportInterruptQuestion, "KIO "));
    std::vector<LexiconNotice> notices = Store().TakeNotices();
    for (const LexiconNotice& n : notices) ShowMessage(n.text, n.caption, Buttons::Ok, this);
    if (done) {
      try {
        File f;
        f.Create(s.appPaths.programFolder + textName);
        f.Write(text);
        f.Close();
        ShowMessage(FixedText(Fixed::kSavedAsText, {textName}), "KIO ", Buttons::Ok, this);
      } catch (const FileError& e) {
        ReportFileError(e.cause, FixedText(Fixed::kCannotWriteText));
      }
    } else if (notices.empty()) {
      ShowMessage(FixedText(Fixed::kTextNotSaved), "KIO ", Buttons::Ok, this);
    }
  }
  RestartEditing();
}

void CLexiconDlg::MergeOther() {
  auto chosen = ChooseFile(ChooserRequest{false, "*.KIO", "*.KIO", "KIO"});
  if (!chosen) return;
  const std::string path = ToLower(*chosen);
  if (!SaveFirst()) return;
  const Session& s = CurrentSession();
  const std::string& ours = s.appPaths.lexiconDataFile;
  const bool replace =
      ShowMessage(FixedText(Fixed::kMergeReplaceQuestion, {ours.substr(0, ours.find('.'))}),
                  FixedText(Fixed::kMergeDuplicatesCaption), Buttons::YesNo, this) == Answer::Yes;
  const std::string otherName = BareName(path);
  const std::string otherPointer = FolderOf(path) + PointerNameFor(otherName);
  std::vector<TextEntry> entries;
  bool merged = false;
  {
    WaitCursor wait;
    std::string pointer, data;
    if (!ReadWholeFile(otherPointer, pointer) || !ReadWholeFile(path, data)) {
      ReportFileError(kFileNotFound, FixedText(Fixed::kCannotMerge));
      return;
    }
    // The other dictionary is read whole before anything changes: stopping
    // here leaves even the unsaved edits in place.
    std::vector<LexiconNotice> notices;
    if (!ReadMergeSource(pointer, data, entries, notices,
                         EscapeStops(this, kLexProgress, MergeInterruptQuestion, "KIO "))) {
      for (const LexiconNotice& n : notices) ShowMessage(n.text, n.caption, Buttons::Ok, this);
      if (notices.empty()) ShowMessage(FixedText(Fixed::kMergeNotDone), "KIO ", Buttons::Ok, this);
      return;
    }
    // The merge starts from the saved dictionary.
    if (Store().BeginUpdate()) {
      Store().SetReplaceDuplicates(replace);
      PutReport report = PutEntries(Store(), entries);
      merged = report.refused == 0 &&
               Store().Commit(EscapeStops(this, kLexProgress, CommitInterruptQuestion, "Kio"));
    }
    Store().SetReplaceDuplicates(true);
  }
  Notices();
  if (!merged) ShowMessage(FixedText(Fixed::kMergeNotDone), "KIO ", Buttons::Ok, this);
  if (RestartEditing()) {
    cur_ = 1;
    ShowCurrent();
  }
}

}  // namespace kio
