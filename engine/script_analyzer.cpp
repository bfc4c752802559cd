#include "script_analyzer.h"

#include <cstring>
#include <thread>

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
  blockSplit_ = nullptr;
  splitOver_ = false;
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
      ScanPageInParts(output);
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
  BlockSplit* const split = blockSplit_;
  const FastPathResult result = vantorel::ReindentBlockFast(*input_, options_, *emitter_, ticker_,
                                                            blockStart, blockEnd, &tagPos, split);
  if (split && split->later) {
    if (split->recordedAll) blockSplit_ = nullptr;
  } else if (split) {
    if (split->gaveUp) blockSplit_ = nullptr;
    if (split->joined) {
      splitOver_ = true;  // the rest of the page is the later part's
      fastPathUsed_ = true;
      return true;
    }
  }
  switch (result) {
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

void CScriptAnalyzer::ScanPageInParts(CLineArray& output) {
  TextPos from;
  if (!fastPath_ || !output.IsEmpty() || !FindPageSplit(&from)) return ScanPage();
  CSplitRun split(from);
  const CLineArray& input = *input_;
  std::size_t before = 0;
  for (std::ptrdiff_t line = 0; line < from.line; ++line)
    before += input.GetAt(static_cast<std::size_t>(line)).size();
  ReserveOutputRoom(SplitOutput(split.Share()), input.TextSize() - before - from.column,
                    input.GetSize() - static_cast<std::size_t>(from.line));
  const LayoutOptions options = options_;
  if (!split.Start([&input, options](CSplitShare& share) { RunLaterPage(input, options, share); },
                   split_.concurrent))
    return ScanPage();
  BlockSplit block;
  block.share = &split.Share();
  blockSplit_ = &block;
  ScanPage();
  blockSplit_ = nullptr;
  if (!block.joined) {
    splitOutcome_ = SplitOutcome::RanOn;
    return;
  }
  output.TruncateLines(block.joinedAt);
  output.TakeOverLines(std::move(SplitOutput(split.Share())), block.laterJoinedAt);
  pageTagSeen_ = pageTagSeen_ || LaterPageTagSeen(split.Share());
  splitOutcome_ = SplitOutcome::Joined;
}

// Where a page's later part starts: the first script tag from the middle byte on, or from the
// place asked for. False where the page is too small or has no such tag.
bool CScriptAnalyzer::FindPageSplit(TextPos* from) const {
  const CLineArray& input = *input_;
  TextPos at;
  if (split_.line >= 0) {
    if (static_cast<std::size_t>(split_.line) >= input.GetSize()) return false;
    at = {split_.line, split_.column};
  } else {
    const std::size_t total = input.TextSize();
    if (input.IsEmpty() || total < split_.minBytes) return false;
    if (split_.concurrent && std::thread::hardware_concurrency() < 2) return false;
    std::size_t line = 0;
    std::size_t before = 0;
    for (; line + 1 < input.GetSize() && before + input.GetAt(line).size() <= total / 2; ++line)
      before += input.GetAt(line).size();
    at = {static_cast<std::ptrdiff_t>(line), total / 2 - before};
  }
  for (std::size_t line = static_cast<std::size_t>(at.line); line < input.GetSize(); ++line) {
    const std::string_view text = input.GetAt(line);
    std::size_t column = line == static_cast<std::size_t>(at.line) ? at.column : 0;
    for (; column < text.size(); ++column) {
      const void* lt = std::memchr(text.data() + column, '<', text.size() - column);
      if (!lt) break;
      column = static_cast<std::size_t>(static_cast<const char*>(lt) - text.data());
      if (IsStartTag(text, column, "script")) {
        *from = {static_cast<std::ptrdiff_t>(line), column};
        return true;
      }
    }
  }
  return false;
}

// The later part of a split page: from its script tag to the end, with a fresh state, into the
// share's output.
void CScriptAnalyzer::RunLaterPage(const CLineArray& input, const LayoutOptions& options,
                                   CSplitShare& share) {
  FastPathResult result = FastPathResult::Unsupported;
  bool pageTagSeen = false;
  try {
    CScriptAnalyzer later;
    later.options_ = options;
    later.pageMode_ = true;
    later.progress_ = &SplitProgress(share);
    later.tokenizer_.Attach(&input);
    later.input_ = &input;
    later.output_ = &SplitOutput(share);
    later.ticker_.Start(later.progress_, &input, std::string(), 4096);
    COutputEmitter emitter(options, *later.output_);
    later.emitter_ = &emitter;
    BlockSplit block;
    block.share = &share;
    block.later = true;
    later.blockSplit_ = &block;
    LaterPageStarts(share);
    later.ScanPage(SplitStart(share), true);
    later.emitter_ = nullptr;
    pageTagSeen = later.pageTagSeen_;
    result = later.IsCancelled() ? FastPathResult::Cancelled : FastPathResult::Done;
  } catch (...) {
    result = FastPathResult::Unsupported;  // out of memory, say: the earlier part reads on alone
  }
  FinishLaterPage(share, result, pageTagSeen);
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
