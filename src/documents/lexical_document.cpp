#include "documents/lexical_document.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "documents/eclipse_tokens.h"
#include "fileio/file.h"
#include "lexicon/collation.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_store.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/fields.h"
#include "render/markup.h"
#include "render/script_string.h"
#include "render/write_page.h"

namespace kio::lexical {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Tokens that do not count as words of a phrase.
bool IsPhraseSeparator(char c) {
  return c == '\'' || c == '-' || c == ' ' || c == '\n' || c == '\r' || c == '\x92';
}

bool StartsWithBreakTag(const std::string& text, size_t at) { return ToLower(text.substr(at, 3)) == "<br"; }

// A picture a dictionary entry may name: a plain file name, nothing that
// leads out of the pictures folder.
bool IsPlainPictureName(const std::string& name) {
  if (name.empty() || name[0] == '.') return false;
  for (char c : name) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '_' || c == '.' || c == '-';
    if (!allowed) return false;
  }
  return true;
}

class StoreLookup : public LexicalLookup {
 public:
  explicit StoreLookup(LexiconStore& store) : store_(store) {}

  uint32_t Count() override { return store_.Count(); }

  uint32_t Find(const std::string& word, bool& found) override {
    auto it = places_.find(word);
    if (it == places_.end()) {
      std::string key = word;
      const uint32_t at = store_.Find(key);
      const bool there = !key.empty() && at != kOffLimits && at != 0;
      it = places_.emplace(word, std::make_pair(at, there)).first;
    }
    found = it->second.second;
    return it->second.first;
  }

  std::string Entry(uint32_t n) override {
    uint32_t number = n;
    return store_.ProbeEntry(number);
  }

  std::string HeadwordAt(uint32_t n) override { return Slot(n).headword; }

  int ComparePrefix(const std::string& phrase, uint32_t n) override {
    const Known& h = Slot(n);
    const std::string prefix = phrase.substr(0, h.headword.size());
    if (prefixKeys_.size() > 200000) prefixKeys_.clear();
    auto it = prefixKeys_.find(prefix);
    if (it == prefixKeys_.end()) it = prefixKeys_.emplace(prefix, HeadwordSortKey(prefix)).first;
    return CompareSortKeys(it->second, h.key);
  }

 private:
  struct Known {
    bool read = false;
    std::string headword;
    std::string key;
  };

  const Known& Slot(uint32_t n) {
    if (n >= known_.size()) known_.resize(std::max<size_t>(n + 1, store_.Count()));
    Known& k = known_[n];
    if (!k.read) {
      k.read = true;
      k.headword = Headword(Entry(n));
      k.key = HeadwordSortKey(k.headword);
    }
    return k;
  }

  LexiconStore& store_;
  std::vector<Known> known_;
  std::unordered_map<std::string, std::pair<uint32_t, bool>> places_;
  std::unordered_map<std::string, std::string> prefixKeys_;
};

// Puts the rule note before the entry's terminating 0x02.
std::string WithNote(std::string entry, const std::string& note) {
  if (note.empty()) return entry;
  size_t end = entry.find(kEntryTerminator, entry.find(kHeadwordSeparator));
  if (end == std::string::npos) end = entry.size();
  entry.insert(end, "\r\n\r\n" + note);
  return entry;
}

std::string MadeUpEntry(const std::string& headword, const std::string& body) {
  return headword + kHeadwordSeparator + body + kEntryTerminator;
}

// A text inside the single-quoted script string of a link's onclick: its
// line breaks as blanks, escaped for the string, its double quotes as the
// attribute needs them.
std::string OnclickString(std::string text) {
  text = ReplaceAll(ReplaceAll(text, "\r", " "), "\n", " ");
  return ReplaceAll(ScriptString(text), "\"", "&quot;");
}

}  // namespace

std::string TokenLimitMessage() {
  return Win1252("Limite de texto ultrapassado. Apenas uma parte será processada.");
}

bool IsWordLetter(char c) { return IsLetter(static_cast<unsigned char>(c)); }

Tokens Tokenize(const std::string& text) {
  return InSessionBuild([&](PageBuild& build) { return Tokenize(text, build); });
}

Tokens Tokenize(const std::string& text, PageBuild& build) {
  std::string t = " " + text + "  ";
  t = ReplaceAll(t, "\r\n", " <br>");
  t = ReplaceAll(t, "{", " {");
  Tokens out;
  auto emit = [&](std::string token) {
    if (out.tokens.size() >= kTokenLimit) {
      out.cut = true;
      return false;
    }
    out.tokens.push_back(std::move(token));
    return true;
  };
  size_t start = 0;
  size_t i = 1;
  while (i < t.size()) {
    const char c = t[i];
    size_t close = std::string::npos;
    if (c == '{') close = t.find('}', i + 1);
    if (c == '<') close = t.find('>', i + 1);
    if (close != std::string::npos) {
      // The blank before a code is the one put there above; the blank before
      // a line break is the one the line break brought. Anything else the
      // teacher typed before a tag stays.
      size_t end = i;
      const bool dropBlank = c == '{' || StartsWithBreakTag(t, i);
      if (dropBlank && end > start && t[end - 1] == ' ' && end - start == 1) --end;
      if (end > start && !emit(t.substr(start, end - start))) return out;
      std::string piece = t.substr(i, close - i + 1);
      if (c == '{') {
        piece = ToLower(piece);
        RenderMarkup(piece, build);
      }
      if (!piece.empty() && !emit(piece)) return out;
      start = i = close + 1;
      continue;
    }
    if (i > start && !(IsWordLetter(c) && IsWordLetter(t[i - 1]))) {
      if (!emit(t.substr(start, i - start))) return out;
      start = i;
    }
    ++i;
  }
  // The last run is the second blank put after the text (or what follows
  // the last tag); a run of letters there is still a word.
  if (start < t.size() && IsWordLetter(t[start])) emit(t.substr(start));
  return out;
}

bool MatchPattern(const std::string& a, const std::string& b) {
  if (a.size() != b.size() || a.empty()) return false;
  bool same = true;
  for (size_t i = 0; i < a.size() && same; ++i) same = a[i] == b[i] || a[i] == '*' || b[i] == '*';
  return same || CompareHeadwords(a, b) == 0;
}

std::unique_ptr<LexicalLookup> MemoryLookup(LexiconStore& store) {
  return std::make_unique<StoreLookup>(store);
}

std::optional<AffixRule> ParseRule(const std::string& headword, const std::string& body) {
  const size_t colon = headword.find(':');
  if (headword.empty() || headword[0] != '#' || colon == std::string::npos) return std::nullopt;
  const std::string affix = headword.substr(colon + 1);
  AffixRule rule;
  if (affix.size() >= 2 && affix[0] == '-') {
    rule.suffix = true;
    rule.affix = affix.substr(1);
  } else if (affix.size() >= 2 && affix.back() == '-') {
    rule.suffix = false;
    rule.affix = affix.substr(0, affix.size() - 1);
  } else {
    return std::nullopt;
  }
  rule.body = body;
  if (!rule.body.empty() && rule.body[0] == '*') {
    rule.fallback = true;
    rule.body.erase(0, 1);
  }
  const size_t note = rule.body.find("//");
  rule.replacement = rule.body.substr(0, note);
  if (note != std::string::npos) rule.note = rule.body.substr(note + 2);
  if (rule.replacement == "^") rule.replacement.clear();
  return rule;
}

LexicalLinker::LexicalLinker(LexicalLookup& lookup) : lookup_(lookup) {
  ReadRules();
  bool found = false;
  const uint32_t at = lookup_.Find("#^", found);
  if (found) {
    const std::string entry = lookup_.Entry(at);
    size_t p = 0;
    if (Headword(entry, p) == "#^") catchAll_ = NextField(entry, p);
  }
}

void LexicalLinker::ReadRules() {
  bool found = false;
  const uint32_t a = lookup_.Find("A", found);
  if (a == kOffLimits || a > 499 || lookup_.Count() < 3) return;
  for (uint32_t n = 1; n < a && n <= lookup_.Count() - 2; ++n) {
    const std::string entry = lookup_.Entry(n);
    size_t p = 0;
    const std::string h = Headword(entry, p);
    // An unreadable entry and the catch-all sort among the rules: step past.
    if (h.empty() || h.rfind("#^", 0) == 0) continue;
    if (static_cast<unsigned char>(h[0]) > '/') break;
    if (h[0] != '#') continue;
    if (auto rule = ParseRule(h, NextField(entry, p))) rules_.push_back(*rule);
  }
}

std::optional<std::string> LexicalLinker::FindPhrase(const std::string& word, size_t& at) {
  const uint32_t count = lookup_.Count();
  if (count < 3 || word.empty()) return std::nullopt;
  bool found = false;
  const uint32_t start = lookup_.Find(word, found);
  std::optional<uint32_t> best;
  if (found) best = start;
  std::string phrase = word;
  if (IsWordLetter(word[0])) {
    const auto& tokens = *tokens_;
    size_t i = at + 1;
    // Headwords are never longer than this, so the phrase need not be.
    for (; i < tokens.size() && phrase.size() <= kLongestHeadword + 1; ++i)
      if (!IsPhraseSeparator(tokens[i][0])) phrase += " " + tokens[i];
  }
  // The end of the text ends a phrase as a blank does.
  phrase += ' ';
  if (start != kOffLimits) {
    for (uint32_t n = start; n + 2 <= count; ++n) {
      const std::string h = lookup_.HeadwordAt(n);
      if (h.empty()) continue;
      const int order = lookup_.ComparePrefix(phrase, n);
      if (order == 0 && phrase.size() > h.size() && phrase[h.size()] == ' ') best = n;
      if (order < 0) break;
    }
  }
  if (!best) return std::nullopt;
  std::string entry = lookup_.Entry(*best);
  if (entry.empty()) return std::nullopt;
  const std::string h = Headword(entry);
  const size_t blanks = std::count(h.begin(), h.end(), ' ');
  if (blanks > 0 && IsWordLetter(word[0])) {
    const auto& tokens = *tokens_;
    size_t words = 0;
    for (size_t i = at; i < tokens.size(); ++i) {
      if (!IsPhraseSeparator(tokens[i][0])) ++words;
      at = i;
      if (words == blanks + 1) break;
    }
  }
  return entry;
}

std::optional<std::string> LexicalLinker::ApplyAffixRules(const std::string& word, size_t& at, int depth) {
  if (rules_.empty() || word.size() > kLongestRuleWord || depth > kPrefixDepth) return std::nullopt;
  for (const AffixRule& rule : rules_) {
    std::string candidate;
    const size_t n = rule.affix.size();
    if (rule.suffix) {
      if (n > word.size() || !MatchPattern(word.substr(word.size() - n), rule.affix)) continue;
      candidate = word.substr(0, word.size() - n) + rule.replacement;
    } else {
      if (!MatchPattern(word.substr(0, n), rule.affix)) continue;
      candidate = word.substr(n);
    }
    if (!candidate.empty()) {
      size_t end = at;
      if (auto entry = FindPhrase(candidate, end)) {
        at = end;
        return WithNote(*entry, rule.note);
      }
      if (!rule.suffix) {
        end = at;
        if (auto entry = ApplyAffixRules(candidate, end, depth + 1)) {
          at = end;
          return entry;
        }
      }
    }
    if (rule.fallback) return MadeUpEntry(word, rule.body);
  }
  return std::nullopt;
}

std::vector<LinkedToken> LexicalLinker::LinkWords(const std::vector<std::string>& tokens) {
  tokens_ = &tokens;
  std::vector<LinkedToken> out;
  out.reserve(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    const size_t first = i;
    std::optional<std::string> entry;
    if (!token.empty() && !IsBlank(token[0])) {
      entry = FindPhrase(token, i);
      if (!entry) entry = ApplyAffixRules(token, i, 0);
      // The catch-all shows its text under the word itself.
      if (!entry && IsWordLetter(token[0]) && catchAll_) entry = MadeUpEntry(token, *catchAll_);
    }
    LinkedToken linked;
    if (entry) linked.headword = Headword(*entry);
    if (entry && !linked.headword.empty()) {
      for (size_t k = first; k <= i; ++k) linked.text += tokens[k];
      linked.entry = *entry;
    } else {
      i = first;
      linked.headword.clear();
      linked.text = token;
      linked.entry = MadeUpEntry(token, token);
    }
    out.push_back(std::move(linked));
  }
  tokens_ = nullptr;
  return out;
}

std::string PrepareEntryBody(const std::string& body, const std::string& picturesFolder,
                             const std::string& outputFolder, std::set<std::string>& copied,
                             std::vector<std::string>& messages) {
  std::string out = ReplaceAll(body, "\r\n", " <br> ");
  for (size_t open = out.find('{'); open != std::string::npos; open = out.find('{', open + 1)) {
    const size_t close = out.find('}', open + 1);
    if (close == std::string::npos) break;
    std::string name = out.substr(open + 1, close - open - 1);
    if (name.size() >= 2 && name[1] == '=' && (name[0] == 'i' || name[0] == 'a' || name[0] == 'v'))
      name.erase(0, 2);
    // Codes with a value of their own (fonts, sizes, colours) name no file.
    if (name.find('=') != std::string::npos) continue;
    if (copied.count(name)) continue;
    if (!IsPlainPictureName(name)) {
      messages.push_back(Win1252("Figura não encontrada: ") + name);
      continue;
    }
    const std::string path = ResolveCase(picturesFolder + name);
    const std::string systemPath = SystemName(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(systemPath, ec)) {
      messages.push_back(Win1252("Figura não encontrada: ") + name);
      continue;
    }
    std::ifstream in(systemPath, std::ios::binary);
    const auto size = std::filesystem::file_size(systemPath, ec);
    if (!in || ec) {
      messages.push_back(Win1252("Figura e/ou pasta inexistente: ") + path);
      continue;
    }
    if (size >= kPictureLimit) {
      messages.push_back(Win1252("Figura muito grande para dicionário"));
      continue;
    }
    copied.insert(name);
    const std::string copyPath = SystemName(outputFolder + name);
    if (std::filesystem::exists(copyPath, ec)) continue;
    std::ofstream copy(copyPath, std::ios::binary);
    copy << in.rdbuf();
    if (!copy) messages.push_back(Win1252("Figura e/ou pasta inexistente: ") + outputFolder + name);
  }
  return out;
}

std::string PageBody(const std::vector<LinkedToken>& tokens, const PageBodyInputs& inputs,
                     std::vector<std::string>& messages) {
  std::string page;
  std::set<std::string> copied;
  for (const LinkedToken& token : tokens) {
    if (token.entry.empty() || !IsWordLetter(token.entry[0]) || token.headword.empty()) {
      page += token.text == "\n" ? std::string("<p>") : token.text;
      continue;
    }
    size_t p = 0;
    const std::string headword = Headword(token.entry, p);
    std::string body = NextField(token.entry, p);
    const size_t note = body.find("//", 1);
    if (note != std::string::npos) body.replace(note, 2, "\r\n\r\n");
    body = PrepareEntryBody(body, inputs.picturesFolder, inputs.outputFolder, copied, messages);
    body = OnclickString(body);
    body = ReplaceAll(body, "[", "<font color=\\'#FF0000\\'>");
    body = ReplaceAll(body, "]", "</font><br>");
    page += "<a href=\"javascript:void(0);\" onclick=\"javascript:escreve('";
    page += "<p><font color=\\'#FF0000\\'>" + OnclickString(headword) + "</font><br>" + body;
    page += "')\">" + token.text + "</a>\r\n";
  }
  return page;
}

LexicalDocument ReadLexicalDocument(File& file) {
  LexicalDocument document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  document.text = reader.Text(kTextLimit);
  return document;
}

void WriteLexicalDocument(File& file, LexicalDocument& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter(file).Text(document.text);
}

PageContent LexicalPage(const LexicalDocument& document, LexicalLookup& lookup, const PageBodyInputs& inputs,
                        PageBuild& build, std::vector<std::string>& messages, bool& tokensCut) {
  const Tokens tokens = Tokenize(document.text, build);
  tokensCut = tokens.cut;
  LexicalLinker linker(lookup);
  PageContent page;
  page.templateName = "tmplate_lexis.htm";
  page.instructions = "*";
  // The lexical page has no completion message.
  page.data = PageBody(linker.LinkWords(tokens.tokens), inputs, messages);
  return page;
}

}  // namespace kio::lexical
