#include "fileio/session.h"

namespace kio {

Session& CurrentSession() {
  static Session session;
  return session;
}

void Session::Reset() {
  // Higher-layer objects first: they may hold files of their own.
  parts_.clear();
  appPaths = AppPaths{};
  documentFile.Close();
  documentName.clear();
  documentOpen = false;
  configFile.Close();
  for (std::string& text : UiText) text.clear();
  for (std::string& text : helpTexts) text.clear();
  completionMessage.clear();
  MediaWidth.clear();
  MediaHeight.clear();
  pageSettings = PageSettings{};
  blockStatus.clear();
  activityName.clear();
  outputFolder.clear();
}

}  // namespace kio
