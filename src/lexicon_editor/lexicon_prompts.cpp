#include "lexicon_editor/lexicon_prompts.h"

#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

namespace kio {

bool EndOnRefusedName(LexiconStore& store, const Dialog* window, bool recorded) {
  if (recorded) return true;
  ShowNotices(store, window);
  ExitProcess(1);
}

void ShowNotices(LexiconStore& store, const Dialog* window) {
  for (const LexiconNotice& n : store.TakeNotices()) ShowMessage(n.text, n.caption, Buttons::Ok, window);
}

LexiconProgress EscapeStops(Dialog* window, int progressId, std::function<std::string(uint32_t)> question,
                            const std::string& caption) {
  LexiconProgress p;
  if (window && progressId)
    p.position = [window, progressId](int position) { window->SetProgress(progressId, position); };
  p.stop = [window, question = std::move(question), caption](uint32_t entry) {
    return EscapePressed() && ShowMessage(question(entry), caption, Buttons::YesNo, window) == Answer::Yes;
  };
  return p;
}

bool OpenDictionaryAsking(LexiconStore& store, const Dialog* window, const std::function<void()>& startUp) {
  if (store.Open()) return true;
  ShowNotices(store, window);
  if (ShowMessage(FixedText(Fixed::kFindDictionary), "KIO", Buttons::YesNo, window) == Answer::Yes) {
    store.CloseAll();
    ChooserRequest r{false, "*.KIO", "*.KIO", "KIO"};
    if (auto chosen = ChooseFile(r)) {
      std::string name = ToLower(BareName(*chosen));
      if (name != "*.kio" && !name.empty()) {
        EndOnRefusedName(store, window, store.RecordName(name));
        ShowNotices(store, window);
        if (startUp) startUp();
        return OpenDictionaryAsking(store, window, startUp);
      }
    }
  }
  if (ShowMessage(FixedText(Fixed::kCreateDictionary), "KIO", Buttons::YesNo, window) == Answer::Yes) {
    store.CloseAll();
    ChooserRequest r{true, "*.KIO", "*.KIO", "KIO"};
    if (auto chosen = ChooseFile(r)) {
      std::string name = BareName(*chosen);
      CurrentSession().appPaths.lexiconDataFile = name;
      LexiconFiles files = store.Files();
      files.data = name;
      store.SetFiles(std::move(files));
      const std::string lower = ToLower(name);
      bool created = store.Create(name);
      // A name Create did not refuse outright, but that cannot be recorded.
      bool refused = !created && lower != "*.kio" && !lower.empty() && !LexiconStore::IsDictionaryName(lower);
      EndOnRefusedName(store, window, !refused);
      ShowNotices(store, window);
      return created && store.IsOpen();
    }
  }
  ShowMessage(FixedText(Fixed::kDictionaryNotLocated), OopsCaption(), Buttons::Ok, window);
  return false;
}

}  // namespace kio
