// The home screen: runs start-up, shows the two help panels and starts every
// editor.
#pragma once
#include "platform/dialog.h"

namespace kio {

// Control ids of the home screen.
enum HomeControl {
  kHomeHelpLeft = 1202,
  kHomeHelpRight = 1201,
  kHomeOutput = 1265,
  kHomeInput = 1117,
  kHomeDictionary = 1006,
  kHomeEclipse = 1114,
  kHomeCloze = 1009,
  kHomeSequence = 1071,
  kHomeMemory = 1140,
  kHomeMultiple = 1018,
  kHomeDialogical = 1017,
  kHomeBasicPage = 1147,
  kHomeLinkedPage = 1003,
  kHomeMenu = 1094,
  kHomeIndex = 1179,
  kHomePackage = 1390,
  kHomePackageHelp = 1391,
  kHomeCreateOutput = 1301,
  kHomeProductivity = 1273,
  kHomeDownload = 1279,
  kHomeSetup = 1268,
  kHomeHome = 1244,
  kHomeExit = IDCANCEL,
};

// Window-menu command of the About box.
constexpr int kAboutCommand = 16;

// The address the Download button opens; empty: no Download button.
extern const char kProjectHomePage[];

// Whether a results address is only an example (a host under example.com,
// .org, .net or the .example domain, or none): results sent there are lost.
bool IsExampleAddress(const std::string& address);

class CMainDlg : public Dialog {
 public:
  CMainDlg();
  // Takes the program folder from the start folder and refills the help
  // panels and the labels from the current languages.
  void Relabel();
  void OnSysCommand(int command) override;

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;

 private:
  void ChooseLanguage(bool interface);
  void RunEditor(int button);
  bool menuAdded_ = false;
};

class CAboutDlg : public Dialog {
 public:
  CAboutDlg();
};

}  // namespace kio
