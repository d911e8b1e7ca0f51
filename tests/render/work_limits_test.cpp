// Hostile texts: small documents whose codes make codes, whose placeholders
// hold each other, or whose braces never close, end quickly with their
// message and in bounded memory; the frame geometry stays within a page.
#include <gtest/gtest.h>

#include <filesystem>

#include "peak_memory.h"
#include "render_state.h"

namespace kio {
namespace {

using test::kMemoryScale;
using test::kMiB;
using test::RunInChild;

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

class WorkLimitTest : public test::RenderTest {};

// Each text renders in a child process within its memory bound; `done` is
// whether it renders whole (true) or stops at a limit (false).
TEST_F(WorkLimitTest, HostileMarkupEndsInBoundedMemory) {
  struct Case {
    const char* what;
    std::string text;
    bool done;
  } cases[] = {
      {"a size that holds a video code, six times", "{h=.}" + Repeat("{f=}", 6) + Repeat("}", 6), true},
      {"the same, twelve times", "{h=.}" + Repeat("{f=}", 12) + Repeat("}", 12), false},
      {"braces that never close", Repeat("{", 7500) + Repeat("}", 7499), false},
      {"stray braces before many codes", Repeat("{", 2000) + Repeat("{i=a}", 2600), false},
      {"one stray brace before many pictures", "{" + Repeat("{i=a}", 500), true},
      {"pictures that are collected again and again", Repeat("{i=ab}", 2499), false},
      {"tags without an end", Repeat("<", 15000), true},
  };
  for (const auto& c : cases) {
    auto run = RunInChild([&] {
      std::string text = c.text;
      PageBuild build;
      const bool done = RenderMarkup(text, build);
      return done == c.done && build.workLimitReached == !c.done && text.size() <= kRenderedTextLimit &&
             build.collectedMarkup.size() <= kCollectedMarkupLimit;
    });
    EXPECT_TRUE(run.ok) << c.what;
    EXPECT_LT(run.peakBytes, 120 * kMiB * kMemoryScale) << c.what << ": " << run.peakBytes / kMiB << " MiB";
  }
}

TEST_F(WorkLimitTest, WithinTheLimitsTheFastScanMatchesTheRescan) {
  const std::string texts[] = {
      "{h=.}" + Repeat("{f=}", 4) + Repeat("}", 4),
      Repeat("{", 50) + Repeat("{i=a}", 60),
      "{q.g{h=1}if}<b>" + Repeat("{x.jpg}<i>", 40),
  };
  for (const std::string& t : texts) {
    std::string fast = t, slow = t;
    PageBuild fastBuild, slowBuild;
    ASSERT_TRUE(RenderMarkup(fast, fastBuild));
    ASSERT_TRUE(RenderMarkupByRescanning(slow, slowBuild));
    EXPECT_EQ(fast, slow);
    EXPECT_EQ(fastBuild.collectedMarkup, slowBuild.collectedMarkup);
  }
}

class FillLimitTest : public test::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    std::filesystem::create_directory(program_ / "Tmplates");
    test::WriteFile(program_ / "Tmplates" / "tmplate_t.htm",
                    "<p>170 600 81</p><p>i_n_s_t_r_u</p>//INICIA DADOS\n\n//TERMINA DADOS");
  }
};

// The instructions hold the completion message's placeholder, the message
// holds a colour's, the colours hold each other's: every row multiplies
// the page.
TEST_F(FillLimitTest, PlaceholdersHoldingEachOtherStopAtTheLimit) {
  auto run = RunInChild([] {
    PageBuild build = SessionPageBuild();
    PageSettings& p = build.settings;
    build.completionMessage = Repeat("#474792", 214);
    p.background3 = Repeat("#FFFFCC", 2142);
    p.background2 = Repeat("#CAC5E4", 2142);
    p.background1 = Repeat("#000001", 2142);
    std::string page;
    const bool filled =
        !FillTemplate({"tmplate_t.htm", Repeat("Atividade concluida ", 749), "p.htm", ""}, build, page);
    return filled && build.workLimitReached && page.size() <= kFilledPageLimit;
  });
  EXPECT_TRUE(run.ok);
  EXPECT_LT(run.peakBytes, 120 * kMiB * kMemoryScale);
}

TEST_F(FillLimitTest, TheFrameSplitIsAShareOfThePage) {
  struct Case {
    std::string cols, rows, page;
  } cases[] = {
      {"9223372036854775807,*", "9223372036854775807,*", "<p>780 -30 400</p>"},
      {"-9223372036854775808,*", "-5%,*", "<p>0 770 0</p>"},
      {"250%,*", "100%,*", "<p>780 -30 400</p>"},
      {"25%,*", "20%,*", "<p>200 570 80</p>"},
  };
  for (const auto& c : cases) {
    PageBuild build = SessionPageBuild();
    build.settings.frameCols = c.cols;
    build.settings.frameRows = c.rows;
    std::string page;
    ASSERT_FALSE(FillTemplate({"tmplate_t.htm", "", "p.htm", ""}, build, page));
    EXPECT_EQ(page.substr(0, c.page.size()), c.page) << c.cols;
  }
}

// The whole generation: the message, and no page.
TEST_F(FillLimitTest, APageThatReachedALimitIsNotWritten) {
  CurrentSession().UiText[1] = "KIO";
  PageRequest request;
  request.templateName = "tmplate_t.htm";
  request.instructions = "{h=.}" + Repeat("{f=}", 12) + Repeat("}", 12);
  request.completionField = "Bravo!";
  request.data = "x";
  test::HeadlessSession session("choose " + (docs_ / "p.htm").string() + "\n");
  PageBuild build = SessionPageBuild();
  EXPECT_FALSE(WritePage(request, build));
  EXPECT_NE(session.transcript().find("MESSAGE Oops! | Este texto faz uma p"), std::string::npos)
      << session.transcript();
  EXPECT_FALSE(std::filesystem::exists(docs_ / "p.htm"));
  EXPECT_FALSE(build.workLimitReached);
}

}  // namespace
}  // namespace kio
