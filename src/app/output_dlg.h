// The Output editor: the teacher writes a new student language file (".stu")
// by translating, one by one, the 30 student texts (entries 5 to 34).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace kio {

// Control ids of the Output editor. Each student text has a read-only box
// showing its current value and an edit box for the new text.
enum OutputControl {
  kOutputHelp = 1380,  // rich-text help panel
  kOutputOpen = 1381,
  kOutputSave = 1382,
  kOutputCancel = IDCANCEL,
  kOutputColumnHeaderCurrent1 = 9301,  // captions above the two columns
  kOutputColumnHeaderNew1 = 9302,
  kOutputColumnHeaderCurrent2 = 9303,
  kOutputColumnHeaderNew2 = 9304,
  kOutputRowLabelBase = 9300,  // the label of entry r's row is 9300 + r
};

// Longest text an edit box gives to the file.
constexpr size_t kOutputTextLimit = 597;

// The ids of entry r's boxes (r from 5 to 34).
int OutputCurrentBox(int entry);
int OutputEditBox(int entry);

// The ".stu" file text for the 30 texts of entries 5 to 34 (index 0 is
// entry 5): five placeholder records, then one record per entry.
std::string BuildStudentLanguageFile(const std::vector<std::string>& texts);

class COutputDlg : public Dialog {
 public:
  COutputDlg();

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;

 private:
  // Takes the edit boxes' texts into the working texts.
  void Collect();
  // Collect, check and build the file text; none (after a message) when a
  // text is missing.
  std::optional<std::string> CollectAndBuild();
  bool Changed();
  bool Save();
  void Open();

  std::vector<std::string> working_, saved_;
};

}  // namespace kio
