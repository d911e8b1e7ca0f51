// Where results are kept: one interface over SQLite (a file on the teacher's
// computer) and PostgreSQL (a school's server). The queries are the same for
// both; each backend only runs statements.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "results/result_post.h"

namespace kio::results {

// A storage failure (database unreachable, disk full...). Nothing was stored
// and the post must not be acknowledged.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct StoredResult {
  int64_t id = 0;
  std::string receivedAt;  // UTC, "YYYY-MM-DD HH:MM:SS"
  std::string address;     // the sender's IP address
  ResultPost post;
};

// One student's results on one page.
struct StudentSummary {
  std::string file;
  std::string activity;
  std::string name;
  int64_t attempts = 0;
  std::optional<int> best;        // best percentage
  std::string latestScore;        // as the page showed it
  std::string firstAt, latestAt;  // UTC received times
};

// One page's results.
struct ActivitySummary {
  std::string file;
  std::string activity;
  int64_t results = 0;
  int64_t students = 0;
  std::optional<int> average;  // mean percentage of all its results
  std::string latestAt;
};

// A teacher with results of their own: their pages post to the results
// address with their token in it, and they read those results with their
// key.
struct Teacher {
  std::string name;
  std::string token;  // in the course address: /results/TOKEN
  std::string key;    // the teacher view's key
  int64_t results = 0;
};

// Narrows what the teacher sees; empty members do not narrow, but for
// `teacher`, which always does: "" is the results posted without a token,
// which belong to the server's first key.
struct ResultFilter {
  std::string teacher;
  std::string file;      // exactly this page
  std::string activity;  // exactly this activity kind
  std::string name;      // student names holding this text, any case
  std::string since;     // UTC received time, inclusive
  std::string until;     // UTC received time, exclusive
  size_t limit = 1000;
};

enum class AddOutcome { kStored, kDuplicate };

// Which xAPI statements to read back; empty members do not narrow.
struct StatementFilter {
  std::string actor;     // the agent's key (AgentKey)
  std::string verb;      // the verb's IRI
  std::string activity;  // the object activity's IRI
  std::string since;     // stored after this ISO 8601 UTC time
  size_t limit = 100;
};

// Told once a result is stored: the outcome, or what went wrong (then
// nothing was stored). Runs on one of the store's writer threads.
using AddDone = std::function<void(AddOutcome outcome, const std::string& error)>;

class ResultStore {
 public:
  virtual ~ResultStore();

  // Creates the tables when they are missing.
  void Prepare();
  // Stores one result; `done` is told once the commit that holds it is on
  // disk, or that it failed. A result whose key is already stored is not
  // stored again. Results that arrive while a commit is being written go
  // together into the next one, written by the store's own writer threads:
  // nobody waits for the disk but the results themselves.
  void AddLater(const ResultPost& post, const std::string& address, const std::string& receivedAt,
                AddDone done);
  // The same, waiting for the outcome. Throws StoreError.
  AddOutcome Add(const ResultPost& post, const std::string& address, const std::string& receivedAt);

  std::vector<StoredResult> Results(const ResultFilter& filter);
  std::vector<StudentSummary> Students(const ResultFilter& filter);
  std::vector<ActivitySummary> Activities(const ResultFilter& filter);
  int64_t Count();

  // The teacher's key: `candidate` becomes the key unless one is stored
  // already; returns the stored key either way.
  std::string TeacherKey(const std::string& candidate);
  // Replaces the teacher's key (one that others have seen).
  void ReplaceTeacherKey(const std::string& key);
  // The administrator's key, made like the teacher key.
  std::string AdminKey(const std::string& candidate);

  // Adds a teacher with this token and key; a teacher of that name who is
  // there already is kept as is. Returns the teacher as stored.
  Teacher AddTeacher(const std::string& name, const std::string& token, const std::string& key);
  // Every teacher added, by name, with the number of their results.
  std::vector<Teacher> Teachers();
  // Deletes every result of the student of exactly this name posted under
  // `teacher`; returns how many.
  int64_t ForgetStudent(const std::string& teacher, const std::string& name);

  // Stores an xAPI statement (its JSON text, with the keys it is found
  // by) unless one with its id is stored; true when stored now.
  bool AddStatement(const std::string& id, const std::string& stored, const std::string& actor,
                    const std::string& verb, const std::string& activity, const std::string& statement);
  // The JSON text of the statement with this id, if any.
  std::optional<std::string> Statement(const std::string& id);
  // Statements, newest first.
  std::vector<std::string> Statements(const StatementFilter& filter);

  // Where the results are, for people: a file path or the database name.
  virtual std::string Describe() const = 0;

 protected:
  using Value = std::optional<std::string>;
  using Row = std::vector<Value>;
  // Statements use "?" for their parameters, which are all texts or nulls.
  virtual void ExecuteScript(const std::string& sql) = 0;
  // Runs one statement as a transaction of its own; returns the rows it
  // changed.
  virtual int64_t Change(const std::string& sql, const std::vector<Value>& params) = 0;
  virtual std::vector<Row> Select(const std::string& sql, const std::vector<Value>& params) = 0;
  // A result waiting to be stored: `row` holds the values of
  // kInsertColumns in order. InsertBatch sets `changes` (1 stored, 0 a
  // result with its key was there already) or `error`.
  struct PendingRow {
    std::vector<Value> row;
    int64_t changes = 0;
    std::string error;
    AddDone done;
  };
  // Stores the rows, together where the database allows; the default
  // stores each alone with Change().
  virtual void InsertBatch(std::vector<PendingRow>& rows);
  // One row alone, with Change().
  int64_t InsertOne(const std::vector<Value>& row);
  // How many batches may be written at once (on different connections).
  virtual int Writers() const { return 1; }
  // Ends the writer threads once the results queued are stored; a derived
  // store calls it first thing in its destructor.
  void StopWriters();
  static constexpr char kInsertColumns[] =
      "received_at, address, activity, file, name, score, percent, details, page_date, page_time, dedup_key,"
      " teacher";
  static constexpr int kInsertColumnCount = 12;
  static constexpr int kKeyColumn = 10;  // dedup_key
  // The column type of the generated row id.
  virtual const char* IdColumnType() const = 0;

 private:
  void Write();
  std::mutex queueMutex_;
  std::condition_variable queued_;
  std::vector<PendingRow> queue_;
  std::vector<std::thread> writers_;
  bool stopping_ = false;
};

std::unique_ptr<ResultStore> OpenSqliteStore(const std::string& path);
// `connection` is a libpq connection string ("host=... dbname=..." or a
// postgresql:// address); `connections` the pool size.
std::unique_ptr<ResultStore> OpenPostgresStore(const std::string& connection, int connections);

}  // namespace kio::results
