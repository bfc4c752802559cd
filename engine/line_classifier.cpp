#include "line_classifier.h"

#include <cstring>

namespace vantorel {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsHtmlCommentOpen(std::string_view line, std::size_t at) {
  return line.compare(at, 4, "<!--") == 0;
}

}  // namespace

void CLineClassifier::Start(const CCompiledConfig* config, std::string_view line,
                            std::ptrdiff_t lineIndex, std::size_t from, ClassifierState state,
                            std::vector<LiteralSpan>* literals, std::size_t stop) {
  config_ = config;
  stop_ = stop;
  line_ = line;
  lineIndex_ = lineIndex;
  literals_ = literals;
  if (config->IsJavaScript()) scanner_->SetLine(line, lineIndex, stop);
  next_ = from < line.size() ? from : line.size();
  state_ = std::move(state);
  if (!config->IsJavaScript()) {
    state_.frames.clear();
    if (state_.block == BlockString) state_.block = BlockNone;
  } else if (next_ == 0 && !state_.InLiteral()) {
    state_.regexAllowed = true;  // a "/" that begins a line is read as a regular expression
  }
  lineStart_ = next_ == 0 ? state_ : ClassifierState{};
  if (line.empty() && state_.block == BlockString)
    state_ = ClassifierState{BlockNone, 0, false, {}};  // no backslash here to continue it
  // So for a string inside a template literal's substitution: it ends here, as it would at the
  // end of a line that holds anything.
  if (line.empty() && !state_.frames.empty() &&
      (state_.frames.back() == '\'' || state_.frames.back() == '"'))
    state_.frames.pop_back();
  // A script block's text starts right after its tag: that is the start of its first line too.
  significantSeen_ = false;
  runStart_ = runEnd_ = next_;
  runClass_ = ClassWord;
  runStartState_ = inRunState_ = MarkOf(state_);
  lineCommentStart_ = npos;
  endKnown_ = false;
}

CharClass CLineClassifier::ClassAt(std::size_t p, std::size_t* runEnd) {
  while (runEnd_ <= p && next_ < line_.size()) Step();
  *runEnd = runEnd_;
  return runClass_;
}

ClassifierState CLineClassifier::StateAt(std::size_t p) {
  if (p >= line_.size()) return EndState();
  while (runEnd_ <= p && next_ < line_.size()) Step();
  // Positions before the current run are token starts, which lie outside literals and blocks.
  if (p <= runStart_) return p == runStart_ ? StateOf(runStartState_) : ClassifierState{};
  return StateOf(inRunState_);
}

ClassifierState CLineClassifier::EndState(std::size_t* lineComment) const {
  if (next_ >= line_.size()) {
    if (lineComment) *lineComment = lineCommentStart_;
    return state_;
  }
  if (!endKnown_) {
    CLineClassifier rest = *this;
    rest.literals_ = nullptr;
    while (rest.next_ < rest.line_.size()) rest.Step();
    endState_ = std::move(rest.state_);
    endLineComment_ = rest.lineCommentStart_;
    endKnown_ = true;
  }
  if (lineComment) *lineComment = endLineComment_;
  return endState_;
}

void CLineClassifier::EndRun(std::size_t end, CharClass cls) {
  runEnd_ = end;
  runClass_ = cls;
  next_ = end;
}

void CLineClassifier::Literal(std::size_t end) {
  if (literals_ && end > runStart_) literals_->push_back({lineIndex_, runStart_, end});
}

std::size_t CLineClassifier::FindStringEnd(std::size_t from, char quote) const {
  const char* data = line_.data();
  std::size_t size = line_.size();
  while (from < size) {
    const void* hit = std::memchr(data + from, quote, size - from);
    if (!hit) return npos;
    std::size_t q = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (q == 0 || data[q - 1] != '\\') return q;
    from = q + 1;
  }
  return npos;
}

std::size_t CLineClassifier::FindBlockEnd(std::size_t from, const std::string& end,
                                          std::size_t* length) const {
  *length = end.size();
  if (end == "-->") {
    // Browsers end an HTML comment at "--!>" as well.
    std::size_t plain = line_.find("-->", from);
    std::size_t bang = line_.find("--!>", from);
    if (bang < plain) *length = 4;
    return std::min(plain, bang);
  }
  if (end.empty()) return npos;
  const unsigned char first = static_cast<unsigned char>(end[0]);
  const bool letter = (first | 0x20) >= 'a' && (first | 0x20) <= 'z';
  const char* data = line_.data();
  std::size_t size = line_.size();
  while (from + end.size() <= size) {
    std::size_t q = from;
    if (!letter) {
      const void* hit = std::memchr(data + from, first, size - from);
      if (!hit) return npos;
      q = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
      if (q + end.size() > size) return npos;
    }
    if (EqualsIgnoringCase(line_.substr(q, end.size()), end)) return q;
    from = q + 1;
  }
  return npos;
}

void CLineClassifier::Step() {
  const std::size_t size = line_.size();
  const TokenizerConfig& cfg = config_->Config();
  runStart_ = next_;
  runStartState_ = MarkOf(state_);
  inRunState_ = Mark{};

  if (state_.block == BlockDelimited &&
      static_cast<std::size_t>(state_.ref) >= cfg.blockEnds.size()) {
    // The lists changed while the block was open and no longer name its end: it has ended.
    state_.block = BlockNone;
    state_.ref = 0;
  }

  if (!state_.frames.empty()) {
    inRunState_ = MarkOf(state_);
    bool continued = false;
    std::size_t end = scanner_->Template(next_, state_.frames, &continued);
    if (state_.frames.empty()) state_.regexAllowed = false;
    Literal(end);
    return EndRun(end, ClassWord);
  }
  if (state_.block == BlockString) {
    inRunState_ = MarkOf(state_);
    const char quote = static_cast<char>(state_.ref);
    bool continued = false;
    std::size_t end;
    if (config_->IsJavaScript()) {
      end = scanner_->String(next_, quote, &continued);
      Literal(end);
    } else {
      std::size_t close = FindStringEnd(next_, quote);
      end = close == npos ? size : close + 1;
    }
    if (!continued) state_ = ClassifierState{BlockNone, 0, false, {}};
    return EndRun(end, ClassWord);
  }
  if (state_.block == BlockDelimited) {
    inRunState_ = MarkOf(state_);
    const std::string& endText = cfg.blockEnds[static_cast<std::size_t>(state_.ref)];
    std::size_t endLength = 0;
    std::size_t close = FindBlockEnd(next_, endText, &endLength);
    std::size_t end = close == npos ? size : close + endLength;
    bool closed = close != npos;
    if (CutAtStop(next_, end) != end) {
      end = stop_;
      closed = true;
    }
    if (closed) {
      state_.block = BlockNone;
      state_.ref = 0;
    }
    return EndRun(end, ClassSkip);
  }

  const unsigned char c = static_cast<unsigned char>(line_[next_]);
  const std::uint8_t roles = config_->Roles(c);
  if (config_->IsJavaScript() && StepJavaScript(c, roles)) return;
  StepGeneric(c, roles);
}

// The JavaScript literals and comments that the lists cannot describe; false when the byte is
// left to the lists.
bool CLineClassifier::StepJavaScript(unsigned char c, std::uint8_t roles) {
  const std::size_t size = line_.size();
  const bool firstOnLine = !significantSeen_;
  if (!(roles & CCompiledConfig::kBlank)) significantSeen_ = true;
  if (firstOnLine && c == '-' && line_.compare(next_, 3, "-->") == 0) {
    lineCommentStart_ = next_;
    EndRun(CutAtStop(next_, size), ClassSkip);
    return true;
  }
  if (StopsAt(next_)) {
    state_.regexAllowed = false;  // the "/" of the closing tag is no regular expression
    EndRun(next_ + 1, ClassOperator);
    return true;
  }
  if (roles & CCompiledConfig::kQuote) {
    bool continued = false;
    std::size_t end = scanner_->String(next_ + 1, static_cast<char>(c), &continued);
    inRunState_ = {BlockString, c, false};
    state_ = continued ? ClassifierState{BlockString, c, false, {}}
                       : ClassifierState{BlockNone, 0, false, {}};
    Literal(end);
    EndRun(end, ClassWord);
    return true;
  }
  if (c == '`') {
    state_.frames = "T";
    inRunState_ = MarkOf(state_);
    bool continued = false;
    std::size_t end = scanner_->Template(next_ + 1, state_.frames, &continued);
    if (state_.frames.empty()) state_.regexAllowed = false;
    Literal(end);
    EndRun(end, ClassWord);
    return true;
  }
  if (c == '/' && next_ + 1 < size && line_[next_ + 1] != '/' && line_[next_ + 1] != '*' &&
      state_.regexAllowed) {
    std::size_t end = scanner_->Regex(next_);
    if (end != npos) {
      state_.regexAllowed = false;
      Literal(end);
      EndRun(end, ClassWord);
      return true;
    }
  }
  return false;
}

void CLineClassifier::StepGeneric(unsigned char c, std::uint8_t roles) {
  const std::size_t size = line_.size();
  ListMatch match;
  if (roles & CCompiledConfig::kQuote) {
    inRunState_ = {BlockString, c, false};
    std::size_t close = FindStringEnd(next_ + 1, static_cast<char>(c));
    EndRun(close == npos ? size : close + 1, ClassWord);
  } else if ((roles & CCompiledConfig::kLineComment) &&
             config_->Match(CCompiledConfig::kLineComments, line_, next_).length > 0) {
    lineCommentStart_ = next_;
    EndRun(CutAtStop(next_, size), ClassSkip);
  } else if ((roles & CCompiledConfig::kBlockStart) &&
             (match = config_->Match(CCompiledConfig::kBlockStarts, line_, next_)).length > 0) {
    const Mark before = runStartState_;
    const std::size_t start = next_;
    state_.block = BlockDelimited;
    state_.ref = static_cast<int>(match.index);
    // The end delimiter is searched after the start delimiter; an HTML comment's dashes may
    // close it at once ("<!-->").
    next_ += IsHtmlCommentOpen(line_, next_) ? 2 : match.length;
    Step();
    runStart_ = start;
    runStartState_ = before;
  } else if (roles & CCompiledConfig::kBlank) {
    std::size_t end = next_ + 1;
    while (end < size &&
           config_->Roles(static_cast<unsigned char>(line_[end])) == CCompiledConfig::kBlank)
      ++end;
    EndRun(end, ClassSkip);
  } else if ((roles & CCompiledConfig::kOperator) &&
             (match = config_->Match(CCompiledConfig::kOperators, line_, next_)).length > 0) {
    state_.regexAllowed = true;
    EndRun(next_ + match.length, ClassOperator);
  } else {
    std::size_t end = next_ + 1;
    while (end < size && config_->Roles(static_cast<unsigned char>(line_[end])) == 0) ++end;
    if (config_->IsJavaScript()) state_.regexAllowed = scanner_->RegexAllowedAfter(next_, end);
    EndRun(end, ClassWord);
  }
}

}  // namespace vantorel
