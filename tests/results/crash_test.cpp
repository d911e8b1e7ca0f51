// Crash safety: clients post results while the server is killed with
// SIGKILL at random moments, again and again, with either store. Every
// result that got a success answer must be in the database afterwards, and
// none twice. A client whose post got no answer sends it again to the next
// server, as a page would; the server must then not store it a second time.
// And two servers over one PostgreSQL database, as a school runs them
// behind a load balancer: each result stored once, whichever got it.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "kio_test.h"
#include "results/store.h"
#include "results/teacher_view.h"
#include "server_process.h"
#include "temp_postgres.h"

namespace kio::results {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKills = 100;
constexpr int kClients = 8;
constexpr auto kDeadline = std::chrono::seconds(60);

// The results stored, counted by student name (one name per result).
std::map<std::string, int> StoredNames(ResultStore& store) {
  std::map<std::string, int> stored;
  ResultFilter all;
  all.limit = 10000000;
  for (const StoredResult& r : store.Results(all)) ++stored[r.post.name];
  return stored;
}

// Kills kio-results started with `storeArgs` again and again while clients
// post; then checks what `open` finds stored.
void KillWhilePosting(const std::vector<std::string>& storeArgs,
                      const std::function<std::unique_ptr<ResultStore>()>& open) {
  std::atomic<int> port{0};
  std::atomic<bool> done{false};
  std::mutex mutex;
  std::set<std::string> acknowledged;  // student names, one per result
  std::atomic<int> unanswered{0};

  auto client = [&](int number) {
    int sequence = 0;
    std::string name;
    while (!done) {
      int p = port;
      if (p == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      if (name.empty()) name = "c" + std::to_string(number) + "-" + std::to_string(sequence++);
      // Half the results carry an id (pages that send one), half rely on
      // their content to be recognised when sent again.
      std::string body = "name=" + name + "&file=crash.htm&score=" + std::to_string(sequence % 101) +
                         "%25&details=x&date=2026-12-10&time=10:00&activity=cloze";
      if (sequence % 2 == 0) body += "&id=crash-" + name;
      httplib::Client http("127.0.0.1", p);
      http.set_connection_timeout(0, 300000);
      http.set_read_timeout(2, 0);
      auto res = http.Post("/results", body, "application/x-www-form-urlencoded");
      if (res && res->status == 200) {
        std::lock_guard lock(mutex);
        acknowledged.insert(name);
        name.clear();  // the next result
      } else {
        ++unanswered;  // the same result again, to whichever server answers
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  };
  std::vector<std::thread> clients;
  for (int i = 0; i < kClients; ++i) clients.emplace_back(client, i);

  std::mt19937 random(20261210);
  auto start = Clock::now();
  int kills = 0;
  for (; kills < kKills && Clock::now() - start < kDeadline; ++kills) {
    std::vector<std::string> args = {"--listen", "127.0.0.1", "--port", "0", "--limit", "0"};
    args.insert(args.end(), storeArgs.begin(), storeArgs.end());
    test::ServerProcess server(args);
    ASSERT_TRUE(server.Ready()) << server.Printed();
    port = server.port();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution(5, 60)(random)));
    server.Kill(SIGKILL);
    port = 0;
  }
  done = true;
  for (auto& t : clients) t.join();
  ASSERT_EQ(kills, kKills) << "the kills took longer than the time allowed";

  auto store = open();
  std::map<std::string, int> stored = StoredNames(*store);
  std::lock_guard lock(mutex);
  ASSERT_GT(acknowledged.size(), 100u) << "too few posts got through to prove anything";
  EXPECT_GT(unanswered.load(), 0) << "no post was cut off by a kill";
  for (const std::string& name : acknowledged) EXPECT_EQ(stored[name], 1) << name;
  for (const auto& [name, count] : stored) EXPECT_EQ(count, 1) << name << " stored more than once";
  std::cout << kills << " kills; " << acknowledged.size() << " results acknowledged, " << stored.size()
            << " stored; " << unanswered.load() << " attempts got no answer and were sent again\n";
}

TEST(ResultsCrashTest, AcknowledgedResultsSurviveSigkillAndNoneIsStoredTwice) {
  test::TempDir data;
  KillWhilePosting({"--data", data.str()}, [&] { return OpenSqliteStore(data.str() + "/results.sqlite"); });
}

TEST(ResultsCrashTest, WithPostgresqlAcknowledgedResultsSurviveSigkillAndNoneIsStoredTwice) {
  test::TempPostgres postgres;
  if (!postgres.Started()) GTEST_SKIP() << postgres.Problem();
  KillWhilePosting({"--postgres", postgres.Connection(), "--connections", "4"},
                   [&] { return OpenPostgresStore(postgres.Connection(), 1); });
}

TEST(ResultsCrashTest, TwoServersOverOneDatabaseStoreEachResultOnce) {
  test::TempPostgres postgres;
  if (!postgres.Started()) GTEST_SKIP() << postgres.Problem();
  std::vector<std::string> args = {"--listen",   "127.0.0.1",           "--port",        "0", "--limit", "0",
                                   "--postgres", postgres.Connection(), "--connections", "4"};
  test::ServerProcess first(args), second(args);
  ASSERT_TRUE(first.Ready()) << first.Printed();
  ASSERT_TRUE(second.Ready()) << second.Printed();
  // One school: both print the same teacher view key.
  EXPECT_EQ(first.Line("Teacher view: ").substr(first.Line("Teacher view: ").find("key=")),
            second.Line("Teacher view: ").substr(second.Line("Teacher view: ").find("key=")));
  std::mutex mutex;
  std::set<std::string> acknowledged;
  std::vector<std::thread> clients;
  for (int c = 0; c < 8; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client a("127.0.0.1", first.port()), b("127.0.0.1", second.port());
      for (int i = 0; i < 40; ++i) {
        // Each result goes to one server, and half of them again to the
        // other (a retry that a load balancer sent elsewhere).
        std::string name = "s" + std::to_string(c) + "-" + std::to_string(i);
        std::string body = "name=" + name +
                           "&file=two.htm&score=50%25&details=x&date=2026-12-10&time=10:00"
                           "&activity=cloze" +
                           (i % 4 == 0 ? "&id=two-" + name : "");
        bool ok = false;
        for (int k = 0; k < (i % 3 == 0 ? 2 : 1); ++k) {
          auto res = ((i + k) % 2 ? a : b).Post("/results", body, "application/x-www-form-urlencoded");
          ok = ok || (res && res->status == 200);
        }
        if (ok) {
          std::lock_guard lock(mutex);
          acknowledged.insert(name);
        }
      }
    });
  }
  for (auto& t : clients) t.join();
  auto store = OpenPostgresStore(postgres.Connection(), 1);
  std::map<std::string, int> stored = StoredNames(*store);
  EXPECT_EQ(acknowledged.size(), 320u);
  EXPECT_EQ(stored.size(), 320u);
  for (const auto& [name, count] : stored) EXPECT_EQ(count, 1) << name << " stored more than once";
}

}  // namespace
}  // namespace kio::results
