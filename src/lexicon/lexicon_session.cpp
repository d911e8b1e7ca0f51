#include "lexicon/lexicon_session.h"

#include "fileio/session.h"

namespace kio {

namespace {

void WriteBack(const LexiconFiles& files) {
  AppPaths& paths = CurrentSession().appPaths;
  paths.lexiconDataFile = files.data;
  paths.lexiconPointerFile = files.pointer;
  paths.lexiconBackupDataFile = files.backupData;
  paths.lexiconBackupPointerFile = files.backupPointer;
}

}  // namespace

LexiconFiles SessionLexiconFiles() {
  const AppPaths& paths = CurrentSession().appPaths;
  LexiconFiles files;
  files.folder = paths.programFolder;
  files.data = paths.lexiconDataFile;
  files.pointer = paths.lexiconPointerFile;
  files.backupData = paths.lexiconBackupDataFile;
  files.backupPointer = paths.lexiconBackupPointerFile;
  return files;
}

void FollowSession(LexiconStore& store) {
  store.SetFiles(SessionLexiconFiles());
  store.OnFilesChanged(WriteBack);
}

LexiconStore& Lexicon() {
  LexiconStore& store = CurrentSession().Part<LexiconStore>();
  // The session's names may have changed since the last call (start-up, a
  // dictionary chosen in the editor).
  FollowSession(store);
  return store;
}

void DeriveLexiconNames() {
  AppPaths& paths = CurrentSession().appPaths;
  WriteBack(LexiconFiles::For(paths.programFolder, paths.lexiconDataFile));
}

void LexiconStore::DeriveNames(const std::string& dataFile) {
  CurrentSession().appPaths.lexiconDataFile = dataFile;
  DeriveLexiconNames();
}

}  // namespace kio
