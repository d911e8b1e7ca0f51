#include "questions/moodle_xml_format.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "questions/question_text.h"

namespace kio::questions {

namespace {

// The first error libxml2 reported during one parse, kept instead of being
// printed.
struct ParseErrors {
  std::string message;
  int line = 0;
};

void KeepFirstError(void* data, xmlErrorPtr error) {
  auto* errors = static_cast<ParseErrors*>(data);
  if (!errors->message.empty() || error == nullptr || error->level < XML_ERR_ERROR) return;
  errors->message = error->message ? Trim(error->message) : "unknown error";
  errors->line = error->line;
}

void IgnoreGeneric(void*, const char*, ...) {}

const char* Name(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }

bool Is(const xmlNode* n, const char* name) {
  return n->type == XML_ELEMENT_NODE && std::strcmp(Name(n), name) == 0;
}

const xmlNode* Child(const xmlNode* n, const char* name) {
  for (const xmlNode* c = n ? n->children : nullptr; c; c = c->next)
    if (Is(c, name)) return c;
  return nullptr;
}

std::string Content(const xmlNode* n) {
  if (!n) return "";
  std::string out;
  for (const xmlNode* c = n->children; c; c = c->next)
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      out += reinterpret_cast<const char*>(c->content);
  return out;
}

std::string Attribute(const xmlNode* n, const char* name) {
  if (!n) return "";
  for (const xmlAttr* a = n->properties; a; a = a->next)
    if (std::strcmp(reinterpret_cast<const char*>(a->name), name) == 0 && a->children && a->children->content)
      return reinterpret_cast<const char*>(a->children->content);
  return "";
}

TextFormat FormatOf(const std::string& name, TextFormat fallback) {
  if (name == "html") return TextFormat::kHtml;
  if (name == "moodle_auto_format") return TextFormat::kAuto;
  if (name == "plain_text") return TextFormat::kPlain;
  if (name == "markdown") return TextFormat::kMarkdown;
  return fallback;
}

const char* FormatName(TextFormat f) {
  switch (f) {
    case TextFormat::kHtml: return "html";
    case TextFormat::kPlain: return "plain_text";
    case TextFormat::kMarkdown: return "markdown";
    case TextFormat::kAuto: break;
  }
  return "moodle_auto_format";
}

// A text element (<questiontext format="html"><text>...</text>).
RichText TextOf(const xmlNode* n, TextFormat fallback = TextFormat::kHtml) {
  RichText r;
  r.format = FormatOf(Attribute(n, "format"), fallback);
  r.text = Content(Child(n, "text"));
  return r;
}

double Fraction(const xmlNode* answer) {
  const std::string f = Attribute(answer, "fraction");
  if (f.empty()) return 0;
  return std::strtod(f.c_str(), nullptr);
}

std::vector<Answer> AnswersOf(const xmlNode* q, TextFormat fallback) {
  std::vector<Answer> answers;
  for (const xmlNode* c = q->children; c; c = c->next) {
    if (!Is(c, "answer")) continue;
    Answer a;
    a.text = TextOf(c, fallback);
    a.fraction = Fraction(c);
    a.feedback = TextOf(Child(c, "feedback"), fallback);
    answers.push_back(std::move(a));
  }
  return answers;
}

bool IsTrue(const std::string& s) {
  const std::string t = Trim(s);
  return t == "true" || t == "1";
}

// The gap's kind from an embedded-answer type name: nothing when unknown.
int GapKind(const std::string& type) {
  static const char* typed[] = {"SHORTANSWER", "SA", "MW", "SHORTANSWER_C", "SAC", "MWC", "NUMERICAL", "NM"};
  static const char* choice[] = {
      "MULTICHOICE",     "MC",   "MULTICHOICE_V",    "MCV",  "MULTICHOICE_H", "MCH", "MULTICHOICE_S",   "MCS",
      "MULTICHOICE_VS",  "MCVS", "MULTICHOICE_HS",   "MCHS", "MULTIRESPONSE", "MR",  "MULTIRESPONSE_H", "MRH",
      "MULTIRESPONSE_S", "MRS",  "MULTIRESPONSE_HS", "MRHS"};
  for (const char* t : typed)
    if (type == t) return 1;
  for (const char* t : choice)
    if (type == t) return 2;
  return 0;
}

std::string UnescapeEmbedded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  return out;
}

std::string EscapeEmbedded(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '}' || c == '#' || c == '~' || c == '/' || c == '"' || c == '\\' || c == '{') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

bool ParseEmbeddedAnswers(const std::string& text, Question& q, std::string& error) {
  q.gaps.clear();
  q.after.clear();
  std::string* current = &q.text.text;
  q.text.text.clear();
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '{') {
      // {N:TYPE:answers}
      size_t p = i + 1;
      while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) ++p;
      size_t typeEnd = p < text.size() && text[p] == ':' ? text.find(':', p + 1) : std::string::npos;
      int kind = 0;
      if (typeEnd != std::string::npos && typeEnd - p < 20)
        kind = GapKind(text.substr(p + 1, typeEnd - p - 1));
      if (kind != 0) {
        size_t end = typeEnd + 1;
        while (end < text.size() && text[end] != '}') end += text[end] == '\\' ? 2 : 1;
        if (end >= text.size()) {
          error = "an embedded answer {" + text.substr(i + 1, typeEnd - i) + "... is never closed with }.";
          return false;
        }
        Gap gap;
        gap.choice = kind == 2;
        const std::string body = text.substr(typeEnd + 1, end - typeEnd - 1);
        size_t start = 0;
        for (size_t k = 0; k <= body.size(); ++k) {
          if (k < body.size() && body[k] == '\\') {
            ++k;
            continue;
          }
          if (k < body.size() && body[k] != '~') continue;
          std::string part = body.substr(start, k - start);
          start = k + 1;
          Answer a;
          if (!part.empty() && part[0] == '=') {
            a.fraction = 100;
            part.erase(0, 1);
          } else if (!part.empty() && part[0] == '%') {
            size_t close = part.find('%', 1);
            if (close != std::string::npos) {
              a.fraction = std::strtod(part.substr(1, close - 1).c_str(), nullptr);
              part.erase(0, close + 1);
            }
          }
          size_t hash = std::string::npos;
          for (size_t m = 0; m < part.size(); ++m) {
            if (part[m] == '\\') {
              ++m;
              continue;
            }
            if (part[m] == '#') {
              hash = m;
              break;
            }
          }
          a.text = {UnescapeEmbedded(part.substr(0, hash)), TextFormat::kPlain};
          if (hash != std::string::npos)
            a.feedback = {UnescapeEmbedded(part.substr(hash + 1)), q.text.format};
          gap.answers.push_back(std::move(a));
        }
        q.gaps.push_back(std::move(gap));
        q.after.emplace_back();
        current = &q.after.back();
        i = end + 1;
        continue;
      }
    }
    *current += text[i];
    ++i;
  }
  return true;
}

std::string EmbeddedAnswer(const Gap& gap) {
  std::string out = gap.choice ? "{1:MULTICHOICE:" : "{1:SHORTANSWER:";
  bool first = true;
  for (const Answer& a : gap.answers) {
    if (!first) out += "~";
    first = false;
    out += a.fraction == 100 ? std::string("=") : "%" + FormatWeight(a.fraction) + "%";
    out += EscapeEmbedded(a.text.text);
    if (!a.feedback.text.empty()) out += "#" + EscapeEmbedded(a.feedback.text);
  }
  return out + "}";
}

bool MoodleXmlFormat::CanRead(const std::string& bytes) const {
  return bytes.substr(0, 4096).find("<quiz") != std::string::npos;
}

bool MoodleXmlFormat::Read(const std::string& bytes, QuestionBank& bank) {
  ClearError();
  bank = {};
  if (bytes.size() > kMaxQuestionFileBytes) return RaiseError("The file is too large to be a question bank.");
  // UTF-16 files hold zero bytes as a matter of course; their byte order
  // mark says so, and libxml2 reads them.
  const bool utf16 = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
  if (!utf16 && std::memchr(bytes.data(), '\0', bytes.size()) != nullptr)
    return RaiseError("This is not a text file: it holds a zero byte.");
  // A document type is where entities and external files are declared; a
  // question bank never has one, so the file is refused before parsing.
  const size_t doctype = bytes.find("<!DOCTYPE");
  if (doctype != std::string::npos && doctype < bytes.find("<quiz")) return DocumentTypeRefused();
  // (A UTF-16 file's declaration is caught after parsing, below.)
  ParseErrors errors;
  xmlSetStructuredErrorFunc(&errors, KeepFirstError);
  xmlSetGenericErrorFunc(nullptr, IgnoreGeneric);
  // No entity substitution, no document type loaded, no network, and the
  // parser's own depth and size limits kept (no XML_PARSE_HUGE).
  const int options = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDocPtr doc =
      xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "questions.xml", nullptr, options);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  xmlSetGenericErrorFunc(nullptr, nullptr);
  struct DocGuard {
    xmlDocPtr d;
    ~DocGuard() {
      if (d) xmlFreeDoc(d);
    }
  } guard{doc};
  if (errors.message.find("Excessive depth") != std::string::npos)
    errors.message = "its elements nest deeper than 256 levels";
  else if (errors.message.find("entity") != std::string::npos)
    errors.message = "its entities expand without end";
  if (!errors.message.empty() || doc == nullptr) {
    return RaiseError("This is not a well-formed XML file (line " + std::to_string(errors.line) +
                      "): " + (errors.message.empty() ? "it cannot be read" : errors.message) + ".");
  }
  if (doc->intSubset != nullptr || doc->extSubset != nullptr)
    return RaiseError(
        "The file declares a document type (<!DOCTYPE>), which a Moodle XML file never does; "
        "it is not read.");
  const xmlNode* root = xmlDocGetRootElement(doc);
  if (!root || !Is(root, "quiz"))
    return RaiseError("This XML file is not a Moodle XML question bank (no <quiz>).");
  std::string category;
  size_t number = 0;
  for (const xmlNode* n = root->children; n; n = n->next) {
    if (n->type == XML_COMMENT_NODE) {
      bank.comments.push_back(n->content ? reinterpret_cast<const char*>(n->content) : "");
      continue;
    }
    if (!Is(n, "question")) continue;
    ++number;
    const std::string type = Attribute(n, "type");
    if (type == "category") {
      category = Trim(Content(Child(Child(n, "category"), "text")));
      continue;
    }
    if (bank.questions.size() >= kMaxQuestions) {
      bank = {};
      return RaiseError("The file holds more than " + std::to_string(kMaxQuestions) + " questions.");
    }
    Question q;
    q.line = static_cast<size_t>(xmlGetLineNo(n));
    q.category = category;
    q.typeName = type;
    q.name = Trim(Content(Child(Child(n, "name"), "text")));
    q.text = TextOf(Child(n, "questiontext"));
    q.generalFeedback = TextOf(Child(n, "generalfeedback"), q.text.format);
    for (const xmlNode* c = n->children; c; c = c->next)
      if (c->type == XML_COMMENT_NODE)
        q.comments.push_back(c->content ? reinterpret_cast<const char*>(c->content) : "");
    if (type == "multichoice") {
      q.kind = QuestionKind::kMultipleChoice;
      const xmlNode* single = Child(n, "single");
      q.singleAnswer = !single || IsTrue(Content(single));
      q.answers = AnswersOf(n, q.text.format);
    } else if (type == "truefalse") {
      q.kind = QuestionKind::kTrueFalse;
      q.answers = AnswersOf(n, q.text.format);
      for (const Answer& a : q.answers)
        if (a.fraction > 0) q.trueFalseRight = Trim(a.text.text) == "true";
    } else if (type == "shortanswer") {
      q.kind = QuestionKind::kShortAnswer;
      q.answers = AnswersOf(n, q.text.format);
    } else if (type == "matching") {
      q.kind = QuestionKind::kMatching;
      for (const xmlNode* c = n->children; c; c = c->next) {
        if (!Is(c, "subquestion")) continue;
        MatchPair p;
        p.question = TextOf(c, q.text.format);
        p.answer = Content(Child(Child(c, "answer"), "text"));
        q.pairs.push_back(std::move(p));
      }
    } else if (type == "cloze" || type == "multianswer") {
      q.kind = QuestionKind::kCloze;
      std::string error;
      const std::string whole = q.text.text;
      if (!ParseEmbeddedAnswers(whole, q, error)) {
        bank = {};
        return RaiseError("Line " + std::to_string(q.line) + ": " + error);
      }
    } else if (type == "description") {
      q.kind = QuestionKind::kDescription;
    } else if (type == "essay") {
      q.kind = QuestionKind::kEssay;
    } else if (type == "numerical") {
      q.kind = QuestionKind::kNumerical;
    } else {
      q.kind = QuestionKind::kOther;
    }
    if (q.typeName.empty()) q.typeName = "(no type)";
    bank.questions.push_back(std::move(q));
  }
  if (bank.questions.empty()) return RaiseError("The file holds no question.");
  return true;
}

namespace {

void TextElement(std::string& out, const char* indent, const char* element, const RichText& t) {
  out += indent;
  out += "<";
  out += element;
  out += " format=\"";
  out += FormatName(t.format);
  out += "\"><text>" + EscapeXml(t.text) + "</text></";
  out += element;
  out += ">\n";
}

void Answers(std::string& out, const std::vector<Answer>& answers) {
  for (const Answer& a : answers) {
    out += "    <answer fraction=\"" + FormatWeight(a.fraction) + "\" format=\"" + FormatName(a.text.format) +
           "\">\n      <text>" + EscapeXml(a.text.text) + "</text>\n";
    TextElement(out, "      ", "feedback", a.feedback);
    out += "    </answer>\n";
  }
}

// A comment's text, made safe for <!-- -->: no "--" inside, none at the end.
std::string SafeComment(std::string c) {
  for (size_t p; (p = c.find("--")) != std::string::npos;) c.replace(p, 2, "- -");
  if (!c.empty() && c.back() == '-') c += ' ';
  return c;
}

}  // namespace

bool MoodleXmlFormat::Write(const QuestionBank& bank, std::string& out) {
  ClearError();
  out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
  for (const std::string& c : bank.comments) out += "<!--" + SafeComment(c) + "-->\n";
  std::string category;
  for (const Question& q : bank.questions) {
    if (q.category != category && !q.category.empty()) {
      out += "  <question type=\"category\">\n    <category><text>" + EscapeXml(q.category) +
             "</text></category>\n  </question>\n";
    }
    category = q.category;
    const char* type = nullptr;
    switch (q.kind) {
      case QuestionKind::kMultipleChoice: type = "multichoice"; break;
      case QuestionKind::kTrueFalse: type = "truefalse"; break;
      case QuestionKind::kShortAnswer: type = "shortanswer"; break;
      case QuestionKind::kMatching: type = "matching"; break;
      case QuestionKind::kCloze: type = "cloze"; break;
      case QuestionKind::kDescription: type = "description"; break;
      case QuestionKind::kEssay: type = "essay"; break;
      case QuestionKind::kNumerical:
      case QuestionKind::kOther:
        return RaiseError("KIO cannot write the " + KindName(q) + " question \"" + QuestionLabel(q) + "\".");
    }
    out += std::string("  <question type=\"") + type + "\">\n";
    for (const std::string& c : q.comments) out += "    <!--" + SafeComment(c) + "-->\n";
    // Platforms ask every question for a name: one made from the text when
    // it has none.
    out += "    <name><text>" + EscapeXml(QuestionLabel(q)) + "</text></name>\n";
    RichText text = q.text;
    if (q.kind == QuestionKind::kCloze)
      for (size_t i = 0; i < q.gaps.size(); ++i)
        text.text += EmbeddedAnswer(q.gaps[i]) + (i < q.after.size() ? q.after[i] : std::string());
    TextElement(out, "    ", "questiontext", text);
    TextElement(out, "    ", "generalfeedback", q.generalFeedback);
    out += "    <defaultgrade>1</defaultgrade>\n    <penalty>0.3333333</penalty>\n    <hidden>0</hidden>\n";
    switch (q.kind) {
      case QuestionKind::kMultipleChoice:
        out += std::string("    <single>") + (q.singleAnswer ? "true" : "false") +
               "</single>\n    <shuffleanswers>true</shuffleanswers>\n"
               "    <answernumbering>abc</answernumbering>\n";
        Answers(out, q.answers);
        break;
      case QuestionKind::kTrueFalse: {
        std::vector<Answer> answers = q.answers;
        if (answers.size() != 2) {
          answers.assign(2, Answer{});
          answers[0].text.text = "true";
          answers[1].text.text = "false";
          answers[q.trueFalseRight ? 0 : 1].fraction = 100;
        }
        Answers(out, answers);
        break;
      }
      case QuestionKind::kShortAnswer:
        out += "    <usecase>0</usecase>\n";
        Answers(out, q.answers);
        break;
      case QuestionKind::kMatching:
        out += "    <shuffleanswers>true</shuffleanswers>\n";
        for (const MatchPair& p : q.pairs) {
          out += std::string("    <subquestion format=\"") + FormatName(p.question.format) +
                 "\">\n      <text>" + EscapeXml(p.question.text) + "</text>\n      <answer><text>" +
                 EscapeXml(p.answer) + "</text></answer>\n    </subquestion>\n";
        }
        break;
      case QuestionKind::kEssay:
        out +=
            "    <responseformat>editor</responseformat>\n    <responsefieldlines>15</responsefieldlines>\n";
        break;
      default: break;
    }
    out += "  </question>\n";
  }
  out += "</quiz>\n";
  return true;
}

}  // namespace kio::questions
