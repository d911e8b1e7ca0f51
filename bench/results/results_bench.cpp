// Posts per second and latency of kio-results at 10, 50, 200 and 1,000
// concurrent connections (100 of the 1,000 sending their header a few bytes
// at a time and never finishing it), for three servers on the same HTTP
// code in the same run: one that stores nothing (the ceiling), SQLite, and
// PostgreSQL (a cluster of its own, started in a temporary folder). Each
// posting connection is kept open and posts one new result after another;
// each is committed before it is answered. Loopback only.
//   results_bench [--seconds N] [--connections 10|50|200|1000] [--sqlite-only]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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

// Stores nothing: what the server does around the store, alone.
class NothingStore : public ResultStore {
 public:
  ~NothingStore() override { StopWriters(); }
  std::string Describe() const override { return "nothing"; }

 protected:
  void ExecuteScript(const std::string&) override {}
  int64_t Change(const std::string&, const std::vector<Value>&) override { return 1; }
  std::vector<Row> Select(const std::string&, const std::vector<Value>&) override { return {}; }
  const char* IdColumnType() const override { return "INTEGER"; }
};

struct Figures {
  long posts = 0, failures = 0;
  double seconds = 0, p50 = 0, p99 = 0, max = 0;
};

struct Client {
  int fd = -1;
  bool slow = false;
  bool waiting = false;  // a post sent, its answer not yet read
  long sent = 0;
  Clock::time_point began;
  Clock::time_point next;  // paced: when to send the next post
  std::string in;
};

int Connect(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::perror("connect");
    std::exit(1);
  }
  int yes = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);  // as browsers do
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return fd;
}

void SendAll(int fd, const std::string& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
    if (n < 0 && errno == EAGAIN) continue;
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

std::string Request(int client, long n) {
  std::string body = "name=Student+" + std::to_string(client) + "-" + std::to_string(n) +
                     "&file=aula.htm&score=" + std::to_string(n % 101) +
                     "%25&details=Acertos%3A+3%2F4%0A1.+gato+%2B&date=2026-12-10&time=10%3A00&activity=cloze";
  return "POST /results HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A whole answer at the start of `in`: its length, or 0.
size_t AnswerLength(const std::string& in, int& status) {
  size_t end = in.find("\r\n\r\n");
  if (end == std::string::npos) return 0;
  size_t at = in.find("Content-Length: ");
  if (at == std::string::npos || at > end) at = in.find("content-length: ");
  size_t length = at == std::string::npos || at > end ? 0 : std::stoul(in.substr(at + 16));
  if (in.size() < end + 4 + length) return 0;
  status = std::atoi(in.c_str() + 9);
  return end + 4 + length;
}

// `connections` clients on one epoll loop, `slow` of them slowloris. With
// `rate` 0 each posting client sends its next post as soon as the last is
// answered (the most the server can take); otherwise the posting clients
// together send `rate` posts a second, each on its own schedule, as
// students pressing Send do, and the latency is measured from each post's
// scheduled time.
Figures Load(ResultStore& store, int connections, int slow, double seconds, double rate = 0) {
  ServerOptions options;
  options.listen = "127.0.0.1";
  options.port = 0;
  options.limitPerMinute = 0;
  options.teacherKey = "bench";
  ResultsServer server(store, options);
  int port = server.Bind();
  if (port <= 0) {
    std::fprintf(stderr, "cannot bind a loopback port\n");
    std::exit(1);
  }
  std::thread serving([&] { server.Run(); });

  int poller = epoll_create1(EPOLL_CLOEXEC);
  std::vector<Client> clients(connections);
  auto interval = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(rate > 0 ? (connections - slow) / rate : 0));
  for (int c = 0; c < connections; ++c) {
    Client& client = clients[c];
    client.fd = Connect(port);
    client.slow = c < slow;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = static_cast<uint32_t>(c);
    epoll_ctl(poller, EPOLL_CTL_ADD, client.fd, &event);
    if (client.slow) {
      SendAll(client.fd, "POST /results HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    } else if (rate > 0) {
      client.next = Clock::now() + interval * (c - slow) / (connections - slow);
    } else {
      client.began = Clock::now();
      client.waiting = true;
      SendAll(client.fd, Request(c, ++client.sent));
    }
  }

  std::vector<double> latencies;
  Figures f;
  auto start = Clock::now();
  auto measureFrom = start + std::chrono::seconds(1);  // warm-up: statements, caches
  auto end =
      measureFrom + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  auto nextDrip = start;
  std::vector<epoll_event> events(1024);
  char buffer[16384];
  for (;;) {
    auto now = Clock::now();
    if (now >= end) break;
    if (now >= nextDrip) {  // the slow ones send a little more, never enough
      for (Client& client : clients)
        if (client.slow) SendAll(client.fd, "X-Slow: a\r\n");
      nextDrip = now + std::chrono::milliseconds(500);
    }
    if (rate > 0) {
      for (int c = slow; c < connections; ++c) {
        Client& client = clients[c];
        if (client.waiting || now < client.next) continue;
        client.began = client.next;
        client.next += interval;
        client.waiting = true;
        SendAll(client.fd, Request(c, ++client.sent));
      }
    }
    int n = epoll_wait(poller, events.data(), static_cast<int>(events.size()), rate > 0 ? 1 : 50);
    for (int i = 0; i < n; ++i) {
      Client& client = clients[events[i].data.u32];
      ssize_t got;
      while ((got = recv(client.fd, buffer, sizeof buffer, 0)) > 0) client.in.append(buffer, got);
      if (got == 0) {
        std::fprintf(stderr, "a connection was closed by the server\n");
        std::exit(1);
      }
      int status = 0;
      size_t length = AnswerLength(client.in, status);
      if (!length || client.slow) continue;
      client.in.erase(0, length);
      auto done = Clock::now();
      if (client.began >= measureFrom) {
        if (status == 200)
          latencies.push_back(std::chrono::duration<double, std::milli>(done - client.began).count());
        else if (f.failures++ == 0)
          std::fprintf(stderr, "status %d\n", status);
      }
      client.waiting = false;
      if (rate > 0) continue;
      client.began = done;
      client.waiting = true;
      SendAll(client.fd, Request(static_cast<int>(events[i].data.u32), ++client.sent));
    }
  }
  f.seconds = std::chrono::duration<double>(Clock::now() - measureFrom).count();
  for (Client& client : clients) close(client.fd);
  close(poller);
  server.Stop();
  serving.join();

  std::sort(latencies.begin(), latencies.end());
  f.posts = static_cast<long>(latencies.size());
  if (!latencies.empty()) {
    f.p50 = latencies[latencies.size() / 2];
    f.p99 = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    f.max = latencies.back();
  }
  return f;
}

void Report(const char* name, int connections, int slow, const Figures& f, double ceiling, double rate = 0) {
  std::printf(
      "%-10s %5d conn (%3d slow)%s %8.0f posts/s %5.2f of nothing  p50 %6.2f ms  p99 %7.2f ms  max %7.2f ms"
      "  (%ld failed)\n",
      name, connections, slow, rate > 0 ? " paced" : "", f.posts / f.seconds,
      ceiling > 0 ? f.posts / f.seconds / ceiling : 1.0, f.p50, f.p99, f.max, f.failures);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 4;
  bool sqliteOnly = false;
  int only = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (!std::strcmp(argv[i], "--connections") && i + 1 < argc)
      only = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--sqlite-only"))
      sqliteOnly = true;
    else {
      std::fprintf(stderr,
                   "usage: results_bench [--seconds N] [--connections 10|50|200|1000] [--sqlite-only]\n");
      return 2;
    }
  }
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  std::printf("%.0f s a run after 1 s of warm-up; one new result per post, committed before the answer\n",
              seconds);
  test::TempPostgres* postgres = nullptr;
  std::unique_ptr<ResultStore> pg;
  if (!sqliteOnly) {
    postgres = new test::TempPostgres();
    if (postgres->Started())
      pg = OpenPostgresStore(postgres->Connection(), 16);
    else
      std::printf("PostgreSQL skipped: %s\n", postgres->Problem().c_str());
  }
  const std::pair<int, int> runs[] = {{10, 0}, {50, 0}, {200, 0}, {1000, 100}};
  for (auto [connections, slow] : runs) {
    if (only && connections != only) continue;
    NothingStore nothing;
    Figures ceiling = Load(nothing, connections, slow, seconds);
    double rate = ceiling.posts / ceiling.seconds;
    Report("nothing", connections, slow, ceiling, rate);
    {
      test::TempDir dir;
      auto sqlite = OpenSqliteStore((dir.path() / "results.sqlite").string());
      Report("SQLite", connections, slow, Load(*sqlite, connections, slow, seconds), rate);
    }
    if (pg) Report("PostgreSQL", connections, slow, Load(*pg, connections, slow, seconds), rate);
  }
  // A school at a busy moment: 1,000 connections, 100 of them slow, the
  // other 900 sending 2,000 posts a second between them.
  if (!only || only == 1000) {
    const double paced = 2000;
    NothingStore nothing;
    Report("nothing", 1000, 100, Load(nothing, 1000, 100, seconds, paced), 0, paced);
    test::TempDir dir;
    auto sqlite = OpenSqliteStore((dir.path() / "results.sqlite").string());
    Report("SQLite", 1000, 100, Load(*sqlite, 1000, 100, seconds, paced), 0, paced);
    if (pg) Report("PostgreSQL", 1000, 100, Load(*pg, 1000, 100, seconds, paced), 0, paced);
  }
  pg.reset();
  delete postgres;
  return 0;
}
