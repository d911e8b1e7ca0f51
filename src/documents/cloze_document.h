// The Cloze document (".clo") and its page data: a text whose words between
// square brackets are the gaps the student fills.
#pragma once
#include <string>

#include "documents/text_activity_document.h"
#include "render/page_build.h"
#include "render/write_page.h"

namespace kio {

extern const TextActivityFormat kClozeFormat;

using ClozeDocument = TextActivityDocument;

// The page data of a Cloze text: the segments as palavras[i]='...'; and,
// after them, the gaps as PalavrasDadas[k]=i; . Gaps are marked with square
// brackets. Empty when the rendering reached a work limit (`build` tells).
std::string BuildClozeData(const std::string& text, PageBuild& build);

// What the document's page is made of.
PageContent ClozePage(const ClozeDocument& document, PageBuild& build);

}  // namespace kio
