#include "activities/document_cut.h"

#include "lang/fixed_texts.h"
#include "platform/platform.h"

namespace kio {

// The same notice as the list editors': one text for every editor.
void ReportDocumentCut(Dialog* owner) {
  ShowMessage(FixedText(Fixed::kDocumentOpenedCut), "KIO", Buttons::Ok, owner);
}

}  // namespace kio
