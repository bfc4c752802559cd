// vantorel-window-bench: the window program's processing run on one large script, driven through
// the real main window inside its own modal loop, as a user's Run click is. It measures
//   - the whole run (read, format, save) against vantorel-cli on the same file,
//   - that the progress window's current line keeps changing during the run,
//   - how long Cancel, clicked at the progress window, takes until the run has ended and the
//     main window takes input again.
// Each measure is printed as one JSON line on standard output; the exit status is 1 when a target
// is missed, 2 when something could not be measured at all. Needs a display (xvfb-run).
//
//   vantorel-window-bench [--input FILE] [--cli-seconds S | --cli PATH] [--output FILE]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_layout.h"
#include "main_dialog.h"
#include "progress_dialog.h"

extern char** environ;

namespace {

using namespace vantorel;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Targets.
constexpr double kMaxRatioToCli = 1.3;
constexpr double kMaxCancelSeconds = 0.2;
// The current line keeps updating: it changes during a run, and never stands still for long. A
// count of lines alone would measure the engine's speed: a run of a fixed input shows fewer of
// them the faster it ends.
constexpr int kMinLinesShown = 2;
constexpr double kMaxStillSeconds = 0.2;

// How often the progress window's current line is looked at; it can change only when the run
// lets the event loop turn, which is what is being watched.
constexpr std::chrono::milliseconds kSampleInterval{5};

// The library sources a generated input is made of, as Debian ships them.
constexpr const char* kLibraries[] = {
    "/usr/share/javascript/jquery/jquery.js",
    "/usr/share/javascript/jquery-ui/jquery-ui.js",
    "/usr/share/javascript/codemirror/lib/codemirror.js",
    "/usr/share/nodejs/lodash/lodash.js",
    "/usr/share/javascript/chart.js/chart.js",
    "/usr/share/javascript/prototype/prototype.js",
    "/usr/share/javascript/underscore/underscore.js",
};

struct BenchOptions {
  std::string input;  // empty: generate one
  double sizeMb = 20;
  int runs = 9;
  int warmups = 1;
  int cancelRuns = 5;
  double cancelAfter = 0;  // 0: a third of the median run measured before
  double cliSeconds = 0;   // 0: not given
  std::string cli;
  std::string output;  // empty: a temporary file
};

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double CpuSeconds(const rusage& usage) {
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// User and system time of this process so far.
double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return CpuSeconds(usage);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Max(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// One JSON object on one line, fields in the order they are added.
class CJsonLine {
 public:
  CJsonLine& Add(const char* key, const std::string& value) { return Raw(key, JsonString(value)); }
  CJsonLine& Add(const char* key, const char* value) { return Add(key, std::string(value)); }
  CJsonLine& Add(const char* key, double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.4f", value);
    return Raw(key, number);
  }
  CJsonLine& Add(const char* key, int value) { return Raw(key, std::to_string(value)); }
  CJsonLine& Add(const char* key, long long value) { return Raw(key, std::to_string(value)); }
  CJsonLine& Add(const char* key, bool value) { return Raw(key, value ? "true" : "false"); }
  CJsonLine& Null(const char* key) { return Raw(key, "null"); }
  void Print() const {
    std::printf("{%s}\n", fields_.c_str());
    std::fflush(stdout);
  }

 private:
  CJsonLine& Raw(const char* key, const std::string& value) {
    if (!fields_.empty()) fields_ += ", ";
    fields_ += JsonString(key) + ": " + value;
    return *this;
  }
  std::string fields_;
};

void Say(const std::string& text) {
  std::fprintf(stderr, "window bench: %s\n", text.c_str());
}

// Library sources one after the other, ";" between them, round after round until the file holds
// at least `bytes` bytes. False when no library is installed or the file cannot be written.
bool GenerateScript(const std::string& name, std::uintmax_t bytes) {
  std::vector<std::string> sources;
  for (const char* path : kLibraries) {
    std::ifstream in(path, std::ios::binary);
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    if (!text.str().empty()) sources.push_back(text.str());
  }
  if (sources.empty()) {
    Say("none of the library files is installed (libjs-jquery and the like)");
    return false;
  }
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  std::uintmax_t written = 0;
  while (out && written < bytes) {
    for (const std::string& source : sources) {
      out << source << ";\n";
      written += source.size() + 2;
      if (written >= bytes) break;
    }
  }
  out.close();
  return static_cast<bool>(out);
}

// Answers the run's modal questions at once, as a user who says Yes to overwriting, and notes
// every message with the moment it came and whether the main window took input by then.
class CMessageAnswerer : public wxModalDialogHook {
 public:
  struct Message {
    std::string text;
    Clock::time_point when;
    bool mainEnabled = false;
    bool question = false;  // Yes or No, as the overwrite question
  };

  explicit CMessageAnswerer(const wxWindow& main) : m_main(main) { Register(); }

  void Clear() { m_messages.clear(); }
  const std::vector<Message>& Messages() const { return m_messages; }

 protected:
  int Enter(wxDialog* dialog) override {
    if (dynamic_cast<CMainDialog*>(dialog)) return wxID_NONE;  // the window under test
    Message message{FromWx(dialog->GetTitle()), Clock::now(), m_main.IsThisEnabled()};
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    if (box) {
      message.text = FromWx(box->GetMessage());
      message.question = (box->GetMessageDialogStyle() & wxYES_NO) != 0;
    }
    m_messages.push_back(message);
    if (message.question) return wxID_YES;
    return box ? wxID_OK : wxID_CANCEL;
  }

 private:
  const wxWindow& m_main;
  std::vector<Message> m_messages;
};

// What one run showed in its progress window, and, when asked to, its Cancel click.
struct RunRecord {
  double seconds = 0;     // from the Run click until the handler returned
  double cpuSeconds = 0;  // user and system time of this process meanwhile
  int linesShown = 0;     // distinct current-line texts seen
  double longestStill = 0;
  bool pressed = false;
  Clock::time_point pressedAt;
  double pressedAfter = 0;  // seconds from the Run click
};

// Watches the progress window while a run goes on, from a timer that fires whenever the run
// lets the event loop turn, and clicks its Cancel button once `cancelAfter` has passed.
class CProgressWatcher : public wxTimer {
 public:
  CProgressWatcher(RunRecord& record, Clock::time_point started, std::optional<double> cancelAfter)
      : m_record(record), m_started(started), m_cancelAfter(cancelAfter) {}

  void Notify() override {
    CProgressDialog* progress = FindProgressDialog();
    Clock::time_point now = Clock::now();
    if (!progress) {
      EndStill(now);
      return;
    }
    auto* line =
        dynamic_cast<wxStaticText*>(progress->FindWindow(CProgressDialog::IdCurrentLineText));
    std::string text = line ? FromWx(line->GetLabel()) : std::string();
    if (!m_seen || text != m_text) {
      EndStill(now);
      m_seen = true;
      m_text = text;
      m_since = now;
      m_texts.insert(text);
      m_record.linesShown = static_cast<int>(m_texts.size());
    }
    if (!m_cancelAfter || m_record.pressed) return;
    if (!m_pointed) {
      PointAtCancel(*progress);
    } else if (Seconds(now - m_started) >= *m_cancelAfter) {
      PressCancel();
    }
  }

  // Closes the last stretch without a change, once the run is over.
  void Finish() { EndStill(Clock::now()); }

 private:
  static CProgressDialog* FindProgressDialog() {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* progress = dynamic_cast<CProgressDialog*>(window);
      if (progress && progress->IsShown() && !wxTheApp->IsScheduledForDestruction(progress)) {
        return progress;
      }
    }
    return nullptr;
  }

  void EndStill(Clock::time_point now) {
    if (!m_seen) return;
    m_record.longestStill = std::max(m_record.longestStill, Seconds(now - m_since));
    m_seen = false;
  }

  // A user's click, through the display server and the event loop: the pointer rests on Cancel
  // from the moment the window shows, and the click is taken to happen as the button is
  // released (where a button acts). The input simulator waits a little after each step, so the
  // latency measured is, if anything, a few milliseconds too long.
  static wxPoint CancelCentre(CProgressDialog& progress) {
    wxWindow* button = progress.FindWindow(CProgressDialog::IdCancelButton);
    if (!button) return wxDefaultPosition;
    wxRect rect = button->GetScreenRect();
    return wxPoint(rect.GetX() + rect.GetWidth() / 2, rect.GetY() + rect.GetHeight() / 2);
  }

  void PointAtCancel(CProgressDialog& progress) {
    wxPoint centre = CancelCentre(progress);
    if (centre == wxDefaultPosition) return;
    wxUIActionSimulator().MouseMove(centre);
    m_pointed = true;
  }

  void PressCancel() {
    wxUIActionSimulator mouse;
    mouse.MouseDown();
    m_record.pressed = true;
    m_record.pressedAt = Clock::now();
    m_record.pressedAfter = Seconds(m_record.pressedAt - m_started);
    mouse.MouseUp();
  }

  RunRecord& m_record;
  Clock::time_point m_started;
  std::optional<double> m_cancelAfter;
  bool m_pointed = false;
  std::set<std::string> m_texts;
  bool m_seen = false;
  std::string m_text;
  Clock::time_point m_since;
};

// Drives the main window: names in the edits, a click on Run, the questions answered.
class CWindowDriver {
 public:
  explicit CWindowDriver(CMainDialog& dialog) : m_dialog(dialog), m_answerer(dialog) {}

  RunRecord Run(const std::string& input, const std::string& output,
                std::optional<double> cancelAfter = std::nullopt) {
    SetEdit(CMainDialog::IdInputEdit, input);
    SetEdit(CMainDialog::IdOutputEdit, output);
    m_answerer.Clear();
    RunRecord record;
    Clock::time_point started = Clock::now();
    const double cpuStarted = CpuSeconds();
    CProgressWatcher watcher(record, started, cancelAfter);
    watcher.Start(static_cast<int>(kSampleInterval.count()));
    wxWindow* run = m_dialog.FindWindow(CMainDialog::IdRunButton);
    wxCommandEvent click(wxEVT_BUTTON, CMainDialog::IdRunButton);
    click.SetEventObject(run);
    run->GetEventHandler()->ProcessEvent(click);
    record.seconds = Seconds(Clock::now() - started);
    record.cpuSeconds = CpuSeconds() - cpuStarted;
    watcher.Stop();
    watcher.Finish();
    Settle();
    return record;
  }

  const std::vector<CMessageAnswerer::Message>& Messages() const { return m_answerer.Messages(); }
  bool MainEnabled() const { return m_dialog.IsThisEnabled(); }

  // Lets the destroyed progress window go and the main window repaint before the next run.
  static void Settle() {
    Clock::time_point end = Clock::now() + std::chrono::milliseconds(100);
    while (Clock::now() < end) {
      wxTheApp->Yield(true);
      wxTheApp->ProcessIdle();
      wxMilliSleep(5);
    }
  }

 private:
  void SetEdit(int id, const std::string& text) {
    auto* edit = dynamic_cast<wxTextCtrl*>(m_dialog.FindWindow(id));
    if (edit) edit->ChangeValue(ToWx(text));
  }

  CMainDialog& m_dialog;
  CMessageAnswerer m_answerer;
};

struct ProcessTime {
  double seconds = 0;
  double cpuSeconds = 0;
};

// One run of vantorel-cli writing the same file the window writes (CR LF line ends, as the
// window's); its times, or nullopt when it could not be started or failed.
std::optional<ProcessTime> TimeCli(const std::string& cli, const std::string& input,
                                   const std::string& output) {
  std::vector<std::string> args = {cli, "--eol", "crlf", "-o", output, input};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  Clock::time_point started = Clock::now();
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  ProcessTime time{Seconds(Clock::now() - started), CpuSeconds(usage)};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return time;
}

// The three measures, in the main window's own modal loop; the exit status.
class CBenchmark {
 public:
  CBenchmark(const BenchOptions& options, CMainDialog& dialog, std::string input,
             std::string output, std::string folder)
      : m_options(options),
        m_driver(dialog),
        m_input(std::move(input)),
        m_output(std::move(output)),
        m_folder(std::move(folder)) {}

  int Run() {
    int status = 0;
    status = std::max(status, MeasureRuns());
    status = std::max(status, MeasureCancel());
    return status;
  }

 private:
  // The whole run, several times (the CLI's alternating with it when it is timed here), and
  // what its progress window showed.
  int MeasureRuns() {
    std::vector<double> window;
    std::vector<double> windowCpu;
    std::vector<double> cli;
    std::vector<double> cliCpu;
    std::vector<double> lines;
    std::vector<double> still;
    std::string failure;
    const std::string cliOutput = m_folder + "/cli-out.js";
    for (int i = 0; i < m_options.warmups + m_options.runs && failure.empty(); ++i) {
      const bool counted = i >= m_options.warmups;
      if (!m_options.cli.empty() && m_options.cliSeconds <= 0) {
        std::optional<ProcessTime> t = TimeCli(m_options.cli, m_input, cliOutput);
        if (!t) {
          failure = "vantorel-cli failed on the input";
          break;
        }
        if (counted) {
          cli.push_back(t->seconds);
          cliCpu.push_back(t->cpuSeconds);
        }
      }
      RunRecord record = m_driver.Run(m_input, m_output);
      failure = RunFailure();
      if (!failure.empty()) break;
      if (!counted) continue;
      window.push_back(record.seconds);
      windowCpu.push_back(record.cpuSeconds);
      lines.push_back(record.linesShown);
      still.push_back(record.longestStill);
      Say("run " + std::to_string(i - m_options.warmups + 1) + ": " +
          std::to_string(record.seconds) + " s, " + std::to_string(record.linesShown) +
          " current lines shown");
    }
    fs::remove(cliOutput);
    if (!window.empty()) m_medianRun = Median(window);

    CJsonLine time;
    time.Add("measure", "window_time").Add("input", m_input);
    CJsonLine shown;
    shown.Add("measure", "current_line").Add("input", m_input);
    if (!failure.empty()) {
      time.Add("status", "failed").Add("note", failure).Print();
      shown.Add("status", "failed").Add("note", failure).Print();
      return 2;
    }
    int status = 0;
    std::error_code error;
    time.Add("status", "ok")
        .Add("bytes", static_cast<long long>(fs::file_size(m_input, error)))
        .Add("runs", static_cast<int>(window.size()))
        .Add("median_s", Median(window))
        .Add("min_s", *std::min_element(window.begin(), window.end()))
        .Add("max_s", Max(window))
        .Add("cpu_median_s", Median(windowCpu));
    double cliSeconds = m_options.cliSeconds > 0 ? m_options.cliSeconds : Median(cli);
    if (cliSeconds > 0) {
      double ratio = Median(window) / cliSeconds;
      bool pass = ratio <= kMaxRatioToCli;
      time.Add("cli_median_s", cliSeconds)
          .Add("cli_source", m_options.cliSeconds > 0 ? "given" : "measured");
      if (!cliCpu.empty()) time.Add("cli_cpu_median_s", Median(cliCpu));
      time.Add("ratio", ratio).Add("target_ratio", kMaxRatioToCli).Add("pass", pass);
      if (!pass) status = 1;
    } else {
      time.Null("cli_median_s").Null("ratio").Add("target_ratio", kMaxRatioToCli).Null("pass");
    }
    time.Print();

    int fewest = static_cast<int>(*std::min_element(lines.begin(), lines.end()));
    bool pass = fewest >= kMinLinesShown && Max(still) <= kMaxStillSeconds;
    shown.Add("status", "ok")
        .Add("runs", static_cast<int>(lines.size()))
        .Add("lines_shown_min", fewest)
        .Add("lines_shown_median", Median(lines))
        .Add("longest_still_s", Max(still))
        .Add("target_min_lines", kMinLinesShown)
        .Add("target_max_still_s", kMaxStillSeconds)
        .Add("pass", pass)
        .Print();
    if (!pass) status = 1;
    return status;
  }

  // Cancel clicked a while into a run: the time until the run has ended (its message is up) with
  // the main window taking input again, and nothing written.
  int MeasureCancel() {
    const std::string output = m_folder + "/cancelled-out.js";
    std::vector<double> latencies;
    std::vector<double> pressedAfter;
    std::string failure;
    // Well inside a run, however fast runs have become.
    const double cancelAfter = m_options.cancelAfter > 0
                                   ? m_options.cancelAfter
                                   : (m_medianRun > 0 ? m_medianRun / 3 : 0.1);
    for (int i = 0; i < m_options.cancelRuns && failure.empty(); ++i) {
      RunRecord record = m_driver.Run(m_input, output, cancelAfter);
      const auto& messages = m_driver.Messages();
      if (!record.pressed) {
        failure = "the run ended before Cancel could be clicked";
      } else if (messages.size() != 1) {
        failure = messages.empty() ? "the run was not cancelled"
                                   : "unexpected message: " + messages.back().text;
      } else if (messages[0].when < record.pressedAt) {
        failure = "the run ended before the click: " + messages[0].text;
      } else if (!messages[0].mainEnabled) {
        failure = "the main window was still disabled when the run ended";
      } else if (fs::exists(output)) {
        failure = "a cancelled run wrote its output";
      } else {
        latencies.push_back(Seconds(messages[0].when - record.pressedAt));
        pressedAfter.push_back(record.pressedAfter);
        Say("cancel " + std::to_string(i + 1) + ": clicked after " +
            std::to_string(record.pressedAfter) + " s, ended " + std::to_string(latencies.back()) +
            " s later");
      }
    }
    fs::remove(output);

    CJsonLine line;
    line.Add("measure", "cancel").Add("input", m_input);
    if (!failure.empty()) {
      line.Add("status", "failed").Add("note", failure).Print();
      return 2;
    }
    bool pass = Max(latencies) <= kMaxCancelSeconds;
    line.Add("status", "ok")
        .Add("runs", static_cast<int>(latencies.size()))
        .Add("pressed_after_s", Median(pressedAfter))
        .Add("median_s", Median(latencies))
        .Add("max_s", Max(latencies))
        .Add("target_s", kMaxCancelSeconds)
        .Add("pass", pass)
        .Print();
    return pass ? 0 : 1;
  }

  // Why the last run did not end as a good run does; empty when it did.
  std::string RunFailure() const {
    for (const auto& message : m_driver.Messages()) {
      if (!message.question) return "the run showed: " + message.text;
    }
    std::error_code error;
    if (fs::file_size(m_output, error) == 0 || error) return "the run wrote no output";
    if (!m_driver.MainEnabled()) return "the main window stayed disabled";
    return std::string();
  }

  const BenchOptions& m_options;
  CWindowDriver m_driver;
  std::string m_input;
  std::string m_output;
  std::string m_folder;
  double m_medianRun = 0;  // seconds, once the whole runs are measured
};

// The settings file that the main window reads from the current folder: no editor started after
// a run, every layout option at its default (those of vantorel-cli).
bool WriteSettings(const std::string& folder) {
  std::ofstream out(folder + "/vtrl.ini", std::ios::binary);
  out << "[Common]\r\nOpenInNotePad=0\r\nRunAfterDrop=0\r\n";
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  wxDISABLE_DEBUG_SUPPORT();
  BenchOptions options;
  CLI::App app{"Times the window program's processing run and its Cancel (needs a display)"};
  app.add_option("--input", options.input, "Script to format (.js); default: one generated")
      ->check(CLI::ExistingFile);
  app.add_option("--size-mb", options.sizeMb, "Size of the generated script")
      ->check(CLI::Range(0.01, 10000.0))
      ->capture_default_str();
  app.add_option("--runs", options.runs, "Timed runs")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  app.add_option("--warmup", options.warmups, "Untimed runs first")
      ->check(CLI::Range(0, 100))
      ->capture_default_str();
  app.add_option("--cancel-runs", options.cancelRuns, "Runs cancelled")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  app.add_option("--cancel-after", options.cancelAfter,
                 "Seconds into a run to click Cancel (0: a third of the median run)")
      ->check(CLI::Range(0.0, 60.0))
      ->capture_default_str();
  auto* given = app.add_option("--cli-seconds", options.cliSeconds,
                               "vantorel-cli's time on the input (--eol crlf -o FILE), to compare")
                    ->check(CLI::PositiveNumber);
  app.add_option("--cli", options.cli, "vantorel-cli to time here, alternating with the window")
      ->check(CLI::ExistingFile)
      ->excludes(given);
  app.add_option("--output", options.output, "Where the window writes (kept); default: removed");
  CLI11_PARSE(app, argc, argv);

  std::error_code error;
  fs::path tmp = fs::temp_directory_path(error);
  std::string pattern = (error ? fs::path("/tmp") : tmp).string() + "/vantorel-window.XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    Say("cannot create a temporary folder");
    return 2;
  }
  const std::string folder = pattern;
  std::string input =
      options.input.empty() ? folder + "/libs.js" : fs::absolute(options.input).string();
  std::string output =
      options.output.empty() ? folder + "/window-out.js" : fs::absolute(options.output).string();
  // The program runs in the temporary folder: a relative path given for vantorel-cli would no
  // longer lead to it.
  if (!options.cli.empty()) options.cli = fs::absolute(options.cli).string();
  auto cleanup = [&] { fs::remove_all(folder, error); };
  if (options.input.empty()) {
    Say("generating " + input);
    if (!GenerateScript(input, static_cast<std::uintmax_t>(options.sizeMb * 1e6))) {
      cleanup();
      return 2;
    }
  }
  // The main window reads and writes its settings in the current folder.
  fs::current_path(folder, error);
  if (error || !WriteSettings(folder)) {
    Say("cannot write the settings file in " + folder);
    cleanup();
    return 2;
  }

  int wxArgc = 1;
  char* wxArgv[] = {argv[0], nullptr};
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(wxArgc, wxArgv)) {
    Say("no display: run it under xvfb-run");
    cleanup();
    return 2;
  }
  int status = 2;
  {
    CMainDialog dialog;
    CBenchmark benchmark(options, dialog, input, output, folder);
    // Runs from within the main window's modal loop, as the program's Run clicks do.
    dialog.CallAfter([&] {
      CWindowDriver::Settle();
      status = benchmark.Run();
      dialog.EndModal(wxID_OK);
    });
    dialog.ShowModal();
  }
  wxEntryCleanup();
  cleanup();
  return status;
}
