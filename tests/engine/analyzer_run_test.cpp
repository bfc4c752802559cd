// Run as a whole: result codes, progress reporting, cancellation (the helpers that decide the
// mode and fill in the progress text have tests of their own: file_names_test, text_template_test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer_progress.h"
#include "engine_test_util.h"
#include "line_file.h"

namespace vantorel::testing {
namespace {

// Records every call as text. Counts tokens by PumpMessages (one per token read) and reports
// the run cancelled once cancelAfter tokens have been read.
class RecordingProgress : public CAnalyzerProgress {
 public:
  bool IsCancelled() override { return cancelAfter >= 0 && pumps >= cancelAfter; }
  void ShowCurrentLine(const std::string& text) override { calls.push_back("show " + text); }
  void SetRange(long long upper) override { calls.push_back("range " + std::to_string(upper)); }
  void SetPosition(long long position) override {
    calls.push_back("pos " + std::to_string(position));
  }
  bool PumpMessages() override {
    ++pumps;
    return !quitting;
  }

  std::vector<std::string> calls;
  int pumps = 0;
  int cancelAfter = -1;
  bool quitting = false;
};

TEST(AnalyzerRun, ResultCodes) {
  const struct {
    const char* label;
    Lines input;
    InputKind kind;
    int result;
  } cases[] = {
      {"empty script", {}, InputKind::Script, ResultDone},
      {"script that looks like a page", {"<html>x</html>"}, InputKind::Script, ResultDone},
      {"empty page", {}, InputKind::Page, ResultNotPage},
      {"page without script", {"<html>", "<p>x</p>", "</html>"}, InputKind::Page, ResultNoScript},
      {"page with script", {"<body><script>a;</script></body>"}, InputKind::Page, ResultDone},
      {"scripts only", {"<script>a;</script>"}, InputKind::Page, ResultNotPage},
      {"VBScript only",
       {"<head><script language=vbscript>a</script>"},
       InputKind::Page,
       ResultNoScript},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(RunAnalyzer(c.input, DefaultLayout(), c.kind).result, c.result);
  }
}

TEST(AnalyzerRun, FlagsTellWhatThePageHeld) {
  CLineArray input = ToLineArray({"<script>a;</script>"});
  CLineArray output;
  CScriptAnalyzer analyzer;
  analyzer.SetPageMode(true);
  EXPECT_EQ(analyzer.Run(input, output), ResultNotPage);
  EXPECT_TRUE(analyzer.ScriptFound());
  EXPECT_FALSE(analyzer.PageTagSeen());
}

TEST(AnalyzerRun, OutputIsAppendedTo) {
  CLineArray input = ToLineArray({"a;b;"});
  CLineArray output = ToLineArray({"kept"});
  CScriptAnalyzer analyzer;
  EXPECT_EQ(analyzer.Run(input, output), ResultDone);
  EXPECT_EQ(FromLineArray(output), (Lines{"kept", "a;", "b;"}));
}

// The lean pass for whole scripts and the general path report progress alike.
const struct {
  const char* label;
  bool fastPath;
} kPaths[] = {{"lean pass", true}, {"general path", false}};

TEST(AnalyzerProgress, FirstLineIsShownAsZeroBeforeAnyToken) {
  for (const auto& path : kPaths) {
    SCOPED_TRACE(path.label);
    RecordingProgress progress;
    RunAnalyzer({"ab;"}, DefaultLayout(), InputKind::Script, &progress, path.fastPath);
    // Tokens of line 0: "ab" at 0, ";" at 2, the end of line with the ";" column.
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"show Current Line: 0", "pos 0", "pos 2", "pos 2"}));
    EXPECT_EQ(progress.pumps, 3);
  }
}

TEST(AnalyzerProgress, NewLineSetsTextRangeAndPosition) {
  for (const auto& path : kPaths) {
    SCOPED_TRACE(path.label);
    RecordingProgress progress;
    RunAnalyzer({"a;", "", "", "", "", "   bb;"}, DefaultLayout(), InputKind::Script, &progress,
                path.fastPath);
    auto line5 = std::find(progress.calls.begin(), progress.calls.end(), "show Current Line: 5");
    ASSERT_NE(line5, progress.calls.end());
    // The first token of line 5 is the gap before "bb", at column 3.
    EXPECT_EQ(std::vector<std::string>(line5, progress.calls.end()),
              (std::vector<std::string>{"show Current Line: 5", "range 6", "pos 0", "pos 3",
                                        "pos 3", "pos 5", "pos 5"}));
    // Line 0 keeps the range the display had; every later line gets its own.
    EXPECT_EQ(std::count_if(progress.calls.begin(), progress.calls.end(),
                            [](const std::string& call) { return call.rfind("range", 0) == 0; }),
              5);
    EXPECT_EQ(progress.calls.front(), "show Current Line: 0");
  }
}

TEST(AnalyzerProgress, CurrentLineFormatIsFilledIn) {
  for (const auto& path : kPaths) {
    SCOPED_TRACE(path.label);
    RecordingProgress progress;
    CLineArray input = ToLineArray({"a;", "b;"});
    CLineArray output;
    CScriptAnalyzer analyzer;
    analyzer.SetProgress(&progress);
    analyzer.SetProgressInterval(1);
    analyzer.SetFastPath(path.fastPath);
    analyzer.SetCurrentLineFormat("Zeile %d von %s");
    analyzer.Run(input, output);
    EXPECT_EQ(analyzer.FastPathUsed(), path.fastPath);
    EXPECT_EQ(progress.calls.front(), "show Zeile 0 von %s");
    EXPECT_NE(std::find(progress.calls.begin(), progress.calls.end(), "show Zeile 1 von %s"),
              progress.calls.end());
  }
}

TEST(AnalyzerProgress, CancelStopsTheRunBetweenTwoTokens) {
  Lines input(50, "a;");
  const struct {
    const char* label;
    InputKind kind;
    bool fastPath;
  } runs[] = {{"script, lean pass", InputKind::Script, true},
              {"script, general path", InputKind::Script, false},
              {"page", InputKind::Page, true}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.label);
    Lines page = input;
    if (run.kind == InputKind::Page) page.front() = "<html><script>";
    RecordingProgress progress;
    progress.cancelAfter = 10;
    RunOutcome outcome = RunAnalyzer(page, DefaultLayout(), run.kind, &progress, run.fastPath);
    EXPECT_EQ(outcome.result, ResultCancelled);
    // The token read after the cancel is not worked on.
    EXPECT_EQ(progress.pumps, 10);
    EXPECT_LT(outcome.output.size(), 10u);
    EXPECT_FALSE(outcome.output.empty());
  }
}

TEST(AnalyzerProgress, CancelledFromTheStartReadsNothingFurther) {
  for (const auto& path : kPaths) {
    SCOPED_TRACE(path.label);
    RecordingProgress progress;
    progress.cancelAfter = 0;
    RunOutcome outcome =
        RunAnalyzer({"a;", "b;"}, DefaultLayout(), InputKind::Script, &progress, path.fastPath);
    EXPECT_EQ(outcome.result, ResultCancelled);
    EXPECT_EQ(outcome.output, Lines{});
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"show Current Line: 0"}));
  }

  RecordingProgress pageProgress;
  pageProgress.cancelAfter = 0;
  EXPECT_EQ(RunAnalyzer({"<html>", "<script>a;</script>"}, DefaultLayout(), InputKind::Page,
                        &pageProgress)
                .result,
            ResultCancelled);
}

// Between two reports lie `interval` tokens: the first token is reported, then every
// interval-th; a cancel is noticed at the next report.
TEST(AnalyzerProgress, ReportsComeEveryIntervalTokens) {
  Lines script(1000, "a;");  // three tokens per line: "a", ";" and the end of line
  Lines page = script;
  page.front() = "<html><script>";
  const struct {
    const char* label;
    const Lines* input;
    InputKind kind;
    bool fastPath;
  } runs[] = {{"script, lean pass", &script, InputKind::Script, true},
              {"script, general path", &script, InputKind::Script, false},
              {"page", &page, InputKind::Page, true}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.label);
    RecordingProgress all;
    RunAnalyzer(*run.input, DefaultLayout(), run.kind, &all, run.fastPath, 1);
    for (int interval : {7, 100}) {
      RecordingProgress some;
      RunAnalyzer(*run.input, DefaultLayout(), run.kind, &some, run.fastPath, interval);
      EXPECT_EQ(some.pumps, (all.pumps + interval - 1) / interval) << interval;
      RecordingProgress cancelling;
      cancelling.cancelAfter = 3;
      EXPECT_EQ(RunAnalyzer(*run.input, DefaultLayout(), run.kind, &cancelling, run.fastPath,
                            interval)
                    .result,
                ResultCancelled);
      EXPECT_EQ(cancelling.pumps, 3);
    }
  }
}

TEST(AnalyzerProgress, QuittingDoesNotStopTheRun) {
  const Lines input = {"<html><script>", "if (a) {b;}", "</script></html>"};
  RecordingProgress progress;
  progress.quitting = true;
  RunOutcome outcome = RunAnalyzer(input, DefaultLayout(), InputKind::Page, &progress);
  EXPECT_EQ(outcome.result, ResultDone);
  EXPECT_EQ(outcome.output,
            (Lines{"<html><script>", "if (a)", "{", "    b;", "}", "</script>", "</html>"}));
  EXPECT_GT(progress.pumps, 10);
}

// A real page from a Debian package: nothing but blanks and line breaks may change.
TEST(AnalyzerRun, RealPageKeepsEveryNonBlankByte) {
  const std::string name = "/usr/share/doc/libjs-underscore/index.html";
  if (!std::filesystem::exists(name)) {
    if (std::getenv("VANTOREL_REQUIRE_CORPUS")) FAIL() << "corpus file missing: " << name;
    GTEST_SKIP() << name << " is not installed";
  }
  CLineArray input;
  ASSERT_TRUE(LoadLineArray(name, &input));
  for (const LayoutOptions& options : {Layout(0, 0, 4), Layout(1, 1, 0)}) {
    RunOutcome outcome = RunAnalyzer(FromLineArray(input), options, InputKind::Page);
    EXPECT_EQ(outcome.result, ResultDone);
    ExpectSameNonBlankBytes(FromLineArray(input), outcome.output);
  }
}

}  // namespace
}  // namespace vantorel::testing
