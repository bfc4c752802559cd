#pragma once

#include "line_array.h"
#include "output_emitter.h"
#include "progress_ticker.h"
#include "text_span.h"

namespace vantorel {

enum class FastPathResult { Done, Cancelled, Unsupported };

// Room in an empty output for the re-indented text of `bytes` bytes on `lines` lines, so that its
// buffers are not moved while they grow: about as many bytes, give or take indentation, in more
// lines (a brace on a line of its own), and a line for every 16 bytes at least, for text that
// stood on a few long lines (a minified page). Room that is never used costs no memory.
void ReserveOutputRoom(CLineArray& output, std::size_t bytes, std::size_t lines);

// A whole script of at least minBytes is read in two parts on two cores: the later part from the
// line that holds the middle byte with a fresh state, the earlier part on past that line until,
// at the start of a segment, its state is the later part's there; the output is the earlier
// part's up to that point and the later part's after it, the same lines as from one part. Where
// the states never meet, the earlier part simply reads on to the end.
struct ScriptSplit {
  std::size_t minBytes = std::size_t{512} << 10;
  std::ptrdiff_t line = -1;  // the later part's first line, whatever the size; -1: the middle
  bool concurrent = true;    // false: the later part runs first, on the caller's thread
};

enum class SplitOutcome {
  OnePart,  // no split
  Joined,   // the earlier part ended where the states met
  RanOn,    // they never met, or the later part could not be used
};

// The lean pass: re-indents script text in one pass over its lines, with exactly the result of
// the token-by-token re-indenter, for the JavaScript that real files are made of. Rarer input
// (template literals or strings that go on over a line end, HTML comment markers in code, a lone
// CR, vertical tab or form feed outside literals and comments) makes it give up: Unsupported,
// with nothing emitted, for the general path to do the work. Progress goes through the ticker; a
// cancel leaves what was emitted so far, as the general path does.

// A whole script into an empty output.
FastPathResult ReindentScriptFast(const CLineArray& input, const LayoutOptions& options,
                                  CLineArray& output, CProgressTicker& ticker,
                                  const ScriptSplit& split = ScriptSplit(),
                                  SplitOutcome* outcome = nullptr);

// A page's script block, from the end of its opening tag to blockEnd, where the browser ends it
// (line -1: the block runs to the end of the input), through the page's emitter. *tagPos is where
// the closing tag starts, or line -1 when the block ran to the end of the input.
FastPathResult ReindentBlockFast(const CLineArray& input, const LayoutOptions& options,
                                 COutputEmitter& emitter, CProgressTicker& ticker,
                                 TextPos blockStart, TextPos blockEnd, TextPos* tagPos);

}  // namespace vantorel
