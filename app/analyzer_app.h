#pragma once

#include <wx/app.h>

namespace vantorel {

// The window program: runs the main dialog modally and ends when it closes. It reads no
// command-line arguments and saves nothing at exit.
class CAnalyzerApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
};

}  // namespace vantorel
