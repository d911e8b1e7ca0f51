// Every page kind built from document values alone, with no dialog and no
// chooser: each document is written to its file, read back, and its page
// built. Teacher texts that hold what would end a script string or the
// script itself still give pages whose scripts parse.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "documents/basic_document.h"
#include "documents/cloze_document.h"
#include "documents/dialogical_document.h"
#include "documents/eclipse_document.h"
#include "documents/index_document.h"
#include "documents/lexical_document.h"
#include "documents/memory_document.h"
#include "documents/menu_document.h"
#include "documents/multiple_document.h"
#include "documents/sequence_document.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lexicon/lexicon_entry.h"
#include "lexicon/lexicon_store.h"
#include "platform/text.h"

namespace kio {
namespace {

using test::TempDir;

// A dictionary of a few entries kept in memory, sorted by headword.
class FewEntries : public lexical::LexicalLookup {
 public:
  explicit FewEntries(std::map<std::string, std::string> bodies) {
    entries_.push_back("");  // the sentinels
    for (const auto& [headword, body] : bodies)
      entries_.push_back(headword + kHeadwordSeparator + body + kEntryTerminator);
    entries_.push_back("");
  }
  uint32_t Count() override { return static_cast<uint32_t>(entries_.size()); }
  uint32_t Find(const std::string& word, bool& found) override {
    for (uint32_t n = 1; n + 1 < entries_.size(); ++n)
      if (HeadwordAt(n) == word) {
        found = true;
        return n;
      }
    found = false;
    return kOffLimits;
  }
  std::string Entry(uint32_t n) override { return n < entries_.size() ? entries_[n] : ""; }
  std::string HeadwordAt(uint32_t n) override { return Headword(Entry(n)); }
  int ComparePrefix(const std::string& phrase, uint32_t n) override {
    const std::string h = HeadwordAt(n);
    const int order = phrase.compare(0, h.size(), h);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  }

 private:
  std::vector<std::string> entries_;
};

class DocumentPages : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentSession().Reset();
    CurrentSession().appPaths.programFolder = std::string(KIO_PROGRAM_DIR) + "/";
  }
  void TearDown() override { CurrentSession().Reset(); }

  // A new document's settings.
  static SettingsBlock Settings(const std::string& completion) {
    return {DefaultPageSettings("bgcolor='#F0E8F0'"), completion, ""};
  }

  // Writes the document with `write`, reads it back with `read` from the
  // start of the file.
  template <typename Document>
  Document RoundTrip(Document document, const std::function<void(File&, Document&)>& write,
                     const std::function<Document(File&)>& read) {
    const std::string path = (folder_ / "document").string();
    File file;
    file.Create(path);
    write(file, document);
    file.Close();
    EXPECT_TRUE(file.Open(path, File::kRead));
    Document back = read(file);
    EXPECT_EQ(file.Position(), file.Length()) << "read back whole";
    return back;
  }

  std::string TemplatePage(const PageContent& content, PageBuild& build) {
    BuiltPage built = BuildTemplatePage(content, "page.htm", build);
    EXPECT_FALSE(built.failure) << (built.failure ? built.failure->text : "");
    return built.text;
  }

  // Every page kind, with `text` in every teacher text of its document.
  std::map<std::string, std::string> EveryPage(const std::string& text) {
    std::map<std::string, std::string> pages;
    bool cut = false;
    auto textDocument = [&](const TextActivityFormat& format, std::string body) {
      TextActivityDocument d{Settings(text), text, body, format.extraLimit ? text : ""};
      return RoundTrip<TextActivityDocument>(
          d, [&](File& f, TextActivityDocument& v) { WriteTextActivityDocument(f, format, v); },
          [&](File& f) { return ReadTextActivityDocument(f, format); });
    };
    auto settings = [](const SettingsBlock& block) {
      PageBuild build;
      build.settings = block.page;
      return build;
    };
    {
      ClozeDocument d = textDocument(kClozeFormat, text + " [gap] " + text);
      PageBuild build = settings(d.settings);
      pages["cloze"] = TemplatePage(ClozePage(d, build), build);
    }
    {
      EclipseDocument d = textDocument(kEclipseFormat, text);
      PageBuild build = settings(d.settings);
      pages["eclipse"] = TemplatePage(EclipsePage(d, build), build);
    }
    {
      SequenceDocument d = textDocument(kSequenceFormat, text + "+" + text + "+end");
      File reread;
      SequenceDocument back = RoundTrip<SequenceDocument>(
          d, [](File& f, SequenceDocument& v) { WriteTextActivityDocument(f, kSequenceFormat, v); },
          [&](File& f) { return ReadSequenceDocument(f, cut); });
      PageBuild build = settings(back.settings);
      std::string refusal;
      pages["sequence"] = TemplatePage(SequencePage(back, build, refusal), build);
      EXPECT_EQ(refusal, "");
    }
    {
      MemoryDocument d{Settings(text), text, {}};
      for (int j = 0; j < 3; ++j) d.pairs[j] = {text, text + " {i=cat.gif}"};
      d = RoundTrip<MemoryDocument>(d, WriteMemoryDocument,
                                    [&](File& f) { return ReadMemoryDocument(f, cut); });
      PageBuild build = settings(d.settings);
      pages["memory"] = TemplatePage(MemoryPage(d, build), build);
    }
    for (const auto* format : {&kMultipleFormat, &kDialogicalFormat}) {
      const std::string options = format == &kMultipleFormat ? ">" + text + "+" + text : text + "+" + text;
      ListActivityDocument d{Settings(text), {{"page.htm", "S", text, options, text + "+" + text, text}}};
      d = RoundTrip<ListActivityDocument>(d, WriteListActivityDocument,
                                          [&](File& f) { return ReadListActivityDocument(f, cut); });
      PageBuild build = settings(d.settings);
      pages[format->extension] = TemplatePage(ListActivityPage(*format, d, build), build);
    }
    {
      BasicDocument d{Settings(""), text};
      d = RoundTrip<BasicDocument>(d, WriteBasicDocument, ReadBasicDocument);
      PageBuild build = settings(d.settings);
      pages["basic"] = BasicPage(d, "page.htm", build);
    }
    {
      MenuDocument d;
      d.title = text;
      d.entries[1] = "a.htm";
      d = RoundTrip<MenuDocument>(
          d,
          [](File& f, MenuDocument& v) {
            FieldWriter w(f);
            WriteMenuDocument(w, v);
          },
          [](File& f) {
            FieldReader r(f);
            return ReadMenuDocument(r);
          });
      pages["menu"] = BuildMenuPage(d, "Atividade");
    }
    {
      IndexFile d{Settings(""), {"course/", text, {{"a.htm", text}, {"menu.htm", text}}}};
      d = RoundTrip<IndexFile>(d, WriteIndexDocument, [&](File& f) { return ReadIndexDocument(f, cut); });
      PageBuild build = settings(d.settings);
      pages["index"] = IndexPage(d, build);
    }
    {
      lexical::LexicalDocument d{Settings(""), text + " cat"};
      d = RoundTrip<lexical::LexicalDocument>(d, lexical::WriteLexicalDocument, lexical::ReadLexicalDocument);
      FewEntries lookup({{"cat", "gato [" + text + "] // " + text}});
      PageBuild build = settings(d.settings);
      std::vector<std::string> messages;
      bool tokensCut = false;
      const PageContent content = lexical::LexicalPage(d, lookup, {folder_.str() + "/", folder_.str() + "/"},
                                                       build, messages, tokensCut);
      EXPECT_NE(content.data.find("escreve("), std::string::npos) << "a word is linked";
      pages["lexical"] = TemplatePage(content, build);
    }
    EXPECT_FALSE(cut);
    return pages;
  }

  TempDir folder_;
};

// The scripts a browser would run from a page, found as its HTML reader
// finds them: the bodies of its <script> elements, each ending at the first
// "</script" whatever its case, and its onclick handlers; comments and
// quoted attribute values are passed over.
std::vector<std::string> Scripts(const std::string& page) {
  std::string lower = page;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<std::string> scripts;
  size_t i = 0;
  while ((i = page.find('<', i)) != std::string::npos) {
    if (page.compare(i, 4, "<!--") == 0) {
      const size_t end = page.find("-->", i + 4);
      if (end == std::string::npos) break;
      i = end + 3;
      continue;
    }
    size_t k = i + 1;
    while (k < page.size() && std::isalnum(static_cast<unsigned char>(page[k]))) ++k;
    const std::string name = lower.substr(i + 1, k - i - 1);
    if (name.empty()) {
      ++i;
      continue;
    }
    for (char quote = 0; k < page.size() && (quote || page[k] != '>'); ++k) {
      if (quote && page[k] == quote)
        quote = 0;
      else if (!quote && (page[k] == '"' || page[k] == '\''))
        quote = page[k];
    }
    const std::string tag = page.substr(i, k - i);
    const size_t onclick = lower.substr(i, k - i).find("onclick=\"");
    if (onclick != std::string::npos) {
      const size_t start = onclick + 9;
      scripts.push_back(ReplaceAll(tag.substr(start, tag.find('"', start) - start), "&quot;", "\""));
    }
    i = k + 1;
    if (name == "script") {
      const size_t end = lower.find("</script", i);
      if (end == std::string::npos) break;
      scripts.push_back(page.substr(i, end - i));
      i = end;
    }
  }
  return scripts;
}

// The scripts node cannot compile, each with its error; "" when all parse.
std::string ScriptsThatDoNotParse(const std::map<std::string, std::vector<std::string>>& scripts) {
  TempDir folder;
  std::string files;
  for (const auto& [name, bodies] : scripts)
    for (size_t k = 0; k < bodies.size(); ++k) {
      const auto path = folder / (name + "-" + std::to_string(k) + ".js");
      test::WriteFile(path, bodies[k]);
      files += " '" + path.string() + "'";
    }
  const char* check =
      "const vm = require('vm'), fs = require('fs');"
      "for (const f of process.argv.slice(1)) {"
      "  try { new vm.Script(fs.readFileSync(f, 'latin1'), {filename: f}); }"
      "  catch (e) { console.log(f + ': ' + e.message); process.exitCode = 1; } }";
  test::RunResult run = test::RunCommand(std::string("node -e \"") + check + "\"" + files + " 2>&1");
  return run.status == 0 ? "" : run.transcript + " (status " + std::to_string(run.status) + ")";
}

// The texts that once ended the pages' scripts: an apostrophe, backslashes
// (the Cloze text of a file path), line breaks alone or paired, a closing
// script tag and a comment opening.
const char* const kTeacherTexts[] = {
    "The file is in C:\\[temp]\\ and that's all.",
    "one\ntwo (a line feed alone)",
    "one\rtwo (a carriage return alone)",
    "one\r\ntwo\n\rthree",
    "Look: </script><script>alert(1)</script> done",
    "<!-- not a comment --> and </SCRIPT >",
    "quote \" and 'single' and \\' together",
};

TEST_F(DocumentPages, EveryPageKindsScriptsParseWhateverTheTeachersTexts) {
  std::map<std::string, std::vector<std::string>> scripts;
  int text = 0;
  for (const char* t : kTeacherTexts) {
    for (const auto& [kind, page] : EveryPage(t)) {
      ASSERT_FALSE(page.empty()) << kind;
      auto bodies = Scripts(page);
      if (kind != "basic" && kind != "menu" && kind != "index") EXPECT_FALSE(bodies.empty()) << kind;
      scripts[kind + "-" + std::to_string(text)] = bodies;
    }
    ++text;
  }
  EXPECT_EQ(ScriptsThatDoNotParse(scripts), "");
}

// The pages of a build do not depend on what was built before them in the
// same run: a page whose codes change the frames, colours and video sizes
// and ask for the video players leaves nothing to the next, and takes
// nothing from the one before; the program's own settings stay as they
// were.
TEST_F(DocumentPages, APageBuiltAfterAnotherIsTheSameAsBuiltAlone) {
  const std::string plain = "Read it's text.";
  const std::string coded =
      "{40.col}{10.alt}{#FF0000.bg2}{#00FF00.box}{h=999}{t=888}{f=clip.flv} {i=a.jpg} words";
  const auto codedAlone = EveryPage(coded);
  SetUp();
  const auto plainAlone = EveryPage(plain);
  EXPECT_EQ(EveryPage(coded), codedAlone);
  EXPECT_EQ(EveryPage(plain), plainAlone);
  EXPECT_NE(plainAlone, codedAlone);
  EXPECT_EQ(CurrentSession().pageSettings.frameCols, "");
  EXPECT_EQ(CurrentSession().pageSettings.background2, "");
  EXPECT_EQ(CurrentSession().MediaWidth, "");
  EXPECT_EQ(CurrentSession().MediaHeight, "");
}

}  // namespace
}  // namespace kio
