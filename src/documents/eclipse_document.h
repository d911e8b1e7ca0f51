// The Eclipse document (".ecl") and its page data: a text the student
// uncovers word by word, and the given words shown from the start.
#pragma once
#include <string>
#include <vector>

#include "documents/text_activity_document.h"
#include "fileio/failure.h"
#include "render/page_build.h"
#include "render/write_page.h"

namespace kio {

extern const TextActivityFormat kEclipseFormat;

using EclipseDocument = TextActivityDocument;

// Most entries the page's token and given-word arrays hold.
constexpr int kEclipseMaxEntries = 5000;

struct EclipseData {
  std::string tokens;  // palavras[i]='token'; lines
  std::string given;   // PalavrasDadas[j]='word'; lines
  bool textCut = false, givenCut = false;
  // The "Limite" notices of a cut list, for the editor to show.
  std::vector<Failure> notices;
};

// The page data of an Eclipse text: the rendered text cut into tokens and the
// given words (the text's own markup first, then "br", then the teacher's).
// `limitCaption` is the caption of the notices (UiText record 1).
EclipseData BuildEclipseData(const std::string& text, const std::string& givenWords, PageBuild& build,
                             const std::string& limitCaption = "KIO");

// What the document's page is made of; the notices of a cut list are added
// to `notices`.
PageContent EclipsePage(const EclipseDocument& document, PageBuild& build,
                        std::vector<Failure>* notices = nullptr);

}  // namespace kio
