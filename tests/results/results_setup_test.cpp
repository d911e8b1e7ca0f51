// Setting kio-results up: the results address written into a KIO program
// folder and shown by its home screen, and the per-address limit.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "kio_test.h"
#include "results/rate_limit.h"
#include "results/setup.h"
#include "server_process.h"

namespace kio::results {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ResultsSetupTest, TheAddressIsWrittenAsTheBareContentOfConfiguraTxt) {
  TempDir program;
  test::CopyProgramFolder(program.path());
  EXPECT_EQ(WriteResultsAddress(program.str(), "http://192.168.0.10:8765/results"), "");
  EXPECT_EQ(test::ReadFile(program / "Configura.txt"), "http://192.168.0.10:8765/results");
  EXPECT_FALSE(fs::exists(program / "Configura.txt.new"));

  // What KIO cannot hold is refused, and the old address stays.
  const std::string limit(299, 'a');
  EXPECT_EQ(WriteResultsAddress(program.str(), limit), "");
  EXPECT_EQ(test::ReadFile(program / "Configura.txt"), limit);
  EXPECT_NE(WriteResultsAddress(program.str(), limit + "a"), "");
  EXPECT_NE(WriteResultsAddress(program.str(), "x"), "");
  EXPECT_EQ(test::ReadFile(program / "Configura.txt"), limit);

  // A folder that is not a KIO program folder is left alone.
  TempDir other;
  EXPECT_NE(WriteResultsAddress(other.str(), "http://h/results"), "");
  EXPECT_FALSE(fs::exists(other / "Configura.txt"));
  EXPECT_NE(WriteResultsAddress((other / "missing").string(), "http://h/results"), "");
}

TEST(ResultsSetupTest, AKeyIsThirtyTwoRandomHexDigits) {
  std::string a = NewTeacherKey(), b = NewTeacherKey();
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
}

TEST(ResultsSetupTest, ConfigureWritesTheAddressTheServerPrintsAndKioShowsIt) {
  TempDir program, data;
  test::CopyProgramFolder(program.path());
  test::ServerProcess server(
      {"--configure", program.str(), "--listen", "127.0.0.1", "--port", "0", "--data", data.str()});
  ASSERT_TRUE(server.Ready()) << server.Printed();
  EXPECT_TRUE(server.Line("Teacher view: ").starts_with("http://127.0.0.1:")) << server.Printed();
  std::string address = server.Line("Results address (for Configura.txt): ");
  EXPECT_TRUE(address.starts_with("http://127.0.0.1:")) << address;
  EXPECT_TRUE(address.ends_with("/results")) << address;
  EXPECT_EQ(test::ReadFile(program / "Configura.txt"), address);

  // The home screen's Setup button shows the configured address.
  test::RunResult kio = test::RunKio(program.str(), "press 1268\n");
  EXPECT_NE(kio.transcript.find(address), std::string::npos) << kio.transcript;
}

TEST(ResultsRateLimitTest, EachAddressHasItsOwnBucketThatRefills) {
  RateLimit limit(60, 3);  // one a second, three at once
  auto t0 = RateLimit::Clock::time_point{} + std::chrono::hours(1);
  int wait = 0;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.Allow("10.0.0.1", wait, t0));
  EXPECT_FALSE(limit.Allow("10.0.0.1", wait, t0));
  EXPECT_EQ(wait, 1);
  EXPECT_TRUE(limit.Allow("10.0.0.2", wait, t0)) << "another address is not held back";
  EXPECT_FALSE(limit.Allow("10.0.0.1", wait, t0 + std::chrono::milliseconds(500)));
  EXPECT_TRUE(limit.Allow("10.0.0.1", wait, t0 + std::chrono::milliseconds(1600)));
  // A long pause refills the bucket to its size, no more.
  auto later = t0 + std::chrono::hours(1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.Allow("10.0.0.1", wait, later));
  EXPECT_FALSE(limit.Allow("10.0.0.1", wait, later));

  RateLimit off(0, 0);
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(off.Allow("10.0.0.1", wait, t0));
}

TEST(ResultsRateLimitTest, ManyAddressesDoNotGrowMemoryWithoutEnd) {
  RateLimit limit(60, 5);
  auto t0 = RateLimit::Clock::time_point{} + std::chrono::hours(1);
  int wait = 0;
  for (int i = 0; i < 120000; ++i)
    limit.Allow("a" + std::to_string(i), wait, t0 + std::chrono::seconds(i / 1000));
  EXPECT_LE(limit.Tracked(), 50000u);
}

}  // namespace
}  // namespace kio::results
