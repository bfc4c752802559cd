#pragma once

#include <cstddef>
#include <string>

namespace vantorel {

// What the engine needs of a progress display. The engine runs on the caller's thread and calls
// these between two tokens; a window implements them to show progress, to keep its event loop
// alive and to pass on its Cancel button. Implementations decide how often they really repaint.
class CAnalyzerProgress {
 public:
  virtual ~CAnalyzerProgress() = default;
  // True once the user asked to stop; the engine then ends the run between two tokens.
  virtual bool IsCancelled() = 0;
  // The current-line text, shown when the line being read changes.
  virtual void ShowCurrentLine(const std::string& text) = 0;
  // The index of that line, just before its text is shown.
  virtual void SetLineIndex(std::ptrdiff_t /*index*/) {}
  // The position within the current line, with that line's length as the range.
  virtual void SetRange(long long upper) = 0;
  virtual void SetPosition(long long position) = 0;
  // Lets pending window events through; false when the application is quitting.
  virtual bool PumpMessages() = 0;
};

}  // namespace vantorel
