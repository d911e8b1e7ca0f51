#include "lexicon/lexical_links.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <unordered_map>

#include "lexicon/collation.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_store.h"
#include "platform/text_encoding.h"

namespace kio::lexical {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Tokens that do not count as words of a phrase.
bool IsPhraseSeparator(char c) {
  return c == '\'' || c == '-' || c == ' ' || c == '\n' || c == '\r' || c == '\x92';
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

}  // namespace

bool IsWordLetter(char c) {
  static const auto table = [] {
    std::array<bool, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = u_isalpha(static_cast<UChar32>(Cp1252CodePoint(b)));
    return t;
  }();
  return table[static_cast<unsigned char>(c)];
}

std::vector<std::string> PlainTokens(const std::string& text) {
  std::vector<std::string> tokens;
  for (size_t i = 0; i < text.size();) {
    size_t end = i + 1;
    if (IsWordLetter(text[i]))
      while (end < text.size() && IsWordLetter(text[end])) ++end;
    tokens.push_back(text.substr(i, end - i));
    i = end;
  }
  return tokens;
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

}  // namespace kio::lexical
