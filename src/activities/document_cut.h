// The notice that a document was opened cut to the limits of its editor's
// boxes.
#pragma once

namespace kio {

class Dialog;

void ReportDocumentCut(Dialog* owner);

}  // namespace kio
