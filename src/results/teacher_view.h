// The teacher's view of the results: HTML pages in pure ASCII (every
// student text escaped, non-ASCII as character references) and a CSV file
// for spreadsheets. Portuguese or English, as the browser asks.
#pragma once
#include <string>
#include <vector>

#include "results/store.h"

namespace kio::results {

// Where the server serves the teacher's view and its CSV file.
inline constexpr char kTeacherPath[] = "/teacher";
inline constexpr char kCsvPath[] = "/teacher/results.csv";
// Asks (GET) and then deletes (POST) every result of one student.
inline constexpr char kForgetPath[] = "/teacher/forget";

enum class ViewLanguage { kEnglish, kPortuguese };
// Portuguese when the browser's Accept-Language puts it before English.
ViewLanguage LanguageFromHeader(const std::string& acceptLanguage);
// The language the teacher chose with the view's switch ("pt" or "en"),
// else the browser's.
ViewLanguage ViewLanguageFor(const std::string& chosen, const std::string& acceptLanguage);

// Text for HTML: <, >, &, quotes escaped, every non-ASCII character as a
// numeric reference, control characters dropped. Valid UTF-8 in.
std::string EscapeHtml(const std::string& utf8);
// A value for a query string ("%XX" for everything but letters and digits).
std::string EscapeQuery(const std::string& utf8);

// The filters the teacher chose, as typed (local dates YYYY-MM-DD).
struct ViewQuery {
  std::string key;
  std::string lang;  // "pt" or "en" when the teacher chose one
  std::string file;
  std::string name;
  std::string from;  // first day shown
  std::string to;    // last day shown
};
// The store filter for a view query; dates are days of the server's local
// time. Malformed dates do not narrow.
ResultFilter FilterFor(const ViewQuery& query, size_t limit);

// UTC "YYYY-MM-DD HH:MM:SS" as the server's local time, same form.
std::string LocalTime(const std::string& utc);
// The current UTC time, "YYYY-MM-DD HH:MM:SS".
std::string UtcNow();

struct ViewData {
  std::vector<ActivitySummary> allPages;  // for the page chooser
  std::vector<ActivitySummary> pages;
  std::vector<StudentSummary> students;
  std::vector<StoredResult> latest;
  size_t latestLimit = 0;  // the most `latest` may hold
  std::string storage;     // where the results are kept
};
std::string TeacherPage(const ViewQuery& query, const ViewData& data, ViewLanguage language);
// The page shown when the key is missing or wrong.
std::string KeyNeededPage(bool keyGiven, ViewLanguage language);
// Asks whether to delete every result of the student `name` (`results` of
// them); the answer is posted to kForgetPath.
std::string ForgetPage(const ViewQuery& query, const std::string& name, int64_t results,
                       ViewLanguage language);
// The administrator's list of teachers.
std::string TeachersPage(const ViewQuery& query, const std::vector<Teacher>& teachers, ViewLanguage language);

// CSV for spreadsheets: UTF-8 with a byte-order mark, CRLF line ends, a
// heading row, fields separated by "," or by ";" (what spreadsheets set to
// Portuguese expect); texts that a spreadsheet would take for a formula get
// a leading apostrophe.
std::string ResultsCsv(const std::vector<StoredResult>& results, char separator = ',');

}  // namespace kio::results
