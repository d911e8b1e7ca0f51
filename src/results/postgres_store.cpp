// Results in a PostgreSQL database, for a school or district server that
// many teachers' pages post to. A small pool of connections; each statement
// runs in a transaction of its own, and PostgreSQL's commit (with its
// default synchronous_commit) returns only once the result is on disk.
#include <condition_variable>
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

class PostgresStore : public ResultStore {
 public:
  PostgresStore(const std::string& connection, int connections) : connection_(connection) {
    if (connections < 1) connections = 1;
    for (int i = 0; i < connections; ++i) {
      try {
        idle_.push_back(std::make_unique<pqxx::connection>(connection));
      } catch (const std::exception& e) {
        throw StoreError(std::string("PostgreSQL: ") + e.what());
      }
    }
    std::string database = idle_.front()->dbname() ? idle_.front()->dbname() : "";
    std::string host = idle_.front()->hostname() ? idle_.front()->hostname() : "";
    describe_ = "PostgreSQL database " + database + (host.empty() ? "" : " on " + host);
  }

  std::string Describe() const override { return describe_; }

 protected:
  void ExecuteScript(const std::string& sql) override {
    Run([&](pqxx::connection& c) {
      pqxx::work work(c);
      work.exec(sql);
      work.commit();
      return 0;
    });
  }

  int64_t Change(const std::string& sql, const std::vector<Value>& params) override {
    return Run([&](pqxx::connection& c) {
      pqxx::work work(c);
      auto values = Pointers(params);
      pqxx::result result = work.exec_params(Numbered(sql), pqxx::prepare::make_dynamic_params(values));
      work.commit();
      return static_cast<int64_t>(result.affected_rows());
    });
  }

  std::vector<Row> Select(const std::string& sql, const std::vector<Value>& params) override {
    std::vector<Row> rows;
    Run([&](pqxx::connection& c) {
      pqxx::read_transaction work(c);
      auto values = Pointers(params);
      pqxx::result result = work.exec_params(Numbered(sql), pqxx::prepare::make_dynamic_params(values));
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

  // Runs `body` on a pooled connection. A connection that broke (the server
  // restarted) is opened again for the next request; the failed request is
  // reported, not retried, since a commit whose answer was lost may have
  // happened.
  template <typename Body>
  int64_t Run(Body body) {
    std::unique_ptr<pqxx::connection> c;
    {
      std::unique_lock lock(mutex_);
      available_.wait(lock, [&] { return !idle_.empty(); });
      c = std::move(idle_.back());
      idle_.pop_back();
    }
    struct Return {
      PostgresStore* store;
      std::unique_ptr<pqxx::connection>& c;
      ~Return() {
        std::lock_guard lock(store->mutex_);
        store->idle_.push_back(std::move(c));
        store->available_.notify_one();
      }
    } giveBack{this, c};
    try {
      if (!c || !c->is_open()) c = std::make_unique<pqxx::connection>(connection_);
      return body(*c);
    } catch (const pqxx::broken_connection& e) {
      c.reset();
      throw StoreError(std::string("PostgreSQL connection lost: ") + e.what());
    } catch (const std::exception& e) {
      throw StoreError(std::string("PostgreSQL: ") + e.what());
    }
  }

  std::string connection_;
  std::string describe_;
  std::mutex mutex_;
  std::condition_variable available_;
  std::vector<std::unique_ptr<pqxx::connection>> idle_;
};

}  // namespace

std::unique_ptr<ResultStore> OpenPostgresStore(const std::string& connection, int connections) {
  auto store = std::make_unique<PostgresStore>(connection, connections);
  store->Prepare();
  return store;
}

}  // namespace kio::results
