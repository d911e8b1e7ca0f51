#include "questions/mapping.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>

#include "fileio/file.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "questions/question_text.h"

namespace kio::questions {

namespace {

// --- The "kio:" comments -----------------------------------------------

// A text's fingerprint: an override of a text applies only while the text
// it replaces is still the one exported, so that a question changed on a
// platform is read as it now is.
std::string Fingerprint(const std::string& text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char b[17];
  std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(h));
  return b;
}

// Comment values: each "=" followed by the value with blanks and the
// characters no comment may hold written %XX.
std::string Value(const std::string& cp1252) {
  std::string v = EncodeCommentValue(Cp1252ToUtf8(cp1252)), out = "=";
  for (char c : v) out += c == ' ' ? std::string("%20") : std::string(1, c);
  return out;
}

bool ParseValue(const std::string& token, std::string& cp1252) {
  std::string utf8;
  if (token.empty() || token[0] != '=' || !DecodeCommentValue(token.substr(1), utf8)) return false;
  auto back = Utf8ToCp1252(utf8);
  if (!back) return false;
  cp1252 = *back;
  return true;
}

std::vector<std::string> Tokens(const std::string& comment) {
  std::vector<std::string> t;
  size_t start = 0;
  while (start <= comment.size()) {
    size_t end = comment.find(' ', start);
    if (end == std::string::npos) end = comment.size();
    if (end > start) t.push_back(comment.substr(start, end - start));
    start = end + 1;
  }
  return t;
}

// The overrides of one question or of the bank: a key ("item 2",
// "pair 0 a", "text") to the fingerprint of the natural text and the text.
struct Overrides {
  std::map<std::string, std::pair<std::string, std::string>> texts;
  std::vector<std::string> settings;
  bool hasSettings = false;
  std::string document;

  void Read(const std::vector<std::string>& comments) {
    for (const std::string& c : comments) {
      std::vector<std::string> t = Tokens(Trim(c));
      if (t.empty() || t[0].compare(0, 4, "kio:") != 0) continue;
      const std::string key = t[0].substr(4);
      if (key == "document" && t.size() == 2) {
        document = t[1];
      } else if (key == "settings") {
        std::vector<std::string> values;
        bool ok = true;
        for (size_t i = 1; i < t.size() && ok; ++i) {
          values.emplace_back();
          ok = ParseValue(t[i], values.back());
        }
        if (ok) {
          settings = std::move(values);
          hasSettings = true;
        }
      } else if (t.size() >= 3) {
        std::string name = key;
        for (size_t i = 1; i + 2 < t.size(); ++i) name += " " + t[i];
        std::string v;
        if (ParseValue(t.back(), v)) texts[name] = {t[t.size() - 2], v};
      }
    }
  }

  // Replaces `text` by its override when the override was made for it.
  void Apply(const std::string& key, std::string& text) const {
    auto it = texts.find(key);
    if (it != texts.end() && it->second.first == Fingerprint(text)) text = it->second.second;
  }
};

void AddOverride(std::vector<std::string>& comments, const std::string& key, const std::string& natural,
                 const std::string& wanted) {
  if (natural != wanted) comments.push_back("kio:" + key + " " + Fingerprint(natural) + " " + Value(wanted));
}

// --- Texts --------------------------------------------------------------

std::string Hex(char32_t c) {
  char b[16];
  std::snprintf(b, sizeof b, "U+%04X", static_cast<unsigned>(c));
  return b;
}

std::string CrLf(const std::string& lf) { return ReplaceAll(lf, "\n", "\r\n"); }

std::string ToUtf8Lf(const std::string& cp1252) { return ReplaceAll(Cp1252ToUtf8(cp1252), "\r\n", "\n"); }

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return Trim(text);
}

std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(at, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, const std::string& with) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? with : std::string()) + parts[i];
  return out;
}

// --- Import -------------------------------------------------------------

class Importer {
 public:
  Importer(const QuestionBank& bank, DocumentKind kind, const ImportOptions& options)
      : bank_(bank), kind_(kind), options_(options) {
    bankOverrides_.Read(bank.comments);
    kindMatches_ = bankOverrides_.document == DocumentExtension(kind);
  }

  ImportResult Run() {
    result_.questions = bank_.questions.size();
    for (size_t i = 0; i < bank_.questions.size(); ++i) Take(i);
    FinishLong();
    if (bankOverrides_.hasSettings)
      for (KioDocument& d : result_.documents) d.settings = bankOverrides_.settings;
    return std::move(result_);
  }

 private:
  void Report(const Question& q, const std::string& message, bool dropped) {
    result_.problems.push_back({q.line, QuestionLabel(q), message, dropped});
  }
  void Drop(const Question& q, const std::string& message) { Report(q, message, true); }

  // A text into the document's encoding; false (the question reported)
  // when a character has no place there.
  bool Text(const Question& q, const std::string& utf8, std::string& out) {
    std::string bad;
    if (ToDocumentText(utf8, out, bad)) return true;
    Drop(q, "it holds the character " + bad + ", which KIO's documents cannot hold");
    return false;
  }

  void NoteName(const Question& q) {
    if (q.name.empty()) return;
    const std::string text = OneLine(PlainText(q.text));
    Question unnamed;
    unnamed.text = q.text;
    if (text.compare(0, q.name.size(), q.name) == 0 || q.name == QuestionLabel(unnamed)) return;
    Report(q, "its name \"" + q.name + "\" is not kept (an item has no name)", false);
  }

  // A field of an item that may hold HTML: kept as written.
  bool Markup(const Question& q, const RichText& t, std::string& out, const char* none = "#") {
    std::string text = Trim(t.text);
    // A plain text keeps its '<' as a character: where it would open a tag
    // it is written as its reference.
    if (t.format == TextFormat::kPlain || t.format == TextFormat::kMarkdown) {
      std::string safe;
      for (size_t i = 0; i < text.size(); ++i) {
        const char n = i + 1 < text.size() ? text[i + 1] : '\0';
        const bool opens = std::isalpha(static_cast<unsigned char>(n)) || n == '/' || n == '!';
        safe += text[i] == '<' && opens ? std::string("&lt;") : std::string(1, text[i]);
      }
      text = safe;
    }
    if (!Text(q, CrLf(text), out)) return false;
    if (out.empty()) out = none;
    return true;
  }

  // Parts joined by '+' into one field: a '+' inside a part would cut it,
  // so it is written as its character reference, which pages show as '+'.
  std::string Parts(std::vector<std::string> parts, bool allNone) {
    bool any = false;
    for (const std::string& p : parts) any = any || !p.empty();
    if (!any && allNone) return "#";
    for (std::string& p : parts) p = ReplaceAll(p, "+", "&#43;");
    // The field is trimmed of blanks and '+' at its ends when it is saved:
    // an empty first or last part keeps its place with a blank that shows.
    if (parts.size() > 1 && parts.front().empty()) parts.front() = "&nbsp;";
    if (parts.size() > 1 && parts.back().empty()) parts.back() = "&nbsp;";
    return Join(parts, "+");
  }

  bool CheckItem(const Question& q, const ListItem& item) {
    static const char* names[] = {"file", "flag", "question", "", "", ""};
    const char* fourth = kind_ == DocumentKind::kMultiple ? "options" : "answers";
    const char* fifth = kind_ == DocumentKind::kMultiple ? "feedback" : "right-answer feedback";
    const char* sixth = kind_ == DocumentKind::kMultiple ? "hint" : "wrong-answer feedback";
    for (size_t f = kQuestion; f <= kSixth; ++f)
      if (item[f].size() > kItemTextLimit) {
        const char* name = f == kFourth ? fourth : f == kFifth ? fifth : f == kSixth ? sixth : names[f];
        Drop(q, std::string("its ") + name + " take " + std::to_string(item[f].size()) +
                    " characters; an item holds " + std::to_string(kItemTextLimit));
        return false;
      }
    for (size_t f : {kFourth, kFifth, kSixth}) {
      size_t plus = 0;
      for (char c : item[f]) plus += c == '+';
      if (plus + 1 > kItemParts) {
        Drop(q, std::string("it has ") + std::to_string(plus + 1) + " " +
                    (f == kFourth ? fourth : "parts of " + std::string(f == kFifth ? fifth : sixth)) +
                    "; an item holds at most " + std::to_string(kItemParts));
        return false;
      }
    }
    return true;
  }

  void PlaceItem(size_t index, const Question& q, ListItem item) {
    if (kindMatches_) {
      Overrides o;
      o.Read(q.comments);
      for (size_t f = 0; f < 6; ++f) o.Apply("item " + std::to_string(f), item[f]);
    }
    if (!options_.oneDocument && !CheckItem(q, item)) return;
    if (result_.documents.empty() ||
        (!options_.oneDocument && result_.documents.back().items.size() >= kListItemsPerDocument)) {
      result_.documents.emplace_back();
      result_.documents.back().kind = kind_;
    }
    result_.documents.back().items.push_back(std::move(item));
    ++result_.placed;
    if (q.kind != QuestionKind::kMatching) NoteName(q);
    (void)index;
  }

  // One multiple-choice item from options (already in document text) and
  // their feedback.
  bool ChoiceItem(const Question& q, const RichText& questionText, const std::vector<Answer>& answers,
                  ListItem& item) {
    item[kFile] = "#";
    item[kAssessed] = "S";
    if (!Markup(q, questionText, item[kQuestion])) return false;
    std::vector<std::string> options, feedback;
    bool partial = false;
    for (const Answer& a : answers) {
      std::string text;
      if (!Text(q, OneLine(PlainText(a.text)), text)) return false;
      text = ReplaceAll(text, "+", "&#43;");
      if (text.empty()) text = "#";
      if (text[0] == '>') text = "&gt;" + text.substr(1);
      if (a.fraction > 0) text = ">" + text;
      if (a.fraction > 0 && a.fraction < 100 && q.singleAnswer) partial = true;
      options.push_back(text);
      std::string fb;
      if (!Text(q, CrLf(Trim(a.feedback.text)), fb)) return false;
      feedback.push_back(fb);
    }
    item[kFourth] = Join(options, "+");
    item[kFifth] = Parts(feedback, true);
    if (!Markup(q, q.generalFeedback, item[kSixth])) return false;
    if (partial)
      Report(q, "its partial weights are not kept: an option with a weight above 0 is right", false);
    return true;
  }

  void Take(size_t index) {
    const Question& q = bank_.questions[index];
    const std::string activity = ActivityName(kind_);
    switch (q.kind) {
      case QuestionKind::kNumerical:
      case QuestionKind::kEssay:
      case QuestionKind::kOther:
        Drop(q, "no KIO activity holds this kind of question (" + KindName(q) + ")");
        return;
      case QuestionKind::kDescription:
        if (kind_ == DocumentKind::kCloze || kind_ == DocumentKind::kMemory) {
          std::string text;
          if (!Markup(q, q.text, text, "")) return;
          descriptions_ += (descriptions_.empty() ? "" : "\r\n\r\n") + text;
          ++result_.placed;
        } else {
          Drop(q, "a description has no place in a " + activity + " document (it has no text of its own)");
        }
        return;
      default: break;
    }
    const bool fits = (kind_ == DocumentKind::kMultiple &&
                       (q.kind == QuestionKind::kMultipleChoice || q.kind == QuestionKind::kTrueFalse ||
                        q.kind == QuestionKind::kMatching)) ||
                      (kind_ == DocumentKind::kDialogical && q.kind == QuestionKind::kShortAnswer) ||
                      (kind_ == DocumentKind::kCloze && q.kind == QuestionKind::kCloze) ||
                      (kind_ == DocumentKind::kMemory && q.kind == QuestionKind::kMatching);
    if (!fits) {
      const char* where = q.kind == QuestionKind::kShortAnswer ? "a Dialogical document (.gab)"
                          : q.kind == QuestionKind::kCloze     ? "a Cloze document (.clo)"
                          : q.kind == QuestionKind::kMatching
                              ? "a Memory (.mem) or Multiple choice (.mul) document"
                              : "a Multiple choice document (.mul)";
      Drop(q,
           "this " + KindName(q) + " question belongs in " + where + ", not in a " + activity + " document");
      return;
    }
    switch (kind_) {
      case DocumentKind::kMultiple: return TakeMultiple(index, q);
      case DocumentKind::kDialogical: return TakeDialogical(index, q);
      case DocumentKind::kCloze: return TakeCloze(q);
      case DocumentKind::kMemory: return TakeMemory(q);
    }
  }

  void TakeMultiple(size_t index, const Question& q) {
    if (q.kind == QuestionKind::kMatching) {
      std::vector<Answer> choices;
      for (const MatchPair& p : q.pairs) {
        bool seen = false;
        for (const Answer& c : choices) seen = seen || c.text.text == p.answer;
        if (!seen) choices.push_back({{p.answer, TextFormat::kPlain}, 0, {}});
      }
      size_t made = 0;
      for (const MatchPair& p : q.pairs) {
        std::vector<Answer> answers = choices;
        for (Answer& a : answers) a.fraction = a.text.text == p.answer ? 100 : 0;
        RichText text = p.question;
        if (!Trim(q.text.text).empty()) text.text = Trim(q.text.text) + "\n" + Trim(p.question.text);
        ListItem item;
        if (!ChoiceItem(q, text, answers, item)) return;
        PlaceItem(index, q, std::move(item));
        ++made;
      }
      Report(q, "a matching question became " + std::to_string(made) + " Multiple choice items, one per pair",
             false);
      // The pairs each counted as placed; the question counts once.
      result_.placed -= made > 0 ? made - 1 : 0;
      return;
    }
    std::vector<Answer> answers = q.answers;
    if (q.kind == QuestionKind::kTrueFalse) {
      answers.assign(2, Answer{});
      answers[0].text.text = options_.trueText;
      answers[1].text.text = options_.falseText;
      answers[q.trueFalseRight ? 0 : 1].fraction = 100;
      for (const Answer& a : q.answers) {
        const bool isTrue = Trim(a.text.text) == "true";
        answers[isTrue ? 0 : 1].feedback = a.feedback;
      }
    }
    bool anyRight = false;
    for (const Answer& a : answers) anyRight = anyRight || a.fraction > 0;
    if (!anyRight) Report(q, "none of its options is right", false);
    ListItem item;
    if (!ChoiceItem(q, q.text, answers, item)) return;
    PlaceItem(index, q, std::move(item));
  }

  void TakeDialogical(size_t index, const Question& q) {
    ListItem item;
    item[kFile] = "#";
    item[kAssessed] = "S";
    if (!Markup(q, q.text, item[kQuestion])) return;
    std::vector<std::string> answers, feedback;
    size_t wrongWithFeedback = 0;
    for (const Answer& a : q.answers) {
      if (a.fraction <= 0) {
        wrongWithFeedback += !a.feedback.text.empty();
        continue;
      }
      std::string text, fb;
      if (!Text(q, OneLine(PlainText(a.text)), text) || !Text(q, CrLf(Trim(a.feedback.text)), fb)) return;
      if (text.find('+') != std::string::npos) {
        Report(q,
               "the answer \"" + OneLine(PlainText(a.text)) +
                   "\" holds '+', which separates answers; it became a blank",
               false);
        text = ReplaceAll(text, "+", " ");
      }
      answers.push_back(text.empty() ? "#" : text);
      feedback.push_back(fb);
    }
    if (answers.empty()) {
      Drop(q, "it has no right answer");
      return;
    }
    if (wrongWithFeedback > 0) Report(q, "the feedback of its wrong answers is not kept", false);
    item[kFourth] = Join(answers, "+");
    item[kFifth] = Parts(feedback, true);
    if (!Markup(q, q.generalFeedback, item[kSixth])) return;
    PlaceItem(index, q, std::move(item));
  }

  // The text of a gap: the right answers as alternatives "a/b".
  bool GapText(const Question& q, const Gap& gap, size_t number, std::string& out) {
    std::vector<std::string> alternatives;
    bool wrongKept = false;
    for (const Answer& a : gap.answers) {
      if (a.fraction < 100 && !(a.fraction > 0)) {
        wrongKept = wrongKept || Trim(a.text.text) != "*";
        continue;
      }
      std::string text;
      if (!Text(q, OneLine(PlainText(a.text)), text)) return false;
      if (text.find_first_of("[]") != std::string::npos) {
        Report(q, "brackets in gap " + std::to_string(number) + " became parentheses", false);
        for (char& c : text) c = c == '[' ? '(' : c == ']' ? ')' : c;
      }
      alternatives.push_back(text);
    }
    if (alternatives.empty()) {
      Drop(q, "gap " + std::to_string(number) + " has no right answer");
      return false;
    }
    if (wrongKept && gap.choice)
      Report(q, "the wrong choices of gap " + std::to_string(number) + " are not kept (a Cloze gap is typed)",
             false);
    out = "[" + Join(alternatives, "/") + "]";
    return true;
  }

  // Text around the gaps: brackets there would open gaps, so they are
  // written as their character references.
  bool ClozeText(const Question& q, const std::string& utf8, std::string& out) {
    if (!Text(q, CrLf(utf8), out)) return false;
    out = ReplaceAll(ReplaceAll(out, "[", "&#91;"), "]", "&#93;");
    return true;
  }

  void TakeCloze(const Question& q) {
    std::string paragraph, piece;
    if (!ClozeText(q, q.text.text, paragraph)) return;
    for (size_t i = 0; i < q.gaps.size(); ++i) {
      if (!GapText(q, q.gaps[i], i + 1, piece)) return;
      paragraph +=
          (paragraph.empty() || paragraph.back() == ' ' || paragraph.back() == '\n' ? "" : " ") + piece;
      std::string after;
      if (!ClozeText(q, i < q.after.size() ? q.after[i] : std::string(), after)) return;
      // Formats that trim the text around a gap (GIFT's missing word) get
      // their blank back; punctuation stays against the gap.
      if (!after.empty() && std::string(" \r\n\t.,;:!?)").find(after[0]) == std::string::npos)
        paragraph += ' ';
      paragraph += after;
    }
    if (!Trim(q.generalFeedback.text).empty())
      Report(q, "its general feedback is not kept (a Cloze text has no place for it)", false);
    paragraphs_.push_back({&q, paragraph});
    ++result_.placed;
    NoteName(q);
  }

  // Memory holds 3, 4, 6 or 8 pairs: more pairs are shared out over
  // several games. Nothing when the number cannot be shared out.
  static std::vector<size_t> MemoryGames(size_t n) {
    if (n == 3 || n == 4 || n == 6 || n == 8) return {n};
    for (size_t first : {8, 6, 4, 3}) {
      if (n <= first) continue;
      std::vector<size_t> rest = MemoryGames(n - first);
      if (!rest.empty()) {
        rest.insert(rest.begin(), first);
        return rest;
      }
    }
    return {};
  }

  void TakeMemory(const Question& q) {
    const std::vector<size_t> games =
        options_.oneDocument ? std::vector<size_t>{q.pairs.size()} : MemoryGames(q.pairs.size());
    if (games.empty()) {
      Drop(q, "it has " + std::to_string(q.pairs.size()) +
                  " pairs; a Memory game holds 3, 4, 6 or 8 pairs (in a Multiple choice document each pair "
                  "becomes an item)");
      return;
    }
    std::string instructions;
    if (!Markup(q, q.text, instructions, "")) return;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const MatchPair& p : q.pairs) {
      std::string a, b;
      if (!Markup(q, p.question, a, "") || !Text(q, CrLf(Trim(p.answer)), b)) return;
      pairs.emplace_back(a, b);
    }
    if (kindMatches_) {
      Overrides o;
      o.Read(q.comments);
      o.Apply("instructions", instructions);
      for (size_t j = 0; j < pairs.size(); ++j) {
        o.Apply("pair " + std::to_string(j) + " a", pairs[j].first);
        o.Apply("pair " + std::to_string(j) + " b", pairs[j].second);
      }
    }
    for (const auto& [a, b] : pairs)
      if (!options_.oneDocument && (a.size() > kCardLimit || b.size() > kCardLimit)) {
        Drop(q, "a card takes " + std::to_string(std::max(a.size(), b.size())) +
                    " characters; a card holds " + std::to_string(kCardLimit));
        return;
      }
    size_t at = 0;
    for (size_t count : games) {
      KioDocument d;
      d.kind = DocumentKind::kMemory;
      d.instructions = instructions;
      d.pairs.assign(pairs.begin() + at, pairs.begin() + at + count);
      at += count;
      memory_.push_back(std::move(d));
    }
    if (games.size() > 1)
      Report(q,
             "its " + std::to_string(q.pairs.size()) + " pairs became " + std::to_string(games.size()) +
                 " Memory games",
             false);
    ++result_.placed;
  }

  // Cloze paragraphs and Memory games become documents once every
  // question is read: descriptions anywhere in the bank give them their
  // instructions.
  void FinishLong() {
    if (kind_ == DocumentKind::kMemory) {
      for (KioDocument& d : memory_) {
        if (!descriptions_.empty())
          d.instructions = descriptions_ + (d.instructions.empty() ? "" : "\r\n\r\n") + d.instructions;
        if (d.instructions.size() > kLongTextLimit) d.instructions.resize(kLongTextLimit);
        result_.documents.push_back(std::move(d));
      }
      return;
    }
    if (kind_ != DocumentKind::kCloze) return;
    std::string instructions = descriptions_;
    std::string whole;
    for (const auto& [q, text] : paragraphs_) whole += (whole.empty() ? "" : "\r\n\r\n") + text;
    if (kindMatches_) {
      bankOverrides_.Apply("instructions", instructions);
      bankOverrides_.Apply("text", whole);
    }
    if (kindMatches_ || options_.oneDocument) {
      if (options_.oneDocument ||
          (whole.size() <= kLongTextLimit && instructions.size() <= kLongTextLimit && !whole.empty())) {
        KioDocument d;
        d.kind = DocumentKind::kCloze;
        d.instructions = instructions;
        d.text = whole;
        result_.documents.push_back(std::move(d));
        return;
      }
    }
    if (instructions.size() > kLongTextLimit) {
      instructions.resize(kLongTextLimit);
      result_.problems.push_back(
          {0, "", "the descriptions were cut to the 14,999 characters of the instructions", false});
    }
    std::string text;
    auto flush = [&] {
      if (text.empty()) return;
      KioDocument d;
      d.kind = DocumentKind::kCloze;
      d.instructions = instructions;
      d.text = text;
      result_.documents.push_back(std::move(d));
      text.clear();
    };
    for (const auto& [q, paragraph] : paragraphs_) {
      if (paragraph.size() > kLongTextLimit) {
        Drop(*q, "its text takes " + std::to_string(paragraph.size()) + " characters; a Cloze text holds " +
                     std::to_string(kLongTextLimit));
        --result_.placed;
        continue;
      }
      if (!text.empty() && text.size() + 4 + paragraph.size() > kLongTextLimit) flush();
      text += (text.empty() ? "" : "\r\n\r\n") + paragraph;
    }
    flush();
  }

  const QuestionBank& bank_;
  DocumentKind kind_;
  ImportOptions options_;
  Overrides bankOverrides_;
  bool kindMatches_ = false;
  ImportResult result_;
  std::string descriptions_;
  std::vector<std::pair<const Question*, std::string>> paragraphs_;
  std::vector<KioDocument> memory_;
};

// --- Export -------------------------------------------------------------

RichText Auto(const std::string& cp1252) { return {ToUtf8Lf(cp1252), TextFormat::kAuto}; }

std::string NoneEmpty(const std::string& field) { return field == "#" ? std::string() : field; }

Question ListQuestion(const KioDocument& doc, const ListItem& item) {
  Question q;
  q.text = Auto(NoneEmpty(item[kQuestion]));
  q.generalFeedback = Auto(NoneEmpty(item[kSixth]));
  const std::vector<std::string> parts = Split(item[kFourth], '+');
  std::vector<std::string> feedback =
      item[kFifth] == "#" ? std::vector<std::string>() : Split(item[kFifth], '+');
  feedback.resize(parts.size());
  // A blank that only holds an empty part's place is no feedback.
  for (std::string& f : feedback)
    if (Trim(f) == "&nbsp;") f.clear();
  if (doc.kind == DocumentKind::kMultiple) {
    q.kind = QuestionKind::kMultipleChoice;
    size_t right = 0, wrong = 0;
    std::vector<bool> isRight;
    std::vector<std::string> texts;
    for (const std::string& p : parts) {
      std::string t = Trim(ReplaceAll(p, "\r\n", " "));
      const bool r = !t.empty() && t[0] == '>';
      if (r) t = Trim(t.substr(1));
      if (t == "#") t.clear();
      isRight.push_back(r);
      texts.push_back(t);
      (r ? right : wrong) += 1;
    }
    q.singleAnswer = right == 1;
    for (size_t i = 0; i < parts.size(); ++i) {
      Answer a;
      a.text = Auto(texts[i]);
      a.fraction =
          isRight[i] ? 100.0 / static_cast<double>(right == 0 ? 1 : right) : (q.singleAnswer ? 0 : -100);
      a.feedback = Auto(Trim(feedback[i]));
      q.answers.push_back(std::move(a));
    }
  } else {
    q.kind = QuestionKind::kShortAnswer;
    for (size_t i = 0; i < parts.size(); ++i) {
      Answer a;
      a.text = {ToUtf8Lf(Trim(ReplaceAll(parts[i], "\r\n", " "))), TextFormat::kPlain};
      a.fraction = 100;
      a.feedback = Auto(Trim(feedback[i]));
      q.answers.push_back(std::move(a));
    }
  }
  return q;
}

Question ClozeQuestion(const std::string& text) {
  Question q;
  q.kind = QuestionKind::kCloze;
  std::string* current = &q.text.text;
  std::string segment;
  // Brackets delimit as the page's generator reads them: a segment that
  // ends at ']' is a gap.
  for (char c : text) {
    if (c != '[' && c != ']') {
      segment += c;
      continue;
    }
    if (c == '[') {
      *current += segment;
    } else {
      Gap gap;
      for (const std::string& alt : Split(segment, '/')) gap.answers.push_back({Auto(Trim(alt)), 100, {}});
      for (Answer& a : gap.answers) a.text.format = TextFormat::kPlain;
      q.gaps.push_back(std::move(gap));
      q.after.emplace_back();
      current = &q.after.back();
    }
    segment.clear();
  }
  *current += segment;
  q.text.text = ToUtf8Lf(q.text.text);
  for (std::string& a : q.after) a = ToUtf8Lf(a);
  return q;
}

QuestionBank NaturalBank(const KioDocument& doc) {
  QuestionBank bank;
  switch (doc.kind) {
    case DocumentKind::kMultiple:
    case DocumentKind::kDialogical:
      for (const ListItem& item : doc.items) bank.questions.push_back(ListQuestion(doc, item));
      break;
    case DocumentKind::kCloze: {
      if (!doc.instructions.empty()) {
        Question d;
        d.kind = QuestionKind::kDescription;
        d.text = Auto(doc.instructions);
        bank.questions.push_back(std::move(d));
      }
      bank.questions.push_back(ClozeQuestion(doc.text));
      break;
    }
    case DocumentKind::kMemory: {
      Question q;
      q.kind = QuestionKind::kMatching;
      q.text = Auto(doc.instructions);
      for (const auto& [a, b] : doc.pairs) q.pairs.push_back({Auto(a), ToUtf8Lf(b)});
      bank.questions.push_back(std::move(q));
      break;
    }
  }
  return bank;
}

}  // namespace

bool ToDocumentText(const std::string& utf8, std::string& out, std::string& bad) {
  std::string text = CrLf(ReplaceAll(utf8, "\r\n", "\n"));
  if (auto converted = Utf8ToCp1252(text)) {
    out = *converted;
    return true;
  }
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    auto c = NextUtf8(text, i);
    if (!c) {
      bad = "a byte that is not UTF-8";
      return false;
    }
    if (!Cp1252Byte(*c)) {
      bad = Hex(*c) + " \"" + text.substr(at, i - at) + "\"";
      return false;
    }
  }
  bad = "?";
  return false;
}

ImportResult ImportQuestions(const QuestionBank& bank, DocumentKind kind, const ImportOptions& options) {
  return Importer(bank, kind, options).Run();
}

bool ExportDocument(const KioDocument& doc, QuestionFormat& format, std::string& bytes, std::string& error) {
  QuestionBank bank = NaturalBank(doc);
  // What the format gives back of the natural questions: every text that
  // differs travels in a comment beside them.
  std::string first;
  QuestionBank back;
  if (!format.Write(bank, first) || !format.Read(first, back)) {
    error = format.ErrorString();
    return false;
  }
  ImportOptions whole;
  whole.oneDocument = true;
  ImportResult natural = ImportQuestions(back, doc.kind, whole);
  bank.comments.push_back("kio:document " + DocumentExtension(doc.kind));
  if (!doc.settings.empty()) {
    std::string s = "kio:settings";
    for (const std::string& v : doc.settings) s += " " + Value(v);
    bank.comments.push_back(s);
  }
  const KioDocument* got = natural.documents.empty() ? nullptr : &natural.documents.front();
  switch (doc.kind) {
    case DocumentKind::kMultiple:
    case DocumentKind::kDialogical:
      for (size_t i = 0; i < doc.items.size(); ++i) {
        const ListItem none{};
        // Items map one to one while every question is placed.
        const ListItem& n = got && natural.documents.size() == 1 && got->items.size() == doc.items.size()
                                ? got->items[i]
                                : none;
        for (size_t f = 0; f < 6; ++f)
          AddOverride(bank.questions[i].comments, "item " + std::to_string(f), n[f], doc.items[i][f]);
      }
      break;
    case DocumentKind::kCloze:
      AddOverride(bank.comments, "instructions", got ? got->instructions : "", doc.instructions);
      AddOverride(bank.comments, "text", got ? got->text : "", doc.text);
      break;
    case DocumentKind::kMemory: {
      Question& q = bank.questions.front();
      const bool same = got && natural.documents.size() == 1 && got->pairs.size() == doc.pairs.size();
      AddOverride(q.comments, "instructions", got ? got->instructions : "", doc.instructions);
      for (size_t j = 0; j < doc.pairs.size(); ++j) {
        AddOverride(q.comments, "pair " + std::to_string(j) + " a", same ? got->pairs[j].first : "",
                    doc.pairs[j].first);
        AddOverride(q.comments, "pair " + std::to_string(j) + " b", same ? got->pairs[j].second : "",
                    doc.pairs[j].second);
      }
      break;
    }
  }
  if (!format.Write(bank, bytes)) {
    error = format.ErrorString();
    return false;
  }
  return true;
}

}  // namespace kio::questions
