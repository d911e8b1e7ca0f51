#include "results/server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "results/statements.h"
#include "results/teacher_view.h"

namespace kio::results {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kLatestShown = 200;
constexpr size_t kSummaryLimit = 5000;
constexpr size_t kCsvLimit = 1000000;
// A body declared larger than this is refused at once and its connection
// closed; a smaller one over kMaxBodyBytes is read and dropped first, so
// that the sender is not cut off before it can read the 413.
constexpr uint64_t kDrainLimit = 1024 * 1024;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// JSON string for one of our own ASCII messages.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// What the server answers to one request.
struct Reply {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string type;
  std::string body;
  void Set(const std::string& name, const std::string& value) {
    for (auto& h : headers)
      if (h.first == name) {
        h.second = value;
        return;
      }
    headers.emplace_back(name, value);
  }
};

// One request as the event loop collects it: what the handlers need from
// its header, and its body.
struct Request {
  std::string method, path, address;
  std::string accept, contentType, acceptLanguage, authorization, xapiVersion;
  std::map<std::string, std::string> query;  // the first value of each parameter
  std::string body;
  FormFields multipart;  // the fields of a multipart/form-data body
  bool multipartBroken = false;
  bool tooBig = false;
  bool limited = false;
  int retryAfter = 0;
  bool working = false;   // handed to a worker; its connection is suspended
  bool answered = false;  // the worker's reply is in `reply`
  Reply reply;
  std::string Param(const std::string& name) const {
    auto it = query.find(name);
    return it == query.end() ? "" : it->second;
  }
};

// One connection, for the clock that closes slow clients.
struct Connection {
  MHD_socket fd = MHD_INVALID_SOCKET;
  Clock::time_point since;  // the connection, or the last answer on it
  Clock::time_point requestAt;
  bool inRequest = false;  // header read; body under way
  bool working = false;    // a worker has it: no clock
  bool cut = false;
};

void AllowAnyOrigin(Reply& res) { res.Set("Access-Control-Allow-Origin", "*"); }

// The answer to a post: JSON for a page posting in the background, a short
// page for a form that opened a browser tab. The texts are ours, never the
// student's.
Reply Answer(const Request& req, int status, bool ok, const std::string& what, const std::string& message) {
  Reply res;
  res.status = status;
  AllowAnyOrigin(res);
  res.Set("Cache-Control", "no-store");
  if (req.accept.find("text/html") != std::string::npos) {
    std::string heading =
        ok ? "Result received / Resultado recebido" : "Result not received / Resultado n&#227;o recebido";
    std::string advice =
        ok ? "You can close this tab. / Pode fechar esta aba."
           : "Go back to the activity and send it again. / Volte &#224; atividade e envie de novo.";
    res.body =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"us-ascii\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
        heading + "</title>\n</head>\n<body style=\"font-family:sans-serif;margin:2rem\">\n<h1>" + heading +
        "</h1>\n<p>" + advice + "</p>\n<p style=\"color:#555\">" + EscapeHtml(message) +
        "</p>\n</body>\n</html>\n";
    res.type = "text/html; charset=us-ascii";
  } else {
    res.body = "{\"ok\":" + std::string(ok ? "true" : "false") + ",\"" + (ok ? "result" : "error") +
               "\":" + JsonString(what) + ",\"message\":" + JsonString(message) + "}\n";
    res.type = "application/json";
  }
  return res;
}

Reply Refuse(const Request& req, int status, const std::string& message) {
  return Answer(req, status, false, status == 429 ? "too many requests" : "refused", message);
}

bool SameKey(const std::string& given, const std::string& key) {
  return !key.empty() && given.size() == key.size() &&
         CRYPTO_memcmp(given.data(), key.data(), key.size()) == 0;
}

void TeacherHeaders(Reply& res) {
  res.Set("Cache-Control", "no-store");
  res.Set("Referrer-Policy", "no-referrer");
  res.Set("X-Content-Type-Options", "nosniff");
  res.Set("Content-Security-Policy",
          "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; frame-ancestors 'none'");
}

// A teacher's request that the database could not serve: logged, and told
// to the teacher after `what` (plain text, 503).
Reply StoreUnavailable(const std::string& what, const StoreError& e) {
  std::cerr << "kio-results: " << e.what() << "\n";
  Reply res;
  TeacherHeaders(res);
  res.status = 503;
  res.type = "text/plain; charset=utf-8";
  res.body = what + EscapeHtml(e.what()) + "\n";
  return res;
}

std::string Header(MHD_Connection* connection, const char* name) {
  const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
  return value ? value : "";
}

std::string PeerAddress(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (!info || !info->client_addr) return "";
  char text[INET6_ADDRSTRLEN] = "";
  if (info->client_addr->sa_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(info->client_addr)->sin_addr, text, sizeof text);
  } else if (info->client_addr->sa_family == AF_INET6) {
    auto* in6 = reinterpret_cast<const sockaddr_in6*>(info->client_addr);
    if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr))
      inet_ntop(AF_INET, &in6->sin6_addr.s6_addr[12], text, sizeof text);
    else
      inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
  }
  return text;
}

// A declared Content-Length, when it is a plain number.
bool DeclaredLength(const std::string& text, uint64_t& length) {
  if (text.empty() || text.size() > 19) return false;
  length = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    length = length * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

// The worker threads that run what touches the database.
class WorkerPool {
 public:
  explicit WorkerPool(int threads) {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~WorkerPool() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
  }
  void Push(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // stopping, and nothing left to do
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace

bool IsTeacherToken(const std::string& text) {
  if (text.size() != 16) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::string TokenOfPath(const std::string& path) {
  std::string prefix = std::string(kResultsPath) + "/";
  if (!path.starts_with(prefix)) return "";
  std::string token = path.substr(prefix.size());
  return IsTeacherToken(token) ? token : "";
}

bool IsResultsPath(const std::string& path) {
  return path == kResultsPath || !TokenOfPath(path).empty() || path.ends_with(kLegacyPathEnd);
}

std::string CourseAddress(const std::string& base, const std::string& token) {
  return base + kResultsPath + "/" + token;
}

class ResultsServer::Impl {
 public:
  Impl(ResultStore& store, const ServerOptions& options)
      : store_(store), options_(options), limit_(options.limitPerMinute, options.limitBurst) {}

  ~Impl() {
    if (listening_ != MHD_INVALID_SOCKET) close(listening_);
  }

  int Bind() {
    RaiseFileLimit();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (getaddrinfo(options_.listen.c_str(), std::to_string(options_.port).c_str(), &hints, &found) != 0)
      return -1;
    int port = -1;
    for (addrinfo* a = found; a && port < 0; a = a->ai_next) {
      int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
      if (fd < 0) continue;
      // Only SO_REUSEADDR: a second server started on a port in use must
      // fail rather than share the port.
      int yes = 1;
      setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
      // A class pressing Send at the same moment opens dozens of
      // connections at once: a long queue of waiting connections.
      if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, SOMAXCONN) != 0) {
        close(fd);
        continue;
      }
      sockaddr_storage bound{};
      socklen_t size = sizeof bound;
      getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
      port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                               : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
      listening_ = fd;
    }
    freeaddrinfo(found);
    return port;
  }

  bool Run() {
    if (listening_ == MHD_INVALID_SOCKET) return false;
    {
      WorkerPool workers(options_.threads < 2 ? 2 : options_.threads);
      workers_ = &workers;
      unsigned connectionLimit = ConnectionLimit();
      daemon_ = MHD_start_daemon(
          MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG, 0, nullptr, nullptr,
          &Impl::Handle, this, MHD_OPTION_LISTEN_SOCKET, listening_, MHD_OPTION_CONNECTION_LIMIT,
          connectionLimit, MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(options_.idleSeconds),
          MHD_OPTION_NOTIFY_COMPLETED, &Impl::Completed, this, MHD_OPTION_NOTIFY_CONNECTION, &Impl::Connected,
          this, MHD_OPTION_EXTERNAL_LOGGER, &Impl::Log, this, MHD_OPTION_END);
      if (!daemon_) {
        workers_ = nullptr;
        return false;
      }
      listening_ = MHD_INVALID_SOCKET;  // the daemon's now
      std::thread clock([this] { CloseSlowClients(); });
      {
        std::unique_lock lock(stopMutex_);
        stopped_.wait(lock, [this] { return stopping_; });
      }
      // No new connections; the requests a worker holds are answered first.
      MHD_socket listener = MHD_quiesce_daemon(daemon_);
      {
        std::unique_lock lock(stopMutex_);
        stopped_.wait_for(lock, std::chrono::seconds(10), [this] { return working_ == 0; });
      }
      clockStop_ = true;
      clock.join();
      MHD_stop_daemon(daemon_);
      daemon_ = nullptr;
      if (listener != MHD_INVALID_SOCKET) close(listener);
      workers_ = nullptr;
    }
    return true;
  }

  void Stop() {
    {
      std::lock_guard lock(stopMutex_);
      stopping_ = true;
    }
    stopped_.notify_all();
  }

 private:
  static void RaiseFileLimit() {
    // A school's worth of connections needs more sockets than the usual
    // soft limit of 1,024.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
      limit.rlim_cur = limit.rlim_max;
      setrlimit(RLIMIT_NOFILE, &limit);
    }
  }

  static unsigned ConnectionLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 60000;
    // Room for the database, the files and the workers' own sockets.
    rlim_t room = limit.rlim_cur > 256 ? limit.rlim_cur - 128 : limit.rlim_cur / 2;
    return static_cast<unsigned>(room > 60000 ? 60000 : room);
  }

  static void Log(void*, const char*, va_list) {
    // The library's own notes (a client that went away, a malformed
    // request) are no concern of the teacher's.
  }

  // Keeps the clock on each connection, and closes the ones whose header or
  // body takes too long: a slow client costs no worker, and not even a
  // socket for long.
  static void Connected(void* self, MHD_Connection* connection, void** socketContext,
                        MHD_ConnectionNotificationCode code) {
    auto* impl = static_cast<Impl*>(self);
    std::lock_guard lock(impl->clockMutex_);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
      auto* c = new Connection;
      const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
      c->fd = info ? info->connect_fd : MHD_INVALID_SOCKET;
      c->since = Clock::now();
      // Answers go out as soon as they are written, as browsers expect.
      int yes = 1;
      if (c->fd != MHD_INVALID_SOCKET) setsockopt(c->fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      *socketContext = c;
      impl->connections_.insert(c);
    } else {
      auto* c = static_cast<Connection*>(*socketContext);
      impl->connections_.erase(c);
      delete c;
      *socketContext = nullptr;
    }
  }

  Connection* ConnectionOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Connection*>(info->socket_context) : nullptr;
  }

  void CloseSlowClients() {
    while (!clockStop_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      auto now = Clock::now();
      std::lock_guard lock(clockMutex_);
      for (Connection* c : connections_) {
        if (c->working || c->cut || c->fd == MHD_INVALID_SOCKET) continue;
        bool late = c->inRequest ? now - c->requestAt > std::chrono::seconds(options_.bodySeconds)
                                 : now - c->since > std::chrono::seconds(options_.headerSeconds);
        if (late) {
          // The event loop sees the end of the connection and closes it.
          shutdown(c->fd, SHUT_RDWR);
          c->cut = true;
        }
      }
    }
  }

  static void Completed(void* self, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
    auto* impl = static_cast<Impl*>(self);
    auto* req = static_cast<Request*>(*context);
    {
      std::lock_guard lock(impl->clockMutex_);
      if (Connection* c = impl->ConnectionOf(connection)) {
        c->inRequest = false;
        c->working = false;
        c->since = Clock::now();
      }
    }
    if (req && req->working) {
      std::lock_guard lock(impl->stopMutex_);
      --impl->working_;
      impl->stopped_.notify_all();
    }
    delete req;
    *context = nullptr;
  }

  static MHD_Result Queue(MHD_Connection* connection, const Reply& reply) {
    MHD_Response* response = MHD_create_response_from_buffer(
        reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    if (!reply.type.empty()) MHD_add_response_header(response, "Content-Type", reply.type.c_str());
    for (const auto& [name, value] : reply.headers)
      MHD_add_response_header(response, name.c_str(), value.c_str());
    MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued;
  }

  static MHD_Result Handle(void* self, MHD_Connection* connection, const char* url, const char* method,
                           const char*, const char* upload, size_t* uploadSize, void** context) {
    auto* impl = static_cast<Impl*>(self);
    auto* req = static_cast<Request*>(*context);
    if (!req) {
      req = new Request;
      *context = req;
      return impl->Begin(connection, *req, url, method);
    }
    if (*uploadSize > 0) {
      if (!req->tooBig) {
        if (req->body.size() + *uploadSize > kMaxBodyBytes) {
          req->tooBig = true;  // read on and dropped, then answered 413
          req->body.clear();
          req->body.shrink_to_fit();
        } else {
          req->body.append(upload, *uploadSize);
        }
      }
      *uploadSize = 0;
      return MHD_YES;
    }
    if (req->answered) return Queue(connection, req->reply);
    if (req->working) return MHD_YES;  // resumed early: not yet
    return impl->Finish(connection, *req);
  }

  // The header is read: note what the handlers need from it.
  MHD_Result Begin(MHD_Connection* connection, Request& req, const char* url, const char* method) {
    req.method = method;
    req.path = url;
    req.address = PeerAddress(connection);
    req.accept = Header(connection, "Accept");
    req.contentType = Header(connection, "Content-Type");
    req.acceptLanguage = Header(connection, "Accept-Language");
    req.authorization = Header(connection, "Authorization");
    req.xapiVersion = Header(connection, "X-Experience-API-Version");
    MHD_get_connection_values(
        connection, MHD_GET_ARGUMENT_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char* value) {
          auto* query = static_cast<std::map<std::string, std::string>*>(cls);
          if (key) query->emplace(key, value ? value : "");
          return MHD_YES;
        },
        &req.query);
    {
      std::lock_guard lock(clockMutex_);
      if (Connection* c = ConnectionOf(connection)) {
        c->inRequest = true;
        c->requestAt = Clock::now();
      }
    }
    if (req.method != "OPTIONS") req.limited = !limit_.Allow(req.address, req.retryAfter);
    uint64_t length = 0;
    if (DeclaredLength(Header(connection, "Content-Length"), length) && length > kMaxBodyBytes) {
      req.tooBig = true;
      if (length > kDrainLimit) return Queue(connection, Refuse(req, 413, "the post is larger than 64 KiB"));
    }
    return MHD_YES;
  }

  // The whole request is here: answer it now, or hand it to a worker.
  MHD_Result Finish(MHD_Connection* connection, Request& req) {
    if (req.method == "OPTIONS") {
      Reply res;
      res.status = 204;
      AllowAnyOrigin(res);
      res.Set("Access-Control-Allow-Methods", "POST, PUT, GET, OPTIONS");
      res.Set("Access-Control-Allow-Headers",
              "Content-Type, Accept, Authorization, X-Experience-API-Version");
      // Pages opened from a file or a public site may post to a server on
      // the school network (Chromium asks first).
      res.Set("Access-Control-Allow-Private-Network", "true");
      res.Set("Access-Control-Max-Age", "86400");
      return Queue(connection, res);
    }
    if (req.limited) {
      Reply res = Refuse(
          req, 429, "too many requests from this address; wait " + std::to_string(req.retryAfter) + " s");
      res.Set("Retry-After", std::to_string(req.retryAfter));
      return Queue(connection, res);
    }
    if (req.tooBig) return Queue(connection, Refuse(req, 413, "the post is larger than 64 KiB"));
    if (req.path == kStatementsPath) return Statements(connection, req);
    if (req.method == "POST") return Post(connection, req);
    if (req.method == "GET" || req.method == "HEAD") return Get(connection, req);
    Reply res = Refuse(req, 405, "this server answers GET, POST and OPTIONS");
    res.Set("Allow", "GET, POST, OPTIONS");
    return Queue(connection, res);
  }

  // An answer of the statements resource: JSON, readable by any page.
  static Reply XapiReply(int status, const std::string& version, const std::string& body) {
    Reply res;
    res.status = status;
    AllowAnyOrigin(res);
    res.Set("Access-Control-Expose-Headers", "X-Experience-API-Version, Content-Type");
    res.Set("X-Experience-API-Version", version.starts_with("2.") ? "2.0.0" : "1.0.3");
    res.Set("Cache-Control", "no-store");
    if (!body.empty()) {
      res.type = "application/json";
      res.body = body;
    }
    return res;
  }

  static std::string ErrorJson(const std::string& message) {
    return nlohmann::json{{"error", message}}.dump();
  }

  // The key an xAPI client gives: the password of HTTP Basic (any user
  // name), a bearer token, or ?key=.
  static std::string XapiKey(const Request& req) {
    if (req.authorization.starts_with("Bearer ")) return req.authorization.substr(7);
    if (req.authorization.starts_with("Basic ")) {
      std::string encoded = req.authorization.substr(6);
      if (encoded.size() > 1024) return "";
      std::string decoded(encoded.size(), '\0');
      int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(decoded.data()),
                                   reinterpret_cast<const unsigned char*>(encoded.data()),
                                   static_cast<int>(encoded.size()));
      if (length < 0) return "";
      decoded.resize(static_cast<size_t>(length));
      while (!decoded.empty() && decoded.back() == '\0') decoded.pop_back();  // the padding
      size_t colon = decoded.find(':');
      return colon == std::string::npos ? "" : decoded.substr(colon + 1);
    }
    return req.Param("key");
  }

  // /xapi/statements: statements sent (POST, PUT) by anyone, as results
  // are; read back (GET) with the first key or the administrator's.
  MHD_Result Statements(MHD_Connection* connection, Request& req) {
    std::string version = SpokenVersion(req.xapiVersion);
    auto fail = [&](int status, const std::string& message) {
      return Queue(connection, XapiReply(status, version, ErrorJson(message)));
    };
    if (version.empty()) return fail(400, "the X-Experience-API-Version header must be 1.0.x or 2.0.x");
    if (req.method == "GET" || req.method == "HEAD") {
      std::string key = XapiKey(req);
      if (key.empty()) {
        Reply res = XapiReply(401, version, ErrorJson("statements are read with a key"));
        res.Set("WWW-Authenticate", "Basic realm=\"kio-results\"");
        return Queue(connection, res);
      }
      if (!SameKey(key, options_.teacherKey) && !SameKey(key, options_.adminKey))
        return fail(403, "this key may not read statements");
      return OnWorker(connection, req, [this, &req, version] { return ReadStatements(req, version); });
    }
    if (req.method != "POST" && req.method != "PUT") {
      Reply res =
          XapiReply(405, version, ErrorJson("statements are sent with POST or PUT and read with GET"));
      res.Set("Allow", "GET, POST, PUT, OPTIONS");
      return Queue(connection, res);
    }
    if (!Lower(req.contentType).starts_with("application/json"))
      return fail(400, "statements are sent as application/json");
    nlohmann::json body = nlohmann::json::parse(req.body, nullptr, false);
    if (body.is_discarded()) return fail(400, "the body is not JSON");
    std::vector<nlohmann::json> statements;
    if (req.method == "PUT") {
      std::string id = req.Param("statementId");
      if (!IsUuid(id)) return fail(400, "PUT needs a statementId parameter holding a UUID");
      if (!body.is_object()) return fail(400, "PUT takes one statement");
      if (body.contains("id") && body["id"] != id)
        return fail(400, "the statement's id differs from statementId");
      body["id"] = id;
      statements.push_back(std::move(body));
    } else if (body.is_array()) {
      if (body.empty()) return fail(400, "no statements were sent");
      for (auto& s : body) statements.push_back(std::move(s));
    } else {
      statements.push_back(std::move(body));
    }
    std::set<std::string> ids;
    std::string stored = IsoNow();
    for (nlohmann::json& s : statements) {
      std::string problem = CheckStatement(s);
      if (!problem.empty()) return fail(400, problem);
      if (!s.contains("id")) s["id"] = NewUuid();
      if (!ids.insert(s["id"].get<std::string>()).second) return fail(400, "two statements have the same id");
    }
    return OnWorker(connection, req,
                    [this, statements = std::move(statements), stored, version, put = req.method == "PUT"] {
                      return WriteStatements(statements, stored, version, put);
                    });
  }

  Reply WriteStatements(std::vector<nlohmann::json> statements, const std::string& stored,
                        const std::string& version, bool put) {
    try {
      // All or nothing: a conflicting id refuses the whole request.
      std::vector<bool> known(statements.size(), false);
      for (size_t i = 0; i < statements.size(); ++i) {
        auto existing = store_.Statement(statements[i]["id"].get<std::string>());
        if (!existing) continue;
        if (!SameStatement(nlohmann::json::parse(*existing), statements[i]))
          return XapiReply(409, version,
                           ErrorJson("another statement with this id is stored: " +
                                     statements[i]["id"].get<std::string>()));
        known[i] = true;
      }
      nlohmann::json ids = nlohmann::json::array();
      for (size_t i = 0; i < statements.size(); ++i) {
        nlohmann::json& s = statements[i];
        ids.push_back(s["id"]);
        if (known[i]) continue;
        s["stored"] = stored;
        if (!s.contains("timestamp")) s["timestamp"] = stored;
        if (!s.contains("version")) s["version"] = version.starts_with("2.") ? "2.0.0" : "1.0.0";
        std::string activity = s["object"].value("objectType", "Activity") == "Activity"
                                   ? s["object"]["id"].get<std::string>()
                                   : "";
        std::string text = s.dump();
        if (!store_.AddStatement(s["id"], stored, AgentKey(s["actor"]), s["verb"]["id"], activity, text)) {
          // Sent at the same moment by another request: the same, or a conflict.
          auto existing = store_.Statement(s["id"].get<std::string>());
          if (existing && !SameStatement(nlohmann::json::parse(*existing), s))
            return XapiReply(409, version, ErrorJson("another statement with this id is stored"));
        }
      }
      return put ? XapiReply(204, version, "") : XapiReply(200, version, ids.dump());
    } catch (const StoreError& e) {
      std::cerr << "kio-results: " << e.what() << "\n";
      return XapiReply(503, version, ErrorJson("the statements could not be stored; send them again"));
    }
  }

  Reply ReadStatements(const Request& req, const std::string& version) {
    try {
      std::string id = req.Param("statementId");
      if (!id.empty()) {
        auto statement = IsUuid(id) ? store_.Statement(id) : std::nullopt;
        if (!statement) return XapiReply(404, version, ErrorJson("no statement has this id"));
        return XapiReply(200, version, *statement);
      }
      if (!req.Param("voidedStatementId").empty())
        return XapiReply(404, version, ErrorJson("this store keeps no voided statements"));
      StatementFilter filter;
      if (!req.Param("agent").empty()) {
        nlohmann::json agent = nlohmann::json::parse(req.Param("agent"), nullptr, false);
        filter.actor = AgentKey(agent);
        if (filter.actor.empty())
          return XapiReply(400, version, ErrorJson("agent must be an agent with an identifier"));
      }
      filter.verb = req.Param("verb");
      filter.activity = req.Param("activity");
      filter.since = req.Param("since");
      std::string limit = req.Param("limit");
      if (!limit.empty()) {
        if (limit.size() > 6 || limit.find_first_not_of("0123456789") != std::string::npos)
          return XapiReply(400, version, ErrorJson("limit must be a number"));
        int n = std::stoi(limit);
        filter.limit = n == 0 || n > 500 ? 500 : static_cast<size_t>(n);
      }
      nlohmann::json result = {{"statements", nlohmann::json::array()}, {"more", ""}};
      for (const std::string& s : store_.Statements(filter))
        result["statements"].push_back(nlohmann::json::parse(s));
      return XapiReply(200, version, result.dump());
    } catch (const StoreError& e) {
      std::cerr << "kio-results: " << e.what() << "\n";
      return XapiReply(503, version, ErrorJson("the statements cannot be read now"));
    }
  }

  // Holds the connection while its answer is being made elsewhere (a
  // worker, the store's writer); Resume() sends it.
  void Suspend(MHD_Connection* connection, Request& req) {
    req.working = true;
    {
      std::lock_guard lock(clockMutex_);
      if (Connection* c = ConnectionOf(connection)) c->working = true;
    }
    {
      std::lock_guard lock(stopMutex_);
      ++working_;
    }
    MHD_suspend_connection(connection);
  }

  static void Resume(MHD_Connection* connection, Request& req, Reply reply) {
    req.reply = std::move(reply);
    req.answered = true;
    MHD_resume_connection(connection);
  }

  // Runs `work` on a worker; its reply is sent when it is done.
  MHD_Result OnWorker(MHD_Connection* connection, Request& req, std::function<Reply()> work) {
    Suspend(connection, req);
    workers_->Push([connection, &req, work = std::move(work)] {
      Reply reply;
      try {
        reply = work();
      } catch (const std::exception& e) {  // out of memory: the request is not answered as done
        reply.status = 500;
        reply.type = "text/plain; charset=utf-8";
        reply.body = "internal error\n";
      }
      Resume(connection, req, std::move(reply));
    });
    return MHD_YES;
  }

  MHD_Result Post(MHD_Connection* connection, Request& req) {
    if (req.path == kForgetPath) return Forget(connection, req);
    if (!IsResultsPath(req.path))
      return Queue(connection, Refuse(req, 404, "no such address on this server"));
    std::string type = Lower(req.contentType);
    FormFields fields;
    if (type.starts_with("application/x-www-form-urlencoded")) {
      auto decoded = DecodeFormBody(req.body);
      if (!decoded) return Queue(connection, Refuse(req, 400, "the form is not well encoded"));
      fields = std::move(*decoded);
    } else if (type.starts_with("multipart/form-data")) {
      if (!ReadMultipart(connection, req))
        return Queue(connection, Refuse(req, 400, "the form is not well encoded"));
      fields = std::move(req.multipart);
    } else {
      return Queue(connection, Refuse(req, 415, "send the form as application/x-www-form-urlencoded"));
    }
    CheckedPost checked = CheckResultPost(fields);
    if (!checked.result) return Queue(connection, Refuse(req, 400, checked.error));
    checked.result->teacher = TokenOfPath(req.path);
    Suspend(connection, req);
    if (checked.result->teacher.empty() || KnownToken(checked.result->teacher)) {
      Store(connection, req, std::move(*checked.result));
      return MHD_YES;
    }
    // A token this process has not seen: another server may have added the
    // teacher. Looked up on a worker, not in the event loop.
    workers_->Push([this, connection, &req, result = std::move(*checked.result)]() mutable {
      bool known = false;
      try {
        known = ReloadTokens(result.teacher);
      } catch (const StoreError& e) {
        std::cerr << "kio-results: " << e.what() << "\n";
        return Resume(connection, req, Refuse(req, 503, "the result could not be stored; send it again"));
      }
      if (!known)
        return Resume(connection, req, Refuse(req, 404, "no teacher has this address on this server"));
      Store(connection, req, std::move(result));
    });
    return MHD_YES;
  }

  bool KnownToken(const std::string& token) {
    std::lock_guard lock(tokensMutex_);
    return tokens_.count(token) > 0;
  }

  bool ReloadTokens(const std::string& wanted) {
    std::set<std::string> tokens;
    for (const Teacher& t : store_.Teachers()) tokens.insert(t.token);
    std::lock_guard lock(tokensMutex_);
    tokens_ = std::move(tokens);
    return tokens_.count(wanted) > 0;
  }

  // The store's writer answers once the commit that holds the result is on
  // disk; no thread waits for it meanwhile.
  void Store(MHD_Connection* connection, Request& req, ResultPost result) {
    store_.AddLater(
        result, req.address, UtcNow(), [connection, &req](AddOutcome outcome, const std::string& error) {
          if (!error.empty()) {
            std::cerr << "kio-results: " << error << "\n";
            return Resume(connection, req, Refuse(req, 503, "the result could not be stored; send it again"));
          }
          Resume(connection, req,
                 outcome == AddOutcome::kStored
                     ? Answer(req, 200, true, "stored", "result stored")
                     : Answer(req, 200, true, "duplicate", "this result was already stored"));
        });
  }

  // A multipart/form-data body through the library's form reader; a field
  // comes in pieces, the first at offset 0.
  static bool ReadMultipart(MHD_Connection* connection, Request& req) {
    MHD_PostProcessor* reader = MHD_create_post_processor(
        connection, 16 * 1024,
        [](void* cls, MHD_ValueKind, const char* key, const char*, const char*, const char*, const char* data,
           uint64_t offset, size_t size) {
          auto* fields = static_cast<FormFields*>(cls);
          if (offset == 0 || fields->empty() || fields->back().first != (key ? key : ""))
            fields->emplace_back(key ? key : "", "");
          fields->back().second.append(data ? data : "", data ? size : 0);
          return MHD_YES;
        },
        &req.multipart);
    if (!reader) return false;
    bool ok = MHD_post_process(reader, req.body.data(), req.body.size()) == MHD_YES;
    ok = MHD_destroy_post_processor(reader) == MHD_YES && ok;
    return ok;
  }

  MHD_Result Get(MHD_Connection* connection, Request& req) {
    if (IsResultsPath(req.path)) {
      Reply res = Refuse(req, 405, "results are sent here with POST");
      res.Set("Allow", "POST, OPTIONS");
      return Queue(connection, res);
    }
    if (req.path == "/") {
      Reply res;
      AllowAnyOrigin(res);
      res.type = "text/html; charset=us-ascii";
      res.body =
          "<!DOCTYPE html>\n<html>\n<head>\n<meta "
          "charset=\"us-ascii\">\n<title>kio-results</title>\n</head>\n"
          "<body style=\"font-family:sans-serif;margin:2rem\">\n<h1>kio-results</h1>\n"
          "<p>This server receives the results that students send from KIO activity pages.</p>\n"
          "<p>Este servidor recebe os resultados que os alunos enviam das atividades do KIO.</p>\n"
          "</body>\n</html>\n";
      return Queue(connection, res);
    }
    if (req.path != kTeacherPath && req.path != kCsvPath && req.path != kForgetPath)
      return Queue(connection, Refuse(req, 404, "no such address on this server"));
    ViewLanguage language = ViewLanguageFor(req.Param("lang"), req.acceptLanguage);
    std::string given = req.Param("key");
    if (given.empty() && req.authorization.starts_with("Bearer ")) given = req.authorization.substr(7);
    if (given.empty()) return Queue(connection, KeyNeeded(false, language));
    // Teachers and their keys are in the database: looked up on a worker.
    return OnWorker(connection, req, [this, &req, given, language] {
      try {
        return TeacherView(req, given, language);
      } catch (const StoreError& e) {
        return StoreUnavailable("The results cannot be read now: ", e);
      }
    });
  }

  static Reply KeyNeeded(bool keyGiven, ViewLanguage language) {
    Reply res;
    TeacherHeaders(res);
    res.status = keyGiven ? 403 : 401;
    res.type = "text/html; charset=us-ascii";
    res.body = KeyNeededPage(keyGiven, language);
    return res;
  }

  // Whose key this is.
  struct Reader {
    enum { kNobody, kTeacher, kAdministrator } role = kNobody;
    std::string teacher;  // their token; "" for the first key
  };
  Reader Who(const std::string& key) {
    Reader reader;
    if (SameKey(key, options_.teacherKey)) {
      reader.role = Reader::kTeacher;
    } else if (SameKey(key, options_.adminKey)) {
      reader.role = Reader::kAdministrator;
    } else {
      for (const Teacher& t : store_.Teachers()) {
        if (SameKey(key, t.key)) {
          reader.role = Reader::kTeacher;
          reader.teacher = t.token;
        }
      }
    }
    return reader;
  }

  Reply TeacherView(const Request& req, const std::string& key, ViewLanguage language) {
    Reader reader = Who(key);
    if (reader.role == Reader::kNobody) return KeyNeeded(true, language);
    Reply res;
    TeacherHeaders(res);
    ViewQuery query;
    query.key = key;
    for (auto [field, name] : {std::pair{&query.file, "file"},
                               {&query.name, "name"},
                               {&query.from, "from"},
                               {&query.to, "to"},
                               {&query.lang, "lang"}}) {
      *field = req.Param(name);
      if (!IsValidUtf8(*field) || field->size() > 300) field->clear();
    }
    if (query.lang != "pt" && query.lang != "en") query.lang.clear();
    res.type = "text/html; charset=us-ascii";
    if (reader.role == Reader::kAdministrator) {
      if (req.path != kTeacherPath) return KeyNeeded(true, language);
      res.body = TeachersPage(query, store_.Teachers(), language);
      return res;
    }
    auto filter = [&](const ViewQuery& q, size_t limit) {
      ResultFilter f = FilterFor(q, limit);
      f.teacher = reader.teacher;
      return f;
    };
    if (req.path == kForgetPath) {
      ViewQuery student;
      student.name = query.name;
      ResultFilter f = filter(student, kCsvLimit);
      int64_t results = 0;
      for (const StoredResult& r : store_.Results(f)) results += r.post.name == query.name ? 1 : 0;
      res.body = ForgetPage(query, query.name, results, language);
      return res;
    }
    if (req.path == kCsvPath) {
      char separator = req.Param("sep") == "semicolon" ? ';' : ',';
      res.Set("Content-Disposition", "attachment; filename=\"kio-results.csv\"");
      res.type = "text/csv; charset=utf-8";
      res.body = ResultsCsv(store_.Results(filter(query, kCsvLimit)), separator);
      return res;
    }
    ViewData data;
    ViewQuery everything;
    data.allPages = store_.Activities(filter(everything, kSummaryLimit));
    data.pages = store_.Activities(filter(query, kSummaryLimit));
    data.students = store_.Students(filter(query, kSummaryLimit));
    data.latest = store_.Results(filter(query, kLatestShown));
    data.latestLimit = kLatestShown;
    data.storage = store_.Describe();
    res.body = TeacherPage(query, data, language);
    return res;
  }

  // The teacher's confirmed wish to forget a student: every result of that
  // name under their key is deleted, and the view shown again.
  MHD_Result Forget(MHD_Connection* connection, Request& req) {
    auto decoded = DecodeFormBody(req.body);
    if (!decoded) return Queue(connection, Refuse(req, 400, "the form is not well encoded"));
    std::string key, name, lang;
    for (const auto& [field, value] : *decoded) {
      if (field == "key") key = value;
      if (field == "name") name = value;
      if (field == "lang" && (value == "pt" || value == "en")) lang = value;
    }
    ViewLanguage language = ViewLanguageFor(lang, req.acceptLanguage);
    if (key.empty()) return Queue(connection, KeyNeeded(false, language));
    if (name.empty() || !IsValidUtf8(name)) return Queue(connection, Refuse(req, 400, "no student named"));
    return OnWorker(connection, req, [this, key, name, lang, language] {
      Reader reader;
      try {
        reader = Who(key);
        if (reader.role != Reader::kTeacher) return KeyNeeded(true, language);
        store_.ForgetStudent(reader.teacher, name);
      } catch (const StoreError& e) {
        return StoreUnavailable("The results could not be deleted now; try again: ", e);
      }
      Reply res;
      TeacherHeaders(res);
      res.status = 303;
      res.Set("Location",
              std::string(kTeacherPath) + "?key=" + EscapeQuery(key) + (lang.empty() ? "" : "&lang=" + lang));
      return res;
    });
  }

  ResultStore& store_;
  ServerOptions options_;
  RateLimit limit_;
  MHD_socket listening_ = MHD_INVALID_SOCKET;
  MHD_Daemon* daemon_ = nullptr;
  WorkerPool* workers_ = nullptr;

  std::mutex stopMutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  int working_ = 0;  // requests a worker holds

  std::mutex tokensMutex_;
  std::set<std::string> tokens_;  // teacher tokens known to exist

  std::mutex clockMutex_;
  std::set<Connection*> connections_;
  std::atomic<bool> clockStop_{false};
};

ResultsServer::ResultsServer(ResultStore& store, const ServerOptions& options)
    : impl_(std::make_unique<Impl>(store, options)) {}

ResultsServer::~ResultsServer() = default;

int ResultsServer::Bind() { return impl_->Bind(); }

bool ResultsServer::Run() { return impl_->Run(); }

void ResultsServer::Stop() { impl_->Stop(); }

}  // namespace kio::results
