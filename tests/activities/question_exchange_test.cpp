// "Import questions..." and "Export questions..." in the editors, through
// the headless driver: the preview and its problem list, the documents
// written beside the bank (never over a teacher's file without asking), the
// first one opened and generated, and a document out and back in.
#include <gtest/gtest.h>

#include "activities/cloze/cloze_dlg.h"
#include "activities/list_activity_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "editor_session.h"
#include "questions/kio_documents.h"

namespace kio {
namespace {

using test::Control;
using test::EditorSession;
using test::Has;
using test::ReadFile;
using test::WriteFile;

// Two multiple-choice questions, a true/false one and two that no Multiple
// choice item holds (numerical, essay), one with a character that a
// document cannot hold.
const char kBank[] =
    "// Unit 3\n"
    "::Capital::What is the capital of France? {\n"
    "=Paris#Right!\n"
    "~Lyon#No, that is another city.\n"
    "}\n"
    "\n"
    "Which are colours? {~%50%red ~%50%blue ~%-100%dog}\n"
    "\n"
    "The sun rises in the east.{T}\n"
    "\n"
    "When was he born?{#1822:5}\n"
    "\n"
    "Write about him.{}\n"
    "\n"
    "Which is \xe4\xb8\xad? {=this ~that}\n";

TEST(QuestionImport, MultipleChoicePreviewProblemsDocumentAndPage) {
  EditorSession s;
  const std::string bank = (s / "Aula.gift").string();
  WriteFile(bank, kBank);
  std::string t =
      s.Run<CMultipleDlg>("dump\npress 1935\nchoose " + bank + "\ndump\npress 1\ndump\npress 1924\nchoose " +
                          (s / "aula.htm").string() + "\nanswer No\npress 2\n");
  // The buttons are on the editor, labelled in the interface language.
  EXPECT_TRUE(Has(t, "CONTROL 1935 Importa…\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 1936 Exporta…\n")) << t;
  // The bank's chooser lists the three formats.
  EXPECT_TRUE(Has(t, "|*.gift;*.txt;*.xml|GIFT|*.gift|Aiken|*.txt|Moodle XML|*.xml|| | gift\n")) << t;
  // The preview: what was read, by kind, what will be written, and what not.
  EXPECT_TRUE(Has(t, "DIALOG Importar perguntas\n")) << t;
  EXPECT_TRUE(Has(t, "CONTROL 2201 Aula.gift: 6 pergunta(s) lida(s); 3 cabe(m) em Múltipla escolha.\n")) << t;
  EXPECT_TRUE(Has(t,
                  "CONTROL 2202 6 pergunta(s): 3 múltipla escolha, 1 verdadeiro/falso, 1 numérica, 1 "
                  "dissertativa\\r\\nDocumentos que serão gravados:\\r\\n  Aula.mul\\r\\n"))
      << t;
  const std::string problems = Control(t, 2204);
  for (const char* line : {"2: \"Capital\": ", "11: \"When was he born?\": ", "13: \"Write about him.\": ",
                           "15: \"Which is U+4E2D?\": "})
    EXPECT_TRUE(Has(problems, line)) << line << "\n" << problems;
  EXPECT_TRUE(Has(problems, "(não importada)")) << problems;
  EXPECT_TRUE(Has(problems, "(importada; isto não foi mantido)")) << problems;
  EXPECT_TRUE(Has(t, "END Importar perguntas\n")) << t;
  // The document is written beside the bank and open in the editor.
  EXPECT_TRUE(
      Has(t, "MESSAGE KIO | 1 documento(s) gravado(s) ao lado do arquivo de perguntas:\\r\\n  Aula.mul"))
      << t;
  EXPECT_EQ(Control(t, kListDocumentName), "aula.mul");
  EXPECT_EQ(Control(t, kListField + kItemQuestion), "What is the capital of France?");
  EXPECT_EQ(Control(t, kListPosition), "1/3");
  questions::KioDocument document;
  std::string error;
  ASSERT_TRUE(questions::ReadKioDocument((s / "Aula.mul").string(), questions::DocumentKind::kMultiple,
                                         document, error))
      << error;
  ASSERT_EQ(document.items.size(), 3u);
  EXPECT_EQ(document.items[2][questions::kFourth], ">Verdadeiro+Falso");
  // And its page is generated from it.
  EXPECT_TRUE(Has(ReadFile(s / "aula.htm"), "var itens = 3")) << ReadFile(s / "aula.htm");
}

TEST(QuestionImport, AsksBeforeReplacingAndRefusesWhatItCannotRead) {
  EditorSession s;
  const std::string bank = (s / "aula.gift").string();
  WriteFile(bank, kBank);
  WriteFile(s / "aula.mul", "the teacher's own file");
  // No: nothing is written, the teacher's file stays.
  std::string t = s.Run<CMultipleDlg>("press 1935\nchoose " + bank + "\npress 1\nanswer No\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | Estes arquivos já existem e serão substituídos:\\r\\n  aula.mul")) << t;
  EXPECT_EQ(ReadFile(s / "aula.mul"), "the teacher's own file");
  // Cancel in the preview: nothing either.
  t = s.Run<CMultipleDlg>("press 1935\nchoose " + bank + "\npress 2\npress 2\n");
  EXPECT_EQ(ReadFile(s / "aula.mul"), "the teacher's own file");

  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"broken.gift", "Unclosed {=a ~b\n",
       "MESSAGE KIO | Não foi possível ler o arquivo de perguntas.\\r\\nbroken.gift: "},
      {"binary.xml", std::string("\0\1\2<<\xff\xfe", 7),
       "MESSAGE KIO | Não foi possível ler o arquivo de perguntas."},
      {"notes.txt", "Just a line of notes.\n", "MESSAGE KIO | Não sei em que formato está notes.txt."},
  };
  for (const Case& c : cases) {
    WriteFile(s / c.name, c.bytes);
    t = s.Run<CMultipleDlg>("press 1935\nchoose " + (s / c.name).string() + "\npress 2\n");
    EXPECT_TRUE(Has(t, c.message)) << c.name << "\n" << t;
    EXPECT_FALSE(Has(t, "DIALOG Importar perguntas")) << c.name;
  }
  // A Memory editor says in the preview that nothing fits, and OK is not
  // offered (pressing it is a script error, as for a disabled button).
  t = s.Run<CMemoryDlg>("press 1435\nchoose " + bank + "\ndump\npress 2\npress 2\n");
  EXPECT_TRUE(Has(t, "Nenhuma pergunta deste arquivo cabe em Memória: nada será gravado.")) << t;
  EXPECT_FALSE(std::filesystem::exists(s / "aula.mem"));
  t = s.Run<CMemoryDlg>("press 1435\nchoose " + bank + "\npress 1\n");
  EXPECT_TRUE(Has(t, "SCRIPT ERROR")) << t;
}

TEST(QuestionExport, ClozeToMoodleXmlAndBackIsTheSameDocument) {
  EditorSession s;
  const std::string clo = (s / "texto.clo").string();
  std::string t = s.Run<CClozeDlg>(
      "press 1436\n"  // nothing saved yet
      "type 1401 Complete o texto.\n"
      "type 1402 O [gato/felino] dorme no [sofá].\\r\\nÉ tarde.\n"
      "press 1436\nanswer Yes\nchoose " +
      clo + "\nchoose " + (s / "texto.xml").string() + "\npress 2\n");
  EXPECT_TRUE(Has(t, "MESSAGE KIO | Grave o documento antes de exportar")) << t;
  EXPECT_TRUE(
      Has(t, "CHOOSE save | " + (s / "texto.gift").string() + " | GIFT|*.gift|Moodle XML|*.xml|| | gift\n"))
      << t;
  EXPECT_TRUE(Has(t, "MESSAGE KIO | Gravado texto.xml.\n")) << t;
  const std::string saved = ReadFile(s / "texto.clo");
  const std::string xml = ReadFile(s / "texto.xml");
  EXPECT_TRUE(Has(xml, "<question type=\"cloze\">")) << xml;
  EXPECT_TRUE(Has(xml, "sofá")) << xml;  // UTF-8 in the bank

  // Back in: the same name, so the teacher is asked; the document is the
  // one that went out, byte for byte.
  t = s.Run<CClozeDlg>("press 1435\nchoose " + (s / "texto.xml").string() +
                       "\ndump\npress 1\nanswer Yes\ndump\npress 2\n");
  EXPECT_TRUE(Has(t, "CONTROL 2204 Nada: todas as perguntas foram importadas por inteiro.\n")) << t;
  EXPECT_EQ(ReadFile(s / "texto.clo"), saved);
  EXPECT_EQ(Control(t, kActText), "O [gato/felino] dorme no [sofá].\\r\\nÉ tarde.");
  EXPECT_EQ(Control(t, kActDocumentName), "texto.clo");
}

}  // namespace
}  // namespace kio
