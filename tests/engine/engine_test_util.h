#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer_progress.h"
#include "line_array.h"
#include "output_emitter.h"
#include "script_analyzer.h"

namespace vantorel::testing {

using Lines = std::vector<std::string>;

inline CLineArray ToLineArray(const Lines& lines) {
  CLineArray array;
  for (const std::string& line : lines) array.Add(line);
  return array;
}

inline Lines FromLineArray(const CLineArray& array) {
  Lines lines;
  for (std::size_t i = 0; i < array.GetSize(); ++i) lines.emplace_back(array.GetAt(i));
  return lines;
}

inline LayoutOptions Layout(int bracketStyle, int insertMode, int indentCount) {
  LayoutOptions options;
  options.bracketStyle = bracketStyle;
  options.insertMode = insertMode;
  options.indentCount = indentCount;
  return options;
}

// The layout most cases use: braces on lines of their own, four spaces per level.
inline LayoutOptions DefaultLayout() {
  return Layout(0, 0, 4);
}

// One layout of each kind: braces apart or joined, spaces, tabs and no indentation.
inline const LayoutOptions kEveryLayout[] = {Layout(0, 0, 4), Layout(1, 0, 2), Layout(0, 1, 0),
                                             Layout(1, 0, 0)};

struct RunOutcome {
  int result = -1;
  Lines output;
};

enum class InputKind { Script, Page };

// Where the later part of a split run may start: a script's lines after the first, a page's
// "<" bytes (the later part reads on from the first script tag from there).
inline std::vector<TextPos> SplitStarts(const CLineArray& in, InputKind kind) {
  std::vector<TextPos> starts;
  for (std::size_t line = 0; line < in.GetSize(); ++line) {
    const std::string_view text = in.GetAt(line);
    if (kind == InputKind::Script && line > 0)
      starts.push_back({static_cast<std::ptrdiff_t>(line), 0});
    for (std::size_t column = 0; kind == InputKind::Page && column < text.size(); ++column) {
      if (text[column] == '<') starts.push_back({static_cast<std::ptrdiff_t>(line), column});
    }
  }
  return starts;
}

// An input read in two parts, the later one starting at each place it may in turn (at most about
// 64 of them), gives the lines it gives read in one part.
inline void ExpectSplitRunsAgree(const CLineArray& in, const LayoutOptions& options, InputKind kind,
                                 const RunOutcome& whole) {
  const std::vector<TextPos> starts = SplitStarts(in, kind);
  const std::size_t step = starts.size() / 64 + 1;
  for (std::size_t k = 0; k < starts.size(); k += step) {
    CScriptAnalyzer analyzer;
    analyzer.SetOptions(options);
    analyzer.SetPageMode(kind == InputKind::Page);
    ScriptSplit split;
    split.line = starts[k].line;
    split.column = starts[k].column;
    split.concurrent = false;
    analyzer.SetScriptSplit(split);
    CLineArray out;
    EXPECT_EQ(analyzer.Run(in, out), whole.result);
    EXPECT_EQ(FromLineArray(out), whole.output)
        << "later part from line " << starts[k].line << ", column " << starts[k].column;
  }
}

// With a progress display, progress is reported at every token unless an interval is given.
inline RunOutcome RunAnalyzer(const Lines& input, const LayoutOptions& options, InputKind kind,
                              CAnalyzerProgress* progress = nullptr, bool fastPath = true,
                              int progressInterval = 1) {
  CLineArray in = ToLineArray(input);
  CLineArray out;
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options);
  analyzer.SetPageMode(kind == InputKind::Page);
  analyzer.SetProgress(progress);
  analyzer.SetProgressInterval(progressInterval);
  analyzer.SetFastPath(fastPath);
  RunOutcome outcome;
  outcome.result = analyzer.Run(in, out);
  outcome.output = FromLineArray(out);
  if (!progress && fastPath && analyzer.FastPathUsed()) {
    // Every case the lean pass works on checks it against the general path too.
    CLineArray general;
    analyzer.SetFastPath(false);
    EXPECT_EQ(analyzer.Run(in, general), outcome.result);
    EXPECT_EQ(FromLineArray(general), outcome.output) << "lean pass and general path differ";
    ExpectSplitRunsAgree(in, options, kind, outcome);
  }
  return outcome;
}

inline Lines FormatScript(const Lines& input, const LayoutOptions& options = DefaultLayout()) {
  return RunAnalyzer(input, options, InputKind::Script).output;
}

inline Lines FormatPage(const Lines& input, const LayoutOptions& options = DefaultLayout()) {
  return RunAnalyzer(input, options, InputKind::Page).output;
}

// A run read in parts as `split` asks, with a display looked at every 64 tokens.
struct SplitResult {
  int result = -1;
  Lines output;
  SplitOutcome outcome = SplitOutcome::OnePart;
};

inline SplitResult RunSplit(const CLineArray& input, const LayoutOptions& layout, ScriptSplit split,
                            CAnalyzerProgress* progress = nullptr, bool page = false) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(layout);
  analyzer.SetPageMode(page);
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

// The non-blank bytes of some lines, split into the text of line comments and everything else.
// Quotes and block comments are followed the way the re-indenter reads them, so that a "//"
// inside a string or a block comment is no line comment.
struct NonBlankText {
  std::string code;
  std::string lineComments;
};

inline NonBlankText NonBlankBytes(const Lines& lines) {
  NonBlankText text;
  bool inBlockComment = false;
  for (const std::string& line : lines) {
    char quote = 0;
    bool inLineComment = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      char c = line[i];
      bool next = i + 1 < line.size();
      if (!inLineComment && !inBlockComment) {
        if (quote != 0) {
          if (c == quote && line[i - 1] != '\\') quote = 0;
        } else if (c == '\'' || c == '"') {
          quote = c;
        } else if (c == '/' && next && line[i + 1] == '/') {
          inLineComment = true;
        } else if (c == '/' && next && line[i + 1] == '*') {
          inBlockComment = true;
          text.code += "/*";
          ++i;
          continue;
        }
      } else if (inBlockComment && c == '*' && next && line[i + 1] == '/') {
        inBlockComment = false;
        text.code += "*/";
        ++i;
        continue;
      }
      if (c == ' ' || (c >= '\t' && c <= '\r')) continue;
      (inLineComment ? text.lineComments : text.code).push_back(c);
    }
  }
  return text;
}

inline Lines WithoutIndentation(const Lines& lines) {
  Lines stripped;
  for (const std::string& line : lines) {
    std::size_t first = line.find_first_not_of(" \t");
    stripped.push_back(first == std::string::npos ? std::string() : line.substr(first));
  }
  return stripped;
}

// The engine moves only blanks and line breaks, with one exception: a brace or ";" joined to a
// line that ends in a line comment goes before the comment. So the comments' text and the rest
// are each compared in order.
inline void ExpectSameNonBlankBytes(const Lines& input, const Lines& output) {
  NonBlankText in = NonBlankBytes(input);
  NonBlankText out = NonBlankBytes(output);
  EXPECT_EQ(out.code, in.code) << "bytes other than blanks changed";
  EXPECT_EQ(out.lineComments, in.lineComments) << "line comments changed";
}

// A script formats to the expected lines; formatting them again changes nothing; a copy of the
// input without any indentation formats the same way; and no non-blank byte is lost or invented.
inline void VerifyScript(const Lines& expected, const Lines& input,
                         const LayoutOptions& options = DefaultLayout()) {
  Lines output = FormatScript(input, options);
  EXPECT_EQ(output, expected);
  EXPECT_EQ(FormatScript(expected, options), expected) << "formatting the result again changed it";
  EXPECT_EQ(FormatScript(WithoutIndentation(input), options), expected)
      << "the input without indentation formats differently";
  ExpectSameNonBlankBytes(input, output);
}

// Page text keeps its own layout, so only the result, its stability and the byte invariant hold.
inline void VerifyPage(const Lines& expected, const Lines& input,
                       const LayoutOptions& options = DefaultLayout()) {
  Lines output = FormatPage(input, options);
  EXPECT_EQ(output, expected);
  EXPECT_EQ(FormatPage(expected, options), expected) << "formatting the result again changed it";
  ExpectSameNonBlankBytes(input, output);
}

}  // namespace vantorel::testing

// SCOPED_TRACE names the caller's line when a check inside the helper fails.
#define VERIFY_SCRIPT(...)                          \
  do {                                              \
    SCOPED_TRACE("VERIFY_SCRIPT");                  \
    ::vantorel::testing::VerifyScript(__VA_ARGS__); \
  } while (0)

#define VERIFY_PAGE(...)                          \
  do {                                            \
    SCOPED_TRACE("VERIFY_PAGE");                  \
    ::vantorel::testing::VerifyPage(__VA_ARGS__); \
  } while (0)
