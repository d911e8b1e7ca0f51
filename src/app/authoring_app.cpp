#include "app/authoring_app.h"

#include "app/main_dlg.h"

namespace kio {

int CAuthoringApp::Run() {
  CMainDlg home;
  home.DoModal();
  return 0;
}

}  // namespace kio
