// Posts per second and latency of kio-results with 50 concurrent clients,
// against SQLite and against PostgreSQL (a cluster of its own, started in a
// temporary folder). Each client keeps one connection open and posts one
// result after another, each a new result that the server commits before
// answering. Loopback only.
//   results_bench [--seconds N] [--clients N] [--sqlite-only]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "kio_test.h"
#include "results/server.h"
#include "results/store.h"
#include "temp_postgres.h"

using namespace kio;
using namespace kio::results;
using Clock = std::chrono::steady_clock;

namespace {

struct Figures {
  long posts = 0, failures = 0;
  double seconds = 0, p50 = 0, p99 = 0, max = 0;
};

Figures Load(ResultStore& store, int clients, double seconds) {
  ServerOptions options;
  options.listen = "127.0.0.1";
  options.port = 0;
  options.threads = clients + 8;
  options.limitPerMinute = 0;
  options.teacherKey = "bench";
  ResultsServer server(store, options);
  int port = server.Bind();
  if (port <= 0) {
    std::fprintf(stderr, "cannot bind a loopback port\n");
    std::exit(1);
  }
  std::thread serving([&] { server.Run(); });

  std::atomic<bool> measuring{false}, stop{false};
  std::vector<std::vector<double>> latencies(clients);
  std::vector<long> failures(clients, 0);
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      httplib::Client http("127.0.0.1", port);
      http.set_keep_alive(true);
      http.set_tcp_nodelay(true);  // as browsers do: no 40 ms wait between header and body
      http.set_read_timeout(30, 0);
      long n = 0;
      while (!stop) {
        ++n;
        std::string body =
            "name=Student+" + std::to_string(c) + "-" + std::to_string(n) +
            "&file=aula.htm&score=" + std::to_string(n % 101) +
            "%25&details=Acertos%3A+3%2F4%0A1.+gato+%2B&date=2026-12-10&time=10%3A00&activity=cloze";
        auto begin = Clock::now();
        auto res = http.Post("/results", body, "application/x-www-form-urlencoded");
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        if (!measuring) continue;
        if (res && res->status == 200)
          latencies[c].push_back(ms);
        else {
          if (failures[c]++ == 0)
            std::fprintf(stderr, "client %d: %s\n", c,
                         res ? ("status " + std::to_string(res->status)).c_str()
                             : httplib::to_string(res.error()).c_str());
        }
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));  // warm-up: connections, statements, caches
  measuring = true;
  auto begin = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  measuring = false;
  Figures f;
  f.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  stop = true;
  for (auto& t : threads) t.join();
  server.Stop();
  serving.join();

  std::vector<double> all;
  for (int c = 0; c < clients; ++c) {
    all.insert(all.end(), latencies[c].begin(), latencies[c].end());
    f.failures += failures[c];
  }
  std::sort(all.begin(), all.end());
  f.posts = static_cast<long>(all.size());
  if (!all.empty()) {
    f.p50 = all[all.size() / 2];
    f.p99 = all[std::min(all.size() - 1, all.size() * 99 / 100)];
    f.max = all.back();
  }
  return f;
}

void Report(const char* name, const Figures& f) {
  std::printf(
      "%-11s %8.0f posts/s  p50 %6.2f ms  p99 %7.2f ms  max %7.2f ms  (%ld posts in %.1f s, %ld failed)\n",
      name, f.posts / f.seconds, f.p50, f.p99, f.max, f.posts, f.seconds, f.failures);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  int clients = 50;
  bool sqliteOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (!std::strcmp(argv[i], "--clients") && i + 1 < argc)
      clients = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--sqlite-only"))
      sqliteOnly = true;
    else {
      std::fprintf(stderr, "usage: results_bench [--seconds N] [--clients N] [--sqlite-only]\n");
      return 2;
    }
  }
  std::printf("%d clients, %.0f s each, one new result per post, committed before the answer\n", clients,
              seconds);
  {
    test::TempDir dir;
    auto store = OpenSqliteStore((dir.path() / "results.sqlite").string());
    Report("SQLite", Load(*store, clients, seconds));
  }
  if (sqliteOnly) return 0;
  test::TempPostgres postgres;
  if (!postgres.Started()) {
    std::printf("PostgreSQL skipped: %s\n", postgres.Problem().c_str());
    return 0;
  }
  auto store = OpenPostgresStore(postgres.Connection(), 16);
  Report("PostgreSQL", Load(*store, clients, seconds));
  return 0;
}
