// kio-results under the connections a school sends it: browsers that keep
// their connections open, clients that send their request a byte at a time,
// a thousand connections at once, long results and broken lengths. Raw
// sockets, so that the tests say exactly what goes over the wire.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "kio_test.h"
#include "results/server.h"
#include "results/store.h"

namespace kio::results {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A server on a loopback port with a SQLite store, run on its own thread.
class Served {
 public:
  explicit Served(ServerOptions options = {}) {
    store_ = OpenSqliteStore((dir_.path() / "results.sqlite").string());
    options.listen = "127.0.0.1";
    options.port = 0;
    options.limitPerMinute = 0;
    options.teacherKey = "0123456789abcdef0123456789abcdef";
    server_ = std::make_unique<ResultsServer>(*store_, options);
    port_ = server_->Bind();
    if (port_ > 0) thread_ = std::thread([this] { server_->Run(); });
  }
  ~Served() {
    server_->Stop();
    if (thread_.joinable()) thread_.join();
  }
  int port() const { return port_; }
  ResultStore& store() { return *store_; }

 private:
  test::TempDir dir_;
  std::unique_ptr<ResultStore> store_;
  std::unique_ptr<ResultsServer> server_;
  int port_ = -1;
  std::thread thread_;
};

// One client connection, written and read by hand.
class Socket {
 public:
  explicit Socket(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(fd_);
      fd_ = -1;
    }
    int yes = 1;
    if (fd_ >= 0) setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  }
  Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  bool Open() const { return fd_ >= 0; }
  bool Send(const std::string& bytes) {
    return fd_ >= 0 &&
           send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }
  // The status of one whole answer (header and Content-Length body), or 0
  // when none came within `timeoutMs`; -1 when the server closed the
  // connection.
  int ReadAnswer(int timeoutMs, std::string* body = nullptr) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string data;
    for (;;) {
      size_t end = data.find("\r\n\r\n");
      if (end != std::string::npos) {
        size_t length = 0;
        size_t at = Lower(data.substr(0, end)).find("\r\ncontent-length:");
        if (at != std::string::npos) length = std::stoul(data.substr(at + 17));
        if (data.size() >= end + 4 + length) {
          if (body) *body = data.substr(end + 4, length);
          return std::atoi(data.c_str() + 9);
        }
      }
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) return 0;
      char buffer[8192];
      ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) return -1;
      data.append(buffer, static_cast<size_t>(n));
    }
  }
  // True when the server has closed this connection (within `timeoutMs`).
  bool ClosedByServer(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return false;
    char c;
    return recv(fd_, &c, 1, MSG_DONTWAIT) <= 0;
  }

 private:
  static std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }
  int fd_ = -1;
};

std::string FormBody(const std::string& name, const std::string& details = "x") {
  return "name=" + name + "&file=aula.htm&score=75%25&details=" + details +
         "&date=2026-12-10&time=10:00&activity=cloze";
}

std::string PostRequest(const std::string& body) {
  return "POST /results HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Posts one result on a new connection; the status, and how long it took.
std::pair<int, double> PostOnce(int port, const std::string& name) {
  auto start = Clock::now();
  Socket s(port);
  if (!s.Send(PostRequest(FormBody(name)))) return {0, MillisecondsSince(start)};
  int status = s.ReadAnswer(5000);
  return {status, MillisecondsSince(start)};
}

TEST(ResultsConnectionsTest, KeptConnectionsDoNotHoldBackTheNextPost) {
  ServerOptions options;
  options.threads = 64;
  Served server(options);
  ASSERT_GT(server.port(), 0);
  // 64 browsers post and keep their connections open, as browsers do.
  std::vector<Socket> kept;
  for (int i = 0; i < 64; ++i) {
    kept.emplace_back(server.port());
    ASSERT_TRUE(kept.back().Send(PostRequest(FormBody("kept" + std::to_string(i)))));
    ASSERT_EQ(kept.back().ReadAnswer(5000), 200) << i;
  }
  // The 65th is answered at once, not after the others' keep-alive.
  auto [status, ms] = PostOnce(server.port(), "the65th");
  EXPECT_EQ(status, 200);
  EXPECT_LT(ms, 1000) << "the 65th post waited";
  // And the kept connections still serve their next post.
  ASSERT_TRUE(kept[0].Send(PostRequest(FormBody("kept0again"))));
  EXPECT_EQ(kept[0].ReadAnswer(5000), 200);
  EXPECT_EQ(server.store().Count(), 66);
}

TEST(ResultsConnectionsTest, AThousandConnectionsAHundredOfThemSlowLeaveRealPostsAnswered) {
  Served server;
  ASSERT_GT(server.port(), 0);
  // 900 browsers that posted once and keep their connections.
  std::vector<Socket> kept;
  for (int i = 0; i < 900; ++i) {
    kept.emplace_back(server.port());
    ASSERT_TRUE(kept.back().Send(PostRequest(FormBody("k" + std::to_string(i)))));
  }
  for (size_t i = 0; i < kept.size(); ++i) ASSERT_EQ(kept[i].ReadAnswer(10000), 200) << i;
  // 100 clients that send their header a few bytes at a time (slowloris).
  std::vector<Socket> slow;
  for (int i = 0; i < 100; ++i) {
    slow.emplace_back(server.port());
    ASSERT_TRUE(slow.back().Send("POST /results HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
  }
  std::vector<double> times;
  for (int round = 0; round < 10; ++round) {
    for (Socket& s : slow) s.Send("X-a: b\r\n");
    for (int i = 0; i < 3; ++i) {
      auto [status, ms] = PostOnce(server.port(), "real" + std::to_string(round) + "-" + std::to_string(i));
      EXPECT_EQ(status, 200);
      times.push_back(ms);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // Kept connections post again among them.
  for (int i = 0; i < 900; i += 100) {
    ASSERT_TRUE(kept[i].Send(PostRequest(FormBody("again" + std::to_string(i)))));
    EXPECT_EQ(kept[i].ReadAnswer(5000), 200) << i;
  }
  double worst = 0;
  for (double t : times) worst = std::max(worst, t);
  EXPECT_LT(worst, 1000) << "a real post waited behind the slow ones";
  EXPECT_EQ(server.store().Count(), 900 + 30 + 9);
}

TEST(ResultsConnectionsTest, SlowHeadersAndSlowBodiesAreCutOffInTime) {
  ServerOptions options;
  options.headerSeconds = 1;
  options.bodySeconds = 1;
  options.idleSeconds = 5;
  Served server(options);
  ASSERT_GT(server.port(), 0);
  Socket header(server.port()), body(server.port());
  ASSERT_TRUE(header.Send("POST /results HTTP/1.1\r\nHost: x\r\n"));
  ASSERT_TRUE(
      body.Send("POST /results HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                "Content-Length: 100\r\n\r\nname="));
  auto start = Clock::now();
  // Each keeps sending a little, never enough; the server closes both.
  bool headerClosed = false, bodyClosed = false;
  while (MillisecondsSince(start) < 4000 && !(headerClosed && bodyClosed)) {
    if (!headerClosed) header.Send("X");
    if (!bodyClosed) body.Send("a");
    headerClosed = headerClosed || header.ClosedByServer(100);
    bodyClosed = bodyClosed || body.ClosedByServer(100);
  }
  EXPECT_TRUE(headerClosed) << "a header sent byte by byte holds its connection";
  EXPECT_TRUE(bodyClosed) << "a body sent byte by byte holds its connection";
  EXPECT_LT(MillisecondsSince(start), 3500);
  EXPECT_EQ(PostOnce(server.port(), "after").first, 200);
}

TEST(ResultsConnectionsTest, ALongResultIsStoredWhole) {
  Served server;
  // 4,000 accented characters of details, three bytes each in UTF-8, nine
  // once percent-encoded: a body of about 36 KB.
  std::string details, encoded;
  for (int i = 0; i < 4000; ++i) {
    details += "\xE1\xBA\xA5";  // a with circumflex and acute
    encoded += "%E1%BA%A5";
  }
  std::string body = FormBody("Longa", encoded);
  ASSERT_GT(body.size(), 36000u);
  Socket s(server.port());
  ASSERT_TRUE(s.Send(PostRequest(body)));
  std::string answer;
  EXPECT_EQ(s.ReadAnswer(5000, &answer), 200) << answer;
  auto stored = server.store().Results({});
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].post.details, details);
}

TEST(ResultsConnectionsTest, BrokenLengthsAreAnswered) {
  Served server;
  struct Case {
    const char* length;
    int status;
  };
  const Case cases[] = {{"99999999999999999999", 413}, {"-5", 400}, {"12abc", 400}, {"70000", 413}};
  for (const Case& c : cases) {
    Socket s(server.port());
    ASSERT_TRUE(s.Send(std::string("POST /results HTTP/1.1\r\nHost: x\r\nContent-Type: "
                                   "application/x-www-form-urlencoded\r\nContent-Length: ") +
                       c.length + "\r\n\r\n"));
    if (std::string(c.length) == "70000") s.Send(std::string(70000, 'a'));
    EXPECT_EQ(s.ReadAnswer(5000), c.status) << c.length;
  }
  EXPECT_EQ(server.store().Count(), 0);
  EXPECT_EQ(PostOnce(server.port(), "after").first, 200);
}

}  // namespace
}  // namespace kio::results
