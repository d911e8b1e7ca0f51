#include "app/authoring_app.h"

#include "app/main_dlg.h"
#include "app/user_folder.h"

namespace kio {

int CAuthoringApp::Run() {
  ShowUserFolderNotice();
  CMainDlg home;
  home.DoModal();
  return 0;
}

}  // namespace kio
