// Question files a teacher may receive from anyone: a huge file, deeply
// nested XML, entity expansion, braces that never close, a binary file.
// Each ends with its message, in bounded time and memory, and nothing is
// written.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fileio/session.h"
#include "kio_test.h"
#include "peak_memory.h"
#include "questions/tool/convert_command.h"

namespace kio::questions {
namespace {

using test::kMemoryScale;
using test::kMiB;

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(HostileQuestionFiles, EndWithTheirMessageInBoundedMemoryAndWriteNothing) {
  test::TempDir dir;
  {
    // 50 MB of well-formed GIFT, written in pieces.
    std::ofstream big(dir / "big.gift", std::ios::binary);
    const std::string piece = Repeat("Question {=right ~wrong}\n\n", 4000);
    while (big.tellp() < 50 * static_cast<long long>(kMiB)) big << piece;
  }
  std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [\n<!ENTITY l0 \"ha\">\n";
  for (int i = 1; i <= 12; ++i)
    laughs +=
        "<!ENTITY l" + std::to_string(i) + " \"" + Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">\n";
  laughs +=
      "]>\n<quiz><question type=\"description\"><questiontext><text>&l12;</text></questiontext>"
      "</question></quiz>\n";
  test::WriteFile(dir / "laughs.xml", laughs);
  test::WriteFile(dir / "deep.xml", "<quiz>" + Repeat("<a>", 200000) + Repeat("</a>", 200000) + "</quiz>");
  test::WriteFile(dir / "external.xml",
                  "<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                  "<quiz><question type=\"description\"><questiontext><text>&x;</text></questiontext>"
                  "</question></quiz>");
  test::WriteFile(dir / "open.gift", "Q {=a ~b\n\n" + Repeat("more text without a closing brace\n", 200000));
  std::string binary;
  for (unsigned i = 0; i < (1u << 20); ++i) binary += static_cast<char>((i * 7919u) % 251u);
  test::WriteFile(dir / "binary.gift", binary);
  test::WriteFile(dir / "binary.xml", "<quiz>" + binary);

  struct Case {
    const char* file;
    const char* message;
  } cases[] = {
      {"big.gift", "is 50 MB long; a question bank is read up to 16 MB. Split it into smaller files."},
      {"laughs.xml", "The file declares a document type (<!DOCTYPE>)"},
      {"deep.xml", "This is not a well-formed XML file (line 1): its elements nest deeper than 256 levels."},
      {"external.xml", "The file declares a document type (<!DOCTYPE>)"},
      {"open.gift", "Line 1: the brace { is never closed with }."},
      {"binary.gift", "This is not a text file: it holds a control byte (0) at byte 1."},
      {"binary.xml", "This is not a text file: it holds a zero byte."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string in = (dir / c.file).string(), out = (dir / "out.mul").string();
    const std::string report = (dir / "report.txt").string();
    test::ChildRun run = test::RunInChild(
        [&] {
          CurrentSession().Reset();
          std::ostringstream o, e;
          const int status = RunConvertCommand({in, out}, o, e);
          std::ofstream(report) << e.str();
          return status == 1;
        },
        20);
    EXPECT_TRUE(run.ok);
    EXPECT_LT(run.peakBytes, 64 * kMiB * kMemoryScale);
    const std::string said = test::ReadFile(report);
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

}  // namespace
}  // namespace kio::questions
