// Results in a PostgreSQL database, for a school or district server that
// many teachers' pages post to. A small pool of connections, each with its
// statements prepared once. Each statement is a transaction of its own, and
// synchronous_commit is on for every connection, so a commit returns only
// once the result is on disk, whatever the server's default.
//
// Results that arrive while others are being stored wait, and then go to
// the database together in one statement (one round trip, one commit): an
// INSERT of the rows of arrays, which answers the keys it stored. Several
// writer threads, one connection each, run such statements at once, and
// PostgreSQL writes their commits to disk together too. Should a shared statement fail, each
// of its results is stored alone, so that one bad result fails only itself.
#include <condition_variable>
#include <map>
#include <mutex>
#include <pqxx/pqxx>
#include <unordered_set>

#include "results/store.h"

namespace kio::results {

namespace {

// "?" placeholders become PostgreSQL's "$1", "$2"... (the statements hold
// no "?" of their own).
std::string Numbered(const std::string& sql) {
  std::string out;
  int n = 0;
  for (char c : sql) {
    if (c == '?')
      out += "$" + std::to_string(++n);
    else
      out += c;
  }
  return out;
}

class LostConnection : public StoreError {
 public:
  using StoreError::StoreError;
};

// A PostgreSQL array literal of texts: {"a","b",NULL}.
std::string ArrayLiteral(const std::vector<const std::vector<std::optional<std::string>>*>& rows,
                         int column) {
  std::string out = "{";
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i) out += ',';
    const auto& value = (*rows[i])[column];
    if (!value) {
      out += "NULL";
      continue;
    }
    out += '"';
    for (char c : *value) {
      if (c == '"' || c == '\\') out += '\\';
      out += c;
    }
    out += '"';
  }
  return out + "}";
}

class PostgresStore : public ResultStore {
 public:
  PostgresStore(const std::string& connection, int connections) : connection_(connection) {
    if (connections < 1) connections = 1;
    // Leave a connection for the teacher's view while results are stored.
    writers_ = connections > 2 ? connections - 1 : 1;
    for (int i = 0; i < connections; ++i) {
      try {
        idle_.push_back(Connect());
      } catch (const std::exception& e) {
        throw StoreError(std::string("PostgreSQL: ") + e.what());
      }
    }
    std::string database = idle_.front()->db->dbname() ? idle_.front()->db->dbname() : "";
    std::string host = idle_.front()->db->hostname() ? idle_.front()->db->hostname() : "";
    describe_ = "PostgreSQL database " + database + (host.empty() ? "" : " on " + host);
  }

  ~PostgresStore() override { StopWriters(); }

  std::string Describe() const override { return describe_; }

 protected:
  void ExecuteScript(const std::string& sql) override {
    Run([&](Connection& c) {
      pqxx::work work(*c.db);
      work.exec(sql);
      work.commit();
      return 0;
    });
  }

  // One statement, committed by itself (no BEGIN and COMMIT round trips).
  int64_t Change(const std::string& sql, const std::vector<Value>& params) override {
    return Run([&](Connection& c) {
      pqxx::nontransaction work(*c.db);
      auto values = Pointers(params);
      pqxx::result result = work.exec_prepared(Prepared(c, sql), pqxx::prepare::make_dynamic_params(values));
      return static_cast<int64_t>(result.affected_rows());
    });
  }

  int Writers() const override { return writers_; }

  std::vector<Row> Select(const std::string& sql, const std::vector<Value>& params) override {
    std::vector<Row> rows;
    Run([&](Connection& c) {
      pqxx::nontransaction work(*c.db);
      auto values = Pointers(params);
      pqxx::result result = work.exec_prepared(Prepared(c, sql), pqxx::prepare::make_dynamic_params(values));
      rows.clear();
      for (const auto& tuple : result) {
        Row row;
        for (const auto& field : tuple) {
          if (field.is_null())
            row.emplace_back(std::nullopt);
          else
            row.emplace_back(std::string(field.c_str(), field.size()));
        }
        rows.push_back(std::move(row));
      }
      return 0;
    });
    return rows;
  }

  const char* IdColumnType() const override { return "BIGSERIAL"; }

 private:
  static std::vector<const char*> Pointers(const std::vector<Value>& params) {
    std::vector<const char*> values;
    for (const Value& v : params) values.push_back(v ? v->c_str() : nullptr);
    return values;
  }

  // One pooled connection and the statements prepared on it.
  struct Connection {
    std::unique_ptr<pqxx::connection> db;
    std::map<std::string, std::string> prepared;  // statement text to name
  };

  std::unique_ptr<Connection> Connect() {
    auto c = std::make_unique<Connection>();
    c->db = std::make_unique<pqxx::connection>(connection_);
    // An answered result is on disk, whatever the server's default.
    pqxx::nontransaction setting(*c->db);
    setting.exec("SET synchronous_commit TO on");
    return c;
  }

  // The name of `sql` prepared on `c`, preparing it the first time.
  static std::string Prepared(Connection& c, const std::string& sql) {
    auto found = c.prepared.find(sql);
    if (found != c.prepared.end()) return found->second;
    std::string name = "kio_" + std::to_string(c.prepared.size());
    c.db->prepare(name, Numbered(sql));
    c.prepared.emplace(sql, name);
    return name;
  }

  void InsertBatch(std::vector<PendingRow>& batch) override {
    if (batch.size() > 1) {
      try {
        std::vector<const std::vector<Value>*> rows;
        for (PendingRow& p : batch) rows.push_back(&p.row);
        std::vector<std::string> arrays;
        for (int column = 0; column < kInsertColumnCount; ++column)
          arrays.push_back(ArrayLiteral(rows, column));
        // The keys stored; a key sent twice in one batch is stored once.
        std::unordered_multiset<std::string> stored;
        Run([&](Connection& c) {
          pqxx::nontransaction work(*c.db);
          std::vector<const char*> values;
          for (const std::string& a : arrays) values.push_back(a.c_str());
          pqxx::result result =
              work.exec_prepared(Prepared(c, std::string("INSERT INTO kio_results (") + kInsertColumns +
                                                 ") SELECT * FROM unnest(?::text[], ?::text[], ?::text[],"
                                                 " ?::text[], ?::text[], ?::text[], ?::integer[], ?::text[],"
                                                 " ?::text[], ?::text[], ?::text[], ?::text[])"
                                                 " ON CONFLICT (dedup_key) DO NOTHING RETURNING dedup_key"),
                                 pqxx::prepare::make_dynamic_params(values));
          for (const auto& tuple : result) stored.insert(tuple[0].c_str());
          return 0;
        });
        for (PendingRow& p : batch) {
          auto found = stored.find(*p.row[kKeyColumn]);
          p.changes = found == stored.end() ? 0 : 1;
          if (found != stored.end()) stored.erase(found);
        }
        return;
      } catch (const LostConnection& e) {
        // The statement may or may not have been committed: nothing is run
        // again and nobody is told "stored" (the pages send again, and their
        // results are known again by their keys).
        for (PendingRow& p : batch) p.error = e.what();
        return;
      } catch (const StoreError&) {
        // One of them is wrong: each alone, below.
      }
    }
    ResultStore::InsertBatch(batch);
  }

  // Runs `body` on a pooled connection. A connection that broke (the server
  // restarted) is opened again for the next request; the failed request is
  // reported, not retried, since a commit whose answer was lost may have
  // happened.
  template <typename Body>
  int64_t Run(Body body) {
    std::unique_ptr<Connection> c;
    {
      std::unique_lock lock(mutex_);
      available_.wait(lock, [&] { return !idle_.empty(); });
      c = std::move(idle_.back());
      idle_.pop_back();
    }
    struct Return {
      PostgresStore* store;
      std::unique_ptr<Connection>& c;
      ~Return() {
        std::lock_guard lock(store->mutex_);
        store->idle_.push_back(std::move(c));
        store->available_.notify_one();
      }
    } giveBack{this, c};
    try {
      if (!c || !c->db || !c->db->is_open()) c = Connect();
      return body(*c);
    } catch (const pqxx::broken_connection& e) {
      c.reset();
      throw LostConnection(std::string("PostgreSQL connection lost: ") + e.what());
    } catch (const pqxx::in_doubt_error& e) {
      c.reset();
      throw LostConnection(std::string("PostgreSQL connection lost during a commit: ") + e.what());
    } catch (const std::exception& e) {
      throw StoreError(std::string("PostgreSQL: ") + e.what());
    }
  }

  std::string connection_;
  std::string describe_;
  std::mutex mutex_;
  std::condition_variable available_;
  std::vector<std::unique_ptr<Connection>> idle_;
  int writers_ = 1;  // batches written at once
};

}  // namespace

std::unique_ptr<ResultStore> OpenPostgresStore(const std::string& connection, int connections) {
  auto store = std::make_unique<PostgresStore>(connection, connections);
  store->Prepare();
  return store;
}

}  // namespace kio::results
