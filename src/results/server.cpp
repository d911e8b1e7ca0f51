#include "results/server.h"

#include <httplib.h>
#include <openssl/crypto.h>
#include <sys/socket.h>

#include <iostream>

#include "results/teacher_view.h"

namespace kio::results {

namespace {

constexpr size_t kLatestShown = 200;
constexpr size_t kSummaryLimit = 5000;
constexpr size_t kCsvLimit = 1000000;

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

void AllowAnyOrigin(httplib::Response& res) { res.set_header("Access-Control-Allow-Origin", "*"); }

// The answer to a post: JSON for a page posting in the background, a short
// page for a form that opened a browser tab. The texts are ours, never the
// student's.
void Answer(const httplib::Request& req, httplib::Response& res, int status, bool ok, const std::string& what,
            const std::string& message) {
  res.status = status;
  AllowAnyOrigin(res);
  res.set_header("Cache-Control", "no-store");
  if (req.get_header_value("Accept").find("text/html") != std::string::npos) {
    std::string heading =
        ok ? "Result received / Resultado recebido" : "Result not received / Resultado n&#227;o recebido";
    std::string advice =
        ok ? "You can close this tab. / Pode fechar esta aba."
           : "Go back to the activity and send it again. / Volte &#224; atividade e envie de novo.";
    res.set_content(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"us-ascii\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
            heading + "</title>\n</head>\n<body style=\"font-family:sans-serif;margin:2rem\">\n<h1>" +
            heading + "</h1>\n<p>" + advice + "</p>\n<p style=\"color:#555\">" + EscapeHtml(message) +
            "</p>\n</body>\n</html>\n",
        "text/html; charset=us-ascii");
  } else {
    res.set_content("{\"ok\":" + std::string(ok ? "true" : "false") + ",\"" + (ok ? "result" : "error") +
                        "\":" + JsonString(what) + ",\"message\":" + JsonString(message) + "}\n",
                    "application/json");
  }
}

void Refuse(const httplib::Request& req, httplib::Response& res, int status, const std::string& message) {
  Answer(req, res, status, false, status == 429 ? "too many requests" : "refused", message);
}

bool SameKey(const std::string& given, const std::string& key) {
  return !key.empty() && given.size() == key.size() &&
         CRYPTO_memcmp(given.data(), key.data(), key.size()) == 0;
}

void TeacherHeaders(httplib::Response& res) {
  res.headers.erase("Access-Control-Allow-Origin");
  res.set_header("Cache-Control", "no-store");
  res.set_header("Referrer-Policy", "no-referrer");
  res.set_header("X-Content-Type-Options", "nosniff");
  res.set_header("Content-Security-Policy",
                 "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; frame-ancestors 'none'");
}

}  // namespace

bool IsResultsPath(const std::string& path) { return path == kResultsPath || path.ends_with(kLegacyPathEnd); }

ResultsServer::ResultsServer(ResultStore& store, const ServerOptions& options)
    : store_(store),
      options_(options),
      limit_(options.limitPerMinute, options.limitBurst),
      http_(std::make_unique<httplib::Server>()) {
  int threads = options_.threads < 2 ? 2 : options_.threads;
  http_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  http_->set_payload_max_length(kMaxBodyBytes);
  http_->set_keep_alive_max_count(1000);
  http_->set_keep_alive_timeout(5);
  http_->set_read_timeout(10, 0);
  http_->set_write_timeout(10, 0);
  http_->set_tcp_nodelay(true);
  // Only SO_REUSEADDR: a second server started on a port in use must fail
  // rather than share the port (SO_REUSEPORT, the library's default).
  http_->set_socket_options([this](int socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening_ = socket;
  });
  Routes();
}

ResultsServer::~ResultsServer() = default;

int ResultsServer::Bind() {
  int port = options_.port == 0 ? http_->bind_to_any_port(options_.listen)
                                : (http_->bind_to_port(options_.listen, options_.port) ? options_.port : -1);
  // A class pressing Send at the same moment opens dozens of connections at
  // once; the library listens with a queue of 5, which drops the rest for a
  // second or more. Listening again only enlarges the queue.
  if (port > 0 && listening_ >= 0) listen(listening_, SOMAXCONN);
  return port;
}

bool ResultsServer::Run() { return http_->listen_after_bind(); }

void ResultsServer::Stop() { http_->stop(); }

void ResultsServer::Routes() {
  // Every answer not made by a handler (a body over the limit, an unknown
  // method) still tells the page what happened and lets it read that.
  http_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (res.body.empty()) {
      std::string message = res.status == 413   ? "the post is larger than 64 KiB"
                            : res.status == 404 ? "no such address on this server"
                                                : "the request was not understood";
      Refuse(req, res, res.status, message);
    } else if (!req.path.starts_with(kTeacherPath) && !res.has_header("Access-Control-Allow-Origin")) {
      AllowAnyOrigin(res);
    }
  });

  // Anything the limit refuses is refused before it is read further.
  http_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    int retryAfter = 0;
    if (req.method == "OPTIONS" || limit_.Allow(req.remote_addr, retryAfter))
      return httplib::Server::HandlerResponse::Unhandled;
    res.set_header("Retry-After", std::to_string(retryAfter));
    Refuse(req, res, 429, "too many requests from this address; wait " + std::to_string(retryAfter) + " s");
    return httplib::Server::HandlerResponse::Handled;
  });

  http_->Options(".*", [](const httplib::Request& req, httplib::Response& res) {
    res.status = 204;
    AllowAnyOrigin(res);
    res.set_header("Access-Control-Allow-Methods", "POST, OPTIONS");
    res.set_header("Access-Control-Allow-Headers", "Content-Type, Accept");
    // Pages opened from a file or a public site may post to a server on the
    // school network (Chromium asks first).
    res.set_header("Access-Control-Allow-Private-Network", "true");
    res.set_header("Access-Control-Max-Age", "86400");
  });

  http_->Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
    if (!IsResultsPath(req.path)) return Refuse(req, res, 404, "no such address on this server");
    std::string type = Lower(req.get_header_value("Content-Type"));
    FormFields fields;
    if (type.starts_with("application/x-www-form-urlencoded")) {
      auto decoded = DecodeFormBody(req.body);
      if (!decoded) return Refuse(req, res, 400, "the form is not well encoded");
      fields = std::move(*decoded);
    } else if (req.is_multipart_form_data()) {
      for (const auto& [name, part] : req.files) fields.emplace_back(name, part.content);
    } else {
      return Refuse(req, res, 415, "send the form as application/x-www-form-urlencoded");
    }
    CheckedPost checked = CheckResultPost(fields);
    if (!checked.result) return Refuse(req, res, 400, checked.error);
    AddOutcome outcome;
    try {
      outcome = store_.Add(*checked.result, req.remote_addr, UtcNow());
    } catch (const StoreError& e) {
      std::cerr << "kio-results: " << e.what() << "\n";
      return Refuse(req, res, 503, "the result could not be stored; send it again");
    }
    if (outcome == AddOutcome::kStored)
      Answer(req, res, 200, true, "stored", "result stored");
    else
      Answer(req, res, 200, true, "duplicate", "this result was already stored");
  });

  http_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    if (IsResultsPath(req.path)) {
      res.set_header("Allow", "POST, OPTIONS");
      return Refuse(req, res, 405, "results are sent here with POST");
    }
    if (req.path == "/") {
      AllowAnyOrigin(res);
      res.set_content(
          "<!DOCTYPE html>\n<html>\n<head>\n<meta "
          "charset=\"us-ascii\">\n<title>kio-results</title>\n</head>\n"
          "<body style=\"font-family:sans-serif;margin:2rem\">\n<h1>kio-results</h1>\n"
          "<p>This server receives the results that students send from KIO activity pages.</p>\n"
          "<p>Este servidor recebe os resultados que os alunos enviam das atividades do KIO.</p>\n"
          "</body>\n</html>\n",
          "text/html; charset=us-ascii");
      return;
    }
    if (req.path != kTeacherPath && req.path != kCsvPath)
      return Refuse(req, res, 404, "no such address on this server");

    TeacherHeaders(res);
    ViewLanguage language = LanguageFromHeader(req.get_header_value("Accept-Language"));
    std::string given = req.get_param_value("key");
    std::string bearer = req.get_header_value("Authorization");
    if (given.empty() && bearer.starts_with("Bearer ")) given = bearer.substr(7);
    if (!SameKey(given, options_.teacherKey)) {
      res.status = given.empty() ? 401 : 403;
      res.set_content(KeyNeededPage(!given.empty(), language), "text/html; charset=us-ascii");
      return;
    }
    ViewQuery query;
    query.key = options_.teacherKey;
    for (auto [field, name] :
         {std::pair{&query.file, "file"}, {&query.name, "name"}, {&query.from, "from"}, {&query.to, "to"}}) {
      *field = req.get_param_value(name);
      if (!IsValidUtf8(*field) || field->size() > 300) field->clear();
    }
    try {
      if (req.path == kCsvPath) {
        char separator = req.get_param_value("sep") == "semicolon" ? ';' : ',';
        res.set_header("Content-Disposition", "attachment; filename=\"kio-results.csv\"");
        res.set_content(ResultsCsv(store_.Results(FilterFor(query, kCsvLimit)), separator),
                        "text/csv; charset=utf-8");
        return;
      }
      ViewData data;
      ViewQuery everything;
      data.allPages = store_.Activities(FilterFor(everything, kSummaryLimit));
      data.pages = store_.Activities(FilterFor(query, kSummaryLimit));
      data.students = store_.Students(FilterFor(query, kSummaryLimit));
      data.latest = store_.Results(FilterFor(query, kLatestShown));
      data.latestLimit = kLatestShown;
      data.storage = store_.Describe();
      res.set_content(TeacherPage(query, data, language), "text/html; charset=us-ascii");
    } catch (const StoreError& e) {
      std::cerr << "kio-results: " << e.what() << "\n";
      res.status = 503;
      res.set_content("The results cannot be read now: " + EscapeHtml(e.what()) + "\n",
                      "text/plain; charset=utf-8");
    }
  });
}

}  // namespace kio::results
