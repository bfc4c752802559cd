// The processing run behind the Run button: check the names, analyse the input while a progress
// window shows how far it got, report the outcome, save the output, open it in the editor.

#include <sys/stat.h>
#if defined(__WXGTK__)
#include <dlfcn.h>
#include <glib-object.h>
#endif
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <vector>

#include "dialog_layout.h"
#include "file_io.h"
#include "file_names.h"
#include "line_file.h"
#include "main_dialog.h"
#include "progress_dialog.h"
#include "script_analyzer.h"
#include "text_editor.h"
#include "text_template.h"

namespace vantorel {
namespace {

// Switches the toolkit's animations off while a run goes on. Disabling the main window fades
// every one of its controls for a fifth of a second, and on a display without graphics
// acceleration each frame of that fade took the run's thread about 4 ms: some 10 ms of a 20 MB
// run that takes 0.13 s. The user's setting is back as soon as the main window is enabled again.
// GTK is loaded already (wx runs on it), so the one GTK function needed is looked up in the
// running program rather than built against GTK's headers.
class CAnimationsOff {
 public:
  CAnimationsOff() {
#if defined(__WXGTK__)
    using GetDefault = GObject* (*)();
    auto getDefault =
        reinterpret_cast<GetDefault>(::dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
    GObject* settings = getDefault ? getDefault() : nullptr;
    if (!settings || !g_object_class_find_property(G_OBJECT_GET_CLASS(settings), kProperty)) return;
    gboolean enabled = FALSE;
    g_object_get(settings, kProperty, &enabled, nullptr);
    if (!enabled) return;
    g_object_set(settings, kProperty, FALSE, nullptr);
    settings_ = settings;
#endif
  }
  ~CAnimationsOff() {
    Restore();
  }
  CAnimationsOff(const CAnimationsOff&) = delete;
  CAnimationsOff& operator=(const CAnimationsOff&) = delete;

  void Restore() {
#if defined(__WXGTK__)
    if (!settings_) return;
    // Set by the program, the value would stay fixed for good, and a later change of the
    // desktop's setting would no longer reach this program: the value goes back to where GTK
    // takes it from, and is only set where that does not give the value before the run.
    using Reset = void (*)(GObject*, const char*);
    auto reset = reinterpret_cast<Reset>(::dlsym(RTLD_DEFAULT, "gtk_settings_reset_property"));
    if (reset) reset(settings_, kProperty);
    gboolean enabled = FALSE;
    g_object_get(settings_, kProperty, &enabled, nullptr);
    if (!enabled) g_object_set(settings_, kProperty, TRUE, nullptr);
    settings_ = nullptr;
#endif
  }

 private:
#if defined(__WXGTK__)
  static constexpr const char* kProperty = "gtk-enable-animations";
  GObject* settings_ = nullptr;
#endif
};

// Only a regular file is read as input: opening a FIFO would wait for a writer and a device may
// never end, either of which would leave the window hanging.
bool IsRegularFile(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void CMainDialog::OnRun(wxCommandEvent&) {
  // The edits keep what the user typed; the trimmed names are what the run takes.
  const std::string input = TrimName(FromWx(m_inputEdit->GetValue()));
  if (input.empty() || !FileExists(input)) {
    ShowError(ExpandTemplate(m_texts.needOpenFileErrorMsg, input));
    return;
  }
  m_settings.inputFileName = input;
  SaveSettings();

  const std::string output = TrimName(FromWx(m_outputEdit->GetValue()));
  if (output.empty()) {
    ShowError(ExpandTemplate(m_texts.needSaveFileErrorMsg, output));
    return;
  }
  m_settings.outputFileName = output;
  SaveSettings();

  CLineArray inputLines;
  CLineArray outputLines;
  if (!IsRegularFile(input) || !LoadLineArray(input, &inputLines)) {
    ShowError(ExpandTemplate(m_texts.fileOpenErrorMsg, input));
    return;
  }
  if (!ProcessFile(inputLines, outputLines)) return;

  if (FileExists(output) && ShowMessage(ExpandTemplate(m_texts.overWriteFileMsg, output),
                                        wxYES_NO | wxICON_QUESTION) != wxID_YES) {
    ShowError(ExpandTemplate(m_texts.saveFileFailMsg, output));
    return;
  }
  // Written to a temporary file that replaces the target only when complete: a failed save
  // leaves an existing file, which may be the input itself, as it was.
  if (!SaveOutput(output, outputLines)) {
    ShowError(ExpandTemplate(m_texts.fileSaveErrorMsg, output));
    return;
  }
  if (m_settings.openInNotePad != 0 && !StartTextEditor(output)) {
    ShowError(m_texts.execNotpadFailMsg);
  }
}

bool CMainDialog::ProcessFile(const CLineArray& input, CLineArray& output) {
  auto* progress = new CProgressDialog(this);
  progress->CreateModeless();
  InitProgressTexts(*progress);
  CAnimationsOff animationsOff;
  Disable();
  progress->Show();

  int result;
  {
    CScriptAnalyzer analyzer;
    analyzer.SetOptions(LayoutOf(m_settings));
    analyzer.SetProgress(progress);
    analyzer.SetCurrentLineFormat(m_texts.currentLine);
    analyzer.SetPageMode(!IsScriptFileName(m_settings.inputFileName));
    result = analyzer.Run(input, output);
  }

  progress->Destroy();  // hidden at once, deleted when the event loop is idle again
  Enable();
  animationsOff.Restore();

  switch (result) {
    case ResultDone:
      return true;
    case ResultCancelled:
      ShowError(m_texts.cancelledProcessMsg);
      break;
    case ResultNoScript:
      ShowError(ExpandTemplate(m_texts.noSriptFoundMsg, m_settings.inputFileName));
      break;
    case ResultNotPage:
      ShowError(ExpandTemplate(m_texts.unknownFileErrorMsg, m_settings.inputFileName));
      break;
    default:
      break;
  }
  return false;
}

void CMainDialog::InitProgressTexts(CProgressDialog& progress) {
  progress.SetTitle(GetTitle());
  progress.SetControlText(CProgressDialog::IdAnalysedFileText,
                          ToWx(ExpandTemplate(m_texts.analysedFile, m_settings.inputFileName)));
  progress.SetControlText(CProgressDialog::IdSavedFileText,
                          ToWx(ExpandTemplate(m_texts.fileWillBeSaved, m_settings.outputFileName)));
  progress.SetControlText(CProgressDialog::IdCancelButton, ToWx(m_texts.cancelCaption));
}

// SaveLineArray's save, with the sink filter (if any) between the lines and the file. Only a
// new or a regular file is written: a FIFO would keep the window waiting for a reader.
bool CMainDialog::SaveOutput(const std::string& name, const CLineArray& lines) {
  struct stat st;
  if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
  return ReplaceFile(name, [&](CByteSink& file) {
    if (!m_saveSinkFilter) return lines.WriteLines(file, "\r\n");
    std::unique_ptr<CByteSink> sink = m_saveSinkFilter(file);
    return lines.WriteLines(*sink, "\r\n");
  });
}

// Starts the editor on the file without a shell: the name is one argument, whatever it holds.
bool CMainDialog::StartTextEditor(const std::string& file) {
  std::vector<std::string> command = TextEditorCommand(file);
  if (command.empty()) return false;
  std::vector<const char*> argv;
  for (const std::string& argument : command) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  return wxExecute(argv.data(), wxEXEC_ASYNC) > 0;
}

}  // namespace vantorel
