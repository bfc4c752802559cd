#include "progress_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "dialog_layout.h"

namespace vantorel {

// clang-format off
wxBEGIN_EVENT_TABLE(CProgressDialog, wxDialog)
  EVT_BUTTON(CProgressDialog::IdCancelButton, CProgressDialog::OnCancelButton)
  EVT_CLOSE(CProgressDialog::OnCloseWindow)
wxEND_EVENT_TABLE()
    // clang-format on

    bool CProgressDialog::CreateModeless() {
  m_bCancelled = 0;
  // A caption but no system menu: the window offers no close box.
  if (!Create(m_parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxCAPTION)) {
    return false;
  }
  // Tab order: Cancel first, then the texts and the bar.
  auto* cancel = new wxButton(this, IdCancelButton, "Cancel");
  PlaceControl(*cancel, DialogRect(*this, 97, 73, 50, 14), true);
  cancel->SetDefault();
  auto place = [this](wxWindow* control, int x, int y, int width, int height) {
    PlaceControl(*control, DialogRect(*this, x, y, width, height), false);
  };
  place(new wxStaticText(this, IdAnalysedFileText, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxST_NO_AUTORESIZE),
        7, 7, 232, 16);
  place(new wxStaticText(this, IdSavedFileText, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxST_NO_AUTORESIZE),
        7, 25, 232, 16);
  m_bar = new wxGauge(this, IdProgressBar, kGaugeSteps, wxDefaultPosition, wxDefaultSize,
                      wxGA_HORIZONTAL | wxGA_SMOOTH);
  place(m_bar, 7, 59, 232, 11);
  m_currentLine = new wxStaticText(this, IdCurrentLineText, "Current line:", wxDefaultPosition,
                                   wxDefaultSize, wxST_NO_AUTORESIZE);
  place(m_currentLine, 7, 44, 232, 8);
  // The line text wants a little more height than its rectangle; it has room below.
  m_currentLine->SetSize(wxSize(
      m_currentLine->GetSize().GetWidth(),
      std::max(m_currentLine->GetSize().GetHeight(), m_currentLine->GetBestSize().GetHeight())));
  SetClientSize(ConvertDialogToPixels(wxSize(246, 94)));
  CentreOnScreen();
  cancel->SetFocus();
  return true;
}

void CProgressDialog::SetControlText(int id, const wxString& text) {
  auto* control = dynamic_cast<wxControl*>(FindWindow(id));
  if (!control) return;
  if (id == IdAnalysedFileText || id == IdSavedFileText) {
    // File names are shown as they are: an "&" in a name marks no mnemonic.
    control->SetLabelText(
        WrapText(*control, text, control->GetSize().GetWidth(), 2, WrapMode::Anywhere));
  } else {
    control->SetLabel(text);
  }
}

bool CProgressDialog::PumpMessages() {
  auto now = std::chrono::steady_clock::now();
  if (now - m_lastPump < kPumpInterval) return true;
  m_lastPump = now;
  UpdateWidgets();
  // Only if no yield is running already: the engine is never re-entered from here.
  wxTheApp->Yield(true);
  // wx keeps a quit request in its own loop, where it takes effect once the run is over; the
  // engine goes on either way, so there is nothing to report.
  return true;
}

void CProgressDialog::UpdateWidgets() {
  if (m_lineText != m_shownLineText) {
    m_shownLineText = m_lineText;
    m_currentLine->SetLabelText(ToWx(m_lineText));
  }
  long long clamped = m_position < 0 ? 0 : m_position > m_range ? m_range : m_position;
  int value = m_range > 0 ? static_cast<int>(clamped * kGaugeSteps / m_range) : 0;
  if (m_bar->GetValue() != value) m_bar->SetValue(value);
}

void CProgressDialog::OnCancelButton(wxCommandEvent&) {
  m_bCancelled = 1;
  EndDialog(wxID_CANCEL);  // hides this modeless window; the run destroys it
}

// A close request from the window manager (the window offers no close box) acts as Cancel:
// hiding the window while the run goes on would leave the main window disabled with no way out.
void CProgressDialog::OnCloseWindow(wxCloseEvent&) {
  m_bCancelled = 1;
  EndDialog(wxID_CANCEL);
}

}  // namespace vantorel
