// The page-build context: everything one page's building reads and changes,
// passed to the rendering, the template filling and the page writing, so
// that two pages are built independently of each other and of the editors'
// own state.
#pragma once
#include <string>
#include <vector>

#include "fileio/session.h"

namespace kio {

struct PageBuild {
  // The page's settings, from its document's settings block; the codes
  // rendered into the page may change them (frame splits, colours).
  PageSettings settings;
  // The page's completion message (the "Final" field).
  std::string completionMessage;
  // Size of videos; the {h= and {t= codes change it.
  std::string mediaWidth, mediaHeight;
  // What the last rendering collected (tags and replacements), for Eclipse.
  std::string collectedMarkup;
  // Set when a rendering or the template filling stopped at a work limit:
  // no page is written.
  bool workLimitReached = false;
  // Set when a rendering met a video code: the video players go beside the
  // written page.
  bool playerFilesNeeded = false;
  // Support files asked to go beside the written page (Memory's card faces).
  std::vector<std::string> supportFiles;
};

// A context with the session's page settings, completion message and media
// sizes, and no marks: the editors build their pages from what they show.
PageBuild SessionPageBuild();
// Gives the editor back the page settings and media sizes its page's codes
// changed, as the editor's own renderings always have.
void ReturnToSession(const PageBuild& build);

}  // namespace kio
