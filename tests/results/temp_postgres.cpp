#include "temp_postgres.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace kio::test {

namespace fs = std::filesystem;

namespace {
constexpr int kPort = 5432;  // only names the socket file: no TCP
}

std::string TempPostgres::FindBinaries() {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& version : fs::directory_iterator("/usr/lib/postgresql", error)) {
    fs::path bin = version.path() / "bin";
    if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl")) found.push_back(bin);
  }
  if (found.empty()) return "";
  std::sort(found.begin(), found.end());
  return found.back().string();  // the newest installed
}

std::string TempPostgres::Run(const std::string& command, int& status) {
  std::string as = CanDropPrivileges() ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  RunResult result = RunCommand("cd " + ShellQuote(dir_.str()) + " && " + as + command + " 2>&1");
  status = result.status;
  return result.transcript;
}

TempPostgres::TempPostgres() {
  bin_ = FindBinaries();
  if (bin_.empty()) {
    problem_ = "PostgreSQL is not installed (no initdb under /usr/lib/postgresql/*/bin)";
    return;
  }
  int status = 0;
  std::string data = (dir_.path() / "data").string();
  std::string out = Run(ShellQuote(bin_ + "/initdb") + " -D " + ShellQuote(data) +
                            " -U kio --auth=trust -E UTF8 --locale=C.UTF-8 --no-sync",
                        status);
  if (status != 0) {
    problem_ = "initdb failed: " + out;
    return;
  }
  std::string settings = "-c listen_addresses='' -c unix_socket_directories='" + dir_.str() + "' -p " +
                         std::to_string(kPort) + " -c max_connections=120";
  out =
      Run(ShellQuote(bin_ + "/pg_ctl") + " -D " + ShellQuote(data) + " -l " +
              ShellQuote((dir_.path() / "log").string()) + " -w -t 60 -o " + ShellQuote(settings) + " start",
          status);
  if (status != 0) {
    problem_ = "pg_ctl start failed: " + out + ReadFile(dir_.path() / "log");
    return;
  }
  started_ = true;
}

TempPostgres::~TempPostgres() {
  if (!started_) return;
  int status = 0;
  Run(ShellQuote(bin_ + "/pg_ctl") + " -D " + ShellQuote((dir_.path() / "data").string()) +
          " -m immediate -w -t 30 stop",
      status);
}

std::string TempPostgres::Connection() const {
  return "host=" + dir_.str() + " port=" + std::to_string(kPort) + " user=kio dbname=postgres";
}

}  // namespace kio::test
