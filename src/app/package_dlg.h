// The Package window of the home screen: the teacher chooses the start page,
// gives the course a title and a mastery score, and presses the button of a
// format (one per format of the package layer's list); the links that
// cannot travel are listed in a question, the package file is chosen, and
// the result is said. The course and the package are the package layer's.
#pragma once
#include <string>

#include "platform/dialog.h"

namespace kio {

enum PackageControl {
  kPackageStart = 2801,        // the start page (read-only)
  kPackageChooseStart = 2802,  // "Start page..."
  kPackageTitle = 2803,        // the course title
  kPackageMastery = 2804,      // the mastery score, in percent
  kPackageHelp = 2805,         // help panel
  kPackageHelpButton = 2806,   // "?"
  kPackageFormatBase = 2810,   // 2810, 2811, 2812: one button per format, in the list's order
};

// The Package help text (pacote.rtf in the interface language's help
// folder), read when shown; a short text of its own when the file is
// missing (a program folder copied before it shipped).
std::string PackageHelpText();

class CPackageDlg : public Dialog {
 public:
  CPackageDlg();

 protected:
  bool OnInitDialog() override;

 private:
  void ChooseStart();
  void Make(int format);
};

}  // namespace kio
