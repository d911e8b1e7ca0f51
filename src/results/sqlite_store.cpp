// Results in one SQLite file. Write-ahead logging with synchronous=FULL: a
// commit returns only after the log is on disk, so a result the server has
// acknowledged survives a crash of the server or a power cut. One
// connection, used by one request at a time.
//
// Writing to disk is what limits how many results a second can be stored, so
// commits are shared: results that arrive while a commit is being written
// wait for it to end and then go to disk together in the next one (the
// store's writer thread takes them all), each in a savepoint of its own (a
// result that fails leaves the others whole). Every post is still answered
// only after the commit that holds it; a lone post is committed at once,
// without waiting for company.
#include <sqlite3.h>

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>

#include "results/store.h"

namespace kio::results {

namespace {

class SqliteStore : public ResultStore {
 public:
  explicit SqliteStore(const std::string& path) : path_(path) {
    std::error_code ignored;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
      std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      db_ = nullptr;
      throw StoreError("cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
    ExecuteScript("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
    // journal_mode answers with the mode it got; a file system without
    // shared memory keeps the rollback journal, durable too with FULL.
  }

  ~SqliteStore() override {
    StopWriters();
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
  }

  std::string Describe() const override { return path_; }

 protected:
  void ExecuteScript(const std::string& sql) override {
    std::lock_guard lock(mutex_);
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "unknown error";
      sqlite3_free(error);
      throw StoreError("SQLite: " + message);
    }
  }

  int64_t Change(const std::string& sql, const std::vector<Value>& params) override {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* statement = Bind(sql, params);
    int status = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (status != SQLITE_DONE) Fail();
    return sqlite3_changes(db_);
  }

  void InsertBatch(std::vector<PendingRow>& batch) override {
    if (batch.size() == 1) return ResultStore::InsertBatch(batch);
    std::lock_guard lock(mutex_);
    if (!Exec("BEGIN IMMEDIATE")) {
      for (PendingRow& p : batch) p.error = std::string("SQLite: ") + sqlite3_errmsg(db_);
      return;
    }
    try {
      for (PendingRow& p : batch) {
        Exec("SAVEPOINT one_result");
        try {
          sqlite3_stmt* statement = Bind(InsertSql(), p.row);
          int status = sqlite3_step(statement);
          sqlite3_reset(statement);
          if (status != SQLITE_DONE) Fail();
          p.changes = sqlite3_changes(db_);
        } catch (const StoreError& e) {
          p.error = e.what();
          Exec("ROLLBACK TO one_result");
        }
        Exec("RELEASE one_result");
      }
    } catch (const std::exception& e) {  // out of memory: nobody is told "stored"
      Exec("ROLLBACK");
      for (PendingRow& p : batch) {
        p.changes = 0;
        if (p.error.empty()) p.error = std::string("SQLite: ") + e.what();
      }
      return;
    }
    if (!Exec("COMMIT")) {
      std::string message = std::string("SQLite: the commit failed: ") + sqlite3_errmsg(db_);
      Exec("ROLLBACK");
      for (PendingRow& p : batch) {
        p.changes = 0;
        if (p.error.empty()) p.error = message;
      }
    }
  }

  std::vector<Row> Select(const std::string& sql, const std::vector<Value>& params) override {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* statement = Bind(sql, params);
    std::vector<Row> rows;
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
      Row row;
      int columns = sqlite3_column_count(statement);
      for (int c = 0; c < columns; ++c) {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
        if (text)
          row.emplace_back(std::string(text, sqlite3_column_bytes(statement, c)));
        else
          row.emplace_back(std::nullopt);
      }
      rows.push_back(std::move(row));
    }
    sqlite3_reset(statement);
    if (status != SQLITE_DONE) Fail();
    return rows;
  }

  const char* IdColumnType() const override { return "INTEGER"; }

 private:
  static const std::string& InsertSql() {
    static const std::string sql = std::string("INSERT INTO kio_results (") + kInsertColumns +
                                   ") VALUES (?, ?, ?, ?, ?, ?, CAST(? AS INTEGER), ?, ?, ?, ?, ?)"
                                   " ON CONFLICT (dedup_key) DO NOTHING";
    return sql;
  }

  bool Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

  // A prepared statement, kept for the next call with the same text.
  sqlite3_stmt* Bind(const std::string& sql, const std::vector<Value>& params) {
    sqlite3_stmt*& statement = statements_[sql];
    if (!statement && sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      statements_.erase(sql);
      Fail();
    }
    sqlite3_clear_bindings(statement);
    for (size_t i = 0; i < params.size(); ++i) {
      int at = static_cast<int>(i + 1);
      if (params[i])
        sqlite3_bind_text(statement, at, params[i]->data(), static_cast<int>(params[i]->size()),
                          SQLITE_TRANSIENT);
      else
        sqlite3_bind_null(statement, at);
    }
    return statement;
  }

  [[noreturn]] void Fail() { throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db_)); }

  std::string path_;
  sqlite3* db_ = nullptr;
  std::mutex mutex_;  // the connection
  std::map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<ResultStore> OpenSqliteStore(const std::string& path) {
  auto store = std::make_unique<SqliteStore>(path);
  store->Prepare();
  return store;
}

}  // namespace kio::results
