// kio convert: its exit statuses, the files it writes (and does not), the
// documents named in order, and documents out and back through files.
#include <gtest/gtest.h>

#include <sstream>

#include "documents/multiple_document.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lang/texts.h"
#include "platform/text_encoding.h"
#include "questions/kio_documents.h"
#include "questions/tool/convert_command.h"
#include "render/write_page.h"

namespace kio::questions {
namespace {

namespace fs = std::filesystem;

struct ConvertRun {
  int status;
  std::string out, err;
};

ConvertRun Convert(const std::vector<std::string>& args) {
  CurrentSession().Reset();
  std::ostringstream o, e;
  const int status = RunConvertCommand(args, o, e);
  return {status, o.str(), e.str()};
}

class ConvertTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  test::TempDir dir_;
};

TEST_F(ConvertTest, CommandLinesThatCannotBeUnderstood) {
  test::WriteFile(dir_ / "a.gift", "Q {=a ~b}");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {P("a.gift")},
                                             {P("a.gift"), P("b.mul"), P("c.mul")},
                                             {"--from"},
                                             {"--from", "csv", P("a.gift"), P("b.mul")},
                                             {"--quiet", P("a.gift"), P("b.mul")},
                                             {P("a.gift"), P("b.txt")},
                                             {P("a.gift"), P("a.gift")}}) {
    ConvertRun r = Convert(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(fs::exists(dir_ / "b.mul"));
}

TEST_F(ConvertTest, ExitStatusSaysWhetherEveryQuestionFoundAPlace) {
  test::WriteFile(dir_ / "good.gift", "Q1 {=a ~b}\n\nQ2 {T}\n");
  ConvertRun r = Convert({P("good.gift"), P("good.mul")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Wrote " + P("good.mul") + ".\n2 of 2 questions converted.\n");
  KioDocument doc;
  std::string error;
  ASSERT_TRUE(ReadKioDocument(P("good.mul"), DocumentKind::kMultiple, doc, error)) << error;
  ASSERT_EQ(doc.items.size(), 2u);
  EXPECT_EQ(doc.items[1], (ListItem{"#", "S", "Q2", ">True+False", "#", "#"}));

  test::WriteFile(dir_ / "mixed.gift", "Q1 {=a ~b}\n\nWhen? {#1822}\n\nName it {=x}\n");
  r = Convert({P("mixed.gift"), P("mixed.mul")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.err,
      P("mixed.gift") +
          ":3: \"When?\": no KIO activity holds this kind of question (numerical) (not converted)\n" +
          P("mixed.gift") +
          ":5: \"Name it\": this shortanswer question belongs in a Dialogical document (.gab), not in a "
          "Multiple choice document (not converted)\n");
  EXPECT_TRUE(fs::exists(dir_ / "mixed.mul"));

  r = Convert({P("mixed.gift"), P("none.mem")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("nothing was written"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "none.mem"));

  test::WriteFile(dir_ / "broken.gift", "Q1 {=a ~b\n");
  r = Convert({P("broken.gift"), P("broken.mul")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kio convert: " + P("broken.gift") + ": Line 1: the brace { is never closed with }.\n");
  EXPECT_FALSE(fs::exists(dir_ / "broken.mul"));
}

TEST_F(ConvertTest, FormatsFromFlagExtensionOrContent) {
  const std::string aiken = "Q?\nA. yes\nB. no\nANSWER: A\n";
  test::WriteFile(dir_ / "bank.txt", aiken);
  test::WriteFile(dir_ / "bank.data", aiken);
  EXPECT_EQ(Convert({P("bank.txt"), P("a.mul")}).status, 0);
  EXPECT_EQ(Convert({"--from", "aiken", P("bank.data"), P("b.mul")}).status, 0);
  EXPECT_EQ(Convert({"--from", "AIKEN", P("bank.data"), P("c.mul")}).status, 0);
  EXPECT_EQ(test::ReadFile(dir_ / "a.mul"), test::ReadFile(dir_ / "b.mul"));
  // Read as GIFT, the same file is no question bank.
  ConvertRun r = Convert({"--from", "gift", P("bank.txt"), P("d.mul")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(dir_ / "d.mul"));
}

TEST_F(ConvertTest, ABankBeyondOneDocumentBecomesSeveralNamedInOrder) {
  std::string gift;
  for (int i = 0; i < 210; ++i) gift += "Q" + std::to_string(i) + " {=a ~b}\n\n";
  test::WriteFile(dir_ / "bank.gift", gift);
  ConvertRun r = Convert({P("bank.gift"), P("Bank.mul")});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* name : {"Bank-1.mul", "Bank-2.mul", "Bank-3.mul"})
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  EXPECT_FALSE(fs::exists(dir_ / "Bank.mul"));
  EXPECT_EQ(DocumentNames("x/y.z/bank", 2), (std::vector<std::string>{"x/y.z/bank-1", "x/y.z/bank-2"}));
  EXPECT_EQ(DocumentNames("b.clo", 12)[0], "b-01.clo");
}

TEST_F(ConvertTest, DocumentsGoOutAndComeBackThroughFiles) {
  test::WriteFile(dir_ / "start.gift",
                  "Qual é a \\{capital\\}? {=Brasília#Isso! ~Rio ####Pense.}\n\nIt's {=x ~y}\n");
  ASSERT_EQ(Convert({P("start.gift"), P("start.mul")}).status, 0);
  for (const char* bank : {"out.gift", "out.xml"}) {
    ConvertRun r = Convert({P("start.mul"), P(bank)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote " + P(bank) + " (2 questions).\n");
    ASSERT_EQ(Convert({P(bank), P("back.mul")}).status, 0);
    EXPECT_EQ(test::ReadFile(dir_ / "back.mul"), test::ReadFile(dir_ / "start.mul")) << bank;
  }
  test::WriteFile(dir_ / "damaged.mul", test::ReadFile(dir_ / "start.mul").substr(0, 300));
  ConvertRun r = Convert({P("damaged.mul"), P("damaged.gift")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kio convert: The document " + P("damaged.mul") +
                       " is damaged: it ends before its last field.\n");
  EXPECT_FALSE(fs::exists(dir_ / "damaged.gift"));
}

TEST_F(ConvertTest, TheProgramDispatchesConvert) {
  test::WriteFile(dir_ / "q.gift", "Q {=a ~b}");
  test::RunResult r =
      test::RunCommand(std::string(KIO_PROGRAM_DIR) + "/kio convert " + P("q.gift") + " " + P("q.mul"));
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_TRUE(fs::exists(dir_ / "q.mul"));
}

// A document made by the command line ends its activity with the message a
// new document of the editor has: the one of the program's student
// language, which its page shows.
TEST_F(ConvertTest, DocumentsCarryTheEditorsCompletionMessage) {
  const std::string program = std::string(KIO_PROGRAM_DIR) + "/";
  // The editor's: the student language the start-up loads.
  CurrentSession().Reset();
  std::string language;
  ASSERT_TRUE(ReadTextFile(program + "lingualu.dat", language));
  CurrentSession().appPaths.studentLanguageFile = program + language;
  LoadStudentLanguage();
  const std::string editors = CurrentSession().completionMessage;
  ASSERT_FALSE(editors.empty());

  test::WriteFile(dir_ / "q.gift", "Q {=a ~b}");
  test::RunResult r =
      test::RunCommand(std::string(KIO_PROGRAM_DIR) + "/kio convert " + P("q.gift") + " " + P("q.mul"));
  ASSERT_EQ(r.status, 0) << r.transcript;
  File file;
  ASSERT_TRUE(file.Open(P("q.mul"), File::kRead));
  bool cut = false;
  const ListActivityDocument document = ReadListActivityDocument(file, cut);
  EXPECT_EQ(document.settings.completionMessage, editors);

  CurrentSession().Reset();
  CurrentSession().appPaths.programFolder = program;
  PageBuild build;
  build.settings = document.settings.page;
  const BuiltPage page =
      BuildTemplatePage(ListActivityPage(kMultipleFormat, document, build), "q.htm", build);
  ASSERT_FALSE(page.failure) << page.failure->text;
  EXPECT_NE(page.text.find(editors), std::string::npos);
}

// Without a student language file to read, the tools still write their
// documents, with the message the program ships with.
TEST_F(ConvertTest, TheBuiltInCompletionMessageWhenNoLanguageCanBeRead) {
  const std::string folder = dir_.str() + "/";
  EXPECT_EQ(StudentCompletionMessage(folder), BuiltInCompletionMessage());
  test::WriteFile(dir_ / "lingualu.dat", "missing.stu");
  EXPECT_EQ(StudentCompletionMessage(folder), BuiltInCompletionMessage());
  std::string records;  // records run in order: 34 is the completion message
  for (int k = 0; k < 34; ++k) records += "^-~\r\n";
  test::WriteFile(dir_ / "missing.stu", records + "^Muito bem!~\r\n");
  EXPECT_EQ(StudentCompletionMessage(folder), "Muito bem!");
  EXPECT_EQ(BuiltInCompletionMessage(), Win1252("Parabéns! Você concluiu a atividade."));
}

}  // namespace
}  // namespace kio::questions
