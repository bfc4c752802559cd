#include "source_tokenizer.h"

namespace vantorel {
namespace {
constexpr std::string_view kGap = " ";
}

CSourceTokenizer::CSourceTokenizer() { classifier_.Start(ActiveConfig(), {}, -1, 0, {}, nullptr); }

bool CSourceTokenizer::Attach(const CLineArray* lines) {
  if (!lines) return false;
  lines_ = lines;
  pos_ = 0;
  lineIndex_ = -1;
  lineText_ = {};
  tokenText_ = {};
  tokenType_ = TokenNone;
  phase_ = PhaseWord;
  literals_.clear();
  classifier_.Start(ActiveConfig(), {}, -1, 0, {}, &literals_);
  return true;
}

const CCompiledConfig* CSourceTokenizer::ActiveConfig() {
  if (pendingChanged_ || !active_) {
    active_ = nullptr;
    for (const auto& known : configs_) {
      if (known->Config().SameAs(pending_)) active_ = known.get();
    }
    if (!active_) {
      configs_.push_back(std::make_unique<CCompiledConfig>(pending_));
      active_ = configs_.back().get();
    }
    pendingChanged_ = false;
  }
  return active_;
}

void CSourceTokenizer::LoadLine() {
  ClassifierState state = classifier_.StateAt(pos_);
  StartClassifier(pos_, std::move(state));
}

void CSourceTokenizer::LoadNewLine(ClassifierState state) {
  lineText_ = PastEnd() || lineIndex_ < 0 ? std::string_view()
                                          : lines_->GetAt(static_cast<std::size_t>(lineIndex_));
  StartClassifier(pos_, std::move(state));
}

void CSourceTokenizer::ReadFrom(std::ptrdiff_t line, std::size_t column) {
  if (!lines_) return;
  lineIndex_ = line;
  pos_ = 0;
  LoadNewLine({});
  pos_ = column < lineText_.size() ? column : lineText_.size();
  StartClassifier(pos_, {});
  phase_ = PhaseWord;
}

bool CSourceTokenizer::LineEndsInBlock() const { return classifier_.EndState().block == BlockDelimited; }

std::size_t CSourceTokenizer::LineCommentStart() const {
  std::size_t start = std::string_view::npos;
  classifier_.EndState(&start);
  return start;
}

std::size_t CSourceTokenizer::SkipClass(std::size_t p, CharClass cls) {
  std::size_t runEnd = 0;
  while (p < lineText_.size() && classifier_.ClassAt(p, &runEnd) == cls) p = runEnd;
  return p < lineText_.size() ? p : lineText_.size();
}

void CSourceTokenizer::ReadOperator() {
  // Only the longest listed prefix counts, so the run is read no further than the longest entry.
  const std::size_t limit = active_->MaxOperatorLength();
  std::size_t end = pos_;
  std::size_t runEnd = 0;
  while (end < lineText_.size() && end - pos_ < limit &&
         classifier_.ClassAt(end, &runEnd) == ClassOperator)
    end = runEnd;
  std::size_t length = end - pos_ < limit ? end - pos_ : limit;
  while (length > 0 && !active_->IsOperator(lineText_.substr(pos_, length))) --length;
  if (length > 0) {
    tokenText_ = lineText_.substr(pos_, length);
    pos_ += length;
  } else {
    tokenText_ = kGap;
    pos_ += 1;
  }
}

bool CSourceTokenizer::NextToken() {
  tokenText_ = {};
  tokenType_ = TokenNone;
  if (!lines_ || PastEnd()) return false;
  for (;;) {
    switch (phase_) {
      case PhaseWord: {
        pos_ = SkipClass(pos_, ClassSkip);
        if (pos_ >= lineText_.size()) {
          ClassifierState carried = classifier_.EndState();
          pos_ = 0;
          ++lineIndex_;
          if (PastEnd()) {
            LoadNewLine({});
            return false;
          }
          LoadNewLine(carried);
        }
        tokenLine_ = lineIndex_;
        tokenColumn_ = pos_;
        std::size_t end = SkipClass(pos_, ClassWord);
        tokenText_ = lineText_.substr(pos_, end - pos_);
        pos_ = end;
        tokenType_ = TokenWord;
        phase_ = PhaseOperator;
        if (!tokenText_.empty()) return true;
        break;
      }
      case PhaseOperator: {
        pos_ = SkipClass(pos_, ClassSkip);
        tokenLine_ = lineIndex_;
        tokenColumn_ = pos_;
        tokenType_ = TokenOperator;
        phase_ = PhaseWord;
        if (pos_ < lineText_.size()) {
          std::size_t runEnd = 0;
          if (classifier_.ClassAt(pos_, &runEnd) == ClassOperator)
            ReadOperator();
          else
            tokenText_ = kGap;
        }
        if (!tokenText_.empty()) {
          phase_ = PhaseAfterOperator;
        } else {
          tokenType_ = TokenEndOfLine;
          tokenColumn_ = lineText_.size();
        }
        return true;
      }
      case PhaseAfterOperator: {
        phase_ = PhaseWord;
        pos_ = SkipClass(pos_, ClassSkip);
        if (pos_ >= lineText_.size()) {
          // This end of line keeps the position of the operator before it.
          tokenType_ = TokenEndOfLine;
          return true;
        }
        break;
      }
      default:
        return false;
    }
  }
}

void CSourceTokenizer::AddOperator(std::string_view op) {
  pending_.operators.emplace_back(op);
  pendingChanged_ = true;
}
void CSourceTokenizer::ClearOperators() {
  pending_.operators.clear();
  pendingChanged_ = true;
}
void CSourceTokenizer::AddLineComment(std::string_view opener) {
  pending_.lineComments.emplace_back(opener);
  pendingChanged_ = true;
}
void CSourceTokenizer::ClearLineComments() {
  pending_.lineComments.clear();
  pendingChanged_ = true;
}
void CSourceTokenizer::AddBlock(std::string_view start, std::string_view end) {
  pending_.blockStarts.emplace_back(start);
  pending_.blockEnds.emplace_back(end);
  pendingChanged_ = true;
}
void CSourceTokenizer::ClearBlocks() {
  pending_.blockStarts.clear();
  pending_.blockEnds.clear();
  pendingChanged_ = true;
}
void CSourceTokenizer::SetQuoteMode(int mode) {
  pending_.quoteMode = mode;
  pendingChanged_ = true;
}
void CSourceTokenizer::SetSyntax(Syntax syntax) {
  pending_.syntax = syntax;
  pendingChanged_ = true;
}
void CSourceTokenizer::SetStopAt(std::ptrdiff_t line, std::size_t column) {
  stopLine_ = line;
  stopColumn_ = column;
}

void CSourceTokenizer::StartClassifier(std::size_t from, ClassifierState state) {
  std::size_t stop = lineIndex_ == stopLine_ ? stopColumn_ : std::string_view::npos;
  classifier_.Start(ActiveConfig(), lineText_, lineIndex_, from, std::move(state), &literals_,
                    stop);
}
void CSourceTokenizer::SetSkipBlanks(bool skip) {
  pending_.skipBlanks = skip;
  pendingChanged_ = true;
}

}  // namespace vantorel
