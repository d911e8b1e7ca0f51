#include "results/teacher_view.h"

#include <cstdio>
#include <ctime>
#include <initializer_list>

namespace kio::results {

namespace {

// The view's texts; Portuguese ones carry their accents as references so
// that the page stays pure ASCII.
struct Texts {
  const char* lang;
  const char* title;
  const char* filters;
  const char* page;
  const char* anyPage;
  const char* student;
  const char* nameContains;
  const char* from;
  const char* to;
  const char* apply;
  const char* clear;
  const char* csv;
  const char* pages;
  const char* activity;
  const char* students;
  const char* results;
  const char* average;
  const char* lastReceived;
  const char* attempts;
  const char* latestScore;
  const char* bestScore;
  const char* firstSent;
  const char* lastSent;
  const char* latest;
  const char* received;
  const char* score;
  const char* details;
  const char* pageClock;
  const char* address;
  const char* none;
  const char* storage;
  const char* shownLimit;
  const char* csvAll;
  const char* keyMissing;
  const char* keyWrong;
  const char* keyHelp;
  const char* otherLanguage;  // the switch to the other language
  const char* otherLang;
  const char* forget;
  const char* forgetTitle;
  const char* forgetAsk;
  const char* forgetWarning;
  const char* forgetYes;
  const char* cancel;
  const char* teachers;
  const char* teacher;
  const char* courseAddress;
  const char* noTeachers;
  const char* addTeacherHelp;
};

const Texts kEnglish = {"en",
                        "KIO results",
                        "Filters",
                        "Page",
                        "All pages",
                        "Student",
                        "Student name contains",
                        "From (day)",
                        "To (day)",
                        "Show",
                        "Clear filters",
                        "Download CSV (spreadsheet)",
                        "Pages",
                        "Activity",
                        "Students",
                        "Results",
                        "Average score",
                        "Last received",
                        "Attempts",
                        "Latest score",
                        "Best score",
                        "First sent",
                        "Last sent",
                        "Latest results",
                        "Received",
                        "Score",
                        "Details",
                        "Student's clock",
                        "Sent from",
                        "No results yet.",
                        "Results are kept in",
                        "The latest results show at most",
                        "results; the CSV file holds every result that matches the filters.",
                        "This page needs the teacher key.",
                        "The teacher key in this address is not right.",
                        "Open the teacher view address that kio-results printed when it started; it ends "
                        "with ?key= and the key.",
                        "Portugu&#234;s",
                        "pt",
                        "Forget",
                        "Forget a student",
                        "Delete every result of this student?",
                        "results of this student, on every page, will be deleted for good. The CSV file will "
                        "not hold them either.",
                        "Delete every result of this student",
                        "Cancel",
                        "Teachers",
                        "Teacher",
                        "Their pages post to",
                        "No teachers added yet.",
                        "Add a teacher with: kio-results --add-teacher NAME"};

const Texts kPortuguese = {
    "pt",
    "Resultados do KIO",
    "Filtros",
    "P&#225;gina",
    "Todas as p&#225;ginas",
    "Aluno",
    "Nome do aluno cont&#233;m",
    "De (dia)",
    "At&#233; (dia)",
    "Mostrar",
    "Limpar filtros",
    "Baixar CSV (planilha)",
    "P&#225;ginas",
    "Atividade",
    "Alunos",
    "Resultados",
    "M&#233;dia",
    "&#218;ltimo recebido",
    "Tentativas",
    "&#218;ltima nota",
    "Melhor nota",
    "Primeiro envio",
    "&#218;ltimo envio",
    "Resultados mais recentes",
    "Recebido",
    "Nota",
    "Detalhes",
    "Rel&#243;gio do aluno",
    "Enviado de",
    "Nenhum resultado ainda.",
    "Os resultados ficam em",
    "Os resultados mais recentes mostram no m&#225;ximo",
    "resultados; o arquivo CSV tem todos os que atendem aos filtros.",
    "Esta p&#225;gina precisa da chave do professor.",
    "A chave do professor neste endere&#231;o n&#227;o est&#225; certa.",
    "Abra o endere&#231;o da vis&#227;o do professor que o kio-results mostrou ao iniciar; ele termina com "
    "?key= e a chave.",
    "English",
    "en",
    "Esquecer",
    "Esquecer um aluno",
    "Apagar todos os resultados deste aluno?",
    "resultados deste aluno, em todas as p&#225;ginas, ser&#227;o apagados para sempre. O arquivo CSV "
    "tamb&#233;m n&#227;o os ter&#225;.",
    "Apagar todos os resultados deste aluno",
    "Cancelar",
    "Professores",
    "Professor",
    "As p&#225;ginas enviam para",
    "Nenhum professor adicionado ainda.",
    "Adicione um professor com: kio-results --add-teacher NOME"};

const Texts& TextsFor(ViewLanguage language) {
  return language == ViewLanguage::kPortuguese ? kPortuguese : kEnglish;
}

const char kStyle[] =
    "body{font-family:system-ui,sans-serif;margin:1rem auto;max-width:72rem;padding:0 1rem;color:#1a1a1a}"
    "h1{font-size:1.5rem}h2{font-size:1.2rem;margin-top:2rem}"
    ".scroll{overflow-x:auto}table{border-collapse:collapse;width:100%;margin:.5rem 0}"
    "th,td{border:1px solid #bbb;padding:.3rem .5rem;text-align:left;vertical-align:top}"
    "th{background:#eef}td.n{text-align:right}td.d{white-space:pre-wrap;font-size:.9rem}"
    "form{display:flex;flex-wrap:wrap;gap:.5rem 1rem;align-items:end}"
    "label{display:flex;flex-direction:column;font-size:.9rem}"
    "input,select,button{font:inherit;padding:.25rem}.note{color:#555;font-size:.9rem}"
    "a.csv{display:inline-block;margin:.5rem 0;font-weight:bold}"
    "@media (max-width:40rem){td.d{font-size:.8rem}}";

std::string Percent(const std::optional<int>& percent) {
  return percent ? std::to_string(*percent) + "%" : "-";
}

// Decodes one code point; `i` moves past it. Input is valid UTF-8.
unsigned int NextCodePoint(const std::string& text, size_t& i) {
  unsigned char c = text[i++];
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
  unsigned int point = c & (0x3F >> extra);
  for (int k = 0; k < extra && i < text.size(); ++k) point = (point << 6) | (text[i++] & 0x3F);
  return point;
}

// A table too wide for a phone scrolls sideways inside a box that the
// keyboard can reach.
std::string ScrollBox(const char* label) {
  return std::string("<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"") + label + "\">";
}

// A view page up to and including its heading; extraHead goes into <head>
// just before the title.
std::string PageStart(const Texts& t, const char* extraHead) {
  return std::string("<!DOCTYPE html>\n<html lang=\"") + t.lang +
         "\">\n<head>\n<meta charset=\"us-ascii\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n" +
         extraHead + "<title>" + t.title + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
         t.title + "</h1>\n";
}

// A section's heading and the start of its table, with the column headings.
std::string TableStart(const char* title, std::initializer_list<const char*> columns) {
  std::string h = std::string("<h2>") + title + "</h2>\n" + ScrollBox(title) + "<table>\n<tr>";
  for (const char* column : columns) h += std::string("<th scope=\"col\">") + column + "</th>";
  return h + "</tr>\n";
}

std::string Cell(const std::string& html, const char* cls = nullptr) {
  return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" + html + "</td>";
}

std::string QueryString(const ViewQuery& q, const std::string& file) {
  std::string s = "?key=" + EscapeQuery(q.key);
  if (!q.lang.empty()) s += "&amp;lang=" + EscapeQuery(q.lang);
  if (!file.empty()) s += "&amp;file=" + EscapeQuery(file);
  if (!q.name.empty()) s += "&amp;name=" + EscapeQuery(q.name);
  if (!q.from.empty()) s += "&amp;from=" + EscapeQuery(q.from);
  if (!q.to.empty()) s += "&amp;to=" + EscapeQuery(q.to);
  return s;
}

bool ParseDay(const std::string& day, std::tm& tm) {
  int y, m, d;
  char tail;
  if (day.size() != 10 || std::sscanf(day.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
  if (y < 1970 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  tm = {};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_isdst = -1;
  return true;
}

std::string FormatUtc(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &tm);
  return buffer;
}

// Local midnight of a day as UTC text; `nextDay` takes the midnight after it.
std::string DayStartUtc(const std::string& day, bool nextDay) {
  std::tm tm{};
  if (!ParseDay(day, tm)) return "";
  if (nextDay) tm.tm_mday += 1;
  std::time_t t = std::mktime(&tm);
  return t == -1 ? "" : FormatUtc(t);
}

}  // namespace

ViewLanguage ViewLanguageFor(const std::string& chosen, const std::string& acceptLanguage) {
  if (chosen == "pt") return ViewLanguage::kPortuguese;
  if (chosen == "en") return ViewLanguage::kEnglish;
  return LanguageFromHeader(acceptLanguage);
}

ViewLanguage LanguageFromHeader(const std::string& acceptLanguage) {
  // The first language named that is Portuguese or English wins.
  for (size_t i = 0; i < acceptLanguage.size(); ++i) {
    if (i > 0 && acceptLanguage[i - 1] != ',' && acceptLanguage[i - 1] != ' ') continue;
    std::string two = acceptLanguage.substr(i, 2);
    for (char& c : two) c = static_cast<char>(c | 0x20);
    if (two == "pt") return ViewLanguage::kPortuguese;
    if (two == "en") return ViewLanguage::kEnglish;
  }
  return ViewLanguage::kEnglish;
}

std::string EscapeHtml(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    unsigned int c = NextCodePoint(utf8, i);
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if (c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F))
          out += static_cast<char>(c);
        else if (c >= 0xA0)
          out += "&#" + std::to_string(c) + ";";
        // other control characters are dropped
    }
  }
  return out;
}

std::string EscapeQuery(const std::string& utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : utf8) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '_' || c == '.';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

ResultFilter FilterFor(const ViewQuery& query, size_t limit) {
  ResultFilter filter;
  filter.file = query.file;
  filter.name = query.name;
  filter.since = DayStartUtc(query.from, false);
  filter.until = DayStartUtc(query.to, true);
  filter.limit = limit;
  return filter;
}

std::string LocalTime(const std::string& utc) {
  std::tm tm{};
  if (std::sscanf(utc.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                  &tm.tm_min, &tm.tm_sec) != 6)
    return utc;
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  std::time_t t = timegm(&tm);
  std::tm local{};
  localtime_r(&t, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  return buffer;
}

std::string UtcNow() { return FormatUtc(std::time(nullptr)); }

std::string TeacherPage(const ViewQuery& q, const ViewData& data, ViewLanguage language) {
  const Texts& t = TextsFor(language);
  std::string h = PageStart(t, "<meta name=\"referrer\" content=\"no-referrer\">\n");
  ViewQuery other = q;
  other.lang = t.otherLang;
  h += std::string("<p><a href=\"") + kTeacherPath + QueryString(other, q.file) + "\" lang=\"" + t.otherLang +
       "\">" + t.otherLanguage + "</a></p>\n";

  // Filters: a plain GET form that carries the key along.
  h += std::string("<h2>") + t.filters + "</h2>\n<form method=\"get\" action=\"" + kTeacherPath + "\">\n";
  h += "<input type=\"hidden\" name=\"key\" value=\"" + EscapeHtml(q.key) + "\">\n";
  if (!q.lang.empty()) h += "<input type=\"hidden\" name=\"lang\" value=\"" + EscapeHtml(q.lang) + "\">\n";
  h += std::string("<label>") + t.page + " <select name=\"file\"><option value=\"\">" + t.anyPage +
       "</option>";
  for (const ActivitySummary& a : data.allPages) {
    h += "<option value=\"" + EscapeHtml(a.file) + "\"" + (a.file == q.file ? " selected" : "") + ">" +
         EscapeHtml(a.file) + "</option>";
  }
  h += "</select></label>\n";
  h += std::string("<label>") + t.nameContains + " <input type=\"search\" name=\"name\" value=\"" +
       EscapeHtml(q.name) + "\"></label>\n";
  h += std::string("<label>") + t.from + " <input type=\"date\" name=\"from\" value=\"" + EscapeHtml(q.from) +
       "\"></label>\n";
  h += std::string("<label>") + t.to + " <input type=\"date\" name=\"to\" value=\"" + EscapeHtml(q.to) +
       "\"></label>\n";
  h += std::string("<button type=\"submit\">") + t.apply + "</button>\n<a href=\"" + kTeacherPath +
       "?key=" + EscapeQuery(q.key) + "\">" + t.clear + "</a>\n</form>\n";
  std::string csv = kCsvPath + QueryString(q, q.file);
  if (language == ViewLanguage::kPortuguese) csv += "&amp;sep=semicolon";
  h += "<p><a class=\"csv\" href=\"" + csv + "\">" + t.csv + "</a></p>\n";

  if (data.pages.empty()) {
    h += std::string("<p>") + t.none + "</p>\n";
  } else {
    h += TableStart(t.pages, {t.page, t.activity, t.students, t.results, t.average, t.lastReceived});
    for (const ActivitySummary& a : data.pages) {
      h += "<tr>" +
           Cell(std::string("<a href=\"") + kTeacherPath + QueryString(q, a.file) + "\">" +
                EscapeHtml(a.file) + "</a>") +
           Cell(EscapeHtml(a.activity)) + Cell(std::to_string(a.students), "n") +
           Cell(std::to_string(a.results), "n") + Cell(Percent(a.average), "n") +
           Cell(EscapeHtml(LocalTime(a.latestAt))) + "</tr>\n";
    }
    h += "</table></div>\n";

    h += TableStart(t.students, {t.page, t.student, t.attempts, t.latestScore, t.bestScore, t.firstSent,
                                 t.lastSent, t.forget});
    for (const StudentSummary& s : data.students) {
      std::string forget = std::string("<a href=\"") + kForgetPath + "?key=" + EscapeQuery(q.key) +
                           (q.lang.empty() ? "" : "&amp;lang=" + EscapeQuery(q.lang)) +
                           "&amp;name=" + EscapeQuery(s.name) + "\">" + t.forget + "</a>";
      h += "<tr>" + Cell(EscapeHtml(s.file)) + Cell(EscapeHtml(s.name)) +
           Cell(std::to_string(s.attempts), "n") + Cell(EscapeHtml(s.latestScore), "n") +
           Cell(Percent(s.best), "n") + Cell(EscapeHtml(LocalTime(s.firstAt))) +
           Cell(EscapeHtml(LocalTime(s.latestAt))) + Cell(forget) + "</tr>\n";
    }
    h += "</table></div>\n";

    h += TableStart(t.latest, {t.received, t.student, t.page, t.score, t.details, t.pageClock, t.address});
    for (const StoredResult& r : data.latest) {
      h += "<tr>" + Cell(EscapeHtml(LocalTime(r.receivedAt))) + Cell(EscapeHtml(r.post.name)) +
           Cell(EscapeHtml(r.post.file)) + Cell(EscapeHtml(r.post.score), "n") +
           Cell(EscapeHtml(r.post.details), "d") + Cell(EscapeHtml(r.post.date + " " + r.post.time)) +
           Cell(EscapeHtml(r.address)) + "</tr>\n";
    }
    h += "</table></div>\n";
    h += std::string("<p class=\"note\">") + t.shownLimit + " " + std::to_string(data.latestLimit) + " " +
         t.csvAll + "</p>\n";
  }
  h += std::string("<p class=\"note\">") + t.storage + " " + EscapeHtml(data.storage) +
       "</p>\n</body>\n</html>\n";
  return h;
}

std::string KeyNeededPage(bool keyGiven, ViewLanguage language) {
  const Texts& t = TextsFor(language);
  return PageStart(t, "") + "<p>" + (keyGiven ? t.keyWrong : t.keyMissing) + "</p>\n<p>" + t.keyHelp +
         "</p>\n</body>\n</html>\n";
}

std::string ForgetPage(const ViewQuery& q, const std::string& name, int64_t results, ViewLanguage language) {
  const Texts& t = TextsFor(language);
  std::string h = PageStart(t, "<meta name=\"referrer\" content=\"no-referrer\">\n");
  h += std::string("<h2>") + t.forgetTitle + "</h2>\n<p><strong>" + EscapeHtml(name) + "</strong></p>\n<p>" +
       t.forgetAsk + "</p>\n<p>" + std::to_string(results) + " " + t.forgetWarning + "</p>\n";
  h += std::string("<form method=\"post\" action=\"") + kForgetPath + "\">\n";
  h += "<input type=\"hidden\" name=\"key\" value=\"" + EscapeHtml(q.key) + "\">\n";
  h += "<input type=\"hidden\" name=\"lang\" value=\"" + EscapeHtml(q.lang) + "\">\n";
  h += "<input type=\"hidden\" name=\"name\" value=\"" + EscapeHtml(name) + "\">\n";
  h += std::string("<button type=\"submit\">") + t.forgetYes + "</button>\n<a href=\"" + kTeacherPath +
       QueryString(q, "") + "\">" + t.cancel + "</a>\n</form>\n</body>\n</html>\n";
  return h;
}

std::string TeachersPage(const ViewQuery& q, const std::vector<Teacher>& teachers, ViewLanguage language) {
  const Texts& t = TextsFor(language);
  std::string h = PageStart(t, "<meta name=\"referrer\" content=\"no-referrer\">\n");
  if (teachers.empty()) {
    h += std::string("<p>") + t.noTeachers + "</p>\n";
  } else {
    h += TableStart(t.teachers, {t.teacher, t.courseAddress, t.results});
    for (const Teacher& teacher : teachers)
      h += "<tr>" + Cell(EscapeHtml(teacher.name)) +
           Cell(std::string("/results/") + EscapeHtml(teacher.token)) +
           Cell(std::to_string(teacher.results), "n") + "</tr>\n";
    h += "</table></div>\n";
  }
  h += std::string("<p class=\"note\">") + t.addTeacherHelp + "</p>\n</body>\n</html>\n";
  (void)q;
  return h;
}

std::string ResultsCsv(const std::vector<StoredResult>& results, char separator) {
  auto field = [separator](const std::string& value, bool studentText) {
    std::string v = value;
    // A spreadsheet runs a cell that starts like a formula.
    if (studentText && !v.empty() && std::string("=+-@\t\r").find(v[0]) != std::string::npos) v = "'" + v;
    bool quote = v.find_first_of(std::string("\"\r\n") + separator) != std::string::npos;
    if (!quote) return v;
    std::string out = "\"";
    for (char c : v) {
      if (c == '"') out += '"';
      out += c;
    }
    return out + "\"";
  };
  std::string csv = "\xEF\xBB\xBF";
  const char* headings[] = {"received", "student", "page",      "activity",  "score",
                            "percent",  "details", "page date", "page time", "sent from"};
  for (size_t i = 0; i < std::size(headings); ++i) csv += (i ? std::string(1, separator) : "") + headings[i];
  csv += "\r\n";
  for (const StoredResult& r : results) {
    std::string details;
    for (char c : r.post.details) details += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string cells[] = {field(LocalTime(r.receivedAt), false),
                           field(r.post.name, true),
                           field(r.post.file, true),
                           field(r.post.activity, true),
                           field(r.post.score, false),
                           r.post.percent ? std::to_string(*r.post.percent) : "",
                           field(details, true),
                           field(r.post.date, false),
                           field(r.post.time, false),
                           field(r.address, false)};
    for (size_t i = 0; i < std::size(cells); ++i) csv += (i ? std::string(1, separator) : "") + cells[i];
    csv += "\r\n";
  }
  return csv;
}

}  // namespace kio::results
