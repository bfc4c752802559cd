// The processing run behind Run: checks of the names, the outcome messages, the overwrite
// question, saving that never destroys data, the progress window, Cancel, and the editor start.

#include <dlfcn.h>
#include <glib-object.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "dialog_layout.h"
#include "file_checks.h"
#include "gui_test_support.h"
#include "progress_dialog.h"

namespace vantorel::testing {
namespace {

using Id = CMainDialog::ControlId;
using std::chrono::milliseconds;

constexpr char kScript[] = "function f(a){return a;}";
constexpr char kScriptResult[] = "function f(a)\r\n{\r\n  return a;\r\n}\r\n";

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ProcessingRunTest : public MainDialogTest {
 protected:
  // Opens the dialog with the editor start off, so that a run shows nothing when it succeeds.
  CMainDialog& OpenQuiet(const std::string& extraSettings = "") {
    WriteSettings("OpenInNotePad=0\n" + extraSettings);
    return Open();
  }
};

TEST_F(ProcessingRunTest, RefusesMissingNames) {
  std::filesystem::create_directory(Dir().Path("folder"));
  const std::string script = Dir().Write("a.js", kScript);
  struct Case {
    std::string input;
    std::string output;
    std::string message;
    std::string savedInput;  // InputFileName afterwards
  };
  const Case cases[] = {
      {"", "", "Need Input File  to Analyze", ""},
      {" \t ", Dir().Path("out.js"), "Need Input File  to Analyze", ""},
      {Dir().Path("folder"), Dir().Path("out.js"),
       "Need Input File " + Dir().Path("folder") + " to Analyze", ""},
      {Dir().Path("missing.js"), Dir().Path("out.js"),
       "Need Input File " + Dir().Path("missing.js") + " to Analyze", ""},
      // The input is accepted, and saved, before the output is looked at.
      {script, "  ", "Need Output File  to Save Results", script},
  };
  OpenQuiet();
  for (const Case& c : cases) {
    SCOPED_TRACE("input \"" + c.input + "\", output \"" + c.output + "\"");
    CDialogAnswerer answerer;
    answerer.ExpectError(c.message);
    Run(c.input, c.output);
    EXPECT_EQ(SettingValue("InputFileName").value_or(""), c.savedInput);
    EXPECT_EQ(EditText(Id::IdInputEdit), c.input) << "the edit keeps what was typed";
  }
  EXPECT_FALSE(std::filesystem::exists(Dir().Path("out.js")));
}

TEST_F(ProcessingRunTest, ReportsEachOutcome) {
  struct Case {
    std::string name;
    std::string content;
    std::string message;  // empty: none, the output is written
    std::string output;   // the output expected
  };
  const Case cases[] = {
      {"page.html", "<html><body>text</body></html>",
       "No one tag <script> was found in file: " + Dir().Path("page.html"), ""},
      {"empty.txt", "", "The file " + Dir().Path("empty.txt") + " is unknown type", ""},
      {"scripts.htm", "<script>a();</script>",
       "The file " + Dir().Path("scripts.htm") + " is unknown type", ""},
      {"empty.js", "", "", ""},
      {"upper.JS", kScript, "", kScriptResult},
      {"page.htm", "<html>\n<script>\nif(a){b();}\n</script>\n</html>\n", "",
       "<html>\r\n<script>\r\nif(a)\r\n{\r\n  b();\r\n}\r\n</script>\r\n</html>\r\n"},
  };
  OpenQuiet();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string input = Dir().Write(c.name, c.content);
    std::string output = Dir().Path("result.out");
    std::filesystem::remove(output);
    CDialogAnswerer answerer;
    if (!c.message.empty()) answerer.ExpectError(c.message);
    Run(input, output);
    EXPECT_EQ(std::filesystem::exists(output), c.message.empty());
    if (c.message.empty()) {
      EXPECT_EQ(ReadFileBytes(output), c.output);
    }
    EXPECT_TRUE(Dialog().IsThisEnabled());
  }
}

TEST_F(ProcessingRunTest, TakesTrimmedNamesAndStoresThem) {
  const std::string input = Dir().Write("a.js", kScript);
  OpenQuiet();
  Run("  " + input + "\t", " " + Dir().Path("b.js") + " ");
  EXPECT_EQ(ReadFileBytes(Dir().Path("b.js")), kScriptResult);
  EXPECT_EQ(SettingValue("InputFileName"), input);
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("b.js"));
}

TEST_F(ProcessingRunTest, AsksBeforeReplacingAnExistingOutput) {
  const std::string input = Dir().Write("a.js", kScript);
  const std::string output = Dir().Write("b.js", "old contents");
  ::chmod(output.c_str(), 0640);
  OpenQuiet();
  {
    CDialogAnswerer answerer;
    answerer.ExpectMessage("File " + output + " Exists. Overwrite?", wxYES_NO | wxICON_QUESTION,
                           wxID_NO);
    answerer.ExpectError("File " + output + " doesn'n save");
    Run(input, output);
  }
  EXPECT_EQ(ReadFileBytes(output), "old contents");
  {
    CDialogAnswerer answerer;
    answerer.ExpectMessage("File " + output + " Exists. Overwrite?", wxYES_NO | wxICON_QUESTION,
                           wxID_YES);
    Run(input, output);
  }
  EXPECT_EQ(ReadFileBytes(output), kScriptResult);
  struct stat st;
  ASSERT_EQ(::stat(output.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u) << "the replaced file's permission bits stay";
}

TEST_F(ProcessingRunTest, InputCanBeReplacedByItsOwnResult) {
  const std::string script = Dir().Write("same.js", kScript);
  OpenQuiet();
  CDialogAnswerer answerer;
  answerer.ExpectMessage("File " + script + " Exists. Overwrite?", wxYES_NO | wxICON_QUESTION,
                         wxID_YES);
  Run(script, script);
  EXPECT_EQ(ReadFileBytes(script), kScriptResult);
}

TEST_F(ProcessingRunTest, UnreadableInputIsReported) {
  const std::string input = Dir().Write("a.js", kScript);
  OpenQuiet();
  CFileLock lock(input);
  ASSERT_TRUE(lock.Locked());
  CDialogAnswerer answerer;
  answerer.ExpectError("Error occurred during opening file: " + input);
  Run(input, Dir().Path("b.js"));
  EXPECT_FALSE(std::filesystem::exists(Dir().Path("b.js")));
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("b.js")) << "both names were taken";
}

TEST_F(ProcessingRunTest, WorksWithPathsLongerThan260Characters) {
  std::string folder =
      std::string(120, 'f') + "/" + std::string(120, 'g') + "/" + std::string(120, 'h');
  std::filesystem::create_directories(Dir().Path(folder));
  const std::string input = Dir().Write(folder + "/in.js", kScript);
  ASSERT_GT(input.size(), 360u);
  OpenQuiet();
  Run(input, Dir().Path(folder + "/out.js"));
  EXPECT_EQ(ReadFileBytes(Dir().Path(folder + "/out.js")), kScriptResult);
  EXPECT_EQ(SettingValue("InputFileName"), input);
}

// What the progress window showed at a moment during a run.
struct ProgressSnapshot {
  bool found = false;
  bool shown = false;
  bool mainEnabled = true;
  std::string title;
  std::string analysed;
  std::string saved;
  std::string cancel;
  std::string currentLine;
  int gauge = -1;
};

ProgressSnapshot TakeSnapshot(const CMainDialog& dialog) {
  ProgressSnapshot snapshot;
  auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowById(CProgressDialog::IdCancelButton));
  if (!button) return snapshot;
  wxWindow* progress = button->GetParent();
  auto text = [progress](int id) {
    wxString label = progress->FindWindow(id)->GetLabel();
    label.Replace("\n", "");
    return FromWx(label);
  };
  snapshot.found = true;
  snapshot.shown = progress->IsShown();
  snapshot.mainEnabled = dialog.IsThisEnabled();
  snapshot.title = FromWx(progress->GetLabel());
  snapshot.analysed = text(CProgressDialog::IdAnalysedFileText);
  snapshot.saved = text(CProgressDialog::IdSavedFileText);
  snapshot.cancel = FromWx(button->GetLabel());
  snapshot.currentLine = text(CProgressDialog::IdCurrentLineText);
  snapshot.gauge =
      dynamic_cast<wxGauge*>(progress->FindWindow(CProgressDialog::IdProgressBar))->GetValue();
  return snapshot;
}

TEST_F(ProcessingRunTest, ProgressWindowShowsTheNamesWhileTheMainWindowIsDisabled) {
  const std::string lng = Dir().Write("t.lng",
                                      "[Common]\nAppTitle=Titel\nAnalysedFile=Datei %s lesen\n"
                                      "CancelCaption=&Abbrechen\nCurrentLine=Zeile %d\n");
  const std::string input = Dir().Write("a.js", kScript);
  CMainDialog& dialog = OpenQuiet("LanFileName=" + lng + "\n");
  ASSERT_EQ(FromWx(dialog.GetTitle()), "Titel");
  ProgressSnapshot during;
  bool dropTaken = true;
  bool closed = true;
  // Runs at the run's first turn of the event loop: the main window takes no drop and no close
  // request meanwhile.
  wxTheApp->CallAfter([&] {
    during = TakeSnapshot(dialog);
    wxArrayString names;
    names.Add(ToWx(input));
    dropTaken = dialog.OnDropFiles(5, 5, names);
    dialog.Close();
    closed = !dialog.IsShown();
  });
  Run(input, Dir().Path("b.js"));
  ASSERT_TRUE(during.found);
  EXPECT_TRUE(during.shown);
  EXPECT_FALSE(during.mainEnabled);
  EXPECT_EQ(during.title, "Titel") << "the main window's caption";
  EXPECT_EQ(during.analysed, "Datei " + input + " lesen");
  EXPECT_EQ(during.saved, "File will be saved: " + Dir().Path("b.js"));
  EXPECT_EQ(during.cancel, "&Abbrechen");
  EXPECT_EQ(during.currentLine, "Zeile 0");
  EXPECT_FALSE(dropTaken);
  EXPECT_FALSE(closed);

  EXPECT_TRUE(dialog.IsThisEnabled());
  ProgressSnapshot after = TakeSnapshot(dialog);
  EXPECT_FALSE(after.found && after.shown) << "the progress window is gone";
}

// The toolkit's settings object, looked up as the program looks it up.
GObject* ToolkitSettings() {
  using GetDefault = GObject* (*)();
  auto getDefault = reinterpret_cast<GetDefault>(::dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  return getDefault ? getDefault() : nullptr;
}

bool AnimationsOn(GObject* settings) {
  gboolean on = FALSE;
  g_object_get(settings, "gtk-enable-animations", &on, nullptr);
  return on != FALSE;
}

TEST_F(ProcessingRunTest, AnimationsPauseForTheRunAndTheUsersSettingComesBack) {
  GObject* settings = ToolkitSettings();
  ASSERT_NE(settings, nullptr);
  const std::string input = Dir().Write("a.js", kScript);
  CMainDialog& dialog = OpenQuiet();
  const bool before = AnimationsOn(settings);
  int run = 0;
  for (const bool userSetting : {true, false, true}) {
    SCOPED_TRACE(userSetting ? "animations on" : "animations off");
    g_object_set(settings, "gtk-enable-animations", userSetting ? TRUE : FALSE, nullptr);
    std::optional<bool> during;
    bool mainEnabled = true;
    wxTheApp->CallAfter([&] {
      during = AnimationsOn(settings);
      mainEnabled = dialog.IsThisEnabled();
    });
    Run(input, Dir().Path("out" + std::to_string(run++) + ".js"));
    ASSERT_TRUE(during.has_value()) << "the run let the event loop turn";
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(*during);
    EXPECT_EQ(AnimationsOn(settings), userSetting);
    EXPECT_TRUE(dialog.IsThisEnabled());
  }
  g_object_set(settings, "gtk-enable-animations", before ? TRUE : FALSE, nullptr);
}

// A long script: many short lines and some long ones.
std::string LongScript(int functions) {
  std::string script;
  for (int i = 0; i < functions; ++i) {
    script += "function f" + std::to_string(i) + "(a){if(a){return a+" + std::to_string(i) +
              ";}else{return 0;}}\n";
    if (i % 1000 == 0) script += "var s='" + std::string(20000, 'x') + "';\n";
  }
  return script;
}

TEST_F(ProcessingRunTest, CancelStopsALongRunAtOnce) {
  enum class Press { Click, EnterKey, Mnemonic };
  struct Case {
    const char* how;
    Press press;
  };
  // Cancel is the default button, and "&Cancel" gives it Alt+C.
  const Case cases[] = {
      {"click", Press::Click},
      {"Enter", Press::EnterKey},
      {"Alt+C", Press::Mnemonic},
  };
  // About 48 MB: still a few tenths of a second on a fast machine, where Cancel comes within the
  // first tenth of the run.
  const int kFunctions = 600000;
  const std::string input = Dir().Write("big.js", LongScript(kFunctions));
  const std::string output = Dir().Path("big_out.js");
  CMainDialog& dialog = OpenQuiet();

  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ProgressSnapshot beforeCancel;
    bool pressed = false;
    std::optional<bool> hiddenAtOnce;
    std::chrono::steady_clock::time_point clicked;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      ProgressSnapshot now = TakeSnapshot(dialog);
      // Wait until the window has shown a few lines, so that it clearly kept up.
      if (pressed || !now.found || now.currentLine == "Current Line: 0") return;
      auto* button = wxWindow::FindWindowById(CProgressDialog::IdCancelButton);
      if (c.press != Press::Click && wxWindow::FindFocus() != button) {
        button->SetFocus();
        return;
      }
      beforeCancel = now;
      pressed = true;
      clicked = std::chrono::steady_clock::now();
      if (c.press == Press::Click) {
        wxCommandEvent click(wxEVT_BUTTON, CProgressDialog::IdCancelButton);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
        hiddenAtOnce = !button->GetParent()->IsShown();
      } else {
        wxUIActionSimulator keys;
        if (c.press == Press::EnterKey) {
          keys.Char(WXK_RETURN);
        } else {
          keys.Char('c', wxMOD_ALT);
        }
      }
    });
    // Often: the engine is fast, and Enter and Alt+C take two ticks (focus, then the key).
    timer.Start(5);

    CDialogAnswerer answerer;
    answerer.ExpectError("User cancelled analysing process");
    Run(input, output);
    timer.Stop();

    ASSERT_TRUE(pressed) << "the run ended before Cancel could be pressed";
    EXPECT_TRUE(beforeCancel.shown);
    EXPECT_FALSE(beforeCancel.mainEnabled);
    ASSERT_EQ(beforeCancel.currentLine.rfind("Current Line: ", 0), 0u) << beforeCancel.currentLine;
    long shownLine = std::stol(beforeCancel.currentLine.substr(14));
    EXPECT_GT(shownLine, 0);
    EXPECT_LT(shownLine, kFunctions) << "Cancel came before the end";
    if (hiddenAtOnce) {
      EXPECT_TRUE(*hiddenAtOnce) << "the window hides as Cancel is clicked";
    }
    ASSERT_EQ(answerer.Shown().size(), 1u);
    auto stopped = answerer.Shown()[0].when - clicked;
    EXPECT_LT(stopped, milliseconds(300)) << "from Cancel to the end of the run";
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(dialog.IsThisEnabled());
    EXPECT_EQ(FolderEntries(Dir().Root()), (std::vector<std::string>{"big.js", "vtrl.ini"}));
  }
}

class EditorStartTest : public ProcessingRunTest {
 protected:
  void SetUp() override {
    ProcessingRunTest::SetUp();
    if (IsSkipped()) return;
    // No desktop database: the editor comes from the list of common editors on PATH.
    std::filesystem::create_directory(Dir().Path("xdg"));
    std::filesystem::create_directory(Dir().Path("bin"));
    for (const char* variable :
         {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
      ::setenv(variable, Dir().Path("xdg").c_str(), 1);
    }
  }
  void SetPath(const std::string& path) { ::setenv("PATH", path.c_str(), 1); }
  // An editor that records how many arguments it got, and the first; the first of the common
  // editors, so that it is chosen whatever else is installed.
  void InstallEditor() {
    std::string log = Dir().Path("editor.log");
    std::string path = Dir().Write("bin/gnome-text-editor",
                                   "#!/bin/sh\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > \"" + log +
                                       ".tmp\"\nmv \"" + log + ".tmp\" \"" + log + "\"\n");
    ::chmod(path.c_str(), 0755);
  }
};

TEST_F(EditorStartTest, EditorGetsTheOutputNameAsOneArgument) {
  InstallEditor();
  SetPath(Dir().Path("bin") + ":/usr/bin:/bin");
  const std::string input = Dir().Write("a.js", kScript);
  std::filesystem::create_directory(Dir().Path("odd dir"));
  const std::string output = Dir().Path("odd dir/it's \"new\"; $(touch pwned) & x.js");
  Open();
  Run(input, output);
  ASSERT_TRUE(RunEventLoopUntil([&] { return std::filesystem::exists(Dir().Path("editor.log")); }));
  EXPECT_EQ(ReadFileBytes(Dir().Path("editor.log")), "1\n" + output + "\n");
  EXPECT_EQ(ReadFileBytes(output), kScriptResult);
  EXPECT_FALSE(std::filesystem::exists(Dir().Path("pwned")));
}

}  // namespace
}  // namespace vantorel::testing
