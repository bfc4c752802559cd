// Whole script files: every case states the literal result; VERIFY_SCRIPT also checks that the
// result is stable, that indentation in the input does not matter, and that no byte but blanks
// and line breaks is lost or invented.
#include <gtest/gtest.h>

#include "engine_test_util.h"

namespace vantorel::testing {
namespace {

const LayoutOptions kSameLine = Layout(1, 0, 4);

TEST(ScriptReindenter, WorkedExampleBothBraceStyles) {
  const Lines input = {"function f(a) {", "if (a) { return 1; } else { return 2; }", "}"};
  VERIFY_SCRIPT((Lines{"function f(a)", "{", "  if (a)", "  {", "    return 1;", "  }", "  else",
                       "  {", "    return 2;", "  }", "}"}),
                input, Layout(0, 0, 2));
  VERIFY_SCRIPT((Lines{"function f(a){", "  if (a){", "    return 1;", "  }", "  else{",
                       "    return 2;", "  }", "}"}),
                input, Layout(1, 0, 2));
}

// Minified code runs a ")" into the word after it ("p)return"): a brace after a word that ends
// in return, throw or yield still stays on its line, where a line break would end the statement
// before an object; a longer word that merely ends alike does not keep it.
TEST(ScriptReindenter, BraceAfterAWordEndingInAStatementEndStaysOnItsLine) {
  const struct {
    Lines input;
    Lines output;
  } cases[] = {
      {{"if(0===p)return{height:0,width:0};"}, {"if(0===p)return{", "    height:0,width:0", "};"}},
      {{"if(e)throw{code:1};g()"}, {"if(e)throw{", "    code:1", "};", "g()"}},
      {{"function*h(){if(x)yield{v:1}}"},
       {"function*h()", "{", "    if(x)yield{", "        v:1", "    }", "}"}},
      {{"if(p)returned{q()}"}, {"if(p)returned", "{", "    q()", "}"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input[0]);
    VERIFY_SCRIPT(c.output, c.input);
  }
}

TEST(ScriptReindenter, OneLineBlockInEachLayout) {
  const Lines input = {"if (a) {b=1;c=2;}"};
  VERIFY_SCRIPT((Lines{"if (a)", "{", "    b=1;", "    c=2;", "}"}), input);
  VERIFY_SCRIPT((Lines{"if (a){", "    b=1;", "    c=2;", "}"}), input, kSameLine);
  VERIFY_SCRIPT((Lines{"if (a)", "{", "\tb=1;", "\tc=2;", "}"}), input, Layout(0, 1, 4));
  VERIFY_SCRIPT((Lines{"if (a)", "{", "\tb=1;", "\tc=2;", "}"}), input, Layout(0, 1, 0));
  VERIFY_SCRIPT((Lines{"if (a)", "{", "b=1;", "c=2;", "}"}), input, Layout(0, 0, 0));
  VERIFY_SCRIPT((Lines{"if (a)", "{", "   b=1;", "   c=2;", "}"}), input, Layout(0, 0, 3));
}

TEST(ScriptReindenter, NestedBlocksIndentByLevel) {
  const Lines input = {"while (a) { if (b) { c(); } d(); }"};
  VERIFY_SCRIPT((Lines{"while (a)", "{", "\tif (b)", "\t{", "\t\tc();", "\t}", "\td();", "}"}),
                input, Layout(0, 1, 2));
  VERIFY_SCRIPT((Lines{"while (a){", "        if (b){", "                c();", "        }",
                       "        d();", "}"}),
                input, Layout(1, 0, 8));
}

TEST(ScriptReindenter, ForHeaderKeepsTwoSemicolons) {
  VERIFY_SCRIPT((Lines{"for (i = 0; i < 10; i++)", "{", "    x++;", "}"}),
                {"for (i = 0; i < 10; i++) {x++;}"});
  VERIFY_SCRIPT((Lines{"for (k in o) f(k); g(); h();", "i();"}),
                {"for (k in o) f(k); g(); h(); i();"});
  VERIFY_SCRIPT((Lines{"for(;;)", "{", "    x;", "}"}), {"for(;;){x;}"});
  VERIFY_SCRIPT((Lines{"FOR (i=0; i<n; i++) x;"}), {"FOR (i=0; i<n; i++) x;"});
  // Only the whole word counts.
  VERIFY_SCRIPT((Lines{"fore (a;", "b)"}), {"fore (a; b)"});
  VERIFY_SCRIPT((Lines{"format(a);", "b;"}), {"format(a); b;"});
}

TEST(ScriptReindenter, BracesCancelTheForAllowance) {
  // The header's "{" uses up what is left, so the ";" of the body end their statements.
  VERIFY_SCRIPT((Lines{"for (x in o)", "{", "    a;", "    b;", "}", "c;", "d;"}),
                {"for (x in o) { a; b; } c; d;"});
}

TEST(ScriptReindenter, SemicolonsAfterBracesAndSemicolonsJoinTheLine) {
  VERIFY_SCRIPT((Lines{"x = 1;;"}), {"x = 1;;"});
  VERIFY_SCRIPT((Lines{"x = 1;;;", "y;"}), {"x = 1; ; ;", "", "y;"});
  VERIFY_SCRIPT((Lines{"if (a)", "{", "    b;", "};"}), {"if (a) {", "b;", "}", ";"});
  VERIFY_SCRIPT((Lines{"var o =", "{", "    a: 1", "};", "x;"}), {"var o = { a: 1 }; x;"});
}

TEST(ScriptReindenter, OneStatementPerLine) {
  VERIFY_SCRIPT((Lines{"a = 1;", "b = 2;"}), {"a = 1;    b = 2;"});
  VERIFY_SCRIPT((Lines{"x = a +", "b;"}), {"x = a +", "    b;"});
  VERIFY_SCRIPT((Lines{"a;", "b;"}), {"a;", "", "", "b;"});
  // Blanks inside strings are the program's data.
  VERIFY_SCRIPT((Lines{"s = 'x    y';", "t = \"a \t b\";"}),
                {"s   =   'x    y';  t = \"a \t b\";"});
}

TEST(ScriptReindenter, BlankAndEmptyInput) {
  VERIFY_SCRIPT((Lines{}), {});
  VERIFY_SCRIPT((Lines{"", "a;"}), {"", "a;"});
  VERIFY_SCRIPT((Lines{"", "a;"}), {"   ", "", "a;", "", ""});
}

// With the brace at the end of the line before, it joins whatever output line is last.
TEST(ScriptReindenter, SameLineBraceJoinsTheLastOutputLine) {
  VERIFY_SCRIPT((Lines{"a;{", "    b;", "}"}), {"a;", "{b;}"}, kSameLine);
  VERIFY_SCRIPT((Lines{"{", "    a;", "}"}), {"", "  {a;}"}, kSameLine);
}

TEST(ScriptReindenter, ElseBetweenBraces) {
  const Lines input = {"if (a) {", "x;", "} else {", "y;", "}"};
  VERIFY_SCRIPT((Lines{"if (a)", "{", "    x;", "}", "else", "{", "    y;", "}"}), input);
  VERIFY_SCRIPT((Lines{"if (a){", "    x;", "}", "else{", "    y;", "}"}), input, kSameLine);
}

TEST(ScriptReindenter, SurplusCloseBraceDrivesTheDepthBelowZero) {
  VERIFY_SCRIPT((Lines{"}", "a;", "{", "b;", "{", "    c;", "}", "}"}),
                {"}", "a;", "{", "b;", "{", "c;", "}", "}"});
  // "function" brings the depth back to 0 at once.
  VERIFY_SCRIPT((Lines{"}", "a;", "function g()", "{", "    b;", "}"}),
                {"}", "a;", "function g() {", "b;", "}"});
}

TEST(ScriptReindenter, FunctionWordResetsTheDepth) {
  VERIFY_SCRIPT((Lines{"var o =", "{", "f: function ()", "{", "    return 1;", "}", "};"}),
                {"var o = {", "f: function () {", "return 1;", "}", "};"});
  VERIFY_SCRIPT((Lines{"{", "FUNCTION f()", "{", "}", "}"}), {"{", "FUNCTION f() {}", "}"});
  // A word that merely contains it does not count; "=" is a word character.
  VERIFY_SCRIPT(
      (Lines{"{", "    myfunction();", "    x=function()", "    {", "        y;", "    }", "}"}),
      {"{", "myfunction();", "x=function(){", "y;", "}", "}"});
}

TEST(ScriptReindenter, BracesInStringsAndCommentsAreText) {
  VERIFY_SCRIPT((Lines{"s = 'a;b';"}), {"s = 'a;b';"});
  VERIFY_SCRIPT((Lines{"x = 1 // a;b"}), {"x = 1 // a;b"});
  VERIFY_SCRIPT((Lines{"s = \"{\" + '}';"}), {"s = \"{\" + '}';"});
  VERIFY_SCRIPT((Lines{"x = 1 /* { ; } */ + 2;"}), {"x = 1 /* { ; } */ + 2;"});
}

TEST(ScriptReindenter, TagsAreOrdinaryTextInAScriptFile) {
  VERIFY_SCRIPT((Lines{"a = b </script>;", "c;"}), {"a = b </script>;", "c;"});
  VERIFY_SCRIPT((Lines{"if (a <", "b) x;"}), {"if (a <", "b) x;"});
}

TEST(ScriptReindenter, CommentsAtTheEndOfCode) {
  VERIFY_SCRIPT((Lines{"x = 1 // note here"}), {"x = 1    //   note   here"});
  VERIFY_SCRIPT((Lines{"a(); // note", "b();"}), {"a(); // note", "b();"});
  VERIFY_SCRIPT((Lines{"a(); // note"}), {"a();      // note"});
  VERIFY_SCRIPT((Lines{"a(); /* note */", "b();"}), {"a(); /* note */ b();"});
}

TEST(ScriptReindenter, CommentAfterABraceStaysOnTheBraceLine) {
  const Lines input = {"if (x) { // note", "y;", "}"};
  VERIFY_SCRIPT((Lines{"if (x)", "{ // note", "    y;", "}"}), input);
  VERIFY_SCRIPT((Lines{"if (x){ // note", "    y;", "}"}), input, kSameLine);
  VERIFY_SCRIPT((Lines{"{", "    a;", "} // end", "b;"}), {"{ a; } // end", "b;"});
}

// Nothing is ever appended after a line comment: the brace goes before it.
TEST(ScriptReindenter, NothingIsJoinedAfterALineComment) {
  // The brace keeps a line of its own rather than moving ahead of the comment.
  VERIFY_SCRIPT((Lines{"if (x) // c", "{", "    y;", "}"}), {"if (x) // c", "{", "y;", "}"},
                kSameLine);
  VERIFY_SCRIPT((Lines{"if (x){ // c", "    y;", "}"}), {"if (x) { // c", "y;", "}"}, kSameLine);
  VERIFY_SCRIPT((Lines{"if (x)", "{", "    y;", "} // c", ";"}), {"if (x) {", "y;", "} // c", ";"});
  VERIFY_SCRIPT((Lines{"if (x)", "{", "    y;", "} /* c */;"}), {"if (x) {", "y;", "} /* c */;"});
}

TEST(ScriptReindenter, CommentLinesStayAtTheCurrentDepth) {
  VERIFY_SCRIPT((Lines{"{", "    // first", "    a;", "    // second", "}"}),
                {"{", "// first", "a;", "        // second", "}"});
  VERIFY_SCRIPT((Lines{"{", "    /* one", "    two", "    three */", "    a;", "}"}),
                {"{", "/* one", "  two", "three */", "a;", "}"});
  VERIFY_SCRIPT((Lines{"{", "    a; /* one", "    two */", "    b;", "}"}),
                {"{", "a; /* one", "two */ b;", "}"});
  VERIFY_SCRIPT((Lines{"// head", "a;"}), {"// head", "a;"});
  // Comments between the lines of one statement.
  VERIFY_SCRIPT((Lines{"x = a +", "// mid", "b;"}), {"x = a +", "  // mid", "b;"});
  VERIFY_SCRIPT((Lines{"x = a /* one", "two */", "+ b;"}), {"x = a /* one", "two */ + b;"});
}

}  // namespace
}  // namespace vantorel::testing
