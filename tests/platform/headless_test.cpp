// The headless driver's script and transcript contract, on a small dialog.
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/dialog.h"
#include "platform/platform.h"

namespace kio {
namespace {

namespace fs = std::filesystem;

class SampleDlg : public Dialog {
 public:
  SampleDlg()
      : Dialog({7,
                "Sample",
                200,
                100,
                {{10, ControlKind::Edit, "", 5, 5, 100, 12},
                 {11, ControlKind::Edit, "fixed", 5, 20, 100, 12, kReadOnly},
                 {20, ControlKind::Button, "&Ask", 5, 40, 40, 14, kDefault},
                 {21, ControlKind::Button, "&Pick file", 50, 40, 40, 14},
                 {22, ControlKind::Button, "Co&lour", 95, 40, 40, 14},
                 {23, ControlKind::Button, "?", 140, 40, 10, 14},
                 {24, ControlKind::Button, "?", 155, 40, 10, 14},
                 {25, ControlKind::Button, "&Nested", 5, 60, 40, 14},
                 {26, ControlKind::Button, "&Long job", 50, 60, 40, 14},
                 {IDCANCEL, ControlKind::Button, "&Close", 150, 80, 40, 14}}}) {
    OnButton(20, [this] {
      Answer a = ShowMessage("Sure?", "KIO", Buttons::YesNoCancel, this);
      SetItemText(10, a == Answer::Yes ? "yes" : a == Answer::No ? "no" : "cancel");
    });
    OnButton(21, [this] {
      ChooserRequest r;
      r.save = true;
      r.initialName = "/docs/*.clo";
      r.filter = "*.clo||";
      r.defaultExtension = "clo";
      auto chosen = ChooseFile(r);
      SetItemText(10, chosen ? *chosen : "none");
    });
    OnButton(22, [this] {
      auto c = CurrentPlatform().PickColour();
      auto f = CurrentPlatform().PickFont();
      SetItemText(10, (c ? std::to_string(c->red) + "," + std::to_string(c->green) : std::string("-")) + "/" +
                          (f ? f->face + ":" + std::to_string(f->points) : std::string("-")));
    });
    OnButton(25, [] {
      SampleDlg inner;
      inner.SetTitle("Inner");
      inner.DoModal();
    });
    OnButton(26, [this] {
      int steps = 0;
      while (steps < 1000 && !EscapePressed()) ++steps;
      SetItemText(10, "stopped at " + std::to_string(steps));
    });
    OnFocusEnter(10, [this] { SetItemText(11, "entered"); });
    OnFocusLeave(10, [this] { SetItemText(11, "left with " + GetItemText(10)); });
  }
};

std::pair<std::string, int> RunScript(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  HeadlessPlatform platform(in, out);
  SetPlatform(&platform);
  int status = 0;
  try {
    SampleDlg dlg;
    dlg.DoModal();
    platform.ExitProcess(0);
  } catch (const ProcessExit& e) {
    status = e.status;
  } catch (const ScriptEnded&) {
    out << "EXIT 0\n";
  }
  SetPlatform(nullptr);
  return {out.str(), status};
}

TEST(HeadlessDriver, TypesFocusesAndDumps) {
  auto [t, status] =
      RunScript("# a comment\n\n  focus 10\ntype 10 Olá\\tmundo\\n\\\\\nleave 10\ndump\npress close\n");
  EXPECT_EQ(t,
            "DIALOG Sample\n"
            "CONTROL 2 &Close\nCONTROL 10 Olá\\tmundo\\n\\\\\nCONTROL 11 left with Olá\\tmundo\\n\\\\\n"
            "CONTROL 20 &Ask\nCONTROL 21 &Pick file\nCONTROL 22 Co&lour\nCONTROL 23 ?\nCONTROL 24 ?\n"
            "CONTROL 25 &Nested\nCONTROL 26 &Long job\n"
            "END Sample\nEXIT 0\n");
  EXPECT_EQ(status, 0);
}

// The program moving the focus runs the leave hooks of the box that had it
// and the enter hooks of the new one, and shows in a dump; typing runs the
// text-changed hooks, setting a text from the program does not.
class FocusDlg : public Dialog {
 public:
  FocusDlg()
      : Dialog({8,
                "Focus",
                200,
                100,
                {{30, ControlKind::Edit, "", 5, 5, 100, 12},
                 {31, ControlKind::Edit, "", 5, 20, 100, 12},
                 {32, ControlKind::Label, "", 5, 35, 100, 12},
                 {33, ControlKind::Button, "&Next", 5, 60, 40, 14}}}) {
    OnButton(33, [this] {
      SetItemText(31, "set by the program");
      SetFocus(31);
    });
    OnFocusLeave(30, [this] { Log("left 30"); });
    OnFocusEnter(31, [this] { Log("entered 31"); });
    OnTextChanged(30, [this] { Log("changed 30 to " + GetItemText(30)); });
    OnTextChanged(31, [this] { Log("changed 31"); });
  }
  void Log(const std::string& what) { SetItemText(32, GetItemText(32) + what + "; "); }
};

TEST(HeadlessDriver, ProgramMovesTheFocusAndTypingRunsTextHooks) {
  std::istringstream in("focus 30\ntype 30 abc\npress Next\ndump\n");
  std::ostringstream out;
  HeadlessPlatform platform(in, out);
  SetPlatform(&platform);
  try {
    FocusDlg dlg;
    dlg.DoModal();
  } catch (const ScriptEnded&) {
  }
  SetPlatform(nullptr);
  EXPECT_EQ(out.str(),
            "DIALOG Focus\n"
            "CONTROL 30 abc\nCONTROL 31 set by the program\n"
            "CONTROL 32 changed 30 to abc; left 30; entered 31; \nCONTROL 33 &Next\nFOCUS 31\n");
}

TEST(HeadlessDriver, QuestionsWaitForAnAnswer) {
  auto [t, status] = RunScript("press Ask\nanswer cancel\nenter\nanswer No\ndump\nescape\n");
  EXPECT_NE(t.find("MESSAGE KIO | Sure?\nMESSAGE KIO | Sure?\nCONTROL 2 &Close\nCONTROL 10 no\n"),
            std::string::npos)
      << t;
  EXPECT_EQ(status, 0);
}

TEST(HeadlessDriver, ChooserMovesTheWorkingFolder) {
  fs::path before = fs::current_path();
  fs::path tmp = fs::temp_directory_path();
  auto [t, status] = RunScript("press 21\nchoose " + (tmp / "x.clo").string() + "\ndump\n");
  EXPECT_NE(t.find("CHOOSE save | /docs/*.clo | *.clo|| | clo\n"), std::string::npos);
  EXPECT_NE(t.find("CONTROL 10 " + (tmp / "x.clo").string() + "\n"), std::string::npos) << t;
  EXPECT_EQ(fs::current_path(), tmp);
  fs::current_path(before);
  auto [t2, s2] = RunScript("press 21\nchoose cancel\ndump\n");
  EXPECT_NE(t2.find("CONTROL 10 none\n"), std::string::npos);
}

TEST(HeadlessDriver, PickersAndNestedDialogs) {
  auto [t, status] = RunScript(
      "press Colour\ncolour #FF0A00\nfont Times New Roman 14\ndump\npress Nested\npress 2\nescape\n");
  EXPECT_NE(t.find("PICK colour\nPICK font\n"), std::string::npos);
  EXPECT_NE(t.find("CONTROL 10 255,10/Times New Roman:14\n"), std::string::npos) << t;
  EXPECT_NE(t.find("DIALOG Inner\nEND Inner\nEND Sample\nEXIT 0\n"), std::string::npos) << t;
}

TEST(HeadlessDriver, EscapeInterruptsALongJob) {
  auto [t, status] = RunScript("press 26\nescape\ndump\n");
  EXPECT_NE(t.find("CONTROL 10 stopped at 0\n"), std::string::npos) << t;
  auto [t2, s2] = RunScript("press 26\ndump\n");
  EXPECT_NE(t2.find("CONTROL 10 stopped at 1000\n"), std::string::npos) << t2;
}

TEST(HeadlessDriver, ScriptErrorsEndWithStatus3) {
  struct Case {
    std::string script, error;
  } cases[] = {
      {"answer Yes\n", "SCRIPT ERROR an answer with no question on screen: answer Yes\n"},
      {"press Ask\npress Ask\n", "SCRIPT ERROR expected 'answer' for the question, got: press Ask\n"},
      {"press Ask\n", "SCRIPT ERROR the script ended while the question waited for 'answer'\n"},
      {"press Ask\nanswer Maybe\n", "SCRIPT ERROR the question has no button Maybe\n"},
      {"press 21\n", "SCRIPT ERROR the script ended while the file chooser waited for 'choose'\n"},
      {"press 99\n", "SCRIPT ERROR dialog \"Sample\" has no control 99\n"},
      {"press 99999999999\n", "SCRIPT ERROR dialog \"Sample\" has no control 99999999999\n"},
      {"type 4294967306 x\n", "SCRIPT ERROR dialog \"Sample\" has no control 4294967306\n"},
      {"press Colour\ncolour cancel\nfont Arial 99999999999\n",
       "SCRIPT ERROR a font is FACE POINTS or cancel: Arial 99999999999\n"},
      {"press ?\n", "SCRIPT ERROR the label ? names more than one button; use its id\n"},
      {"press Nowhere\n", "SCRIPT ERROR dialog \"Sample\" has no button labelled Nowhere\n"},
      {"type 11 x\n", "SCRIPT ERROR text box 11 is read-only\n"},
      {"press 10\n", "SCRIPT ERROR control 10 is not a button\n"},
      // With no control named, nothing may match the controls whose text is empty.
      {"type  10 x\n", "SCRIPT ERROR the line names no control\n"},
      {"focus\n", "SCRIPT ERROR the line names no control\n"},
      {"type 20 x\n", "SCRIPT ERROR control 20 is not a text box\n"},
      {"menu 16\n", "SCRIPT ERROR the window menu has no command 16\n"},
      {"press Colour\ncolour red\n", "SCRIPT ERROR a colour is #RRGGBB or cancel: red\n"},
      {"press Colour\ncolour #GG0000\n", "SCRIPT ERROR a colour is #RRGGBB or cancel: #GG0000\n"},
      {"press Colour\ncolour cancel\nfont Arial\n", "SCRIPT ERROR a font is FACE POINTS or cancel: Arial\n"},
      {"choose a.clo\n", "SCRIPT ERROR a choice with no file chooser on screen: choose a.clo\n"},
      {"colour #FFFFFF\n", "SCRIPT ERROR a pick with no picker on screen: colour #FFFFFF\n"},
      {"type 10 日本\n", "SCRIPT ERROR line 1 holds a character with no Windows-1252 form\n"},
      {"jump 3\n", "SCRIPT ERROR unknown script line: jump 3\n"},
  };
  for (const auto& c : cases) {
    auto [t, status] = RunScript(c.script);
    EXPECT_EQ(status, 3) << c.script;
    ASSERT_GE(t.size(), c.error.size()) << t;
    EXPECT_EQ(t.substr(t.size() - c.error.size()), c.error) << c.script;
  }
}

}  // namespace
}  // namespace kio
