// The kit's xAPI part: which results addresses are xAPI endpoints, and the
// part added to a written page only for them, before the end of its body.
#include "render/xapi_part.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text.h"
#include "render_state.h"

namespace kio {
namespace {

TEST(XapiAddress, EndpointsAreKnownByTheirPath) {
  struct Case {
    const char* address;
    bool xapi;
  } cases[] = {
      {"http://192.168.1.20:8765/xapi/", true},
      {"http://192.168.1.20:8765/xapi", true},
      {"https://results.school.example/xapi/statements", true},
      {"https://lrs.example/data/xAPI/", true},
      {"https://lrs.example/xapi/?tenant=3", true},
      {"HTTPS://LRS.EXAMPLE/XAPI/STATEMENTS#x", true},
      {"http://192.168.1.20:8765/results", false},
      {"http://192.168.1.20:8765/results/4f0c2a9d81b7e365", false},
      {"https://kio-results.invalid/php2/envprint.php", false},
      {"https://school.example/myxapi/", false},
      {"https://school.example/xapi/statements/more", false},
      {"http://xapi", false},
      {"ftp://lrs.example/xapi/", false},
      {"file:///home/ana/xapi/", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsXapiAddress(c.address), c.xapi) << c.address;
}

class XapiPartTest : public test::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    std::filesystem::create_directory(program_ / "Tmplates");
    test::WriteFile(program_ / "Tmplates" / "tmplate_t.htm", kTemplate);
    test::WriteFile(program_ / "Tmplates" / kXapiPartFile, "/* part */\n");
    request_.templateName = "tmplate_t.htm";
    request_.data = "palavras[0]='x';\r\n";
  }
  // Writes the page as "p.htm" and returns it (empty when none was written).
  std::string Write() {
    std::filesystem::remove(docs_ / "p.htm");
    test::HeadlessSession session("choose " + (docs_ / "p.htm").string() + "\n");
    PageBuild build = SessionPageBuild();
    written_ = WritePage(request_, build).has_value();
    transcript_ = session.transcript();
    return std::filesystem::exists(docs_ / "p.htm") ? test::ReadFile(docs_ / "p.htm") : "";
  }
  static constexpr const char* kTemplate =
      "<body>\n<script>\n//INICIA DADOS\n ok\nold\n//TERMINA DADOS\n</script>\n"
      "<form id=\"results\" action=\"https://kio-results.invalid/php2/envprint.php\"></form>\n"
      "</body>\n</html>\n";
  PageRequest request_;
  bool written_ = false;
  std::string transcript_;
};

TEST_F(XapiPartTest, OnlyAnXapiAddressGetsThePart) {
  const std::string page =
      "<body>\n<script>\n//INICIA DADOS\n okpalavras[0]='x';\r\nd\n//TERMINA DADOS\n</script>\n"
      "<form id=\"results\" action=\"ADDRESS\"></form>\n";
  CurrentSession().appPaths.resultsAddress = "http://127.0.0.1:8765/results";
  EXPECT_EQ(Write(), ReplaceAll(page, "ADDRESS", "http://127.0.0.1:8765/results") + "</body>\n</html>\n");

  CurrentSession().appPaths.resultsAddress = "http://127.0.0.1:8765/xapi/";
  EXPECT_EQ(Write(), ReplaceAll(page, "ADDRESS", "http://127.0.0.1:8765/xapi/") +
                         "<script>\n/* part */\n</script>\n</body>\n</html>\n");

  // A page without a results form sends nothing.
  test::WriteFile(program_ / "Tmplates" / "tmplate_t.htm",
                  "<body>\n<script>\n//INICIA DADOS\n ok\n//TERMINA DADOS\n</script>\n</body>\n");
  EXPECT_EQ(Write().find("part"), std::string::npos);
}

TEST_F(XapiPartTest, NoPageWithoutAUsablePart) {
  CurrentSession().appPaths.resultsAddress = "https://lrs.example/xapi/statements";
  const std::string message =
      test::OopsMessage(Win1252("O programa não tem a parte das páginas que envia os resultados por xAPI "
                                "(Tmplates/xapi.js): a página não foi gerada."));
  std::filesystem::remove(program_ / "Tmplates" / kXapiPartFile);
  EXPECT_EQ(Write(), "");
  EXPECT_FALSE(written_);
  EXPECT_NE(transcript_.find(message), std::string::npos) << transcript_;
  // A part that would end its script element is not put in either.
  test::WriteFile(program_ / "Tmplates" / kXapiPartFile, "x = '</script><b>';\n");
  EXPECT_EQ(Write(), "");
  EXPECT_NE(transcript_.find(message), std::string::npos) << transcript_;
}

}  // namespace
}  // namespace kio
