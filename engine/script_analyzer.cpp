#include "script_analyzer.h"

#include "script_fast_path.h"
#include "text_template.h"

namespace vantorel {

int CScriptAnalyzer::Run(const CLineArray& input, CLineArray& output) {
  tokenizer_.Attach(&input);
  input_ = &input;
  output_ = &output;
  scriptFound_ = false;
  pageTagSeen_ = false;
  cancelled_ = false;
  shownLine_ = 0;
  COutputEmitter emitter(options_, output);
  emitter_ = &emitter;
  UpdateLineProgress();
  ShowCurrentLine(0);
  progressBudget_ = 1;  // the first token is reported at once
  FastPathResult fast = FastPathResult::Unsupported;
  if (!pageMode_ && fastPath_ && output.IsEmpty())
    fast = ReindentScriptFast(input, options_, output, progress_, currentLineFormat_,
                              progressInterval_);
  if (fast == FastPathResult::Cancelled) cancelled_ = true;
  fastPathUsed_ = fast != FastPathResult::Unsupported;
  if (fast == FastPathResult::Unsupported) {
    if (pageMode_)
      ScanPage();
    else
      ReindentScript(true, TextPos{});
  }
  emitter_ = nullptr;

  if (IsCancelled()) return ResultCancelled;
  if (!pageMode_) return ResultDone;
  if (!pageTagSeen_) return ResultNotPage;
  if (!scriptFound_) return ResultNoScript;
  return ResultDone;
}

bool CScriptAnalyzer::Advance() {
  if (!tokenizer_.NextToken()) return false;
  if (!progress_ || --progressBudget_ > 0) return true;
  progressBudget_ = progressInterval_;
  if (progress_->IsCancelled()) {
    cancelled_ = true;
    return false;
  }
  UpdateLineProgress();
  progress_->SetPosition(static_cast<long long>(tokenizer_.GetTokenColumn()));
  progress_->PumpMessages();  // a quit request does not stop the run
  return true;
}

void CScriptAnalyzer::UpdateLineProgress() {
  if (!progress_) return;
  std::ptrdiff_t line = tokenizer_.GetTokenLine();
  if (shownLine_ == line || shownLine_ >= static_cast<std::ptrdiff_t>(input_->GetSize())) return;
  shownLine_ = line;
  ShowCurrentLine(shownLine_);
  progress_->SetRange(static_cast<long long>(input_->GetAt(shownLine_).size()));
  progress_->SetPosition(0);
}

void CScriptAnalyzer::ShowCurrentLine(std::ptrdiff_t line) {
  if (progress_) progress_->ShowCurrentLine(ExpandNumberTemplate(currentLineFormat_, line));
}

TextPos CScriptAnalyzer::After(TextPos pos) const { return {pos.line, pos.column + 1}; }

TextPos CScriptAnalyzer::EndOfInput() const {
  if (input_->IsEmpty()) return {};
  std::size_t last = input_->GetSize() - 1;
  return {static_cast<std::ptrdiff_t>(last), input_->GetAt(last).size()};
}

}  // namespace vantorel
