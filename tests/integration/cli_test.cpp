// The command-line formatter as a user runs it: whole files in, text and exit status out.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_process.h"
#include "temp_dir.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kCli = VANTOREL_CLI;
const fs::path kGolden = fs::path(VANTOREL_SOURCE_DIR) / "tests" / "golden";

std::vector<std::string> SplitArgs(const std::string& text) {
  std::vector<std::string> args;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\n') {
      if (!word.empty()) args.push_back(word);
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) args.push_back(word);
  return args;
}

// Every NAME.in.EXT under tests/golden formats, with the options in NAME.args, to NAME.out; and
// formatting that output again changes nothing.
TEST(CliGolden, EveryCaseMatchesAndIsStable) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kGolden)) {
    std::string file = entry.path().filename().string();
    std::size_t in = file.find(".in.");
    if (in == std::string::npos) continue;
    ++cases;
    std::string name = file.substr(0, in);
    std::string ext = file.substr(in + 3);
    std::vector<std::string> args = SplitArgs(ReadFileBytes((kGolden / (name + ".args")).string()));
    std::string expected = ReadFileBytes((kGolden / (name + ".out")).string());

    std::vector<std::string> first = args;
    first.push_back(entry.path().string());
    ProcessResult result = RunProcess(kCli, first);
    EXPECT_EQ(result.status, 0) << file << ": " << result.err;
    EXPECT_EQ(result.err, "") << file;
    EXPECT_EQ(result.out, expected) << file;

    TempDir dir;
    std::vector<std::string> again = args;
    again.push_back(dir.Write("again" + ext, expected));
    EXPECT_EQ(RunProcess(kCli, again).out, expected) << file << " formatted a second time";
  }
  EXPECT_GE(cases, 5);
}

struct StatusCase {
  const char* label;
  const char* fileName;  // written into a temporary folder; empty: none
  const char* content;
  std::vector<std::string> args;  // "@" stands for the file's path
  int status;
  const char* message;  // expected standard error, "@" replaced by the file's path
};

std::string Substitute(std::string text, const std::string& path) {
  for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, path);
  return text;
}

TEST(CliStatus, EachOutcomeHasItsStatusAndMessage) {
  const std::vector<StatusCase> cases = {
      {"script", "a.js", "x = 1;", {"@"}, 0, ""},
      {"upper-case extension is a script", "a.JS", "x = 1;", {"@"}, 0, ""},
      {"empty script", "e.js", "", {"@"}, 0, ""},
      {"page", "p.htm", "<html><script>x</script>", {"@"}, 0, ""},
      {"no script block", "p.html", "<html><body>text</body></html>", {"@"}, 2,
       "No one tag <script> was found in file: @\n"},
      {"only a VBScript block", "v.html", "<html><script language=vbscript>x</script>", {"@"}, 2,
       "No one tag <script> was found in file: @\n"},
      {"not a page", "p.txt", "<script>x = 1;</script>", {"@"}, 3,
       "The file @ is unknown type\n"},
      {"empty page", "e.html", "", {"@"}, 3, "The file @ is unknown type\n"},
      {"script forced to page", "a.js", "x = 1;", {"--mode", "page", "@"}, 3,
       "The file @ is unknown type\n"},
      {"missing input", "", "", {"@missing.js"}, 4,
       "Error occurred during opening file: @missing.js\n"},
      {"folder as input", "", "", {"@"}, 4, "Error occurred during opening file: @\n"},
      {"indent above 8", "a.js", "x;", {"--indent", "9", "@"}, 6, nullptr},
      {"negative indent", "a.js", "x;", {"--indent", "-1", "@"}, 6, nullptr},
      {"unknown brace style", "a.js", "x;", {"--brace", "left", "@"}, 6, nullptr},
      {"unknown mode", "a.js", "x;", {"--mode", "xml", "@"}, 6, nullptr},
      {"unknown option", "a.js", "x;", {"--frobnicate", "@"}, 6, nullptr},
      {"no input", nullptr, "", {}, 6, nullptr},
  };
  for (const StatusCase& c : cases) {
    TempDir dir;
    std::string path = dir.Root().string() + "/";
    if (c.fileName && *c.fileName) path = dir.Write(c.fileName, c.content);
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Substitute(arg, path));
    ProcessResult result = RunProcess(kCli, args);
    EXPECT_EQ(result.status, c.status) << c.label << ": " << result.err;
    if (c.message) {
      EXPECT_EQ(result.err, Substitute(c.message, path)) << c.label;
    }
    if (c.status != 0) {
      EXPECT_EQ(result.out, "") << c.label << ": nothing may be written";
    }
    if (c.status == 6) {
      EXPECT_NE(result.err, "") << c.label << ": a usage error says why";
    }
  }
}

TEST(CliStatus, HelpNamesEveryOptionAndStatus) {
  ProcessResult result = RunProcess(kCli, {"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* word : {"--output", "--indent", "--tabs", "--spaces", "--brace", "--mode",
                           "--eol", "--settings FILE", "--lang FILE", "vtrl.ini", "same-line",
                           "0  done", "2  ", "3  ", "4  ", "5  ", "6  ", "NUL"})
    EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

struct EolCase {
  const char* input;
  const char* eol;
  const char* expected;
};

TEST(CliOutput, LineEndsFollowTheOption) {
  const std::vector<EolCase> cases = {
      {"a;\nb;\n", "auto", "a;\nb;\n"},
      {"a;\r\nb;\n", "auto", "a;\r\nb;\r\n"},
      {"a;\nb;\r\n", "auto", "a;\nb;\n"},
      {"a;\nb;", "crlf", "a;\r\nb;\r\n"},
      {"a;\r\nb;\r\n", "lf", "a;\nb;\n"},
      {"a;\rb;\r\n", "lf", "a;\nb;\n"},  // a lone CR is white space, not a line end
  };
  for (const EolCase& c : cases) {
    TempDir dir;
    ProcessResult result = RunProcess(kCli, {"--eol", c.eol, dir.Write("in.js", c.input)});
    EXPECT_EQ(result.out, c.expected) << c.input << " with --eol " << c.eol;
  }
}

TEST(CliOutput, InputMayBeItsOwnOutput) {
  TempDir dir;
  std::string file = dir.Write("same.js", "a; b;\n");
  ::chmod(file.c_str(), 0640);
  EXPECT_EQ(RunProcess(kCli, {"--output", file, file}).status, 0);
  EXPECT_EQ(ReadFileBytes(file), "a;\nb;\n");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

// A save that fails is a row of the fault matrix (tests/faults); so are an output in a missing
// folder and one that is a folder.
TEST(CliOutput, AnUnfinishedRunLeavesTheOutputAlone) {
  TempDir dir;
  std::string in = dir.Write("page.html", "<html><body>no script</body></html>");
  std::string old = dir.Write("old.html", "precious");
  EXPECT_EQ(RunProcess(kCli, {"-o", old, in}).status, 2);
  EXPECT_EQ(ReadFileBytes(old), "precious");
}

}  // namespace
}  // namespace vantorel::testing
