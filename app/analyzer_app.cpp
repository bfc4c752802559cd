#include "analyzer_app.h"

#include "main_dialog.h"

namespace vantorel {

bool CAnalyzerApp::OnInit() {
  // wxApp::OnInit would parse the command line; the program takes no arguments.
  return true;
}

int CAnalyzerApp::OnRun() {
  CMainDialog dialog;
  dialog.ShowModal();
  return 0;
}

}  // namespace vantorel

wxIMPLEMENT_APP(vantorel::CAnalyzerApp);
