#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// Reads JavaScript literals on one line, for both re-indenter paths: strings, regular
// expressions and template literals. `stop` is the column where a page's script block ends (npos
// for none): a browser ends the block there even inside a literal, so nothing reads past it.
//
// It remembers where on the line a regular expression was already found to close nowhere, so
// that a line full of "/" that never close is read in linear time.
class CJsLiteralScanner {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  // Starts on a line; what is known of it is kept while the line, its index and stop stay.
  void SetLine(std::string_view line, std::ptrdiff_t index, std::size_t stop) {
    if (line.data() == line_.data() && line.size() == line_.size() && index == index_ &&
        stop == stop_)
      return;
    if (markedTo_ > markedFrom_) ClearMarks();  // only where a regular expression was looked for
    line_ = line;
    index_ = index;
    stop_ = stop;
  }

  // A string whose opening quote lies before `from`: just past its closing quote, the line's end
  // (*continued when a final backslash carries it on), or the stop.
  std::size_t String(std::size_t from, char quote, bool* continued) const;
  // The end of the regular expression whose "/" stands at `from`, flags included, or npos when
  // none ends on this line (the "/" is a division then).
  std::size_t Regex(std::size_t from);
  // Reads on inside the open template literals in `frames` ('T' template text, 'S' substitution
  // code, '{' a brace in it, 'C' a block comment in it, a quote: a string in it) until the
  // outermost closes, the line ends or the stop; returns where it stopped. *continued: a string
  // in a substitution goes on to the next line after a final backslash.
  std::size_t Template(std::size_t from, std::string& frames, bool* continued);
  // Whether a "/" right after the word text[begin, end) starts a regular expression.
  bool RegexAllowedAfter(std::size_t begin, std::size_t end) const;

 private:
  bool Stops(std::size_t at) const { return at == stop_; }
  bool ClosesNowhere(std::size_t at, bool inClass) const {
    std::size_t bit = 2 * at + inClass;
    return bit < closesNowhere_.size() && closesNowhere_[bit];
  }
  void MarkClosesNowhere(std::size_t from, std::size_t to);
  void ClearMarks();

  std::string_view line_;
  std::ptrdiff_t index_ = -1;
  std::size_t stop_ = npos;
  // Per column and "inside a character class": a regular expression read on from there reaches
  // the line's end or the stop without closing. Only [markedFrom_, markedTo_) may be set.
  std::vector<bool> closesNowhere_;
  std::size_t markedFrom_ = 0;
  std::size_t markedTo_ = 0;
};

}  // namespace vantorel
