// Teachers apart on one server: each teacher's pages post under their own
// token and each key shows only its own results; the administrator's key
// lists the teachers; results kept before teachers existed stay with the
// first key. Forgetting a student, and the view's language switch.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>

#include <filesystem>
#include <thread>

#include "kio_test.h"
#include "results/server.h"
#include "results/store.h"
#include "server_process.h"

namespace kio::results {
namespace {

namespace fs = std::filesystem;

const char kForm[] = "application/x-www-form-urlencoded";

std::string Body(const std::string& name, const std::string& file = "aula.htm") {
  return "name=" + name + "&file=" + file +
         "&score=75%25&details=x&date=2026-12-10&time=10:00&activity=cloze";
}

// What a command printed after `label` on its line.
std::string After(const std::string& printed, const std::string& label) {
  size_t at = printed.find(label);
  if (at == std::string::npos) return "";
  at += label.size();
  return printed.substr(at, printed.find('\n', at) - at);
}

std::string KeyOf(const std::string& viewAddress) {
  size_t at = viewAddress.find("key=");
  return at == std::string::npos ? "" : viewAddress.substr(at + 4);
}

TEST(ResultsTeachersTest, EachTeachersKeySeesOnlyTheResultsPostedUnderTheirToken) {
  test::TempDir data, program;
  test::CopyProgramFolder(program.path());
  std::string program_ = std::string(KIO_PROGRAM_DIR) + "/kio-results";
  // Results kept before there were teachers: they stay the first key's.
  {
    test::ServerProcess before({"--listen", "127.0.0.1", "--port", "0", "--data", data.str()});
    ASSERT_TRUE(before.Ready()) << before.Printed();
    httplib::Client http("127.0.0.1", before.port());
    ASSERT_EQ(http.Post("/results", Body("Antigo"), kForm)->status, 200);
  }
  auto add = [&](const std::string& name) {
    return test::RunCommand(test::ShellQuote(program_) + " --listen 127.0.0.1 --data " +
                            test::ShellQuote(data.str()) + " --add-teacher " + test::ShellQuote(name) +
                            " 2>&1");
  };
  test::RunResult ana = add("Ana Lima"), bruno = add("Bruno");
  ASSERT_EQ(ana.status, 0) << ana.transcript;
  ASSERT_EQ(bruno.status, 0) << bruno.transcript;
  std::string anaKey = After(ana.transcript, "Key: "), brunoKey = After(bruno.transcript, "Key: ");
  std::string anaCourse = After(ana.transcript, "Course address (for Configura.txt): ");
  std::string anaToken = anaCourse.substr(anaCourse.rfind('/') + 1);
  std::string brunoCourse = After(bruno.transcript, "Course address (for Configura.txt): ");
  std::string brunoToken = brunoCourse.substr(brunoCourse.rfind('/') + 1);
  EXPECT_EQ(anaKey.size(), 32u) << ana.transcript;
  EXPECT_TRUE(IsTeacherToken(anaToken)) << ana.transcript;
  EXPECT_NE(anaToken, brunoToken);
  EXPECT_NE(anaKey, brunoKey);
  // Asked again, the same teacher keeps the same key.
  EXPECT_EQ(After(add("Ana Lima").transcript, "Key: "), anaKey);

  // --configure with --teacher writes Ana's course address.
  test::ServerProcess server({"--configure", program.str(), "--teacher", "Ana Lima", "--listen", "127.0.0.1",
                              "--port", "0", "--data", data.str(), "--limit", "0"});
  ASSERT_TRUE(server.Ready()) << server.Printed();
  std::string configured = test::ReadFile(program / "Configura.txt");
  EXPECT_EQ(configured, "http://127.0.0.1:" + std::to_string(server.port()) + "/results/" + anaToken);
  std::string firstKey = KeyOf(server.Line("Teacher view: "));
  std::string adminKey = KeyOf(server.Line("Administrator view (the teachers): "));
  ASSERT_EQ(firstKey.size(), 32u) << server.Printed();
  ASSERT_EQ(adminKey.size(), 32u) << server.Printed();

  httplib::Client http("127.0.0.1", server.port());
  ASSERT_EQ(http.Post("/results/" + anaToken, Body("Aluna+de+Ana"), kForm)->status, 200);
  ASSERT_EQ(http.Post("/results/" + brunoToken, Body("Aluno+de+Bruno"), kForm)->status, 200);
  // The same post to two teachers is a result of each.
  ASSERT_EQ(http.Post("/results/" + anaToken, Body("Gemeo"), kForm)->status, 200);
  ASSERT_EQ(http.Post("/results/" + brunoToken, Body("Gemeo"), kForm)->status, 200);
  // A token nobody has is refused, not stored out of everyone's sight.
  auto unknown = http.Post("/results/00000000000000ff", Body("Perdido"), kForm);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);

  struct Case {
    std::string who, key;
    std::vector<std::string> sees, seesNot;
  };
  const Case cases[] = {
      {"Ana", anaKey, {"Aluna de Ana", "Gemeo"}, {"Aluno de Bruno", "Antigo", "Perdido"}},
      {"Bruno", brunoKey, {"Aluno de Bruno", "Gemeo"}, {"Aluna de Ana", "Antigo"}},
      {"the first key", firstKey, {"Antigo"}, {"Aluna de Ana", "Aluno de Bruno", "Gemeo"}},
  };
  for (const Case& c : cases) {
    auto view = http.Get("/teacher?key=" + c.key);
    auto csv = http.Get("/teacher/results.csv?key=" + c.key);
    ASSERT_TRUE(view && csv) << c.who;
    EXPECT_EQ(view->status, 200) << c.who;
    for (const std::string& name : c.sees) {
      EXPECT_NE(view->body.find(name), std::string::npos) << c.who << " misses " << name;
      EXPECT_NE(csv->body.find(name), std::string::npos) << c.who << " misses " << name << " in the CSV";
    }
    for (const std::string& name : c.seesNot) {
      EXPECT_EQ(view->body.find(name), std::string::npos) << c.who << " sees " << name;
      EXPECT_EQ(csv->body.find(name), std::string::npos) << c.who << " sees " << name << " in the CSV";
    }
  }
  // The administrator sees the teachers, not their students.
  auto admin = http.Get("/teacher?key=" + adminKey);
  ASSERT_TRUE(admin);
  EXPECT_EQ(admin->status, 200);
  EXPECT_NE(admin->body.find("Ana Lima"), std::string::npos) << admin->body;
  EXPECT_NE(admin->body.find("/results/" + brunoToken), std::string::npos);
  EXPECT_EQ(admin->body.find("Aluna"), std::string::npos);
  EXPECT_EQ(http.Get("/teacher?key=" + std::string(32, '0'))->status, 403);
}

TEST(ResultsTeachersTest, AStoreFromBeforeTeachersKeepsItsResultsForTheFirstKey) {
  test::TempDir data;
  std::string path = (data.path() / "results.sqlite").string();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(
                db,
                "CREATE TABLE kio_results (id INTEGER PRIMARY KEY, received_at TEXT NOT NULL, address TEXT "
                "NOT NULL, activity TEXT NOT NULL, file TEXT NOT NULL, name TEXT NOT NULL, score TEXT NOT "
                "NULL, percent INTEGER, details TEXT NOT NULL, page_date TEXT NOT NULL, page_time TEXT NOT "
                "NULL, dedup_key TEXT NOT NULL UNIQUE);"
                "INSERT INTO kio_results VALUES (1, '2026-12-01 10:00:00', '10.0.0.5', 'cloze', 'a.htm', "
                "'Velha', '50%', 50, '', '2026-12-01', '10:00', 'id:old-result-1');",
                nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  auto store = OpenSqliteStore(path);
  auto results = store->Results({});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].post.name, "Velha");
  ResultFilter someone;
  someone.teacher = "0123456789abcdef";
  EXPECT_TRUE(store->Results(someone).empty());
}

// The server on a loopback port over a SQLite store.
struct Served {
  Served() {
    store = OpenSqliteStore((dir.path() / "results.sqlite").string());
    ServerOptions options;
    options.listen = "127.0.0.1";
    options.port = 0;
    options.limitPerMinute = 0;
    options.teacherKey = "0123456789abcdef0123456789abcdef";
    options.adminKey = "fedcba9876543210fedcba9876543210";
    server = std::make_unique<ResultsServer>(*store, options);
    port = server->Bind();
    thread = std::thread([this] { server->Run(); });
  }
  ~Served() {
    server->Stop();
    thread.join();
  }
  test::TempDir dir;
  std::unique_ptr<ResultStore> store;
  std::unique_ptr<ResultsServer> server;
  int port = -1;
  std::thread thread;
};

TEST(ResultsTeachersTest, ForgettingAStudentAsksFirstThenDeletesAllTheirResults) {
  Served s;
  const std::string key = "0123456789abcdef0123456789abcdef";
  Teacher other = s.store->AddTeacher("Outra", "00000000000000aa", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
  httplib::Client http("127.0.0.1", s.port);
  for (const char* page : {"a.htm", "b.htm"})
    ASSERT_EQ(http.Post("/results", Body("Carla", page), kForm)->status, 200);
  ASSERT_EQ(http.Post("/results", Body("Carla", "c.htm") + "&id=carla-third-1", kForm)->status, 200);
  ASSERT_EQ(http.Post("/results", Body("Davi"), kForm)->status, 200);
  ASSERT_EQ(http.Post("/results/" + other.token, Body("Carla"), kForm)->status, 200);

  // The view offers it; the link asks first and deletes nothing.
  auto view = http.Get("/teacher?key=" + key);
  ASSERT_TRUE(view);
  EXPECT_NE(view->body.find("/teacher/forget?key=" + key + "&amp;name=Carla"), std::string::npos);
  auto ask = http.Get("/teacher/forget?key=" + key + "&name=Carla");
  ASSERT_TRUE(ask);
  EXPECT_EQ(ask->status, 200);
  EXPECT_NE(ask->body.find("<form method=\"post\" action=\"/teacher/forget\">"), std::string::npos)
      << ask->body;
  EXPECT_NE(ask->body.find("3 results of this student"), std::string::npos) << ask->body;
  EXPECT_EQ(s.store->Count(), 5);

  // A wrong key deletes nothing.
  auto wrong = http.Post("/teacher/forget", "key=" + std::string(32, '1') + "&name=Carla", kForm);
  ASSERT_TRUE(wrong);
  EXPECT_EQ(wrong->status, 403);
  EXPECT_EQ(s.store->Count(), 5);

  auto done = http.Post("/teacher/forget", "key=" + key + "&name=Carla&lang=pt", kForm);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->status, 303);
  EXPECT_EQ(done->get_header_value("Location"), "/teacher?key=" + key + "&lang=pt");
  auto after = http.Get("/teacher?key=" + key);
  auto csv = http.Get("/teacher/results.csv?key=" + key);
  ASSERT_TRUE(after && csv);
  EXPECT_EQ(after->body.find("Carla"), std::string::npos);
  EXPECT_EQ(csv->body.find("Carla"), std::string::npos);
  EXPECT_NE(csv->body.find("Davi"), std::string::npos);
  // Another teacher's Carla is theirs to forget.
  auto others = http.Get("/teacher/results.csv?key=" + other.key);
  ASSERT_TRUE(others);
  EXPECT_NE(others->body.find("Carla"), std::string::npos);
  EXPECT_EQ(s.store->Count(), 2);
}

TEST(ResultsTeachersTest, TheViewSwitchesLanguageAndKeepsTheChoice) {
  Served s;
  const std::string key = "0123456789abcdef0123456789abcdef";
  httplib::Client http("127.0.0.1", s.port);
  ASSERT_EQ(http.Post("/results", Body("Eva"), kForm)->status, 200);
  auto english = http.Get("/teacher?key=" + key, {{"Accept-Language", "en-GB,en;q=0.9"}});
  ASSERT_TRUE(english);
  EXPECT_NE(english->body.find("<html lang=\"en\">"), std::string::npos);
  EXPECT_NE(english->body.find("&amp;lang=pt\" lang=\"pt\">Portugu&#234;s</a>"), std::string::npos);
  auto chosen = http.Get("/teacher?key=" + key + "&lang=pt", {{"Accept-Language", "en-GB,en;q=0.9"}});
  ASSERT_TRUE(chosen);
  EXPECT_NE(chosen->body.find("<html lang=\"pt\">"), std::string::npos);
  EXPECT_NE(chosen->body.find("&amp;lang=en\" lang=\"en\">English</a>"), std::string::npos);
  // The filter form and the page links carry the choice along.
  EXPECT_NE(chosen->body.find("<input type=\"hidden\" name=\"lang\" value=\"pt\">"), std::string::npos);
  EXPECT_NE(chosen->body.find("&amp;lang=pt&amp;file=aula.htm"), std::string::npos);
}

TEST(ResultsTeachersTest, HelpAndVersionGoToStandardOutput) {
  std::string program = test::ShellQuote(std::string(KIO_PROGRAM_DIR) + "/kio-results");
  test::RunResult help = test::RunCommand(program + " --help 2>/dev/null");
  EXPECT_EQ(help.status, 0);
  for (const char* option :
       {"--configure", "--teacher", "--add-teacher", "--port", "--listen", "--public-url", "--data",
        "--postgres", "--connections", "--limit", "--threads", "--new-key", "--help", "--version"})
    EXPECT_NE(help.transcript.find(option), std::string::npos) << option;
  test::RunResult version = test::RunCommand(program + " --version 2>/dev/null");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.transcript.starts_with("kio-results ")) << version.transcript;
  // Every option is in the manual page too.
  std::string manual = test::ReadFile(fs::path(KIO_SOURCE_DIR) / "docs/man/kio-results.1");
  for (const char* option :
       {"configure", "teacher", "add\\-teacher", "port", "listen", "public\\-url", "data", "postgres",
        "connections", "limit", "threads", "new\\-key", "help", "version"})
    EXPECT_NE(manual.find(std::string("\\-\\-") + option), std::string::npos) << option;
}

}  // namespace
}  // namespace kio::results
