// Over real JavaScript and every test input: the output holds exactly the input's non-blank
// bytes, in order, and formatting it again changes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "file_checks.h"
#include "file_names.h"
#include "line_array.h"
#include "script_analyzer.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

// Real library code from Debian packages that the test command installs; never kept in the repo.
const char* const kCorpus[] = {
    "/usr/share/javascript/jquery/jquery.js",
    "/usr/share/javascript/jquery/jquery.min.js",
    "/usr/share/javascript/underscore/underscore.js",
    "/usr/share/javascript/underscore/underscore.min.js",
};

const LayoutOptions kOptionSets[] = {
    {0, 0, 2},
    {1, 0, 4},
    {0, 1, 2},
    {1, 0, 0},
};

std::string Joined(const CLineArray& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.GetSize(); ++i) text.append(lines.GetAt(i)).append("\n");
  return text;
}

struct Formatted {
  int result;
  std::string text;
};

Formatted Format(const std::string& bytes, bool page, const LayoutOptions& options) {
  CLineArray input;
  input.ReadLines(bytes);
  CLineArray output;
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options);
  analyzer.SetPageMode(page);
  int result = analyzer.Run(input, output);
  return {result, Joined(output)};
}

std::vector<fs::path> Inputs() {
  std::vector<fs::path> files;
  fs::path root(VANTOREL_SOURCE_DIR);
  for (const char* folder : {"tests/golden", "samples"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      std::string name = entry.path().filename().string();
      if (name.find(".in.") != std::string::npos || folder[0] == 's') files.push_back(entry.path());
    }
  }
  bool required = std::getenv("VANTOREL_REQUIRE_CORPUS") != nullptr;
  for (const char* file : kCorpus) {
    if (fs::exists(file))
      files.emplace_back(file);
    else if (required)
      ADD_FAILURE() << "corpus file missing: " << file;
  }
  return files;
}

void CheckInvariants(const std::string& label, const std::string& bytes, bool page) {
  for (const LayoutOptions& options : kOptionSets) {
    std::string how = label + (page ? " as page" : " as script") + ", brace " +
                      std::to_string(options.bracketStyle) + ", mode " +
                      std::to_string(options.insertMode) + ", indent " +
                      std::to_string(options.indentCount);
    Formatted once = Format(bytes, page, options);
    ASSERT_EQ(once.result, ResultDone) << how;
    // The line array drops a NUL's line tail and everything from 0x1A on; the inputs hold none.
    ASSERT_EQ(NonBlank(once.text), NonBlank(bytes)) << how;
    Formatted twice = Format(once.text, page, options);
    EXPECT_EQ(twice.text, once.text) << how << ": a second run changed the result";
  }
}

TEST(Invariants, NothingLostOrInventedAndStable) {
  std::vector<fs::path> files = Inputs();
  ASSERT_GE(files.size(), 5u);
  for (const fs::path& file : files) {
    std::string bytes = ReadFileBytes(file.string());
    bool page = !IsScriptFileName(file.filename().string());
    CheckInvariants(file.string(), bytes, page);
    if (!page) {
      // The same script inside a page.
      CheckInvariants(file.string() + " in a page",
                      "<html><body>\n<script type=\"text/javascript\">\n" + bytes +
                          "\n</script>\n</body></html>\n",
                      true);
    }
  }
}

// Real files with CR LF line ends, their last line ended too, come back byte for byte.
TEST(Invariants, LineArrayRoundTripsRealFiles) {
  class StringSink : public CByteSink {
   public:
    bool Write(const char* data, std::size_t size) override {
      bytes.append(data, size);
      return true;
    }
    std::string bytes;
  };
  for (const fs::path& file : Inputs()) {
    std::string crlf;
    for (char c : ReadFileBytes(file.string())) {
      if (c == '\r') continue;
      if (c == '\n') crlf.push_back('\r');
      crlf.push_back(c);
    }
    if (!crlf.empty() && crlf.back() != '\n') crlf.append("\r\n");
    CLineArray lines;
    lines.ReadLines(crlf);
    StringSink sink;
    ASSERT_TRUE(lines.WriteLines(sink));
    EXPECT_EQ(sink.bytes, crlf) << file;
  }
}

}  // namespace
}  // namespace vantorel::testing
