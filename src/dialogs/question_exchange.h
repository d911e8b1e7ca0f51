// "Import questions..." and "Export questions..." of the Multiple choice,
// Dialogical, Cloze and Memory editors: the two buttons, the preview of an
// import and the texts they show. The editors only place the buttons and
// name their document's kind (DocumentEditorKind::questions); the work is
// done once, by the document-editor base, through the questions layer.
#pragma once
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "questions/kio_documents.h"
#include "questions/mapping.h"

namespace kio {

// Appends the two buttons at the right end of an editor's formatting row,
// whose top is `y`.
void AddQuestionButtons(std::vector<ControlSpec>& controls, int importId, int exportId, int y);

// Ids of the preview dialog's controls.
enum QuestionPreviewIds {
  kPreviewSummary = 2201,    // label: the file, the questions read and placed
  kPreviewDocuments = 2202,  // read-only box: the documents to be written, by kind of question
  kPreviewProblemsLabel = 2203,
  kPreviewProblems = 2204,  // read-only box: what cannot be imported, and what was not kept
};

// The texts of the preview, in the interface language (Windows-1252).
struct QuestionPreview {
  std::string summary;
  std::string documents;
  std::string problems;
  bool anything = false;  // some question found a place: OK writes the documents
};
QuestionPreview DescribeImport(const std::string& bankName, const questions::QuestionBank& bank,
                               const questions::ImportResult& result, questions::DocumentKind kind,
                               const std::vector<std::string>& names);

// Shows the preview; true when the teacher pressed OK.
bool RunQuestionPreview(const QuestionPreview& preview);

}  // namespace kio
