// kio-results against a real database: what pages send, what the server
// answers, what it stores, and what the teacher sees. One set of tests for
// both stores; this file is built once for SQLite and once for PostgreSQL
// (KIO_TEST_POSTGRES).
#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>

#include <atomic>
#include <pqxx/pqxx>
#include <set>
#include <thread>

#include "kio_test.h"
#include "results/server.h"
#include "results/store.h"
#include "results/teacher_view.h"
#include "temp_postgres.h"

namespace kio::results {
namespace {

using test::TempDir;

// A database for one test: a fresh SQLite file, or fresh tables in a
// PostgreSQL cluster shared by the whole suite.
class StoreFixture {
 public:
  static void StartSuite() {
#ifdef KIO_TEST_POSTGRES
    postgres_ = new test::TempPostgres();
#endif
  }
  static void EndSuite() {
#ifdef KIO_TEST_POSTGRES
    delete postgres_;
    postgres_ = nullptr;
#endif
  }
  // Empty when the database can be had; else why not.
  static std::string Unavailable() {
#ifdef KIO_TEST_POSTGRES
    if (!postgres_ || !postgres_->Started()) return postgres_ ? postgres_->Problem() : "not started";
#endif
    return "";
  }
  std::unique_ptr<ResultStore> Open() {
#ifdef KIO_TEST_POSTGRES
    {
      pqxx::connection c(postgres_->Connection());
      pqxx::work w(c);
      w.exec("DROP TABLE IF EXISTS kio_results, kio_settings");
      w.commit();
    }
    return OpenPostgresStore(postgres_->Connection(), 4);
#else
    return OpenSqliteStore((dir_.path() / "data" / "results.sqlite").string());
#endif
  }
  // Takes the results table away behind the server's back.
  void Break() {
#ifdef KIO_TEST_POSTGRES
    pqxx::connection c(postgres_->Connection());
    pqxx::work w(c);
    w.exec("DROP TABLE kio_results");
    w.commit();
#else
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_.path() / "data" / "results.sqlite").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "DROP TABLE kio_results", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
#endif
  }

 private:
  TempDir dir_;
#ifdef KIO_TEST_POSTGRES
  static inline test::TempPostgres* postgres_ = nullptr;
#endif
};

const char kKey[] = "0123456789abcdef0123456789abcdef";

// The server on a loopback port, run on a thread of its own.
class RunningServer {
 public:
  RunningServer(ResultStore& store, ServerOptions options) : server_(store, WithDefaults(options)) {
    port_ = server_.Bind();
    if (port_ > 0) thread_ = std::thread([this] { server_.Run(); });
  }
  ~RunningServer() {
    server_.Stop();
    if (thread_.joinable()) thread_.join();
  }
  int port() const { return port_; }
  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    return client;
  }

 private:
  static ServerOptions WithDefaults(ServerOptions o) {
    o.listen = "127.0.0.1";
    o.port = 0;
    o.threads = 8;
    if (o.teacherKey.empty()) o.teacherKey = kKey;
    return o;
  }
  ResultsServer server_;
  int port_ = -1;
  std::thread thread_;
};

// The form the pages send, field by field (URL-encoded by Body()).
struct Form {
  std::vector<std::pair<std::string, std::string>> fields = {
      {"name", "Ana Souza"},  {"file", "aula1.htm"},
      {"score", "75%"},       {"details", "Right: 3/4\n1. gato +"},
      {"date", "2026-12-10"}, {"time", "14:05"},
      {"activity", "cloze"},
  };
  Form& Set(const std::string& name, const std::string& value) {
    for (auto& f : fields)
      if (f.first == name) {
        f.second = value;
        return *this;
      }
    fields.emplace_back(name, value);
    return *this;
  }
  Form& Drop(const std::string& name) {
    std::erase_if(fields, [&](auto& f) { return f.first == name; });
    return *this;
  }
  std::string Body() const {
    std::string body;
    for (const auto& [name, value] : fields) {
      if (!body.empty()) body += '&';
      body += EscapeQuery(name) + "=" + EscapeQuery(value);
    }
    return body;
  }
};

const char kForm[] = "application/x-www-form-urlencoded";

// The suite is named after its store, so that both builds of this file can
// be registered side by side.
#ifdef KIO_TEST_POSTGRES
#define ResultsServerTest ResultsPostgresTest
#else
#define ResultsServerTest ResultsSqliteTest
#endif

class ResultsServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StoreFixture::StartSuite(); }
  static void TearDownTestSuite() { StoreFixture::EndSuite(); }
  void SetUp() override {
    std::string why = StoreFixture::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "no PostgreSQL for this test: " << why;
    store_ = database_.Open();
  }
  httplib::Result Post(RunningServer& server, const std::string& path, const std::string& body,
                       const std::string& type = kForm, httplib::Headers headers = {}) {
    return server.Client().Post(path, headers, body, type);
  }

  StoreFixture database_;
  std::unique_ptr<ResultStore> store_;
};

TEST_F(ResultsServerTest, StoresEveryFieldPostedToEitherPathAndAnswersAnyOrigin) {
  RunningServer server(*store_, {});
  ASSERT_GT(server.port(), 0);
  Form first;
  first.Set("name", "Jos\xC3\xA9 da Concei\xC3\xA7\xC3\xA3o")
      .Set("details", "Acertos: 2/2\r\n1. gato +\r\n2. mato +");
  Form second;
  second.Set("name", "Bruno").Set("score", "3/4").Set("time", "14:06:30");
  for (auto [path, form] : {std::pair{"/results", &first}, {"/escola/kio/php2/envprint.php", &second}}) {
    auto res = Post(server, path, form->Body(), kForm, {{"Origin", "null"}});
    ASSERT_TRUE(res) << path;
    EXPECT_EQ(res->status, 200) << path << ": " << res->body;
    EXPECT_EQ(res->get_header_value("Access-Control-Allow-Origin"), "*") << path;
    EXPECT_EQ(res->get_header_value("Content-Type"), "application/json");
    EXPECT_NE(res->body.find("\"result\":\"stored\""), std::string::npos) << res->body;
  }
  auto results = store_->Results({});
  ASSERT_EQ(results.size(), 2u);
  const StoredResult& ana = results[1];  // newest first
  EXPECT_EQ(ana.post.name, "Jos\xC3\xA9 da Concei\xC3\xA7\xC3\xA3o");
  EXPECT_EQ(ana.post.file, "aula1.htm");
  EXPECT_EQ(ana.post.activity, "cloze");
  EXPECT_EQ(ana.post.score, "75%");
  EXPECT_EQ(ana.post.percent, 75);
  EXPECT_EQ(ana.post.details, "Acertos: 2/2\n1. gato +\n2. mato +");
  EXPECT_EQ(ana.post.date, "2026-12-10");
  EXPECT_EQ(ana.post.time, "14:05");
  EXPECT_EQ(ana.address, "127.0.0.1");
  EXPECT_EQ(ana.receivedAt.size(), 19u);
  EXPECT_LE(ana.receivedAt, UtcNow());
  EXPECT_EQ(results[0].post.name, "Bruno");
  EXPECT_EQ(results[0].post.percent, 75);
  EXPECT_EQ(results[0].post.time, "14:06:30");
}

TEST_F(ResultsServerTest, PreflightAndTheFormsOwnTabGetTheirAnswers) {
  RunningServer server(*store_, {});
  auto client = server.Client();
  auto preflight = client.Options("/results", {{"Origin", "null"},
                                               {"Access-Control-Request-Method", "POST"},
                                               {"Access-Control-Request-Headers", "content-type"}});
  ASSERT_TRUE(preflight);
  EXPECT_EQ(preflight->status, 204);
  EXPECT_EQ(preflight->get_header_value("Access-Control-Allow-Origin"), "*");
  EXPECT_NE(preflight->get_header_value("Access-Control-Allow-Methods").find("POST"), std::string::npos);
  EXPECT_NE(preflight->get_header_value("Access-Control-Allow-Headers").find("Content-Type"),
            std::string::npos);
  EXPECT_EQ(preflight->get_header_value("Access-Control-Allow-Private-Network"), "true");

  // A form posted in a new tab gets a page the student can read.
  auto res = Post(server, "/results", Form().Body(), kForm,
                  {{"Accept", "text/html,application/xhtml+xml,*/*;q=0.8"}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=us-ascii");
  EXPECT_NE(res->body.find("Result received"), std::string::npos);
  // multipart/form-data (a FormData body) is read too.
  httplib::MultipartFormDataItems items;
  Form carla;
  carla.Set("name", "Carla");
  for (const auto& [name, value] : carla.fields) items.push_back({name, value, "", ""});
  auto multipart = client.Post("/results", items);
  ASSERT_TRUE(multipart);
  EXPECT_EQ(multipart->status, 200) << multipart->body;
  EXPECT_EQ(store_->Count(), 2);
}

// Each bad request gets its status and a readable answer, stores nothing and
// leaves what is stored alone.
TEST_F(ResultsServerTest, BadInputsGetTheirStatusAndStoreNothing) {
  struct Case {
    const char* what;
    std::string method, path, type, body;
    int status;
  };
  const std::string big(70 * 1024, 'a');
  const Case cases[] = {
      {"name missing", "POST", "/results", kForm, Form().Drop("name").Body(), 400},
      {"name only blanks", "POST", "/results", kForm, Form().Set("name", "   ").Body(), 400},
      {"name over 100 characters", "POST", "/results", kForm,
       Form().Set("name", std::string(101, 'x')).Body(), 400},
      {"name with a control character", "POST", "/results", kForm, Form().Set("name", "Ana\x01").Body(), 400},
      {"name not UTF-8", "POST", "/results", kForm, "name=Jos%E9&" + Form().Drop("name").Body(), 400},
      {"overlong UTF-8", "POST", "/results", kForm, "name=%C0%AF&" + Form().Drop("name").Body(), 400},
      {"UTF-16 surrogate", "POST", "/results", kForm, "name=%ED%A0%80&" + Form().Drop("name").Body(), 400},
      {"malformed escape", "POST", "/results", kForm, Form().Body() + "&x=%G1", 400},
      {"name sent twice", "POST", "/results", kForm, Form().Body() + "&name=Eve", 400},
      {"file missing", "POST", "/results", kForm, Form().Drop("file").Body(), 400},
      {"details over 4000 characters", "POST", "/results", kForm,
       Form().Set("details", std::string(4001, 'd')).Body(), 400},
      {"score over 100%", "POST", "/results", kForm, Form().Set("score", "101%").Body(), 400},
      {"score not a number", "POST", "/results", kForm, Form().Set("score", "lots").Body(), 400},
      {"score over its total", "POST", "/results", kForm, Form().Set("score", "5/4").Body(), 400},
      {"score out of nothing", "POST", "/results", kForm, Form().Set("score", "0/0").Body(), 400},
      {"negative score", "POST", "/results", kForm, Form().Set("score", "-5%").Body(), 400},
      {"date that does not exist", "POST", "/results", kForm, Form().Set("date", "2026-02-30").Body(), 400},
      {"date in another form", "POST", "/results", kForm, Form().Set("date", "10/12/2026").Body(), 400},
      {"time past midnight", "POST", "/results", kForm, Form().Set("time", "24:00").Body(), 400},
      {"activity with markup", "POST", "/results", kForm, Form().Set("activity", "<b>x</b>").Body(), 400},
      {"id too short", "POST", "/results", kForm, Form().Set("id", "abc").Body(), 400},
      {"empty body", "POST", "/results", kForm, "", 400},
      {"JSON body", "POST", "/results", "application/json", "{\"name\":\"Ana\"}", 415},
      {"plain text body", "POST", "/results", "text/plain", Form().Body(), 415},
      {"body over 64 KiB", "POST", "/results", kForm, "name=" + big, 413},
      {"path outside the API", "POST", "/admin/results", kForm, Form().Body(), 404},
      {"script path without its folder", "POST", "/envprint.php", kForm, Form().Body(), 404},
      {"reading the results path", "GET", "/results", "", "", 405},
      {"unknown page", "GET", "/results/../etc/passwd", "", "", 404},
  };
  RunningServer server(*store_, {});
  // A result stored before, which none of them may touch.
  ASSERT_EQ(Post(server, "/results", Form().Set("name", "Antes").Body())->status, 200);
  const auto before = store_->Results({});
  for (const Case& c : cases) {
    auto client = server.Client();
    auto res = c.method == "POST" ? client.Post(c.path, c.body, c.type) : client.Get(c.path);
    ASSERT_TRUE(res) << c.what;
    EXPECT_EQ(res->status, c.status) << c.what << ": " << res->body;
    EXPECT_EQ(res->get_header_value("Access-Control-Allow-Origin"), "*") << c.what;
    EXPECT_NE(res->body.find("\"ok\":false"), std::string::npos) << c.what << ": " << res->body;
    EXPECT_EQ(store_->Count(), 1) << c.what;
  }
  const auto after = store_->Results({});
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].id, before[0].id);
  EXPECT_EQ(after[0].post.name, "Antes");
  EXPECT_EQ(after[0].post.details, before[0].post.details);
  EXPECT_EQ(after[0].receivedAt, before[0].receivedAt);
  // The server still works after all of them.
  auto good = Post(server, "/results", Form().Body());
  ASSERT_TRUE(good);
  EXPECT_EQ(good->status, 200);
  EXPECT_EQ(store_->Count(), 2);
}

TEST_F(ResultsServerTest, APostSentAgainIsStoredOnce) {
  RunningServer server(*store_, {});
  // The same form twice (a double click, or a retry after a lost answer).
  for (int i = 0; i < 2; ++i) {
    auto res = Post(server, "/results", Form().Body());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->body.find(i == 0 ? "\"stored\"" : "\"duplicate\""), std::string::npos) << res->body;
  }
  EXPECT_EQ(store_->Count(), 1);
  // Another attempt with another score is another result.
  ASSERT_EQ(Post(server, "/results", Form().Set("score", "100%").Body())->status, 200);
  EXPECT_EQ(store_->Count(), 2);

  // A page that sends an id: its retries, even many at once, count once.
  const std::string id = "retry-0123456789";
  std::atomic<int> ok{0};
  std::vector<std::thread> senders;
  for (int i = 0; i < 8; ++i) {
    senders.emplace_back([&, i] {
      auto res = server.Client().Post(
          "/results", Form().Set("id", id).Set("time", "15:0" + std::to_string(i)).Body(), kForm);
      if (res && res->status == 200) ++ok;
    });
  }
  for (auto& t : senders) t.join();
  EXPECT_EQ(ok, 8);
  EXPECT_EQ(store_->Count(), 3);
}

TEST_F(ResultsServerTest, AResultTheDatabaseCouldNotStoreIsNotAcknowledged) {
  RunningServer server(*store_, {});
  ASSERT_EQ(Post(server, "/results", Form().Body())->status, 200);
  database_.Break();
  auto res = Post(server, "/results", Form().Set("name", "Depois").Body());
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 503);
  EXPECT_EQ(res->get_header_value("Access-Control-Allow-Origin"), "*");
  EXPECT_NE(res->body.find("\"ok\":false"), std::string::npos) << res->body;
  // The teacher view says it cannot read the results rather than show none.
  auto view = server.Client().Get(std::string("/teacher?key=") + kKey);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->status, 503);
}

TEST_F(ResultsServerTest, AFloodFromOneAddressIsHeldBack) {
  ServerOptions options;
  options.limitPerMinute = 10;
  options.limitBurst = 10;
  RunningServer server(*store_, options);
  int stored = 0, refused = 0;
  for (int i = 0; i < 15; ++i) {
    auto res = Post(server, "/results", Form().Set("name", "Flood " + std::to_string(i)).Body());
    ASSERT_TRUE(res);
    if (res->status == 200) {
      ++stored;
    } else {
      EXPECT_EQ(res->status, 429);
      EXPECT_EQ(res->get_header_value("Access-Control-Allow-Origin"), "*");
      EXPECT_GE(std::stoi(res->get_header_value("Retry-After")), 1);
      ++refused;
    }
  }
  EXPECT_EQ(stored, 10);
  EXPECT_EQ(refused, 5);
  EXPECT_EQ(store_->Count(), 10);
}

TEST_F(ResultsServerTest, TheTeacherViewRefusesRequestsWithoutTheKey) {
  RunningServer server(*store_, {});
  ASSERT_EQ(Post(server, "/results", Form().Set("name", "Secreta").Body())->status, 200);
  auto client = server.Client();
  struct Case {
    std::string path;
    httplib::Headers headers;
    int status;
  };
  const Case cases[] = {
      {"/teacher", {}, 401},
      {"/teacher/results.csv", {}, 401},
      {"/teacher?key=", {}, 401},
      {"/teacher?key=wrong", {}, 403},
      {std::string("/teacher?key=") + std::string(kKey).substr(0, 31), {}, 403},
      {std::string("/teacher?key=") + kKey + "0", {}, 403},
      {"/teacher/results.csv?key=0123456789abcdef0123456789abcdeF", {}, 403},
      {"/teacher", {{"Authorization", "Bearer nope"}}, 403},
      {"/teacher", {{"Authorization", std::string("Bearer ") + kKey}}, 200},
      {std::string("/teacher?key=") + kKey, {}, 200},
      {std::string("/teacher/results.csv?key=") + kKey, {}, 200},
  };
  for (const Case& c : cases) {
    auto res = client.Get(c.path, c.headers);
    ASSERT_TRUE(res) << c.path;
    EXPECT_EQ(res->status, c.status) << c.path;
    EXPECT_EQ(res->body.find("Secreta") != std::string::npos, c.status == 200) << c.path;
    EXPECT_FALSE(res->has_header("Access-Control-Allow-Origin")) << c.path;
    EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store") << c.path;
  }
}

TEST_F(ResultsServerTest, StudentTextsAreEscapedInTheViewAndDisarmedInTheCsv) {
  RunningServer server(*store_, {});
  const std::string name = "<script>alert('x')</script> \"Z\xC3\xA9\" & Co";
  const std::string details = "<img src=x onerror=alert(1)>\n=HYPERLINK(\"http://x\")";
  ASSERT_EQ(Post(server, "/results", Form().Set("name", name).Set("details", details).Body())->status, 200);
  ASSERT_EQ(Post(server, "/results", Form().Set("name", "=1+2").Set("file", "a,b\"c.htm").Body())->status,
            200);

  auto page = server.Client().Get(std::string("/teacher?key=") + kKey);
  ASSERT_TRUE(page);
  ASSERT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=us-ascii");
  for (unsigned char c : page->body) ASSERT_LT(c, 0x80) << "the view is pure ASCII";
  EXPECT_EQ(page->body.find("<script"), std::string::npos);
  EXPECT_EQ(page->body.find("<img"), std::string::npos);
  EXPECT_NE(page->body.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &quot;Z&#233;&quot; &amp; Co"),
            std::string::npos);
  EXPECT_NE(page->body.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);

  auto csv = server.Client().Get(std::string("/teacher/results.csv?key=") + kKey);
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->get_header_value("Content-Type"), "text/csv; charset=utf-8");
  EXPECT_TRUE(
      csv->body.starts_with("\xEF\xBB\xBF"
                            "received,student,page,activity,score,percent,details,"
                            "page date,page time,sent from\r\n"));
  EXPECT_NE(csv->body.find(",'=1+2,\"a,b\"\"c.htm\",cloze,75%,75,"), std::string::npos) << csv->body;
  EXPECT_NE(csv->body.find(",\"<script>alert('x')</script> \"\"Z\xC3\xA9\"\" & Co\",aula1.htm,"),
            std::string::npos);
  EXPECT_NE(csv->body.find("\"<img src=x onerror=alert(1)>\r\n=HYPERLINK(\"\"http://x\"\")\""),
            std::string::npos);

  // The semicolon form for spreadsheets in Portuguese.
  auto semicolon = server.Client().Get(std::string("/teacher/results.csv?sep=semicolon&key=") + kKey);
  ASSERT_TRUE(semicolon);
  EXPECT_TRUE(semicolon->body.starts_with("\xEF\xBB\xBFreceived;student;page;"));
  EXPECT_NE(semicolon->body.find(";'=1+2;\"a,b\"\"c.htm\";"), std::string::npos);
}

TEST_F(ResultsServerTest, TheViewSumsUpEachStudentAndFilters) {
  RunningServer server(*store_, {});
  const std::pair<const char*, const char*> posts[] = {
      {"Ana", "50%"}, {"Ana", "100%"}, {"Ana", "75%"}, {"Juliana", "-"}, {"Bruno", "1/4"}};
  int minute = 0;
  for (auto [name, score] : posts) {
    Form form;
    form.Set("name", name).Set("score", score).Set("time", "10:1" + std::to_string(minute++));
    if (std::string(name) == "Bruno") form.Set("file", "aula2.htm").Set("activity", "eclipse");
    ASSERT_EQ(Post(server, "/results", form.Body())->status, 200);
  }
  auto students = store_->Students({});
  ASSERT_EQ(students.size(), 3u);
  EXPECT_EQ(students[0].name, "Ana");
  EXPECT_EQ(students[0].file, "aula1.htm");
  EXPECT_EQ(students[0].attempts, 3);
  EXPECT_EQ(students[0].latestScore, "75%");
  EXPECT_EQ(students[0].best, 100);
  EXPECT_EQ(students[1].name, "Juliana");
  EXPECT_FALSE(students[1].best.has_value());
  EXPECT_EQ(students[2].name, "Bruno");
  EXPECT_EQ(students[2].file, "aula2.htm");
  EXPECT_EQ(students[2].activity, "eclipse");
  EXPECT_EQ(students[2].best, 25);

  auto pages = store_->Activities({});
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].file, "aula1.htm");
  EXPECT_EQ(pages[0].results, 4);
  EXPECT_EQ(pages[0].students, 2);
  EXPECT_EQ(pages[0].average, 75);  // "-" is no score, not zero

  // Filters by page, by part of a name in any case, by day received.
  ResultFilter byName;
  byName.name = "AN";
  EXPECT_EQ(store_->Results(byName).size(), 4u);
  ResultFilter wildcard;
  wildcard.name = "%";
  EXPECT_EQ(store_->Results(wildcard).size(), 0u);
  ViewQuery query;
  query.key = kKey;
  query.file = "aula2.htm";
  EXPECT_EQ(store_->Results(FilterFor(query, 100)).size(), 1u);
  query = {};
  // The days the results arrived (two when the test runs across midnight).
  auto all = store_->Results({});
  query.from = LocalTime(all.back().receivedAt).substr(0, 10);
  query.to = LocalTime(all.front().receivedAt).substr(0, 10);
  EXPECT_EQ(store_->Results(FilterFor(query, 100)).size(), 5u);
  query.from = query.to = "2001-01-01";
  EXPECT_EQ(store_->Results(FilterFor(query, 100)).size(), 0u);

  // The same through the browser's view and the CSV.
  auto page = server.Client().Get(std::string("/teacher?file=aula1.htm&name=ana&key=") + kKey);
  ASSERT_TRUE(page);
  EXPECT_NE(page->body.find("<td>aula1.htm</td><td>Ana</td><td class=\"n\">3</td><td class=\"n\">75%</td>"
                            "<td class=\"n\">100%</td>"),
            std::string::npos)
      << page->body;
  EXPECT_EQ(page->body.find("<td>Bruno</td>"), std::string::npos);
  auto csv = server.Client().Get(std::string("/teacher/results.csv?name=bru&key=") + kKey);
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->body.find(",Ana,"), std::string::npos);
  EXPECT_NE(csv->body.find(",Bruno,aula2.htm,eclipse,1/4,25,"), std::string::npos);

  // In Portuguese when the browser asks for it.
  auto pt = server.Client().Get(std::string("/teacher?key=") + kKey,
                                {{"Accept-Language", "pt-BR,pt;q=0.9,en;q=0.8"}});
  ASSERT_TRUE(pt);
  EXPECT_NE(pt->body.find("<html lang=\"pt\">"), std::string::npos);
  EXPECT_NE(pt->body.find("sep=semicolon"), std::string::npos);
}

TEST_F(ResultsServerTest, TheTeacherKeyIsMadeOnceAndKept) {
  std::string first = store_->TeacherKey("first-key-0000000000000000000000");
  EXPECT_EQ(first, "first-key-0000000000000000000000");
  EXPECT_EQ(store_->TeacherKey("second-key-000000000000000000000"), first);
  store_->ReplaceTeacherKey("third-key-0000000000000000000000");
  EXPECT_EQ(store_->TeacherKey("fourth-key-000000000000000000000"), "third-key-0000000000000000000000");
}

}  // namespace
}  // namespace kio::results
