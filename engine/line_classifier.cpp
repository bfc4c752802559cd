#include "line_classifier.h"

#include <cstring>

namespace vantorel {

void CLineClassifier::Start(const CCompiledConfig* config, std::string_view line,
                            std::size_t from, ClassifierState state) {
  config_ = config;
  line_ = line;
  next_ = from < line.size() ? from : line.size();
  state_ = state;
  runStart_ = runEnd_ = next_;
  runClass_ = ClassWord;
  runStartState_ = inRunState_ = state;
  lineCommentStart_ = std::string_view::npos;
}

CharClass CLineClassifier::ClassAt(std::size_t p, std::size_t* runEnd) {
  while (runEnd_ <= p && next_ < line_.size()) Step();
  *runEnd = runEnd_;
  return runClass_;
}

ClassifierState CLineClassifier::StateAt(std::size_t p) {
  if (p >= line_.size()) return EndState();
  while (runEnd_ <= p && next_ < line_.size()) Step();
  // Positions before the current run are token starts, which lie outside strings and blocks.
  if (p <= runStart_) return p == runStart_ ? runStartState_ : ClassifierState{};
  return inRunState_;
}

ClassifierState CLineClassifier::EndState(std::size_t* lineComment) const {
  CLineClassifier rest = *this;
  while (rest.next_ < rest.line_.size()) rest.Step();
  if (lineComment) *lineComment = rest.lineCommentStart_;
  if (rest.state_.block == BlockString) return {};
  return rest.state_;
}

std::size_t CLineClassifier::FindStringEnd(std::size_t from, char quote) const {
  const char* data = line_.data();
  std::size_t size = line_.size();
  while (from < size) {
    const void* hit = std::memchr(data + from, quote, size - from);
    if (!hit) return std::string_view::npos;
    std::size_t q = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (q == 0 || data[q - 1] != '\\') return q;
    from = q + 1;
  }
  return std::string_view::npos;
}

std::size_t CLineClassifier::FindBlockEnd(std::size_t from, const std::string& end) const {
  if (end.empty()) return std::string_view::npos;
  const unsigned char first = static_cast<unsigned char>(end[0]);
  const bool letter = (first | 0x20) >= 'a' && (first | 0x20) <= 'z';
  const char* data = line_.data();
  std::size_t size = line_.size();
  while (from + end.size() <= size) {
    std::size_t q = from;
    if (!letter) {
      const void* hit = std::memchr(data + from, first, size - from);
      if (!hit) return std::string_view::npos;
      q = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
      if (q + end.size() > size) return std::string_view::npos;
    }
    if (EqualsIgnoringCase(line_.substr(q, end.size()), end)) return q;
    from = q + 1;
  }
  return std::string_view::npos;
}

void CLineClassifier::Step() {
  const std::size_t size = line_.size();
  const TokenizerConfig& cfg = config_->Config();
  runStart_ = next_;
  runStartState_ = state_;
  inRunState_ = ClassifierState{};

  if (state_.block == BlockDelimited &&
      static_cast<std::size_t>(state_.ref) >= cfg.blockEnds.size()) {
    // The lists changed while the block was open and no longer name its end: it has ended.
    state_ = ClassifierState{};
  }

  if (state_.block == BlockString) {
    inRunState_ = state_;
    std::size_t close = FindStringEnd(next_, static_cast<char>(state_.ref));
    runClass_ = ClassWord;
    runEnd_ = close == std::string_view::npos ? size : close + 1;
    state_ = ClassifierState{};
  } else if (state_.block == BlockDelimited) {
    inRunState_ = state_;
    const std::string& end = cfg.blockEnds[static_cast<std::size_t>(state_.ref)];
    std::size_t close = FindBlockEnd(next_, end);
    runClass_ = ClassSkip;
    if (close == std::string_view::npos) {
      runEnd_ = size;
    } else {
      runEnd_ = close + end.size();
      state_ = ClassifierState{};
    }
  } else {
    const unsigned char c = static_cast<unsigned char>(line_[next_]);
    const std::uint8_t roles = config_->Roles(c);
    ListMatch match;
    if (roles & CCompiledConfig::kQuote) {
      inRunState_ = {BlockString, c};
      std::size_t close = FindStringEnd(next_ + 1, static_cast<char>(c));
      runClass_ = ClassWord;
      runEnd_ = close == std::string_view::npos ? size : close + 1;
    } else if ((roles & CCompiledConfig::kLineComment) &&
               MatchList(cfg.lineComments, line_, next_).length > 0) {
      runClass_ = ClassSkip;
      runEnd_ = size;
      lineCommentStart_ = next_;
    } else if ((roles & CCompiledConfig::kBlockStart) &&
               (match = MatchList(cfg.blockStarts, line_, next_)).length > 0) {
      state_ = {BlockDelimited, static_cast<int>(match.index)};
      inRunState_ = state_;
      runClass_ = ClassSkip;
      const std::string& end = cfg.blockEnds[match.index];
      std::size_t close = FindBlockEnd(next_ + match.length, end);
      if (close == std::string_view::npos) {
        runEnd_ = size;
      } else {
        runEnd_ = close + end.size();
        state_ = ClassifierState{};
      }
    } else if (roles & CCompiledConfig::kBlank) {
      runClass_ = ClassSkip;
      runEnd_ = next_ + 1;
      while (runEnd_ < size &&
             config_->Roles(static_cast<unsigned char>(line_[runEnd_])) == CCompiledConfig::kBlank)
        ++runEnd_;
    } else if ((roles & CCompiledConfig::kOperator) &&
               (match = MatchList(cfg.operators, line_, next_)).length > 0) {
      runClass_ = ClassOperator;
      runEnd_ = next_ + match.length;
    } else {
      runClass_ = ClassWord;
      runEnd_ = next_ + 1;
      while (runEnd_ < size && config_->Roles(static_cast<unsigned char>(line_[runEnd_])) == 0)
        ++runEnd_;
    }
  }
  next_ = runEnd_;
}

}  // namespace vantorel
