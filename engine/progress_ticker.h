#pragma once

#include <cstddef>
#include <string>

#include "analyzer_progress.h"
#include "line_array.h"

namespace vantorel {

// Passes a run's progress to a display every `interval` tokens: the line being read (shown when it
// changes, with its length as the range), the token's column, and a turn of the event loop. A
// display may repaint at most every few milliseconds; the tokens between two reports cost one
// decrement each.
class CProgressTicker {
 public:
  void Start(CAnalyzerProgress* progress, const CLineArray* input, std::string lineFormat,
             int interval);
  // Whether ticks are counted at all: a caller that reads many tokens at once may leave them out
  // where they are not.
  bool Counts() const { return progress_ != nullptr; }
  // Called for each token read; false once the user has asked to stop.
  bool Tick(std::ptrdiff_t line, std::size_t column) {
    if (!progress_ || --budget_ > 0) return true;
    return Report(line, column);
  }
  // Reports at once, as when the countdown runs out: for a caller that waits for other work.
  bool ReportNow(std::ptrdiff_t line, std::size_t column = 0) {
    return !progress_ || Report(line, column);
  }
  // Shows `line` as the current line when it is not shown yet.
  void UpdateLine(std::ptrdiff_t line);
  void ShowLine(std::ptrdiff_t line);

 private:
  bool Report(std::ptrdiff_t line, std::size_t column);

  CAnalyzerProgress* progress_ = nullptr;
  const CLineArray* input_ = nullptr;
  std::string lineFormat_;
  int interval_ = 1;
  int budget_ = 1;
  std::ptrdiff_t shownLine_ = 0;
};

}  // namespace vantorel
