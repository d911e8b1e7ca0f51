// Question banks into KIO's activity documents, and documents out to a
// question-bank format, so that a document sent out and read back in is
// the same document, byte for byte.
#pragma once
#include <string>
#include <vector>

#include "questions/kio_documents.h"
#include "questions/question.h"
#include "questions/question_format.h"

namespace kio::questions {

// Something an import met. `dropped`: the question found no place in the
// documents; otherwise it was placed and only what is named was not kept.
struct ImportProblem {
  size_t line = 0;       // where the question begins in its file; 0 for the bank
  std::string question;  // the question's name or the beginning of its text (UTF-8)
  std::string message;   // UTF-8
  bool dropped = false;
};

struct ImportResult {
  std::vector<KioDocument> documents;  // in order; several when one would overrun its limits
  std::vector<ImportProblem> problems;
  size_t questions = 0;  // questions read
  size_t placed = 0;     // questions that found a place
};

struct ImportOptions {
  // The texts a true/false question's two options take.
  std::string trueText = "True";
  std::string falseText = "False";
  // Every question's texts into one document, whatever its limits (used
  // to see what a format gives back of a document sent out).
  bool oneDocument = false;
};

// Maps every question of the bank that an activity of `kind` can hold into
// documents of that kind; lists every other question, and what of a placed
// question was not kept.
ImportResult ImportQuestions(const QuestionBank& bank, DocumentKind kind, const ImportOptions& options = {});

// Writes a document in `format`. The document's page settings, and every
// text the format would give back otherwise, travel in comments that the
// format ignores ("kio:" comments), so that reading the bytes back with
// ImportQuestions gives the same document. False with `error` set.
bool ExportDocument(const KioDocument& document, QuestionFormat& format, std::string& bytes,
                    std::string& error);

// A text as a document holds it (Windows-1252, CR LF line breaks) from
// UTF-8; false when it holds a character Windows-1252 cannot hold, named
// in `bad` ("U+4E2D 中").
bool ToDocumentText(const std::string& utf8, std::string& out, std::string& bad);

}  // namespace kio::questions
