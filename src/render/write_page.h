// The generation steps every activity page shares: choosing the page file,
// filling the template with the settings, texts and student words, putting
// the activity's data between the template's markers, and writing the page.
#pragma once
#include <optional>
#include <string>

namespace kio {

// Makes a text safe inside a single-quoted script string: backslashes
// doubled, line breaks as " <br> ", apostrophes and double quotes escaped.
void EscapeScriptText(std::string& text);

// Longest template taken whole.
constexpr size_t kTemplateLimit = 40003;
// Folder of the templates below the program folder.
extern const char kTemplateFolder[];
// The results address the templates carry, replaced by the configured one.
extern const char kTemplateResultsAddress[];

struct FillInputs {
  std::string templateName;
  std::string pageInstructions;  // rendered and escaped
  std::string outputFileName;
};

// Reads the template into PageText and fills it. False (after the message
// "Source code not found!") when the template is missing, unreadable or
// longer than the limit: the page is not generated from a template that is
// not there.
bool FillTemplate(const FillInputs& inputs);

// Cuts PageText at "//INICIA DADOS" and "//TERMINA DADOS" and puts `data`
// between. Empty when a marker is missing.
std::optional<std::string> CutAtMarkers(const std::string& page, const std::string& data);

struct PageRequest {
  std::string templateName;     // e.g. "tmplate_cloze.htm"
  std::string instructions;     // the instructions field, unrendered
  std::string completionField;  // the "Final" field
  std::string data;             // what goes between the markers
};

// Asks for the page file and writes the page. Returns the page's path when
// it was written.
std::optional<std::string> WritePage(const PageRequest& request);

}  // namespace kio
