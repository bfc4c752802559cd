#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "analyzer_progress.h"
#include "line_array.h"
#include "output_emitter.h"
#include "progress_ticker.h"
#include "text_span.h"
#include "worker_thread.h"

namespace vantorel {

enum class FastPathResult { Done, Cancelled, Unsupported };

// Room in an output, besides what it holds, for the re-indented text of `bytes` bytes on `lines`
// lines, so that its buffers are not moved while they grow: about as many bytes, give or take
// indentation, in more lines (a brace on a line of its own), and a line for every 16 bytes at
// least, for text that stood on a few long lines (a minified page). Room that is never used costs
// no memory.
void ReserveOutputRoom(CLineArray& output, std::size_t bytes, std::size_t lines);

// A whole script of at least minBytes is read in parts by as many threads as there are cores,
// each part from the start of a line with a fresh state (preferably a line a little after its
// share ends, after the end of a statement and outside a block comment), the first ones a share
// of the script and the later ones smaller, down to partBytes; a thread takes the first part that
// nobody has begun. A part that comes to where the next part starts reads that one too when
// nobody has begun it; else it reads on until, at the start of a segment, its state is the next
// part's there, and ends: the output is its own up to that point and the next part's after it,
// the same lines as from one part. Where the states never meet, it reads on through the next
// part as through its own.
struct ScriptSplit {
  std::size_t minBytes = std::size_t{512} << 10;
  std::size_t partBytes = std::size_t{256} << 10;
  std::ptrdiff_t line = -1;  // the second part's first line, whatever the size; -1: by size
  // With a line: on a page, the column from which the later part looks for its script tag.
  std::size_t column = 0;
  // A script's parts' first lines after the first, in order, whatever the size (with `line`
  // after them).
  std::vector<std::ptrdiff_t> lines;
  // false: all on the caller's thread: a page's later part first; a script's parts one after
  // another in `order` (the first part always, last), by default the last part first.
  bool concurrent = true;
  std::vector<std::size_t> order;
};

enum class SplitOutcome {
  OnePart,  // no split
  Joined,   // the first part ended where its state met a later part's
  RanOn,    // they never met, or the later parts could not be used
};

// The lean pass: re-indents script text in one pass over its lines, with exactly the result of
// the token-by-token re-indenter, for the JavaScript that real files are made of. Rarer input
// (HTML comment markers in code, a lone CR, vertical tab or form feed outside literals and
// comments) makes it give up: Unsupported, with nothing emitted, for the general path to do the
// work. Progress goes through the ticker; a cancel leaves what was emitted so far, as the general
// path does.

// A whole script into an empty output.
FastPathResult ReindentScriptFast(const CLineArray& input, const LayoutOptions& options,
                                  CLineArray& output, CProgressTicker& ticker,
                                  const ScriptSplit& split = ScriptSplit(),
                                  SplitOutcome* outcome = nullptr);

// What the two parts of a split run share (inside the lean pass).
class CSplitShare;

// A page read in two parts on two cores: this holds what the parts share and the later part's
// thread, which is asked to stop, and waited for, before this goes away. The later part reads
// the page on from a script tag after its middle, into an output of its own, with a fresh state,
// and records its state where the segments of its script blocks start (the first 1 024); the
// earlier part reads from the start, in its blocks from that tag on compares its state with the
// later part's at the same places, and where they are the same the output from there on is the
// later part's: the same lines as from one part. Where they never are, the earlier part reads
// on alone.
class CSplitRun {
 public:
  explicit CSplitRun(TextPos from);
  ~CSplitRun();
  CSplitRun(const CSplitRun&) = delete;
  CSplitRun& operator=(const CSplitRun&) = delete;
  // Runs later(share) on a thread of its own, or at once on this one when not concurrent; false
  // when no thread could be started.
  bool Start(std::function<void(CSplitShare&)> later, bool concurrent);
  CSplitShare& Share() { return *share_; }

 private:
  std::unique_ptr<CSplitShare> share_;
  CWorkerThread thread_;
};

// The later part's side of a split page: where it starts, its output, the progress display that
// stops it, and its end (how it went, and whether it saw an html, head or body tag).
TextPos SplitStart(const CSplitShare& share);
// Called as the later part starts reading page text: till its first block, the earlier part does
// not wait for its checkpoints.
void LaterPageStarts(CSplitShare& share);
CLineArray& SplitOutput(CSplitShare& share);
CAnalyzerProgress& SplitProgress(CSplitShare& share);
void FinishLaterPage(CSplitShare& share, FastPathResult result, bool pageTagSeen);
// The earlier part's side, once joined.
bool LaterPageTagSeen(const CSplitShare& share);

// A page's script block in a page read in two parts.
struct BlockSplit {
  CSplitShare* share = nullptr;
  bool later = false;        // the later part's: it records its state
  bool recordedAll = false;  // set by a later part's block: no more checkpoints are taken
  // Set by an earlier part's block: it ended where the two parts' states met (the output from
  // there on is the later part's; the block's closing tag was not reached), or it found that they
  // never will and stopped the later part.
  bool joined = false;
  bool gaveUp = false;
  std::size_t joinedAt = 0;       // how many of the earlier part's output lines stay
  std::size_t laterJoinedAt = 0;  // the first of the later part's lines to follow them
};

// A page's script block, from the end of its opening tag to blockEnd, where the browser ends it
// (line -1: the block runs to the end of the input), through the page's emitter. *tagPos is where
// the closing tag starts, or line -1 when the block ran to the end of the input.
FastPathResult ReindentBlockFast(const CLineArray& input, const LayoutOptions& options,
                                 COutputEmitter& emitter, CProgressTicker& ticker,
                                 TextPos blockStart, TextPos blockEnd, TextPos* tagPos,
                                 BlockSplit* split = nullptr);

}  // namespace vantorel
