#include "app/authoring_app.h"

#include "app/main_dlg.h"
#include "fileio/session.h"

namespace kio {

int CAuthoringApp::Run() {
  CurrentSession().Reset();
  CMainDlg home;
  home.DoModal();
  return 0;
}

}  // namespace kio
