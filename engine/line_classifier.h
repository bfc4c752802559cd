#pragma once

#include <cstddef>
#include <string_view>

#include "tokenizer_config.h"

namespace vantorel {

// Where classification stands between two bytes: outside anything, inside a delimited block
// (ref: index of its pair) or inside a string (ref: its opening quote).
struct ClassifierState {
  int block = BlockNone;
  int ref = 0;
};

// Classifies one line's bytes as word, operator or skipped, lazily and front to back: bytes are
// classified only when the reader asks for them, in runs of one class, so that re-classifying
// the rest of a line after every token costs nothing for the bytes that are never read.
//
// Strings end at their closing quote when the byte before it is no backslash, and always with the
// line; line comments run to the end of the line; a delimited block runs to its end delimiter,
// over as many lines as it takes.
class CLineClassifier {
 public:
  // Starts classifying `line` at byte `from` in `state`.
  void Start(const CCompiledConfig* config, std::string_view line, std::size_t from,
             ClassifierState state);

  // Class of byte p and, in *runEnd, the end of the run of that class that holds it. Positions
  // must not go back before the run last returned.
  CharClass ClassAt(std::size_t p, std::size_t* runEnd);
  // The state in which classification would have to restart at byte p to go on as now.
  ClassifierState StateAt(std::size_t p);
  // The state at the end of the line (a string never continues onto the next line) and, in
  // *lineComment, the column where a line comment runs to the line's end (npos for none).
  // Leaves the reading state as it is.
  ClassifierState EndState(std::size_t* lineComment = nullptr) const;

 private:
  void Step();
  std::size_t FindStringEnd(std::size_t from, char quote) const;
  std::size_t FindBlockEnd(std::size_t from, const std::string& end) const;

  const CCompiledConfig* config_ = nullptr;
  std::string_view line_;
  std::size_t next_ = 0;  // first byte not classified yet
  ClassifierState state_;  // state at next_
  std::size_t runStart_ = 0;
  std::size_t runEnd_ = 0;
  CharClass runClass_ = ClassWord;
  ClassifierState runStartState_;
  ClassifierState inRunState_;
  std::size_t lineCommentStart_ = std::string_view::npos;
};

}  // namespace vantorel
