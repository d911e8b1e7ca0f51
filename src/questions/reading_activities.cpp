#include "questions/reading_activities.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "fileio/file.h"
#include "fileio/replacement_file.h"
#include "lexicon/lexical_links.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_store.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kio::questions {

namespace {

constexpr size_t kOptionsPerItem = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s, const char* what = " \t\r\n") {
  const size_t a = s.find_first_not_of(what);
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(what) - a + 1);
}

// Removes every piece that opens with `open` and closes with `close`.
std::string WithoutPieces(const std::string& s, char open, char close) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == open) {
      const size_t end = s.find(close, i + 1);
      if (end != std::string::npos) {
        i = end;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// The text cut into the tokens the linker takes (runs of letters, every
// other character alone, tags and codes whole, a line break as "<br>"),
// with where each begins.
struct PlacedTokens {
  std::vector<std::string> tokens;
  std::vector<size_t> starts;
};

PlacedTokens TokensOf(const std::string& text) {
  PlacedTokens out;
  for (size_t i = 0; i < text.size();) {
    size_t end = i + 1;
    std::string token;
    const char c = text[i];
    if (c == '<' || c == '{') {
      const size_t close = text.find(c == '<' ? '>' : '}', i + 1);
      if (close != std::string::npos) end = close + 1;
      token = text.substr(i, end - i);
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      end = i + 2;
      token = "<br>";
    } else {
      if (lexical::IsWordLetter(c))
        while (end < text.size() && lexical::IsWordLetter(text[end])) ++end;
      token = text.substr(i, end - i);
    }
    out.tokens.push_back(std::move(token));
    out.starts.push_back(i);
    i = end;
  }
  return out;
}

std::string Lower(const std::string& s) { return ToLower(s); }

const std::unordered_set<std::string>& FunctionWords() {
  static const std::unordered_set<std::string> words = [] {
    const char* list[] = {
        // English
        "a", "an", "the", "and", "or", "but", "if", "of", "to", "in", "on", "at", "by", "for", "with", "from",
        "as", "is", "are", "was", "were", "be", "been", "being", "am", "do", "does", "did", "have", "has",
        "had", "i", "you", "he", "she", "it", "we", "they", "me", "him", "her", "us", "them", "my", "your",
        "his", "its", "our", "their", "this", "that", "these", "those", "not", "no", "so", "than", "then",
        "there", "here", "what", "which", "who", "whom", "whose", "when", "where", "how", "all", "any",
        "some", "can", "will", "would", "shall", "should", "may", "might", "must", "could", "into", "about",
        "up", "out", "over", "s", "t", "too", "very", "just", "also",
        // Portuguese
        "o", "os", "as", "um", "uma", "uns", "umas", "de", "do", "da", "dos", "das", "em", "no", "na", "nos",
        "nas", "por", "pelo", "pela", "para", "com", "sem", "que", "e", "ou", "mas", "se", "ao", "aos", "eu",
        "tu", "ele", "ela", "eles", "elas", "voc\xEA", "n\xF3s", "me", "te", "lhe", "seu", "sua", "meu",
        "minha", "n\xE3o", "\xE9", "era", "foi", "ser", "estar", "est\xE1", "isso", "isto", "este", "esta",
        "esse", "essa", "num", "numa",
        // Spanish
        "el", "la", "los", "las", "un", "unos", "unas", "del", "al", "en", "con", "y", "o", "pero", "es",
        "son", "lo", "le", "les", "su", "sus", "mi", "yo", "t\xFA", "\xE9l", "ella", "qu\xE9", "por", "para"};
    std::unordered_set<std::string> s;
    for (const char* w : list) s.insert(w);
    return s;
  }();
  return words;
}

// Sentences of the text in order: cut after '.', '!' or '?' (and any
// closing quotes or brackets) followed by a blank, and at line breaks.
std::vector<std::string> Sentences(const std::string& text) {
  std::vector<std::string> out;
  std::string current;
  auto finish = [&] {
    std::string s = Trim(current);
    if (s.find_first_not_of(" +") != std::string::npos &&
        std::any_of(s.begin(), s.end(), [](char c) { return lexical::IsWordLetter(c); }))
      out.push_back(s);
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      finish();
      continue;
    }
    current += c;
    if (c == '.' || c == '!' || c == '?') {
      while (i + 1 < text.size() && std::string("\"')]").find(text[i + 1]) != std::string::npos)
        current += text[++i];
      if (i + 1 >= text.size() || IsBlank(text[i + 1])) finish();
    }
  }
  finish();
  return out;
}

// The sentence of the text around `position`, for the question.
std::string SentenceAround(const std::string& text, size_t position, size_t length) {
  size_t begin = position;
  while (begin > 0) {
    const char c = text[begin - 1];
    if (c == '\n' || ((c == '.' || c == '!' || c == '?') && begin < text.size() && IsBlank(text[begin])))
      break;
    --begin;
  }
  size_t end = position + length;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
    const char c = text[end++];
    if ((c == '.' || c == '!' || c == '?') && (end >= text.size() || IsBlank(text[end]))) break;
  }
  return Trim(text.substr(begin, end - begin));
}

std::string AsOption(std::string text) {
  text = ReplaceAll(text, "+", "&#43;");
  if (!text.empty() && text[0] == '>') text = "&gt;" + text.substr(1);
  return text.substr(0, 400);
}

std::string Join(const std::vector<std::string>& parts, const std::string& between) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? between : "") + parts[i];
  return out;
}

bool SameSense(const std::string& a, const std::string& b) { return Lower(Trim(a)) == Lower(Trim(b)); }

}  // namespace

bool IsMemoryPairCount(size_t pairs) { return pairs == 3 || pairs == 4 || pairs == 6 || pairs == 8; }

bool IsFunctionWord(const std::string& word) { return FunctionWords().count(Lower(word)) > 0; }

std::string FirstSense(const std::string& body, std::string& wordClass) {
  wordClass.clear();
  std::string rest = ReplaceAll(body, "\r\n", "\n");
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\n', start);
    if (end == std::string::npos) end = rest.size();
    std::string line = rest.substr(start, end - start);
    start = end + 1;
    const size_t note = line.find("//");
    if (note != std::string::npos) line.resize(note);
    line = WithoutPieces(WithoutPieces(line, '{', '}'), '<', '>');
    line = Trim(line);
    // Word-class marks at the start of the line: "[subst.]", "(s)".
    while (!line.empty() && (line[0] == '[' || line[0] == '(')) {
      const size_t close = line.find(line[0] == '[' ? ']' : ')');
      if (close == std::string::npos) break;
      if (wordClass.empty()) wordClass = Lower(Trim(line.substr(1, close - 1)));
      line = Trim(line.substr(close + 1));
    }
    line = Trim(WithoutPieces(line, '[', ']'));
    // Numbering: "1." or "1)".
    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits > 0 && digits < line.size() && (line[digits] == '.' || line[digits] == ')'))
      line = Trim(line.substr(digits + 1));
    const size_t semicolon = line.find(';');
    if (semicolon != std::string::npos) line.resize(semicolon);
    line = Trim(line, " \t,:;.");
    if (std::any_of(line.begin(), line.end(), [](char c) { return lexical::IsWordLetter(c); }))
      return line.substr(0, kCardLimit);
    if (end >= rest.size()) break;
  }
  return {};
}

ReadingActivities MakeReadingActivities(const std::string& text, LexiconStore& store,
                                        const ReadingActivityOptions& options) {
  ReadingActivities made;
  const bool pt = options.portuguese;
  const size_t every = std::max<size_t>(1, options.every);

  // The known words, each with its entry's first sense.
  {
    const PlacedTokens placed = TokensOf(text);
    auto lookup = lexical::MemoryLookup(store);
    lexical::LexicalLinker linker(*lookup);
    const std::vector<lexical::LinkedToken> linked = linker.LinkWords(placed.tokens);
    std::unordered_map<std::string, std::pair<std::string, std::string>> senses;  // headword: sense, class
    size_t at = 0;
    for (const lexical::LinkedToken& t : linked) {
      const size_t first = at;
      size_t length = 0;
      while (at < placed.tokens.size() && length < t.text.size()) length += placed.tokens[at++].size();
      if (length == 0 && at < placed.tokens.size()) ++at;
      if (t.headword.empty() || t.text.empty() || !lexical::IsWordLetter(t.text[0])) continue;
      if (t.headword[0] == '#' || t.headword[0] == '$') continue;
      auto known = senses.find(t.headword);
      if (known == senses.end()) {
        // A fallback or the catch-all makes an entry up: only an entry the
        // dictionary holds counts.
        bool found = false;
        const uint32_t n = lookup->Find(t.headword, found);
        std::string sense, wordClass;
        if (found && n != kOffLimits) {
          const std::string entry = lookup->Entry(n);
          size_t p = 0;
          Headword(entry, p);
          sense = FirstSense(NextField(entry, p), wordClass);
        }
        known = senses.emplace(t.headword, std::make_pair(sense, wordClass)).first;
      }
      if (known->second.first.empty()) continue;
      ReadingWord w;
      w.position = placed.starts[first];
      w.text = text.substr(w.position, t.text.size());
      w.headword = t.headword;
      w.sense = known->second.first;
      w.wordClass = known->second.second;
      // A phrase counts as one item, always a content one.
      w.content = at - first > 1 || !(IsFunctionWord(w.text) || IsFunctionWord(w.headword));
      made.words.push_back(std::move(w));
    }
  }

  // Cloze: every `every`-th content word becomes a gap; the text is cut at
  // a sentence's end when it would not fit a Cloze document.
  {
    std::string out;
    size_t from = 0, count = 0, kept = 0;
    auto plain = [](std::string s) {
      for (char& c : s) c = c == '[' ? '(' : c == ']' ? ')' : c;
      return s;
    };
    std::vector<ReadingWord> gaps;
    for (const ReadingWord& w : made.words) {
      if (!w.content || ++count % every != 0) continue;
      std::string piece = plain(text.substr(from, w.position - from)) + "[" + w.text + "]";
      if (out.size() + piece.size() > kLongTextLimit) break;
      out += piece;
      from = w.position + w.text.size();
      gaps.push_back(w);
      kept = out.size();
    }
    std::string tail = plain(text.substr(from));
    if (out.size() + tail.size() > kLongTextLimit) {
      tail.resize(kLongTextLimit - out.size());
      // Up to the last sentence end, or the last blank, of what fits.
      size_t cut = tail.find_last_of(".!?");
      if (cut == std::string::npos) cut = tail.find_last_of(" \r\n");
      tail.resize(cut == std::string::npos ? 0 : cut + 1);
    }
    (void)kept;
    out += tail;
    made.gaps = gaps;
    if (!gaps.empty()) {
      made.hasCloze = true;
      made.cloze.kind = DocumentKind::kCloze;
      made.cloze.instructions = pt ? Win1252("Complete o texto com as palavras que faltam.")
                                   : "Fill in the missing words of the text.";
      made.cloze.text = out;
    } else {
      made.notes.push_back(pt ? Win1252("Cloze: o texto não tem palavras do dicionário para as lacunas.")
                              : "Cloze: the text has no words of the dictionary to make gaps of.");
    }
  }

  // The chosen words: each headword once, the gaps' first, then the rest in
  // text order.
  std::vector<const ReadingWord*> chosen;
  {
    std::set<std::string> seen;
    auto take = [&](const ReadingWord& w) {
      if (w.content && seen.insert(w.headword).second) chosen.push_back(&w);
    };
    for (const ReadingWord& w : made.gaps) take(w);
    for (const ReadingWord& w : made.words) take(w);
  }

  // Memory: word and translation pairs, no card twice.
  {
    std::set<std::string> cards;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const ReadingWord* w : chosen) {
      if (pairs.size() == std::max<size_t>(options.pairs, 3)) break;
      const std::string a = Lower(w->headword), b = Lower(w->sense);
      if (a == b || cards.count(a) || cards.count(b)) continue;
      cards.insert(a);
      cards.insert(b);
      pairs.emplace_back(w->headword.substr(0, kCardLimit), w->sense);
    }
    size_t size = pairs.size();
    while (size > 0 && !IsMemoryPairCount(size)) --size;
    pairs.resize(size);
    if (size >= 3) {
      made.hasMemory = true;
      made.memory.kind = DocumentKind::kMemory;
      made.memory.instructions = pt ? Win1252("Encontre os pares: cada palavra e sua tradução.")
                                    : "Find the pairs: each word and its translation.";
      made.memory.pairs = std::move(pairs);
      if (size < options.pairs)
        made.notes.push_back(pt ? "Memory: " + std::to_string(size) + Win1252(" pares (não havia mais).")
                                : "Memory: " + std::to_string(size) + " pairs (there were no more).");
    } else {
      made.notes.push_back(
          pt ? Win1252("Memory: o texto não tem palavras do dicionário bastantes para 3 pares.")
             : "Memory: the text has too few words of the dictionary for 3 pairs.");
    }
  }

  // Multiple choice: what each chosen gap word means here.
  {
    std::vector<const ReadingWord*> gapWords;
    {
      std::set<std::string> seen;
      for (const ReadingWord& w : made.gaps)
        if (seen.insert(w.headword).second) gapWords.push_back(&w);
    }
    for (size_t i = 0; i < gapWords.size() && made.multiple.items.size() < kListItemsPerDocument; ++i) {
      const ReadingWord& w = *gapWords[i];
      std::vector<std::string> wrong;
      auto offer = [&](bool sameClass) {
        const size_t n = chosen.size();
        for (size_t k = 1; k <= n && wrong.size() < kOptionsPerItem - 1; ++k) {
          // Starting after the word's own place, so that items differ.
          const ReadingWord& o = *chosen[(i + k) % n];
          if (o.headword == w.headword) continue;
          if (sameClass != (!w.wordClass.empty() && o.wordClass == w.wordClass)) continue;
          if (SameSense(o.sense, w.sense)) continue;
          if (std::any_of(wrong.begin(), wrong.end(),
                          [&](const std::string& s) { return SameSense(s, o.sense); }))
            continue;
          wrong.push_back(o.sense);
        }
      };
      offer(true);
      offer(false);
      if (wrong.size() < kOptionsPerItem - 1) continue;
      std::vector<std::string> options;
      const size_t right = made.multiple.items.size() % kOptionsPerItem;
      for (size_t k = 0, x = 0; k < kOptionsPerItem; ++k)
        options.push_back(k == right ? ">" + AsOption(w.sense) : AsOption(wrong[x++]));
      ListItem item;
      item[kFile] = "#";
      item[kAssessed] = "S";
      const std::string sentence = SentenceAround(text, w.position, w.text.size()).substr(0, 2000);
      item[kQuestion] = sentence + "\r\n\r\n" +
                        (pt ? Win1252("O que significa \"") + w.text + "\" aqui?"
                            : "What does \"" + w.text + "\" mean here?");
      item[kFourth] = Join(options, "+");
      item[kFifth] = "#";
      item[kSixth] = "#";
      made.multiple.items.push_back(std::move(item));
    }
    made.multiple.kind = DocumentKind::kMultiple;
    made.hasMultiple = !made.multiple.items.empty();
    if (!made.hasMultiple)
      made.notes.push_back(
          pt ? Win1252("Multiple choice: não há palavras do dicionário bastantes para as opções.")
             : "Multiple choice: there are too few words of the dictionary for the options.");
  }

  // Sequence: the sentences in order, as many as fit.
  {
    std::string joined;
    size_t count = 0;
    for (const std::string& s : Sentences(text)) {
      const std::string segment = ReplaceAll(s, "+", "&#43;");
      if (joined.size() + segment.size() + 1 > kLongTextLimit) break;
      joined += (count++ ? "+" : "") + segment;
    }
    if (count >= 3) {
      made.hasSequence = true;
      made.sequenceText = joined;
      made.sequenceInstructions =
          pt ? Win1252("Ponha as frases do texto em ordem.") : "Put the sentences of the text in order.";
    } else {
      made.notes.push_back(pt ? Win1252("Sequence: o texto tem menos de 3 frases.")
                              : "Sequence: the text has fewer than 3 sentences.");
    }
  }
  return made;
}

std::vector<ActivityFile> ActivityFiles(const std::string& textPath, const std::string& folder,
                                        const ReadingActivities& made) {
  std::string stem = BareName(textPath);
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  std::vector<ActivityFile> files;
  if (made.hasCloze) files.push_back({folder + stem + ".clo", "Cloze"});
  if (made.hasMemory) files.push_back({folder + stem + ".mem", "Memory"});
  if (made.hasMultiple) files.push_back({folder + stem + ".mul", "Multiple choice"});
  if (made.hasSequence) files.push_back({folder + stem + ".seq", "Sequence"});
  return files;
}

bool WriteReadingActivities(const std::string& textPath, const std::string& folder,
                            const ReadingActivities& made, bool replace, const std::string& completionMessage,
                            std::vector<ActivityFile>& written, std::string& error) {
  written.clear();
  const std::vector<ActivityFile> files = ActivityFiles(textPath, folder, made);
  if (files.empty()) {
    error = "Nothing could be made from the text.";
    return false;
  }
  if (!replace) {
    std::vector<std::string> existing;
    for (const ActivityFile& f : files)
      if (FileExists(f.path)) existing.push_back(f.path);
    if (!existing.empty()) {
      error = "Already there (nothing was written): " + Join(existing, ", ");
      return false;
    }
  }
  for (const ActivityFile& f : files) {
    std::string bytes;
    if (f.activity == "Cloze") bytes = EncodeKioDocument(made.cloze, completionMessage);
    if (f.activity == "Memory") bytes = EncodeKioDocument(made.memory, completionMessage);
    if (f.activity == "Multiple choice") bytes = EncodeKioDocument(made.multiple, completionMessage);
    if (f.activity == "Sequence")
      bytes = EncodeSequenceDocument(made.sequenceInstructions, made.sequenceText, completionMessage);
    try {
      ReplacementFile out(f.path);
      out.Out().Write(bytes);
      out.Commit();
    } catch (const FileError&) {
      error = "Cannot write " + f.path + ".";
      return false;
    }
    written.push_back(f);
  }
  return true;
}

}  // namespace kio::questions
