// The activity editors that keep a list of items, one shown at a time, each
// of six texts (Multiple choice, Dialogical): their layout, their Select
// button, their page written from the template with the items as script
// arrays, and the text steps both data blocks share.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "dialogs/list_editor.h"

namespace kio {

// The six texts of an item, in the order of the document and the clipboard.
enum ListActivityField : size_t {
  kItemTextFile = 0,  // the page or picture the item refers to
  kItemAssessed = 1,  // "S" or "N"
  kItemQuestion = 2,
  kItemFourth = 3,  // options / answers
  kItemFifth = 4,   // feedback per option / right feedback
  kItemSixth = 5,   // hint / wrong feedback
};

// "Import questions..." and "Export questions..." at the end of the
// formatting row.
constexpr int kListImportQuestions = 1935;
constexpr int kListExportQuestions = 1936;

struct ListActivityKind {
  std::string title;                   // dialog title
  std::string extension;               // document extension without dot
  std::string templateName;            // the page's template
  std::string activityName;            // for the AV dialog
  std::string tipsHelp;                // shown at start and by "O que posso fazer?"
  std::vector<std::string> fieldHelp;  // help of the six fields
  std::function<ItemCheck(Item&, size_t)> check;
  std::function<std::string(const std::vector<Item>&)> buildData;
  // Caption of the message that the page would overwrite an item's file.
  std::string sameNameCaption = "Oops!";
  // The question-bank kind of the document: Import and Export questions.
  std::optional<questions::DocumentKind> questions;
};

// Longest texts of the six fields as the boxes are read: the file name, the
// one-letter flag (read with room for a word such as "sim"), and the four
// marked-up texts.
constexpr size_t kItemFileLimit = 97;
constexpr size_t kItemFlagLimit = 7;
constexpr size_t kItemTextLimit = 2997;
// At most this many '+' separators in a field (21 parts).
constexpr size_t kItemPlusLimit = 20;

class CListActivityDlg : public CListEditorDlg {
 public:
  explicit CListActivityDlg(const ListActivityKind& kind);

 protected:
  void Generate() override;

 private:
  ListActivityKind activity_;
};

// --- Text steps of the checks and the data blocks ---

// Removes leading and trailing blanks and '+'.
std::string TrimBlanksAndPlus(const std::string& text);
// Deletes every span from a '<' to the next '>', wherever its text occurs.
std::string StripTags(std::string text);
size_t CountPlus(const std::string& text);
// The parts between '+' (one part when there is none).
std::vector<std::string> SplitAtPlus(const std::string& text);
// A marked-up text rendered and escaped for a single-quoted script string.
std::string ScriptText(std::string markup);
// A question or hint in the page: " " for "#", otherwise the rendered text
// followed by "<br> <br> <br> ".
std::string SpacedScriptText(const std::string& markup);
// "Name[i] = 'value';" (or without quotes) and CR LF for each item.
std::string ItemSection(const std::vector<Item>& items, const std::string& name,
                        const std::function<std::string(const Item&)>& value, bool quoted = true);
// For each item, "Name[i] = new Array();" and a line "Name[i][k] = 'part';"
// (or without quotes) for each of its parts, each line ending in CR LF; the
// last part's line ends in two when `blankAfterItem`.
std::string ArraySection(const std::vector<Item>& items, const std::string& name,
                         const std::function<std::vector<std::string>(const Item&)>& parts,
                         bool quoted = true, bool blankAfterItem = false, const std::string& itemStart = "");
// The section of the texts the items refer to and of their questions.
std::string FileAndQuestionSections(const std::vector<Item>& items);
// The checks of the first three fields, shared by both editors:
// normalises them and adds records 112 and 113.
void CheckFileFlagAndQuestion(Item& item, size_t current, ItemCheck& check);
// What Select puts into the file field: the chosen file's name, lower-cased,
// when it is a page or a picture (or the teacher takes another kind);
// nothing when refused or kept.
std::optional<std::string> SelectItemFile();
// The name as Select judges it: 0 refused (a document of the program or an
// office file), 1 taken, 2 asked about.
int ItemFileKind(const std::string& lowerName);

}  // namespace kio
