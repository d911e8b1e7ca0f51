#include "questions/tool/tool_session.h"

#include <string>

#include "fileio/session.h"
#include "lang/texts.h"

namespace kio::questions {

void StartToolSession() {
  Session& s = CurrentSession();
  const std::string programFolder = s.appPaths.programFolder;
  s.Reset();
  s.appPaths.programFolder = programFolder;
  s.completionMessage = StudentCompletionMessage(programFolder);
}

}  // namespace kio::questions
