#include "platform/headless.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <vector>

#include "platform/dialog.h"
#include "platform/file_names.h"
#include "platform/spell_checker.h"
#include "platform/text_encoding.h"

namespace kio {
namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Suggestions the spell view shows for each unknown word.
constexpr size_t kSpellSuggestionsShown = 3;

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// The value of a text of decimal digits; nothing when it is not one or is
// too large for an int.
std::optional<int> NumberValue(const std::string& s) {
  int value = 0;
  if (!IsNumber(s) || std::from_chars(s.data(), s.data() + s.size(), value).ec != std::errc())
    return std::nullopt;
  return value;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(std::istream& script, std::ostream& transcript)
    : script_(script), out_(transcript) {}

void HeadlessPlatform::Emit(const std::string& line) {
  out_ << Cp1252ToUtf8(EscapeLine(line)) << '\n';
  out_.flush();
}

void HeadlessPlatform::ScriptError(const std::string& why) {
  Emit("SCRIPT ERROR " + why);
  throw ProcessExit{3};
}

void HeadlessPlatform::ExitProcess(int status) {
  Emit("EXIT " + std::to_string(status));
  throw ProcessExit{status};
}

std::optional<HeadlessPlatform::Line> HeadlessPlatform::PeekLine() {
  while (pending_.empty()) {
    std::string raw;
    if (!std::getline(script_, raw)) return std::nullopt;
    ++lineNumber_;
    std::string text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    auto converted = Utf8ToCp1252(text);
    if (!converted)
      ScriptError("line " + std::to_string(lineNumber_) + " holds a character with no Windows-1252 form");
    Line line;
    size_t sp = converted->find(' ');
    line.verb = converted->substr(0, sp);
    if (sp != std::string::npos) {
      // Only the single blank after the verb is a separator: a typed text
      // keeps its own leading blanks.
      line.rest = UnescapeLine(converted->substr(sp + 1));
    }
    line.raw = *converted;
    pending_.push_back(line);
  }
  return pending_.front();
}

std::optional<HeadlessPlatform::Line> HeadlessPlatform::NextLine() {
  auto line = PeekLine();
  if (line) pending_.pop_front();
  return line;
}

HeadlessPlatform::Line HeadlessPlatform::ExpectLine(const std::string& verb, const std::string& what) {
  auto line = NextLine();
  if (!line) ScriptError("the script ended while " + what + " waited for '" + verb + "'");
  if (line->verb != verb) ScriptError("expected '" + verb + "' for " + what + ", got: " + line->raw);
  return *line;
}

int HeadlessPlatform::RunModal(Dialog& dialog) {
  struct Finish {
    Dialog& d;
    ~Finish() { d.FinishModal(); }
  } finish{dialog};
  dialog.BeginModal(nullptr);
  Emit("DIALOG " + dialog.Title());
  while (!dialog.Ended()) {
    auto line = NextLine();
    if (!line) throw ScriptEnded{};
    Execute(dialog, *line);
  }
  Emit("END " + dialog.Title());
  return dialog.Result();
}

int HeadlessPlatform::ResolveControl(Dialog& dialog, const std::string& ref, bool buttonsOnly) {
  // An empty name would match every control whose text is empty.
  if (ref.empty()) ScriptError("the line names no control");
  if (IsNumber(ref)) {
    auto id = NumberValue(ref);
    if (!id || !dialog.HasControl(*id))
      ScriptError("dialog \"" + dialog.Title() + "\" has no control " + ref);
    return *id;
  }
  std::string wanted = ToLower(ref);
  int found = 0, count = 0;
  for (const auto& c : dialog.Layout().controls) {
    if (buttonsOnly && c.kind != ControlKind::Button) continue;
    if (ToLower(WithoutAccelerator(dialog.GetItemText(c.id))) == wanted) {
      found = c.id;
      ++count;
    }
  }
  if (count == 0) ScriptError("dialog \"" + dialog.Title() + "\" has no button labelled " + ref);
  if (count > 1) ScriptError("the label " + ref + " names more than one button; use its id");
  return found;
}

void HeadlessPlatform::Execute(Dialog& dialog, const Line& line) {
  const std::string& v = line.verb;
  if (v == "press") {
    int id = ResolveControl(dialog, Trim(line.rest), true);
    const ControlSpec* spec = dialog.Spec(id);
    if (spec->kind != ControlKind::Button) ScriptError("control " + std::to_string(id) + " is not a button");
    if (!dialog.IsItemEnabled(id)) ScriptError("button " + std::to_string(id) + " is disabled");
    dialog.PressButton(id);
  } else if (v == "type") {
    size_t sp = line.rest.find(' ');
    std::string ref = line.rest.substr(0, sp);
    std::string text = sp == std::string::npos ? "" : line.rest.substr(sp + 1);
    int id = ResolveControl(dialog, ref, false);
    const ControlSpec* spec = dialog.Spec(id);
    if (spec->kind != ControlKind::Edit) ScriptError("control " + ref + " is not a text box");
    if (spec->flags & kReadOnly) ScriptError("text box " + ref + " is read-only");
    dialog.UserSetText(id, text);
  } else if (v == "focus" || v == "leave") {
    int id = ResolveControl(dialog, Trim(line.rest), false);
    if (v == "focus")
      dialog.FocusEnter(id);
    else
      dialog.FocusLeave(id);
  } else if (v == "escape") {
    dialog.PressEscape();
  } else if (v == "enter") {
    dialog.PressEnter();
  } else if (v == "menu") {
    std::string ref = Trim(line.rest);
    bool known = false;
    for (const auto& [command, label] : dialog.MenuCommands())
      if (std::to_string(command) == ref) known = true;
    if (!known) ScriptError("the window menu has no command " + ref);
    dialog.OnSysCommand(std::stoi(ref));
  } else if (v == "dump") {
    std::vector<int> ids;
    for (const auto& c : dialog.Layout().controls) ids.push_back(c.id);
    std::sort(ids.begin(), ids.end());
    for (int id : ids) Emit("CONTROL " + std::to_string(id) + " " + dialog.GetItemText(id));
    if (dialog.Focus() != 0) Emit("FOCUS " + std::to_string(dialog.Focus()));
  } else if (v == "spell") {
    int id = ResolveControl(dialog, Trim(line.rest), false);
    if (dialog.Spec(id)->kind != ControlKind::Edit)
      ScriptError("control " + Trim(line.rest) + " is not a text box");
    SpellChecker* checker = CurrentSpellChecker();
    if (!checker) ScriptError("this program checks no spelling");
    const std::string text = dialog.GetItemText(id);
    const std::string prefix = "SPELL " + std::to_string(id) + " ";
    auto unknown = checker->Check(text);
    if (unknown.empty()) Emit(prefix + "none");
    for (const SpellRange& r : unknown) {
      std::string word = text.substr(r.start, r.length), suggestions;
      for (const std::string& s : checker->Suggest(word, kSpellSuggestionsShown))
        suggestions += (suggestions.empty() ? "" : ", ") + s;
      Emit(prefix + std::to_string(r.start) + " " + word + " | " + suggestions);
    }
  } else if (v == "myword") {
    std::string word = Trim(line.rest);
    SpellChecker* checker = CurrentSpellChecker();
    if (!checker) ScriptError("this program checks no spelling");
    if (word.empty() || word.find(' ') != std::string::npos)
      ScriptError("myword takes one word: " + line.raw);
    checker->AddWord(word);
  } else if (v == "answer") {
    ScriptError("an answer with no question on screen: " + line.raw);
  } else if (v == "choose") {
    ScriptError("a choice with no file chooser on screen: " + line.raw);
  } else if (v == "colour" || v == "font") {
    ScriptError("a pick with no picker on screen: " + line.raw);
  } else {
    ScriptError("unknown script line: " + line.raw);
  }
}

Answer HeadlessPlatform::ShowMessage(const std::string& text, const std::string& caption, Buttons buttons,
                                     const Dialog* owner) {
  Emit("MESSAGE " + caption + " | " + text);
  if (buttons == Buttons::Ok) return Answer::Ok;
  Line line = ExpectLine("answer", "the question");
  std::string a = ToLower(Trim(line.rest));
  if (a == "yes") return Answer::Yes;
  if (a == "no") return Answer::No;
  if (a == "cancel" && buttons == Buttons::YesNoCancel) return Answer::Cancel;
  ScriptError("the question has no button " + Trim(line.rest));
}

std::optional<std::string> HeadlessPlatform::ChooseFile(const ChooserRequest& request) {
  Emit(std::string("CHOOSE ") + (request.save ? "save" : "open") + " | " + request.initialName + " | " +
       request.filter + " | " + request.defaultExtension);
  Line line = ExpectLine("choose", "the file chooser");
  std::string path = Trim(line.rest);
  if (path == "cancel") return std::nullopt;
  if (path.empty()) ScriptError("choose needs a path or cancel");
  // The script's path is a program text; the checks ask the file system.
  fs::path chosen = fs::absolute(fs::path(SystemName(path))).lexically_normal();
  auto chosenName = ProgramName(chosen.string());
  if (!chosenName) ScriptError("the working folder's name has no Windows-1252 form: " + path);
  const std::string folder = chosenName->substr(0, chosenName->rfind('/') + 1);
  std::error_code ec;
  if (!fs::is_directory(chosen.parent_path(), ec)) ScriptError("no folder " + folder);
  if (fs::is_directory(chosen, ec)) ScriptError(path + " is a folder, not a file");
  if (chdir(chosen.parent_path().c_str()) != 0) ScriptError("cannot enter " + folder);
  return chosenName;
}

std::optional<Rgb> HeadlessPlatform::PickColour() {
  Emit("PICK colour");
  Line line = ExpectLine("colour", "the colour picker");
  std::string v = Trim(line.rest);
  if (v == "cancel") return std::nullopt;
  auto hex = [&](size_t i) -> int {
    int r = 0;
    for (size_t k = i; k < i + 2; ++k) {
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(v[k])));
      if (c >= '0' && c <= '9')
        r = r * 16 + (c - '0');
      else if (c >= 'a' && c <= 'f')
        r = r * 16 + (c - 'a' + 10);
      else
        ScriptError("a colour is #RRGGBB or cancel: " + v);
    }
    return r;
  };
  if (v.size() != 7 || v[0] != '#') ScriptError("a colour is #RRGGBB or cancel: " + v);
  Rgb rgb;
  rgb.red = static_cast<unsigned char>(hex(1));
  rgb.green = static_cast<unsigned char>(hex(3));
  rgb.blue = static_cast<unsigned char>(hex(5));
  return rgb;
}

std::optional<FontChoice> HeadlessPlatform::PickFont() {
  Emit("PICK font");
  Line line = ExpectLine("font", "the font picker");
  std::string v = Trim(line.rest);
  if (v == "cancel") return std::nullopt;
  // The face may hold blanks; the size is the last word.
  size_t sp = v.find_last_of(' ');
  auto points = sp == std::string::npos ? std::nullopt : NumberValue(v.substr(sp + 1));
  if (!points) ScriptError("a font is FACE POINTS or cancel: " + v);
  return FontChoice{Trim(v.substr(0, sp)), *points};
}

void HeadlessPlatform::OpenInBrowser(const std::string& pathOrAddress) { Emit("OPEN " + pathOrAddress); }

bool HeadlessPlatform::EscapePressed() {
  auto line = PeekLine();
  if (line && line->verb == "escape") {
    pending_.pop_front();
    return true;
  }
  return false;
}

}  // namespace kio
