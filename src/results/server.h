// The HTTP side of kio-results: receives the pages' posts, answers so that
// pages opened from file:// or another site may post, and serves the
// teacher's view behind the teacher key.
//
// Connections are held by libmicrohttpd's event loop (epoll): an idle
// keep-alive connection or a client that sends its request slowly costs a
// socket and a little memory, never a thread. Only the work that touches
// the database runs elsewhere: results go to the store's writer threads,
// the teacher's view to a small pool of worker threads. Meanwhile the
// connection is suspended, and the answer goes out from the event loop.
//
// Nothing but the rate limit is kept in the process alone: teachers, keys
// and results are in the database, so that several servers may share one.
#pragma once
#include <memory>
#include <string>

#include "results/rate_limit.h"
#include "results/store.h"
#include "results/teacher_view.h"

namespace kio::results {

// The clean path for posts; any path ending in kLegacyPathEnd is accepted
// too, so that addresses configured for an older results script still work.
inline constexpr char kResultsPath[] = "/results";
inline constexpr char kLegacyPathEnd[] = "/php2/envprint.php";

struct ServerOptions {
  std::string listen = "0.0.0.0";
  int port = 8765;           // 0: any free port
  int threads = 8;           // worker threads: teacher view requests served at once
  int limitPerMinute = 300;  // requests per sender address; 0 for no limit
  int limitBurst = 300;
  std::string teacherKey;  // the first key: results posted without a token
  std::string adminKey;    // lists the teachers
  // Time limits on clients: a request's header must arrive whole within
  // headerSeconds of the connection (or of the previous answer on a kept
  // connection), its body within bodySeconds of the header; a connection
  // silent for idleSeconds is closed.
  int headerSeconds = 15;
  int bodySeconds = 30;
  int idleSeconds = 10;
};

class ResultsServer {
 public:
  ResultsServer(ResultStore& store, const ServerOptions& options);
  ~ResultsServer();
  // Binds the listening socket; returns the port, or -1 when it cannot.
  int Bind();
  // Serves until Stop(); false when serving failed. Requests whose answer is
  // being made when Stop() comes are answered first.
  bool Run();
  void Stop();

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// True when `path` is one of the paths that receive results: /results,
// /results/TOKEN (a teacher's own address) or one ending in kLegacyPathEnd.
bool IsResultsPath(const std::string& path);
// The teacher token in a results path; "" for none.
std::string TokenOfPath(const std::string& path);
// True for a teacher token: 16 lower-case hexadecimal digits.
bool IsTeacherToken(const std::string& text);
// The course address of a teacher: the results address with their token.
std::string CourseAddress(const std::string& base, const std::string& token);

}  // namespace kio::results
