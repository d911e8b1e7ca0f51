// Results in a PostgreSQL database, for a school or district server that
// many teachers' pages post to. A small pool of connections, each with its
// statements prepared once; synchronous_commit is on for every connection,
// so a commit returns only once the result is on disk.
//
// Commits are shared, as in the SQLite store: changes that arrive while
// commits are under way wait and then go to the database together, in one
// transaction on one connection, and each is answered after that commit.
// A few such commits may run at once on different connections, which
// PostgreSQL writes to disk together too. Should one change of a shared
// transaction fail, the transaction is undone and each of its changes is
// run again alone, so that one bad change fails only itself.
#include <condition_variable>
#include <map>
#include <mutex>
#include <pqxx/pqxx>

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

class PostgresStore : public ResultStore {
 public:
  PostgresStore(const std::string& connection, int connections) : connection_(connection) {
    if (connections < 1) connections = 1;
    // Leave a connection for the teacher's view while commits run.
    maxCommitters_ = connections > 2 ? connections - 1 : 1;
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

  int64_t Change(const std::string& sql, const std::vector<Value>& params) override {
    Pending me;
    me.sql = &sql;
    me.params = &params;
    std::unique_lock lock(queueMutex_);
    queue_.push_back(&me);
    // Whoever finds a commit free takes everything queued so far, its own
    // change among them; the others wait for the commits under way.
    while (!me.done) {
      if (committers_ >= maxCommitters_) {
        committed_.wait(lock);
        continue;
      }
      ++committers_;
      std::vector<Pending*> batch;
      batch.swap(queue_);
      lock.unlock();
      CommitTogether(batch);
      lock.lock();
      --committers_;
      for (Pending* p : batch) p->done = true;
      committed_.notify_all();
    }
    if (!me.error.empty()) throw StoreError(me.error);
    return me.changes;
  }

  std::vector<Row> Select(const std::string& sql, const std::vector<Value>& params) override {
    std::vector<Row> rows;
    Run([&](Connection& c) {
      pqxx::read_transaction work(*c.db);
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

  struct Pending {
    const std::string* sql = nullptr;
    const std::vector<Value>* params = nullptr;
    int64_t changes = 0;
    std::string error;
    bool done = false;
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

  static int64_t Execute(pqxx::transaction_base& work, Connection& c, const Pending& p) {
    auto values = Pointers(*p.params);
    pqxx::result result = work.exec_prepared(Prepared(c, *p.sql), pqxx::prepare::make_dynamic_params(values));
    return static_cast<int64_t>(result.affected_rows());
  }

  // The batch in one transaction; if any of it fails, each change alone.
  void CommitTogether(const std::vector<Pending*>& batch) {
    try {
      Run([&](Connection& c) {
        pqxx::work work(*c.db);
        std::vector<int64_t> changes;
        for (Pending* p : batch) changes.push_back(Execute(work, c, *p));
        work.commit();
        for (size_t i = 0; i < batch.size(); ++i) batch[i]->changes = changes[i];
        return 0;
      });
      return;
    } catch (const LostConnection& e) {
      // The commit may or may not have happened: nothing is run again and
      // nobody is told "stored" (the pages send again; their results are
      // known again by their keys).
      for (Pending* p : batch) p->error = e.what();
      return;
    } catch (const StoreError& e) {
      if (batch.size() == 1) {
        batch.front()->error = e.what();
        return;
      }
    }
    for (Pending* p : batch) {
      try {
        p->changes = Run([&](Connection& c) {
          pqxx::work work(*c.db);
          int64_t changed = Execute(work, c, *p);
          work.commit();
          return changed;
        });
      } catch (const StoreError& e) {
        p->error = e.what();
      }
    }
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
  std::mutex queueMutex_;  // the changes waiting for a commit
  std::condition_variable committed_;
  std::vector<Pending*> queue_;
  int committers_ = 0;
  int maxCommitters_ = 1;
};

}  // namespace

std::unique_ptr<ResultStore> OpenPostgresStore(const std::string& connection, int connections) {
  auto store = std::make_unique<PostgresStore>(connection, connections);
  store->Prepare();
  return store;
}

}  // namespace kio::results
