// The lean pass for whole scripts against the general path: the same lines out for real
// libraries and every script the tests hold, under each layout; and which inputs it takes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_test_util.h"
#include "line_file.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

struct Comparison {
  bool fastPathUsed = false;
  bool same = false;
};

Comparison Compare(const CLineArray& input, const LayoutOptions& layout, bool page = false) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(layout);
  analyzer.SetPageMode(page);
  CLineArray lean;
  CLineArray general;
  analyzer.Run(input, lean);
  Comparison result;
  result.fastPathUsed = analyzer.FastPathUsed();
  analyzer.SetFastPath(false);
  analyzer.Run(input, general);
  result.same = FromLineArray(lean) == FromLineArray(general);
  return result;
}

// The line array with every line's indentation taken away: the shape messy input has.
CLineArray Unindented(const CLineArray& input) {
  CLineArray result;
  for (std::size_t i = 0; i < input.GetSize(); ++i) {
    std::string_view line = input.GetAt(i);
    std::size_t first = line.find_first_not_of(" \t");
    result.Add(first == std::string_view::npos ? std::string_view() : line.substr(first));
  }
  return result;
}

std::vector<fs::path> FilesUnder(const fs::path& folder, const std::string& extension) {
  std::vector<fs::path> files;
  if (!fs::is_directory(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == extension)
      files.push_back(entry.path());
  }
  return files;
}

// Every script the tests hold, and Debian's libraries, which must go through the lean pass: the
// speed of real files depends on it.
TEST(FastPath, SameLinesAsTheGeneralPath) {
  const fs::path source(VANTOREL_SOURCE_DIR);
  struct Input {
    fs::path file;
    bool mustBeLean;
  };
  std::vector<Input> inputs;
  for (const fs::path& file : FilesUnder(source / "tests", ".js")) inputs.push_back({file, false});
  const bool required = std::getenv("VANTOREL_REQUIRE_CORPUS") != nullptr;
  for (const char* name :
       {"/usr/share/javascript/jquery/jquery.js", "/usr/share/javascript/jquery/jquery.min.js",
        "/usr/share/javascript/underscore/underscore.js",
        "/usr/share/javascript/jquery-ui/jquery-ui.js",
        "/usr/share/javascript/prototype/prototype.js",
        "/usr/share/javascript/codemirror/lib/codemirror.js", "/usr/share/nodejs/lodash/lodash.js",
        "/usr/share/javascript/chart.js/chart.js"}) {
    if (fs::exists(name))
      inputs.push_back({name, true});
    else if (required)
      ADD_FAILURE() << "corpus file missing: " << name;
  }
  int taken = 0;
  for (const Input& in : inputs) {
    SCOPED_TRACE(in.file.string());
    CLineArray input;
    ASSERT_TRUE(LoadLineArray(in.file.string(), &input));
    CLineArray unindented = Unindented(input);
    for (const CLineArray* variant :
         {static_cast<const CLineArray*>(&input), static_cast<const CLineArray*>(&unindented)}) {
      for (const LayoutOptions& layout : kEveryLayout) {
        Comparison c = Compare(*variant, layout);
        EXPECT_TRUE(c.same) << "layout " << layout.bracketStyle << layout.insertMode
                            << layout.indentCount;
        if (in.mustBeLean) {
          EXPECT_TRUE(c.fastPathUsed);
        }
        taken += c.fastPathUsed;
      }
    }
  }
  EXPECT_GT(taken, 0);
}

// A line full of "/" that might each open a regular expression that closes nowhere is read in
// linear time on both paths (once, each "/" read on to the line's end: minutes for this line).
TEST(FastPath, RegularExpressionsThatCloseNowhereTakeLinearTime) {
  std::string line = "x = ";
  for (int i = 0; i < 300000; ++i) line += "(/[";
  CLineArray script;
  script.Add(line);
  CLineArray page;
  page.Add("<html><script>" + line);
  for (bool fastPath : {true, false}) {
    for (const CLineArray* input : {&script, &page}) {
      const bool isPage = input == &page;
      SCOPED_TRACE(std::string(fastPath ? "lean pass" : "general path") + (isPage ? ", page" : ""));
      CScriptAnalyzer analyzer;
      analyzer.SetPageMode(isPage);
      analyzer.SetFastPath(fastPath);
      CLineArray output;
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(analyzer.Run(*input, output), ResultDone);
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
  }
}

// Pages: their script blocks go through the lean pass one by one, each falling back on its own;
// the pages the tests hold, CodeMirror's documentation, and a page that holds every library on
// one line, as minified pages do.
TEST(FastPath, PagesSameAsTheGeneralPath) {
  const fs::path source(VANTOREL_SOURCE_DIR);
  std::vector<fs::path> files = FilesUnder(source / "tests", ".html");
  for (const fs::path& file : FilesUnder(source / "samples", ".html")) files.push_back(file);
  for (const fs::path& file : FilesUnder("/usr/share/doc/libjs-codemirror", ".html"))
    files.push_back(file);
  std::string oneLine = "<html><body><p>libraries</p>";
  bool librariesFound = false;
  for (const char* name : {"/usr/share/javascript/jquery/jquery.min.js",
                           "/usr/share/javascript/underscore/underscore.js",
                           "/usr/share/javascript/chart.js/chart.js"}) {
    CLineArray library;
    if (!LoadLineArray(name, &library)) continue;
    librariesFound = true;
    oneLine += "<script type=\"text/javascript\">";
    for (std::size_t i = 0; i < library.GetSize(); ++i) {
      std::string_view line = library.GetAt(i);
      // A line comment would swallow the rest of the joined line: such lines are left out.
      if (line.find("//") != std::string_view::npos) continue;
      oneLine.append(line).push_back(' ');
    }
    oneLine += "</script><div>after</div>";
  }
  oneLine += "</body></html>";

  int taken = 0;
  auto check = [&](const CLineArray& input, const std::string& label) {
    SCOPED_TRACE(label);
    for (const LayoutOptions& layout : kEveryLayout) {
      Comparison c = Compare(input, layout, true);
      EXPECT_TRUE(c.same) << "layout " << layout.bracketStyle << layout.insertMode
                          << layout.indentCount;
      taken += c.fastPathUsed;
    }
  };
  for (const fs::path& file : files) {
    CLineArray input;
    ASSERT_TRUE(LoadLineArray(file.string(), &input)) << file;
    check(input, file.string());
  }
  if (librariesFound) {
    CLineArray page;
    page.Add(oneLine);
    check(page, "every library on one line");
    EXPECT_TRUE(Compare(page, kEveryLayout[0], true).fastPathUsed);
  }
  EXPECT_GT(taken, 0);
}

// Literals on one long line, after segment upon segment: blanks inside them stay as they are,
// and a ")", "}" or ";" inside one is no structure, however much of the line came before.
TEST(FastPath, LiteralsOnALongLineSameAsTheGeneralPath) {
  const std::string pieces[] = {
      "a(\"x )  y\"); ",
      "if (b(')  (')) { c(\"}   {\" + d(\")(\")); } ",
      "e = f('{') + g(\")\"); { h(\"  )\") } ",
      "k = /[)}]  +/.test(s) ; ",
      "m(`  ) ${n} }`); ",
      "p = q(\"a;  b\")(\"c  ;\"); while (r(\")\")) s(\"  {\"); ",
      // Segments that begin with a literal.
      "{ \"a  b\".c(\")\"); } '  }'.d(')'); \"x  )\" + y; ",
  };
  std::string line;
  for (int round = 0; round < 40; ++round) {
    for (const std::string& piece : pieces) line += piece;
  }
  CLineArray script;
  script.Add(line);
  CLineArray page;
  page.Add("<html><body><script>" + line + "</script><p>x</p><script>" + line +
           "</script></body></html>");
  for (const CLineArray* input : {&script, &page}) {
    SCOPED_TRACE(input == &page ? "page" : "script");
    for (const LayoutOptions& layout : kEveryLayout) {
      const Comparison c = Compare(*input, layout, input == &page);
      EXPECT_TRUE(c.fastPathUsed);
      EXPECT_TRUE(c.same) << "layout " << layout.bracketStyle << layout.insertMode
                          << layout.indentCount;
    }
  }
}

// Words made of strings and word bytes, read by the lean pass in one go: what follows them (a
// "/" that divides or opens a regular expression, a "{" whose place depends on the ")" before it)
// comes out as on the general path, and the words it leaves to that path go there.
TEST(FastPath, WordsWithStringsSameAsTheGeneralPath) {
  const struct {
    std::vector<std::string> lines;
    bool lean;  // the lean pass takes the whole script
  } cases[] = {
      {{"x = \"a\" / 2; y = 3 / 4; z = a\"b\"c / 2; w = 5 / 6;"}, true},
      {{"x = \"a\"+b / 2; z = 'a'+/re/.test(s);"}, true},
      {{"if (f(\")\") ) { g(); }", "if (f(\"(\") )", "{ h(); }"}, true},
      {{"while (s == ')' )", "{ k(); }", "a = \"(\" ) ) {"}, true},
      {{"x = \"a\"", "/re/.test(y);", "q = \"a\"", "/ 2;"}, true},
      {{"class A extends B(\"x\")", "{ }", "class\"x\"", "{ }"}, true},
      {{"s = \"a\"\"b\"'c'd; t = \"open to the end"}, true},
      {{"w = \"a\"<b; v = \"a\"`t ${u}`+\"c\";"}, true},
      {{"for (x = \"a;b\"; i < n; i++) { p(\"}\"); }"}, true},
      {{"return \"x\" + \"y\"", "{ }"}, true},
      {{"u = \"a\"-->b;"}, false},
      {{"v = \"a\\", "b\";"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front());
    CLineArray script = ToLineArray(c.lines);
    std::vector<std::string> pageLines = c.lines;
    pageLines.front() = "<p>x</p><script>" + pageLines.front();
    pageLines.back() += "</script><p>y</p>";
    CLineArray page = ToLineArray(pageLines);
    for (const LayoutOptions& layout : kEveryLayout) {
      const Comparison onScript = Compare(script, layout);
      EXPECT_EQ(onScript.fastPathUsed, c.lean);
      EXPECT_TRUE(onScript.same) << "layout " << layout.bracketStyle << layout.insertMode
                                 << layout.indentCount;
      EXPECT_TRUE(Compare(page, layout, true).same)
          << "page, layout " << layout.bracketStyle << layout.insertMode << layout.indentCount;
    }
  }
  // A string that the block's closing tag cuts off.
  CLineArray cut = ToLineArray({"<script>x = \"a</script>b\"; y = 1;</script>"});
  for (const LayoutOptions& layout : kEveryLayout) EXPECT_TRUE(Compare(cut, layout, true).same);
}

// Template literals, and strings that a backslash carries on, over line ends: their lines (blank
// ones, trailing blanks, words that spell keywords, braces and ";") stay as they stand, and the
// code around them is laid out as on the general path.
TEST(FastPath, LiteralsOverLineEndsSameAsTheGeneralPath) {
  const struct {
    std::vector<std::string> lines;
    bool lean;  // the lean pass takes the whole script
  } cases[] = {
      {{"var t = `line one", "   line two  with   blanks  ", "`;", "x();"}, true},
      {{"html = `<div>", "", "  <p>  hi  </p>   ", "", "</div>`;", "  y  =  1;"}, true},
      // Words on lines of their own that would reset the depth or let two ";" pass in code.
      {{"function f() {", "if (a) {", "s = `", "function", "for", "`;",
        "for (i = 0; i < n; i++) { g(); }", "h();", "}", "}"},
       true},
      {{"css = `", "  body { color: red; }", "  p { margin: 0 }", "`; if (x) { y(); }", "z;"},
       true},
      // Substitutions, nested templates and block comments in them, open over a line end.
      {{"s = `a ${", "  b + c", "} d`;", "e();"}, true},
      {{"s = `x ${ `inner", "text` } y", "z`;", "w();"}, true},
      {{"s = `a ${ b /* note", "more */ } c`;", "d();"}, true},
      // Code after the template on its last line: a "/" there divides; at a line's start it
      // opens a regular expression.
      {{"a = `x", "y` / 2; b = `p", "q`", "/re/.test(c);"}, true},
      {{"if (a) { s = `one", "two`; } else { t = `three", "four` }", "u();"}, true},
      {{"s = `// no comment", "/* nor this", "*/ ok`; // but this", "v();"}, true},
      {{"x = 1;", "y = `open", "to the end  "}, true},
      {{"class A { m() { return `a", "b`.trim() } }", "f(`", "`)"}, true},
      // Strings that a backslash carries over the line end, in code and in a substitution; an
      // empty line ends them.
      {{"s = `a ${ 'b\\", "c' }`;", "d();"}, true},
      {{"u = `a ${ 'b\\", "", "c' }`;", "d();", "`;"}, true},
      {{"s = 'a\\", "  b  \\", "c'; if (x) { y(); }", "z;"}, true},
      {{"s = \"a\\", "", "if (x) {", "y();", "}"}, true},
      {{"{", "u = `a ${ 'b\\", "", "c' }`;", "d();", "}"}, true},
      // After the literal closes, a "/" divides.
      {{"a = `x", "y`  /  2  /  3;"}, true},
      {{"s = 'a\\", "b'  /  2  /  3;"}, true},
      {{"function f() {", "if (a) {", "s = 'a\\", "function\\", "for';", "g();", "}", "}"}, true},
      // HTML comment markers in code are left to the general path.
      {{"a = 1;", "--> b", "c = `x", "y`;"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front() + " / " + c.lines[1]);
    const CLineArray script = ToLineArray(c.lines);
    const CLineArray unindented = Unindented(script);
    std::vector<std::string> pageLines = c.lines;
    pageLines.front() = "<p>x</p><script>" + pageLines.front();
    pageLines.back() += "</script><p>y</p>";
    const CLineArray page = ToLineArray(pageLines);
    for (const LayoutOptions& layout : kEveryLayout) {
      for (const CLineArray* input : {&script, &unindented}) {
        const Comparison onScript = Compare(*input, layout);
        EXPECT_EQ(onScript.fastPathUsed, c.lean);
        EXPECT_TRUE(onScript.same)
            << "layout " << layout.bracketStyle << layout.insertMode << layout.indentCount;
      }
      const Comparison onPage = Compare(page, layout, true);
      EXPECT_EQ(onPage.fastPathUsed, c.lean);
      EXPECT_TRUE(onPage.same) << "page, layout " << layout.bracketStyle << layout.insertMode
                               << layout.indentCount;
    }
  }
  // A page's closing tag ends the block inside a template literal, on its first line or a later
  // one, at its start or after text.
  const std::vector<std::string> cutPages[] = {
      {"<script>s = `a", "b </script><p>c ${d}</p>", "<script>e = `f", "`;</script>"},
      {"<script>if (a) { s = `a", "</script>", "<p>`</p><script>t();</script>"},
      {"<script>s = `a ${ b", "c } </script> d`;", "<script>u = `x</script>y`"},
      {"<p>x</p><script>", "s = `a", "", "  b  ", "`; v()</script>", "<p>y</p>"},
  };
  for (const auto& lines : cutPages) {
    SCOPED_TRACE(lines.front() + " / " + lines[1]);
    const CLineArray page = ToLineArray(lines);
    for (const LayoutOptions& layout : kEveryLayout) {
      const Comparison onPage = Compare(page, layout, true);
      EXPECT_TRUE(onPage.fastPathUsed);
      EXPECT_TRUE(onPage.same) << "layout " << layout.bracketStyle << layout.insertMode
                               << layout.indentCount;
    }
  }
}

}  // namespace
}  // namespace vantorel::testing
