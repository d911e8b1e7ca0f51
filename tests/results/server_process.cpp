#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace kio::test {

ServerProcess::ServerProcess(const std::vector<std::string>& args, int timeoutMs) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  std::string program = std::string(KIO_PROGRAM_DIR) + "/kio-results";
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(out[1], STDERR_FILENO);
    std::vector<char*> argv{program.data()};
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (printed_.find("Stop with") == std::string::npos) {
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count());
    pollfd p{out[0], POLLIN, 0};
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    char buffer[1024];
    ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    printed_.append(buffer, n);
  }
  close(out[0]);  // the server ignores SIGPIPE; later output is dropped
  std::string address = Line("Results address (for Configura.txt): ");
  size_t colon = address.rfind(':');
  if (printed_.find("Stop with") != std::string::npos && colon != std::string::npos)
    port_ = std::atoi(address.c_str() + colon + 1);
}

ServerProcess::~ServerProcess() { Kill(SIGTERM); }

std::string ServerProcess::Line(const std::string& label) const {
  size_t at = printed_.find(label);
  if (at == std::string::npos) return "";
  at += label.size();
  return printed_.substr(at, printed_.find('\n', at) - at);
}

void ServerProcess::Kill(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  // A server that does not end within five seconds is killed outright.
  int status = 0;
  for (int i = 0; i < 500 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(10000);
  if (waitpid(pid_, &status, WNOHANG) == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

}  // namespace kio::test
