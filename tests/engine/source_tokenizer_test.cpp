// Token streams as tables: type, text, line and column of every token.
#include "source_tokenizer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine_test_util.h"

namespace vantorel::testing {
namespace {

struct Tok {
  int type;
  std::string text;
  std::ptrdiff_t line;
  std::size_t column;

  bool operator==(const Tok& other) const {
    return type == other.type && text == other.text && line == other.line && column == other.column;
  }
};

std::ostream& operator<<(std::ostream& out, const Tok& tok) {
  const char* type = tok.type == TokenWord        ? "Word"
                     : tok.type == TokenOperator  ? "Op"
                     : tok.type == TokenEndOfLine ? "EOL"
                                                  : "?";
  return out << type << "('" << tok.text << "' @" << tok.line << ":" << tok.column << ")";
}

Tok W(std::string text, std::ptrdiff_t line, std::size_t column) {
  return {TokenWord, std::move(text), line, column};
}
Tok Op(std::string text, std::ptrdiff_t line, std::size_t column) {
  return {TokenOperator, std::move(text), line, column};
}
Tok Gap(std::ptrdiff_t line, std::size_t column) {
  return Op(" ", line, column);
}
Tok Eol(std::ptrdiff_t line, std::size_t column) {
  return {TokenEndOfLine, "", line, column};
}

struct Config {
  std::vector<std::string> operators;
  std::vector<std::string> lineComments;
  std::vector<std::pair<std::string, std::string>> blocks;
  int quoteMode;
  bool skipBlanks;
};

Config Cfg(std::vector<std::string> operators, std::vector<std::string> lineComments = {},
           std::vector<std::pair<std::string, std::string>> blocks = {}, int quoteMode = 3,
           bool skipBlanks = true) {
  return {std::move(operators), std::move(lineComments), std::move(blocks), quoteMode, skipBlanks};
}

void Configure(CSourceTokenizer& tokenizer, const Config& config) {
  tokenizer.ClearOperators();
  tokenizer.ClearLineComments();
  tokenizer.ClearBlocks();
  for (const std::string& op : config.operators) tokenizer.AddOperator(op);
  for (const std::string& opener : config.lineComments) tokenizer.AddLineComment(opener);
  for (const auto& block : config.blocks) tokenizer.AddBlock(block.first, block.second);
  tokenizer.SetQuoteMode(config.quoteMode);
  tokenizer.SetSkipBlanks(config.skipBlanks);
}

Tok Current(const CSourceTokenizer& tokenizer) {
  return {tokenizer.GetTokenType(), std::string(tokenizer.GetTokenText()), tokenizer.GetTokenLine(),
          tokenizer.GetTokenColumn()};
}

std::vector<Tok> ReadAll(CSourceTokenizer& tokenizer) {
  std::vector<Tok> tokens;
  while (tokenizer.NextToken()) tokens.push_back(Current(tokenizer));
  return tokens;
}

std::vector<Tok> Tokenize(const CLineArray& lines, const Config& config) {
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, config);
  tokenizer.LoadLine();
  return ReadAll(tokenizer);
}

const Config kScriptLike = Cfg({"=", ";"}, {"//"}, {{"/*", "*/"}});

struct StreamCase {
  const char* label;
  Config config;
  Lines lines;
  std::vector<Tok> tokens;
};

TEST(SourceTokenizer, TokenStreams) {
  const std::vector<StreamCase> cases = {
      {"worked example: a quoted string is one word",
       Cfg({"=", ";"}),
       {"var x = 'a b';"},
       {W("var", 0, 0), Gap(0, 4), W("x", 0, 4), Op("=", 0, 6), W("'a b'", 0, 8), Op(";", 0, 13),
        Eol(0, 13)}},
      {"empty line", kScriptLike, {""}, {Eol(0, 0)}},
      {"leading blanks give a gap before the first word",
       kScriptLike,
       {"  x"},
       {Gap(0, 2), W("x", 0, 2), Eol(0, 3)}},
      {"no gap next to an operator",
       kScriptLike,
       {"a  ;  b"},
       {W("a", 0, 0), Op(";", 0, 3), W("b", 0, 6), Eol(0, 7)}},
      {"operator first", kScriptLike, {";a"}, {Op(";", 0, 0), W("a", 0, 1), Eol(0, 2)}},
      {"end of line after an operator carries its column, trailing blanks or not",
       kScriptLike,
       {"a;", "b ;  "},
       {W("a", 0, 0), Op(";", 0, 1), Eol(0, 1), W("b", 1, 0), Op(";", 1, 2), Eol(1, 2)}},
      {"end of line after a word is the line's length",
       kScriptLike,
       {"ab  "},
       {W("ab", 0, 0), Eol(0, 4)}},
      {"a comment-only line gives only its end of line",
       kScriptLike,
       {"  // x", "/* y */"},
       {Eol(0, 6), Eol(1, 7)}},
      {"escaped quote does not end a string",
       kScriptLike,
       {"s='a\\'b';"},
       {W("s", 0, 0), Op("=", 0, 1), W("'a\\'b'", 0, 2), Op(";", 0, 8), Eol(0, 8)}},
      {"a quote after an escaped backslash still counts as escaped",
       kScriptLike,
       {"'a\\\\' b;"},
       {W("'a\\\\' b;", 0, 0), Eol(0, 8)}},
      {"string glued to the words around it",
       kScriptLike,
       {"f'; x'g;"},
       {W("f'; x'g", 0, 0), Op(";", 0, 7), Eol(0, 7)}},
      {"quote mode 1: double quotes are word characters",
       Cfg({";"}, {}, {}, 1),
       {"say \"a b\" 'c d'"},
       {W("say", 0, 0), Gap(0, 4), W("\"a", 0, 4), Gap(0, 7), W("b\"", 0, 7), Gap(0, 10),
        W("'c d'", 0, 10), Eol(0, 15)}},
      {"quote mode 2: single quotes are word characters",
       Cfg({";"}, {}, {}, 2),
       {"'a b' \"c d\""},
       {W("'a", 0, 0), Gap(0, 3), W("b'", 0, 3), Gap(0, 6), W("\"c d\"", 0, 6), Eol(0, 11)}},
      {"quote mode 0 and an unknown mode: no strings at all",
       Cfg({";"}, {}, {}, 7),
       {"'a;b'"},
       {W("'a", 0, 0), Op(";", 0, 2), W("b'", 0, 3), Eol(0, 5)}},
      {"blanks are word characters when not skipped",
       Cfg({"<"}, {}, {}, 0, false),
       {" a b <c"},
       {W(" a b ", 0, 0), Op("<", 0, 5), W("c", 0, 6), Eol(0, 7)}},
      {"an unterminated string ends with its line",
       kScriptLike,
       {"x = 'abc", "b' ; c"},
       {W("x", 0, 0), Op("=", 0, 2), W("'abc", 0, 4), Eol(0, 8), W("b' ; c", 1, 0), Eol(1, 6)}},
      {"a block runs over lines until its end delimiter",
       kScriptLike,
       {"a /* b;", "c; d", "e */ f;"},
       {W("a", 0, 0), Eol(0, 7), Eol(1, 4), Gap(2, 5), W("f", 2, 5), Op(";", 2, 6), Eol(2, 6)}},
      {"line comment is tested before a block",
       kScriptLike,
       {"a //* b", "c"},
       {W("a", 0, 0), Eol(0, 7), W("c", 1, 0), Eol(1, 1)}},
      {"a quote is tested before both comments",
       kScriptLike,
       {"'//' '/*' x"},
       {W("'//'", 0, 0), Gap(0, 5), W("'/*'", 0, 5), Gap(0, 10), W("x", 0, 10), Eol(0, 11)}},
      {"comment openers match without regard to case",
       Cfg({";"}, {"rem"}, {{"<!--", "-->"}}),
       {"a REM ; b", "c<!-- ; --> d"},
       {W("a", 0, 0), Eol(0, 9), W("c", 1, 0), Gap(1, 12), W("d", 1, 12), Eol(1, 13)}},
      {"operator lookup is exact although classification ignores case",
       Cfg({"ab"}),
       {"xaby", "xAByz"},
       {W("x", 0, 0), Op("ab", 0, 1), W("y", 0, 3), Eol(0, 4), W("x", 1, 0), Gap(1, 1), Gap(1, 2),
        W("yz", 1, 3), Eol(1, 5)}},
      {"adjacent operators split by the longest listed prefix",
       Cfg({"=", "(", "=="}),
       {"f=(x", "a===b"},
       {W("f", 0, 0), Op("=", 0, 1), Op("(", 0, 2), W("x", 0, 3), Eol(0, 4), W("a", 1, 0),
        Op("==", 1, 1), Op("=", 1, 3), W("b", 1, 4), Eol(1, 5)}},
      {"the first listed operator decides classification, not the longest",
       Cfg({"<", "<!"}),
       {"a<!b"},
       {W("a", 0, 0), Op("<", 0, 1), W("!b", 0, 2), Eol(0, 4)}},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Tokenize(ToLineArray(c.lines), c.config), c.tokens);
  }
}

TEST(SourceTokenizer, EndOfInputIsFinal) {
  CLineArray empty;
  CSourceTokenizer tokenizer;
  ASSERT_TRUE(tokenizer.Attach(&empty));
  EXPECT_FALSE(tokenizer.NextToken());

  CLineArray lines = ToLineArray({"a"});
  ASSERT_TRUE(tokenizer.Attach(&lines));
  EXPECT_EQ(ReadAll(tokenizer), (std::vector<Tok>{W("a", 0, 0), Eol(0, 1)}));
  EXPECT_FALSE(tokenizer.NextToken());
  tokenizer.LoadLine();
  EXPECT_FALSE(tokenizer.NextToken());
}

TEST(SourceTokenizer, AttachNeedsAnArray) {
  CSourceTokenizer tokenizer;
  EXPECT_FALSE(tokenizer.NextToken());
  EXPECT_FALSE(tokenizer.Attach(nullptr));
  EXPECT_FALSE(tokenizer.NextToken());

  // Attaching nothing keeps the old binding; attaching again restarts at the first line.
  CLineArray lines = ToLineArray({"a b"});
  ASSERT_TRUE(tokenizer.Attach(&lines));
  ASSERT_TRUE(tokenizer.NextToken());
  EXPECT_FALSE(tokenizer.Attach(nullptr));
  EXPECT_EQ(ReadAll(tokenizer), (std::vector<Tok>{Gap(0, 2), W("b", 0, 2), Eol(0, 3)}));
  ASSERT_TRUE(tokenizer.Attach(&lines));
  EXPECT_EQ(ReadAll(tokenizer).size(), 4u);
}

// Page text before a tag is never read again under the tag's configuration, so an apostrophe in
// it cannot open a string that swallows the tag.
TEST(SourceTokenizer, ReconfigurationClassifiesOnlyTheRestOfTheLine) {
  CLineArray lines = ToLineArray({"it's <b x='y z'>"});
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, Cfg({"<"}, {}, {}, 0, false));
  tokenizer.LoadLine();
  ASSERT_TRUE(tokenizer.NextToken());
  EXPECT_EQ(Current(tokenizer), W("it's ", 0, 0));
  ASSERT_TRUE(tokenizer.NextToken());
  EXPECT_EQ(Current(tokenizer), Op("<", 0, 5));

  Configure(tokenizer, Cfg({"<", ">", "="}));
  tokenizer.LoadLine();
  EXPECT_EQ(ReadAll(tokenizer),
            (std::vector<Tok>{W("b", 0, 6), Gap(0, 8), W("x", 0, 8), Op("=", 0, 9),
                              W("'y z'", 0, 10), Op(">", 0, 15), Eol(0, 15)}));
}

TEST(SourceTokenizer, BlockOpenAtALineEndContinuesAfterReclassification) {
  CLineArray lines = ToLineArray({"a /* b", "c */ d"});
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, kScriptLike);
  tokenizer.LoadLine();
  ASSERT_TRUE(tokenizer.NextToken());
  tokenizer.LoadLine();
  ASSERT_TRUE(tokenizer.NextToken());
  EXPECT_EQ(Current(tokenizer), Eol(0, 6));
  EXPECT_TRUE(tokenizer.LineEndsInBlock());
  tokenizer.LoadLine();
  EXPECT_EQ(ReadAll(tokenizer), (std::vector<Tok>{Gap(1, 5), W("d", 1, 5), Eol(1, 6)}));
}

TEST(SourceTokenizer, ReportsWhereALineCommentStarts) {
  CLineArray lines = ToLineArray({"a; // b", "'//' c"});
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, kScriptLike);
  tokenizer.LoadLine();
  ASSERT_TRUE(tokenizer.NextToken());
  EXPECT_EQ(tokenizer.LineCommentStart(), 3u);
  EXPECT_FALSE(tokenizer.LineEndsInBlock());
  while (tokenizer.NextToken() && tokenizer.GetTokenLine() == 0) {
  }
  EXPECT_EQ(tokenizer.LineCommentStart(), std::string_view::npos);
}

TEST(SourceTokenizer, ReadFromRestartsAtAPosition) {
  CLineArray lines = ToLineArray({"var x;", "y = 'a;b';"});
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, kScriptLike);
  tokenizer.LoadLine();
  EXPECT_EQ(ReadAll(tokenizer).size(), 10u);
  tokenizer.ReadFrom(0, 4);
  EXPECT_EQ(ReadAll(tokenizer),
            (std::vector<Tok>{W("x", 0, 4), Op(";", 0, 5), Eol(0, 5), W("y", 1, 0), Op("=", 1, 2),
                              W("'a;b'", 1, 4), Op(";", 1, 9), Eol(1, 9)}));
}

}  // namespace
}  // namespace vantorel::testing

namespace vantorel::testing {
namespace {

// The lists of the re-indenter, with JavaScript literals.
std::vector<Tok> TokenizeScript(const Lines& text, std::ptrdiff_t stopLine = -1,
                                std::size_t stopColumn = 0) {
  CLineArray lines = ToLineArray(text);
  CSourceTokenizer tokenizer;
  tokenizer.Attach(&lines);
  Configure(tokenizer, Cfg({"<", ">", "{", "}", ";", "/", "("}, {"//", "<!--"}, {{"/*", "*/"}}));
  tokenizer.SetSyntax(Syntax::JavaScript);
  tokenizer.SetStopAt(stopLine, stopColumn);
  tokenizer.LoadLine();
  return ReadAll(tokenizer);
}

struct ScriptCase {
  const char* label;
  Lines lines;
  std::vector<Tok> tokens;
};

TEST(SourceTokenizer, JavaScriptHardCases) {
  const std::vector<ScriptCase> cases = {
      {"a regex after = is one word, its ; { } / and quotes inert",
       {"r = /a;b{2}[/\"']/g;"},
       {W("r", 0, 0), Gap(0, 2), W("=", 0, 2), Gap(0, 4), W("/a;b{2}[/\"']/g", 0, 4),
        Op(";", 0, 18), Eol(0, 18)}},
      {"after a name, a number, ) or ] a slash divides",
       {"a / b; 2/c; f(x)/d; v[0]/e"},
       {W("a", 0, 0), Op("/", 0, 2), W("b", 0, 4), Op(";", 0, 5), W("2", 0, 7), Op("/", 0, 8),
        W("c", 0, 9), Op(";", 0, 10), W("f", 0, 12), Op("(", 0, 13), W("x)", 0, 14),
        Op("/", 0, 16), W("d", 0, 17), Op(";", 0, 18), W("v[0]", 0, 20), Op("/", 0, 24),
        W("e", 0, 25), Eol(0, 26)}},
      {"after return a slash starts a regex",
       {"return /}/.test(s)"},
       {W("return", 0, 0), Gap(0, 7), W("/}/.test", 0, 7), Op("(", 0, 15), W("s)", 0, 16),
        Eol(0, 18)}},
      {"a slash with no closing slash on the line divides", {"x = /"}, {W("x", 0, 0), Gap(0, 2),
                                                                       W("=", 0, 2),
                                                                       Op("/", 0, 4), Eol(0, 4)}},
      {"an escaped backslash closes the string", {"s = 'a\\\\'; t"},
       {W("s", 0, 0), Gap(0, 2), W("=", 0, 2), Gap(0, 4), W("'a\\\\'", 0, 4), Op(";", 0, 9),
        W("t", 0, 11), Eol(0, 12)}},
      {"an escaped quote does not", {"'a\\'b';"},
       {W("'a\\'b'", 0, 0), Op(";", 0, 6), Eol(0, 6)}},
      {"a string continued by a final backslash goes on over the next line",
       {"s = 'a \\", "  {;}';"},
       {W("s", 0, 0), Gap(0, 2), W("=", 0, 2), Gap(0, 4), W("'a \\", 0, 4), Eol(0, 8),
        W("  {;}'", 1, 0), Op(";", 1, 6), Eol(1, 6)}},
      {"a template literal spans lines with its substitutions",
       {"t = `a {;} ${ {b: \"}\"} }", "  ${`in ${c}`}`;"},
       {W("t", 0, 0), Gap(0, 2), W("=", 0, 2), Gap(0, 4), W("`a {;} ${ {b: \"}\"} }", 0, 4),
        Eol(0, 24), W("  ${`in ${c}`}`", 1, 0), Op(";", 1, 15), Eol(1, 15)}},
      {"an unclosed template keeps its lines, empty ones too",
       {"`a", "", "b`;"},
       {W("`a", 0, 0), Eol(0, 2), Eol(1, 0), W("b`", 2, 0), Op(";", 2, 2), Eol(2, 2)}},
      {"<!-- anywhere and --> at a line's start open line comments",
       {"a; <!-- b;", "  --> c;", "x-->y;"},
       {W("a", 0, 0), Op(";", 0, 1), Eol(0, 1), Eol(1, 8), W("x--", 2, 0), Op(">", 2, 3),
        W("y", 2, 4), Op(";", 2, 5), Eol(2, 5)}},
      {"nothing runs past a page block's end",
       {"s = '</script>';"},
       {W("s", 0, 0), Gap(0, 2), W("=", 0, 2), Gap(0, 4), W("'", 0, 4), Op("<", 0, 5),
        Op("/", 0, 6), W("script", 0, 7), Op(">", 0, 13), W("';", 0, 14), Eol(0, 16)}},
  };
  for (const ScriptCase& c : cases) {
    bool stop = std::string(c.label).find("page block") != std::string::npos;
    EXPECT_EQ(stop ? TokenizeScript(c.lines, 0, 5) : TokenizeScript(c.lines), c.tokens)
        << c.label;
  }
}

}  // namespace
}  // namespace vantorel::testing
