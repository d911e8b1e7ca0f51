// The one escaping of a text for a single-quoted script string.
#include "render/script_string.h"

#include <gtest/gtest.h>

namespace kio {
namespace {

TEST(ScriptString, EscapesOnlyWhatWouldEndTheStringOrTheScript) {
  struct Case {
    std::string text, escaped;
  } cases[] = {
      {"plain text, \"quoted\" & <b>bold</b>", "plain text, \"quoted\" & <b>bold</b>"},
      {"it's", "it\\'s"},
      {"C:\\[temp]\\", "C:\\\\[temp]\\\\"},
      {"\\'", "\\\\\\'"},
      {"one\r\ntwo", "one\\r\\ntwo"},
      {"lone\nfeed", "lone\\nfeed"},
      {"lone\rreturn", "lone\\rreturn"},
      {"\n\r", "\\n\\r"},
      {"a</script>b", "a\\x3C/script>b"},
      {"a</SCRIPT >b", "a\\x3C/SCRIPT >b"},
      {"</Script", "\\x3C/Script"},
      {"<!-- note -->", "\\x3C!-- note -->"},
      {"</scrip", "</scrip"},
      {"<!-", "<!-"},
      {"</style>", "</style>"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ScriptString(c.text), c.escaped) << c.text;
}

}  // namespace
}  // namespace kio
