// Crash safety: clients post results while the server is killed with
// SIGKILL at random moments, again and again. Every result that got a
// success answer must be in the database afterwards, and none twice. A
// client whose post got no answer sends it again to the next server, as a
// page would; the server must then not store it a second time.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "kio_test.h"
#include "results/store.h"
#include "results/teacher_view.h"
#include "server_process.h"

namespace kio::results {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKills = 100;
constexpr int kClients = 8;
constexpr auto kDeadline = std::chrono::seconds(60);

TEST(ResultsCrashTest, AcknowledgedResultsSurviveSigkillAndNoneIsStoredTwice) {
  test::TempDir data;
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
    test::ServerProcess server(
        {"--listen", "127.0.0.1", "--port", "0", "--data", data.str(), "--limit", "0"});
    ASSERT_TRUE(server.Ready()) << server.Printed();
    port = server.port();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution(5, 60)(random)));
    server.Kill(SIGKILL);
    port = 0;
  }
  done = true;
  for (auto& t : clients) t.join();
  ASSERT_EQ(kills, kKills) << "the kills took longer than the time allowed";

  auto store = OpenSqliteStore(data.str() + "/results.sqlite");
  std::map<std::string, int> stored;
  ResultFilter all;
  all.limit = 10000000;
  for (const StoredResult& r : store->Results(all)) ++stored[r.post.name];
  std::lock_guard lock(mutex);
  ASSERT_GT(acknowledged.size(), 100u) << "too few posts got through to prove anything";
  EXPECT_GT(unanswered.load(), 0) << "no post was cut off by a kill";
  for (const std::string& name : acknowledged) EXPECT_EQ(stored[name], 1) << name;
  for (const auto& [name, count] : stored) EXPECT_EQ(count, 1) << name << " stored more than once";
  std::cout << kills << " kills; " << acknowledged.size() << " results acknowledged, " << stored.size()
            << " stored; " << unanswered.load() << " attempts got no answer and were sent again\n";
}

}  // namespace
}  // namespace kio::results
