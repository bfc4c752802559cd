#include "script_analyzer.h"

#include "script_fast_path.h"

namespace vantorel {

int CScriptAnalyzer::Run(const CLineArray& input, CLineArray& output) {
  tokenizer_.Attach(&input);
  input_ = &input;
  output_ = &output;
  scriptFound_ = false;
  pageTagSeen_ = false;
  cancelled_ = false;
  fastPathUsed_ = false;
  ticker_.Start(progress_, &input, currentLineFormat_, progressInterval_);
  ticker_.UpdateLine(tokenizer_.GetTokenLine());
  ticker_.ShowLine(0);
  if (output.IsEmpty()) ReserveOutputRoom(output, input.TextSize(), input.GetSize());
  FastPathResult fast = FastPathResult::Unsupported;
  splitOutcome_ = SplitOutcome::OnePart;
  if (!pageMode_ && fastPath_)
    fast = ReindentScriptFast(input, options_, output, ticker_, split_, &splitOutcome_);
  if (fast == FastPathResult::Cancelled) cancelled_ = true;
  if (fast != FastPathResult::Unsupported) {
    fastPathUsed_ = true;
  } else {
    COutputEmitter emitter(options_, output);
    emitter_ = &emitter;
    if (pageMode_)
      ScanPage();
    else
      ReindentScript(true, TextPos{});
    emitter_ = nullptr;
  }

  if (IsCancelled()) return ResultCancelled;
  if (!pageMode_) return ResultDone;
  if (!pageTagSeen_) return ResultNotPage;
  if (!scriptFound_) return ResultNoScript;
  return ResultDone;
}

bool CScriptAnalyzer::Advance() {
  if (!tokenizer_.NextToken()) return false;
  if (!ticker_.Tick(tokenizer_.GetTokenLine(), tokenizer_.GetTokenColumn())) {
    cancelled_ = true;
    return false;
  }
  return true;
}

// A page's script block through the lean pass; false (and nothing emitted) where it cannot.
bool CScriptAnalyzer::ReindentBlockFast(TextPos blockStart, TextPos blockEnd) {
  if (!fastPath_) return false;
  TextPos tagPos;
  switch (vantorel::ReindentBlockFast(*input_, options_, *emitter_, ticker_, blockStart, blockEnd,
                                      &tagPos)) {
    case FastPathResult::Unsupported:
      return false;
    case FastPathResult::Cancelled:
      cancelled_ = true;
      return true;
    case FastPathResult::Done:
      break;
  }
  fastPathUsed_ = true;
  if (tagPos.line >= 0) {
    ResumeAfterScriptTag(tagPos);
  } else {
    emitter_->GuardScriptEnd(false);
    resume_ = EndOfInput();
  }
  return true;
}

TextPos CScriptAnalyzer::After(TextPos pos) const {
  return {pos.line, pos.column + 1};
}

TextPos CScriptAnalyzer::EndOfInput() const {
  if (input_->IsEmpty()) return {};
  std::size_t last = input_->GetSize() - 1;
  return {static_cast<std::ptrdiff_t>(last), input_->GetAt(last).size()};
}

}  // namespace vantorel
