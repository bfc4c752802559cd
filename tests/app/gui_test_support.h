#pragma once

// Shared by the window program's tests: the wx application for the test binary, answering
// modal dialogs through wxWidgets' testing hook, and a fixture with a folder of its own.

#include <gtest/gtest.h>
#include <wx/testing.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "temp_dir.h"

namespace vantorel::testing {

// Set by the test main: whether wx could open the display.
extern bool g_haveDisplay;

// Lets the event loop run for a while, or until the condition holds; the condition's result.
void RunEventLoopFor(std::chrono::milliseconds duration);
bool RunEventLoopUntil(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A modal dialog as it was shown to the hook.
struct ShownDialog {
  bool isMessage = false;
  std::string message;  // message box: text
  std::string caption;
  long style = 0;         // message box: buttons and icon; file dialog: wxFD_* flags
  std::string directory;  // file dialog: folder it starts in
  std::string fileName;   // file dialog: name in its name box
  std::string wildcard;   // file dialog: filter
  std::chrono::steady_clock::time_point when;
};

// Answers the modal dialogs of the code under test in the order a test expects them, through
// wxWidgets' testing hook (no dialog is really shown). A dialog that is not expected, or of
// another kind or text than expected, fails the test and is answered with Cancel so that nothing
// blocks; an expected dialog that never came fails the test when the answerer goes. The main
// dialog itself, run modally, is left alone.
class CDialogAnswerer : public wxTestingModalHook {
 public:
  CDialogAnswerer() : wxTestingModalHook(__FILE__, __LINE__, "CDialogAnswerer") {}
  ~CDialogAnswerer() override;

  // A message box with exactly this text and these buttons and icon, answered with `answer`.
  CDialogAnswerer& ExpectMessage(const std::string& text, long style, int answer = wxID_OK);
  // An error box (OK, stop icon) with this text.
  CDialogAnswerer& ExpectError(const std::string& text) {
    return ExpectMessage(text, wxOK | wxICON_ERROR, wxID_OK);
  }
  // A file dialog in which `path` is chosen (answer wxID_OK) or which is cancelled.
  CDialogAnswerer& ExpectFile(const std::string& path, int answer = wxID_OK);

  const std::vector<ShownDialog>& Shown() const { return m_shown; }
  bool AllAnswered() const { return m_next == m_expected.size(); }

 protected:
  int Enter(wxDialog* dialog) override;
  void ReportFailure(const wxString& message) override;

 private:
  struct Expected {
    bool isMessage;
    std::string text;  // message text, or the path to choose
    long style;
    int answer;
  };
  std::vector<Expected> m_expected;
  std::size_t m_next = 0;
  std::vector<ShownDialog> m_shown;
};

// Runs each test in a fresh temporary folder as the current folder, where the main dialog puts
// its settings file, and gives helpers to drive the dialog as a user would.
class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  // Writes vtrl.ini in the test folder before the dialog is built.
  void WriteSettings(const std::string& lines) { dir_.Write("vtrl.ini", "[Common]\n" + lines); }
  // Builds and shows the main dialog.
  CMainDialog& Open();

  template <typename T>
  T* Control(int id) const {
    return dynamic_cast<T*>(dialog_->FindWindow(id));
  }
  // What a click on the control does: its event, handled at once.
  void Click(int id);
  void SetCheck(int id, bool checked);
  void SelectRadio(int id);
  void SetEditText(int id, const std::string& text);
  std::string EditText(int id) const;
  // Gives a control the keyboard focus, as Tab or a click does; false when it did not get it.
  bool MoveFocusTo(int id);
  // Types the names into the input and output edits and clicks Run.
  void Run(const std::string& input, const std::string& output);

  // The settings file's text; empty while there is none.
  std::string SettingsText() const;
  // The value of a key in the settings file; nullopt without the key.
  std::optional<std::string> SettingValue(const std::string& key) const;
  bool SettingsFileExists() const;

  const TempDir& Dir() const { return dir_; }
  CMainDialog& Dialog() const { return *dialog_; }

 private:
  TempDir dir_;
  std::string oldFolder_;
  CMainDialog* dialog_ = nullptr;
};

}  // namespace vantorel::testing
