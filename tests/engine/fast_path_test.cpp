// The lean pass for whole scripts against the general path: the same lines out for real
// libraries and every script the tests hold, under each layout; and which inputs it takes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_test_util.h"
#include "line_file.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

const LayoutOptions kLayouts[] = {Layout(0, 0, 4), Layout(1, 0, 2), Layout(0, 1, 0),
                                  Layout(1, 0, 0)};

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
    int lean;  // 1: must take the lean pass, 0: must not, -1: either
  };
  std::vector<Input> inputs;
  for (const fs::path& file : FilesUnder(source / "tests", ".js")) inputs.push_back({file, -1});
  const struct {
    const char* name;
    bool lean;
  } libraries[] = {
      {"/usr/share/javascript/jquery/jquery.js", true},
      {"/usr/share/javascript/jquery/jquery.min.js", true},
      {"/usr/share/javascript/underscore/underscore.js", true},
      {"/usr/share/javascript/jquery-ui/jquery-ui.js", true},
      {"/usr/share/javascript/prototype/prototype.js", true},
      {"/usr/share/javascript/codemirror/lib/codemirror.js", true},
      {"/usr/share/nodejs/lodash/lodash.js", true},
      {"/usr/share/javascript/chart.js/chart.js", true},
  };
  const bool required = std::getenv("VANTOREL_REQUIRE_CORPUS") != nullptr;
  for (const auto& library : libraries) {
    if (fs::exists(library.name))
      inputs.push_back({library.name, library.lean ? 1 : 0});
    else if (required)
      ADD_FAILURE() << "corpus file missing: " << library.name;
  }
  int taken = 0;
  for (const Input& in : inputs) {
    SCOPED_TRACE(in.file.string());
    CLineArray input;
    ASSERT_TRUE(LoadLineArray(in.file.string(), &input));
    CLineArray unindented = Unindented(input);
    for (const CLineArray* variant :
         {static_cast<const CLineArray*>(&input), static_cast<const CLineArray*>(&unindented)}) {
      for (const LayoutOptions& layout : kLayouts) {
        Comparison c = Compare(*variant, layout);
        EXPECT_TRUE(c.same) << "layout " << layout.bracketStyle << layout.insertMode
                            << layout.indentCount;
        if (in.lean >= 0) {
          EXPECT_EQ(c.fastPathUsed, in.lean == 1);
        }
        taken += c.fastPathUsed;
      }
    }
  }
  EXPECT_GT(taken, 0);
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
  for (const char* name : {"/usr/share/javascript/jquery/jquery.min.js",
                           "/usr/share/javascript/underscore/underscore.js",
                           "/usr/share/javascript/chart.js/chart.js"}) {
    CLineArray library;
    if (!LoadLineArray(name, &library)) continue;
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
    for (const LayoutOptions& layout : kLayouts) {
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
  CLineArray page;
  page.Add(oneLine);
  check(page, "every library on one line");
  EXPECT_TRUE(Compare(page, kLayouts[0], true).fastPathUsed);
  EXPECT_GT(taken, 0);
}

}  // namespace
}  // namespace vantorel::testing
