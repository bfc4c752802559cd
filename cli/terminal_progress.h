#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "analyzer_progress.h"

namespace vantorel {

// A one-line progress bar on a terminal for one run of the engine: the name, a bar, the share
// done and the line being read. Drawn when constructed, redrawn at most ten times a second, and
// erased when destroyed, so that whatever is printed next starts on a clean line.
//
// The engine reports every few thousand tokens (see CScriptAnalyzer::SetProgressInterval), so
// each report may read the clock. The analyzer must format its current-line text with
// kLineFormat, which this class reads the number from.
class CTerminalProgress : public CAnalyzerProgress {
 public:
  static constexpr const char* kLineFormat = "%d";

  // Whether a run over an input of this size gets a bar on descriptor fd: only on a terminal,
  // and only for inputs that take long enough for a bar not to flicker.
  static bool IsWanted(int fd, std::size_t inputBytes);

  CTerminalProgress(int fd, std::string name, std::size_t lineCount);
  CTerminalProgress(const CTerminalProgress&) = delete;
  CTerminalProgress& operator=(const CTerminalProgress&) = delete;
  ~CTerminalProgress() override;

  bool IsCancelled() override { return false; }
  void ShowCurrentLine(const std::string& text) override { ReadLineNumber(text); }
  void SetRange(long long upper) override { range_ = upper; }
  void SetPosition(long long position) override {
    position_ = position;
    CheckClock();
  }
  bool PumpMessages() override { return true; }

 private:
  void ReadLineNumber(const std::string& text);
  void CheckClock();
  void Draw();
  std::string BarText(std::size_t width) const;
  void Put(const std::string& text) const;

  int fd_;
  std::string name_;
  long long lineCount_;
  long long line_ = 0;
  long long range_ = 0;
  long long position_ = 0;
  std::chrono::steady_clock::time_point nextDraw_;
  std::size_t drawnWidth_ = 0;
};

}  // namespace vantorel
