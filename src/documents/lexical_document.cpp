#include "documents/lexical_document.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "documents/eclipse_tokens.h"
#include "fileio/file.h"
#include "lang/fixed_texts.h"
#include "lang/lang_tag.h"
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

// A text inside the single-quoted script string of a link's onclick: its
// line breaks as blanks, escaped for the string, its double quotes as the
// attribute needs them.
std::string OnclickString(std::string text) {
  text = ReplaceAll(ReplaceAll(text, "\r", " "), "\n", " ");
  return ReplaceAll(ScriptString(text), "\"", "&quot;");
}

}  // namespace

std::string TokenLimitMessage() { return FixedText(Fixed::kTextLimitPassed); }

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
        RenderMarkupWithoutCollecting(piece, build);
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
      messages.push_back(FixedText(Fixed::kPictureNotFound, {name}));
      continue;
    }
    const std::string path = ResolveCase(picturesFolder + name);
    const std::string systemPath = SystemName(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(systemPath, ec)) {
      messages.push_back(FixedText(Fixed::kPictureNotFound, {name}));
      continue;
    }
    std::ifstream in(systemPath, std::ios::binary);
    const auto size = std::filesystem::file_size(systemPath, ec);
    if (!in || ec) {
      messages.push_back(FixedText(Fixed::kPictureOrFolderMissing, {path}));
      continue;
    }
    if (size >= kPictureLimit) {
      messages.push_back(FixedText(Fixed::kPictureTooLarge));
      continue;
    }
    copied.insert(name);
    const std::string copyPath = SystemName(outputFolder + name);
    if (std::filesystem::exists(copyPath, ec)) continue;
    std::ofstream copy(copyPath, std::ios::binary);
    copy << in.rdbuf();
    if (!copy) messages.push_back(FixedText(Fixed::kPictureOrFolderMissing, {outputFolder + name}));
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

std::string InDictionaryLanguage(const std::string& dictionaryFile, const std::string& body) {
  const std::string tag = StudentLanguageTag(dictionaryFile);
  if (tag == "und") return body;
  return "<div lang=\"" + tag + "\">" + body + "</div>";
}

std::optional<std::string> CutAtLexicalMarkers(const std::string& page, const std::string& body) {
  static const std::string start = "<!-- //INICIA DADOS -->";
  static const std::string end = "<!-- TERMINA DADOS -->";
  const size_t p1 = page.find(start);
  const size_t p2 = p1 == std::string::npos ? p1 : page.find(end, p1 + start.size());
  if (p1 == std::string::npos || p2 == std::string::npos) return CutAtMarkers(page, body);
  const size_t head = std::min(p1 + start.size() + 1, p2);
  return page.substr(0, head) + body + page.substr(p2);
}

LexicalDocument ReadLexicalDocument(File& file) { return ReadReadingDocument(file, kTextLimit); }

void WriteLexicalDocument(File& file, LexicalDocument& document) { WriteReadingDocument(file, document); }

PageContent LexicalPage(const LexicalDocument& document, LexicalLookup& lookup, const PageBodyInputs& inputs,
                        PageBuild& build, std::vector<std::string>& messages, bool& tokensCut) {
  const Tokens tokens = Tokenize(document.text, build);
  tokensCut = tokens.cut;
  LexicalLinker linker(lookup);
  PageContent page;
  page.templateName = "tmplate_lexis.htm";
  page.instructions = "*";
  page.cut = CutAtLexicalMarkers;
  // The lexical page has no completion message.
  page.data = InDictionaryLanguage(inputs.dictionaryFile,
                                   PageBody(linker.LinkWords(tokens.tokens), inputs, messages));
  return page;
}

}  // namespace kio::lexical
