#include "pages/lexical/make_activities_dlg.h"

#include <string>

#include "fileio/failure.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "questions/reading_activities.h"

namespace kio {

namespace {

DialogTemplate MakeActivitiesLayout() {
  DialogTemplate t;
  t.title = "KIO";
  t.width = 260;
  t.height = 110;
  t.controls = {
      {kMakeExplanation, ControlKind::Label, "", 7, 7, 190, 54},
      {kMakeEveryLabel, ControlKind::Label, "", 7, 68, 150, 9},
      {kMakeEvery, ControlKind::Edit, "4", 160, 66, 30, 12},
      {kMakePairsLabel, ControlKind::Label, "", 7, 88, 150, 9},
      {kMakePairs, ControlKind::Edit, "4", 160, 86, 30, 12},
      {IDOK, ControlKind::Button, "OK", 204, 8, 48, 14, kDefault},
      {IDCANCEL, ControlKind::Button, "Cancel", 204, 26, 48, 14},
  };
  return t;
}

size_t Number(const std::string& text) {
  const size_t a = text.find_first_not_of(' ');
  const size_t b = text.find_last_not_of(' ');
  if (a == std::string::npos || b - a > 2) return 0;
  const std::string digits = text.substr(a, b - a + 1);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stoul(digits);
}

}  // namespace

CMakeActivitiesDlg::CMakeActivitiesDlg() : Dialog(MakeActivitiesLayout()) {}

bool CMakeActivitiesDlg::OnInitDialog() {
  SetTitle(LocalText("Fazer atividades", "Make activities"));
  SetItemText(kMakeExplanation,
              LocalText(Win1252("Faz, ao lado do documento do texto, um Cloze com as palavras do texto que o "
                                "dicionário conhece, um Memory de palavras e traduções, um Multiple choice "
                                "(\"O que significa X aqui?\") e um Sequence das frases do texto."),
                        "Makes, beside the text's document, a Cloze of the text's words the dictionary "
                        "knows, a Memory of words and translations, a Multiple choice (\"What does X mean "
                        "here?\") and a Sequence of the text's sentences."));
  SetItemText(kMakeEveryLabel,
              LocalText("Uma lacuna a cada N palavras (1 a 50):", "One gap every N words (1 to 50):"));
  SetItemText(kMakePairsLabel, LocalText("Pares do Memory (3, 4, 6 ou 8):", "Memory pairs (3, 4, 6 or 8):"));
  SetItemText(IDCANCEL, LocalText("Cancelar", "Cancel"));
  return true;
}

void CMakeActivitiesDlg::OnOK() {
  const size_t every = Number(GetItemText(kMakeEvery));
  const size_t pairs = Number(GetItemText(kMakePairs));
  if (every < 1 || every > 50 || !questions::IsMemoryPairCount(pairs)) {
    ShowMessage(LocalText("N de 1 a 50; pares: 3, 4, 6 ou 8.", "N from 1 to 50; pairs: 3, 4, 6 or 8."),
                OopsCaption(), Buttons::Ok, this);
    return;
  }
  every_ = every;
  pairs_ = pairs;
  EndDialog(IDOK);
}

}  // namespace kio
