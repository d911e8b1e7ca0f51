#include "activities/document_cut.h"

#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

void ReportDocumentCut(Dialog* owner) {
  ShowMessage(
      LocalText(Win1252("Este documento tem mais texto do que o editor aceita: foi aberto cortado.\r\n"
                        "Salvá-lo agora guarda só o que o editor mostra."),
                "This document holds more than the editor takes: it was opened cut.\r\n"
                "Saving it now keeps only what the editor shows."),
      "Oops!", Buttons::Ok, owner);
}

}  // namespace kio
