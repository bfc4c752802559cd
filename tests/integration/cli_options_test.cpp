// The command-line formatter's options for scripts and CI: several inputs, --in-place, --check,
// standard input, --version, and the progress bar that only a terminal gets.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "run_process.h"
#include "temp_dir.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kCli = VANTOREL_CLI;

const std::string kMessy = "if (a) { b(); }\n";
const std::string kMessyFormatted = "if (a)\n{\n  b();\n}\n";
const std::string kMessyPage = "<html><script>\nif (a) { b(); }\n</script></html>\n";
const std::string kMessyPageFormatted =
    "<html><script>\nif (a)\n{\n  b();\n}\n</script>\n</html>\n";
const std::string kFormatted = "x;\ny;\n";

// An input over the progress bar's 1 MB, and its result.
const std::string kUnit = "function f(a){if(a){return a;}}\n";
const std::string kUnitFormatted = "function f(a)\n{\n  if(a)\n  {\n    return a;\n  }\n}\n";
constexpr int kUnits = 40000;

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

// Files whose bytes and time stamps must survive a run.
struct Untouched {
  explicit Untouched(std::vector<std::string> files) : paths(std::move(files)) {
    for (const std::string& path : paths) {
      fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
      bytes.push_back(ReadFileBytes(path));
      times.push_back(fs::last_write_time(path));
    }
  }
  void Expect(const std::string& label) const {
    for (std::size_t i = 0; i < paths.size(); ++i) {
      EXPECT_EQ(ReadFileBytes(paths[i]), bytes[i]) << label << ": " << paths[i];
      EXPECT_EQ(fs::last_write_time(paths[i]), times[i]) << label << ": " << paths[i];
    }
  }
  std::vector<std::string> paths, bytes;
  std::vector<fs::file_time_type> times;
};

TEST(CliCheck, ListsWhatWouldChangeAndWritesNothing) {
  TempDir dir;
  const std::string done = dir.Write("done.js", kFormatted);
  const std::string messy = dir.Write("messy.js", kMessy);
  const std::string page = dir.Write("messy.html", kMessyPage);
  const std::string missing = dir.Path("missing.js");
  struct Case {
    std::vector<std::string> inputs;
    int status;
    std::string listed;
  };
  const std::vector<Case> cases = {
      {{done}, 0, ""},
      {{done, done}, 0, ""},
      {{messy, done, page}, 1, messy + "\n" + page + "\n"},
      // A failure outranks "would change", whichever comes first.
      {{messy, missing, page}, 4, messy + "\n" + page + "\n"},
  };
  for (const Case& c : cases) {
    Untouched files({done, messy, page});
    std::vector<std::string> args = {"--check"};
    args.insert(args.end(), c.inputs.begin(), c.inputs.end());
    ProcessResult result = RunProcess(kCli, args);
    EXPECT_EQ(result.status, c.status) << c.listed << result.err;
    EXPECT_EQ(result.out, c.listed);
    if (c.status > 1) {
      EXPECT_NE(result.err.find(missing), std::string::npos) << result.err;
    }
    files.Expect("--check " + std::to_string(c.inputs.size()));
  }
}

// Several inputs, one of which fails: the others are formatted, the failing one is left alone,
// and the status and message are the failure's.
TEST(CliSeveralInputs, EveryInputIsFormattedAndTheFailureReported) {
  enum Kind { Missing, Folder, File, ReadOnlyFile };
  struct Failure {
    const char* label;
    Kind kind;
    const char* name;
    std::string content;
    int status;
  };
  const std::vector<Failure> failures = {
      {"missing", Missing, "missing.js", "", 4},
      {"folder", Folder, "folder.js", "", 4},
      {"page without script", File, "plain.html", "<html><body>text</body></html>\n", 2},
      {"not a page", File, "notes.txt", "a { b }\n", 3},
      {"a NUL byte would be lost", File, "nul.js", "a; b;\n\0tail\n"s, 5},
      {"what follows a 0x1A would be lost", File, "eof.js", "a; b;\n\x1atail\n", 5},
      {"read-only", ReadOnlyFile, "fixed.js", "a; b;\n", 5},
  };
  // "-i" is CLI11's alias of "--in-place": one run in CliUsage shows that it is there.
  for (const char* mode : {"--in-place", ""}) {
    for (const Failure& f : failures) {
      TempDir dir;
      std::string script = dir.Write("a.js", kMessy);
      std::string page = dir.Write("c.html", kMessyPage);
      std::string done = dir.Write("done.js", kFormatted);
      std::string bad = dir.Path(f.name);
      if (f.kind == Folder) fs::create_directory(bad);
      if (f.kind == File || f.kind == ReadOnlyFile) dir.Write(f.name, f.content);
      if (f.kind == ReadOnlyFile) ::chmod(bad.c_str(), 0444);
      ::chmod(script.c_str(), 0751);
      Untouched kept(f.kind == File || f.kind == ReadOnlyFile ? std::vector<std::string>{bad, done}
                                                              : std::vector{done});
      std::vector<std::string> args = {script, bad, page, done};
      if (*mode) args.insert(args.begin(), mode);
      const std::string label = std::string(mode) + " with " + f.label;
      ProcessResult result = RunProcess(kCli, args);
      // Without --in-place the bytes are dropped from the result, as a single input does.
      const int status = *mode || f.status != 5 ? f.status : 0;
      EXPECT_EQ(result.status, status) << label << ": " << result.err;
      if (status != 0) {
        EXPECT_NE(result.err.find(bad), std::string::npos) << label;
      }
      if (*mode) {
        EXPECT_EQ(result.out, "") << label;
        EXPECT_EQ(ReadFileBytes(script), kMessyFormatted) << label;
        EXPECT_EQ(ReadFileBytes(page), kMessyPageFormatted) << label;
        EXPECT_EQ(fs::status(script).permissions(), static_cast<fs::perms>(0751)) << label;
        kept.Expect(label);
      } else if (status != 0) {
        EXPECT_EQ(result.out, kMessyFormatted + kMessyPageFormatted + kFormatted) << label;
      }
      EXPECT_EQ(std::distance(fs::directory_iterator(dir.Root()), fs::directory_iterator()),
                f.kind == Missing ? 3 : 4)
          << label << ": no temporary file left";
    }
  }
}

TEST(CliStandardInput, ReadAsScriptUnlessThePageModeSaysOtherwise) {
  struct Case {
    std::vector<std::string> args;
    std::string in;
    int status;
    std::string out;
  };
  const std::string plainPage = "<html><body>no script</body></html>";
  const std::vector<Case> cases = {
      {{"-"}, "if (a) { b(); }", 0, kMessyFormatted},
      {{"-"}, plainPage, 0, plainPage + "\n"},  // auto means script
      {{"--mode", "auto", "-"}, plainPage, 0, plainPage + "\n"},
      {{"--mode", "page", "-"}, plainPage, 2, ""},
      {{"--mode", "page", "-"}, kMessyPage, 0, kMessyPageFormatted},
      // The first line's end decides, as in a file (--eol itself: CliOutput).
      {{"-"}, "a;\r\nb;", 0, "a;\r\nb;\r\n"},
      // Any byte passes; a NUL ends its line's text and 0x1A the input, as in a file.
      {{"-"}, "s = '\xff\xfe\x80';\0junk\nt = 1;\x1atail"s, 0, "s = '\xff\xfe\x80';\nt = 1;\n"},
      {{"--check", "-"}, kFormatted, 0, ""},
      {{"--check", "-"}, kMessy, 1, "-\n"},
      {{"-", "-"}, kMessy, 6, ""},
      {{"-i", "-"}, kMessy, 6, ""},
  };
  for (const Case& c : cases) {
    ProcessResult result = RunProcess(kCli, c.args, c.in);
    EXPECT_EQ(result.status, c.status) << c.in << ": " << result.err;
    EXPECT_EQ(result.out, c.out) << c.in;
    if (c.status == 6) {
      EXPECT_NE(result.err, "");
    }
  }
  TempDir dir;
  const std::string out = dir.Path("out.js");
  EXPECT_EQ(RunProcess(kCli, {"-o", out, "-"}, kMessy).status, 0);
  EXPECT_EQ(ReadFileBytes(out), kMessyFormatted);
}

TEST(CliUsage, OutputFileTakesOneInputAndVersionComesFromTheBuild) {
  TempDir dir;
  const std::string a = dir.Write("a.js", kMessy);
  const std::string out = dir.Path("out.js");
  ProcessResult two = RunProcess(kCli, {"-o", out, a, a});
  EXPECT_EQ(two.status, 6);
  EXPECT_NE(two.err.find("one input"), std::string::npos) << two.err;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(RunProcess(kCli, {"--check", "-i", a}).status, 6);
  EXPECT_EQ(RunProcess(kCli, {"-i", a}).status, 0);
  EXPECT_EQ(ReadFileBytes(a), kMessyFormatted) << "-i formats in place";

  // -o onto the input itself, under its name or a link, refuses to drop a NUL line's tail.
  const std::string nul = dir.Write("nul.js", "a; b;\n\0tail\n"s);
  fs::create_symlink(nul, dir.Path("link.js"));
  for (const std::string& target : {nul, dir.Path("link.js")}) {
    Untouched kept({nul});
    ProcessResult same = RunProcess(kCli, {"-o", target, nul});
    EXPECT_EQ(same.status, 5) << target;
    EXPECT_NE(same.err.find("NUL"), std::string::npos) << same.err;
    kept.Expect(target);
  }
  EXPECT_EQ(RunProcess(kCli, {"-o", out, nul}).status, 0);  // another file takes the result

  ProcessResult version = RunProcess(kCli, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "vantorel-cli " VANTOREL_VERSION "\n");
}

// Runs the formatter with standard error on a terminal of its own and standard output to a file;
// gives what the terminal showed, or nothing where no terminal can be had.
std::optional<std::string> RunWithTerminal(const std::vector<std::string>& args,
                                           const std::string& outPath) {
  int terminal = -1;
  pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || ::dup2(out, 1) < 0) ::_exit(127);
    std::vector<char*> argv{const_cast<char*>(kCli.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(kCli.c_str(), argv.data());
    ::_exit(127);
  }
  if (pid < 0) return std::nullopt;
  std::string shown;
  char buffer[4096];
  // Reading ends (EIO) once the formatter has exited and the terminal has no more writers.
  for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
    shown.append(buffer, static_cast<std::size_t>(got));
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  return shown;
}

TEST(CliProgress, ShownOnlyOnATerminalAndErasedWhenDone) {
  TempDir dir;
  const std::string big = dir.Write("big.js", Repeat(kUnit, kUnits));
  const std::string expected = Repeat(kUnitFormatted, kUnits);

  ProcessResult quiet = RunProcess(kCli, {big});
  EXPECT_EQ(quiet.err, "") << "no bar when standard error is a file";
  EXPECT_EQ(quiet.out, expected);
  ProcessResult piped = RunProcess(kCli, {"-"}, Repeat(kUnit, kUnits));
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(piped.out, expected) << "standard input of any size";

  std::optional<std::string> terminal = RunWithTerminal({big}, dir.Path("out.js"));
  if (!terminal) GTEST_SKIP() << "no pseudo-terminal to be had";
  const std::string& shown = *terminal;
  EXPECT_EQ(ReadFileBytes(dir.Path("out.js")), expected) << "the bar changes nothing";
  EXPECT_NE(shown.find("big.js  ["), std::string::npos) << shown;
  EXPECT_NE(shown.find("  0%  line 1 of " + std::to_string(kUnits)), std::string::npos) << shown;
  ASSERT_GE(shown.size(), 2u);
  std::size_t lastDraw = shown.rfind('\r', shown.size() - 2);
  EXPECT_EQ(shown.back(), '\r');
  EXPECT_EQ(shown.find_first_not_of(' ', lastDraw + 1), shown.size() - 1) << "erased at the end";
}

}  // namespace
}  // namespace vantorel::testing
