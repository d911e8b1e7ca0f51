#include "results/store.h"

namespace kio::results {

namespace {

const char kColumns[] =
    "id, received_at, address, activity, file, name, score, percent, details, page_date, page_time";

// The WHERE clause of a filter and its parameters.
std::string Where(const ResultFilter& filter, std::vector<std::optional<std::string>>& params) {
  std::string where = " WHERE teacher = ?";
  params.emplace_back(filter.teacher);
  if (!filter.file.empty()) {
    where += " AND file = ?";
    params.emplace_back(filter.file);
  }
  if (!filter.activity.empty()) {
    where += " AND activity = ?";
    params.emplace_back(filter.activity);
  }
  if (!filter.name.empty()) {
    std::string pattern = "%";
    for (char c : filter.name) {
      if (c == '%' || c == '_' || c == '\\') pattern += '\\';
      pattern += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    pattern += '%';
    where += " AND lower(name) LIKE ? ESCAPE '\\'";
    params.emplace_back(pattern);
  }
  if (!filter.since.empty()) {
    where += " AND received_at >= ?";
    params.emplace_back(filter.since);
  }
  if (!filter.until.empty()) {
    where += " AND received_at < ?";
    params.emplace_back(filter.until);
  }
  return where;
}

std::string Limit(const ResultFilter& filter) { return " LIMIT " + std::to_string(filter.limit); }

std::string Text(const std::optional<std::string>& value) { return value.value_or(""); }
int64_t Number(const std::optional<std::string>& value) { return value ? std::stoll(*value) : 0; }
std::optional<int> Percent(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  return static_cast<int>(std::stod(*value) + 0.5);
}

}  // namespace

void ResultStore::Prepare() {
  ExecuteScript(std::string("CREATE TABLE IF NOT EXISTS kio_results (id ") + IdColumnType() +
                " PRIMARY KEY, received_at TEXT NOT NULL, address TEXT NOT NULL, activity TEXT NOT NULL,"
                " file TEXT NOT NULL, name TEXT NOT NULL, score TEXT NOT NULL, percent INTEGER,"
                " details TEXT NOT NULL, page_date TEXT NOT NULL, page_time TEXT NOT NULL,"
                " dedup_key TEXT NOT NULL UNIQUE);"
                "CREATE INDEX IF NOT EXISTS kio_results_by_page ON kio_results (file, name);"
                "CREATE INDEX IF NOT EXISTS kio_results_by_time ON kio_results (received_at);"
                "CREATE TABLE IF NOT EXISTS kio_settings (name TEXT PRIMARY KEY, value TEXT NOT NULL);"
                "CREATE TABLE IF NOT EXISTS kio_teachers (token TEXT PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
                " key TEXT NOT NULL UNIQUE);"
                "CREATE TABLE IF NOT EXISTS kio_statements (id TEXT PRIMARY KEY, stored TEXT NOT NULL,"
                " actor TEXT NOT NULL, verb TEXT NOT NULL, activity TEXT NOT NULL, statement TEXT NOT NULL);"
                "CREATE INDEX IF NOT EXISTS kio_statements_by_time ON kio_statements (stored);");
  // Results kept before teachers had tokens of their own belong to the
  // first key: the column is added with "" for them.
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      Select("SELECT teacher FROM kio_results LIMIT 0", {});
      break;
    } catch (const StoreError&) {
      try {
        ExecuteScript("ALTER TABLE kio_results ADD COLUMN teacher TEXT NOT NULL DEFAULT ''");
      } catch (const StoreError&) {
        // Another server over the same database added it first: look again.
      }
    }
  }
  ExecuteScript("CREATE INDEX IF NOT EXISTS kio_results_by_teacher ON kio_results (teacher, name);");
}

ResultStore::~ResultStore() { StopWriters(); }

void ResultStore::AddLater(const ResultPost& post, const std::string& address, const std::string& receivedAt,
                           AddDone done) {
  std::optional<std::string> percent;
  if (post.percent) percent = std::to_string(*post.percent);
  PendingRow pending;
  pending.row = {receivedAt,
                 address,
                 post.activity,
                 post.file,
                 post.name,
                 post.score,
                 percent,
                 post.details,
                 post.date,
                 post.time,
                 DeduplicationKey(post),
                 post.teacher};
  pending.done = std::move(done);
  {
    std::lock_guard lock(queueMutex_);
    if (stopping_) {
      pending.done(AddOutcome::kDuplicate, "the results store is closing");
      return;
    }
    if (writers_.empty())
      for (int i = 0; i < Writers(); ++i) writers_.emplace_back([this] { Write(); });
    queue_.push_back(std::move(pending));
  }
  queued_.notify_one();
}

AddOutcome ResultStore::Add(const ResultPost& post, const std::string& address,
                            const std::string& receivedAt) {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  AddOutcome outcome = AddOutcome::kStored;
  std::string error;
  AddLater(post, address, receivedAt, [&](AddOutcome o, const std::string& e) {
    std::lock_guard lock(mutex);
    outcome = o;
    error = e;
    done = true;
    answered.notify_one();
  });
  std::unique_lock lock(mutex);
  answered.wait(lock, [&] { return done; });
  if (!error.empty()) throw StoreError(error);
  return outcome;
}

void ResultStore::Write() {
  for (;;) {
    std::vector<PendingRow> batch;
    {
      std::unique_lock lock(queueMutex_);
      queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, and nothing left to store
      batch.swap(queue_);
    }
    try {
      InsertBatch(batch);
    } catch (const std::exception& e) {  // out of memory: nobody is told "stored"
      for (PendingRow& p : batch)
        if (p.error.empty()) p.error = e.what();
    }
    for (PendingRow& p : batch)
      p.done(p.changes == 1 ? AddOutcome::kStored : AddOutcome::kDuplicate, p.error);
  }
}

void ResultStore::StopWriters() {
  {
    std::lock_guard lock(queueMutex_);
    stopping_ = true;
  }
  queued_.notify_all();
  for (std::thread& t : writers_)
    if (t.joinable()) t.join();
  writers_.clear();
}

void ResultStore::InsertBatch(std::vector<PendingRow>& rows) {
  for (PendingRow& p : rows) {
    try {
      p.changes = InsertOne(p.row);
    } catch (const StoreError& e) {
      p.error = e.what();
    }
  }
}

int64_t ResultStore::InsertOne(const std::vector<Value>& row) {
  return Change(std::string("INSERT INTO kio_results (") + kInsertColumns +
                    ") VALUES (?, ?, ?, ?, ?, ?, CAST(? AS INTEGER), ?, ?, ?, ?, ?)"
                    " ON CONFLICT (dedup_key) DO NOTHING",
                row);
}

std::vector<StoredResult> ResultStore::Results(const ResultFilter& filter) {
  std::vector<Value> params;
  std::string sql = std::string("SELECT ") + kColumns + " FROM kio_results" + Where(filter, params) +
                    " ORDER BY id DESC" + Limit(filter);
  std::vector<StoredResult> results;
  for (const Row& row : Select(sql, params)) {
    StoredResult r;
    r.id = Number(row[0]);
    r.receivedAt = Text(row[1]);
    r.address = Text(row[2]);
    r.post.activity = Text(row[3]);
    r.post.file = Text(row[4]);
    r.post.name = Text(row[5]);
    r.post.score = Text(row[6]);
    r.post.percent = Percent(row[7]);
    r.post.details = Text(row[8]);
    r.post.date = Text(row[9]);
    r.post.time = Text(row[10]);
    results.push_back(std::move(r));
  }
  return results;
}

std::vector<StudentSummary> ResultStore::Students(const ResultFilter& filter) {
  std::vector<Value> params;
  // The latest result is the one with the highest id: ids grow as results
  // arrive.
  std::string sql =
      "SELECT g.file, r.activity, g.name, g.attempts, g.best, r.score, g.first_at, r.received_at FROM"
      " (SELECT file, name, COUNT(*) AS attempts, MAX(percent) AS best, MAX(id) AS last_id,"
      " MIN(received_at) AS first_at FROM kio_results" +
      Where(filter, params) + " GROUP BY file, name) g JOIN kio_results r ON r.id = g.last_id" +
      " ORDER BY g.file, g.name" + Limit(filter);
  std::vector<StudentSummary> students;
  for (const Row& row : Select(sql, params)) {
    StudentSummary s;
    s.file = Text(row[0]);
    s.activity = Text(row[1]);
    s.name = Text(row[2]);
    s.attempts = Number(row[3]);
    s.best = Percent(row[4]);
    s.latestScore = Text(row[5]);
    s.firstAt = Text(row[6]);
    s.latestAt = Text(row[7]);
    students.push_back(std::move(s));
  }
  return students;
}

std::vector<ActivitySummary> ResultStore::Activities(const ResultFilter& filter) {
  std::vector<Value> params;
  std::string sql =
      "SELECT file, MAX(activity), COUNT(*), COUNT(DISTINCT name), AVG(percent), MAX(received_at)"
      " FROM kio_results" +
      Where(filter, params) + " GROUP BY file ORDER BY file" + Limit(filter);
  std::vector<ActivitySummary> activities;
  for (const Row& row : Select(sql, params)) {
    ActivitySummary a;
    a.file = Text(row[0]);
    a.activity = Text(row[1]);
    a.results = Number(row[2]);
    a.students = Number(row[3]);
    a.average = Percent(row[4]);
    a.latestAt = Text(row[5]);
    activities.push_back(std::move(a));
  }
  return activities;
}

int64_t ResultStore::Count() {
  auto rows = Select("SELECT COUNT(*) FROM kio_results", {});
  return rows.empty() ? 0 : Number(rows[0][0]);
}

std::string ResultStore::TeacherKey(const std::string& candidate) {
  Change("INSERT INTO kio_settings (name, value) VALUES ('teacher_key', ?) ON CONFLICT (name) DO NOTHING",
         {candidate});
  auto rows = Select("SELECT value FROM kio_settings WHERE name = 'teacher_key'", {});
  if (rows.empty() || !rows[0][0]) throw StoreError("the teacher key could not be stored");
  return *rows[0][0];
}

std::string ResultStore::AdminKey(const std::string& candidate) {
  Change("INSERT INTO kio_settings (name, value) VALUES ('admin_key', ?) ON CONFLICT (name) DO NOTHING",
         {candidate});
  auto rows = Select("SELECT value FROM kio_settings WHERE name = 'admin_key'", {});
  if (rows.empty() || !rows[0][0]) throw StoreError("the administrator key could not be stored");
  return *rows[0][0];
}

Teacher ResultStore::AddTeacher(const std::string& name, const std::string& token, const std::string& key) {
  Change("INSERT INTO kio_teachers (token, name, key) VALUES (?, ?, ?) ON CONFLICT (name) DO NOTHING",
         {token, name, key});
  for (Teacher& t : Teachers())
    if (t.name == name) return t;
  throw StoreError("the teacher could not be stored");
}

std::vector<Teacher> ResultStore::Teachers() {
  std::vector<Teacher> teachers;
  for (const Row& row : Select("SELECT t.name, t.token, t.key, (SELECT COUNT(*) FROM kio_results r"
                               " WHERE r.teacher = t.token) FROM kio_teachers t ORDER BY t.name",
                               {})) {
    Teacher t;
    t.name = Text(row[0]);
    t.token = Text(row[1]);
    t.key = Text(row[2]);
    t.results = Number(row[3]);
    teachers.push_back(std::move(t));
  }
  return teachers;
}

int64_t ResultStore::ForgetStudent(const std::string& teacher, const std::string& name) {
  return Change("DELETE FROM kio_results WHERE teacher = ? AND name = ?", {teacher, name});
}

bool ResultStore::AddStatement(const std::string& id, const std::string& stored, const std::string& actor,
                               const std::string& verb, const std::string& activity,
                               const std::string& statement) {
  return Change(
             "INSERT INTO kio_statements (id, stored, actor, verb, activity, statement) VALUES (?, ?, ?, ?, "
             "?, ?)"
             " ON CONFLICT (id) DO NOTHING",
             {id, stored, actor, verb, activity, statement}) == 1;
}

std::optional<std::string> ResultStore::Statement(const std::string& id) {
  auto rows = Select("SELECT statement FROM kio_statements WHERE id = ?", {id});
  if (rows.empty()) return std::nullopt;
  return Text(rows[0][0]);
}

std::vector<std::string> ResultStore::Statements(const StatementFilter& filter) {
  std::string sql = "SELECT statement FROM kio_statements WHERE 1 = 1";
  std::vector<Value> params;
  for (auto [column, value] :
       {std::pair{"actor", &filter.actor}, {"verb", &filter.verb}, {"activity", &filter.activity}}) {
    if (value->empty()) continue;
    sql += std::string(" AND ") + column + " = ?";
    params.emplace_back(*value);
  }
  if (!filter.since.empty()) {
    sql += " AND stored > ?";
    params.emplace_back(filter.since);
  }
  sql += " ORDER BY stored DESC, id LIMIT " + std::to_string(filter.limit);
  std::vector<std::string> statements;
  for (const Row& row : Select(sql, params)) statements.push_back(Text(row[0]));
  return statements;
}

void ResultStore::ReplaceTeacherKey(const std::string& key) {
  Change(
      "INSERT INTO kio_settings (name, value) VALUES ('teacher_key', ?)"
      " ON CONFLICT (name) DO UPDATE SET value = excluded.value",
      {key});
}

}  // namespace kio::results
