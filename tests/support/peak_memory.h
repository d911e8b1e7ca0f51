// Runs a piece of work in a child process and measures it: whether it ended
// well, and its peak resident memory, as the system counted it.
#pragma once
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace kio::test {

struct ChildRun {
  bool ok = false;           // ended by itself with `work` returning true
  long long peakBytes = -1;  // peak resident memory of the child
};

// `work` runs in a forked child, which is killed after `seconds`.
inline ChildRun RunInChild(const std::function<bool()>& work, unsigned seconds = 60) {
  pid_t pid = fork();
  if (pid == 0) {
    alarm(seconds);
    _exit(work() ? 0 : 1);
  }
  ChildRun run;
  int status = 0;
  struct rusage usage {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
  return run;
}

// Peak memory bounds are stated for the normal build; the sanitizer build
// keeps freed memory in quarantine and shadows every byte, so it gets more.
#if defined(__SANITIZE_ADDRESS__)
constexpr long long kMemoryScale = 6;
#else
constexpr long long kMemoryScale = 1;
#endif
constexpr long long kMiB = 1024 * 1024;

}  // namespace kio::test
