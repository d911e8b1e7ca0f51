// Writing a page, in steps every editor shares: choose the page file and
// check its name, let the editor check it too, prepare the file, fill the
// template with the settings, texts, student words and item count, put the
// editor's data between the template's markers, write the page with the
// editor's own error report, then an after-step (support files beside the
// page). Pages built from the program's own pieces instead of a template
// (Basic, Menu, Index) are put together with PageAssembler and written with
// the same choosing and writing steps.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kio {

// Makes a text safe inside a single-quoted script string: backslashes
// doubled, line breaks as " <br> ", apostrophes and double quotes escaped.
void EscapeScriptText(std::string& text);
// A text as the inside of a single-quoted script string: as it is, with
// only the characters that would end the string (a backslash, an
// apostrophe) escaped.
std::string QuotedAsStored(const std::string& text);

// Longest template taken whole.
constexpr size_t kTemplateLimit = 40003;
// Longest page that filling a template may make (before the editor's data
// goes between the markers). A template with the longest texts a teacher
// can type fills to well under 1 MB; texts that hold each other's
// placeholders multiply at every row and are stopped here.
constexpr size_t kFilledPageLimit = 8'000'000;
// Folder of the templates below the program folder.
extern const char kTemplateFolder[];
// The results address the templates carry, replaced by the configured one.
extern const char kTemplateResultsAddress[];

struct FillInputs {
  std::string templateName;
  std::string pageInstructions;  // rendered and escaped
  std::string outputFileName;
  std::string itemCount;  // replaces "2     ;": the list editors' item count
};

// Reads the template into PageText and fills it. False (after the message
// "Source code not found!") when the template is missing, unreadable or
// longer than the limit: the page is not generated from a template that is
// not there.
bool FillTemplate(const FillInputs& inputs);

// Cuts PageText at "//INICIA DADOS" and "//TERMINA DADOS" and puts `data`
// between. Empty when a marker is missing.
std::optional<std::string> CutAtMarkers(const std::string& page, const std::string& data);

// The page file the teacher chose.
struct PageTarget {
  std::string fileName;    // its bare name, lower-cased
  std::string chosenPath;  // exactly as chosen: the page is written under it
};

// Step one: the save chooser, the file-name check (CheckFileNameCharacters)
// and PrepareDocumentFile. Nothing when the teacher stopped or the file is
// refused (its message shown).
std::optional<PageTarget> ChoosePageFile(const ChooserRequest& request);

// Copies two support files from the program folder beside a written page
// (the page's folder becomes the session's outputFolder). False when the
// copy stopped, after its message.
bool CopyBesidePage(const PageTarget& target, const std::string& first, const std::string& second);

// Forgets, when it goes, what the renderings of one page noted (a work
// limit reached, video players needed), so that nothing carries over to
// the next page. Every Generate holds one, WritePage its own.
class PageWorkScope {
 public:
  PageWorkScope() = default;
  ~PageWorkScope();
  PageWorkScope(const PageWorkScope&) = delete;
  PageWorkScope& operator=(const PageWorkScope&) = delete;
};

// True, after its message, when a rendering of the page (or the filling of
// its template) reached a work limit: nothing is to be written. The limit is
// forgotten then.
bool RefusedForWork();

// Writes a page put together with PageAssembler (Basic, Menu, Index) under
// its chosen name with WritePage's last steps: refused with a message when a
// rendering of it reached a work limit; once written, the video players a
// code asked for are copied beside it. False, after its message, when
// nothing was written.
bool WriteAssembledPage(const PageTarget& target, const std::string& text);

struct PageRequest {
  std::string templateName;     // e.g. "tmplate_cloze.htm"
  std::string instructions;     // the instructions field, unrendered
  std::string completionField;  // the "Final" field
  std::string data;             // what goes between the markers
  std::string itemCount;        // replaces "2     ;" (the list editors)
  // The save chooser; by default "*.htm" in the documents folder.
  std::optional<ChooserRequest> chooser;
  // The editor's own check of the chosen page; false stops (its message
  // shown).
  std::function<bool(const PageTarget&)> check;
  // The editor's report of a page that could not be written; by default
  // ReportPageNotWritten.
  std::function<void(int cause)> reportError;
  // Runs once the page is written, e.g. to copy support files beside it.
  std::function<void(const PageTarget&)> after;
  // Puts the data into the filled template; by default CutAtMarkers. Empty
  // when the template lacks its markers.
  std::function<std::optional<std::string>(const std::string& page, const std::string& data)> cut;
};

// Runs the steps. Returns the page's path when it was written.
std::optional<std::string> WritePage(const PageRequest& request);

// Puts together a page from fixed pieces and the teacher's texts.
class PageAssembler {
 public:
  PageAssembler& Add(std::string_view piece) {
    text_.append(piece);
    return *this;
  }
  // A teacher's text in the page: a rendered copy (the document keeps its
  // codes), its line breaks as " <br> ". A rendering that reaches a work
  // limit notes it in the session, where WriteAssembledPage finds it.
  PageAssembler& AddRendered(const std::string& markup);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace kio
