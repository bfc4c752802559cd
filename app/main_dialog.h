#pragma once

#include <wx/dialog.h>
#include <wx/iconbndl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "language_table.h"
#include "line_array.h"
#include "profile_settings.h"
#include "program_settings.h"
#include "ui_texts.h"

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace vantorel {

class CProgressDialog;

// The program's one main window: the input and output names, Run, and a foldable options
// panel. It keeps the nine settings in step with the settings file "vtrl.ini" in the folder
// that is current when it is built, saving all of them after every change a handler makes (the
// indent count alone waits for the next save), and takes every text from the language table.
// Run (OnRun) checks the names, analyses the input with a progress window, and saves the output.
class CMainDialog : public wxDialog {
 public:
  enum ControlId {
    IdSaveButton = 1001,
    IdRunButton = 1002,
    IdOptionsButton = 1003,
    IdLanguageButton = 1004,
    IdInputEdit = 1008,
    IdOutputEdit = 1009,
    IdOpenNotepadBox = 1014,
    IdRunAfterDropBox = 1015,
    IdSpacesRadio = 1016,
    IdTabsRadio = 1017,
    IdIndentEdit = 1018,
    IdLoadButton = 1019,
    IdCloseButton = 1020,
    IdInputGroup = 1021,
    IdOutputGroup = 1022,
    IdOptionsGroup = 1023,
    IdLanguageGroup = 1024,
    IdBracketGroup = 1025,
    IdInsertGroup = 1026,
    IdSelectLanguageText = 1027,
    IdIndentText = 1028,
    IdExtraOptionsGroup = 1029,
    IdBracketBox = 1036,
  };

  // Builds the window and initialises it: settings file in the current folder, texts,
  // settings loaded and applied. The window is not shown yet.
  CMainDialog();
  ~CMainDialog() override;

  // The drop rule for the first of `names`, dropped at y (client coordinates of this window):
  // the upper quarter of the full window takes the input, the rest the output.
  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names);
  // Takes `name` as the input file as a drop on the input part does, output name proposed and
  // settings saved, but never starts a run. A name that is no existing file shows the drop's
  // error and changes nothing; false then.
  bool OpenInputFile(const std::string& name);

  // Puts a layer between a run's save and the output file: the sink it returns takes the bytes
  // and hands them on to `file`. Without one the bytes go straight to the file. Lets a test fill
  // the disk up in the middle of a save.
  using SaveSinkFilter = std::function<std::unique_ptr<CByteSink>(CByteSink& file)>;
  void SetSaveSinkFilter(SaveSinkFilter filter) { m_saveSinkFilter = std::move(filter); }

 private:
  // Set-up.
  void CreateControls();
  void RegisterTexts();
  void RegisterSettings();
  CTextWindow* TextTargetFor(int controlId);
  static void OnSettingLoaded(void* context, std::string_view key, EntryKind kind,
                              const SettingValue& value);
  static void OnSettingSaving(void* context, std::string_view key, EntryKind kind,
                              SettingValue& value);
  void ShowLoadedSetting(SettingId id);

  // Operations of the handlers.
  // The window's outer size with the options panel open.
  wxSize FullSize() const;
  void ApplyOptionsPanel();
  void ApplyLanguageFile();
  void UpdateOutputName();
  void SaveSettings() { m_settingsStore.Save(); }
  int ConfirmExit();
  int ShowMessage(const std::string& text, long style);
  void ShowError(const std::string& text) { ShowMessage(text, wxOK | wxICON_ERROR); }

  // Handlers.
  void OnLoadButton(wxCommandEvent& event);
  void OnSaveButton(wxCommandEvent& event);
  void OnRun(wxCommandEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnOptionsButton(wxCommandEvent& event);
  void OnLanguageButton(wxCommandEvent& event);
  void OnOpenInNotepadBox(wxCommandEvent& event);
  void OnSpacesRadio(wxCommandEvent& event);
  void OnTabsRadio(wxCommandEvent& event);
  void OnRunAfterDropBox(wxCommandEvent& event);
  void OnBracketBox(wxCommandEvent& event);
  void OnIndentKillFocus(wxFocusEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnCloseWindow(wxCloseEvent& event);

  // The processing run (processing_run.cpp).
  bool ProcessFile(const CLineArray& input, CLineArray& output);
  void InitProgressTexts(CProgressDialog& progress);
  bool SaveOutput(const std::string& name, const CLineArray& lines);
  bool StartTextEditor(const std::string& file);

  CProfileSettings m_settingsStore;
  CLanguageTable m_languageTable;
  ProgramSettings m_settings;
  UiStrings m_texts;
  std::vector<std::unique_ptr<CTextWindow>> m_textTargets;
  SaveSinkFilter m_saveSinkFilter;

  // The client size with the options panel open. The outer size adds the window frame, which
  // a window manager may report only once the window is shown.
  wxSize m_fullClientSize;
  int m_appliedFrame = 0;  // frame height when the panel rule last sized the window
  std::string m_settingsPath;
  std::string m_startFolder;  // ends with "/"
  wxIconBundle m_icons;

  wxButton* m_loadButton = nullptr;
  wxTextCtrl* m_inputEdit = nullptr;
  wxTextCtrl* m_outputEdit = nullptr;
  wxCheckBox* m_openNotepadBox = nullptr;
  wxCheckBox* m_runAfterDropBox = nullptr;
  wxCheckBox* m_bracketBox = nullptr;
  wxRadioButton* m_spacesRadio = nullptr;
  wxRadioButton* m_tabsRadio = nullptr;
  wxTextCtrl* m_indentEdit = nullptr;
  std::vector<wxWindow*> m_panelControls;  // hidden while the panel is folded away

  wxDECLARE_EVENT_TABLE();
};

}  // namespace vantorel
