#pragma once

#include <wx/app.h>

#include <string>
#include <vector>

namespace vantorel {

// The window program: runs the main dialog modally and ends when it closes. An optional file
// argument becomes the input, as if dropped on the input part (no run starts); options and
// further arguments are ignored. It saves nothing at exit.
class CAnalyzerApp : public wxApp {
 public:
  // `arguments`: the command line after the program's name, as bytes; wx's decoded copy is used
  // where they are not given.
  explicit CAnalyzerApp(std::vector<std::string> arguments = {});

  bool OnInit() override;
  int OnRun() override;

 private:
  std::vector<std::string> m_arguments;
};

}  // namespace vantorel
