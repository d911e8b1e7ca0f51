// The activity editors that keep a list of items, one shown at a time, each
// of six texts (Multiple choice, Dialogical): their layout, their Select
// button, their page written from the template with the items as script
// arrays, and the text steps both data blocks share.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "dialogs/list_editor.h"
#include "documents/list_activity_document.h"
#include "fileio/failure.h"

namespace kio {

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
  std::function<std::string(const std::vector<Item>&, PageBuild&)> buildData;
  // Caption of the message that the page would overwrite an item's file.
  std::string sameNameCaption = OopsCaption();
  // The question-bank kind of the document: Import and Export questions.
  std::optional<questions::DocumentKind> questions;
};

class CListActivityDlg : public CListEditorDlg {
 public:
  explicit CListActivityDlg(const ListActivityKind& kind);

 protected:
  std::optional<std::string> WritePageTo(const PageDestination& destination) override;

 private:
  ListActivityKind activity_;
};

// --- Text steps of the checks and the data blocks ---

// What Select puts into the file field: the chosen file's name, lower-cased,
// when it is a page or a picture (or the teacher takes another kind);
// nothing when refused or kept.
std::optional<std::string> SelectItemFile();
// The name as Select judges it: 0 refused (a document of the program or an
// office file), 1 taken, 2 asked about.
int ItemFileKind(const std::string& lowerName);

}  // namespace kio
