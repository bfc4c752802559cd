#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "line_array.h"
#include "text_span.h"

namespace vantorel {

// The three layout options of a run.
struct LayoutOptions {
  int bracketStyle = 0;  // 0: "{" on a line of its own; 1: "{" appended to the line before
  int insertMode = 0;    // 0: indent with spaces; 1: indent with tabs
  int indentCount = 2;   // spaces per level with insertMode 0, 0 to 8
};

// What is known of the input lines of a range beyond their text: the lines with something to
// say, and the literals on them in input order.
struct RangeShape {
  std::vector<LineShape> lines;
  std::vector<LiteralSpan> literals;
  // The range's first piece goes on the end of the last output line: it began in the middle of
  // its input line, and at the start of a line it would read differently ("-->" opens a comment
  // there).
  bool joinFirst = false;
};

// What EmitLine must know of its text: where a line comment that ends it starts, whether its
// start or end lies inside a literal (and is kept as it stands), and its literals, whose blanks
// are data.
struct PieceShape {
  std::size_t commentAt = std::string_view::npos;
  bool keepStart = false;
  bool keepEnd = false;
  bool beginsLine = false;  // a line break stood before the text in the input (BeginsLine)
  std::vector<std::pair<std::size_t, std::size_t>> literals;  // [begin, end) in the text
};

// Turns spans of input text into output lines, either re-indented (blank runs reduced to their
// first character, white space trimmed, depth indent characters in front) or copied byte for
// byte. Depth counts indent characters, not levels, and may be negative (no indentation then).
//
// The emitter only appends lines or edits the last one. It remembers whether the last line ends
// in a line comment, so that text joined to that line goes before the comment, never into it.
class COutputEmitter {
 public:
  COutputEmitter(const LayoutOptions& options, CLineArray& output)
      : options_(options), output_(output) {}

  // One output line per input line touched, the first and last cut at the range's columns; the
  // last piece is emitted even when empty.
  void EmitRange(const CLineArray& input, TextPos start, TextPos end, int depth,
                 const RangeShape& shape = RangeShape());
  void CopyThrough(const CLineArray& input, TextPos start, TextPos end);
  // Appends the text, blank runs reduced, trimmed and indented, as a new last line; literals and
  // the kept start or end of the text are copied as they stand.
  void EmitLine(std::string_view text, int depth, const PieceShape& shape = PieceShape());
  // EmitLine for text with no literal and no comment in it, which nothing joins to the last line
  // (outside a page's block): most lines of code.
  void EmitPlainLine(std::string_view text, int depth);
  // EmitPlainLine where it writes what EmitLine would whether or not a line break stood before
  // the text: always outside a page's block, and inside one where neither the text nor the last
  // line ends in a "t", so that neither can end in "<script" or "</script" (see GuardScriptEnd).
  // False, with nothing written, elsewhere.
  bool TryEmitPlainLine(std::string_view text, int depth);
  // Trims the right end of the last line and appends text to it; before a line comment that ends
  // the line, when there is one. Without a last line the text becomes a line of its own.
  void AppendToLastLine(std::string_view text);
  // Appends a comment to the last line after the separator (verbatim: the text exactly as it
  // stands, with no separator), or as a new line where the last line already ends in a line
  // comment. lineCommentAt: where a line comment that ends the text starts in it, or npos.
  void AppendComment(std::string_view text, std::size_t lineCommentAt, int depth,
                     bool verbatim = false, std::string_view separator = " ");
  void DropTrailingBlankLines();
  // beginsLine: a line break stood before the brace in the input.
  void PlaceOpenBrace(int depth, bool beginsLine = false);
  void PlaceCloseBrace(int depth, bool beginsLine = false);
  // While a page's script block is written, no line break is put after "<script" or "</script"
  // where the input had none: a browser would read a tag there.
  void GuardScriptEnd(bool guard) { guardScriptEnd_ = guard; }
  int StepIn(int depth) const;
  int StepOut(int depth) const;

  bool LastLineEndsInComment() const { return LastLineHasComment(); }
  // The lines written so far (room may be reserved in them; nothing else is to change them).
  CLineArray& Output() { return output_; }
  // Whether the last line holds a "/" outside strings and block comments. A "{" or ";" from the
  // next line joined to it could bring a comment whose "/" closes a regular expression there.
  bool LastLineHoldsSlash() const;

  // The emitter's state and the output lines it may still change (the last line that is not
  // blank and the blank lines after it), to undo everything emitted since.
  struct Snapshot {
    std::size_t firstKept = 0;
    std::vector<std::string> tail;
    std::size_t commentLine = 0;
    std::size_t commentColumn = 0;
    std::size_t keptLine = 0;
    bool guardScriptEnd = false;
  };
  Snapshot TakeSnapshot() const;
  void Restore(const Snapshot& snapshot);
  // Whether two emitters, each at its snapshot, go on to change their outputs alike: the lines
  // they may still change are equal, and so is what they know of them. Lines before the tails
  // are never read again.
  static bool SameTail(const Snapshot& a, const Snapshot& b);
  // Whether only white space stands before `at` on its input line.
  static bool BeginsLine(const CLineArray& input, TextPos at);

  static std::string CollapseBlanks(std::string_view text);
  std::string IndentLine(std::string_view text, int depth) const;
  static bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }
  // Indentation stops growing here: a file of nothing but "{" would otherwise grow with the
  // square of its size.
  static constexpr std::size_t kMaxIndent = 512;
  static std::size_t IndentWidth(int depth) {
    return depth > 0 ? std::min(static_cast<std::size_t>(depth), kMaxIndent) : 0;
  }
  static bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool EndsInScriptTagName(std::string_view text);
  // Where text[begin, end) ends without its trailing white space; in a page's block the byte
  // after a trailing "<script" or "</script" stays (see GuardScriptEnd).
  std::size_t TrimmedEnd(std::string_view text, std::size_t begin, std::size_t end) const {
    // Most text ends in no white space, and then nothing is trimmed or kept.
    if (end == begin || !IsWhiteSpace(text[end - 1])) return end;
    return TrimmedEndOfBlanks(text, begin, end);
  }

 private:
  std::size_t TrimmedEndOfBlanks(std::string_view text, std::size_t begin, std::size_t end) const;
  void JoinLastLineToPrevious(char separator);
  void EmitBraceLine(char brace, int depth, bool beginsLine);
  bool ContinueLastLine(bool beginsLine) const;
  // Whether the last line ends in a line comment, after which nothing can be joined.
  bool LastLineHasComment() const {
    return commentLine_ != kNone && commentLine_ + 1 == output_.GetSize();
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  const LayoutOptions& options_;
  CLineArray& output_;
  // The latest output line that ends in a line comment, and the comment's column in it. Only
  // blank lines are ever removed, so an earlier line can never become the last line again.
  std::size_t commentLine_ = kNone;
  std::size_t commentColumn_ = 0;
  PieceShape piece_;              // reused from piece to piece
  std::size_t keptLine_ = kNone;  // the latest line inside a literal, never dropped as blank
  bool guardScriptEnd_ = false;
};

}  // namespace vantorel
