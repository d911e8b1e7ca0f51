// A PostgreSQL server of its own for a test or benchmark: a cluster made by
// initdb in a temporary folder, listening only on a Unix socket in that
// folder, stopped and removed at the end. PostgreSQL refuses to run as
// root, so under root it runs as nobody.
#pragma once
#include <memory>
#include <string>

#include "kio_test.h"

namespace kio::test {

class TempPostgres {
 public:
  // Empty when Debian's postgresql package is not installed.
  static std::string FindBinaries();

  // Starts the cluster; check Started() and Problem().
  TempPostgres();
  ~TempPostgres();
  bool Started() const { return started_; }
  const std::string& Problem() const { return problem_; }
  // A libpq connection string for the database "postgres".
  std::string Connection() const;

 private:
  std::string Run(const std::string& command, int& status);
  std::string bin_;
  TempDir dir_;
  bool started_ = false;
  std::string problem_;
};

}  // namespace kio::test
