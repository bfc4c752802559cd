#include "javascript_literals.h"

#include <algorithm>

#include "javascript_words.h"

namespace vantorel {

void CJsLiteralScanner::ClearMarks() {
  for (std::size_t bit = 2 * markedFrom_; bit < 2 * markedTo_ && bit < closesNowhere_.size(); ++bit)
    closesNowhere_[bit] = false;
  markedFrom_ = markedTo_ = 0;
}

std::size_t CJsLiteralScanner::String(std::size_t from, char quote, bool* continued) const {
  *continued = false;
  const std::size_t size = line_.size();
  for (std::size_t j = from; j < size; ++j) {
    const char c = line_[j];
    if (c == '\\') {
      if (Stops(j + 1)) return j + 1;  // the escaped byte would be the block's end
      // A backslash before the line end (a CR is one too) continues the string.
      if (line_.find_first_not_of('\r', j + 1) == npos) {
        *continued = true;
        return size;
      }
      ++j;
    } else if (c == quote) {
      return j + 1;
    } else if (Stops(j)) {
      return j;
    }
  }
  return size;
}

std::size_t CJsLiteralScanner::Regex(std::size_t from) {
  const std::size_t size = line_.size();
  bool inClass = false;
  std::size_t j = from + 1;
  for (; j < size; ++j) {
    if (ClosesNowhere(j, inClass)) break;
    const char c = line_[j];
    if (c == '\\') {
      if (Stops(j + 1)) break;
      ++j;
    } else if (Stops(j)) {
      break;
    } else if (c == '[') {
      inClass = true;
    } else if (c == ']') {
      inClass = false;
    } else if (c == '/' && !inClass) {
      ++j;
      while (j < size && IsIdentifierByte(static_cast<unsigned char>(line_[j]))) ++j;
      return j;
    }
  }
  MarkClosesNowhere(from, std::min(j, size));
  return npos;
}

// Every state the reading from `from` passed through before `to` closes nowhere either.
void CJsLiteralScanner::MarkClosesNowhere(std::size_t from, std::size_t to) {
  if (from + 1 >= to) return;
  if (closesNowhere_.size() < 2 * line_.size()) closesNowhere_.resize(2 * line_.size());
  if (markedFrom_ == markedTo_) markedFrom_ = markedTo_ = from + 1;
  markedFrom_ = std::min(markedFrom_, from + 1);
  markedTo_ = std::max(markedTo_, to);
  bool inClass = false;
  for (std::size_t j = from + 1; j < to; ++j) {
    closesNowhere_[2 * j + inClass] = true;
    const char c = line_[j];
    if (c == '\\')
      ++j;
    else if (c == '[')
      inClass = true;
    else if (c == ']')
      inClass = false;
  }
}

std::size_t CJsLiteralScanner::Template(std::size_t from, std::string& frames, bool* continued) {
  const std::size_t size = line_.size();
  bool regexAllowed = true;
  *continued = false;
  std::size_t j = from;
  while (j < size && !frames.empty()) {
    const char c = line_[j];
    if (Stops(j)) {
      frames.clear();
      return j;
    }
    const std::size_t at = j;
    const char top = frames.back();
    if (top == 'T') {
      if (c == '\\') {
        j += 2;
      } else if (c == '`') {
        frames.pop_back();
        ++j;
      } else if (c == '$' && j + 1 < size && line_[j + 1] == '{') {
        frames.push_back('S');
        regexAllowed = true;
        j += 2;
      } else {
        ++j;
      }
    } else if (top == 'C') {
      if (line_.compare(j, 2, "*/") == 0) {
        frames.pop_back();
        j += 2;
      } else {
        ++j;
      }
    } else if (top == '\'' || top == '"') {
      if (c == '\\') {
        // As in a string: a backslash before the line end (or before CRs) continues it.
        *continued = !Stops(j + 1) && line_.find_first_not_of('\r', j + 1) == npos;
        j = *continued ? size : j + 2;
      } else {
        if (c == top) frames.pop_back();
        ++j;
      }
    } else if (c == ' ' || c == '\t') {  // substitution code: 'S' or '{'
      ++j;
    } else if (c == '`') {
      frames.push_back('T');
      ++j;
    } else if (c == '{') {
      frames.push_back('{');
      regexAllowed = true;
      ++j;
    } else if (c == '}') {
      frames.pop_back();
      regexAllowed = false;
      ++j;
    } else if (c == '\'' || c == '"') {
      frames.push_back(c);
      regexAllowed = false;
      ++j;
    } else if (c == '/' && j + 1 < size && line_[j + 1] == '/') {
      j = std::min(size, stop_);  // a line comment, up to the block's end if it has one here
    } else if (c == '/' && j + 1 < size && line_[j + 1] == '*') {
      frames.push_back('C');
      j += 2;
    } else if (std::size_t end; c == '/' && regexAllowed && (end = Regex(j)) != npos) {
      j = end;
      regexAllowed = false;
    } else {
      unsigned char u = static_cast<unsigned char>(c);
      regexAllowed = !(IsIdentifierByte(u) || c == ')' || c == ']');
      ++j;
    }
    // An escape never passes over the block's end.
    if (at < stop_ && j > stop_) j = stop_;
  }
  if (j > size) j = size;
  // A string inside a substitution ends with its line unless a final backslash continues it.
  if (j == size && !frames.empty() && (frames.back() == '\'' || frames.back() == '"') &&
      !*continued)
    frames.pop_back();
  return j;
}

bool CJsLiteralScanner::RegexAllowedAfter(std::size_t begin, std::size_t end) const {
  const unsigned char last = static_cast<unsigned char>(line_[end - 1]);
  if (!IsIdentifierByte(last)) return last != ')' && last != ']';
  // No keyword is longer than ten letters: a longer name needs no further look.
  constexpr std::size_t kLongestKeyword = 10;
  const std::size_t limit = end - begin > kLongestKeyword ? end - kLongestKeyword - 1 : begin;
  std::size_t start = end - 1;
  while (start > limit && IsIdentifierByte(static_cast<unsigned char>(line_[start - 1]))) --start;
  if (end - start > kLongestKeyword) return false;
  return IsRegexKeyword(line_.substr(start, end - start));
}

}  // namespace vantorel
