// Takes the README's pictures of the window program: the main window folded and open, and the
// progress window during a run. Not a test; run it through tools/screenshots.sh, which provides
// a virtual display.

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "main_dialog.h"
#include "progress_dialog.h"

namespace {

using vantorel::CMainDialog;
using vantorel::CProgressDialog;

// Answers every message box of the run with its default, so that nothing waits for a user.
class CAnswerAll : public wxModalDialogHook {
 public:
  CAnswerAll() { Register(); }

 protected:
  int Enter(wxDialog* dialog) override {
    return dynamic_cast<CMainDialog*>(dialog) ? wxID_NONE : wxID_OK;
  }
  void Exit(wxDialog*) override {}
};

void RunEventLoop(int milliseconds) {
  for (int i = 0; i < milliseconds / 5; ++i) {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    wxMilliSleep(5);
  }
}

bool Capture(wxWindow& window, const std::string& path) {
  window.Update();
  wxRect rect = window.GetScreenRect();
  wxBitmap bitmap(rect.GetWidth(), rect.GetHeight());
  {
    wxWindowDC source(&window);
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &source, 0, 0);
  }
  bool saved = bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
  std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", path.c_str(), rect.GetWidth(),
              rect.GetHeight());
  return saved;
}

void Click(wxWindow& parent, int id) {
  wxWindow* control = parent.FindWindow(id);
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(control);
  control->GetEventHandler()->ProcessEvent(event);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: %s OUTPUT_FOLDER [LANGUAGE_FILE]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = std::filesystem::absolute(argv[1]);
  const std::string prefix = argc > 2 ? std::filesystem::path(argv[2]).stem().string() + "-" : "";
  const std::string language = argc > 2 ? std::filesystem::absolute(argv[2]).string() : "";
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 1;
  wxImage::AddHandler(new wxPNGHandler);

  // A folder of its own, with a settings file, a long script and a page to show.
  std::filesystem::path work = std::filesystem::temp_directory_path() / "vantorel-screenshots";
  std::filesystem::create_directories(work);
  std::filesystem::current_path(work);
  std::ofstream("vtrl.ini") << "[Common]\nOpenInNotePad=0\nOptionClose=1\nLanFileName=" << language
                            << "\nInputFileName=" << (work / "shop/cart.js").string()
                            << "\nOutputFileName=" << (work / "shop/cart_out.js").string() << "\n";
  std::filesystem::create_directories(work / "shop");
  {
    std::ofstream script(work / "shop/cart.js");
    for (int i = 0; i < 300000; ++i) {
      script << "function item" << i << "(a){if(a){return a*" << i << ";}else{return 0;}}\n";
    }
  }

  int status = 0;
  {
    CAnswerAll answers;
    auto* dialog = new CMainDialog;
    dialog->Show();
    RunEventLoop(300);
    if (!Capture(*dialog, (out / (prefix + "main-folded.png")).string())) status = 1;
    Click(*dialog, CMainDialog::IdOptionsButton);
    RunEventLoop(300);
    if (!Capture(*dialog, (out / (prefix + "main-options.png")).string())) status = 1;
    Click(*dialog, CMainDialog::IdOptionsButton);
    RunEventLoop(100);

    // During the run: once the window has been shown a while, take it, then press Cancel.
    wxTimer timer;
    int ticks = 0;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      wxWindow* cancel = wxWindow::FindWindowById(CProgressDialog::IdCancelButton);
      if (!cancel || ++ticks < 4) return;
      timer.Stop();
      if (!Capture(*cancel->GetParent(), (out / (prefix + "progress.png")).string())) status = 1;
      Click(*cancel->GetParent(), CProgressDialog::IdCancelButton);
    });
    timer.Start(150);
    Click(*dialog, CMainDialog::IdRunButton);
    dialog->Destroy();
    wxTheApp->ProcessIdle();
  }
  std::filesystem::current_path(out);
  std::filesystem::remove_all(work);
  wxEntryCleanup();
  return status;
}
