// A script read in parts, each later one from a line of its own with a fresh state, and a page
// read in two parts, the later one from a script tag after its middle: the same lines as from one
// part, and on real libraries the parts do meet.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer_progress.h"
#include "engine_test_util.h"
#include "line_file.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

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

// Parts from each of `lines`, read one after another in `order` (see ScriptSplit), or at once.
ScriptSplit AtLines(std::vector<std::ptrdiff_t> lines, bool concurrent,
                    std::vector<std::size_t> order = {}) {
  ScriptSplit split;
  split.lines = std::move(lines);
  split.concurrent = concurrent;
  split.order = std::move(order);
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
      // A template literal or string open over the split line, whose lines read like code.
      {"function t() {", "s = `a {", "b; }", "function", "c;`;", "if (d) {", "e;", "}", "}", "f;"},
      {"function u() {", "s = 'a {\\", "b; }\\", "", "function f() {", "c;", "}", "d;", "}"},
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

// The same states in three parts: each later part begun before the one before it reaches it
// (the last first), or found not begun and read as the part before's own (the middle one, when
// the last is begun first; the last, when the middle one is), or all at once.
TEST(SplitRun, LookAlikeStatesInThreePartsGiveTheLinesOfOnePart) {
  const Lines cases[] = {
      {"if (function () {", "a;", "function f() {", "b;", "}", "c;", "}", ")", "{", "d;", "}"},
      {"while (x(function () {", "function g() {", "y;", "}", "z;", "})", ")", "{", "w;", "}"},
      {"f((function () {", "function g() {", "(", "y;", "}", "))", "function h() {", "if (a", ")",
       "{", "}", "}"},
      {"a;", "/* x {", " y; }", " z; */", "function g() {", " b;", "}", "c;"},
      {"function k() {", "class A", "extends B", "{", "m() { return", "{", "}", "}", "}", "}"},
      {"{", "{", "a;", "}", "function f() {", "b;", "}", "c;", "}", "}", "d;"},
      {"function t() {", "s = `a {", "b; }", "function", "c;`;", "if (d) {", "e;", "}", "}", "f;"},
      // Parts with nothing but comments and blank lines in their own lines give up at the next
      // part: the others still give the lines of one part.
      {"a;", "// one", "/* two", " three */", "", "// four", "/* five */", "b;", "// six"},
      {"// one", "", "/* two {", " three; */", "// four", "x = {", "// five", "};"},
  };
  const std::vector<std::size_t> orders[] = {{}, {2}, {1}, {1, 2}};
  for (const Lines& script : cases) {
    const CLineArray input = ToLineArray(script);
    const std::ptrdiff_t lines = static_cast<std::ptrdiff_t>(input.GetSize());
    for (const LayoutOptions& layout : kEveryLayout) {
      const SplitResult whole = RunSplit(input, layout, OnePart());
      ASSERT_EQ(whole.result, ResultDone);
      for (std::ptrdiff_t first = 1; first < lines; ++first) {
        for (std::ptrdiff_t second = first + 1; second < lines; ++second) {
          SCOPED_TRACE(script.front() + " ... parts from lines " + std::to_string(first) + " and " +
                       std::to_string(second) + ", layout " + std::to_string(layout.bracketStyle) +
                       std::to_string(layout.insertMode) + std::to_string(layout.indentCount));
          for (const auto& order : orders) {
            const SplitResult split =
                RunSplit(input, layout, AtLines({first, second}, false, order));
            EXPECT_EQ(split.result, whole.result);
            EXPECT_EQ(split.output, whole.output) << "order " << order.size();
            EXPECT_NE(split.outcome, SplitOutcome::OnePart);
          }
          const SplitResult together = RunSplit(input, layout, AtLines({first, second}, true));
          EXPECT_EQ(together.output, whole.output) << "at once";
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
      ScriptSplit middleAtOnce = middle;
      middle.concurrent = false;
      const std::size_t lines = input.GetSize();
      std::vector<std::ptrdiff_t> twenty;
      for (std::size_t k = 1; k < 20; ++k)
        twenty.push_back(static_cast<std::ptrdiff_t>(lines * k / 20));
      // Near the end, where no function follows to set the indentation, they need not meet; nor
      // where a later part's thread starts late, and the part before reads it as its own.
      const struct {
        const char* label;
        ScriptSplit split;
        bool joins;
      } splits[] = {{"at the middle", middle, true},
                    {"at the middle, at once", middleAtOnce, false},
                    {"at a third", AtLine(lines / 3, false), true},
                    {"near the end, at once", AtLine(lines - 5, true), false},
                    {"in twenty parts", AtLines(twenty, false), true},
                    {"in twenty parts, every other one begun",
                     AtLines(twenty, false, {18, 16, 14, 12, 10, 8, 6, 4, 2}), true},
                    {"in twenty parts, at once", AtLines(twenty, true), false}};
      for (const auto& s : splits) {
        SCOPED_TRACE(s.label);
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

// With a display, as in the window program: the same lines, progress shown, Cancel noticed. On
// one thread, the later part read first, the parts join; at once, they may not, where the later
// part's thread starts late and the part before reads it as its own.
TEST(SplitRun, DisplayedRunsFinishOrStopLikeOnePart) {
  const CLineArray input = LargeScript();
  const SplitResult whole = RunSplit(input, kEveryLayout[0], OnePart());
  for (bool concurrent : {false, true}) {
    SCOPED_TRACE(concurrent ? "at once" : "on one thread");
    ScriptSplit byDefault;
    byDefault.concurrent = concurrent;
    CountingProgress display;
    const SplitResult split = RunSplit(input, kEveryLayout[0], byDefault, &display);
    if (concurrent) {
      EXPECT_NE(split.outcome, SplitOutcome::OnePart);
    } else {
      EXPECT_EQ(split.outcome, SplitOutcome::Joined);
    }
    EXPECT_EQ(split.result, ResultDone);
    EXPECT_TRUE(split.output == whole.output);
    EXPECT_GT(display.shown, 100);
  }

  for (int cancelAfter : {1, 50, 400}) {
    CountingProgress cancelling;
    cancelling.cancelAfter = cancelAfter;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunSplit(input, kEveryLayout[0], ScriptSplit(), &cancelling).result, ResultCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

// A later part whose own lines hold nothing but comments can be joined by no part before it: it
// stops at the next part instead of reading on to the end, which made the work grow with the
// square of the number of parts. Read one after another on this thread, the run reads each line
// about twice (the first part all of them, the later parts their own), whatever the parts.
TEST(SplitRun, LaterPartsOfOnlyCommentsStopAtTheNextPart) {
  Lines script{"a = 1;"};
  for (int i = 0; i < 1000; ++i) {
    script.push_back(i % 2 == 0 ? "// note " + std::to_string(i) : "/* note */");
    if (i % 10 == 0) script.push_back("");
  }
  const CLineArray input = ToLineArray(script);
  CountingProgress alone;
  const SplitResult one = RunSplit(input, kEveryLayout[0], OnePart(), &alone);
  ASSERT_EQ(one.result, ResultDone);
  std::vector<std::ptrdiff_t> lines;
  for (std::ptrdiff_t line = 100; line < static_cast<std::ptrdiff_t>(input.GetSize()); line += 100)
    lines.push_back(line);
  for (const auto& order : {std::vector<std::size_t>{}, std::vector<std::size_t>{1, 2, 3}}) {
    CountingProgress parts;
    const SplitResult split =
        RunSplit(input, kEveryLayout[0], AtLines(lines, false, order), &parts);
    EXPECT_EQ(split.result, ResultDone);
    EXPECT_TRUE(split.output == one.output);
    EXPECT_NE(split.outcome, SplitOutcome::OnePart);
    // Ticks reported: one per 64 tokens, nearly all of them ends of line.
    EXPECT_LE(parts.pumps, 2 * alone.pumps + 2) << lines.size() + 1 << " parts";
  }
}

// A script split by its size whose middle lies inside a long block comment: the later part
// starts after the comment, where the parts can meet. Read from inside, it would take the text
// for code with braces that never close, and no part before it could join it.
TEST(SplitRun, PartsBySizeStartOutsideABlockComment) {
  const struct {
    const char* label;
    const char* opening;  // the line that opens the comment
    Lines comment;        // repeated inside it
  } cases[] = {
      {"documentation", "/**", {" * Calls back {", " * @param options;"}},
      {"code put out of use", "/*", {"old(a) {", "  if (a) {", "  a++;"}},
      {"a comment after code on its line", "y = 2; /*", {"  if (b) {", "  counter++; } {"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Lines script;
    auto addCode = [&script] {
      for (int i = 0; i < 100; ++i) script.push_back("total += " + std::to_string(i) + ";");
    };
    addCode();
    script.push_back(c.opening);
    for (int i = 0; i < 40; ++i) script.insert(script.end(), c.comment.begin(), c.comment.end());
    script.push_back(" */");
    addCode();
    const CLineArray input = ToLineArray(script);
    ScriptSplit bySize;
    bySize.minBytes = 0;
    bySize.concurrent = false;
    for (const LayoutOptions& layout : kEveryLayout) {
      const SplitResult one = RunSplit(input, layout, OnePart());
      ASSERT_EQ(one.result, ResultDone);
      const SplitResult split = RunSplit(input, layout, bySize);
      EXPECT_EQ(split.result, ResultDone);
      EXPECT_EQ(split.output, one.output);
      EXPECT_EQ(split.outcome, SplitOutcome::Joined);
    }
  }
}

// Input whose later lines were taken over from another array (as a joined run's output is):
// the middle is found by the lines' sizes, not by where they lie. The later part is read first,
// so that the parts join however late a thread would start.
TEST(SplitRun, InputInTwoBuffersIsSplitAtItsMiddle) {
  const CLineArray whole = LargeScript();
  CLineArray front;
  CLineArray back;
  const std::size_t cut = whole.GetSize() / 3;
  for (std::size_t i = 0; i < whole.GetSize(); ++i) (i < cut ? front : back).Add(whole.GetAt(i));
  front.TakeOverLines(std::move(back), 0);
  ScriptSplit middle;
  middle.minBytes = 0;
  middle.concurrent = false;
  const SplitResult one = RunSplit(whole, kEveryLayout[1], OnePart());
  const SplitResult split = RunSplit(front, kEveryLayout[1], middle);
  EXPECT_EQ(split.outcome, SplitOutcome::Joined);
  EXPECT_TRUE(split.output == one.output);
}

// Pages whose later part, started at a "<" after which a script tag stands, may look like the
// earlier part and not be: the tag inside a string, a comment, a raw text element or a block of
// another type, a first block the lean pass leaves to the general path, a block that runs to the
// end, the page's html or body tag only in the later part. Each split wherever it may be, on the
// same thread and on two, under four layouts, gives the lines and the result of one part; where
// a JavaScript block follows, some split joins.
TEST(SplitPage, LookAlikePagesGiveTheLinesOfOnePart) {
  const struct {
    const char* label;
    Lines page;
    bool joins;
  } cases[] = {
      {"blocks between markup",
       {"<html><body><p>a</p><script>function f(a){if(a){return 1;}}</script><div>x</div>"
        "<script type=\"text/javascript\">var b=function(){return 2;};f(b);</script>"
        "<p>end</p></body></html>"},
       true},
      {"a script tag in a string",
       {"<html><script>document.write(\"<script>x()</scr\"+\"ipt>\");function g(){y();}</script>"
        "<script>function h(){z();}</script></html>"},
       true},
      {"a block of another type",
       {"<html><script type=\"text/template\"><div>{{x}}</div></script>",
        "<script>function k(){if(a){b();}}</script></html>"},
       true},
      {"a script tag in a comment",
       {"<html><!-- <script>function no(){}</script> --><script>function yes(){a();}</script>"},
       true},
      {"a script tag in a raw text element",
       {"<html><textarea><script>function t(){}</script></textarea>",
        "<script>function u(){v();}</script></html>"},
       true},
      {"a block the lean pass leaves alone, then one it reads",
       {"<html><body>", "<script>", "var t = `a", "b`; function w(){x();}", "</script>",
        "<script>function q(){r();}</script>", "</body></html>"},
       true},
      {"a block to the end of the input", {"<html><script>function e(){f();}", "g();"}, true},
      {"capitals and attributes",
       {"<HTML><SCRIPT LANGUAGE=\"JavaScript\">function up(){if(a){}}</SCRIPT>",
        "<SCRIPT>function down(){}</SCRIPT></HTML>"},
       true},
      {"the body tag only in the later part",
       {"<script>function a1(){}</script><p>x</p><script>function a2(){b();}</script>",
        "<body>later</body>"},
       true},
      {"escaped script tags",
       {"<html><script><!-- document.write(\"<script>a()</script>\"); function b(){} -->"
        "</script><script>function c(){d();}</script></html>"},
       true},
      {"code on many lines",
       {"<html>", "<head><title>t</title></head>", "<body>", "<script>", "// setup",
        "function init(a) {", "  if (a) { go(); } /* note */", "  return a;", "}", "</script>",
        "<p>text</p>", "<script>", "init(1); function more(){", "  for (var i = 0; i < 2; i++) {}",
        "}", "</script>", "</body>", "</html>"},
       true},
      {"no script at all", {"<html><body><p>x</p></body></html>"}, false},
  };
  for (const auto& c : cases) {
    const CLineArray input = ToLineArray(c.page);
    const std::vector<TextPos> starts = SplitStarts(input, InputKind::Page);
    for (const LayoutOptions& layout : kEveryLayout) {
      SCOPED_TRACE(std::string(c.label) + ", layout " + std::to_string(layout.bracketStyle) + "/" +
                   std::to_string(layout.insertMode) + "/" + std::to_string(layout.indentCount));
      const SplitResult whole = RunSplit(input, layout, OnePart(), nullptr, true);
      bool joined = false;
      for (const TextPos& start : starts) {
        for (bool concurrent : {false, true}) {
          ScriptSplit split = AtLine(static_cast<std::size_t>(start.line), concurrent);
          split.column = start.column;
          const SplitResult r = RunSplit(input, layout, split, nullptr, true);
          EXPECT_EQ(r.result, whole.result) << "from " << start.line << ":" << start.column;
          EXPECT_EQ(r.output, whole.output) << "from " << start.line << ":" << start.column;
          joined = joined || r.outcome == SplitOutcome::Joined;
        }
      }
      EXPECT_EQ(joined, c.joins);
    }
  }
}

// A page on one line, each library in a block of its own behind some markup, as minified pages
// are: split at its middle, the parts meet, with the lines of one part; with a display the run
// shows progress and stops on Cancel.
TEST(SplitPage, LibrariesOnOneLineJoinWithTheLinesOfOnePart) {
  const bool required = std::getenv("VANTOREL_REQUIRE_CORPUS") != nullptr;
  std::string page = "<!DOCTYPE html><html><head><title>t</title></head><body>";
  int blocks = 0;
  for (const char* name : {"/usr/share/javascript/jquery/jquery.min.js",
                           "/usr/share/javascript/underscore/underscore.min.js",
                           "/usr/share/javascript/jquery-ui/jquery-ui.min.js"}) {
    CLineArray library;
    if (!LoadLineArray(name, &library)) {
      if (required) ADD_FAILURE() << "corpus file missing: " << name;
      continue;
    }
    for (int round = 0; round < 2; ++round) {
      page += "<div class=\"lib\"><p>" + std::string(name) + "</p></div><script>";
      for (std::size_t i = 0; i < library.GetSize(); ++i) {
        // A line comment would swallow the rest of the page's only line.
        const std::string_view line = library.GetAt(i);
        if (line.substr(0, 2) != "//") page.append(line).append(" ");
      }
      page += "</script>";
      ++blocks;
    }
  }
  if (blocks < 2) {
    if (required) ADD_FAILURE() << "too few libraries for a page";
    return;
  }
  page += "</body></html>";
  const CLineArray input = ToLineArray({page});
  ScriptSplit middle;
  middle.minBytes = 0;
  for (const LayoutOptions& layout : {kEveryLayout[0], kEveryLayout[1]}) {
    const SplitResult whole = RunSplit(input, layout, OnePart(), nullptr, true);
    ASSERT_EQ(whole.result, ResultDone);
    for (bool concurrent : {false, true}) {
      SCOPED_TRACE(concurrent ? "on two threads" : "on one thread");
      middle.concurrent = concurrent;
      const SplitResult split = RunSplit(input, layout, middle, nullptr, true);
      // On two threads the earlier part reads on where the later part has not come so far yet
      // (a busy machine): whether they meet then depends on the machine.
      if (!concurrent) {
        EXPECT_EQ(split.outcome, SplitOutcome::Joined);
      } else {
        EXPECT_NE(split.outcome, SplitOutcome::OnePart);
      }
      EXPECT_EQ(split.result, ResultDone);
      EXPECT_TRUE(split.output == whole.output) << "the split run's lines differ";
    }
  }
  middle.concurrent = true;
  CountingProgress display;
  const SplitResult shown = RunSplit(input, kEveryLayout[0], middle, &display, true);
  EXPECT_NE(shown.outcome, SplitOutcome::OnePart);
  EXPECT_EQ(shown.result, ResultDone);
  for (int cancelAfter : {1, 50, 400}) {
    CountingProgress cancelling;
    cancelling.cancelAfter = cancelAfter;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunSplit(input, kEveryLayout[0], middle, &cancelling, true).result, ResultCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

}  // namespace
}  // namespace vantorel::testing
