#include "token_history.h"

#include <algorithm>

#include "javascript_words.h"

namespace vantorel {

void CTokenHistory::Clear() {
  slots_[0] = slots_[1] = Token();
  parenIsHead_.clear();
  lastParenWasHead_ = inClassHead_ = false;
  unmatchedCloses_ = 0;
}

void CTokenHistory::NoteOpenParen(std::string_view text, std::ptrdiff_t line) {
  // A word that ends inside a string or template (a line that continues one) is no keyword.
  auto keyword = [](const Token& t) { return t.type == TokenWord && !t.endsInLiteral; };
  // A function's name, say, between the keyword and the "(": the keyword is asked first, as
  // nearly every "(" follows a word that is no keyword at all.
  bool head = keyword(Last()) &&
              (OpensHead(Last().text) ||
               (keyword(Before()) && OpensHead(Before().text) && IsIdentifier(Last().text)));
  parenIsHead_.push_back(head);
  Push(TokenOperator, text, line, false);
}

void CTokenHistory::CloseParen() {
  if (parenIsHead_.empty()) {
    lastParenWasHead_ = false;
    ++unmatchedCloses_;
    return;
  }
  lastParenWasHead_ = parenIsHead_.back();
  parenIsHead_.pop_back();
}

bool CTokenHistory::Extends(const CTokenHistory& later) const {
  if (!(Last() == later.Last() && Before() == later.Before() &&
        lastParenWasHead_ == later.lastParenWasHead_ && inClassHead_ == later.inClassHead_))
    return false;
  const std::size_t inner = later.parenIsHead_.size();
  return inner <= parenIsHead_.size() &&
         std::equal(later.parenIsHead_.begin(), later.parenIsHead_.end(),
                    parenIsHead_.end() - static_cast<std::ptrdiff_t>(inner));
}

bool CTokenHistory::OuterParensOpenNoHead(const CTokenHistory& later, std::size_t closes) const {
  const std::size_t outer = parenIsHead_.size() - later.parenIsHead_.size();
  const std::size_t reached = std::min(closes, outer);
  const auto top = parenIsHead_.begin() + static_cast<std::ptrdiff_t>(outer);
  return std::none_of(top - static_cast<std::ptrdiff_t>(reached), top,
                      [](char head) { return head != 0; });
}

bool CTokenHistory::ContinueWith(const CTokenHistory& later, const CTokenHistory& laterEnd) {
  const std::size_t closes = laterEnd.unmatchedCloses_ - later.unmatchedCloses_;
  if (!OuterParensOpenNoHead(later, closes)) return false;
  const std::size_t outer = parenIsHead_.size() - later.parenIsHead_.size();
  parenIsHead_.resize(outer - std::min(closes, outer));
  parenIsHead_.insert(parenIsHead_.end(), laterEnd.parenIsHead_.begin(),
                      laterEnd.parenIsHead_.end());
  return true;
}

namespace {

// The identifier a word ends in: a ")" and what stands before it belong to the same word, so
// minified code gives words like "0===p)return".
std::string_view TrailingIdentifier(std::string_view word) {
  std::size_t begin = word.size();
  while (begin > 0 && IsIdentifierByte(static_cast<unsigned char>(word[begin - 1]))) --begin;
  return word.substr(begin);
}

}  // namespace

bool CTokenHistory::BraceStaysOnLine() const {
  return Before().type == TokenWord && Before().line == Last().line &&
         EndsStatementAtLineBreak(TrailingIdentifier(Before().text));
}

bool CTokenHistory::BraceMayJoin() const {
  if (Before().line == Last().line) return true;  // no line break is removed
  std::string_view text = Before().text;
  if (Before().type == TokenOperator) return text != "}";
  if (text.empty() || Before().endsInLiteral || EndsStatementAtLineBreak(text)) return false;
  if (TakesBlockAfter(text)) return true;
  if (inClassHead_ && IsIdentifier(text)) return true;
  const char last = text.back();
  if (last == ')') return lastParenWasHead_;
  if (text.size() >= 2 &&
      (text.substr(text.size() - 2) == "++" || text.substr(text.size() - 2) == "--"))
    return false;
  return std::string_view("=+-*%&|^!~?:,[").find(last) != std::string_view::npos;
}

}  // namespace vantorel
