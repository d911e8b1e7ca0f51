// The kio-results program run as a child process, for tests that stop it,
// kill it or read what it prints.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace kio::test {

class ServerProcess {
 public:
  // Starts kio-results from the program folder with `args`; reads what it
  // prints until it says it is ready (at most `timeoutMs`).
  explicit ServerProcess(const std::vector<std::string>& args, int timeoutMs = 10000);
  ~ServerProcess();  // SIGTERM if still running, then reaps it
  bool Ready() const { return port_ > 0; }
  int port() const { return port_; }
  const std::string& Printed() const { return printed_; }
  // The value printed after `label` on its line.
  std::string Line(const std::string& label) const;
  void Kill(int signal);  // sends `signal` and waits for the end

 private:
  pid_t pid_ = -1;
  int port_ = -1;
  std::string printed_;
};

}  // namespace kio::test
