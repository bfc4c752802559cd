// Output lines from input spans: blank collapsing, trimming, indentation, braces, last-line edits.
#include "output_emitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_test_util.h"

namespace vantorel::testing {
namespace {

// An emitter writing into its own output array, with the given layout.
struct Emitter {
  explicit Emitter(LayoutOptions layout, const Lines& existing = {})
      : options(layout), output(ToLineArray(existing)), emitter(options, output) {}
  Lines Output() const { return FromLineArray(output); }

  LayoutOptions options;
  CLineArray output;
  COutputEmitter emitter;
};

struct LineCase {
  const char* text;
  int depth;
  const char* line;
};

TEST(OutputEmitter, EmitLineCollapsesTrimsAndIndents) {
  const LineCase cases[] = {
      {"  a  \t b  ", 4, "    a b"},
      {"a\t\tb", 0, "a\tb"},
      {"a \tb", 0, "a b"},
      {"a\t  b", 0, "a\tb"},
      {"s = 'x    y';", 0, "s = 'x y';"},
      {"x = 1  //  a   b", 2, "  x = 1 // a b"},
      {"", 8, "        "},
      {"", 0, ""},
      {"", -4, ""},
      {"  x  ", -4, "x"},
      {"\r\v x \f\r", 1, " x"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.text);
    Emitter e(Layout(0, 0, 4));
    e.emitter.EmitLine(c.text, c.depth);
    EXPECT_EQ(e.Output(), (Lines{c.line}));
  }
}

// The shorter way for lines with no literal and no comment writes what EmitLine writes, after
// any last line, with spaces or tabs; in a page's block, where "<script" at a line's end keeps
// the byte after it and a last line ending in it takes the text on, it takes EmitLine's way.
TEST(OutputEmitter, EmitPlainLineWritesWhatEmitLineWrites) {
  const char* const texts[] = {"  a  \t b  ",
                               "a\t\tb",
                               "x = 1  //  a   b",
                               "",
                               "   ",
                               "\r\v x \f\r",
                               "a\r",
                               "a\r\r  ",
                               "\t\ta b c d e f g h i j k l m n o p q r",
                               "x = '<' + y</script ",
                               "y <script\t",
                               "  tt  ",
                               "a = b;"};
  for (const char* before : {"before  ", "x = 1 </SCRIPT", "a <script", "at"}) {
    for (const char* text : texts) {
      for (int depth : {0, 3, -2}) {
        for (int insertMode : {0, 1}) {
          for (bool guard : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "[" << before << "] [" << text << "] " << depth
                                              << " " << insertMode << " " << guard);
            Emitter general(Layout(0, insertMode, 2), {before});
            Emitter plain(Layout(0, insertMode, 2), {before});
            general.emitter.GuardScriptEnd(guard);
            plain.emitter.GuardScriptEnd(guard);
            general.emitter.EmitLine(text, depth);
            plain.emitter.EmitPlainLine(text, depth);
            EXPECT_EQ(plain.Output(), general.Output());
            // Where it takes the text, EmitLine writes the same whether or not a line break
            // stood before it; elsewhere it writes nothing.
            Emitter tried(Layout(0, insertMode, 2), {before});
            tried.emitter.GuardScriptEnd(guard);
            if (tried.emitter.TryEmitPlainLine(text, depth)) {
              Emitter begun(Layout(0, insertMode, 2), {before});
              begun.emitter.GuardScriptEnd(guard);
              PieceShape shape;
              shape.beginsLine = true;
              begun.emitter.EmitLine(text, depth, shape);
              EXPECT_EQ(tried.Output(), general.Output());
              EXPECT_EQ(begun.Output(), general.Output());
            } else {
              EXPECT_TRUE(guard);
              EXPECT_EQ(tried.Output(), (Lines{before}));
            }
          }
        }
      }
    }
  }
}

// Lines are written in place at the end of the output, which moves as it grows: text taken from
// the output itself still comes out whole (under the address sanitizer, a read of moved text
// fails here).
TEST(OutputEmitter, EmitLineTakesTextFromTheOutputItself) {
  Emitter e(Layout(0, 0, 2), {"a  b"});
  Lines expected = {"a  b"};
  for (int i = 0; i < 12; ++i) {
    e.emitter.EmitLine(e.output.GetLast(), 2);
    expected.push_back("  " + COutputEmitter::CollapseBlanks(
                                  expected.back().substr(expected.back().find_first_not_of(' '))));
    e.output.AppendToLast(std::string(1000, 'x'));
    expected.back() += std::string(1000, 'x');
  }
  EXPECT_EQ(e.Output(), expected);
}

TEST(OutputEmitter, TabsIndentOneCharacterPerDepthUnit) {
  Emitter e(Layout(0, 1, 4));
  e.emitter.EmitLine("  x", 2);
  e.emitter.EmitLine("y", 0);
  EXPECT_EQ(e.Output(), (Lines{"\t\tx", "y"}));
  EXPECT_EQ(e.emitter.IndentLine(" z ", 3), "\t\t\tz");
}

TEST(OutputEmitter, CollapseBlanksKeepsTheFirstBlankOfEachRun) {
  EXPECT_EQ(COutputEmitter::CollapseBlanks("  a  \t b  "), " a b ");
  EXPECT_EQ(COutputEmitter::CollapseBlanks("\t  x"), "\tx");
  EXPECT_EQ(COutputEmitter::CollapseBlanks("a\r\r b"), "a\r\r b");
  EXPECT_EQ(COutputEmitter::CollapseBlanks(""), "");
}

// Blank runs are found sixteen bytes at a time, the last bytes of a text (fewer than sixteen) as
// a block of their own: a run may start, end or span anywhere in such a block, and the result
// must be the same as reducing the runs one byte at a time.
TEST(OutputEmitter, EmitLineCollapsesRunsAtEveryPositionOfABlock) {
  const char* const runs[] = {" ", "  ", "\t", " \t", "\t ", "         ", " \t \t \t \t \t"};
  for (const char* run : runs) {
    for (std::size_t before = 1; before <= 33; ++before) {
      for (std::size_t after = 1; after <= 17; ++after) {
        const std::string text =
            std::string(before, 'a') + run + std::string(after, 'b') + " c" + run + "d";
        Emitter e(Layout(0, 0, 2));
        e.emitter.EmitLine(text, 0);
        EXPECT_EQ(e.Output(), (Lines{COutputEmitter::CollapseBlanks(text)}))
            << before << " " << after << " [" << run << "]";
      }
    }
  }
}

TEST(OutputEmitter, StepsAreIndentCountSpacesOrOneTab) {
  const struct {
    LayoutOptions layout;
    int in;
    int out;
  } cases[] = {
      {Layout(0, 0, 4), 4, -4}, {Layout(0, 0, 2), 2, -2}, {Layout(0, 0, 8), 8, -8},
      {Layout(0, 0, 0), 0, 0},  {Layout(0, 1, 4), 1, -1}, {Layout(0, 1, 0), 1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "mode " << c.layout.insertMode << ", count " << c.layout.indentCount);
    Emitter e(c.layout);
    EXPECT_EQ(e.emitter.StepIn(0), c.in);
    EXPECT_EQ(e.emitter.StepOut(0), c.out);
    EXPECT_EQ(e.emitter.StepOut(e.emitter.StepIn(c.in)), c.in);
  }
}

const Lines kInput = {"line zero", "line one", "0123456789", "  middle  ", "tail"};

struct RangeCase {
  const char* label;
  TextPos start;
  TextPos end;
  int depth;
  Lines emitted;
  Lines copied;
};

TEST(OutputEmitter, EmitRangeAndCopyThroughCutTheSameWay) {
  const std::vector<RangeCase> cases = {
      {"empty range", {2, 3}, {2, 3}, 4, {}, {}},
      {"reversed columns", {2, 7}, {2, 3}, 4, {}, {}},
      {"reversed lines", {3, 0}, {2, 9}, 4, {}, {}},
      {"part of one line", {2, 3}, {2, 7}, 0, {"3456"}, {"3456"}},
      {"end beyond the line", {2, 8}, {2, 20}, 0, {"89"}, {"89"}},
      {"start beyond the line", {2, 20}, {2, 30}, 4, {"    "}, {""}},
      {"three lines, the last piece empty",
       {2, 3},
       {4, 0},
       4,
       {"    3456789", "    middle", "    "},
       {"3456789", "  middle  ", ""}},
      {"last line cut",
       {1, 5},
       {3, 5},
       2,
       {"  one", "  0123456789", "  mid"},
       {"one", "0123456789", "  mid"}},
      {"whole last line when it is shorter",
       {3, 0},
       {4, 99},
       -4,
       {"middle", "tail"},
       {"  middle  ", "tail"}},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.label);
    CLineArray input = ToLineArray(kInput);
    Emitter emitted(Layout(0, 0, 4));
    emitted.emitter.EmitRange(input, c.start, c.end, c.depth);
    EXPECT_EQ(emitted.Output(), c.emitted);
    Emitter copied(Layout(0, 0, 4));
    copied.emitter.CopyThrough(input, c.start, c.end);
    EXPECT_EQ(copied.Output(), c.copied);
  }
}

TEST(OutputEmitter, CopyThroughKeepsEveryByte) {
  CLineArray input = ToLineArray({"  a   b  ", "\t\tx\t"});
  Emitter e(Layout(0, 0, 4), {"before"});
  e.emitter.CopyThrough(input, {0, 0}, {1, 4});
  EXPECT_EQ(e.Output(), (Lines{"before", "  a   b  ", "\t\tx\t"}));
}

TEST(OutputEmitter, AppendToLastLineTrimsItsRightEnd) {
  Emitter e(Layout(0, 0, 4), {"x", "if (a)  \t"});
  e.emitter.AppendToLastLine("{");
  EXPECT_EQ(e.Output(), (Lines{"x", "if (a){"}));
  e.emitter.AppendToLastLine(";");
  EXPECT_EQ(e.Output(), (Lines{"x", "if (a){;"}));
}

TEST(OutputEmitter, AppendToLastLineWithoutALineAddsOne) {
  Emitter e(Layout(1, 0, 4));
  e.emitter.AppendToLastLine("{");
  EXPECT_EQ(e.Output(), (Lines{"{"}));
}

TEST(OutputEmitter, DropTrailingBlankLines) {
  const struct {
    Lines before;
    Lines after;
  } cases[] = {
      {{"a", "", "    ", "\t"}, {"a"}},
      {{"", "  ", "\t \r"}, {}},
      {{}, {}},
      {{"", "a"}, {"", "a"}},
      {{"a", "", "b", " "}, {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.before));
    Emitter e(Layout(0, 0, 4), c.before);
    e.emitter.DropTrailingBlankLines();
    EXPECT_EQ(e.Output(), c.after);
  }
}

TEST(OutputEmitter, PlaceOpenBraceByBracketStyle) {
  Emitter joined(Layout(1, 0, 4), {"x", "    "});
  joined.emitter.PlaceOpenBrace(4);
  EXPECT_EQ(joined.Output(), (Lines{"x{"}));

  Emitter alone(Layout(0, 0, 4), {"x", "    "});
  alone.emitter.PlaceOpenBrace(4);
  EXPECT_EQ(alone.Output(), (Lines{"x", "    {"}));

  Emitter tabs(Layout(0, 1, 4), {"x"});
  tabs.emitter.PlaceOpenBrace(2);
  EXPECT_EQ(tabs.Output(), (Lines{"x", "\t\t{"}));
}

TEST(OutputEmitter, PlaceCloseBraceAfterDroppingBlankLines) {
  for (int style : {0, 1}) {
    SCOPED_TRACE(style);
    Emitter e(Layout(style, 0, 4), {"    x;", "    ", ""});
    e.emitter.PlaceCloseBrace(0);
    e.emitter.PlaceCloseBrace(-4);
    EXPECT_EQ(e.Output(), (Lines{"    x;", "}", "}"}));
  }
}

TEST(OutputEmitter, IndentationStopsGrowing) {
  Emitter e(Layout(0, 0, 8));
  e.emitter.EmitLine("x", 100000);
  e.emitter.EmitLine("y", 511);
  EXPECT_EQ(e.Output(), (Lines{std::string(512, ' ') + "x", std::string(511, ' ') + "y"}));
}

// Text joined to a line that ends in a line comment goes before the comment, never into it.
TEST(OutputEmitter, JoinedTextGoesBeforeALineComment) {
  Emitter e(Layout(1, 0, 4));
  e.emitter.EmitLine("if (x)  ", 0);
  e.emitter.AppendComment("// c", 0, 0);
  e.emitter.AppendToLastLine("{");
  EXPECT_EQ(e.Output(), (Lines{"if (x){ // c"}));

  Emitter comment(Layout(0, 0, 4), {"    a();"});
  comment.emitter.AppendComment("// note", 0, 4);
  comment.emitter.AppendToLastLine(";");
  comment.emitter.AppendComment("// more", 0, 4);
  EXPECT_EQ(comment.Output(), (Lines{"    a();; // note", "    // more"}));
}

}  // namespace
}  // namespace vantorel::testing
