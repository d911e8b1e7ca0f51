#include "dialogs/list_editor.h"

#include "fileio/document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/fields.h"
#include "render/page_settings.h"

namespace kio {

namespace {

// The "Final" box shows the completion message with "<br>" as line breaks.
std::string FinalBoxText(const std::string& message) { return ReplaceAll(message, "<br>", "\r\n"); }

int FieldBox(size_t i) { return kListField + static_cast<int>(i); }

}  // namespace

std::string ItemCheck::Report() const {
  std::string report = FixedText(Fixed::kErrors);
  for (size_t i = 0; i < records.size(); ++i) {
    const std::string& text = UiText(records[i]);
    report += text.empty() && i < fixedForms.size() ? FixedText(fixedForms[i]) : text;
  }
  return report;
}

ItemCheck ItemCheckOf(const std::vector<ItemProblem>& problems) {
  // Each rule's record and fixed text, in the order of ItemRule.
  static const std::pair<Ui, Fixed> kMessages[] = {
      {Ui::kCheckLinkedFile, Fixed::kItemFileName},
      {Ui::kCheckAssessed, Fixed::kItemAssessed},
      {Ui::kCheckRightOption, Fixed::kItemNoRightOption},
      {Ui::kCheckEmptyOption, Fixed::kItemMarkOnEmptyOption},
      {Ui::kCheckEmptyBox, Fixed::kItemEmptyField},
      {Ui::kCheckFeedbackCount, Fixed::kItemFeedbackCount},
      {Ui::kCheckPartLimit, Fixed::kItemTooManyParts},
  };
  ItemCheck check;
  for (const ItemProblem& problem : problems) {
    const auto& [record, fixed] = kMessages[static_cast<size_t>(problem.rule)];
    check.records.push_back(record);
    check.fixedForms.push_back(fixed);
  }
  return check;
}

const std::string& DocumentCutMessage() { return FixedText(Fixed::kDocumentOpenedCut); }

void ReportDocumentCut(Dialog* owner) { ShowMessage(DocumentCutMessage(), "KIO", Buttons::Ok, owner); }

namespace {

// A list is never dropped after a save that failed or whose chooser was
// cancelled: the changes would be lost.
DocumentEditorKind StayingWhenNotSaved(DocumentEditorKind kind) {
  kind.stayWhenNotSaved = true;
  return kind;
}

}  // namespace

CListEditorDlg::CListEditorDlg(DialogTemplate layout, ListEditorKind kind)
    : CDocumentEditorDlg(std::move(layout), StayingWhenNotSaved(kind.document)),
      kind_(std::move(kind)),
      list_(kind_.fields.size(), kind_.capacity, kind_.lastPlace,
            kind_.pasteFields ? kind_.pasteFields : kind_.fields.size(),
            kind_.clipboard ? *kind_.clipboard : ownClipboard_) {
  for (size_t i = 0; i < kind_.fields.size(); ++i)
    HelpOn(kListFieldHelp + static_cast<int>(i), FieldBox(i), kind_.fields[i].help);
  if (kind_.hasFinal) HelpOn(kListFinalHelp, kListFinal, kind_.finalHelp);
  HelpOn(kListWhatCanIDo, 0, kind_.tipsHelp);
  if (kind_.select)
    OnButton(kListSelect, [this] {
      if (kind_.selectField < kind_.fields.size())
        ShowHelp(kind_.document.helpPanel, HelpText(kind_.fields[kind_.selectField].help));
      if (auto chosen = kind_.select()) SetItemText(FieldBox(kind_.selectField), *chosen);
    });
  OnButton(kListInsert, [this] { Insert(); });
  OnButton(kListAttach, [this] { Attach(); });
  OnButton(kListBack, [this] { Back(); });
  OnButton(kListForward, [this] { Forward(); });
  OnButton(kListCopy, [this] { Copy(); });
  OnButton(kListCut, [this] { Cut(); });
  OnButton(kListPaste, [this] { Paste(); });
  OnButton(kListNew, [this] { New(); });
  OnButton(kListOpen, [this] { Open(); });
  OnButton(kListSave, [this] { Save(); });
  OnButton(kListSaveAs, [this] { SaveAs(); });
  OnButton(kListGenerate, [this] { GeneratePage(); });
  FormattingButtons(kListFont, kListParagraph, kListAV, kListGlobal);
}

bool CListEditorDlg::OnInitDialog() {
  Start();
  return true;
}

void CListEditorDlg::Start() {
  Session& s = CurrentSession();
  LabelDocumentButtons({kListNew, kListOpen, kListSave, kListSaveAs, kListGenerate, kListReturn, kListFont,
                        kListParagraph, 0, kListGlobal});
  LabelFromInterfaceTexts({{kListAttach, Ui::kAttachButton},
                           {kListInsert, Ui::kInsertButton},
                           {kListBack, Ui::kBackButton},
                           {kListForward, Ui::kForwardButton},
                           {kListCut, Ui::kCutButton},
                           {kListPaste, Ui::kPasteButton},
                           {kListSelect, Ui::kSelectButton},
                           {kListCopy, Ui::kCopyButton}});
  for (size_t i = 0; i < kind_.fields.size(); ++i) {
    const ItemField& f = kind_.fields[i];
    std::string label = f.labelRecord ? UiText(*f.labelRecord) : std::string();
    if (label.empty()) label = LocalText(f.labelPt, f.labelEn);
    SetItemText(kListFieldLabel + static_cast<int>(i), label);
  }
  if (kind_.hasFinal) SetItemText(kListFinalLabel, FixedText(Fixed::kFinalMessageLabel));
  StartOther();
  ShowHelp(kind_.document.helpPanel, HelpText(kind_.tipsHelp));
  savedFinal_ = FinalBoxText(s.completionMessage);
  ClearDocument();
}

Item CListEditorDlg::ReadItem() const {
  Item item;
  for (size_t i = 0; i < kind_.fields.size(); ++i) {
    std::string text = GetItemText(FieldBox(i));
    if (text.size() > kind_.fields[i].limit) text.resize(kind_.fields[i].limit);
    item.push_back(std::move(text));
  }
  return item;
}

std::string CListEditorDlg::FinalText() const {
  if (!kind_.hasFinal) return std::string();  // a list without a "Final" box (Index)
  std::string text = GetItemText(kListFinal);
  if (text.size() > kListFinalLimit) text.resize(kListFinalLimit);
  return text;
}

void CListEditorDlg::ShowItemFields(const Item& item) {
  for (size_t i = 0; i < kind_.fields.size() && i < item.size(); ++i) SetItemText(FieldBox(i), item[i]);
}

ItemCheck CListEditorDlg::ValidateItem(Item& item) {
  item = ReadItem();
  ItemCheck check = CheckItem(item);
  for (size_t i = 0; i < item.size(); ++i) {
    if (item[i].size() > kind_.fields[i].limit) item[i].resize(kind_.fields[i].limit);
    if (kind_.fields[i].lowerCase) item[i] = ToLower(item[i]);
  }
  ShowItemFields(item);
  return check;
}

ItemCheck CListEditorDlg::CheckItem(Item& item) {
  return kind_.check ? kind_.check(item, list_.Current()) : ItemCheck{};
}

void CListEditorDlg::ShowItem() {
  ShowItemFields(list_.Shown());
  list_.TakeSnapshot();
  SetItemText(kListPosition, list_.PositionText());
  if (kind_.hasFinal) SetItemText(kListFinal, FinalBoxText(CurrentSession().completionMessage));
  SetItemText(kListDocumentName, CurrentSession().documentName);
  ShowOther();
}

void CListEditorDlg::ClearFields() {
  ShowItemFields(Item(kind_.fields.size()));
  list_.BlankSnapshot();
}

void CListEditorDlg::ClearDocument() {
  Session& s = CurrentSession();
  list_.Clear();
  ForgetDocumentFile();
  ForgetSettingsChange();
  ResetPageSettings();
  s.documentName = UiText(Ui::kUntitled);
  ClearOther();
  ShowItem();
}

bool CListEditorDlg::ShowOutcome(ItemOutcome outcome) {
  if (outcome == ItemOutcome::kDone || outcome == ItemOutcome::kBlank) return true;
  const std::optional<Ui> record = RecordOf(outcome);
  ShowMessage(record ? UiText(*record) : ListFullMessage(), OopsCaption(), Buttons::Ok, this);
  return false;
}

bool CListEditorDlg::HasItems(Ui record) {
  if (list_.Count() > 0) return true;
  ShowMessage(UiText(record), OopsCaption(), Buttons::Ok, this);
  return false;
}

bool CListEditorDlg::ConfirmItemChanges() {
  Item item;
  ValidateItem(item);
  if (list_.CheckChanges(item) == ItemOutcome::kDone && !OtherFieldsChanged()) return true;
  switch (ShowMessage(UiText(Ui::kAskAttachItem), "KIO", Buttons::YesNoCancel, this)) {
    case Answer::Yes: return Attach();
    case Answer::No:
      // The edits are dropped: the boxes show the stored item again, so
      // that what is seen is what the document holds.
      ShowItemFields(list_.Shown());
      ShowOther();
      return true;
    default: return false;
  }
}

bool CListEditorDlg::Attach() {
  Item item;
  ItemCheck check = ValidateItem(item);
  if (check.Failed()) {
    ShowMessage(check.Report(), OopsCaption(), Buttons::Ok, this);
    return false;
  }
  ItemOutcome stored;
  if (list_.WouldReplaceJustAttached(item)) {
    // Typing over the item just attached and attaching again would lose it
    // without a word: the teacher says whether it is mended or a new item.
    const std::string n = std::to_string(list_.Current() + 1);
    const std::string next = std::to_string(list_.Current() + 2);
    switch (ShowMessage(FixedText(Fixed::kReplaceOrAddItem, {n, next}), "KIO", Buttons::YesNoCancel, this)) {
      case Answer::Yes: stored = list_.Attach(item); break;
      case Answer::No: stored = list_.AttachAfter(item); break;
      default: return false;
    }
  } else {
    stored = list_.Attach(item);
  }
  if (!ShowOutcome(stored)) return false;
  if (kind_.hasFinal) CurrentSession().completionMessage = FinalText();
  ShowItem();
  SetFocus(FieldBox(0));
  MarkChanged();
  return true;
}

void CListEditorDlg::Insert() {
  if (!ConfirmItemChanges()) return;
  if (!ShowOutcome(list_.Insert())) return;
  ClearFields();
  SetFocus(FieldBox(0));
}

void CListEditorDlg::Back() {
  if (!ConfirmItemChanges()) return;
  list_.Back();
  ShowItem();
}

void CListEditorDlg::Forward() {
  if (!ConfirmItemChanges()) return;
  if (!ShowOutcome(list_.Forward())) return;
  ShowItem();
}

void CListEditorDlg::Copy() { ShowOutcome(list_.Copy()); }

void CListEditorDlg::Cut() {
  if (!ShowOutcome(list_.Cut())) return;
  ShowItem();
  MarkChanged();
}

void CListEditorDlg::Paste() {
  if (!ShowOutcome(list_.Paste())) return;
  ShowItem();
  SetFocus(FieldBox(0));
  MarkChanged();
}

void CListEditorDlg::New() {
  if (!ConfirmItemChanges() || !MayLeaveDocument()) return;
  ClearDocument();
  savedFinal_ = FinalBoxText(CurrentSession().completionMessage);
  unchanged_ = true;
}

void CListEditorDlg::Open() {
  if (!ConfirmItemChanges() || !MayLeaveDocument()) return;
  ClearDocument();
  unchanged_ = true;
  cutOnOpen_ = false;
  OpenDocument();
  if (cutOnOpen_) {
    // The editor no longer holds what the file does: leaving asks to save.
    MarkChanged();
    ReportDocumentCut(this);
  }
}

bool CListEditorDlg::Save() { return SaveDocument(); }

bool CListEditorDlg::SaveAs() {
  // The held file is kept when there is nothing to save.
  if (!ConfirmItemChanges() || !HasItems(Ui::kNothingToSave)) return false;
  return SaveDocumentAs();
}

void CListEditorDlg::Return() {
  if (ConfirmItemChanges()) ReturnFromEditor();
}

void CListEditorDlg::CollectFields() {
  if (kind_.hasFinal) CurrentSession().completionMessage = FinalText();
}

bool CListEditorDlg::FieldsChanged() const {
  // The "Final" box is part of the document: an edit to it alone is asked
  // about too.
  return !unchanged_ || (kind_.hasFinal && FinalText() != savedFinal_);
}

void CListEditorDlg::LoadFields(FieldReader& reader) {
  Session& s = CurrentSession();
  savedFinal_ = FinalBoxText(s.completionMessage);
  for (Item& item : ReadItemList(reader, ItemFormat(), cutOnOpen_)) list_.Load(std::move(item));
}

ItemListFormat CListEditorDlg::ItemFormat() const {
  ItemListFormat format;
  for (size_t i = 0; i < kind_.fields.size(); ++i) {
    format.limits.push_back(kind_.fields[i].limit);
    if (kind_.fields[i].lowerCase) format.names.push_back(i);
  }
  format.capacity = kind_.capacity;
  return format;
}

std::string CListEditorDlg::ReadTextCut(FieldReader& reader, size_t limit) {
  return reader.TextCut(limit, cutOnOpen_);
}

void CListEditorDlg::StoreFields(FieldWriter& writer) { WriteItemList(writer, list_.Items()); }

void CListEditorDlg::KeepFields() {
  unchanged_ = true;
  savedFinal_ = FinalText();
}

void CListEditorDlg::ShowFields() { ShowItem(); }

bool CListEditorDlg::ReadyToSave() {
  if (!ConfirmItemChanges()) return false;
  CollectFields();
  return HasItems(Ui::kNothingToSave);
}

}  // namespace kio
