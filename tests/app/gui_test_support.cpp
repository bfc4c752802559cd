#include "gui_test_support.h"

#include <unistd.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <sstream>

#include "dialog_layout.h"
#include "file_checks.h"

namespace vantorel::testing {

bool g_haveDisplay = false;

void RunEventLoopFor(std::chrono::milliseconds duration) {
  auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    wxMilliSleep(2);
  }
}

bool RunEventLoopUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    wxMilliSleep(2);
  }
  return true;
}

CDialogAnswerer::~CDialogAnswerer() {
  for (std::size_t i = m_next; i < m_expected.size(); ++i) {
    ADD_FAILURE() << "Expected " << (m_expected[i].isMessage ? "message box \"" : "file dialog \"")
                  << m_expected[i].text << "\" was not shown";
  }
}

CDialogAnswerer& CDialogAnswerer::ExpectMessage(const std::string& text, long style, int answer) {
  m_expected.push_back({true, text, style, answer});
  return *this;
}

CDialogAnswerer& CDialogAnswerer::ExpectFile(const std::string& path, int answer) {
  m_expected.push_back({false, path, 0, answer});
  return *this;
}

int CDialogAnswerer::Enter(wxDialog* dialog) {
  // The window under test runs modally for real.
  if (dynamic_cast<CMainDialog*>(dialog)) return wxID_NONE;
  ShownDialog shown;
  shown.when = std::chrono::steady_clock::now();
  shown.caption = FromWx(dialog->GetTitle());
  auto* message = dynamic_cast<wxMessageDialog*>(dialog);
  auto* file = dynamic_cast<wxFileDialog*>(dialog);
  if (message) {
    shown.isMessage = true;
    shown.message = FromWx(message->GetMessage());
    shown.style = message->GetMessageDialogStyle();
  } else if (file) {
    shown.style = file->GetWindowStyle();
    shown.directory = FromWx(file->GetDirectory());
    shown.fileName = FromWx(file->GetFilename());
    shown.wildcard = FromWx(file->GetWildcard());
  }
  m_shown.push_back(shown);

  if (m_next == m_expected.size()) {
    ReportFailure(DescribeUnexpectedDialog(dialog) + " was shown unexpectedly");
    return wxID_CANCEL;
  }
  const Expected& expected = m_expected[m_next++];
  if (expected.isMessage) {
    const long kButtonsAndIcon = wxOK | wxCANCEL | wxYES_NO | wxICON_MASK;
    if (!message || shown.message != expected.text ||
        (shown.style & kButtonsAndIcon) != expected.style) {
      std::ostringstream why;
      why << FromWx(DescribeUnexpectedDialog(dialog)) << " (style " << std::hex << shown.style
          << ") was shown, expected message box \"" << expected.text << "\" (style "
          << expected.style << ")";
      ReportFailure(why.str());
      return wxID_CANCEL;
    }
    return expected.answer;
  }
  if (!file) {
    ReportFailure(DescribeUnexpectedDialog(dialog) + " was shown, expected a file dialog");
    return wxID_CANCEL;
  }
  if (expected.answer == wxID_OK) {
    // GTK's file chooser takes a new path asynchronously.
    wxString path = ToWx(expected.text);
    file->SetPath(path);
    if (!RunEventLoopUntil([&] { return file->GetPath() == path; })) {
      ReportFailure("the file dialog did not take the path " + path);
    }
  }
  return expected.answer;
}

void CDialogAnswerer::ReportFailure(const wxString& message) {
  ADD_FAILURE() << FromWx(message);
}

void MainDialogTest::SetUp() {
  if (!g_haveDisplay) GTEST_SKIP() << "no display: the window program's tests need one";
  oldFolder_ = std::filesystem::current_path().string();
  std::filesystem::current_path(dir_.Root());
}

void MainDialogTest::TearDown() {
  if (dialog_) {
    dialog_->Destroy();
    wxTheApp->ProcessIdle();  // deletes the windows that wait for it
    dialog_ = nullptr;
  }
  if (!oldFolder_.empty()) std::filesystem::current_path(oldFolder_);
}

CMainDialog& MainDialogTest::Open() {
  dialog_ = new CMainDialog;
  dialog_->Show();
  RunEventLoopFor(std::chrono::milliseconds(50));
  return *dialog_;
}

void MainDialogTest::Click(int id) {
  wxWindow* control = dialog_->FindWindow(id);
  ASSERT_NE(control, nullptr) << id;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(control);
  control->GetEventHandler()->ProcessEvent(event);
}

void MainDialogTest::SetCheck(int id, bool checked) {
  auto* box = Control<wxCheckBox>(id);
  ASSERT_NE(box, nullptr) << id;
  box->SetValue(checked);
  wxCommandEvent event(wxEVT_CHECKBOX, id);
  event.SetEventObject(box);
  event.SetInt(checked ? 1 : 0);
  box->GetEventHandler()->ProcessEvent(event);
}

void MainDialogTest::SelectRadio(int id) {
  auto* radio = Control<wxRadioButton>(id);
  ASSERT_NE(radio, nullptr) << id;
  radio->SetValue(true);
  wxCommandEvent event(wxEVT_RADIOBUTTON, id);
  event.SetEventObject(radio);
  event.SetInt(1);
  radio->GetEventHandler()->ProcessEvent(event);
}

void MainDialogTest::SetEditText(int id, const std::string& text) {
  auto* edit = Control<wxTextCtrl>(id);
  ASSERT_NE(edit, nullptr) << id;
  edit->ChangeValue(ToWx(text));
}

std::string MainDialogTest::EditText(int id) const {
  auto* edit = Control<wxTextCtrl>(id);
  return edit ? FromWx(edit->GetValue()) : std::string("<no edit>");
}

bool MainDialogTest::MoveFocusTo(int id) {
  wxWindow* control = dialog_->FindWindow(id);
  control->SetFocus();
  return RunEventLoopUntil([control] { return wxWindow::FindFocus() == control; },
                           std::chrono::seconds(2));
}

void MainDialogTest::Run(const std::string& input, const std::string& output) {
  SetEditText(CMainDialog::IdInputEdit, input);
  SetEditText(CMainDialog::IdOutputEdit, output);
  Click(CMainDialog::IdRunButton);
}

std::string MainDialogTest::SettingsText() const {
  return ReadFileBytes(dir_.Path("vtrl.ini"));
}

std::optional<std::string> MainDialogTest::SettingValue(const std::string& key) const {
  return IniValue(SettingsText(), key);
}

bool MainDialogTest::SettingsFileExists() const {
  return std::filesystem::exists(dir_.Path("vtrl.ini"));
}

}  // namespace vantorel::testing
