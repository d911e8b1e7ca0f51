// The Output editor, in which the teacher writes a student language file.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/output_dlg.h"
#include "app/startup.h"
#include "fileio/document.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/text_encoding.h"
#include "program_folder.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Control;
using test::Has;
using test::OopsMessage;
using test::ReadFile;
using test::Shown;
using test::W;
using test::WriteFile;

// Entry, its current-text box, its edit box.
struct Pair {
  int entry, current, edit;
};
const Pair kPairs[30] = {
    {5, 1303, 1304},  {6, 1306, 1305},  {7, 1308, 1307},  {8, 1310, 1309},  {9, 1312, 1311},
    {10, 1314, 1313}, {11, 1316, 1315}, {12, 1318, 1317}, {13, 1321, 1319}, {14, 1320, 1322},
    {15, 1332, 1333}, {16, 1334, 1335}, {17, 1336, 1337}, {18, 1338, 1339}, {19, 1340, 1341},
    {20, 1344, 1345}, {21, 1346, 1347}, {22, 1348, 1349}, {23, 1351, 1350}, {24, 1352, 1353},
    {25, 1354, 1355}, {26, 1356, 1357}, {27, 1358, 1359}, {28, 1360, 1361}, {29, 1362, 1363},
    {30, 1364, 1365}, {31, 1366, 1367}, {32, 1368, 1369}, {33, 1370, 1371}, {34, 1373, 1372},
};

size_t Count(const std::string& transcript, const std::string& part) {
  size_t n = 0;
  for (size_t p = transcript.find(part); p != std::string::npos; p = transcript.find(part, p + 1)) ++n;
  return n;
}

// Runs the Output editor in-process, in a fresh copy of the program folder
// with the Portuguese languages loaded; a second folder takes the teacher's
// files.
class OutputSession {
 public:
  explicit OutputSession(const std::string& languageFile = "portugues.lin") : in_(folder_.path()) {
    if (languageFile != "portugues.lin") WriteFile(folder_ / "language.dat", languageFile);
    CurrentSession().Reset();
    test::HeadlessSession quiet;
    StartUp();
    CurrentSession().appPaths.programFolder = CurrentSession().appPaths.startFolder;
    CurrentSession().documentFile.Close();
  }

  // The working folder is the program folder again afterwards.
  std::string Run(const std::string& script) {
    std::string transcript = test::RunScripted(script, [] {
      COutputDlg editor;
      editor.DoModal();
    });
    fs::current_path(folder_.path());
    return transcript;
  }

  const test::ProgramFolder& folder() const { return folder_; }
  fs::path operator/(const std::string& name) const { return work_ / name; }

 private:
  test::ProgramFolder folder_;
  test::TempDir work_;
  test::InFolder in_;
};

std::string TypeAll(const std::string (&texts)[30]) {
  std::string script;
  for (int i = 0; i < 30; ++i) script += "type " + std::to_string(kPairs[i].edit) + " " + texts[i] + "\n";
  return script;
}

TEST(OutputEditor, StartsWithTheCurrentStudentTextsAndEmptyEditBoxes) {
  struct Case {
    const char* language;
    const char *open, *save, *cancel, *help;
  } cases[] = {
      {"portugues.lin", "&Abrir", "&Salvar", "Vol&tar", "{\\\\rtf1 instru_por/output_intro.rtf}"},
      {"english.lin", "&Open", "&Save", "&Return", "{\\\\rtf1 instru_eng/output_intro.rtf}"},
  };
  for (const auto& c : cases) {
    OutputSession s(c.language);
    // The student texts come from the student language, not the interface one.
    StudentText(9) = W("Fim ção");
    std::string t = s.Run("dump\npress 2\n");
    EXPECT_TRUE(Has(t, "DIALOG Output\n")) << t;
    EXPECT_EQ(Control(t, 1381), c.open);
    EXPECT_EQ(Control(t, 1382), c.save);
    EXPECT_EQ(Control(t, 2), c.cancel);
    EXPECT_EQ(Control(t, 1380), c.help);
    EXPECT_EQ(Control(t, 1312), "Fim ção");
    for (const Pair& p : kPairs) {
      EXPECT_EQ(Control(t, p.current), Shown(StudentText(p.entry))) << p.entry;
      EXPECT_FALSE(StudentText(p.entry).empty()) << p.entry;
      EXPECT_EQ(Control(t, p.edit), "") << p.entry;
    }
    // Nothing typed: leaving asks nothing.
    EXPECT_TRUE(Has(t, "END Output\n")) << t;
    EXPECT_FALSE(Has(t, "MESSAGE")) << t;
  }
}

TEST(OutputEditor, FourEditBoxesTakeLineBreaksAndTheCurrentTextsReadOnly) {
  COutputDlg editor;
  EXPECT_EQ(editor.Layout().resourceId, 178);
  EXPECT_EQ(editor.Layout().title, "Output");
  const int width = editor.Layout().width, height = editor.Layout().height;
  EXPECT_EQ(width, 507);
  for (const Pair& p : kPairs) {
    bool multi = p.entry == 13 || p.entry == 14 || p.entry == 23 || p.entry == 34;
    ASSERT_NE(editor.Spec(p.edit), nullptr) << p.entry;
    ASSERT_NE(editor.Spec(p.current), nullptr) << p.entry;
    EXPECT_EQ((editor.Spec(p.edit)->flags & kWantReturn) != 0, multi) << p.entry;
    EXPECT_EQ(editor.Spec(p.edit)->flags & kReadOnly, 0u) << p.entry;
    EXPECT_NE(editor.Spec(p.current)->flags & kReadOnly, 0u) << p.entry;
  }
  // Every control lies inside the dialog and no two overlap.
  const auto& controls = editor.Layout().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& a = controls[i];
    EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= width && a.y + a.height <= height) << a.id;
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const ControlSpec& b = controls[j];
      bool apart =
          a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
      EXPECT_TRUE(apart) << a.id << " overlaps " << b.id;
    }
  }
}

// The lines of `text` wrapped at word boundaries into lines of `columns`
// characters.
int WrappedLines(const std::string& text, int columns) {
  int lines = 1, used = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    int word = static_cast<int>(end - at);
    if (used > 0 && used + 1 + word > columns) {
      ++lines;
      used = 0;
    }
    used += (used > 0 ? 1 : 0) + word;
    while (used > columns) {
      ++lines;
      used -= columns;
    }
    at = end + 1;
  }
  return lines;
}

// The current texts of the shipped student languages are read whole, not
// cut at the box's edge ("Clique em Avança para c"): a one-line text fits
// the lines its box shows (a character is 4 dialog units wide, a line 8
// high, at the most), a text of the multi-line rows scrolls.
TEST(OutputEditor, TheCurrentTextsOfTheShippedLanguagesAreShownWhole) {
  COutputDlg editor;
  for (const char* file : {"portugues.stu", "english.stu", "espanol.stu"}) {
    const std::vector<std::string> texts = StudentTextsOf(ReadFile(fs::path(KIO_PROGRAM_DIR) / file));
    for (const Pair& p : kPairs) {
      const ControlSpec* box = editor.Spec(p.current);
      ASSERT_NE(box, nullptr);
      const std::string& text = texts[p.entry - kFirstStudentEntry];
      const bool wraps = (box->flags & kMultiLine) != 0;
      const int lines = wraps ? (box->height - 2) / 8 : 1;
      const bool fits = WrappedLines(text, (box->width - 4) / 4) <= lines;
      EXPECT_TRUE(fits || (wraps && (box->flags & kVScroll))) << file << " entry " << p.entry << ": " << text;
      if (p.entry != 13 && p.entry != 14 && p.entry != 23 && p.entry != 34)
        EXPECT_TRUE(fits) << file << " " << text;
    }
  }
}

// Thirty texts with an accented letter, a two-line text in a multi-line box
// and a text longer than an edit box takes.
const std::string kTyped[30] = {
    "Desempenho",
    "Arquivo",
    "Tipo",
    "Clique em Avança para continuar.",
    "Fim",
    "Perguntas:",
    "Escreva menos.",
    "RESPOSTA(S):",
    "Complete o texto.\\r\\nBoa sorte!",
    "Encontre os pares.",
    "Pronto",
    "Erradas",
    "Certas",
    "Data",
    "Hora",
    "Detalhes",
    "Pergunta nº",
    "Livre",
    "Ordene os trechos.",
    "Pontuação",
    "Segmentos",
    "Enviar",
    "Tentativas",
    "Acertos",
    "Enviar resultado",
    "se estiver conectado",
    "Imprimir",
    "Nome",
    "Palavras:",
    std::string(600, 'x'),
};

TEST(OutputEditor, SaveWritesTheStudentLanguageLayout) {
  OutputSession s;
  std::string before5 = StudentText(5);
  std::string path = (s / "Minha.STU").string();
  std::string t = s.Run(TypeAll(kTyped) + "press 1382\nchoose " + path + "\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE save | " + CurrentSession().appPaths.programFolder + "*.stu | *.stu|| | stu\n"))
      << t;
  // Saved: leaving asks nothing.
  EXPECT_FALSE(Has(t, "MESSAGE")) << t;
  EXPECT_TRUE(Has(t, "END Output\n")) << t;

  // The file has exactly the chosen name; the document's name is
  // lower-cased.
  ASSERT_TRUE(fs::exists(s / "Minha.STU"));
  EXPECT_FALSE(fs::exists(s / "minha.stu"));
  EXPECT_EQ(CurrentSession().documentName, "minha.stu");
  std::string expected = W("P_000^---~\r\nP_001^---~\r\nP_002^---~\r\nP_003^---~\r\nP_004^---~\r\n"
                           "\r\nP_005^Desempenho~"
                           "\r\nP_006^Arquivo~"
                           "\r\nP_007^Tipo~"
                           "\r\nP_008^Clique em Avança para continuar.~"
                           "\r\nP_009^Fim~"
                           "\r\nP_0010^Perguntas:~"
                           "\r\nP_0011^Escreva menos.~"
                           "\r\nP_0012^RESPOSTA(S):~"
                           "\r\nP_0013^Complete o texto.\r\nBoa sorte!~"
                           "\r\nP_0014^Encontre os pares.~"
                           "\r\nP_0015^Pronto~"
                           "\r\nP_0016^Erradas~"
                           "\r\nP_0017^Certas~"
                           "\r\nP_0018^Data~"
                           "\r\nP_0019^Hora~"
                           "\r\nP_0020^Detalhes~"
                           "\r\nP_0021^Pergunta nº~"
                           "\r\nP_0022^Livre~"
                           "\r\nP_0023^Ordene os trechos.~"
                           "\r\nP_0024^Pontuação~"
                           "\r\nP_0025^Segmentos~"
                           "\r\nP_0026^Enviar~"
                           "\r\nP_0027^Tentativas~"
                           "\r\nP_0028^Acertos~"
                           "\r\nP_0029^Enviar resultado~"
                           "\r\nP_0030^se estiver conectado~"
                           "\r\nP_0031^Imprimir~"
                           "\r\nP_0032^Nome~"
                           "\r\nP_0033^Palavras:~"
                           "\r\nP_0034^") +
                         std::string(597, 'x') + "~";
  EXPECT_EQ(ReadFile(s / "Minha.STU"), expected);

  // Saving changes neither the current student texts nor the configuration.
  EXPECT_EQ(StudentText(5), before5);
  EXPECT_EQ(CurrentSession().appPaths.studentLanguageFile, "portugues.stu");
  EXPECT_EQ(ReadFile(s.folder() / "lingualu.dat"), "portugues.stu");
  EXPECT_EQ(CurrentSession().appPaths.documentsFolder, CurrentSession().appPaths.startFolder);

  // The loader reads the file back into entries 5 to 34.
  fs::current_path(s / "");
  CurrentSession().appPaths.studentLanguageFile = "minha.stu";
  test::HeadlessSession quiet;
  LoadStudentLanguage();
  EXPECT_EQ(quiet.transcript(), "");
  for (int i = 0; i < 29; ++i) EXPECT_EQ(StudentText(i + 5), W(UnescapeLine(kTyped[i]))) << i + 5;
  EXPECT_EQ(StudentText(34), std::string(597, 'x'));
}

TEST(OutputEditor, SaveNeedsAllThirtyTexts) {
  std::string some[30];
  some[0] = "Desempenho";
  std::string allButLast[30];
  for (int i = 0; i < 29; ++i) allButLast[i] = "t" + std::to_string(i);
  struct Case {
    std::string script;
    int record;
  } cases[] = {
      {"", 31},
      {TypeAll(some), 37},
      {TypeAll(allButLast), 37},
  };
  for (const auto& c : cases) {
    OutputSession s;
    std::string t = s.Run(c.script + "press 1382\ndump\npress 2\nanswer No\n");
    EXPECT_TRUE(Has(t, OopsMessage(CurrentSession().UiText[c.record]) + "CONTROL")) << t;
    EXPECT_FALSE(Has(t, "CHOOSE")) << t;
    EXPECT_TRUE(Has(t, "END Output\n")) << t;
  }
}

// The file keeps each text between "^" and "~": a text holding either would
// come back cut or shift the others, so Save refuses it and writes nothing.
TEST(OutputEditor, SaveRefusesTheSignsTheFileCannotHold) {
  for (const char* sign : {"~", "^"}) {
    std::string texts[30];
    for (int i = 0; i < 30; ++i) texts[i] = "t" + std::to_string(i);
    texts[3] = std::string("Score ") + sign + " points";
    OutputSession s;
    std::string t = s.Run(TypeAll(texts) + "press 1382\npress 2\nanswer No\n");
    EXPECT_TRUE(Has(t, "MESSAGE Oops! | Os textos n")) << t;
    EXPECT_TRUE(Has(t, "\"~\" e \"^\"")) << t;
    EXPECT_FALSE(Has(t, "CHOOSE")) << t;
  }
}

TEST(OutputEditor, ACancelledSaveChooserWritesNothingAndLeavingStillAsks) {
  OutputSession s;
  std::string texts[30];
  for (int i = 0; i < 30; ++i) texts[i] = "t" + std::to_string(i + 5);
  std::string t = s.Run(TypeAll(texts) + "press 1382\nchoose cancel\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "CHOOSE save")) << t;
  EXPECT_EQ(Count(t, "MESSAGE KIO | " + Shown(CurrentSession().UiText[73])), 1u) << t;
  EXPECT_TRUE(Has(t, "END Output\n")) << t;
}

// A student language file whose record r is "texto r", with a record beyond
// entry 34 that the editor leaves out.
std::string SampleFile() {
  std::string file = "P_000^---~\r\nP_001^---~\r\nP_002^---~\r\nP_003^---~\r\nP_004^---~\r\n";
  for (int r = 5; r <= 35; ++r) file += "\r\nP_00" + std::to_string(r) + "^texto " + std::to_string(r) + "~";
  return file;
}

TEST(OutputEditor, OpenShowsTheFileAndLeavingAsksOnlyAfterAnEdit) {
  OutputSession s;
  WriteFile(s / "Frances.STU", SampleFile());
  std::string before5 = StudentText(5);
  std::string open = "press 1381\nchoose " + (s / "Frances.STU").string() + "\n";
  std::string t = s.Run(open + "dump\npress 2\n");
  EXPECT_TRUE(Has(t, "CHOOSE open | " + CurrentSession().appPaths.programFolder + "*.stu | *.stu|| | stu\n"))
      << t;
  for (const Pair& p : kPairs) {
    EXPECT_EQ(Control(t, p.edit), "texto " + std::to_string(p.entry)) << p.entry;
    EXPECT_EQ(Control(t, p.current), Shown(StudentText(p.entry))) << p.entry;
  }
  EXPECT_FALSE(Has(t, "MESSAGE")) << t;
  EXPECT_TRUE(Has(t, "END Output\n")) << t;
  // Open names the file as the student language but loads nothing into the
  // student texts and leaves the configuration alone.
  EXPECT_EQ(CurrentSession().appPaths.studentLanguageFile, "frances.stu");
  EXPECT_EQ(StudentText(5), before5);
  EXPECT_EQ(ReadFile(s.folder() / "lingualu.dat"), "portugues.stu");

  std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  // Cancel keeps the editor with its texts; No then closes it.
  t = s.Run(open + "type 1304 Resultado\npress 2\nanswer Cancel\ndump\nescape\nanswer No\n");
  EXPECT_TRUE(Has(t, question + "CONTROL")) << t;
  EXPECT_EQ(Control(t, 1304), "Resultado");
  EXPECT_TRUE(Has(t, question + "END Output\n")) << t;

  // Yes, then a cancelled save chooser: the editor closes without saving.
  auto listing = [&] {
    std::string names;
    for (const auto& e : fs::directory_iterator(s / "")) names += e.path().filename().string() + " ";
    return names;
  };
  std::string filesBefore = listing();
  t = s.Run(open + "type 1372 Fim!\npress 2\nanswer Yes\nchoose cancel\n");
  EXPECT_TRUE(Has(t, question + "CHOOSE save | " + CurrentSession().appPaths.programFolder +
                         "*.stu | *.stu|| | stu\nEND Output\n"))
      << t;
  EXPECT_EQ(listing(), filesBefore);
  EXPECT_EQ(ReadFile(s / "Frances.STU"), SampleFile());

  // Yes with an edited complete set saves through the chooser, then closes.
  t = s.Run(open + "type 1372 Fim!\npress 2\nanswer Yes\nchoose " + (s / "novo.stu").string() + "\n");
  EXPECT_TRUE(Has(t, "END Output\n")) << t;
  std::string saved = ReadFile(s / "novo.stu");
  std::string tail = "\r\nP_0033^texto 33~\r\nP_0034^Fim!~";
  ASSERT_GE(saved.size(), tail.size());
  EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail) << saved;
}

TEST(OutputEditor, OpenOffersToSaveTypedTextsFirst) {
  OutputSession s;
  WriteFile(s / "frances.stu", SampleFile());
  std::string question = "MESSAGE KIO | " + Shown(CurrentSession().UiText[73]) + "\n";
  // Cancel keeps the typed text and shows no chooser.
  std::string t = s.Run("type 1304 Meu texto\npress 1381\nanswer Cancel\ndump\npress 2\nanswer No\n");
  EXPECT_FALSE(Has(t, "CHOOSE open")) << t;
  EXPECT_EQ(Control(t, 1304), "Meu texto");
  // Yes with an incomplete set: Save refuses it, and Open stops there.
  t = s.Run("type 1304 Meu texto\npress 1381\nanswer Yes\ndump\npress 2\nanswer No\n");
  EXPECT_TRUE(Has(t, question + OopsMessage(CurrentSession().UiText[37]) + "CONTROL")) << t;
  EXPECT_EQ(Control(t, 1304), "Meu texto");
  // No opens the file over the typed text.
  t = s.Run("type 1304 Meu texto\npress 1381\nanswer No\nchoose " + (s / "frances.stu").string() +
            "\ndump\npress 2\n");
  EXPECT_EQ(Control(t, 1304), "texto 5");
  EXPECT_TRUE(Has(t, "END Output\n")) << t;
}

TEST(OutputEditor, AFileOpenCannotUseKeepsTheEditorAndItsTexts) {
  OutputSession s;
  WriteFile(s / "curto.stu", "^");
  WriteFile(s / "vazio.stu", "");
  struct Case {
    std::string chosen;
    bool message;
  } cases[] = {
      {(s / "curto.stu").string(), true},
      {(s / "vazio.stu").string(), true},
      {(s / "ausente.stu").string(), true},
      {(s / "*.stu").string(), false},  // what a cancelled chooser gives
  };
  for (const auto& c : cases) {
    std::string t = s.Run("type 1304 Meu texto\npress 1381\nanswer No\nchoose " + c.chosen +
                          "\ndump\npress 2\nanswer No\n");
    EXPECT_EQ(Has(t, "MESSAGE Oops! | Língua de saída não encontrada.\n"), c.message) << t;
    EXPECT_EQ(Control(t, 1304), "Meu texto") << t;
    EXPECT_TRUE(Has(t, "END Output\n")) << t;
    EXPECT_FALSE(Has(t, "(exit")) << t;
    EXPECT_EQ(CurrentSession().appPaths.studentLanguageFile, "portugues.stu");
  }
}

TEST(OutputEditor, HomeScreenCreateOutputRunsIt) {
  test::ProgramFolder folder;
  auto run = test::RunKio(folder.str(), "press 1301\ntype 1304 x\nescape\nanswer No\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "DIALOG KIO\nDIALOG Output\nMESSAGE KIO | ")) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "END Output\nMESSAGE KIO | Deseja mesmo sair do KIO?\nEND KIO\n"))
      << run.transcript;
}

TEST(OutputEditor, CreateOutputDoesNothingOnReadOnlyMedia) {
  if (!test::CanDropPrivileges()) GTEST_SKIP() << "needs root to act as another user";
  test::ProgramFolder folder;
  fs::permissions(folder / "Configura.txt",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto run = test::RunKio(folder.str(), "press 1301\npress 2\nanswer Yes\n", test::kNobodyUid);
  EXPECT_EQ(run.status, 0) << run.transcript;
  // After the start-up notice about read-only media, the button shows nothing.
  EXPECT_TRUE(Has(run.transcript, "\nDIALOG KIO\nMESSAGE KIO | Deseja mesmo sair do KIO?\nEND KIO\nEXIT 0\n"))
      << run.transcript;
}

}  // namespace
}  // namespace kio
