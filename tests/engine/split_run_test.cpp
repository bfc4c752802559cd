// A script read in two parts, the later one from a line in the middle with a fresh state: the
// same lines as from one part, and on real libraries the two parts do meet.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analyzer_progress.h"
#include "engine_test_util.h"
#include "line_file.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

struct SplitResult {
  int result = -1;
  Lines output;
  SplitOutcome outcome = SplitOutcome::OnePart;
};

SplitResult RunSplit(const CLineArray& input, const LayoutOptions& layout, ScriptSplit split,
                     CAnalyzerProgress* progress = nullptr) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(layout);
  analyzer.SetScriptSplit(split);
  analyzer.SetProgress(progress);
  analyzer.SetProgressInterval(64);
  CLineArray output;
  SplitResult r;
  r.result = analyzer.Run(input, output);
  r.output = FromLineArray(output);
  r.outcome = analyzer.LastSplitOutcome();
  return r;
}

ScriptSplit OnePart() {
  ScriptSplit split;
  split.minBytes = static_cast<std::size_t>(-1);
  return split;
}

ScriptSplit AtLine(std::size_t line, bool concurrent) {
  ScriptSplit split;
  split.line = static_cast<std::ptrdiff_t>(line);
  split.concurrent = concurrent;
  return split;
}

// States in which the later part, started fresh, looks like the earlier part but is not: each
// must keep the two from being joined there, or be checked once the later part is done.
TEST(SplitRun, LookAlikeStatesGiveTheLinesOfOnePart) {
  const Lines cases[] = {
      // A "(" that opens a head stays open over the split line and closes after the parts
      // could meet: the later part takes its ")" for one that opens none.
      {"if (function () {", "a;", "function f() {", "b;", "}", "c;", "}", ")", "{", "d;", "}"},
      {"while (x(function () {", "function g() {", "y;", "}", "z;", "})", ")", "{", "w;", "}"},
      // A block comment open over the split line.
      {"a;", "/* x {", " y; }", " z; */", "function g() {", " b;", "}", "c;"},
      // A "for" head whose ";" lies on both sides.
      {"function h() {", "for (i = 0;", " i < n;", " i++) {", " s;", "}", "}"},
      // A class head, and braces after words that end a statement at a line break.
      {"function k() {", "class A", "extends B", "{", "m() { return", "{", "}", "}", "}", "}"},
      // Comments carried past the split line, before and after code.
      {"function c() {", "a; // one", "", "// two", "/* three */", "b;", "} // four", "d;"},
      // Literals that hold what would be structure outside them.
      {"function s() {", "x = '{';", "y = \"}\" + /[{]/.source;", "z = `${1}`;", "}", "w;"},
      // "function" resets the indentation: the parts meet only after one.
      {"{", "{", "a;", "}", "function f() {", "b;", "}", "c;", "}", "}", "d;"},
  };
  for (const Lines& script : cases) {
    const CLineArray input = ToLineArray(script);
    for (const LayoutOptions& layout : kEveryLayout) {
      const SplitResult whole = RunSplit(input, layout, OnePart());
      ASSERT_EQ(whole.result, ResultDone);
      for (std::size_t line = 1; line < input.GetSize(); ++line) {
        SCOPED_TRACE(script.front() + " ... later part from line " + std::to_string(line) +
                     ", layout " + std::to_string(layout.bracketStyle) +
                     std::to_string(layout.insertMode) + std::to_string(layout.indentCount));
        for (bool concurrent : {false, true}) {
          const SplitResult split = RunSplit(input, layout, AtLine(line, concurrent));
          EXPECT_EQ(split.result, whole.result);
          EXPECT_EQ(split.output, whole.output);
          EXPECT_NE(split.outcome, SplitOutcome::OnePart);
        }
      }
    }
  }
}

// On Debian's libraries the parts meet, wherever the later one starts: that is what makes the
// second core pay.
TEST(SplitRun, RealLibrariesJoinWithTheLinesOfOnePart) {
  const bool required = std::getenv("VANTOREL_REQUIRE_CORPUS") != nullptr;
  int checked = 0;
  for (const char* name :
       {"/usr/share/javascript/jquery/jquery.js", "/usr/share/javascript/underscore/underscore.js",
        "/usr/share/javascript/jquery-ui/jquery-ui.js",
        "/usr/share/javascript/prototype/prototype.js",
        "/usr/share/javascript/codemirror/lib/codemirror.js", "/usr/share/nodejs/lodash/lodash.js",
        "/usr/share/javascript/chart.js/chart.js"}) {
    CLineArray input;
    if (!LoadLineArray(name, &input)) {
      if (required) ADD_FAILURE() << "corpus file missing: " << name;
      continue;
    }
    ++checked;
    for (const LayoutOptions& layout : {kEveryLayout[0], kEveryLayout[1]}) {
      SCOPED_TRACE(std::string(name) + ", layout " + std::to_string(layout.bracketStyle));
      const SplitResult whole = RunSplit(input, layout, OnePart());
      ASSERT_EQ(whole.result, ResultDone);
      ScriptSplit middle;
      middle.minBytes = 0;
      const std::size_t lines = input.GetSize();
      // Near the end, where no function follows to set the indentation, they need not meet.
      const struct {
        ScriptSplit split;
        bool joins;
      } splits[] = {
          {middle, true}, {AtLine(lines / 3, false), true}, {AtLine(lines - 5, true), false}};
      for (const auto& s : splits) {
        SCOPED_TRACE("later part from " + std::to_string(s.split.line));
        const SplitResult r = RunSplit(input, layout, s.split);
        EXPECT_EQ(r.result, ResultDone);
        EXPECT_TRUE(r.output == whole.output) << "the split run's lines differ";
        if (s.joins) {
          EXPECT_EQ(r.outcome, SplitOutcome::Joined);
        } else {
          EXPECT_NE(r.outcome, SplitOutcome::OnePart);
        }
      }
    }
  }
  if (required) {
    EXPECT_GT(checked, 0);
  }
}

// A display that counts its turns and cancels after a given number.
class CountingProgress : public CAnalyzerProgress {
 public:
  bool IsCancelled() override { return cancelAfter >= 0 && pumps >= cancelAfter; }
  void ShowCurrentLine(const std::string&) override { ++shown; }
  void SetRange(long long) override {}
  void SetPosition(long long) override {}
  bool PumpMessages() override {
    ++pumps;
    return true;
  }
  int pumps = 0;
  int shown = 0;
  int cancelAfter = -1;
};

// A script made of many copies of a function: large enough to be split by default.
CLineArray LargeScript() {
  CLineArray input;
  for (int i = 0; input.TextSize() < (std::size_t{600} << 10); ++i) {
    input.Add("function f" + std::to_string(i) + "(a, b) {");
    input.Add("  if (a < b) { return /x{2}/.test(a) ? '{' : \"}\"; } // done");
    input.Add("  for (var k = 0; k < b; k++) { a += k; }");
    input.Add("  return a;");
    input.Add("}");
  }
  return input;
}

// With a display, as in the window program: the same lines, progress shown, Cancel noticed.
TEST(SplitRun, DisplayedRunsFinishOrStopLikeOnePart) {
  const CLineArray input = LargeScript();
  const SplitResult whole = RunSplit(input, kEveryLayout[0], OnePart());
  CountingProgress display;
  const SplitResult split = RunSplit(input, kEveryLayout[0], ScriptSplit(), &display);
  EXPECT_EQ(split.outcome, SplitOutcome::Joined);
  EXPECT_EQ(split.result, ResultDone);
  EXPECT_TRUE(split.output == whole.output);
  EXPECT_GT(display.shown, 100);

  for (int cancelAfter : {1, 50, 400}) {
    CountingProgress cancelling;
    cancelling.cancelAfter = cancelAfter;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunSplit(input, kEveryLayout[0], ScriptSplit(), &cancelling).result, ResultCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

// Input whose later lines were taken over from another array (as a joined run's output is):
// the middle is found by the lines' sizes, not by where they lie.
TEST(SplitRun, InputInTwoBuffersIsSplitAtItsMiddle) {
  const CLineArray whole = LargeScript();
  CLineArray front;
  CLineArray back;
  const std::size_t cut = whole.GetSize() / 3;
  for (std::size_t i = 0; i < whole.GetSize(); ++i) (i < cut ? front : back).Add(whole.GetAt(i));
  front.TakeOverLines(std::move(back), 0);
  ScriptSplit middle;
  middle.minBytes = 0;
  const SplitResult one = RunSplit(whole, kEveryLayout[1], OnePart());
  const SplitResult split = RunSplit(front, kEveryLayout[1], middle);
  EXPECT_EQ(split.outcome, SplitOutcome::Joined);
  EXPECT_TRUE(split.output == one.output);
}

}  // namespace
}  // namespace vantorel::testing
