// The HTTP side of kio-results: receives the pages' posts, answers so that
// pages opened from file:// or another site may post, and serves the
// teacher's view behind the teacher key.
#pragma once
#include <memory>
#include <string>

#include "results/rate_limit.h"
#include "results/store.h"
#include "results/teacher_view.h"

namespace httplib {
class Server;
}

namespace kio::results {

// The clean path for posts; any path ending in kLegacyPathEnd is accepted
// too, so that addresses configured for an older results script still work.
inline constexpr char kResultsPath[] = "/results";
inline constexpr char kLegacyPathEnd[] = "/php2/envprint.php";

struct ServerOptions {
  std::string listen = "0.0.0.0";
  int port = 8765;  // 0: any free port
  int threads = 64;
  int limitPerMinute = 300;  // requests per sender address; 0 for no limit
  int limitBurst = 300;
  std::string teacherKey;
};

class ResultsServer {
 public:
  ResultsServer(ResultStore& store, const ServerOptions& options);
  ~ResultsServer();
  // Binds the listening socket; returns the port, or -1 when it cannot.
  int Bind();
  // Serves until Stop(); false when serving failed.
  bool Run();
  void Stop();

 private:
  void Routes();
  ResultStore& store_;
  ServerOptions options_;
  RateLimit limit_;
  std::unique_ptr<httplib::Server> http_;
  int listening_ = -1;  // the listening socket, once bound
};

// True when `path` is one of the paths that receive results.
bool IsResultsPath(const std::string& path);

}  // namespace kio::results
