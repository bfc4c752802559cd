#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "javascript_literals.h"
#include "text_span.h"
#include "tokenizer_config.h"

namespace vantorel {

// Where classification stands between two bytes: outside anything, inside a delimited block
// (ref: index of its pair) or inside a string continued from the line before (ref: its quote).
// In JavaScript, also inside template literals (frames) and whether a "/" would open a regular
// expression.
struct ClassifierState {
  int block = BlockNone;
  int ref = 0;
  bool regexAllowed = true;
  // Open template literal nesting, innermost last: 'T' template text, 'S' substitution code,
  // '{' a brace inside it, 'C' a block comment inside it, a quote: a string inside it.
  std::string frames;

  bool InLiteral() const { return block == BlockString || !frames.empty(); }
};

// Classifies one line's bytes as word, operator or skipped, lazily and front to back: bytes are
// classified only when the reader asks for them, in runs of one class, so that re-classifying
// the rest of a line after every token costs nothing for the bytes that are never read.
//
// Literals are word characters; comments and blanks are skipped; a delimited block runs to its
// end delimiter over as many lines as it takes. How literals end depends on the syntax (see
// Syntax). Literal runs are reported to the sink given to Start, if any.
class CLineClassifier {
 public:
  // stop: a column at which everything ends (a page's script block), or npos.
  void Start(const CCompiledConfig* config, std::string_view line, std::ptrdiff_t lineIndex,
             std::size_t from, ClassifierState state, std::vector<LiteralSpan>* literals,
             std::size_t stop = std::string_view::npos);

  // Class of byte p and, in *runEnd, the end of the run of that class that holds it. Positions
  // must not go back before the run last returned.
  CharClass ClassAt(std::size_t p, std::size_t* runEnd);
  // The state in which classification would have to restart at byte p to go on as now.
  ClassifierState StateAt(std::size_t p);
  // The state at the end of the line and, in *lineComment, the column where a line comment runs
  // to the line's end (npos for none). Leaves the reading state as it is.
  ClassifierState EndState(std::size_t* lineComment = nullptr) const;
  // The state in which the line began.
  const ClassifierState& LineStartState() const { return lineStart_; }

 private:
  void Step();
  void StepGeneric(unsigned char c, std::uint8_t roles);
  bool StepJavaScript(unsigned char c, std::uint8_t roles);
  void EndRun(std::size_t end, CharClass cls);
  void Literal(std::size_t end);
  std::size_t FindStringEnd(std::size_t from, char quote) const;
  std::size_t FindBlockEnd(std::size_t from, const std::string& end, std::size_t* length) const;
  bool StopsAt(std::size_t at) const { return at == stop_; }
  // The end of a run from `from` to `end` that may not pass the stop column.
  std::size_t CutAtStop(std::size_t from, std::size_t end) const {
    return stop_ >= from && stop_ < end ? stop_ : end;
  }

  // The state at a run's boundary without template nesting, which is all that a restart needs:
  // the owners restart classification at token starts, and tokens never start inside a literal.
  struct Mark {
    int block = BlockNone;
    int ref = 0;
    bool regexAllowed = true;
  };
  static Mark MarkOf(const ClassifierState& state) {
    return {state.block, state.ref, state.regexAllowed};
  }
  static ClassifierState StateOf(const Mark& mark) {
    return {mark.block, mark.ref, mark.regexAllowed, {}};
  }

  // Shared with the copies EndState makes: what it knows of the line is worth keeping.
  std::shared_ptr<CJsLiteralScanner> scanner_ = std::make_shared<CJsLiteralScanner>();
  const CCompiledConfig* config_ = nullptr;
  std::string_view line_;
  std::ptrdiff_t lineIndex_ = 0;
  std::vector<LiteralSpan>* literals_ = nullptr;
  std::size_t stop_ = std::string_view::npos;
  ClassifierState lineStart_;
  std::size_t next_ = 0;          // first byte not classified yet
  ClassifierState state_;         // state at next_
  bool significantSeen_ = false;  // a byte other than a blank was met on this line
  std::size_t runStart_ = 0;
  std::size_t runEnd_ = 0;
  CharClass runClass_ = ClassWord;
  Mark runStartState_;
  Mark inRunState_;
  std::size_t lineCommentStart_ = std::string_view::npos;
  // The end of the line, worked out once per start.
  mutable bool endKnown_ = false;
  mutable ClassifierState endState_;
  mutable std::size_t endLineComment_ = std::string_view::npos;
};

}  // namespace vantorel
