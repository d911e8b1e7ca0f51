// Building and writing a page. Building needs no dialog: a page's content
// (template, texts, data between the markers) and a page-build context give
// the page's text or the failure that stopped it. Writing runs the steps
// every editor shares: choose the page file and check its name, let the
// editor check it too, prepare the file, build the page, write it with the
// editor's own error report, then an after-step (support files beside the
// page). Pages built from the program's own pieces instead of a template
// (Basic, Menu, Index) are put together with PageAssembler and written with
// the same choosing and writing steps.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fileio/failure.h"
#include "platform/platform.h"
#include "render/page_build.h"
#include "render/script_string.h"

namespace kio {

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

// The message of a template that is missing, unreadable or too long.
Failure TemplateNotFound();
// The message of a page refused because a rendering reached a work limit.
Failure PageTooLarge();
// The message of a template without its data markers.
Failure MarkersMissing();

// Reads the template and fills it into `page` with the context's settings
// and completion message. TemplateNotFound when the template is missing,
// unreadable or longer than the limit: the page is not generated from a
// template that is not there. A page that would grow past kFilledPageLimit
// sets the context's workLimitReached.
std::optional<Failure> FillTemplate(const FillInputs& inputs, PageBuild& build, std::string& page);

// Cuts a filled page at "//INICIA DADOS" and "//TERMINA DADOS" and puts `data`
// between. Empty when a marker is missing.
std::optional<std::string> CutAtMarkers(const std::string& page, const std::string& data);

// What a template page is made of.
struct PageContent {
  std::string templateName;     // e.g. "tmplate_cloze.htm"
  std::string instructions;     // the instructions field, unrendered
  std::string completionField;  // the "Final" field
  std::string data;             // what goes between the markers
  std::string itemCount;        // replaces "2     ;" (the list editors)
  // Puts the data into the filled template; by default CutAtMarkers. Empty
  // when the template lacks its markers.
  std::function<std::optional<std::string>(const std::string& page, const std::string& data)> cut;
};

// A page's text, or the failure that stopped its building.
struct BuiltPage {
  std::string text;
  std::optional<Failure> failure;
};

// Builds the page of `content` whose file is `title` (its bare name): the
// instructions and completion message rendered in `build`, the template
// filled, the data between its markers. Shows nothing; refused with
// PageTooLarge when a rendering of the page (its data's included) reached
// a work limit.
BuiltPage BuildTemplatePage(const PageContent& content, const std::string& title, PageBuild& build);

// The page file the teacher chose, or the preview's file.
struct PageTarget {
  std::string fileName;    // its bare name, lower-cased
  std::string chosenPath;  // exactly as chosen: the page is written under it
  // A preview: the teacher's folder the page would have gone to, whose
  // files the page refers to are copied beside the preview (empty: the
  // working folder).
  bool preview = false;
  std::string sourceFolder;
};

// Where a page goes: the file the teacher chooses (Generate), or a file in
// the session's private preview folder (Preview), which asks nothing and
// touches none of the teacher's files.
struct PageDestination {
  bool preview = false;
  static PageDestination Chosen() { return {}; }
  static PageDestination Preview() { return {true}; }
};

// Step one: the save chooser, the file-name check (CheckFileNameCharacters)
// and PrepareDocumentFile. Nothing when the teacher stopped or the file is
// refused (its message shown).
std::optional<PageTarget> ChoosePageFile(const ChooserRequest& request);
// The same for `destination`: a preview asks nothing and takes the file in
// the preview folder named as the chooser proposes (PreviewName).
std::optional<PageTarget> ChoosePageFile(const ChooserRequest& request, const PageDestination& destination);

// The preview's file name for a page whose save chooser is `request`: the
// name it proposes, else the document's name with the page's extension,
// else "kio_preview" with it; lower-cased.
std::string PreviewName(const ChooserRequest& request);

// Copies two support files from the program folder beside a written page.
// The failure that stopped the copy, when it stopped.
std::optional<Failure> CopyBesidePage(const PageTarget& target, const std::string& first,
                                      const std::string& second);

// True, after its message, when a rendering of the page reached a work
// limit: nothing is to be written. The limit is forgotten then.
bool RefusedForWork(PageBuild& build);

// Writes a page put together with PageAssembler (Basic, Menu, Index) under
// its chosen name with WritePage's last steps: refused with a message when a
// rendering of it reached a work limit; once written, the video players a
// code asked for are copied beside it. False, after its message, when
// nothing was written.
bool WriteAssembledPage(const PageTarget& target, const std::string& text, PageBuild& build);

struct PageRequest : PageContent {
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
};

// Runs the steps in `build`, showing what stops them. Returns the page's
// path when it was written.
std::optional<std::string> WritePage(const PageRequest& request, PageBuild& build,
                                     const PageDestination& destination = {});

// Puts together a page from fixed pieces and the teacher's texts.
class PageAssembler {
 public:
  explicit PageAssembler(PageBuild& build) : build_(build) {}
  PageAssembler& Add(std::string_view piece) {
    text_.append(piece);
    return *this;
  }
  // A teacher's text in the page: a rendered copy (the document keeps its
  // codes), its line breaks as " <br> ". A rendering that reaches a work
  // limit notes it in the context, where WriteAssembledPage finds it.
  PageAssembler& AddRendered(const std::string& markup);
  const std::string& Text() const { return text_; }

 private:
  PageBuild& build_;
  std::string text_;
};

}  // namespace kio
