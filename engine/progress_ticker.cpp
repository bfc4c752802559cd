#include "progress_ticker.h"

#include "text_template.h"

namespace vantorel {

void CProgressTicker::Start(CAnalyzerProgress* progress, const CLineArray* input,
                            std::string lineFormat, int interval) {
  progress_ = progress;
  input_ = input;
  lineFormat_ = std::move(lineFormat);
  interval_ = interval < 1 ? 1 : interval;
  budget_ = 1;  // the first token is reported at once
  shownLine_ = 0;
}

bool CProgressTicker::Report(std::ptrdiff_t line, std::size_t column) {
  budget_ = interval_;
  if (progress_->IsCancelled()) return false;
  UpdateLine(line);
  progress_->SetPosition(static_cast<long long>(column));
  progress_->PumpMessages();  // a quit request does not stop the run
  return true;
}

void CProgressTicker::UpdateLine(std::ptrdiff_t line) {
  if (!progress_) return;
  if (shownLine_ == line || shownLine_ >= static_cast<std::ptrdiff_t>(input_->GetSize())) return;
  shownLine_ = line;
  progress_->SetLineIndex(shownLine_);
  ShowLine(shownLine_);
  progress_->SetRange(static_cast<long long>(input_->GetAt(shownLine_).size()));
  progress_->SetPosition(0);
}

void CProgressTicker::ShowLine(std::ptrdiff_t line) {
  if (progress_) progress_->ShowCurrentLine(ExpandNumberTemplate(lineFormat_, line));
}

}  // namespace vantorel
