#pragma once

#include <cstddef>
#include <string_view>

namespace vantorel {

// A position in the input: line index and byte column; the end of a range is exclusive.
struct TextPos {
  std::ptrdiff_t line = 0;
  std::size_t column = 0;
};

// A string, template or regular expression literal on one line: its bytes are data, never
// layout.
struct LiteralSpan {
  std::ptrdiff_t line = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// What the emitter must know of an input line beyond its text.
struct LineShape {
  std::ptrdiff_t line = 0;
  std::size_t lineComment = std::string_view::npos;  // where a comment to the line's end starts
  bool startsInLiteral = false;  // the line begins inside a literal: it is kept as it stands
  bool endsInLiteral = false;    // the line ends inside a literal: its end is kept
};

}  // namespace vantorel
