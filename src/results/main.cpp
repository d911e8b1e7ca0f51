// kio-results: receives the results students send from KIO activity pages
// and shows them to the teacher. See docs/results.md.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "results/server.h"
#include "results/setup.h"
#include "results/store.h"

using namespace kio::results;

namespace {

const char kUsage[] =
    "Usage: kio-results [options]\n"
    "Receives the results students send from KIO activity pages and shows them\n"
    "to the teacher in the browser.\n"
    "\n"
    "  --configure FOLDER   write this server's results address into the\n"
    "                       Configura.txt of the KIO program in FOLDER, then serve\n"
    "  --teacher NAME       with --configure: write that teacher's course address,\n"
    "                       so that the pages post results only they see\n"
    "  --add-teacher NAME   add a teacher (or find one added before), print their\n"
    "                       key, course address and teacher view, and end\n"
    "  --port N             port to listen on (default 8765; 0 for any free port)\n"
    "  --listen ADDRESS     address to listen on (default 0.0.0.0: every network)\n"
    "  --public-url URL     the address students' browsers use to reach this\n"
    "                       server, when it is not this computer's own address\n"
    "                       (a school server behind a proxy): https://host/kio\n"
    "  --data FOLDER        folder of the results file (default\n"
    "                       ~/.local/share/kio-results)\n"
    "  --postgres CONNINFO  keep the results in PostgreSQL instead, for instance\n"
    "                       \"host=db.school dbname=kio user=kio\" or postgresql://...\n"
    "  --connections N      PostgreSQL connections (default 8)\n"
    "  --limit N            requests a minute from one address (default 300; 0: none)\n"
    "  --threads N          teacher view requests served at once (default 8)\n"
    "  --new-key            replace the teacher key by a new one (the old\n"
    "                       teacher view address stops working)\n"
    "  --help               this text\n"
    "  --version            the version of kio-results\n";

int Fail(const std::string& message) {
  std::cerr << "kio-results: " << message << "\n";
  return 1;
}

bool ToInt(const std::string& text, int low, int high, int& value) {
  try {
    size_t used = 0;
    long v = std::stol(text, &used);
    if (used != text.size() || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ServerOptions options;
  std::string dataFolder = DefaultDataFolder();
  std::string postgres, configure, publicUrl;
  std::string teacherName, addTeacher;
  int connections = 8;
  bool newKey = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << "kio-results " << KIO_VERSION << "\n";
      return 0;
    }
    if (arg == "--new-key") {
      newKey = true;
      continue;
    }
    if (i + 1 >= argc) return Fail("unknown option or missing value: " + arg + "\n" + kUsage);
    std::string value = argv[++i];
    bool ok = true;
    if (arg == "--configure")
      configure = value;
    else if (arg == "--port")
      ok = ToInt(value, 0, 65535, options.port);
    else if (arg == "--listen")
      options.listen = value;
    else if (arg == "--teacher")
      teacherName = value;
    else if (arg == "--add-teacher")
      addTeacher = value;
    else if (arg == "--public-url")
      publicUrl = value;
    else if (arg == "--data")
      dataFolder = value;
    else if (arg == "--postgres")
      postgres = value;
    else if (arg == "--connections")
      ok = ToInt(value, 1, 100, connections);
    else if (arg == "--limit")
      ok = ToInt(value, 0, 1000000, options.limitPerMinute);
    else if (arg == "--threads")
      ok = ToInt(value, 2, 1024, options.threads);
    else
      return Fail("unknown option: " + arg + "\n" + kUsage);
    if (!ok) return Fail("not a valid value for " + arg + ": " + value);
  }
  options.limitBurst = options.limitPerMinute;
  while (!publicUrl.empty() && publicUrl.back() == '/') publicUrl.pop_back();

  // SIGINT and SIGTERM end the server through one waiting thread.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<ResultStore> store;
  Teacher teacher;
  try {
    store = postgres.empty() ? OpenSqliteStore(dataFolder + "/results.sqlite")
                             : OpenPostgresStore(postgres, connections);
    if (newKey) store->ReplaceTeacherKey(NewTeacherKey());
    options.teacherKey = store->TeacherKey(NewTeacherKey());
    options.adminKey = store->AdminKey(NewTeacherKey());
  } catch (const StoreError& e) {
    return Fail(e.what());
  }

  if (!addTeacher.empty() || !teacherName.empty()) {
    std::string name = addTeacher.empty() ? teacherName : addTeacher;
    std::string problem = CheckTeacherName(name);
    if (!problem.empty()) return Fail(problem);
    if (!addTeacher.empty() && !teacherName.empty() && addTeacher != teacherName)
      return Fail("--teacher and --add-teacher name different teachers");
    if (!teacherName.empty() && configure.empty()) return Fail("--teacher goes with --configure FOLDER");
    try {
      teacher = store->AddTeacher(name, NewTeacherToken(), NewTeacherKey());
    } catch (const StoreError& e) {
      return Fail(e.what());
    }
  }
  if (!addTeacher.empty() && configure.empty()) {
    // Printed, not served: the teacher's addresses on this server.
    std::string base =
        publicUrl.empty() ? BaseAddress(AddressForStudents(options.listen), options.port) : publicUrl;
    std::cout << "Teacher: " << teacher.name << "\n"
              << "Key: " << teacher.key << "\n"
              << "Course address (for Configura.txt): " << CourseAddress(base, teacher.token) << "\n"
              << "Teacher view: " << base << kTeacherPath << "?key=" << teacher.key << "\n"
              << "To put the course address into their KIO: kio-results --configure KIO_PROGRAM_FOLDER"
              << " --teacher \"" << teacher.name << "\"\n";
    return 0;
  }

  ResultsServer server(*store, options);
  int port = server.Bind();
  if (port < 0)
    return Fail("cannot listen on " + options.listen + " port " + std::to_string(options.port) +
                " (in use by another program?); choose another with --port");
  std::string base = publicUrl.empty() ? BaseAddress(AddressForStudents(options.listen), port) : publicUrl;
  std::string resultsAddress = base + kResultsPath;

  if (!configure.empty()) {
    std::string problem = WriteResultsAddress(
        configure, teacher.token.empty() ? resultsAddress : CourseAddress(base, teacher.token));
    if (!problem.empty()) return Fail(problem);
    std::cout << "Configura.txt in " << configure
              << " now holds the results address; pages generated from now on"
              << " send their results here.\n";
  }
  if (publicUrl.empty() && base.find("//127.") != std::string::npos &&
      (options.listen == "0.0.0.0" || options.listen == "::"))
    std::cout << "This computer has no network address: only pages opened on it can send results.\n";
  std::cout << "kio-results is receiving results.\n"
            << "Results address (for Configura.txt): " << resultsAddress << "\n"
            << "Teacher view: " << base << kTeacherPath << "?key=" << options.teacherKey << "\n"
            << "Administrator view (the teachers): " << base << kTeacherPath << "?key=" << options.adminKey
            << "\n";
  if (!teacher.token.empty())
    std::cout << "Course address of " << teacher.name << ": " << CourseAddress(base, teacher.token) << "\n"
              << "Teacher view of " << teacher.name << ": " << base << kTeacherPath << "?key=" << teacher.key
              << "\n";
  std::cout << "Results are kept in: " << store->Describe() << "\n";
  if (configure.empty())
    std::cout << "To put the address into KIO: kio-results --configure KIO_PROGRAM_FOLDER\n";
  std::cout << "Stop with Ctrl+C." << std::endl;

  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
  });
  bool served = server.Run();
  if (stopper.joinable()) {
    // Served to the end without a signal (a failure): wake the waiting thread.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
  }
  return served ? 0 : Fail("the server stopped: " + std::string(std::strerror(errno)));
}
