// Pages: page text is copied through byte for byte, JavaScript script blocks are re-indented.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_test_util.h"

namespace vantorel::testing {
namespace {

RunOutcome Page(const Lines& input, const LayoutOptions& options = DefaultLayout()) {
  return RunAnalyzer(input, options, InputKind::Page);
}

TEST(HtmlScanner, PageTextCopiedAndBlockReindented) {
  const Lines input = {
      "<html>",
      "<head><title>t</title></head>",
      "<body>",
      "  <p>before</p>",
      "<script language=\"JavaScript\">",
      "  function f(a) { if (a) { return 1; } }",
      "</script>",
      "",
      "   <p>after</p>  ",
      "</body>",
      "</html>",
  };
  const Lines expected = {
      "<html>",
      "<head><title>t</title></head>",
      "<body>",
      "  <p>before</p>",
      "<script language=\"JavaScript\">",
      "function f(a)",
      "{",
      "    if (a)",
      "    {",
      "        return 1;",
      "    }",
      "}",
      "</script>",
      "<p>after</p>  ",
      "</body>",
      "</html>",
  };
  VERIFY_PAGE(expected, input);
  EXPECT_EQ(Page(input).result, ResultDone);
}

struct TagCase {
  const char* tag;
  bool javaScript;
};

TEST(HtmlScanner, LanguageAttributeDecides) {
  const TagCase cases[] = {
      {"<script>", true},
      {"<script type=text/javascript>", true},
      {"<script type=\"text/vbscript\">", false},
      {"<SCRIPT LANGUAGE=JavaScript1.2>", true},
      {"<script language=\"text/javascript\">", true},
      {"<script language='JAVASCRIPT'>", true},
      {"< script src=\"a.js\"   language = javascript >", true},
      {"<script language=VBScript>", false},
      {"<script language=\"JScript\">", false},
      {"<script language>", true},
      {"<script language=>", false},
      {"<script xlanguage=vbscript>", true},
      {"<scripts>", false},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(c.tag);
    const Lines input = {"<html>", c.tag, "if (a) {b;}", "</script>", "</html>"};
    const Lines reindented = {"<html>", c.tag, "if (a)",    "{",
                              "    b;", "}",   "</script>", "</html>"};
    RunOutcome outcome = Page(input);
    EXPECT_EQ(outcome.output, c.javaScript ? reindented : input);
    EXPECT_EQ(outcome.result, c.javaScript ? ResultDone : ResultNoScript);
    ExpectSameNonBlankBytes(input, outcome.output);
  }
}

TEST(HtmlScanner, TagAttributesMaySpanLines) {
  VERIFY_PAGE(
      (Lines{"<html>", "<script", "  language=\"JavaScript\"", ">", "a;", "b;", "</script>",
             "</html>"}),
      {"<html>", "<script", "  language=\"JavaScript\"", ">", "a;b;", "</script>", "</html>"});
  // A tag name on the line after its "<" is not seen.
  const Lines split = {"<html><", "script>a;b;</script></html>"};
  RunOutcome outcome = Page(split);
  EXPECT_EQ(outcome.output, split);
  EXPECT_EQ(outcome.result, ResultNoScript);
}

TEST(HtmlScanner, CommentsHideScriptTags) {
  const std::vector<Lines> pages = {
      {"<html>", "<!-- <script>a;b;</script> -->", "</html>"},
      {"<html>", "<!--", "<script>", "a;b;", "</script>", "-->", "</html>"},
      {"<html> <!-- x --> <!-- <script>a;b;</script>", "--></html>"},
  };
  for (const Lines& page : pages) {
    SCOPED_TRACE(::testing::PrintToString(page));
    RunOutcome outcome = Page(page);
    EXPECT_EQ(outcome.output, page);
    EXPECT_EQ(outcome.result, ResultNoScript);
  }
}

// The page text before a tag on the same line is not classified again, so neither an HTML
// comment opener after the tag nor an apostrophe before it hides the tag.
TEST(HtmlScanner, TextAroundATagOnItsLineDoesNotHideIt) {
  VERIFY_PAGE(
      (Lines{"<html>", "<script language=\"javascript\"><!--", "a=1;", "//-->", "</script>",
             "</html>"}),
      {"<html>", "<script language=\"javascript\"><!--", "a=1;", "//-->", "</script>", "</html>"});
  VERIFY_PAGE((Lines{"<html>", "<p>it's</p><script>", "a;", "</script>", "</html>"}),
              {"<html>", "<p>it's</p><script>a;</script>", "</html>"});
}

TEST(HtmlScanner, ClosingTagForms) {
  VERIFY_PAGE((Lines{"<html><script>", "x = 1;", "</script>", "</html>"}),
              {"<html><script>", "x = 1;", "    </script>", "</html>"});
  VERIFY_PAGE((Lines{"<html><script>", "x = 1;", "</script>", "</html>"}),
              {"<html><script>", "x = 1;</script>", "</html>"});
  VERIFY_PAGE((Lines{"<html><script>", "x = 1", "</SCRIPT >", "</html>"}),
              {"<html><script>", "x = 1</SCRIPT >", "</html>"});
  // The tag and the token after it form a line of their own; page text goes on after them.
  VERIFY_PAGE((Lines{"<html><script>", "a;", "</script>", "<p>x</p>", "</html>"}),
              {"<html><script>a;</script> <p>x</p>", "</html>"});
}

TEST(HtmlScanner, ScriptTextThatIsNoClosingTag) {
  VERIFY_PAGE((Lines{"<html><script>", "if (a < b)", "{", "    c;", "}", "</script>", "</html>"}),
              {"<html><script>", "if (a < b) { c; }", "</script></html>"});
  // As in a browser, the block ends at the first closing tag, even inside a string.
  VERIFY_PAGE((Lines{"<html><script>", "s = '", "</script>", "';", "</script></html>"}),
              {"<html><script>", "s = '</script>';", "</script></html>"});
  // A line ending in "<" does not end the segment, but the output keeps its two lines.
  VERIFY_PAGE(
      (Lines{"<html>", "<script>", "if (a <", "b)", "{", "    c;", "}", "</script>", "</html>"}),
      {"<html>", "<script>", "if (a <", "b) {", "c;", "}", "</script>", "</html>"});
  // An HTML comment opener inside a script block is script text.
  VERIFY_PAGE((Lines{"<html><script>", "<!--", "a;", "//-->", "</script>", "</html>"}),
              {"<html><script>", "<!--", "a;", "//-->", "</script></html>"});
}

// A backslash right before the closing tag escapes nothing: the block ends there all the same,
// and the page text after it is copied as it stands.
TEST(HtmlScanner, BlockEndsAtAClosingTagAfterABackslash) {
  const char* const scripts[] = {
      "s = '\\",      // in a string
      "x = /a\\",     // in a regular expression
      "t = `a\\",     // in a template literal
      "t = `${'a\\",  // in a string inside a substitution
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    VERIFY_PAGE((Lines{"<html><script>", script, "</script>", "<pre>  a   b</pre>", "</html>"}),
                {"<html><script>", std::string(script) + "</script><pre>  a   b</pre>", "</html>"});
  }
  // A block of nothing but "-->" and what follows it on the tag's line keeps it all.
  VERIFY_PAGE((Lines{"<html><script>--> ;"}), {"<html><script>--> ;"});
  // A line comment inside a substitution ends there too.
  EXPECT_EQ(FormatPage({"<html><script>", "t = `${ // </script><pre>  a   b</pre>", "</html>"}),
            (Lines{"<html><script>", "t = `${ // ", "</script>", "<pre>  a   b</pre>", "</html>"}));
}

TEST(HtmlScanner, FirstTokenOfABlockIsExamined) {
  VERIFY_PAGE((Lines{"<html><script>", "{", "    a;", "}", "</script>", "</html>"}),
              {"<html><script>{a;}</script></html>"});
  VERIFY_PAGE((Lines{"<html><script>", "for (i = 0; i < n; i++) a;", "b;", "</script>", "</html>"}),
              {"<html><script>for (i = 0; i < n; i++) a; b;", "</script></html>"});
}

TEST(HtmlScanner, EmptyBlockDoesNotRunIntoThePage) {
  VERIFY_PAGE((Lines{"<html><head>", "<script src=\"a.js\">", "</script>", "<script>", "x=1;",
                     "</script>", "</head></html>"}),
              {"<html><head>", "<script src=\"a.js\"></script>", "<script>", "x=1;", "</script>",
               "</head></html>"});
}

TEST(HtmlScanner, AdjacentBlocks) {
  VERIFY_PAGE((Lines{"<html>", "<script>", "a;", "</script>", "<script language=VBScript>", "b;c;",
                     "</script>", "<script>", "d;", "e;", "</script>", "</html>"}),
              {"<html>", "<script>a;</script>", "", "", "<script language=VBScript>", "b;c;",
               "</script>", "<script>d;e;</script>", "</html>"});
}

TEST(HtmlScanner, PageTextAfterAClosingTagIsNoScript) {
  VERIFY_PAGE((Lines{"<html><script>", "a;", "</script>", "// x  {y;}", "/* z", "</html>"}),
              {"<html><script>a;</script>", "", "  // x  {y;}", "/* z", "</html>"});
}

TEST(HtmlScanner, EndsOfInput) {
  // Blank lines between the opening tag and the script are dropped.
  VERIFY_PAGE((Lines{"<html><script>", "a;", "</script>", "</html>"}),
              {"<html><script>", "", "  ", "a;</script></html>"});
  // A page ending right after an opening tag.
  VERIFY_PAGE((Lines{"<html><script>"}), {"<html><script>"});
  // No closing tag: the rest of the input is script.
  VERIFY_PAGE((Lines{"<html><script>", "a;", "b;", "</html>"}),
              {"<html><script>", "a;b;", "</html>"});
  // A segment still pending when the input ends.
  VERIFY_PAGE((Lines{"<html><script>", "a;", "x = a <"}), {"<html><script>", "a; x = a <"});
  // The last "<" and whatever follows it on the last line.
  VERIFY_PAGE((Lines{"<html>", "a <"}), {"<html>", "a <"});
  VERIFY_PAGE((Lines{"<html>", "</html>"}), {"<html>", "</html>"});
  VERIFY_PAGE((Lines{"<html>", "x </html>  "}), {"<html>", "x </html>  "});
}

TEST(HtmlScanner, PageTagsMarkAPage) {
  const struct {
    Lines page;
    int result;
  } cases[] = {
      {{"<html>"}, ResultNoScript},
      {{"<HEAD>"}, ResultNoScript},
      {{"< body class=x>"}, ResultNoScript},
      {{"</html>"}, ResultNotPage},
      {{"<", "html>"}, ResultNotPage},
      {{"<htmlx>"}, ResultNotPage},
      {{"<!-- <html> -->"}, ResultNotPage},
      {{"<p>html body head</p>"}, ResultNotPage},
      {{"<script>a;</script>"}, ResultNotPage},
      {{"<script>a;</script>", "<body>"}, ResultDone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.page));
    EXPECT_EQ(Page(c.page).result, c.result);
  }
}

// Scripts are re-indented even where the result code says the input is no page.
TEST(HtmlScanner, ScriptsOfANonPageAreStillReindented) {
  RunOutcome outcome = Page({"<script>if (a) {b;}</script>"});
  EXPECT_EQ(outcome.result, ResultNotPage);
  EXPECT_EQ(outcome.output, (Lines{"<script>", "if (a)", "{", "    b;", "}", "</script>"}));
}

TEST(HtmlScanner, BlocksUseTheLayoutOptions) {
  const Lines input = {"<html><body>", "<script>", "  if (a) { if (b) { c; } }", "</script>",
                       "</body></html>"};
  VERIFY_PAGE((Lines{"<html><body>", "<script>", "if (a){", "\tif (b){", "\t\tc;", "\t}", "}",
                     "</script>", "</body></html>"}),
              input, Layout(1, 1, 4));
  // Each block starts again at depth 0.
  VERIFY_PAGE((Lines{"<html><body>", "<script>", "{", "  a;", "</script>", "<script>", "{", "  b;",
                     "</script>", "</body></html>"}),
              {"<html><body>", "<script>{a;</script>", "<script>{b;</script>", "</body></html>"},
              Layout(0, 0, 2));
}

}  // namespace
}  // namespace vantorel::testing
