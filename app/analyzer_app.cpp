#include "analyzer_app.h"

#include <wx/init.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "dialog_layout.h"
#include "main_dialog.h"

namespace vantorel {
namespace {

bool IsOption(const std::string& argument) {
  return !argument.empty() && argument[0] == '-';
}

// Whether wx's text of an argument came from these bytes: decoded as UTF-8, or byte by byte (as
// wx decodes in the C locale).
bool DecodesTo(const std::string& bytes, const wxString& text) {
  return wxString::FromUTF8(bytes.data(), bytes.size()) == text ||
         wxString(bytes.data(), wxConvISO8859_1, bytes.size()) == text;
}

// The arguments after the program's name, as bytes. GTK has taken its own options out of wx's
// list; each one left is found, in order, among the bytes the program got, so that a name the
// locale cannot spell still reaches the file system unchanged.
std::vector<std::string> ArgumentBytes(const wxArrayString& decoded,
                                       const std::vector<std::string>& raw) {
  std::vector<std::string> arguments;
  std::size_t next = 0;
  for (std::size_t i = 1; i < decoded.size(); ++i) {
    std::size_t match = next;
    while (match < raw.size() && !DecodesTo(raw[match], decoded[i])) ++match;
    if (match < raw.size()) {
      arguments.push_back(raw[match]);
      next = match + 1;
    } else {
      arguments.push_back(FromWx(decoded[i]));
    }
  }
  return arguments;
}

// The first argument that is no option ("--" ends the options); empty without one. The rest are
// ignored: a desktop passes one file (Exec %f), anything else is a mistake not worth a refusal.
std::string FileArgument(const std::vector<std::string>& arguments) {
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!argument.empty() && (optionsEnded || !IsOption(argument))) {
      return argument;
    }
  }
  return std::string();
}

// The name in full, as a drop gives it: the folder resolved from the start-up folder, the file's
// own name kept as given (a link stays the link, and the output is proposed beside it).
std::string FullPath(const std::string& name) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(name, error);
  if (error) return name;
  if (!path.has_filename()) return path.string();  // a folder, which the drop rule refuses
  std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), error);
  if (error) return path.string();
  return (folder / path.filename()).string();
}

}  // namespace

CAnalyzerApp::CAnalyzerApp(std::vector<std::string> arguments)
    : m_arguments(std::move(arguments)) {}

bool CAnalyzerApp::OnInit() {
  // wxApp::OnInit would parse the command line and refuse what it does not know; the one
  // argument, an input file, is read in OnRun.
  return true;
}

int CAnalyzerApp::OnRun() {
  CMainDialog dialog;
  std::string file = FileArgument(ArgumentBytes(argv.GetArguments(), m_arguments));
  if (!file.empty()) {
    // Taken once the window is up, so that an error about the name shows in front of it.
    CMainDialog* target = &dialog;
    std::string path = FullPath(file);
    dialog.CallAfter([target, path] { target->OpenInputFile(path); });
  }
  dialog.ShowModal();
  return 0;
}

}  // namespace vantorel

#ifdef __WXMSW__
// Windows hands wx the command line in UTF-16, which loses nothing.
wxIMPLEMENT_APP(vantorel::CAnalyzerApp);
#else
wxIMPLEMENT_APP_NO_MAIN(vantorel::CAnalyzerApp);

int main(int argc, char** argv) {
  wxDISABLE_DEBUG_SUPPORT();
  wxApp::SetInstance(new vantorel::CAnalyzerApp(std::vector<std::string>(argv + 1, argv + argc)));
  return wxEntry(argc, argv);
}
#endif
