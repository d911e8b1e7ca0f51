#include "activities/list_activity_dlg.h"

#include <algorithm>
#include <filesystem>

#include "dialogs/question_exchange.h"
#include "fileio/document.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/write_page.h"

namespace kio {

namespace {

constexpr int kRight = 162;   // left edge of the item area
constexpr int kColumn = 168;  // width of each of the two columns of boxes
constexpr int kButtonHeight = 14;

int Box(size_t field) { return kListField + static_cast<int>(field); }
int Label(size_t field) { return kListFieldLabel + static_cast<int>(field); }
int HelpButton(size_t field) { return kListFieldHelp + static_cast<int>(field); }

// A marked-up text box with its "?" and a label of up to two lines above
// it.
void AddTextBox(DialogTemplate& t, size_t field, int x, int y, int width) {
  t.controls.push_back({HelpButton(field), ControlKind::Button, "?", x, y, 12, 10});
  t.controls.push_back({Label(field), ControlKind::Label, "", x + 15, y, width - 15, 17});
  t.controls.push_back(
      {Box(field), ControlKind::Edit, "", x, y + 18, width, 60, kMultiLine | kVScroll | kWantReturn});
}

DialogTemplate ListActivityLayout(const ListActivityKind& kind) {
  DialogTemplate t;
  t.title = kind.title;
  t.width = 507;
  t.height = 306;
  t.controls = {
      {kListHelp, ControlKind::RichText, "", 5, 5, 150, 236, kReadOnly | kVScroll},
      {kListDocumentName, ControlKind::Edit, "", 5, 246, 150, 12, kReadOnly},
      // The left-hand column as in the other editors: the document's name,
      // Preview, "What can I do?".
      PreviewButtonSpec(kListPreview),
      {kListWhatCanIDo, ControlKind::Button, "O que posso fazer?", 5, 285, 150, kButtonHeight},
      // The top line: the item's file with Select, the assessed flag, "N.".
      {HelpButton(kItemTextFile), ControlKind::Button, "?", kRight, 3, 12, 10},
      {Label(kItemTextFile), ControlKind::Label, "", kRight + 15, 4, 175, 9},
      {Box(kItemTextFile), ControlKind::Edit, "", kRight, 14, 186, 12},
      {kListSelect, ControlKind::Button, "S&elect", kRight + 190, 13, 50, kButtonHeight},
      {HelpButton(kItemAssessed), ControlKind::Button, "?", kRight + 246, 3, 12, 10},
      {Label(kItemAssessed), ControlKind::Label, "", kRight + 261, 4, 79, 9},
      {Box(kItemAssessed), ControlKind::Edit, "", kRight + 246, 14, 30, 12},
      {kListPositionLabel, ControlKind::Label, "N.", kRight + 282, 16, 12, 9},
      {kListPosition, ControlKind::Edit, "", kRight + 296, 14, 44, 12, kReadOnly},
      // Final message.
      {kListFinalHelp, ControlKind::Button, "?", kRight, 192, 12, 10},
      {kListFinalLabel, ControlKind::Label, "Final", kRight + 15, 193, 200, 9},
      {kListFinal, ControlKind::Edit, "", kRight, 203, 2 * kColumn + 4, 24,
       kMultiLine | kVScroll | kWantReturn},
  };
  // Two columns of boxes, the right one ending with the buttons' row.
  AddTextBox(t, kItemQuestion, kRight, 30, kColumn - 4);
  AddTextBox(t, kItemSixth, kRight + kColumn, 30, kColumn + 4);
  AddTextBox(t, kItemFourth, kRight, 111, kColumn - 4);
  AddTextBox(t, kItemFifth, kRight + kColumn, 111, kColumn + 4);
  // The item buttons, then the document's, then the formatting ones.
  const std::pair<int, const char*> items[] = {
      {kListInsert, "&Insert"}, {kListAttach, "A&ttach"}, {kListBack, "&Back"},  {kListForward, "&Forward"},
      {kListCopy, "Copy"},      {kListCut, "&Cut"},       {kListPaste, "&Paste"}};
  int x = kRight;
  for (auto [id, label] : items) {
    t.controls.push_back({id, ControlKind::Button, label, x, 232, 46, kButtonHeight});
    x += 49;
  }
  const std::tuple<int, const char*, int> files[] = {{kListNew, "&New", 52},
                                                     {kListOpen, "&Open", 52},
                                                     {kListSave, "&Save", 52},
                                                     {kListSaveAs, "Save &As", 52},
                                                     {kListGenerate, "&Generate htm", 72},
                                                     {kListReturn, "&Return", 40}};
  x = kRight;
  for (auto [id, label, width] : files) {
    t.controls.push_back({id, ControlKind::Button, label, x, 251, width, kButtonHeight});
    x += width + 4;
  }
  const std::pair<int, const char*> formats[] = {
      {kListFont, "Font"}, {kListParagraph, "Paragraph"}, {kListAV, "A&V"}, {kListGlobal, "Global"}};
  x = kRight;
  for (auto [id, label] : formats) {
    t.controls.push_back({id, ControlKind::Button, label, x, 270, 52, kButtonHeight});
    x += 56;
  }
  if (kind.questions) AddQuestionButtons(t.controls, kListImportQuestions, kListExportQuestions, 270);
  return t;
}

ListEditorKind ListKindOf(const ListActivityKind& a) {
  ListEditorKind k;
  k.document.extension = a.extension;
  k.document.saveMode = SaveMode::kRecreate;
  k.document.helpPanel = kListHelp;
  k.document.activityName = a.activityName;
  k.document.questions = a.questions;
  k.document.importButton = kListImportQuestions;
  k.document.exportButton = kListExportQuestions;
  k.document.previewButton = kListPreview;
  k.document.openErrorSuffix = UiText(Ui::kDocumentNotOpened);
  k.document.saveErrorRecord = Ui::kDocumentNotSaved;
  const ItemListFormat& items = kListActivityItems;
  const Ui labels[] = {Ui::kLinkedFileLabel, Ui::kAssessedLabel, Ui::kQuestionLabel,
                       Ui::kOptionsLabel,    Ui::kFeedbackLabel, Ui::kWrongHintLabel};
  for (size_t i = 0; i < items.limits.size(); ++i) {
    ItemField f;
    f.limit = items.limits[i];
    f.help = i < a.fieldHelp.size() ? a.fieldHelp[i] : std::string();
    f.labelRecord = labels[i];
    f.lowerCase = std::find(items.names.begin(), items.names.end(), i) != items.names.end();
    k.fields.push_back(f);
  }
  k.capacity = items.capacity;
  k.pasteFields = 5;
  k.tipsHelp = a.tipsHelp;
  k.clipboard = &CurrentSession().Part<ItemClipboard>();
  k.check = a.check;
  k.select = SelectItemFile;
  k.selectField = kItemTextFile;
  return k;
}

}  // namespace

CListActivityDlg::CListActivityDlg(const ListActivityKind& kind)
    : CListEditorDlg(ListActivityLayout(kind), ListKindOf(kind)), activity_(kind) {}

std::optional<std::string> CListActivityDlg::WritePageTo(const PageDestination& destination) {
  if (!ConfirmItemChanges() || !HasItems(Ui::kNothingToGenerate)) return std::nullopt;
  const std::vector<Item>& items = List().Items();
  PageBuild build = SessionPageBuild();
  PageRequest request;
  request.templateName = activity_.templateName;
  request.completionField = FinalText();
  request.data = activity_.buildData(items, build);
  request.itemCount = std::to_string(items.size());
  request.check = [this, &items](const PageTarget& target) {
    // The page must not replace a page or picture that an item refers to.
    for (const Item& item : items)
      if (ToLower(item[kItemTextFile]) == target.fileName) {
        ShowMessage(UiText(Ui::kNameOfLinkedFile), activity_.sameNameCaption, Buttons::Ok, this);
        return false;
      }
    return true;
  };
  request.reportError = [](int cause) { ReportFileError(cause, UiText(Ui::kPageNotGenerated)); };
  auto written = WritePage(request, build, destination);
  ReturnToSession(build);
  CurrentSession().completionMessage = FinalText();
  return written;
}

int ItemFileKind(const std::string& lowerName) {
  const std::string last = lowerName.size() >= 4 ? lowerName.substr(lowerName.size() - 4) : lowerName;
  for (const char* own :
       {".hpb", ".hpl", ".gab", ".mul", ".clo", ".ecl", ".seq", ".mem", ".doc", ".ppt", ".men", ".dex"})
    if (last == own) return 0;
  for (const char* page : {".htm", "html", ".mht", ".jpg", ".gif"})
    if (last == page) return 1;
  return 2;
}

std::optional<std::string> SelectItemFile() {
  Session& s = CurrentSession();
  ChooserRequest request;
  request.save = false;
  request.initialName = s.appPaths.documentsFolder + "*.*";
  request.filter = "*.htm||";
  request.defaultExtension = "htm";
  auto chosen = ChooseFile(request);
  // A cancelled chooser leaves the field as it was.
  if (!chosen) return std::nullopt;
  std::string name = ToLower(std::filesystem::path(*chosen).filename().string());
  switch (ItemFileKind(name)) {
    case 0: ShowMessage(UiText(Ui::kNotForBrowser), OopsCaption()); return std::nullopt;
    case 1: return name;
    default:
      if (ShowMessage(UiText(Ui::kNotPageOrPicture), UiText(Ui::kProgramName), Buttons::YesNo) == Answer::Yes)
        return name;
      return std::nullopt;
  }
}

}  // namespace kio
