// Writes sample Cloze and Eclipse pages through the real editors and
// generators, for the browser tests: make_sample_pages OUTDIR.
// KIO_RESULTS_ADDRESS, when set, replaces the results address.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "activities/cloze/cloze_dlg.h"
#include "activities/dialogical/dialogical_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "activities/sequence/sequence_dlg.h"
#include "app/startup.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/headless.h"

namespace fs = std::filesystem;
using namespace kio;

namespace {

// Types a text into a field: the script's escapes carry its line breaks.
std::string Type(int id, const std::string& utf8) { return "type " + std::to_string(id) + " " + utf8 + "\n"; }

// Generates the page into `page`, declines to open it and leaves the editor
// without saving.
std::string GenerateInto(const fs::path& page) {
  return "press " + std::to_string(kActGenerate) + "\nchoose " + page.string() +
         "\nanswer No\npress 2\nanswer No\n";
}

// Makes `file`, a ".stu" file of the program folder, the student language.
void UseStudentLanguage(const fs::path& programFolder, const std::string& file) {
  fs::current_path(programFolder);
  test::HeadlessSession quiet;
  CurrentSession().appPaths.studentLanguageFile = file;
  LoadStudentLanguage();
}

bool Generate(Dialog& editor, const std::string& script) {
  // A run that ends the program or runs out of script leaves its mark in the
  // transcript, as does any message or script error.
  std::string transcript = test::RunScripted(script, [&] { editor.DoModal(); });
  for (const char* fault : {"SCRIPT ERROR", "Oops", "(exit", "(script ended)"}) {
    if (transcript.find(fault) != std::string::npos) {
      std::cerr << transcript;
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_sample_pages OUTDIR\n";
    return 2;
  }
  fs::path outdir = fs::absolute(argv[1]);
  fs::create_directories(outdir);
  test::TempDir program;
  test::CopyProgramFolder(program.path());
  if (const char* address = std::getenv("KIO_RESULTS_ADDRESS"))
    test::WriteFile(program / "Configura.txt", address);
  fs::current_path(program.path());
  {
    std::istringstream none;
    std::ostringstream out;
    HeadlessPlatform platform(none, out);
    SetPlatform(&platform);
    StartUp();
    CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
    SetPlatform(nullptr);
  }

  CClozeDlg cloze;
  std::string clozeScript =
      Type(kActInstructions, "Complete the text with the missing words.") +
      Type(kActText,
           "The [cat] sat on the [mat].\\r\\nIt was a [sunny] day, and the cat's friend, the [dog], "
           "was [sleeping]  under the tree. It [didn't] want a [café].") +
      GenerateInto(outdir / "cloze.htm");
  CEclipseDlg eclipse;
  std::string eclipseScript =
      Type(kActInstructions, "Type the words you think are in the text.") +
      Type(kActText, "O gato subiu no telhado.\\r\\nA ação do gato's dia foi <b>rápida</b>!") +
      Type(kActExtra, "o, a") + GenerateInto(outdir / "eclipse.htm");
  bool ok = Generate(cloze, clozeScript) && Generate(eclipse, eclipseScript);

  // A memory game of four pairs, one card a picture and one a sound, and a
  // sequence of five parts with a line break and an apostrophe.
  CMemoryDlg memory;
  std::string memoryScript = Type(kActInstructions, "Find the pairs: a word and its translation.");
  const char* cards[] = {"cat",      "gato",       "dog",
                         "cachorro", "it's sunny", "está ensolarado {a=sol.mp3}",
                         "the  sea", "{i=mar.jpg}"};
  for (int i = 0; i < 8; ++i) memoryScript += Type(kMemCardBase + i, cards[i]);
  ok = ok && Generate(memory, memoryScript + GenerateInto(outdir / "memory.htm"));
  CSequenceDlg sequence;
  ok = ok && Generate(sequence, Type(kActInstructions, "Put the story in order.") +
                                    Type(kActText,
                                         "Once upon a time+there was a boy+who didn't like\\r\\nbooks.+"
                                         "One day he found a map+and the map led him to a library.") +
                                    GenerateInto(outdir / "sequence.htm"));

  // The same pages under settings a teacher may well choose: every frame
  // recoloured and refonted through the Frames dialog, a wide side column
  // and a tall title from markup codes, quotes and apostrophes in the
  // instructions and the completion message.
  std::string frames = "press " + std::to_string(kActGlobal) + "\n";
  const char* colours[] = {"#0B3D2E", "#FFFFFF", "#7A1F1F"};
  const char* fonts[] = {"Times New Roman 20", "Courier New 8", "Comic Sans MS 120"};
  for (int f = 0; f < 3; ++f) {
    int base = 10 * f;
    frames += "press " + std::to_string(1801 + base) + "\ncolour " + colours[f] + "\n";
    frames += "press " + std::to_string(1802 + base) + "\ncolour #FFFF0" + std::to_string(f) + "\n";
    frames += "press " + std::to_string(1803 + base) + "\nfont " + fonts[f] + "\n";
    frames += "press " + std::to_string(1804 + base) + "\nfont " + fonts[f] + "\n";
  }
  frames += "press 1831\ncolour #DDEEFF\npress 1\n";
  const std::string odd =
      Type(kActInstructions, "Leia e \"complete\": <b>n'importe</b>\\r\\nqual {40%.col}{30%.alt}") +
      Type(kActFinal, "Muito bem, it's \"done\"\\r\\n<b>fim</b> \\ ok");
  CClozeDlg oddCloze;
  CEclipseDlg oddEclipse;
  ok = ok &&
       Generate(oddCloze, frames + odd + Type(kActText, "O [gato] d'\"ela\" [subiu]\\r\\nno  [telhado].") +
                              GenerateInto(outdir / "cloze_unusual.htm")) &&
       Generate(oddEclipse, frames + odd + Type(kActText, "O gato d'\"ela\" subiu \\ no telhado.") +
                                GenerateInto(outdir / "eclipse_unusual.htm"));

  // Lessons in Spanish and Portuguese, with their own student languages:
  // accents, inverted marks, curly quotes and a character typed as a
  // numeric reference. The Spanish cloze has eleven gaps.
  UseStudentLanguage(program.path(), "espanol.stu");
  CClozeDlg spanishCloze;
  CEclipseDlg spanishEclipse;
  ok = ok &&
       Generate(spanishCloze,
                Type(kActInstructions, "Escribe las palabras que faltan. ¡Atención a los acentos!") +
                    Type(kActText,
                         "¡Qué día! El [niño] come [pan] con [jamón]. Su [mamá] está en la [cocina] y "
                         "[canta] una [canción].\\r\\nMañana [irán] al [río] con su [pequeña] [vecina].") +
                    GenerateInto(outdir / "cloze_es.htm")) &&
       Generate(spanishEclipse, Type(kActInstructions, "¿Qué palabras hay en el texto?") +
                                    Type(kActText, "El niño ve el río. ¿Dónde está la canción?") +
                                    Type(kActExtra, "el, la") + GenerateInto(outdir / "eclipse_es.htm"));
  UseStudentLanguage(program.path(), "portugues.stu");
  CClozeDlg portugueseCloze;
  CEclipseDlg portugueseEclipse;
  ok = ok &&
       Generate(portugueseCloze,
                Type(kActInstructions,
                     "Complete com as palavras que faltam: “atenção” às vírgulas – e ao &#8594;.") +
                    Type(kActText,
                         "O [João] não [sabia] que a [lição] era “[difícil]”. Ele [disse]: "
                         "“Um copo [d’água], por favor &#8594; já!”") +
                    GenerateInto(outdir / "cloze_pt.htm")) &&
       Generate(portugueseEclipse, Type(kActInstructions, "Descubra as palavras do texto.") +
                                       Type(kActText, "A ação do João foi “rápida” &#8594; ótima.") +
                                       Type(kActExtra, "a, do") + GenerateInto(outdir / "eclipse_pt.htm"));

  // What the kit offers a Cloze text: alternatives between the brackets and
  // accents that the teacher lets pass.
  UseStudentLanguage(program.path(), "english.stu");
  CClozeDlg options;
  ok = ok &&
       Generate(options, Type(kActText,
                              "<!-- ignore accents -->I [don't/do not] like [café]. We [are not/aren't] "
                              "sure about the [naïve] [résumé].\\r\\n{i=Foto_da-praia.jpg} {a=musica.mp3}") +
                             GenerateInto(outdir / "cloze_options.htm"));

  // Arabic, which Windows-1252 cannot hold, arrives as the numeric
  // references that the desktop writes for it.
  CClozeDlg arabic;
  ok =
      ok && Generate(arabic, Type(kActText,
                                  "&#1571;&#1581;&#1576; [&#1575;&#1604;&#1602;&#1585;&#1575;&#1569;&#1577;] "
                                  "&#1603;&#1579;&#1610;&#1585;&#1575;.") +
                                 GenerateInto(outdir / "cloze_ar.htm"));

  // The list activities: a Multiple choice page (one right option, several
  // right options, a question with its reading page, one not assessed) and
  // a Dialogical page (accents and apostrophes in the answers).
  auto item = [](const std::vector<std::string>& texts) {
    std::string script;
    for (size_t i = 0; i < texts.size(); ++i) script += Type(kListField + static_cast<int>(i), texts[i]);
    return script + "press " + std::to_string(kListAttach) + "\npress " + std::to_string(kListForward) + "\n";
  };
  auto generateList = [](const fs::path& page) {
    return "press " + std::to_string(kListGenerate) + "\nchoose " + page.string() +
           "\nanswer No\npress 2\nanswer No\n";
  };
  CMultipleDlg multiple;
  CDialogicalDlg dialogical;
  ok = ok &&
       Generate(multiple,
                item({"#", "S", "Which animal says <i>meow</i>?", "The dog+>The cat+The cow",
                      "Dogs bark.+Yes: cats meow.+Cows moo.", "Think of a small pet."}) +
                    item({"cloze.htm", "S", "Read the text. Which words are in it?", ">cat+>mat+horse",
                          "Yes, the cat.+Yes, the mat.+No horse there.", "Two words are right."}) +
                    item({"#", "N", "Do you like cats?", ">Yes+No", "Good!+What a pity.", "#"}) +
                    Type(kListFinal, "Well done: all answered!") + generateList(outdir / "multi.htm")) &&
       Generate(dialogical, item({"#", "S", "What is the capital of France?", "Paris", "Yes: Paris.",
                                  "It is on the Seine.+Think of the Eiffel Tower."}) +
                                item({"#", "S", "Como se diz <i>water</i>?", "água+d'água",
                                      "Certo: água.+Certo: d'água.", "Não.+Quase."}) +
                                item({"#", "N", "Say hello.", "#", "Hello to you!", "#"}) +
                                Type(kListFinal, "Great: the dialogue is over.") +
                                generateList(outdir / "dial.htm"));
  return ok ? 0 : 1;
}
