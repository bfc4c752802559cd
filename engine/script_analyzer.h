#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analyzer_progress.h"
#include "line_array.h"
#include "output_emitter.h"
#include "progress_ticker.h"
#include "script_fast_path.h"
#include "source_tokenizer.h"
#include "token_history.h"

namespace vantorel {

// Sets a tokenizer up as the re-indenter reads JavaScript: operators "<" ">" "{" "}" ";" "/"
// "(", line comments "//" and "<!--", block comments, both quotes, JavaScript literals.
void ConfigureForScript(CSourceTokenizer& tokenizer);

enum AnalyzerResult {
  ResultDone = 0,
  ResultCancelled = 1,
  ResultNoScript = 2,
  ResultNotPage = 3,
};

// One analysis of one input: a script file re-indented from its first line to its last, or a
// page whose JavaScript script blocks are re-indented while all other text is copied through.
//
// Fill in the options, the page-or-script decision and (optionally) a progress display, then call
// Run once. The engine only moves blanks and line breaks between tokens: every other byte of the
// input reaches the output, in order.
class CScriptAnalyzer {
 public:
  CScriptAnalyzer() = default;
  virtual ~CScriptAnalyzer() = default;

  void SetOptions(const LayoutOptions& options) { options_ = options; }
  void SetPageMode(bool pageMode) { pageMode_ = pageMode; }
  void SetProgress(CAnalyzerProgress* progress) { progress_ = progress; }
  void SetCurrentLineFormat(std::string format) { currentLineFormat_ = std::move(format); }
  // Progress is reported, and a cancel noticed, every this many tokens (at least 1).
  void SetProgressInterval(int tokens) { progressInterval_ = tokens < 1 ? 1 : tokens; }
  // Whole scripts go through a lean pass with the same result where it can; off, every input
  // takes the general path (to compare the two).
  void SetFastPath(bool enabled) { fastPath_ = enabled; }
  // How a large whole script is cut into parts for the other cores (see ScriptSplit).
  void SetScriptSplit(const ScriptSplit& split) { split_ = split; }

  // Analyses input into output (appended to) and says how it went.
  int Run(const CLineArray& input, CLineArray& output);

  bool ScriptFound() const { return scriptFound_; }
  bool PageTagSeen() const { return pageTagSeen_; }
  // Whether the lean pass did (some of) the last run's work.
  bool FastPathUsed() const { return fastPathUsed_; }
  SplitOutcome LastSplitOutcome() const { return splitOutcome_; }

 private:
  // Token advance and progress.
  bool Advance();
  bool IsCancelled() { return cancelled_ || (progress_ && progress_->IsCancelled()); }

  // HTML scanner. A page is read from `from` on; with jump, reading starts there rather than at
  // the start of the first line.
  void ScanPage(TextPos from = TextPos{}, bool jump = false);
  // A large page in two parts (see CSplitRun) where it can, else in one.
  void ScanPageInParts(CLineArray& output);
  bool FindPageSplit(TextPos* from) const;
  static void RunLaterPage(const CLineArray& input, const LayoutOptions& options,
                           CSplitShare& share);
  void SetPageLists();
  bool ReadTag(bool script, bool* isJavaScript);
  TextPos FindScriptBlockEnd(TextPos from) const;
  bool EndTagAt(std::size_t line, std::size_t column, std::string_view name) const;
  TextPos FindEndTag(TextPos from, std::string_view name) const;
  TextPos FindTagEnd(TextPos from) const;
  static bool IsJavaScriptLanguage(std::string_view value);
  static bool IsJavaScriptType(std::string_view value);

  // JavaScript re-indenter.
  void ReindentScript(bool wholeFile, TextPos blockStart, TextPos blockEnd = TextPos{-1, 0});
  void SetScriptLists();
  bool Next();
  void NoteToken();
  bool IsEmptyLineInLiteral() const;
  PieceShape BeginsHere() const;
  void StartSegment(TextPos* start);
  bool SkipLineEnds(TextPos* start);
  bool SkipLineEndsAndSemicolons(TextPos* start, int depth);
  void HandleOpenBrace(TextPos start, int* depth);
  void HandleCloseBrace(TextPos start, int* depth);
  void EmitThroughToken(TextPos start, int depth);
  void EmitSegment(TextPos start, TextPos end, int depth);
  void CloseScriptTag(TextPos start, TextPos tagPos, int depth);
  void ResumeAfterScriptTag(TextPos tagPos);
  bool ReindentBlockFast(TextPos blockStart, TextPos blockEnd);
  LineShape CurrentLineShape(bool toLineEnd) const;
  void CarryComments(TextPos to, int depth, bool afterTag = false);
  void FinishScript(bool segmentPending, TextPos start, int depth, bool afterTag = false);

  // Helpers.
  bool TokenIs(int type, std::string_view text) const {
    return tokenizer_.GetTokenType() == type && tokenizer_.GetTokenText() == text;
  }
  TextPos TokenPos() const { return {tokenizer_.GetTokenLine(), tokenizer_.GetTokenColumn()}; }
  TextPos After(TextPos pos) const;
  TextPos EndOfInput() const;

  CSourceTokenizer tokenizer_;
  LayoutOptions options_;
  bool pageMode_ = false;
  CAnalyzerProgress* progress_ = nullptr;
  std::string currentLineFormat_ = "Current Line: %d";
  // About a millisecond of work between two reports at the general path's speed.
  int progressInterval_ = 4096;
  CProgressTicker ticker_;
  bool fastPath_ = true;
  ScriptSplit split_;
  SplitOutcome splitOutcome_ = SplitOutcome::OnePart;
  bool fastPathUsed_ = false;

  const CLineArray* input_ = nullptr;
  CLineArray* output_ = nullptr;
  // The split page read that this run's script blocks take part in, and whether the earlier part
  // has joined the later one (the rest of the page is the later part's).
  BlockSplit* blockSplit_ = nullptr;
  bool splitOver_ = false;
  bool scriptFound_ = false;
  bool pageTagSeen_ = false;
  bool cancelled_ = false;

  // Re-indenter state that outlives one segment: where emitted text ends (and whether that is
  // inside a block comment), what is known of the lines of the pending segment, and where page
  // text resumes after a script block.
  TextPos emitted_;
  bool emittedInComment_ = false;
  RangeShape shape_;
  TextPos resume_;
  std::string commentText_;  // scratch space for carrying comments

  CTokenHistory history_;
  COutputEmitter* emitter_ = nullptr;
};

}  // namespace vantorel
