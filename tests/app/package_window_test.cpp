// The home screen's Package window driven through the real program: the
// start page, the pass mark, the question about links that cannot travel,
// the package file and the result.
#include <gtest/gtest.h>

#include <filesystem>

#include "course_fixture.h"  // tests/package
#include "kio_test.h"
#include "program_folder.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::Has;
using test::ProgramFolder;
using test::RunKio;
using test::TempDir;

TEST(PackageWindow, AsksAboutTheLinksThatCannotTravelThenMakesThePackage) {
  ProgramFolder folder;
  TempDir dir;
  test::WriteCourse(dir.path());
  std::string start = (dir / "Unidade 1" / "index.html").string();
  std::string out = (dir / "curso.zip").string();
  auto run = RunKio(folder.str(),
                    // No start page yet; then a pass mark that is no percentage.
                    "press 1390\npress 2811\n"
                    "press 2802\nchoose " +
                        start +
                        "\ntype 2804 150\npress 2811\n"
                        // The teacher declines to leave the links out: nothing is made.
                        "type 2804 70\npress 2811\nanswer No\n"
                        // Then agrees, and chooses the package file.
                        "press 2812\nanswer Yes\nchoose " +
                        out + "\ndump\npress 2\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_TRUE(
      Has(run.transcript, "DIALOG Pacote\nMESSAGE Oops! | Escolha primeiro a página inicial do curso.\n"))
      << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "MESSAGE Oops! | A nota de aprovação é uma porcentagem de 0 a 100.\n"));
  EXPECT_TRUE(Has(run.transcript,
                  "MESSAGE KIO | Estes links não podem ir com o curso:\\r\\n\\r\\n"
                  "index.html: ../outside.jpg - o arquivo está fora da pasta do curso\\r\\n"
                  "multi.htm: missing.jpg - o arquivo não existe\\r\\n\\r\\nFazer o pacote sem eles?\n"))
      << run.transcript;
  // The package file starts as the course folder's name, beside it.
  EXPECT_TRUE(Has(run.transcript,
                  "CHOOSE save | " + (dir / "Unidade 1" / "Unidade 1.zip").string() + " | *.zip|| | zip\n"))
      << run.transcript;
  EXPECT_TRUE(
      Has(run.transcript, "MESSAGE KIO | Pacote pronto: " + out + "\\r\\n5 páginas e 3 outros arquivos.\n"));
  // The title defaults to the folder's name; the pass mark is the one typed.
  EXPECT_TRUE(Has(run.transcript, "CONTROL 2803 Unidade 1\n")) << run.transcript;
  ASSERT_TRUE(fs::exists(out));
  std::string zip = test::ReadFile(out);
  EXPECT_NE(zip.find("imsmanifest.xml"), std::string::npos);
}

TEST(PackageWindow, TheHomeScreensQuestionMarkAndTheWindowsShowTheHelp) {
  ProgramFolder folder;
  auto run =
      RunKio(folder.str(), "press 1391\ndump\npress 1390\npress 2806\ndump\npress 2\npress 2\nanswer Yes\n");
  EXPECT_EQ(run.status, 0) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "CONTROL 1202 {\\\\rtf1\\\\ansi\\\\ansicpg1252")) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "Pacote: um curso inteiro")) << run.transcript;
  EXPECT_TRUE(Has(run.transcript, "CONTROL 2805 {\\\\rtf1")) << run.transcript;
}

}  // namespace
}  // namespace kio
