#include "platform/dialog.h"

#include <stdexcept>

#include "platform/platform.h"

namespace kio {
namespace {

// Runs the handler given for control `id`, if there is one. It runs from a
// copy: a handler may replace its own entry.
bool RunHandler(const std::map<int, std::function<void()>>& handlers, int id) {
  auto it = handlers.find(id);
  if (it == handlers.end()) return false;
  auto handler = it->second;
  handler();
  return true;
}

}  // namespace

Dialog::Dialog(DialogTemplate layout) : layout_(std::move(layout)), title_(layout_.title) {
  for (const auto& c : layout_.controls) state_[c.id].text = c.label;
}

Dialog::~Dialog() = default;

int Dialog::DoModal() { return CurrentPlatform().RunModal(*this); }

void Dialog::SetTitle(const std::string& title) {
  title_ = title;
  if (view_) view_->TitleChanged();
}

bool Dialog::HasControl(int id) const { return state_.count(id) != 0; }

const ControlSpec* Dialog::Spec(int id) const {
  for (const auto& c : layout_.controls)
    if (c.id == id) return &c;
  return nullptr;
}

Dialog::State& Dialog::StateOf(int id) {
  auto it = state_.find(id);
  if (it == state_.end())
    throw std::logic_error("dialog \"" + title_ + "\" has no control " + std::to_string(id));
  return it->second;
}

const Dialog::State& Dialog::StateOf(int id) const { return const_cast<Dialog*>(this)->StateOf(id); }

void Dialog::Changed(int id) {
  if (view_) view_->ControlChanged(id);
}

std::string Dialog::GetItemText(int id) const { return StateOf(id).text; }

void Dialog::SetItemText(int id, const std::string& text) {
  StateOf(id).text = text;
  Changed(id);
}

void Dialog::SetProgress(int id, int position) {
  State& s = StateOf(id);
  s.position = position < s.low ? s.low : (position > s.high ? s.high : position);
  Changed(id);
}

void Dialog::SetProgressRange(int id, int low, int high) {
  State& s = StateOf(id);
  s.low = low;
  s.high = high < low ? low : high;
  s.position = s.low;
  Changed(id);
}

int Dialog::Progress(int id) const { return StateOf(id).position; }

std::pair<int, int> Dialog::ProgressRange(int id) const {
  const State& s = StateOf(id);
  return {s.low, s.high};
}

void Dialog::EnableItem(int id, bool enabled) {
  StateOf(id).enabled = enabled;
  Changed(id);
}

bool Dialog::IsItemEnabled(int id) const { return StateOf(id).enabled; }

void Dialog::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

void Dialog::BeginModal(DialogView* view) {
  view_ = view;
  ended_ = false;
  result_ = 0;
  OnInitDialog();
}

void Dialog::FinishModal() { view_ = nullptr; }

void Dialog::PressButton(int id) {
  if (RunHandler(buttons_, id)) return;
  if (id == IDOK)
    OnOK();
  else if (id == IDCANCEL)
    OnCancel();
}

void Dialog::PressEnter() {
  for (const auto& c : layout_.controls)
    if (c.kind == ControlKind::Button && (c.flags & kDefault)) {
      PressButton(c.id);
      return;
    }
  OnOK();
}

void Dialog::UserSetText(int id, const std::string& text) {
  StateOf(id).text = text;
  RunHandler(changed_, id);
}

void Dialog::FocusEnter(int id) {
  StateOf(id);
  focus_ = id;
  RunHandler(enter_, id);
}

void Dialog::FocusLeave(int id) {
  StateOf(id);
  if (focus_ == id) focus_ = 0;
  RunHandler(leave_, id);
}

void Dialog::SetFocus(int id) {
  if (!HasControl(id)) return;
  if (focus_ != 0 && focus_ != id) FocusLeave(focus_);
  if (focus_ != id) FocusEnter(id);
  if (view_) view_->FocusMoved(id);
}

std::string WithoutAccelerator(const std::string& label) {
  std::string out;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += label[i];
  }
  return out;
}

std::string Dialog::MenuOf(int command) const {
  auto it = menuOf_.find(command);
  return it == menuOf_.end() ? std::string() : it->second;
}

}  // namespace kio
