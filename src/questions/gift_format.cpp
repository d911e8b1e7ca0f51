#include "questions/gift_format.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "questions/question_text.h"

namespace kio::questions {

namespace {

// The position of the first of `chars` at or after `from` that no backslash
// escapes; npos when there is none.
size_t FindUnescaped(const std::string& s, size_t from, const char* chars) {
  for (size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
      continue;
    }
    for (const char* c = chars; *c; ++c)
      if (s[i] == *c) return i;
  }
  return std::string::npos;
}

// The position of an unescaped `word` at or after `from`.
size_t FindUnescapedWord(const std::string& s, size_t from, const std::string& word) {
  for (size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
      continue;
    }
    if (s.compare(i, word.size(), word) == 0) return i;
  }
  return std::string::npos;
}

std::string Unescape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char n = s[i + 1];
      if (n == 'n') {
        out += '\n';
        ++i;
        continue;
      }
      if (n == '\\' || n == '~' || n == '=' || n == '#' || n == '{' || n == '}' || n == ':') {
        out += n;
        ++i;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// A leading [html], [moodle], [plain] or [markdown] taken off `text`.
bool TakeFormat(std::string& text, TextFormat& format) {
  static const struct {
    const char* mark;
    TextFormat format;
  } marks[] = {{"[html]", TextFormat::kHtml},
               {"[moodle]", TextFormat::kAuto},
               {"[plain]", TextFormat::kPlain},
               {"[markdown]", TextFormat::kMarkdown}};
  for (const auto& m : marks) {
    const size_t n = std::string(m.mark).size();
    if (text.size() >= n && text.compare(0, n, m.mark) == 0) {
      format = m.format;
      text = Trim(text.substr(n));
      return true;
    }
  }
  return false;
}

RichText Rich(std::string raw, TextFormat inherited) {
  RichText r;
  r.format = inherited;
  raw = Trim(raw);
  TakeFormat(raw, r.format);
  r.text = Unescape(raw);
  return r;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

class QuestionParser {
 public:
  QuestionParser(std::string& error, size_t line) : error_(error), line_(line) {}

  bool Fail(const std::string& what) {
    error_ = "Line " + std::to_string(line_) + ": " + what;
    return false;
  }

  bool Parse(const std::string& raw, Question& q) {
    q.line = line_;
    std::string s = Trim(raw);
    if (s.compare(0, 2, "::") == 0) {
      const size_t end = FindUnescapedWord(s, 2, "::");
      if (end == std::string::npos) return Fail("the question name opened with :: is not closed with ::.");
      q.name = Unescape(Trim(s.substr(2, end - 2)));
      s = Trim(s.substr(end + 2));
    }
    TextFormat format = TextFormat::kAuto;
    TakeFormat(s, format);
    const size_t open = FindUnescaped(s, 0, "{}");
    if (open == std::string::npos) {
      q.kind = QuestionKind::kDescription;
      q.typeName = "description";
      q.text = {Unescape(Trim(s)), format};
      return true;
    }
    if (s[open] == '}') return Fail("a closing brace } comes before any opening brace {.");
    const size_t close = FindUnescaped(s, open + 1, "{}");
    if (close == std::string::npos) return Fail("the brace { is never closed with }.");
    if (s[close] == '{') return Fail("a brace { opens inside the answers; write it as \\{.");
    const std::string before = s.substr(0, open);
    const std::string after = Trim(s.substr(close + 1));
    if (FindUnescaped(after, 0, "{}") != std::string::npos)
      return Fail("a question holds one answer block {...} only.");
    q.text = {Unescape(Trim(before)), format};
    if (!ParseAnswers(s.substr(open + 1, close - open - 1), format, q)) return false;
    if (!after.empty()) {
      if (q.kind == QuestionKind::kMultipleChoice || q.kind == QuestionKind::kShortAnswer) {
        // Missing word: the answers fill a gap in the middle of the text.
        Gap gap;
        gap.answers = std::move(q.answers);
        gap.choice = q.kind == QuestionKind::kMultipleChoice;
        q.answers.clear();
        q.kind = QuestionKind::kCloze;
        q.typeName = "missingword";
        q.text.text = Trim(q.text.text);
        q.gaps.push_back(std::move(gap));
        q.after.push_back(Rich(after, format).text);
      } else {
        q.text.text = Trim(q.text.text) + " _____ " + Rich(after, format).text;
      }
    } else {
      q.text.text = Trim(q.text.text);
    }
    return true;
  }

 private:
  bool ParseAnswers(std::string block, TextFormat format, Question& q) {
    block = Trim(block);
    if (size_t g = FindUnescapedWord(block, 0, "####"); g != std::string::npos) {
      q.generalFeedback = Rich(block.substr(g + 4), format);
      block = Trim(block.substr(0, g));
    }
    if (block.empty()) {
      q.kind = QuestionKind::kEssay;
      q.typeName = "essay";
      return true;
    }
    if (block[0] == '#') {
      q.kind = QuestionKind::kNumerical;
      q.typeName = "numerical";
      return true;
    }
    {
      const size_t hash = FindUnescaped(block, 0, "#");
      const std::string head = Upper(Trim(block.substr(0, hash)));
      if (head == "T" || head == "TRUE" || head == "F" || head == "FALSE") {
        q.kind = QuestionKind::kTrueFalse;
        q.typeName = "truefalse";
        q.trueFalseRight = head[0] == 'T';
        std::string wrong, right;
        if (hash != std::string::npos) {
          const size_t second = FindUnescaped(block, hash + 1, "#");
          wrong = block.substr(hash + 1, second == std::string::npos ? std::string::npos : second - hash - 1);
          if (second != std::string::npos) right = block.substr(second + 1);
        }
        Answer t, f;
        t.text.text = "true";
        f.text.text = "false";
        t.fraction = q.trueFalseRight ? 100 : 0;
        f.fraction = q.trueFalseRight ? 0 : 100;
        (q.trueFalseRight ? t : f).feedback = Rich(right, format);
        (q.trueFalseRight ? f : t).feedback = Rich(wrong, format);
        q.answers = {t, f};
        return true;
      }
    }
    std::vector<std::pair<char, std::string>> parts;
    size_t at = FindUnescaped(block, 0, "=~");
    if (at == std::string::npos || !Trim(block.substr(0, at)).empty())
      return Fail("the answers between braces must each begin with = (right) or ~ (wrong).");
    while (at != std::string::npos) {
      size_t next = FindUnescaped(block, at + 1, "=~");
      parts.emplace_back(block[at],
                         block.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
      at = next;
    }
    bool anyWrongMark = false, anyRightMark = false, anyArrow = false;
    for (const auto& [mark, body] : parts) {
      (mark == '~' ? anyWrongMark : anyRightMark) = true;
      if (FindUnescapedWord(body, 0, "->") != std::string::npos) anyArrow = true;
    }
    if (anyArrow) {
      q.kind = QuestionKind::kMatching;
      q.typeName = "matching";
      for (const auto& [mark, body] : parts) {
        const size_t arrow = FindUnescapedWord(body, 0, "->");
        if (mark != '=' || arrow == std::string::npos)
          return Fail("every pair of a matching question is written =question -> answer.");
        MatchPair p;
        p.question = Rich(body.substr(0, arrow), format);
        p.answer = Unescape(Trim(body.substr(arrow + 2)));
        q.pairs.push_back(std::move(p));
      }
      return true;
    }
    q.kind = anyWrongMark ? QuestionKind::kMultipleChoice : QuestionKind::kShortAnswer;
    q.typeName = anyWrongMark ? "multichoice" : "shortanswer";
    q.singleAnswer = anyRightMark || !anyWrongMark;
    for (const auto& [mark, raw] : parts) {
      std::string body = Trim(raw);
      Answer a;
      a.fraction = mark == '=' ? 100 : 0;
      if (!body.empty() && body[0] == '%') {
        const size_t end = body.find('%', 1);
        char* stop = nullptr;
        const std::string number = end == std::string::npos ? "" : body.substr(1, end - 1);
        const double w = std::strtod(number.c_str(), &stop);
        if (number.empty() || *stop != '\0' || w < -100 || w > 100)
          return Fail("a weight is written %50% (a percentage from -100 to 100).");
        a.fraction = w;
        body = body.substr(end + 1);
      }
      const size_t hash = FindUnescaped(body, 0, "#");
      a.text = Rich(body.substr(0, hash), format);
      if (hash != std::string::npos) a.feedback = Rich(body.substr(hash + 1), format);
      q.answers.push_back(std::move(a));
    }
    return true;
  }

  std::string& error_;
  size_t line_;
};

// Whether the unescaped braces of `line` leave one open, given `open`
// before it.
bool BraceOpenAfter(const std::string& line, bool open) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
      continue;
    }
    if (line[i] == '{') open = true;
    if (line[i] == '}') open = false;
  }
  return open;
}

}  // namespace

std::string EscapeGift(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '\\' || c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':') out += '\\';
    out += c;
  }
  return out;
}

bool GiftFormat::CanRead(const std::string& bytes) const {
  const std::string head = bytes.substr(0, 4096);
  return head.find('{') != std::string::npos && head.find('}') != std::string::npos &&
         head.find("<?xml") == std::string::npos && head.find("<quiz") == std::string::npos;
}

bool GiftFormat::Read(const std::string& bytes, QuestionBank& bank) {
  ClearError();
  bank = {};
  std::string text, error;
  if (!DecodeTextFile(bytes, text, error)) return RaiseError(error);
  std::vector<std::string> pending;
  std::string block, category;
  size_t blockLine = 0, lineNo = 0;
  bool braceOpen = false;
  auto flush = [&]() -> bool {
    if (Trim(block).empty()) {
      block.clear();
      return true;
    }
    if (bank.questions.size() >= kMaxQuestions)
      return RaiseError("The file holds more than " + std::to_string(kMaxQuestions) + " questions.");
    Question q;
    QuestionParser parser(error, blockLine);
    if (!parser.Parse(block, q)) return RaiseError(error);
    q.category = category;
    q.comments = std::move(pending);
    pending.clear();
    bank.questions.push_back(std::move(q));
    block.clear();
    return true;
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    const std::string trimmed = Trim(line);
    if (trimmed.compare(0, 2, "//") == 0) {
      if (block.empty()) {
        std::string c = trimmed.substr(2);
        if (!c.empty() && c[0] == ' ') c.erase(0, 1);
        pending.push_back(std::move(c));
      }
      continue;
    }
    if (trimmed.empty() && !braceOpen) {
      if (!flush()) {
        bank = {};
        return false;
      }
      if (bank.questions.empty() && !pending.empty()) {
        for (auto& c : pending) bank.comments.push_back(std::move(c));
        pending.clear();
      }
      continue;
    }
    if (block.empty() && trimmed.compare(0, 10, "$CATEGORY:") == 0) {
      category = Trim(trimmed.substr(10));
      continue;
    }
    if (block.empty()) {
      blockLine = lineNo;
    } else {
      block += '\n';
    }
    block += line;
    braceOpen = BraceOpenAfter(line, braceOpen);
  }
  if (braceOpen) {
    bank = {};
    return RaiseError("Line " + std::to_string(blockLine) + ": the brace { is never closed with }.");
  }
  if (!flush()) {
    bank = {};
    return false;
  }
  if (bank.questions.empty()) {
    bank = {};
    return RaiseError("The file holds no question.");
  }
  return true;
}

namespace {

std::string FormatMark(TextFormat f) {
  switch (f) {
    case TextFormat::kHtml: return "[html]";
    case TextFormat::kPlain: return "[plain]";
    case TextFormat::kMarkdown: return "[markdown]";
    case TextFormat::kAuto: break;
  }
  return "";
}

std::string WriteText(const RichText& t, TextFormat questionFormat) {
  return (t.format != questionFormat ? FormatMark(t.format) : std::string()) + EscapeGift(t.text);
}

void WriteAnswer(std::string& out, char mark, const Answer& a, bool weight, TextFormat f) {
  out += "\t";
  out += mark;
  if (weight) out += "%" + FormatWeight(a.fraction) + "%";
  out += WriteText(a.text, f);
  if (!a.feedback.text.empty()) out += "#" + WriteText(a.feedback, f);
  out += "\n";
}

void WriteGeneralFeedback(std::string& out, const Question& q, TextFormat f) {
  if (!q.generalFeedback.text.empty()) out += "\t####" + WriteText(q.generalFeedback, f) + "\n";
}

void WriteChoices(std::string& out, const std::vector<Answer>& answers, bool single, TextFormat f) {
  for (const Answer& a : answers) {
    if (single && a.fraction == 100)
      WriteAnswer(out, '=', a, false, f);
    else
      WriteAnswer(out, '~', a, a.fraction != 0 || !single, f);
  }
}

// The gap of a missing-word question, between its braces.
void WriteGap(std::string& out, const Gap& gap, TextFormat f) {
  if (gap.choice) {
    // A gap's answers are short texts: their own format needs no mark.
    (void)f;
    for (const Answer& a : gap.answers) {
      if (a.fraction == 100)
        WriteAnswer(out, '=', a, false, a.text.format);
      else
        WriteAnswer(out, '~', a, a.fraction != 0, a.text.format);
    }
  } else {
    for (const Answer& a : gap.answers) WriteAnswer(out, '=', a, a.fraction != 100, a.text.format);
  }
}

}  // namespace

bool GiftFormat::Write(const QuestionBank& bank, std::string& out) {
  ClearError();
  out.clear();
  for (const std::string& c : bank.comments) out += "// " + c + "\n";
  if (!bank.comments.empty()) out += "\n";
  std::string category;
  for (const Question& q : bank.questions) {
    if (q.category != category && !q.category.empty()) {
      out += "$CATEGORY: " + q.category + "\n\n";
    }
    category = q.category;
    // A text with several gaps becomes one missing-word question per gap,
    // GIFT's own form: the first carries the question's name and comments.
    const size_t pieces = q.kind == QuestionKind::kCloze ? std::max<size_t>(q.gaps.size(), 1) : 1;
    for (size_t piece = 0; piece < pieces; ++piece) {
      if (piece == 0) {
        for (const std::string& c : q.comments) out += "// " + c + "\n";
        if (!q.name.empty()) out += "::" + EscapeGift(q.name) + "::";
      }
      const TextFormat f = q.text.format;
      out += FormatMark(f);
      // A text that would read as a comment, a category or a format mark
      // at the start of its line gets the mark of its own (default) format.
      if (f == TextFormat::kAuto && q.name.empty() && (piece == 0 || q.kind != QuestionKind::kCloze)) {
        TextFormat ignored;
        std::string start = q.text.text.substr(0, 12);
        if (start.compare(0, 2, "//") == 0 || start.compare(0, 1, "$") == 0 || TakeFormat(start, ignored))
          out += "[moodle]";
      }
      switch (q.kind) {
        case QuestionKind::kCloze: {
          if (q.gaps.empty()) {
            out += EscapeGift(q.text.text) + "\n";
            break;
          }
          out += EscapeGift(piece == 0 ? q.text.text : std::string()) + " {\n";
          WriteGap(out, q.gaps[piece], f);
          out += "}";
          std::string tail = piece < q.after.size() ? q.after[piece] : std::string();
          // A piece needs text after its gap to stay a missing word.
          if (Trim(tail).empty()) tail = "_";
          if (tail[0] != ' ') out += ' ';
          out += EscapeGift(tail) + "\n";
          break;
        }
        case QuestionKind::kDescription: out += EscapeGift(q.text.text) + "\n"; break;
        case QuestionKind::kMultipleChoice:
          out += EscapeGift(q.text.text) + " {\n";
          WriteChoices(out, q.answers, q.singleAnswer, f);
          WriteGeneralFeedback(out, q, f);
          out += "}\n";
          break;
        case QuestionKind::kTrueFalse: {
          std::string right, wrong;
          for (const Answer& a : q.answers) (a.fraction > 0 ? right : wrong) = WriteText(a.feedback, f);
          out += EscapeGift(q.text.text) + " {" + (q.trueFalseRight ? "TRUE" : "FALSE");
          if (!right.empty() || !wrong.empty()) out += "#" + wrong;
          if (!right.empty()) out += "#" + right;
          if (!q.generalFeedback.text.empty()) out += "####" + WriteText(q.generalFeedback, f);
          out += "}\n";
          break;
        }
        case QuestionKind::kShortAnswer:
          out += EscapeGift(q.text.text) + " {\n";
          for (const Answer& a : q.answers) WriteAnswer(out, '=', a, a.fraction != 100, f);
          WriteGeneralFeedback(out, q, f);
          out += "}\n";
          break;
        case QuestionKind::kMatching:
          out += EscapeGift(q.text.text) + " {\n";
          for (const MatchPair& p : q.pairs)
            out += "\t=" + WriteText(p.question, f) + " -> " + EscapeGift(p.answer) + "\n";
          WriteGeneralFeedback(out, q, f);
          out += "}\n";
          break;
        case QuestionKind::kEssay: out += EscapeGift(q.text.text) + " {}\n"; break;
        case QuestionKind::kNumerical:
        case QuestionKind::kOther:
          return RaiseError("GIFT cannot hold the " + KindName(q) + " question \"" + QuestionLabel(q) +
                            "\".");
      }
      out += "\n";
    }
  }
  return true;
}

}  // namespace kio::questions
