// The dictionary editor "KIO Lexico": browses, searches and edits the
// dictionary through its working pair, saves it, and manages dictionary
// files (open another, new, save a range as a dictionary, export as text,
// merge another in).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "lexicon/lexicon_store.h"
#include "platform/dialog.h"

namespace kio {

enum LexiconControl {
  kLexHeadword = 122,
  kLexBody = 102,
  kLexNumber = 113,
  kLexTotal = 114,
  kLexPath = 168,
  kLexProgress = 171,
  kLexHelp = 1201,
  kLexHeadwordCaption = 1174,
  kLexBodyCaption = 1176,
  kLexAttach = 124,
  kLexInsert = 103,
  kLexEdit = 104,
  kLexDelete = 115,
  kLexReplace = 161,
  kLexCutSegment = 154,
  kLexFirst = 109,
  kLexFastBack = 108,
  kLexBack = 106,
  kLexForward = 105,
  kLexFastForward = 107,
  kLexLast = 110,
  kLexFind = 117,
  kLexSearch = 166,
  kLexSave = 116,
  kLexOpen = 1011,
  kLexNew = 1012,
  kLexSavePart = 1013,
  kLexAsText = 1014,
  kLexMerge = 1015,
  kLexFont = 1217,
  kLexAV = 1218,
  kLexReturn = IDCANCEL,
  // "?" buttons: headword, body, editing row, moving row, files row,
  // advanced; and "O que posso fazer?" under the help panel.
  kLexHelpHeadword = 1175,
  kLexHelpBody = 1177,
  kLexHelpEditing = 1183,
  kLexHelpMoving = 1184,
  kLexHelpFiles = 1185,
  kLexHelpAdvanced = 1186,
  kLexWhatCanIDo = 1187,
  kLexNumberCaption = 9113,
  kLexTotalCaption = 9114,
};

class CLexiconDlg : public Dialog {
 public:
  // `startUp` re-reads the configuration after the dictionary's name was
  // recorded (the application's StartUp).
  explicit CLexiconDlg(std::function<void()> startUp = {});

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;  // Return

 private:
  LexiconStore& Store();
  // Asks for a dictionary in the program folder and starts editing it;
  // false (after its message) closes the editor.
  bool Start();
  bool StartEditing();
  void Relabel();
  // Reads entry `cur_` (which the store clamps) and shows it.
  void ShowCurrent();
  void ShowEntry(const LexiconEntry& entry);
  void ShowCounters();
  void Notices();

  void PreStep();
  void Attach();
  void Move(uint32_t to);
  void StartTyping(bool clear, int mode);
  void HeadwordLeft();
  void Delete();
  void CutSegmentOp();
  void ReplaceOp();
  void SearchOp();
  bool SaveDictionary();
  // When the dictionary has unsaved changes, asks whether to save them
  // first: Yes saves, No goes on without them, Cancel (false) stops.
  bool SaveFirst();
  void OpenOther();
  void NewDictionary();
  void SavePartOp();
  void ExportAsText();
  void MergeOther();
  // Rebuilds the working pair from the saved dictionary; closes the editor
  // when that fails.
  bool RestartEditing();

  std::function<void()> startUp_;
  uint32_t cur_ = 1;
  int mode_ = 0;
  bool edited_ = false;
  bool saved_ = true;
};

}  // namespace kio
