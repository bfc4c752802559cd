// The processing run against inputs that are odd, huge or cannot be read, outputs that cannot be
// written, and hostile settings and language files (missing names, the plain outcomes and the
// overwrite question are processing_run_test's). For every row: the boxes the user sees (text,
// buttons and icon, caption), how long the run took, that the same window then does a good run,
// and that no file that existed before was changed (other than the output the user asked for)
// and nothing was left behind.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/button.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_layout.h"
#include "file_checks.h"
#include "gui_test_support.h"
#include "hostile_language.h"
#include "program_settings.h"
#include "progress_dialog.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using Id = CMainDialog::ControlId;
using std::chrono::milliseconds;

const std::string kScript = "function f(a){return a;}";
const std::string kScriptResult = "function f(a)\r\n{\r\n  return a;\r\n}\r\n";
const std::string kScriptResultIndent4 = "function f(a)\r\n{\r\n    return a;\r\n}\r\n";
const std::string kQuiet = "[Common]\nOpenInNotePad=0\n";

// ---- Helpers --------------------------------------------------------------------------------

// The caption of every message box: the program's name, the base name of its executable.
std::string ProgramName() {
  return fs::read_symlink("/proc/self/exe").stem().string();
}

// The file layer of a disk that fills up: hands `room` bytes on to the file, then fails.
class CFullDiskSink : public CByteSink {
 public:
  CFullDiskSink(CByteSink& file, std::size_t room) : file_(file), room_(room) {}
  bool Write(const char* data, std::size_t size) override {
    std::size_t taken = std::min(size, room_);
    room_ -= taken;
    return file_.Write(data, taken) && taken == size;
  }

 private:
  CByteSink& file_;
  std::size_t room_;
};

// A lock such as another program holding the file has, until the returned handle goes.
std::shared_ptr<void> LockFile(const std::string& name) {
  auto lock = std::make_shared<CFileLock>(name);
  EXPECT_TRUE(lock->Locked()) << name;
  return lock;
}

// No text editor to be found: PATH and the desktop's application folders lead to an empty
// folder until the returned handle goes.
std::shared_ptr<void> NoTextEditor(const TempDir& dir) {
  fs::create_directories(dir.Path("empty"));
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  for (const char* name :
       {"PATH", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
    const char* value = std::getenv(name);
    saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    ::setenv(name, dir.Path("empty").c_str(), 1);
  }
  return std::shared_ptr<void>(nullptr, [saved](void*) {
    for (const auto& [name, value] : saved) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  });
}

// Once `patience` has passed, opens the FIFO for a moment at both ends (which never waits): a
// run stuck in opening it for reading or writing then goes on, and the test fails on the time
// the run took instead of hanging.
std::shared_ptr<void> UnblockFifoAfter(const std::string& fifo, milliseconds patience) {
  auto stop = std::make_shared<std::atomic<bool>>(false);
  auto thread = std::make_shared<std::thread>([fifo, patience, stop] {
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (!*stop && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(milliseconds(10));
    }
    if (*stop) return;
    int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    std::this_thread::sleep_for(milliseconds(300));  // a writer's bytes fit the pipe meanwhile
    ::close(fd);
  });
  return std::shared_ptr<void>(nullptr, [stop, thread](void*) {
    *stop = true;
    thread->join();
  });
}

// ---- The rows -------------------------------------------------------------------------------

struct Box {
  std::string text;
  long style;  // buttons and icon
  int answer;
};

Box Error(std::string text) {
  return {std::move(text), wxOK | wxICON_ERROR, wxID_OK};
}
Box OpenError(const std::string& name) {
  return Error("Error occurred during opening file: " + name);
}
Box SaveError(const std::string& name) {
  return Error("Error occurred during saving file: " + name);
}
Box Overwrite(std::string text, int answer) {
  return {std::move(text), wxYES_NO | wxICON_QUESTION, answer};
}
Box OverwriteQuestion(const std::string& name, int answer) {
  return Overwrite("File " + name + " Exists. Overwrite?", answer);
}

constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

// What one row sets up, in the row's own folder, and what it expects beyond the common checks.
struct Scenario {
  std::string settings = kQuiet;  // vtrl.ini as the window finds it at start
  mode_t settingsMode = 0644;
  std::string input;                        // typed into the input edit
  std::string output;                       // typed into the output edit
  std::vector<Box> boxes;                   // every box of the run, in order
  std::string written;                      // the file the run writes; "" when it must write none
  std::optional<std::string> source;        // written: the run's result holds these non-blank bytes
  std::optional<std::string> exact;         // written: ... and is exactly this
  std::size_t diskRoom = kNoLimit;          // the output's disk is full after this many bytes
  bool editorOn = false;                    // the box that opens the output in the editor is ticked
  std::function<void()> duringRun;          // at the run's first turn of the event loop
  std::function<void()> check;              // further checks after the run
  std::vector<std::shared_ptr<void>> held;  // locks, environment: released after the run
  std::string goodResult = kScriptResult;   // what a good run gives with these settings
  double maxSeconds = 10;
};

struct FaultRow {
  const char* name;
  std::function<Scenario(const TempDir&)> prepare;
  bool needsNonRoot = false;  // root reads files whatever their permission bits say
};

void PrintTo(const FaultRow& row, std::ostream* os) {
  *os << row.name;
}

// A script input in the row's folder that the run must re-indent without losing a byte.
Scenario ScriptRow(const TempDir& dir, const std::string& name, const std::string& bytes) {
  Scenario s;
  s.input = dir.Write(name, bytes);
  s.output = dir.Path("out.js");
  s.written = s.output;
  s.source = bytes;
  return s;
}

FaultRow ScriptContentRow(const char* name, const std::string& file, const std::string& bytes) {
  return {name, [file, bytes](const TempDir& d) { return ScriptRow(d, file, bytes); }};
}

// A run that ends with `box` and writes nothing.
Scenario RefusedRow(const std::string& input, const std::string& output, Box box) {
  Scenario s;
  s.input = input;
  s.output = output;
  s.boxes = {std::move(box)};
  return s;
}

// Sizes of the big inputs: a 100 MB line takes the engine about ten seconds in an optimised
// build, and a 50 MB settings file two seconds for each of the five saves of a row, too long for
// every test run. VANTOREL_FAULT_FULL_SIZE=1 runs those sizes.
bool FullSize() {
  const char* full = std::getenv("VANTOREL_FAULT_FULL_SIZE");
  return full && *full && std::string(full) != "0";
}
std::size_t OneLineBytes() {
  return (FullSize() ? 100 : 8) << 20;
}
std::size_t HugeSettingsBytes() {
  return (FullSize() ? 50 : 4) << 20;
}

std::vector<FaultRow> InputRows() {
  return {
      {"input_unreadable",
       [](const TempDir& d) {
         std::string input = d.Write("secret.js", kScript);
         ::chmod(input.c_str(), 0);
         return RefusedRow(input, d.Path("out.js"), OpenError(input));
       },
       true},
      // A file whose read fails (the start of the process's own memory is not mapped).
      {"input_read_fails",
       [](const TempDir& d) {
         return RefusedRow("/proc/self/mem", d.Path("out.js"), OpenError("/proc/self/mem"));
       }},
      // Opening a FIFO for reading waits for a writer: the run must not wait for one.
      {"input_is_a_fifo",
       [](const TempDir& d) {
         std::string fifo = d.Path("fifo.js");
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         Scenario s = RefusedRow(fifo, d.Path("out.js"), OpenError(fifo));
         s.held.push_back(UnblockFifoAfter(fifo, milliseconds(3000)));
         s.maxSeconds = 2;
         return s;
       }},
      {"input_binary_as_page",
       [](const TempDir& d) {
         std::string input = d.Write("true", ReadFileBytes("/bin/true"));
         return RefusedRow(input, d.Path("out"), Error("The file " + input + " is unknown type"));
       }},
      ScriptContentRow("input_binary_as_script", "true.js", ReadFileBytes("/bin/true")),
      {"input_huge_one_line",
       [](const TempDir& d) {
         const std::string unit = "var a=1;if(a){b(\"x\",'y',/z/g)}/*c*/";
         std::string line;
         line.reserve(OneLineBytes());
         while (line.size() + unit.size() <= OneLineBytes()) line += unit;
         Scenario s = ScriptRow(d, "one_line.js", line);
         s.maxSeconds = FullSize() ? 60 : 10;
         return s;
       }},
      {"input_1000000_empty_lines",
       [](const TempDir& d) { return ScriptRow(d, "empty_lines.js", std::string(1000000, '\n')); }},
      {"input_100000_open_braces",
       [](const TempDir& d) { return ScriptRow(d, "braces.js", std::string(100000, '{')); }},
      // One of the odd inputs that the engine, stability, fuzz and command-line fault tests
      // cover, to show that the window's read passes such bytes through as they do.
      ScriptContentRow("input_nul_and_0x1a", "nul.js",
                       std::string("if(a){b;}") + '\0' + "dropped{\nc;\n\x1A{after the end}\n"),
  };
}

std::vector<FaultRow> OutputRows() {
  return {
      // A full disk, for a new file and for a file that the save replaces.
      {"output_on_a_full_disk",
       [](const TempDir& d) {
         Scenario s =
             RefusedRow(d.Write("in.js", kScript), d.Path("out.js"), SaveError(d.Path("out.js")));
         s.diskRoom = 0;
         return s;
       }},
      {"output_replacing_a_file_on_a_full_disk",
       [](const TempDir& d) {
         std::string output = d.Write("out.js", "the old result, longer than what fits\n");
         Scenario s = RefusedRow(d.Write("in.js", kScript), output, SaveError(output));
         s.boxes.insert(s.boxes.begin(), OverwriteQuestion(output, wxID_YES));
         s.diskRoom = 10;
         return s;
       }},
      {"output_locked_by_another_process",
       [](const TempDir& d) {
         std::string output = d.Write("out.js", "the old result\n");
         Scenario s = RefusedRow(d.Write("in.js", kScript), output, SaveError(output));
         s.boxes.insert(s.boxes.begin(), OverwriteQuestion(output, wxID_YES));
         s.held.push_back(LockFile(output));
         return s;
       }},
      // No question, as a folder is no file; the folder and what it holds stay.
      {"output_is_a_folder",
       [](const TempDir& d) {
         fs::create_directory(d.Path("folder"));
         d.Write("folder/inside.js", "kept\n");
         return RefusedRow(d.Write("in.js", kScript), d.Path("folder"),
                           SaveError(d.Path("folder")));
       }},
      {"output_folder_missing",
       [](const TempDir& d) {
         return RefusedRow(d.Write("in.js", kScript), d.Path("no/such/out.js"),
                           SaveError(d.Path("no/such/out.js")));
       }},
      // Writing to a FIFO would wait for a reader.
      {"output_is_a_fifo",
       [](const TempDir& d) {
         std::string fifo = d.Path("fifo.js");
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         Scenario s = RefusedRow(d.Write("in.js", kScript), fifo, SaveError(fifo));
         s.boxes.insert(s.boxes.begin(), OverwriteQuestion(fifo, wxID_YES));
         s.held.push_back(UnblockFifoAfter(fifo, milliseconds(3000)));
         s.maxSeconds = 2;
         return s;
       }},
  };
}

// A settings row: the run re-indents a script with the settings that `settings` gives.
Scenario SettingsRow(const TempDir& d, std::string settings) {
  Scenario s = ScriptRow(d, "in.js", kScript);
  s.settings = std::move(settings);
  return s;
}

std::vector<FaultRow> SettingsRows() {
  return {
      // Used as it is and never written: no message, and the file keeps its bytes.
      {"settings_read_only",
       [](const TempDir& d) {
         Scenario s = SettingsRow(d, "[Common]\r\nOpenInNotePad=0\r\nIndentCount=4\r\n");
         s.settingsMode = 0444;
         s.exact = s.goodResult = kScriptResultIndent4;
         s.check = [&d, settings = s.settings] {
           EXPECT_EQ(ReadFileBytes(d.Path("vtrl.ini")), settings);
           struct stat st;
           EXPECT_TRUE(::stat(d.Path("vtrl.ini").c_str(), &st) == 0 && (st.st_mode & 0777) == 0444);
         };
         return s;
       }},
      // Nothing readable: the defaults, among them the editor start after the save.
      {"settings_corrupt",
       [](const TempDir& d) {
         const std::string garbage = ReadFileBytes("/bin/true") + "[Common\nIndentCount\n=8\n";
         Scenario s = SettingsRow(d, garbage);
         s.boxes = {Error("Error occurred during opening Notepad")};
         s.exact = kScriptResult;
         s.held.push_back(NoTextEditor(d));
         s.check = [&d, garbage] {
           std::string after = ReadFileBytes(d.Path("vtrl.ini"));
           EXPECT_EQ(after.compare(0, garbage.size(), garbage), 0) << "the old bytes stay";
           EXPECT_EQ(LoadProgramSettings(d.Path("vtrl.ini")).inputFileName, d.Path("in.js"));
         };
         return s;
       }},
      {"settings_huge",
       [](const TempDir& d) {
         std::string settings = "[Other]\n";
         while (settings.size() < HugeSettingsBytes())
           settings += "SomeKey=a value of no meaning here\n";
         settings += "[Common]\nOpenInNotePad=0\nIndentCount=4\n";
         Scenario s = SettingsRow(d, settings);
         s.exact = s.goodResult = kScriptResultIndent4;
         s.check = [&d, settings] {
           // The keys of the run join their section at the end; every line before stays.
           std::string after = ReadFileBytes(d.Path("vtrl.ini"));
           EXPECT_EQ(after.compare(0, settings.size(), settings), 0) << "the old lines stay";
           EXPECT_EQ(LoadProgramSettings(d.Path("vtrl.ini")).outputFileName, d.Path("out.js"));
         };
         return s;
       }},
      // The first of each key counts, and saving changes that one, leaving the others be.
      {"settings_duplicate_keys",
       [](const TempDir& d) {
         const std::string tail = "[common]\nIndentCount=1\nOpenInNotePad=1\n";
         Scenario s = SettingsRow(d,
                                  "[Common]\nOpenInNotePad=0\nIndentCount=4\nIndentCount=8\n"
                                  "InputFileName=/old\nInputFileName=/older\n" +
                                      tail);
         s.exact = s.goodResult = kScriptResultIndent4;
         s.check = [&d, tail] {
           std::string after = ReadFileBytes(d.Path("vtrl.ini"));
           EXPECT_NE(after.find("\nIndentCount=8\n"), std::string::npos) << after;
           EXPECT_NE(after.find("\nInputFileName=/older\n"), std::string::npos) << after;
           EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
           ProgramSettings read = LoadProgramSettings(d.Path("vtrl.ini"));
           EXPECT_EQ(read.indentCount, 4);
           EXPECT_EQ(read.inputFileName, d.Path("in.js"));
         };
         return s;
       }},
  };
}

// What the progress window showed while a hostile run went on.
struct ProgressSeen {
  bool shown = false;
  std::string title;
  std::string cancel;
  std::string currentLine;
  std::string analysed;
};

// The hostile-language rows run one after another in one window, whose every text comes from a
// file in which every text is hostile. Their files lie in a folder whose name is no ASCII.
const std::string kHostileFolder = "d\xC3\xA9j\xC3\xA0";

Scenario HostileRow(const TempDir& d) {
  Scenario s;
  s.input = d.Write(kHostileFolder + "/in.js", kScript);
  s.output = d.Path(kHostileFolder + "/out.js");
  return s;
}

std::vector<FaultRow> LanguageRows() {
  return {
      {"need_input",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.input = d.Path(kHostileFolder + "/missing.js");
         s.boxes = {Error(HostileMessage("NeedOpenFileErrorMsg", s.input, true))};
         return s;
       }},
      {"need_output",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.output = " ";
         s.boxes = {Error(HostileMessage("NeedSaveFileErrorMsg", "", true))};
         return s;
       }},
      {"open_error",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.held.push_back(LockFile(s.input));
         s.boxes = {Error(HostileMessage("FileOpenErrorMsg", s.input, true))};
         return s;
       }},
      {"no_script",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.input = d.Write(kHostileFolder + "/page.html", "<html><body>text</body></html>\n");
         s.boxes = {Error(HostileMessage("NoSriptFoundMsg", s.input, true))};
         return s;
       }},
      {"unknown_type",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.input = d.Write(kHostileFolder + "/empty.html", "");
         s.boxes = {Error(HostileMessage("UnknownFileErrorMsg", s.input, true))};
         return s;
       }},
      {"overwrite_declined",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.output = d.Write(kHostileFolder + "/old.js", "old\n");
         s.boxes = {Overwrite(HostileMessage("OverWriteFileMsg", s.output, true), wxID_NO),
                    Error(HostileMessage("SaveFileFailMsg", s.output, true))};
         return s;
       }},
      {"save_error",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.output = d.Path(kHostileFolder + "/no/out.js");
         s.boxes = {Error(HostileMessage("FileSaveErrorMsg", s.output, true))};
         return s;
       }},
      {"no_editor",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         s.editorOn = true;
         s.held.push_back(NoTextEditor(d));
         s.boxes = {Error(HostileText("ExecNotpadFailMsg", true))};
         s.written = s.output;
         s.exact = kScriptResult;
         return s;
       }},
      // Cancel at the run's first turn of the event loop (long enough an input that there is
      // one); the progress window's texts are hostile too.
      {"cancelled",
       [](const TempDir& d) {
         Scenario s = HostileRow(d);
         std::string script;
         for (int i = 0; i < 20000; ++i) script += kScript + "\n";
         s.input = d.Write(kHostileFolder + "/long.js", script);
         s.output = d.Path(kHostileFolder + "/long_out.js");
         s.boxes = {Error(HostileText("CancelledProcessMsg", true))};
         auto seen = std::make_shared<ProgressSeen>();
         s.duringRun = [seen] {
           auto* button = wxWindow::FindWindowById(CProgressDialog::IdCancelButton);
           if (!button) return;
           wxWindow* progress = button->GetParent();
           auto text = [progress](int id) {
             return FromWx(static_cast<wxControl*>(progress->FindWindow(id))->GetLabelText());
           };
           *seen = {progress->IsShown(), FromWx(progress->GetLabel()), FromWx(button->GetLabel()),
                    text(CProgressDialog::IdCurrentLineText),
                    text(CProgressDialog::IdAnalysedFileText)};
           wxCommandEvent click(wxEVT_BUTTON, CProgressDialog::IdCancelButton);
           click.SetEventObject(button);
           button->GetEventHandler()->ProcessEvent(click);
         };
         s.check = [seen] {
           ASSERT_TRUE(seen->shown) << "no progress window during the run";
           EXPECT_EQ(seen->title, HostileText("AppTitle", true));
           EXPECT_EQ(seen->cancel, HostileText("CancelCaption", true));
           // The line number in place of the first "%d".
           const std::string line = HostileText("CurrentLine", true);
           const std::size_t at = line.find("%d");
           const std::string& shown = seen->currentLine;
           std::size_t digits = shown.size() - (line.size() - 2);
           EXPECT_TRUE(shown.size() > line.size() - 2 && shown.compare(0, at, line, 0, at) == 0 &&
                       shown.find_first_not_of("0123456789", at) == at + digits &&
                       shown.compare(at + digits, std::string::npos, line, at + 2) == 0)
               << shown;
           // Wrapped into two lines and cut off there.
           EXPECT_EQ(seen->analysed.compare(0, 10, HostileText("AnalysedFile", true), 0, 10), 0)
               << seen->analysed;
         };
         return s;
       }},
  };
}

// ---- The run of a row -----------------------------------------------------------------------

class ProcessingFaultTest : public MainDialogTest {
 protected:
  // Writes the settings file the row asks for and opens the window.
  CMainDialog& OpenWith(const Scenario& s) {
    const std::string settings = Dir().Write("vtrl.ini", s.settings);
    ::chmod(settings.c_str(), s.settingsMode);
    return Open();
  }
  // Runs the row's scenario in the open window, checks what the user saw, that nothing but the
  // output was changed or left behind, and that a good run then still works.
  void CheckRow(Scenario& s);

 private:
  // The window is back to idle: enabled, and the progress window gone once the event loop
  // has had its turn.
  void ExpectIdle() {
    EXPECT_TRUE(Dialog().IsThisEnabled());
    EXPECT_TRUE(RunEventLoopUntil([] {
      return !wxWindow::FindWindowById(CProgressDialog::IdCancelButton);
    })) << "a progress window stayed";
  }
  // Every file the run could touch, but the settings file, which it rewrites on purpose (the
  // settings rows look at it themselves).
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files = Snapshot({Dir().Root()});
    files.erase(Dir().Path("vtrl.ini"));
    return files;
  }
};

void ProcessingFaultTest::CheckRow(Scenario& s) {
  const std::map<std::string, std::string> before = Files();
  if (s.diskRoom != kNoLimit) {
    Dialog().SetSaveSinkFilter([room = s.diskRoom](CByteSink& file) {
      return std::make_unique<CFullDiskSink>(file, room);
    });
  }
  if (s.editorOn) SetCheck(Id::IdOpenNotepadBox, true);
  if (s.duringRun) wxTheApp->CallAfter(s.duringRun);
  auto start = std::chrono::steady_clock::now();
  {
    CDialogAnswerer answerer;
    for (const Box& box : s.boxes) answerer.ExpectMessage(box.text, box.style, box.answer);
    Run(s.input, s.output);
    // Compared here too, so that a text that is no ASCII shows in a failure.
    const std::vector<ShownDialog>& shown = answerer.Shown();
    for (std::size_t i = 0; i < shown.size() && i < s.boxes.size(); ++i) {
      EXPECT_EQ(shown[i].message, s.boxes[i].text) << "box " << i;
    }
    for (const ShownDialog& box : shown) EXPECT_EQ(box.caption, ProgramName());
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_LE(took.count(), s.maxSeconds) << "seconds the run took";
  s.held.clear();
  Dialog().SetSaveSinkFilter(nullptr);
  ExpectIdle();

  // The result, and nothing else changed or left behind.
  std::map<std::string, std::string> after = Files();
  if (!s.written.empty()) {
    ASSERT_TRUE(after.count(s.written)) << "no output written";
    const std::string& result = after[s.written];
    if (s.source) {
      EXPECT_EQ(NonBlank(result), NonBlankAsRead(*s.source)) << "bytes lost or added";
    }
    if (s.exact) {
      EXPECT_EQ(result, *s.exact);
    }
  }
  for (const auto& [path, bytes] : before) {
    if (path == s.written) continue;
    auto found = after.find(path);
    ASSERT_NE(found, after.end()) << path << " disappeared";
    EXPECT_TRUE(found->second == bytes) << path << " was changed";
  }
  for (const auto& entry : after) {
    EXPECT_TRUE(before.count(entry.first) || entry.first == s.written)
        << "left behind: " << entry.first;
  }
  if (s.check) s.check();

  // The same window goes on working: a good run, quietly.
  SetCheck(Id::IdOpenNotepadBox, false);
  const std::string good = Dir().Write("good.js", kScript);
  const std::string goodOutput = Dir().Path("good_out.js");
  fs::remove(goodOutput);
  {
    CDialogAnswerer answerer;
    Run(good, goodOutput);
  }
  EXPECT_EQ(ReadFileBytes(goodOutput), s.goodResult);
  ExpectIdle();
}

class ProcessingFaults : public ProcessingFaultTest,
                         public ::testing::WithParamInterface<FaultRow> {};

TEST_P(ProcessingFaults, ClearMessageKeepsWorkingNoDamage) {
  const FaultRow& row = GetParam();
  if (row.needsNonRoot && ::geteuid() == 0) {
    GTEST_SKIP() << "root reads a file whatever its permission bits say";
  }
  Scenario s = row.prepare(Dir());
  OpenWith(s);
  CheckRow(s);
}

INSTANTIATE_TEST_SUITE_P(Run, ProcessingFaults, ::testing::ValuesIn([] {
                           std::vector<FaultRow> rows = InputRows();
                           for (auto part : {OutputRows, SettingsRows}) {
                             for (FaultRow& row : part()) rows.push_back(std::move(row));
                           }
                           return rows;
                         }()),
                         [](const ::testing::TestParamInfo<FaultRow>& row) {
                           return std::string(row.param.name);
                         });

// Every message of a run in a window whose every text is hostile: long, with conversions of
// every kind, mnemonics, control characters and bytes that are no UTF-8.
TEST_F(ProcessingFaultTest, HostileLanguageFileEveryMessageShown) {
  fs::create_directory(Dir().Path(kHostileFolder));
  Scenario start;
  start.settings =
      kQuiet + "LanFileName=" + Dir().Write("hostile.lng", HostileLanguageFile()) + "\n";
  OpenWith(start);
  for (const FaultRow& row : LanguageRows()) {
    SCOPED_TRACE(row.name);
    Scenario s = row.prepare(Dir());
    CheckRow(s);
  }
}

}  // namespace
}  // namespace vantorel::testing
