// Inputs that once came out differently when formatted a second time. Each must format to a
// fixed point at once, under every option set, as a script and as a page.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "line_array.h"
#include "script_analyzer.h"

namespace vantorel::testing {
namespace {

std::string Format(const std::string& bytes, bool page, const LayoutOptions& options) {
  CLineArray input;
  input.ReadLines(bytes);
  CLineArray output;
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options);
  analyzer.SetPageMode(page);
  analyzer.Run(input, output);
  std::string text;
  for (std::size_t i = 0; i < output.GetSize(); ++i) text.append(output.GetAt(i)).append("\n");
  return text;
}

using namespace std::string_view_literals;

struct StableCase {
  const char* label;
  std::string_view input;  // may hold NUL bytes
  bool page;
};

TEST(Stability, SecondRunChangesNothing) {
  const std::vector<StableCase> cases = {
      {"blank line inside an unclosed comment", "/*\n\t", false},
      {"blank lines inside a comment", "x\n/* a\n\n  \n b */ y;\n", false},
      {"brace after an unterminated string", "x\n'<for)=\n{{ (${x*/({\n", false},
      {"brace after a string on the line before", "a = 'x'\n{\n}\n", false},
      {"comment cut by the closing tag", "<html><script>=<${/*\t-x</script>\n", true},
      {"comment right after code", "x-->/*</script>", true},
      {"comment after an operator", "x\n(-a</*//for\t\n\n\"for", false},
      {"tab before a comment at the tag", "<html><script>(x>(\t/*c</script>", true},
      {"decrement-greater that follows other code", "/* c */-->x{\n'a'\n}\n", false},
      {"decrement-greater after a brace", "<html><script>{\\; -->-${x(</script>", true},
      {"html close comment at the script's start", "<html><script>-->x\ny;</script>", true},
      {"vertical tab after a statement", ";\v\n", false},
      {"form feed and lone CR between statements", "a;\f\r\nb;\r c;\n", false},
      {"page cut off inside a closing tag", "<html><script>1</script</script", true},
      {"closing tag name followed by markup", "<html><script>a</script<b", true},
      {"closing tag name before the real closing tag", "<html><script>`</script</script>", true},
      {"blank after a backslash at a line's end", "\"\\ \n` ", false},
      {"brace after a slash on the line before", "/\n{//\ni", false},
      {"brace after a division on the line before",
       "function f(n) {\nvar r = {valueOf: f} / n +\n{ // c\nvalueOf: g };\nif (a) {\nc();\n}\n}\n",
       false},
      {"brace after a division by a keyword-named property", "x = a.in / b +\n{ // c\n}\n", false},
      {"brace after a line that a brace split from a division", "/}:\n{", false},
      {"vertical tab after a closing tag's name", "<html><script>2</script\v\n>", true},
      {"vertical tab after a closing tag's name in a comment", "<body><script>/*</scripT\v\n\xc0",
       true},
      {"continued string in a substitution before an empty line",
       "`${\"\\\n\r\r\n}`}`;>", false},
      {"blank after an opening tag's name in an escaped block",
       "<html><script><!--\n<script {</script>\n", true},
      {"lone CR after an opening tag's name in an escaped block",
       "<html><script><!--\n<script\r {</script>\n", true},
      {"lone CR after an opening tag's name in a statement, before a block",
       "<html><script><!--\nx = a <script\r\r {</script>\n", true},
      {"comments that touch, before a brace on their line", "x(/*a*//*b*/ /*c*/{\ny\n}\n", false},
      {"comments apart by a tab, before a brace on their line", "x(/*a*/\t/*b*/{\ny\n}\n", false},
      {"comments apart by a vertical tab, before a brace on their line",
       "x(/*a*/ \v\t/*b*/{\ny\n}\n", false},
      {"vertical tab before a comment, before a brace on its line", "x( \v /*c*/{\ny\n}\n", false},
      {"lone CR before a comment, before a brace on its line", "x(\r/*c*/{\ny\n}\n", false},
      {"vertical tab before an html comment cut by a closing tag",
       "<body><script>>\v<!--</script\n\xff", true},
      {"keyword that a continued string's line ends in, before a lone CR",
       "x = \"\\\nwith\r\0\n(a)\n{\n}\n"sv, false},
      {"brace after a division on a line that closes a template", "`\n`./\n{/*\nr\n", false},
      {"comments that touch, before a brace in a block",
       "<html><script>f(/*a*//*b*/{\n}</script>", true},
      {"semicolon from the next line after a division, a comment with a slash after it",
       "/;\n; // x/ {\n", false},
      {"form feed before a regular expression on the line after a tag name in a block",
       "<html><script><script\n\f/}/", true},
      {"semicolon from the next line after a division, a block comment after it",
       "/;\n; /* x/ { */\n", false},
      {"keyword alone on a template's line, before a lone CR", "}`\nfunction\r\0\n`{i"sv, false},
      {"keyword alone on a template's line in a block, before a lone CR",
       "<html><script>}`\nfunction\r\0\n`{i</script>"sv, true},
      {"'class' alone on a template's line, before a lone CR", "`\nclass\r\0\n`\nx\n{\ny\n}\n"sv,
       false},
  };
  const LayoutOptions optionSets[] = {{0, 0, 2}, {1, 0, 4}, {0, 1, 2}, {1, 0, 0}};
  for (const StableCase& c : cases) {
    for (const LayoutOptions& options : optionSets) {
      std::string once = Format(std::string(c.input), c.page, options);
      EXPECT_EQ(Format(once, c.page, options), once)
          << c.label << " (brace " << options.bracketStyle << ", tabs " << options.insertMode
          << ", indent " << options.indentCount << ")";
    }
  }
}

}  // namespace
}  // namespace vantorel::testing
