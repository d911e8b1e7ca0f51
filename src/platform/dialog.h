// A modal dialog described by a table of controls. The dialog object holds the
// state of its controls (texts, progress, enabled flags); a backend shows it
// and reports the user's actions back through PressButton, UserSetText,
// FocusEnter and FocusLeave.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kio {

// Standard command ids: the Enter and Escape buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

enum class ControlKind {
  Button,
  Edit,      // a text box
  Label,     // static text
  Group,     // a frame drawn around other controls, with a caption
  RichText,  // read-only RTF help panel
  Progress,
  List,  // a list box; its text is the items separated by "\n"
  Icon,  // the program's icon, drawn in the control's rectangle; no text
};

enum ControlFlags : unsigned {
  kNone = 0,
  kMultiLine = 1u << 0,
  kReadOnly = 1u << 1,
  kDefault = 1u << 2,  // the default button, pressed by Enter
  kVScroll = 1u << 3,
  kWantReturn = 1u << 4,
};

struct ControlSpec {
  int id;
  ControlKind kind;
  std::string label;        // initial text (for buttons and labels, with its "&" accelerator)
  int x, y, width, height;  // dialog units
  unsigned flags = kNone;
};

struct DialogTemplate {
  int resourceId = 0;
  std::string title;
  int width = 0, height = 0;  // dialog units
  std::vector<ControlSpec> controls;
};

// Implemented by a backend while it shows a dialog.
class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual void ControlChanged(int id) = 0;
  virtual void TitleChanged() {}
  // The program moved the focus to control `id` (its hooks have run).
  virtual void FocusMoved(int id) {}
};

class Dialog {
 public:
  explicit Dialog(DialogTemplate layout);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally through the current platform.
  int DoModal();

  const DialogTemplate& Layout() const { return layout_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  bool HasControl(int id) const;
  const ControlSpec* Spec(int id) const;
  std::string GetItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  // Help panels hold RTF text.
  void ShowHelp(int panelId, const std::string& rtf) { SetItemText(panelId, rtf); }
  void SetProgress(int id, int position);
  void SetProgressRange(int id, int low, int high);
  int Progress(int id) const;
  std::pair<int, int> ProgressRange(int id) const;
  void EnableItem(int id, bool enabled);
  bool IsItemEnabled(int id) const;
  // Moves the focus to control `id` as a click would: the leave hooks of the
  // control that had it run, then the enter hooks of `id`.
  void SetFocus(int id);
  // The control that has the focus; 0 when none is known.
  int Focus() const { return focus_; }

  void EndDialog(int result);
  bool Ended() const { return ended_; }
  int Result() const { return result_; }

  // --- Called by backends ---
  // Starts a modal run: resets the end state and runs OnInitDialog.
  void BeginModal(DialogView* view);
  void FinishModal();
  // A button was pressed (by click, accelerator or script).
  void PressButton(int id);
  // Enter: presses the default button, or runs OnOK when there is none.
  void PressEnter();
  // Escape or the close box.
  void PressEscape() { OnCancel(); }
  // The user changed a text box; its text-changed hooks run.
  void UserSetText(int id, const std::string& text);
  void FocusEnter(int id);
  void FocusLeave(int id);
  // Commands the window menu offers beside the system's own.
  const std::vector<std::pair<int, std::string>>& MenuCommands() const { return menu_; }
  // The menu of its own a command stands in ("" for the window menu).
  std::string MenuOf(int command) const;
  // Whether a command of a menu of choices shows as the one chosen.
  virtual bool MenuCommandChecked(int command) const { return false; }
  virtual void OnSysCommand(int command) {}

 protected:
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  void OnButton(int id, std::function<void()> handler) { buttons_[id] = std::move(handler); }
  void OnFocusEnter(int id, std::function<void()> handler) { enter_[id] = std::move(handler); }
  void OnFocusLeave(int id, std::function<void()> handler) { leave_[id] = std::move(handler); }
  // Runs when the user changes the text of box `id` (not when the program
  // sets it).
  void OnTextChanged(int id, std::function<void()> handler) { changed_[id] = std::move(handler); }
  void AddMenuCommand(int command, const std::string& label, const std::string& menu = "") {
    menu_.emplace_back(command, label);
    if (!menu.empty()) menuOf_[command] = menu;
  }

 private:
  struct State {
    std::string text;
    int position = 0, low = 0, high = 100;
    bool enabled = true;
  };
  State& StateOf(int id);
  const State& StateOf(int id) const;
  void Changed(int id);

  DialogTemplate layout_;
  std::string title_;
  std::map<int, State> state_;
  std::map<int, std::function<void()>> buttons_, enter_, leave_, changed_;
  std::vector<std::pair<int, std::string>> menu_;
  std::map<int, std::string> menuOf_;
  DialogView* view_ = nullptr;
  bool ended_ = false;
  int result_ = 0;
  int focus_ = 0;
};

// A button or label text as shown: without its "&" accelerator marks ("&&"
// is a plain "&").
std::string WithoutAccelerator(const std::string& label);

}  // namespace kio
