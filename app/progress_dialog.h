#pragma once

#include <wx/dialog.h>

#include <chrono>
#include <string>

#include "analyzer_progress.h"

class wxButton;
class wxGauge;
class wxStaticText;

namespace vantorel {

// The small modeless window of a run: the two file names, the current line, a bar for the
// position within that line and Cancel. The run creates one per analysis and destroys it when
// the analyzer returns.
//
// As the engine's progress display it costs next to nothing per token: the engine's calls only
// record what to show, and the widgets are brought up to date, and the event loop given its
// turn, at most every kPumpInterval.
class CProgressDialog : public wxDialog, public CAnalyzerProgress {
 public:
  enum ControlId {
    IdProgressBar = 1030,
    IdAnalysedFileText = 1032,
    IdSavedFileText = 1033,
    IdCancelButton = 1034,
    IdCurrentLineText = 1035,
  };
  static constexpr std::chrono::milliseconds kPumpInterval{15};

  explicit CProgressDialog(wxWindow* parent) : m_parent(parent) {}

  // Creates the window, hidden, and clears the cancel flag.
  bool CreateModeless();
  // Sets a text control's text; the two file-name lines wrap, even inside a long name, and
  // whatever does not fit in their two lines is cut off.
  void SetControlText(int id, const wxString& text);

  // CAnalyzerProgress.
  bool IsCancelled() override { return m_bCancelled != 0; }
  void ShowCurrentLine(const std::string& text) override { m_lineText = text; }
  void SetRange(long long upper) override { m_range = upper; }
  void SetPosition(long long position) override { m_position = position; }
  bool PumpMessages() override;

  int m_bCancelled = 0;

 private:
  void OnCancelButton(wxCommandEvent& event);
  void OnCloseWindow(wxCloseEvent& event);
  // Shows what the engine reported, touching only the widgets whose look changes.
  void UpdateWidgets();

  static constexpr int kGaugeSteps = 1000;

  wxWindow* m_parent;

  wxStaticText* m_currentLine = nullptr;
  wxGauge* m_bar = nullptr;

  std::string m_lineText;
  std::string m_shownLineText;
  long long m_range = 100;  // a new bar's range, until the engine sets one
  long long m_position = 0;
  std::chrono::steady_clock::time_point m_lastPump;

  wxDECLARE_EVENT_TABLE();
};

}  // namespace vantorel
