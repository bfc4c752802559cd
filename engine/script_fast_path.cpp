// The lean whole-script pass. It makes the same decisions as the token-by-token re-indenter
// (script_reindenter.cpp), in the same order, but reads each line once with a fixed byte table
// and writes output lines straight into one buffer: no reconfigurable lists, no per-token
// allocation. Its results are checked against the general path by the tests and the fuzzers.
#include "script_fast_path.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "comment_carrier.h"
#include "javascript_literals.h"
#include "javascript_words.h"
#include "large_block.h"
#include "source_tokenizer.h"
#include "text_span.h"
#include "token_history.h"

namespace vantorel {
namespace lean {

constexpr std::size_t npos = std::string_view::npos;

// Thrown where the input leaves what this pass handles, and where the user cancels.
struct Unsupported {};
struct Cancelled {};

using Span = std::pair<std::size_t, std::size_t>;  // [begin, end) of a literal

// ---- Reading the script ----------------------------------------------------------------------

// What a byte can start, under the re-indenter's lists: operators < > { } ; / (, comments // and
// /* */, both quotes, template literals and regular expressions.
enum ByteKind : std::uint8_t {
  kWordByte = 0,
  kCloseParenByte,  // part of a word, noted for the token history
  kBlankByte,
  kQuoteByte,
  kSlashByte,
  kOperatorByte,
  kLessByte,
  kBackquoteByte,
  kOddByte,  // a CR, vertical tab or form feed: left to the general path
};

constexpr std::array<std::uint8_t, 256> MakeByteKinds() {
  std::array<std::uint8_t, 256> kinds{};
  kinds[' '] = kinds['\t'] = kBlankByte;
  kinds['\''] = kinds['"'] = kQuoteByte;
  kinds[')'] = kCloseParenByte;
  kinds['/'] = kSlashByte;
  kinds['>'] = kinds['{'] = kinds['}'] = kinds[';'] = kinds['('] = kOperatorByte;
  kinds['<'] = kLessByte;
  kinds['`'] = kBackquoteByte;
  kinds['\r'] = kinds['\v'] = kinds['\f'] = kOddByte;
  return kinds;
}
constexpr std::array<std::uint8_t, 256> kByteKinds = MakeByteKinds();
static_assert(kWordByte == 0 && kCloseParenByte == 1, "PlainWordEnd counts \")\" by their kinds");

std::uint8_t KindOf(char c) {
  return kByteKinds[static_cast<unsigned char>(c)];
}

// Whether `text` is `word` (lower-case letters) in any letter case, as EqualsIgnoringCase tells,
// but in line: it is asked for every word. A letter differs from its capital in bit 5 only, and
// no other byte becomes a lower-case letter by setting it.
template <std::size_t N>
bool IsWordInAnyCase(std::string_view text, const char (&word)[N]) {
  if (text.size() != N - 1) return false;
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if ((static_cast<unsigned char>(text[i]) | 0x20) != static_cast<unsigned char>(word[i]))
      return false;
  }
  return true;
}

struct Token {
  int type = TokenNone;
  std::string_view text;
  std::ptrdiff_t line = 0;
  std::size_t column = 0;
};

// Classifies each line in runs of word, operator and skipped bytes, front to back, and hands
// out the tokens the general tokenizer would: words, one-byte operators and one end of line per
// line. The gap between two words, which the re-indenter passes over, is only counted by the
// ticker; so is every token handed out.
class CLeanLexer {
 public:
  CLeanLexer(const CLineArray& input, CProgressTicker& ticker)
      : input_(input), lineCount_(static_cast<std::ptrdiff_t>(input.GetSize())), ticker_(ticker) {}

  // Reads from (line, column) on, as at the start of a page's script block, and never past
  // stop, where the block ends (line -1: nowhere).
  void StartAt(TextPos from, TextPos stop);
  // Reads a whole script from the start of `line` on, as if the lines before were empty.
  void StartAtLine(std::ptrdiff_t line) { line_ = line - 1; }
  // Whether this lexer, at the same token of the same input as `other`, reads on exactly as
  // `other` does. Where the last comment lies is left to the caller; the literal scanner only
  // remembers what it found on the current line, which both would find again alike.
  bool SameCourse(const CLeanLexer& other) const;
  bool Next();
  // Reads on as Next would, token by token, over words of word bytes and strings (no other
  // literal, no comment or "/" in them), the gaps between them and the operators "(" and ">",
  // counting each and handing it to notes.Word(text, line, number of ")" outside its strings,
  // whether it ends in one) or notes.Operator(text, line). Stops before anything else, the line's
  // end and the stop. Only the last token read is set up as the current one: nothing looks at the
  // others but the notes. A "{", "}" or ";" that stops it is read as well, and noted: true then,
  // with that as the current token.
  template <typename Notes>
  bool ReadPlainTokens(Notes& notes);
  const Token& Current() const { return token_; }
  std::ptrdiff_t LineIndex() const { return line_; }
  // Whether `line` is the line being read, and its text.
  bool HoldsLine(std::ptrdiff_t line) const { return line == textLine_; }
  std::string_view LineText() const { return text_; }
  bool LineReadToEnd() const { return next_ >= text_.size(); }
  // Valid once the line is read to its end.
  std::size_t LineComment() const { return lineComment_; }
  bool LineEndsInBlock() const { return carried_ == kCarriedComment; }
  // Whether the line being read starts inside a template literal or string begun on a line before
  // it, and (valid once it is read to its end) whether one goes on past its end.
  bool LineStartsInLiteral() const { return lineStartsInLiteral_; }
  bool LineEndsInLiteral() const { return carried_ >= kCarriedTemplate; }
  // Whether such a literal crosses one of the line's ends: the line starts inside one, or one
  // begun on it was left open (so far).
  bool LineTouchesLiteral() const { return lineStartsInLiteral_ || carried_ >= kCarriedTemplate; }
  // Where the last comment read so far starts (a line that goes on with a block comment counts
  // as one at its column 0); line -1 before the first.
  TextPos LastComment() const { return lastComment_; }
  // Whether the last word read holds a literal, and whether it may hold a ")" outside one.
  bool WordHasLiteral() const { return wordHasLiteral_; }
  bool WordMayHoldParen() const { return parenSeen_ != npos && parenSeen_ > token_.column; }
  // The literals of the current line not yet taken, up to column `end`.
  std::pair<const Span*, std::size_t> TakeLiterals(std::size_t end) {
    std::size_t first = literalsTaken_;
    while (literalsTaken_ < literals_.size() && literals_[literalsTaken_].first < end)
      ++literalsTaken_;
    return {literals_.data() + first, literalsTaken_ - first};
  }
  // Forgets the literals taken that end by column `at` of the current line, where a segment
  // starts: nothing asks for them again (InLiteral asks from the current token on), and a copy of
  // the state then stays small on a long line, such as a minified page's.
  void DropTakenLiterals(std::size_t at) {
    std::size_t k = 0;
    while (k < literalsTaken_ && literals_[k].second <= at) ++k;
    if (k == 0) return;
    literals_.erase(literals_.begin(), literals_.begin() + static_cast<std::ptrdiff_t>(k));
    literalsTaken_ -= k;
  }
  // Whether column `at` of the current line lies inside a literal read so far.
  bool InLiteral(std::size_t at) const {
    for (std::size_t k = literals_.size(); k-- > 0;) {
      if (literals_[k].first <= at) return at < literals_[k].second;
    }
    return false;
  }

 private:
  enum Phase { PhaseWord, PhaseOperator, PhaseAfterOperator };

  void LoadLine();
  // Next's general way, token by token through the classified runs.
  bool ReadToken();
  bool ReadPlainToken();
  // Where the plain word at `at` ends (word bytes only, then a blank, an operator or the line's
  // end), or npos when a literal, a comment or a "/" may join it or "-->" opens a comment; with
  // the number of ")" in it.
  std::size_t PlainWordEnd(std::size_t at, std::size_t* parens) const;
  // A word of word bytes and strings (no other literal, comment or "/"): what reading it tells.
  struct StringWord {
    std::size_t parens = 0;       // ")" outside its strings
    std::size_t parenEnd = npos;  // the end of its last run of word bytes holding a ")"
    std::size_t runBegin = npos;  // its last run of word bytes
    std::size_t runEnd = 0;
    bool endsInString = false;
  };
  // Where such a word at `at` ends, its strings added to the line's literals; npos, with nothing
  // added, for any other word.
  std::size_t StringWordEnd(std::size_t at, StringWord* word);
  // Hands out the word [at, end) or the operator at `at`, counted, and reads on after it.
  void TakeWord(std::size_t at, std::size_t end, bool holdsParen);
  void TakeOperator(std::size_t at);
  CharClass ClassAt(std::size_t p) {
    while (runEnd_ <= p && next_ < text_.size()) {
      if (!StepBlanks()) Step();
    }
    return runClass_;
  }
  // The most common run, blanks, read in line; false for any other.
  bool StepBlanks() {
    const std::size_t at = next_;
    if (carried_ != kCarriedNothing || at == stop_ || KindOf(text_[at]) != kBlankByte) return false;
    std::size_t end = at + 1;
    while (end < text_.size() && KindOf(text_[end]) == kBlankByte) ++end;
    EndRun(end, ClassSkip);
    return true;
  }
  std::size_t Skip(std::size_t p, CharClass cls) {
    while (p < text_.size() && ClassAt(p) == cls) p = runEnd_;
    return std::min(p, text_.size());
  }
  void Step();
  // Step inside a block comment, template literal or string that an earlier line left open.
  void StepCarried();
  // The end of a run from `from` to `end` that may not pass the stop column.
  std::size_t CutAtStop(std::size_t from, std::size_t end) const {
    return stop_ >= from && stop_ < end ? stop_ : end;
  }
  void EndRun(std::size_t end, CharClass cls) {
    runEnd_ = end;
    runClass_ = cls;
    next_ = end;
  }
  void SetRegexAllowed(bool allowed) {
    regexAllowed_ = allowed;
    regexAfterWord_ = false;
  }
  bool RegexAllowed() const {
    return regexAfterWord_ ? scanner_.RegexAllowedAfter(wordBegin_, wordEnd_) : regexAllowed_;
  }
  void Literal(std::size_t begin, std::size_t end) {
    if (end > begin) literals_.emplace_back(begin, end);
  }
  std::size_t FindCommentEnd(std::size_t from) const;
  void Tick(std::size_t column) {
    if (!ticker_.Tick(line_, column)) throw Cancelled();
  }

  const CLineArray& input_;
  const std::ptrdiff_t lineCount_;
  CProgressTicker& ticker_;
  std::ptrdiff_t line_ = -1;
  std::string_view text_;
  std::ptrdiff_t textLine_ = -1;  // the line text_ holds; -1 before the first is loaded
  Phase phase_ = PhaseWord;
  std::size_t pos_ = 0;
  Token token_;

  std::size_t next_ = 0;  // first byte not classified yet
  std::size_t runEnd_ = 0;
  CharClass runClass_ = ClassWord;
  // Inside a block comment, a template literal (with its frames_) or a string that a backslash
  // carries on (in carriedQuote_, stale once it ends), carried from line to line. A literal is read
  // on to the end of its line, so a line is read to its end while one is carried.
  enum Carried : std::uint8_t {
    kCarriedNothing,
    kCarriedComment,
    kCarriedTemplate,
    kCarriedString
  };
  Carried carried_ = kCarriedNothing;
  char carriedQuote_ = 0;
  bool lineStartsInLiteral_ = false;
  bool regexAllowed_ = true;
  // A word decides only when a "/" follows it: the last word run, asked then.
  bool regexAfterWord_ = false;
  std::size_t wordBegin_ = 0;
  std::size_t wordEnd_ = 0;
  std::size_t lineComment_ = npos;
  std::vector<Span> literals_;
  std::size_t literalsTaken_ = 0;
  bool wordHasLiteral_ = false;
  CJsLiteralScanner scanner_;
  std::string frames_;  // open template literals, as the general classifier keeps them
  std::ptrdiff_t stopLine_ = -1;
  std::size_t stopColumn_ = 0;
  std::size_t stop_ = npos;  // the stop's column on the current line
  TextPos lastComment_{-1, 0};
  std::size_t parenSeen_ = npos;  // the end of the last word run on this line holding a ")"
};

void CLeanLexer::StartAt(TextPos from, TextPos stop) {
  stopLine_ = stop.line;
  stopColumn_ = stop.column;
  line_ = from.line;
  LoadLine();
  pos_ = next_ = runEnd_ = std::min(from.column, text_.size());
  phase_ = PhaseWord;
}

bool CLeanLexer::SameCourse(const CLeanLexer& o) const {
  const Token& t = token_;
  return line_ == o.line_ && phase_ == o.phase_ && pos_ == o.pos_ && t.type == o.token_.type &&
         t.text.data() == o.token_.text.data() && t.text.size() == o.token_.text.size() &&
         t.line == o.token_.line && t.column == o.token_.column && next_ == o.next_ &&
         runEnd_ == o.runEnd_ && runClass_ == o.runClass_ && carried_ == o.carried_ &&
         lineStartsInLiteral_ == o.lineStartsInLiteral_ && frames_ == o.frames_ &&
         (carried_ != kCarriedString || carriedQuote_ == o.carriedQuote_) &&
         regexAllowed_ == o.regexAllowed_ && regexAfterWord_ == o.regexAfterWord_ &&
         wordBegin_ == o.wordBegin_ && wordEnd_ == o.wordEnd_ && lineComment_ == o.lineComment_ &&
         literals_ == o.literals_ && literalsTaken_ == o.literalsTaken_ &&
         wordHasLiteral_ == o.wordHasLiteral_ && stopLine_ == o.stopLine_ &&
         stopColumn_ == o.stopColumn_ && stop_ == o.stop_ && parenSeen_ == o.parenSeen_;
}

inline void CLeanLexer::LoadLine() {
  text_ = line_ < lineCount_ ? input_.GetAt(static_cast<std::size_t>(line_)) : std::string_view();
  textLine_ = line_;
  lineStartsInLiteral_ = carried_ >= kCarriedTemplate;
  // An empty line has no backslash to carry a string on: one ends there, also inside a template's
  // substitution. The line still counts as one that starts inside it.
  if (lineStartsInLiteral_ && text_.empty()) {
    if (carried_ == kCarriedString)
      carried_ = kCarriedNothing;
    else if (frames_.back() == '\'' || frames_.back() == '"')
      frames_.pop_back();
  }
  next_ = runEnd_ = 0;
  runClass_ = ClassWord;
  SetRegexAllowed(true);  // a "/" that begins a line is read as a regular expression
  lineComment_ = npos;
  parenSeen_ = npos;
  literals_.clear();
  literalsTaken_ = 0;
  stop_ = line_ == stopLine_ ? stopColumn_ : npos;
  scanner_.SetLine(text_, line_, stop_);
}

bool CLeanLexer::Next() {
  token_.text = {};
  token_.type = TokenNone;
  if (line_ >= lineCount_) return false;
  if (phase_ != PhaseWord && ReadPlainToken()) return true;
  return ReadToken();
}

bool CLeanLexer::ReadToken() {
  for (;;) {
    switch (phase_) {
      case PhaseWord: {
        pos_ = Skip(pos_, ClassSkip);
        if (pos_ >= text_.size()) {
          pos_ = 0;
          ++line_;
          LoadLine();
          if (line_ >= lineCount_) return false;
          // The line's first word is empty where blanks lead it: the gap comes next.
          phase_ = PhaseOperator;
          if (ReadPlainToken()) return true;
          phase_ = PhaseWord;
        }
        token_.line = line_;
        token_.column = pos_;
        std::size_t end = Skip(pos_, ClassWord);
        token_.text = text_.substr(pos_, end - pos_);
        // The run after the word is no literal, so the last literal read ends in the word or
        // before it.
        wordHasLiteral_ = !literals_.empty() && literals_.back().second > token_.column;
        pos_ = end;
        token_.type = TokenWord;
        phase_ = PhaseOperator;
        if (token_.text.empty()) break;
        Tick(token_.column);
        return true;
      }
      case PhaseOperator: {
        pos_ = Skip(pos_, ClassSkip);
        token_.line = line_;
        token_.column = pos_;
        token_.type = TokenOperator;
        phase_ = PhaseWord;
        if (pos_ < text_.size()) {
          if (ClassAt(pos_) != ClassOperator) {
            Tick(pos_);  // the gap: a word follows at once
            break;
          }
          token_.text = text_.substr(pos_, 1);  // every listed operator is one byte
          pos_ += 1;
          phase_ = PhaseAfterOperator;
        } else {
          token_.type = TokenEndOfLine;
          token_.column = text_.size();
        }
        Tick(token_.column);
        return true;
      }
      case PhaseAfterOperator: {
        phase_ = PhaseWord;
        pos_ = Skip(pos_, ClassSkip);
        if (pos_ >= text_.size()) {
          token_.type = TokenEndOfLine;  // at the operator's position
          Tick(token_.column);
          return true;
        }
        break;
      }
    }
  }
}

inline std::size_t CLeanLexer::PlainWordEnd(std::size_t at, std::size_t* parens) const {
  const char* data = text_.data();
  const std::size_t size = text_.size();
  if (data[at] == '-' && StartsWithAt(text_, at, kJsHtmlCommentClose)) return npos;
  std::size_t end = at;
  std::size_t count = 0;
  std::uint8_t kind = kBlankByte;
  // A word byte's kind is 0, a ")"'s 1: the sum counts them.
  for (; end < size && (kind = KindOf(data[end])) <= kCloseParenByte; ++end) count += kind;
  if (end < size && kind != kBlankByte && kind != kOperatorByte) return npos;
  *parens = count;
  return end;
}

inline std::size_t CLeanLexer::StringWordEnd(std::size_t at, StringWord* word) {
  const char* data = text_.data();
  const std::size_t size = text_.size();
  const std::size_t literals = literals_.size();
  bool holdsString = false;
  std::size_t p = at;
  while (p < size) {
    const std::uint8_t kind = KindOf(data[p]);
    if (kind <= kCloseParenByte) {
      // As Step reads it: "-->" at the start of a run of word bytes opens a comment.
      if (data[p] == '-' && StartsWithAt(text_, p, kJsHtmlCommentClose)) break;
      const std::size_t begin = p;
      std::size_t parens = 0;
      std::uint8_t k;
      for (; p < size && (k = KindOf(data[p])) <= kCloseParenByte; ++p) parens += k;
      word->parens += parens;
      if (parens != 0) word->parenEnd = p;
      word->runBegin = begin;
      word->runEnd = p;
      word->endsInString = false;
      continue;
    }
    if (kind == kQuoteByte) {
      bool continued = false;
      const std::size_t end = scanner_.String(p + 1, data[p], &continued);
      if (continued) break;  // a string that goes on over the line end: left to Step
      Literal(p, end);
      holdsString = true;
      word->endsInString = true;
      p = end;
      continue;
    }
    if (kind == kBlankByte || kind == kOperatorByte) {
      if (holdsString) return p;
      break;
    }
    break;
  }
  if (p >= size && holdsString) return p;
  literals_.resize(literals);
  return npos;
}

inline void CLeanLexer::TakeWord(std::size_t at, std::size_t end, bool holdsParen) {
  token_.type = TokenWord;
  token_.text = text_.substr(at, end - at);
  token_.column = at;
  Tick(at);
  wordHasLiteral_ = false;
  regexAfterWord_ = true;
  wordBegin_ = at;
  wordEnd_ = end;
  if (holdsParen) parenSeen_ = end;
  pos_ = end;
  phase_ = PhaseOperator;
}

inline void CLeanLexer::TakeOperator(std::size_t at) {
  token_.type = TokenOperator;
  token_.text = text_.substr(at, 1);
  token_.column = at;
  Tick(at);
  SetRegexAllowed(true);
  pos_ = at + 1;
  phase_ = PhaseAfterOperator;
}

// After a word or an operator (or at a line's start): the next token, when it is a plain word,
// an operator or the line's end, handed out and counted as the phases of Next would. False, with
// nothing read, for anything else.
inline bool CLeanLexer::ReadPlainToken() {
  const std::size_t size = text_.size();
  // A block's end stands at the "<" of its closing tag, where no plain token reaches: that "<"
  // is left to Step.
  if (carried_ != kCarriedNothing ||
      (stop_ != npos && !(stop_ >= pos_ && stop_ < size && text_[stop_] == '<')))
    return false;
  // A run classified ahead of pos_ is read again below: only blanks or one operator may be.
  if (runEnd_ > pos_ && runClass_ != ClassOperator && KindOf(text_[pos_]) != kBlankByte)
    return false;
  std::size_t at = pos_;
  while (at < size && KindOf(text_[at]) == kBlankByte) ++at;
  if (at >= size) {
    token_.line = line_;
    token_.type = TokenEndOfLine;
    // After an operator the end of line stands at the operator's column.
    if (phase_ == PhaseOperator) token_.column = size;
    Tick(token_.column);
    pos_ = next_ = runEnd_ = size;
    runClass_ = ClassSkip;
    phase_ = PhaseWord;
    return true;
  }
  const char c = text_[at];
  const std::uint8_t kind = KindOf(c);
  token_.line = line_;
  if (kind == kOperatorByte) {
    TakeOperator(at);
    runClass_ = ClassOperator;
  } else {
    std::size_t parens = 0;
    const std::size_t end = kind <= kCloseParenByte ? PlainWordEnd(at, &parens) : npos;
    if (end == npos) return false;
    if (phase_ == PhaseOperator && at > pos_) Tick(at);  // the gap between two words
    TakeWord(at, end, parens != 0);
    runClass_ = ClassWord;
  }
  next_ = runEnd_ = pos_;
  return true;
}

template <typename Notes>
bool CLeanLexer::ReadPlainTokens(Notes& notes) {
  if (phase_ == PhaseWord) return false;
  const char* const data = text_.data();
  const std::size_t size = text_.size();
  // As in ReadPlainToken (spelt out again: a shared predicate cost the pass 1.6 %); neither
  // changes while plain tokens are read.
  if (carried_ != kCarriedNothing ||
      (stop_ != npos && !(stop_ >= pos_ && stop_ < size && data[stop_] == '<')))
    return false;
  if (runEnd_ > pos_ && runClass_ != ClassOperator && KindOf(data[pos_]) != kBlankByte)
    return false;
  std::size_t pos = pos_;
  bool afterWord = phase_ == PhaseOperator;
  std::size_t last = npos;       // where the last token read begins
  std::size_t wordBegin = npos;  // the last word read
  std::size_t wordEnd = 0;
  bool wordHasString = false;
  std::size_t runBegin = npos;  // the last run of word bytes read
  std::size_t runEnd = 0;
  // What decides whether a "/" after the last token begins a regular expression, as Step leaves
  // it: -1 where nothing read changed it.
  int regexAllowed = -1;
  bool regexAfterWord = false;
  bool separator = false;
  // Without a display to report to, counting tokens does nothing: nor is the gap looked for then.
  const bool ticking = ticker_.Counts();
  for (;;) {
    std::size_t at = pos;
    while (at < size && KindOf(data[at]) == kBlankByte) ++at;
    if (at >= size) break;
    const char c = data[at];
    const std::uint8_t kind = KindOf(c);
    if (kind == kOperatorByte) {
      if (ticking) Tick(at);
      notes.Operator(std::string_view(data + at, 1), line_);
      last = at;
      pos = at + 1;
      afterWord = false;
      regexAllowed = 1;
      regexAfterWord = false;
      if (c == '{' || c == '}' || c == ';') {
        separator = true;
        break;
      }
      continue;
    }
    if (kind > kCloseParenByte && kind != kQuoteByte) break;
    std::size_t parens = 0;
    std::size_t end = PlainWordEnd(at, &parens);
    StringWord word;
    if (end != npos) {
      if (parens != 0) parenSeen_ = end;
      runBegin = at;
      runEnd = end;
      regexAfterWord = true;
      wordHasString = false;
    } else {
      // Strings are the literals most words hold: read here rather than run by run.
      end = StringWordEnd(at, &word);
      if (end == npos) break;
      parens = word.parens;
      if (word.parenEnd != npos) parenSeen_ = word.parenEnd;
      if (word.runBegin != npos) {
        runBegin = word.runBegin;
        runEnd = word.runEnd;
      }
      regexAllowed = 0;
      regexAfterWord = !word.endsInString;
      wordHasString = true;
    }
    if (ticking) {
      if (afterWord && at > pos) Tick(at);  // the gap between two words
      Tick(at);
    }
    notes.Word(std::string_view(data + at, end - at), line_, parens, word.endsInString);
    last = wordBegin = at;
    wordEnd = end;
    pos = end;
    afterWord = true;
  }
  if (last == npos) return false;
  // The state after the last token, as TakeWord, TakeOperator and Step leave it.
  token_.line = line_;
  token_.column = last;
  if (regexAllowed >= 0) regexAllowed_ = regexAllowed == 1;
  if (wordBegin != npos) wordHasLiteral_ = wordHasString;
  if (runBegin != npos) {
    wordBegin_ = runBegin;
    wordEnd_ = runEnd;
  }
  regexAfterWord_ = regexAfterWord;
  if (afterWord) {
    token_.type = TokenWord;
    token_.text = std::string_view(data + wordBegin, wordEnd - wordBegin);
    phase_ = PhaseOperator;
    runClass_ = ClassWord;
  } else {
    token_.type = TokenOperator;
    token_.text = std::string_view(data + last, 1);
    phase_ = PhaseAfterOperator;
    runClass_ = ClassOperator;
  }
  pos_ = next_ = runEnd_ = pos;
  return separator;
}

std::size_t CLeanLexer::FindCommentEnd(std::size_t from) const {
  const char* data = text_.data();
  const std::size_t size = text_.size();
  while (from + 1 < size) {
    const void* hit = std::memchr(data + from, '*', size - from - 1);
    if (!hit) return npos;
    std::size_t star = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (data[star + 1] == '/') return star;
    from = star + 1;
  }
  return npos;
}

inline void CLeanLexer::StepCarried() {
  const std::size_t at = next_;
  if (carried_ == kCarriedComment) {
    lastComment_ = {line_, at};
    std::size_t close = FindCommentEnd(at);
    std::size_t end = close == npos ? text_.size() : close + 2;
    if (close != npos) carried_ = kCarriedNothing;
    if (CutAtStop(at, end) != end) {
      end = stop_;
      carried_ = kCarriedNothing;
    }
    return EndRun(end, ClassSkip);
  }
  bool continued = false;
  if (carried_ == kCarriedString) {
    // The line goes on with the string that a backslash at the end of the line before carried.
    const std::size_t end = scanner_.String(at, carriedQuote_, &continued);
    if (!continued) {
      carried_ = kCarriedNothing;
      SetRegexAllowed(false);
    }
    Literal(at, end);
    return EndRun(end, ClassWord);
  }
  // The line goes on with the template literal that the line before left open (and a string in
  // one of its substitutions, where a backslash carried that on).
  const std::size_t end = scanner_.Template(at, frames_, &continued);
  if (frames_.empty()) {
    carried_ = kCarriedNothing;
    SetRegexAllowed(false);
  }
  Literal(at, end);
  EndRun(end, ClassWord);
}

void CLeanLexer::Step() {
  const std::size_t size = text_.size();
  const std::size_t at = next_;
  if (carried_ != kCarriedNothing) return StepCarried();
  if (at == stop_) {
    SetRegexAllowed(false);  // the "/" of the closing tag is no regular expression
    return EndRun(at + 1, ClassOperator);
  }
  const char c = text_[at];
  switch (KindOf(c)) {
    case kQuoteByte: {
      bool continued = false;
      std::size_t end = scanner_.String(at + 1, c, &continued);
      if (continued) {
        // A backslash at the end of the line carries it on.
        carried_ = kCarriedString;
        carriedQuote_ = c;
      }
      SetRegexAllowed(false);
      Literal(at, end);
      return EndRun(end, ClassWord);
    }
    case kSlashByte: {
      const char after = at + 1 < size ? text_[at + 1] : '\0';
      if (at + 1 < size && after != '/' && after != '*' && RegexAllowed()) {
        std::size_t end = scanner_.Regex(at);
        if (end != npos) {
          SetRegexAllowed(false);
          Literal(at, end);
          return EndRun(end, ClassWord);
        }
      }
      if (at + 1 < size && after == '/') {
        lineComment_ = at;
        lastComment_ = {line_, at};
        return EndRun(CutAtStop(at, size), ClassSkip);
      }
      if (at + 1 < size && after == '*') {
        lastComment_ = {line_, at};
        std::size_t close = at + 2 < size ? FindCommentEnd(at + 2) : npos;
        std::size_t end = close == npos ? size : close + 2;
        if (close == npos) carried_ = kCarriedComment;
        if (CutAtStop(at + 2, end) != end) {
          end = stop_;
          carried_ = kCarriedNothing;
        }
        return EndRun(end, ClassSkip);
      }
      SetRegexAllowed(true);
      return EndRun(at + 1, ClassOperator);
    }
    case kBackquoteByte: {
      frames_.assign(1, 'T');
      bool continued = false;
      std::size_t end = scanner_.Template(at + 1, frames_, &continued);
      if (!frames_.empty()) {
        // It goes on over the line end (in a page's block, up to the closing tag at most, which
        // ends it wherever it stands: the scanner stops there).
        carried_ = kCarriedTemplate;
      } else {
        SetRegexAllowed(false);
      }
      Literal(at, end);
      return EndRun(end, ClassWord);
    }
    case kLessByte:
      if (StartsWithAt(text_, at, kJsHtmlCommentOpen)) throw Unsupported();
      SetRegexAllowed(true);
      return EndRun(at + 1, ClassOperator);
    case kOperatorByte:
      SetRegexAllowed(true);
      return EndRun(at + 1, ClassOperator);
    case kBlankByte:
      StepBlanks();
      return;
    case kWordByte:
    case kCloseParenByte: {
      // "-->" opens a comment at the start of a line and moves with a segment's start.
      if (c == '-' && StartsWithAt(text_, at, kJsHtmlCommentClose)) throw Unsupported();
      std::size_t end = at;
      std::uint8_t parens = 0;
      for (std::uint8_t kind; end < size && (kind = KindOf(text_[end])) <= kCloseParenByte; ++end)
        parens |= kind;
      if (parens != 0) parenSeen_ = end;
      regexAfterWord_ = true;
      wordBegin_ = at;
      wordEnd_ = end;
      return EndRun(end, ClassWord);
    }
    default:
      throw Unsupported();
  }
}

// ---- Two parts of one script -------------------------------------------------------------------

bool Before(TextPos a, TextPos b) {
  return a.line < b.line || (a.line == b.line && a.column < b.column);
}

bool SamePos(TextPos a, TextPos b) {
  return a.line == b.line && a.column == b.column;
}

// The later part's state where one of its segments starts: what the earlier part must hold at
// the same token to go on exactly as the later part did from there.
struct Checkpoint {
  std::size_t run = 0;  // which of the later part's runs recorded it (a page's blocks)
  TextPos start;
  int depth = 0;
  int forAllowance = 0;
  TextPos emitted;
  bool emittedInComment = false;
  CLeanLexer lexer;
  CTokenHistory history;
  COutputEmitter::Snapshot tail;
};

// Stops the later part once the earlier part no longer needs it, and tells where it reads.
class CLaterPartProgress : public CAnalyzerProgress {
 public:
  bool IsCancelled() override { return stop.load(std::memory_order_relaxed); }
  void ShowCurrentLine(const std::string&) override {}
  void SetLineIndex(std::ptrdiff_t index) override { line.store(index, std::memory_order_relaxed); }
  void SetRange(long long) override {}
  void SetPosition(long long) override {}
  bool PumpMessages() override { return true; }

  std::atomic<bool> stop{false};
  std::atomic<std::ptrdiff_t> line{0};
};

// What the two parts of a split run share. The later part appends checkpoints, never more than
// the room reserved for them (so they never move while the earlier part reads them), and
// publishes each by raising the count.
}  // namespace lean

class CSplitShare {
 public:
  explicit CSplitShare(TextPos first, std::size_t maxCheckpoints = 1024)
      : firstPos(first), maxCheckpoints_(maxCheckpoints) {
    checkpoints_.reserve(maxCheckpoints_);
  }

  // The later part's side. Record is false once no more checkpoints are wanted.
  bool Record(lean::Checkpoint checkpoint) {
    checkpoints_.push_back(std::move(checkpoint));
    published_.store(checkpoints_.size(), std::memory_order_release);
    if (checkpoints_.size() < maxCheckpoints_) return true;
    Close();
    return false;
  }
  void Close() { closed_.store(true, std::memory_order_release); }
  // A run that records checkpoints (a script's, or one of a page's blocks) starts; the number it
  // gets goes into its checkpoints.
  std::size_t StartRun() {
    runCloses_.push_back(kFailedRun);
    return runCloses_.size() - 1;
  }
  // The run is over, with this many ")" that closed no "(" of its own; a run that gave up (its
  // block went to the general path) is not ended, and its checkpoints are of no use.
  void EndRun(std::size_t run, std::size_t unmatchedCloses) { runCloses_[run] = unmatchedCloses; }
  void Finish(FastPathResult result) {
    result_ = result;
    Close();
    finished_.store(true, std::memory_order_release);
  }

  // The earlier part's side. Closed is asked before Published: once closed, the count is final.
  bool Closed() const { return closed_.load(std::memory_order_acquire); }
  std::size_t Published() const { return published_.load(std::memory_order_acquire); }
  const lean::Checkpoint& At(std::size_t index) const { return checkpoints_[index]; }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Valid once finished.
  FastPathResult Result() const { return result_; }
  // The ")" that closed no "(" in the run, or kFailedRun.
  std::size_t UnmatchedCloses(std::size_t run) const { return runCloses_[run]; }
  static constexpr std::size_t kFailedRun = static_cast<std::size_t>(-1);

  const TextPos firstPos;  // where the later part starts: checkpoints lie from here on
  std::atomic<bool> laterReadsPageText{false};  // see CLeanReindenter::AtCheckpoint
  lean::CLaterPartProgress progress;
  CLineArray output;         // the later part's, read by the earlier part once finished
  bool pageTagSeen = false;  // a page's later part saw an html, head or body tag

 private:
  const std::size_t maxCheckpoints_;
  std::vector<lean::Checkpoint, CBlockAllocator<lean::Checkpoint>> checkpoints_;
  std::atomic<std::size_t> published_{0};
  std::atomic<bool> closed_{false};
  std::atomic<bool> finished_{false};
  FastPathResult result_ = FastPathResult::Unsupported;
  std::vector<std::size_t> runCloses_;  // per run; written by the later part before it finishes
};

namespace lean {

// One part of a whole script read in parts (see ScriptSplit).
struct ChainPart {
  // A part records the states of its first 64 segments, then of every 16th (see
  // CLeanReindenter::TakesCheckpoint): the part before it mostly meets it in the first few, but
  // now and then only after a few thousand, and each checkpoint is a copy of the whole reading
  // state.
  static constexpr std::size_t kCheckpoints = 256;
  static constexpr std::size_t kEveryCheckpoint = 64;
  static constexpr std::size_t kCheckpointSpacing = 16;

  ChainPart(TextPos first, std::size_t byteCount, std::size_t lineCount)
      : share(first, kCheckpoints), bytes(byteCount), lines(lineCount) {}

  CSplitShare share;               // its checkpoints, output and end; its stop is the whole run's
  std::atomic<bool> taken{false};  // begun by a thread, or read by the part before it
  const std::size_t bytes;         // the size of its lines up to the next part's
  const std::size_t lines;
  // Written by the thread that read it before it finishes: where it met a later part (that
  // part, at which of its checkpoints, and where each output's lines from there on begin), and
  // its token history there or at the end of the input.
  bool joined = false;
  std::size_t next = 0;
  std::size_t checkpoint = 0;
  std::size_t joinedAt = 0;
  std::size_t laterJoinedAt = 0;
  CTokenHistory history;
};

class CPartChain {
 public:
  std::size_t Count() const { return parts_.size(); }
  ChainPart& At(std::size_t k) { return *parts_[k]; }
  void Add(TextPos first, std::size_t bytes, std::size_t lines) {
    parts_.push_back(std::make_unique<ChainPart>(first, bytes, lines));
  }
  void Clear() { parts_.clear(); }
  // Whether part k was free and now is the caller's.
  bool Take(std::size_t k) { return !parts_[k]->taken.exchange(true, std::memory_order_acq_rel); }
  // Takes part k for the part before it to read as its own: it records nothing, and a part that
  // comes to its start too finds it over.
  bool Absorb(std::size_t k) {
    if (!Take(k)) return false;
    parts_[k]->share.Finish(FastPathResult::Unsupported);
    return true;
  }

 private:
  std::vector<std::unique_ptr<ChainPart>> parts_;
};

// ---- The re-indenter -------------------------------------------------------------------------

class CLeanReindenter {
 public:
  CLeanReindenter(const CLineArray& input, const LayoutOptions& options, COutputEmitter& emitter,
                  CProgressTicker& ticker)
      : input_(input), options_(options), lexer_(input, ticker), out_(emitter), ticker_(ticker) {}

  // A whole script (from the start of blockStart's line), or a page's block from blockStart to
  // blockEnd (see ReindentBlockFast).
  void Run(bool wholeFile, TextPos blockStart = {}, TextPos blockEnd = {-1, 0});
  // Where the block's closing tag starts; line -1 when the block ran to the end of the input.
  TextPos TagPos() const { return tagPos_; }

  // A page's script blocks in two parts (see CSplitRun). The later part records its state where
  // its first segments start; the earlier part, past the later part's first place, compares its
  // own state there and ends where the two are the same, once the later part has finished.
  void PlayLaterPart(CSplitShare* share, std::size_t run) {
    record_ = share;
    later_ = true;
    run_ = run;
  }
  // The later part's: whether it recorded as many checkpoints as the share takes.
  bool RecordedAll() const { return later_ && !record_; }
  void PlayEarlierPart(CSplitShare* share) { share_ = share; }
  // Part k of a script read in parts: it records its state for the part before it and compares
  // its own with the next begun part's, never waiting for that part to finish (the caller checks
  // what JoinedPart did afterwards).
  void PlayPart(CPartChain* chain, std::size_t k) {
    chain_ = chain;
    if (k > 0) PlayLaterPart(&chain->At(k).share, 0);
    nextPart_ = k;
    PassPart();
    if (k > 0 && share_) idleUntilLine_ = share_->firstPos.line - 1;
  }
  std::size_t JoinedPart() const { return nextPart_; }
  std::size_t JoinedCheckpoint() const { return nextCheckpoint_; }
  const CTokenHistory& History() const { return history_; }
  // After an earlier part's run: whether it ended at a checkpoint, and where each output's lines
  // from there on begin.
  bool Joined() const { return joined_; }
  // After an earlier part's run: whether it found it could not join, and stopped the later part.
  bool GaveUp() const { return gaveUp_; }
  std::size_t JoinedAt() const { return joinedAt_; }
  std::size_t LaterJoinedAt() const { return laterJoinedAt_; }
  std::size_t UnmatchedCloses() const { return history_.UnmatchedCloses(); }

 private:
  bool Next();
  void NoteToken();
  void NoteWordToken();
  bool TokenIs(char op) const {
    const Token& t = lexer_.Current();
    return t.type == TokenOperator && t.text.size() == 1 && t.text[0] == op;
  }
  TextPos TokenPos() const { return {lexer_.Current().line, lexer_.Current().column}; }
  // Whether the current token starts a segment: any but an end of line, and the end of an empty
  // line that starts inside a template literal or string, which is part of the literal's text and
  // keeps a line of its own.
  bool StartsSegment() const {
    const Token& t = lexer_.Current();
    return t.type != TokenEndOfLine || (lexer_.LineStartsInLiteral() && t.column == 0);
  }
  static TextPos After(TextPos pos) { return {pos.line, pos.column + 1}; }
  TextPos EndOfInput() const {
    if (input_.IsEmpty()) return {};
    std::size_t last = input_.GetSize() - 1;
    return {static_cast<std::ptrdiff_t>(last), input_.GetAt(last).size()};
  }
  // Whether a line break came before `at` (COutputEmitter::BeginsLine); only a page's block asks
  // (see COutputEmitter::GuardScriptEnd).
  bool BeginsLineAt(TextPos at) const { return guard_ && COutputEmitter::BeginsLine(input_, at); }
  PieceShape BeginsHere() const {
    PieceShape shape;
    shape.beginsLine = BeginsLineAt(TokenPos());
    return shape;
  }
  std::string_view LineAt(std::ptrdiff_t line) const {
    // Mostly the line the lexer reads, which it holds at hand.
    return lexer_.HoldsLine(line) ? lexer_.LineText()
                                  : input_.GetAt(static_cast<std::size_t>(line));
  }

  void StartSegment(TextPos* start);
  bool SkipLineEnds(TextPos* start);
  bool SkipLineEndsAndSemicolons(TextPos* start, int depth);
  void EmitSegment(TextPos start, TextPos end, int depth);
  void HandleOpenBrace(TextPos start, int* depth);
  void HandleCloseBrace(TextPos start, int* depth);
  void CarryComments(TextPos to, int depth, bool afterTag = false);
  void FinishScript(bool segmentPending, TextPos start, int depth, bool afterTag = false);

  // At the start of a segment: records the state there, or compares it with a later part's from
  // that part's first line on; true once this part has joined the later one.
  bool AtSegmentStart(TextPos start, int depth, int forAllowance);
  bool AtCheckpoint(TextPos start, int depth, int forAllowance);
  // Goes on to compare with the part after the one compared with so far.
  void PassPart();
  // Whether the state at this segment start is recorded: every one, but in a chain's part only
  // at some (see ChainPart).
  bool TakesCheckpoint() {
    const std::size_t segment = segmentsRecorded_++;
    return !chain_ || segment < ChainPart::kEveryCheckpoint ||
           segment % ChainPart::kCheckpointSpacing == 0;
  }
  bool Matches(const Checkpoint& checkpoint, int depth, int forAllowance,
               std::size_t* firstKept) const;
  bool GiveUpJoining();
  // Called at the end of a line passed between segments: see idleUntilLine_.
  void PassLineEnd() {
    if (lexer_.LineIndex() >= idleUntilLine_) LeaveIfIdle();
  }
  void LeaveIfIdle();
  // Waits until ready() holds, showing where the later part reads and passing on a Cancel.
  template <typename Ready>
  void WaitFor(Ready ready);

  const CLineArray& input_;
  const LayoutOptions& options_;
  CLeanLexer lexer_;
  COutputEmitter& out_;
  CProgressTicker& ticker_;
  CSplitShare* share_ = nullptr;   // compared with
  CSplitShare* record_ = nullptr;  // recorded into
  bool later_ = false;
  std::size_t run_ = 0;
  CPartChain* chain_ = nullptr;
  std::size_t nextPart_ = 0;          // in a chain, the part share_ belongs to
  std::size_t segmentsRecorded_ = 0;  // segment starts passed while recording
  std::size_t nextCheckpoint_ = 0;
  // A later part of a chain that comes to the end of the line before the next part's first
  // without a checkpoint (no segment started in its own lines: only comments or blank lines
  // there) gives up: no part before it can join it, and reading on would do the next part's
  // work again and keep a second output of it.
  std::ptrdiff_t idleUntilLine_ = std::numeric_limits<std::ptrdiff_t>::max();
  bool joined_ = false;
  bool gaveUp_ = false;
  std::size_t joinedAt_ = 0;
  std::size_t laterJoinedAt_ = 0;
  bool guard_ = false;  // a page's script block: see COutputEmitter::GuardScriptEnd
  TextPos tagPos_{-1, 0};

  TextPos emitted_;
  bool emittedInComment_ = false;
  CTokenHistory history_;
  PieceShape piece_;
  std::string commentText_;
};

bool CLeanReindenter::Next() {
  if (!lexer_.Next()) return false;
  NoteToken();
  return true;
}

// Ends of line and operators, most tokens here, in line; words out of line.
inline void CLeanReindenter::NoteToken() {
  const Token& token = lexer_.Current();
  if (token.type == TokenEndOfLine) return;
  if (token.type == TokenOperator) return history_.NoteOperator(token.text, token.line);
  NoteWordToken();
}

void CLeanReindenter::NoteWordToken() {
  const Token& token = lexer_.Current();
  const bool literal = lexer_.WordHasLiteral();
  history_.NoteWord(
      token.text, token.line, token.column,
      [&](std::size_t at) { return literal && lexer_.InLiteral(at); }, lexer_.WordMayHoldParen());
}

inline void CLeanReindenter::StartSegment(TextPos* start) {
  *start = TokenPos();
  if (StartsWithAt(LineAt(start->line), start->column, kJsHtmlCommentClose)) throw Unsupported();
}

bool CLeanReindenter::SkipLineEnds(TextPos* start) {
  while (Next()) {
    if (StartsSegment()) {
      StartSegment(start);
      return true;
    }
    PassLineEnd();
  }
  return false;
}

bool CLeanReindenter::SkipLineEndsAndSemicolons(TextPos* start, int depth) {
  while (Next()) {
    if (TokenIs(';')) {
      // A ";" from a later line is not joined onto a line that holds a "/": what follows the
      // ";" on its line (a comment) could close a regular expression there on the next run.
      const bool apart = TokenPos().line != emitted_.line && out_.LastLineHoldsSlash();
      // Comments before the ";" go first, so that code never moves past a comment.
      CarryComments(TokenPos(), depth);
      if (apart || out_.LastLineEndsInComment())
        out_.EmitLine(";", depth, BeginsHere());
      else
        out_.AppendToLastLine(";");
      emitted_ = After(TokenPos());
      emittedInComment_ = false;
    } else if (StartsSegment()) {
      StartSegment(start);
      return true;
    } else {
      PassLineEnd();
    }
  }
  return false;
}

void CLeanReindenter::EmitSegment(TextPos start, TextPos end, int depth) {
  const std::ptrdiff_t lineCount = static_cast<std::ptrdiff_t>(input_.GetSize());
  const std::size_t lineLength = end.line < lineCount ? LineAt(end.line).size() : 0;
  const bool onCurrentLine = end.line == lexer_.LineIndex();
  const bool toLineEnd = end.column >= lineLength && onCurrentLine;
  std::size_t lineComment = npos;
  if (toLineEnd) {
    if (!lexer_.LineReadToEnd()) throw Unsupported();
    lineComment = lexer_.LineComment();
  }
  std::pair<const Span*, std::size_t> literals{nullptr, 0};
  if (onCurrentLine) literals = lexer_.TakeLiterals(end.column);

  if (start.line == end.line && start.column < end.column) {
    std::string_view line = LineAt(start.line);
    const std::size_t from = start.column;
    std::string_view piece = from < line.size()
                                 ? line.substr(from, std::min(end.column, line.size()) - from)
                                 : std::string_view();
    const std::size_t to = from + piece.size();
    std::size_t commentAt = lineComment >= from && lineComment < to ? lineComment - from : npos;
    // A segment holds no literal but those taken here: no token starts inside one. Most have
    // none, and no comment either.
    const bool touchesLiteral = lexer_.LineTouchesLiteral();
    const bool plain = literals.second == 0 && commentAt == npos && !touchesLiteral;
    if (!plain || !out_.TryEmitPlainLine(piece, depth)) {
      piece_.commentAt = commentAt;
      // The text of a literal begun or left open on another line stays as it stands.
      piece_.keepStart =
          touchesLiteral && onCurrentLine && from == 0 && lexer_.LineStartsInLiteral();
      piece_.keepEnd = touchesLiteral && toLineEnd && lexer_.LineEndsInLiteral();
      piece_.literals.clear();
      for (std::size_t k = 0; k < literals.second; ++k) {
        const Span& literal = literals.first[k];
        if (literal.second <= from || literal.first >= to) continue;
        piece_.literals.emplace_back(std::max(literal.first, from) - from,
                                     std::min(literal.second, to) - from);
      }
      piece_.beginsLine = BeginsLineAt(start);
      out_.EmitLine(piece, depth, piece_);
    }
  } else if (start.line < end.line) {
    throw Unsupported();  // segments end on the line they start on
  }
  emitted_ = {end.line, std::min(end.column, lineLength)};
  emittedInComment_ = toLineEnd && lexer_.LineEndsInBlock();
}

void CLeanReindenter::HandleOpenBrace(TextPos start, int* depth) {
  if (history_.BraceStaysOnLine()) {
    EmitSegment(start, After(TokenPos()), *depth);
  } else {
    EmitSegment(start, TokenPos(), *depth);
    if (options_.bracketStyle == 1 && (!history_.BraceMayJoin() || out_.LastLineEndsInComment() ||
                                       (history_.BraceOnNewLine() && out_.LastLineHoldsSlash()))) {
      out_.DropTrailingBlankLines();
      out_.EmitLine("{", *depth, BeginsHere());
    } else {
      out_.PlaceOpenBrace(*depth, BeginsLineAt(TokenPos()));
    }
  }
  *depth = out_.StepIn(*depth);
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
  history_.BlockOpened();
}

void CLeanReindenter::HandleCloseBrace(TextPos start, int* depth) {
  EmitSegment(start, TokenPos(), *depth);
  *depth = out_.StepOut(*depth);
  out_.PlaceCloseBrace(*depth, BeginsLineAt(TokenPos()));
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
}

void CLeanReindenter::CarryComments(TextPos to, int depth, bool afterTag) {
  // Between two segments stand blanks, line ends, ";" and comments: with no comment begun since
  // the last emitted byte there is nothing to carry.
  const TextPos comment = lexer_.LastComment();
  if (!emittedInComment_ && !afterTag &&
      (comment.line < emitted_.line ||
       (comment.line == emitted_.line && comment.column < emitted_.column)))
    return;
  vantorel::CarryComments(input_, out_, emitted_, emittedInComment_, to, depth, afterTag,
                          commentText_);
}

// afterTag: the block's text is no more than what follows its opening tag on its line, which
// then stays exactly as it stands.
void CLeanReindenter::FinishScript(bool segmentPending, TextPos start, int depth, bool afterTag) {
  TextPos end = EndOfInput();
  if (segmentPending)
    EmitSegment(start, end, depth);
  else
    CarryComments(end, depth, afterTag);
}

bool CLeanReindenter::AtSegmentStart(TextPos start, int depth, int forAllowance) {
  if (record_ && !Before(start, record_->firstPos) && TakesCheckpoint() &&
      !record_->Record({run_, start, depth, forAllowance, emitted_, emittedInComment_, lexer_,
                        history_, out_.TakeSnapshot()}))
    record_ = nullptr;
  while (share_ && !Before(start, share_->firstPos)) {
    const CSplitShare* const compared = share_;
    if (chain_ && chain_->Absorb(nextPart_)) {
      // Nobody has begun it: this part reads it as its own, with room for its lines, so that
      // the output is not copied again and again as it grows.
      const ChainPart& absorbed = chain_->At(nextPart_);
      ReserveOutputRoom(out_.Output(), absorbed.bytes, absorbed.lines);
      PassPart();
      continue;
    }
    if (AtCheckpoint(start, depth, forAllowance)) return true;
    if (share_ == compared) break;  // not here; else it gave up on that part
  }
  return false;
}

void CLeanReindenter::PassPart() {
  ++nextPart_;
  nextCheckpoint_ = 0;
  share_ = nextPart_ < chain_->Count() ? &chain_->At(nextPart_).share : nullptr;
}

bool CLeanReindenter::AtCheckpoint(TextPos start, int depth, int forAllowance) {
  // The later part's checkpoints before this segment are of no more use.
  for (;;) {
    const bool closed = share_->Closed();
    const std::size_t published = share_->Published();
    while (nextCheckpoint_ < published && Before(share_->At(nextCheckpoint_).start, start))
      ++nextCheckpoint_;
    if (nextCheckpoint_ < published) break;
    if (closed) return GiveUpJoining();
    // A page's later part may be reading page text before its first block, for as long as the
    // earlier part would: the earlier part reads on rather than wait (and looks again at its
    // next segment).
    if (share_->laterReadsPageText.load(std::memory_order_acquire)) return false;
    WaitFor([&] {
      return share_->Published() > nextCheckpoint_ || share_->Closed() ||
             share_->laterReadsPageText.load(std::memory_order_acquire);
    });
  }
  const Checkpoint& checkpoint = share_->At(nextCheckpoint_);
  std::size_t firstKept = 0;
  if (!SamePos(checkpoint.start, start) || !Matches(checkpoint, depth, forAllowance, &firstKept))
    return false;
  if (chain_) {
    // A part that failed after this checkpoint is no use, and reading on finds out why.
    if (share_->Finished() && share_->Result() != FastPathResult::Done) return GiveUpJoining();
    joined_ = true;
    joinedAt_ = firstKept;
    laterJoinedAt_ = checkpoint.tail.firstKept;
    return true;
  }
  WaitFor([&] { return share_->Finished(); });
  // The later part took every ")" that closed none of its "(" for one that opens no head.
  const std::size_t closes = share_->UnmatchedCloses(checkpoint.run);
  if (share_->Result() != FastPathResult::Done || closes == CSplitShare::kFailedRun ||
      !history_.OuterParensOpenNoHead(checkpoint.history,
                                      closes - checkpoint.history.UnmatchedCloses()))
    return GiveUpJoining();
  joined_ = true;
  joinedAt_ = firstKept;
  laterJoinedAt_ = checkpoint.tail.firstKept;
  return true;
}

bool CLeanReindenter::Matches(const Checkpoint& checkpoint, int depth, int forAllowance,
                              std::size_t* firstKept) const {
  if (checkpoint.depth != depth || checkpoint.forAllowance != forAllowance ||
      !SamePos(checkpoint.emitted, emitted_) || checkpoint.emittedInComment != emittedInComment_ ||
      !lexer_.SameCourse(checkpoint.lexer) || !history_.Extends(checkpoint.history))
    return false;
  // A comment that starts before the emitted text is never looked at again.
  const TextPos comment = lexer_.LastComment();
  const TextPos laterComment = checkpoint.lexer.LastComment();
  if (!SamePos(comment, laterComment) &&
      (!Before(comment, emitted_) || !Before(laterComment, emitted_)))
    return false;
  const COutputEmitter::Snapshot tail = out_.TakeSnapshot();
  *firstKept = tail.firstKept;
  return COutputEmitter::SameTail(tail, checkpoint.tail);
}

void CLeanReindenter::LeaveIfIdle() {
  idleUntilLine_ = std::numeric_limits<std::ptrdiff_t>::max();  // asked once
  // Nobody can have joined at a checkpoint that was never published, nor will.
  if (record_ && record_->Published() == 0) throw Unsupported();
}

bool CLeanReindenter::GiveUpJoining() {
  if (chain_) {
    // The part goes on: this one may have been passed over itself, and the part that passed it
    // then may join that part.
    PassPart();
    return false;
  }
  gaveUp_ = true;
  share_->progress.stop.store(true, std::memory_order_relaxed);
  share_ = nullptr;
  return false;
}

template <typename Ready>
void CLeanReindenter::WaitFor(Ready ready) {
  while (!ready()) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (!ticker_.ReportNow(share_->progress.line.load(std::memory_order_relaxed))) {
      if (!chain_) share_->progress.stop.store(true, std::memory_order_relaxed);
      throw Cancelled();
    }
  }
}

void CLeanReindenter::Run(bool wholeFile, TextPos blockStart, TextPos blockEnd) {
  guard_ = !wholeFile;
  emitted_ = blockStart;
  int depth = 0;
  int forAllowance = 0;
  bool advanced = false;
  TextPos start;
  // "function" starts counting the depth afresh; "for" lets the two ";" of its head pass.
  auto noteKeyword = [&](std::string_view word) {
    if (IsWordInAnyCase(word, "function"))
      depth = 0;
    else if (IsWordInAnyCase(word, "for"))
      forAllowance = 2;
  };
  // What Next and NoteToken do with the tokens that the lexer reads in a batch.
  struct {
    CTokenHistory& history;
    decltype(noteKeyword)& keyword;
    void Word(std::string_view text, std::ptrdiff_t line, std::size_t parens,
              bool endsInLiteral) {
      history.NotePlainWord(text, line, parens, endsInLiteral);
      keyword(text);
    }
    void Operator(std::string_view text, std::ptrdiff_t line) { history.NoteOperator(text, line); }
  } notePlain{history_, noteKeyword};
  if (!wholeFile) {
    lexer_.StartAt(blockStart, blockEnd);
    if (!SkipLineEnds(&start)) return FinishScript(false, start, depth, true);
    CarryComments(start, depth, true);
    advanced = true;
  } else if (blockStart.line > 0) {
    lexer_.StartAtLine(blockStart.line);
    start = blockStart;
  }
  // The current token was read and noted with plain tokens before it, and is still to be handled.
  bool pending = false;
  for (;;) {
    // At every segment start, whatever the part, so that two parts' states stay comparable.
    if (advanced && start.line == lexer_.LineIndex()) lexer_.DropTakenLiterals(start.column);
    // Most segments lie before the next part and past the checkpoints: no call for them.
    if (advanced && (record_ || (share_ && !Before(start, share_->firstPos))) &&
        AtSegmentStart(start, depth, forAllowance))
      return;
    if (!advanced && !pending && !Next()) return FinishScript(true, start, depth);
    advanced = false;
    pending = false;
    const Token& token = lexer_.Current();
    if (token.type == TokenWord) {
      // A word that ends inside a literal carried over from the line before is no keyword,
      // whatever it spells; one that ends inside a literal begun in it never spells one.
      if (!(lexer_.LineStartsInLiteral() && history_.LastEndsInLiteral())) noteKeyword(token.text);
      pending = lexer_.ReadPlainTokens(notePlain);
      continue;
    }
    if (token.type == TokenEndOfLine) {
      EmitSegment(start, After(TokenPos()), depth);
      if (!(advanced = SkipLineEnds(&start))) return FinishScript(false, start, depth);
      CarryComments(start, depth);
      continue;
    }
    if (token.type != TokenOperator || token.text.size() != 1) continue;
    if (!wholeFile && token.line == blockEnd.line && token.column == blockEnd.column) {
      // Where the browser ends the block: the caller copies the tag and goes on with the page.
      EmitSegment(start, TokenPos(), depth);
      tagPos_ = TokenPos();
      return;
    }
    switch (token.text[0]) {
      case '{':
        HandleOpenBrace(start, &depth);
        if (!(advanced = SkipLineEnds(&start))) return FinishScript(false, start, depth);
        CarryComments(start, depth);
        forAllowance = 0;
        break;
      case '}':
        HandleCloseBrace(start, &depth);
        if (!(advanced = SkipLineEndsAndSemicolons(&start, depth)))
          return FinishScript(false, start, depth);
        CarryComments(start, depth);
        forAllowance = 0;
        break;
      case ';':
        if (forAllowance > 0) {
          --forAllowance;
          continue;
        }
        EmitSegment(start, After(TokenPos()), depth);
        if (!(advanced = SkipLineEndsAndSemicolons(&start, depth)))
          return FinishScript(false, start, depth);
        CarryComments(start, depth);
        break;
      default:
        pending = lexer_.ReadPlainTokens(notePlain);
        break;
    }
  }
}

}  // namespace lean

using lean::Cancelled;
using lean::CLeanReindenter;
using lean::Unsupported;

namespace {

using lean::ChainPart;
using lean::CPartChain;

constexpr std::size_t kMaxParts = 64;
constexpr std::size_t kPartStartLookLines = 1024;

// The first block comment mark in `text`: whether it opens or closes one.
enum class CommentMark { None, Opens, Closes };
CommentMark FirstCommentMark(std::string_view text) {
  for (std::size_t at = text.find('*'); at != std::string_view::npos; at = text.find('*', at + 1)) {
    if (at > 0 && text[at - 1] == '/') return CommentMark::Opens;
    if (at + 1 < text.size() && text[at + 1] == '/') return CommentMark::Closes;
  }
  return CommentMark::None;
}

// Whether the line ends a statement, a block or a block comment.
bool EndsStatement(std::string_view text) {
  const std::size_t last = text.find_last_not_of(" \t");
  if (last == std::string_view::npos) return false;
  const char end = text[last];
  return end == ';' || end == '{' || end == '}' ||
         (end == '/' && last > 0 && text[last - 1] == '*');
}

// Where a part had best start, from `line` on within a look ahead of lookBytes: after a line that
// ends a statement, a block or a block comment, and outside a block comment (the next comment mark
// is no "*/", looked for as far again); `line` itself where no such line is seen. A part read from
// inside a block comment takes its text for code: no part before it can join it, and it reads on
// to the end for nothing. Only how the work is shared depends on this, never the output.
std::size_t PartStartFrom(const CLineArray& input, std::size_t line, std::size_t lookBytes) {
  constexpr std::size_t none = std::string_view::npos;
  std::size_t found = none;  // the first such line since the last comment mark
  std::size_t seen = 0;
  for (std::size_t at = line; at < input.GetSize() && seen < 2 * lookBytes; ++at) {
    const bool looking = at - line < kPartStartLookLines && seen < lookBytes;
    if (!looking && found == none) break;
    if (looking && found == none && EndsStatement(input.GetAt(at - 1))) found = at;
    const std::string_view text = input.GetAt(at);
    const CommentMark mark = FirstCommentMark(text);
    if (mark == CommentMark::Closes) found = none;  // it lay inside a block comment
    if (mark == CommentMark::Opens && found != none) return found;
    seen += text.size() + 1;
  }
  return found != none ? found : line;
}

// The parts of a whole script (see ScriptSplit): none where it is read in one. Lines are counted
// by their sizes: they need not lie in one buffer.
void FindParts(const CLineArray& input, const ScriptSplit& split, CPartChain& chain) {
  const std::size_t lineCount = input.GetSize();
  const std::size_t total = input.TextSize();
  std::vector<std::ptrdiff_t> asked = split.lines;
  if (split.line >= 0) asked.push_back(split.line);
  std::size_t threads = 2;
  if (asked.empty()) {
    if (lineCount < 2 || total < split.minBytes) return;
    if (split.concurrent) threads = std::thread::hardware_concurrency();
    if (threads < 2) return;
  }
  // By size, the parts shrink towards the end, each a share of what is left: whichever thread
  // finishes first takes the small last ones, and the threads end close together.
  const std::size_t smallest = std::max<std::size_t>(split.partBytes, 1);
  // A script too small for more is read in two halves.
  auto nextEnd = [&](std::size_t begin) {
    const std::size_t left = total - begin;
    const std::size_t size = std::max(left / (2 * threads), smallest);
    if (begin == 0 && left - std::min(size, left) < smallest / 2) return left / 2;
    if (left - std::min(size, left) < smallest / 2 || chain.Count() + 1 >= kMaxParts) return total;
    return begin + size;
  };
  std::size_t firstLine = 0;
  std::size_t begin = 0;  // bytes before the part
  auto add = [&](std::size_t nextFirst) {
    const std::size_t bytes = input.TextBefore(nextFirst);
    chain.Add({static_cast<std::ptrdiff_t>(firstLine), 0}, bytes - begin, nextFirst - firstLine);
    firstLine = nextFirst;
    begin = bytes;
  };
  if (!asked.empty()) {
    // Lines asked for out of order, or more than once, start nothing.
    for (std::ptrdiff_t line : asked) {
      if (line > static_cast<std::ptrdiff_t>(firstLine) &&
          line < static_cast<std::ptrdiff_t>(lineCount))
        add(static_cast<std::size_t>(line));
    }
  } else {
    for (;;) {
      // The first line after the part's own first that starts at or past the end wanted.
      const std::size_t end = nextEnd(begin);
      std::size_t low = firstLine + 1;
      std::size_t high = lineCount;
      while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (input.TextBefore(middle) >= end) {
          high = middle;
        } else {
          low = middle + 1;
        }
      }
      if (low >= lineCount) break;
      add(PartStartFrom(input, low, smallest / 4));
    }
  }
  add(lineCount);
  if (chain.Count() < 2) chain.Clear();
}

// Reads a script's parts (see ScriptSplit), the first into the caller's output, and puts the
// output together from the parts that joined.
class CChainRun {
 public:
  enum class Outcome { Done, Cancelled, Unsupported, OnePart };

  CChainRun(const CLineArray& input, const LayoutOptions& options, CLineArray& output,
            CPartChain& chain)
      : input_(input), options_(options), output_(output), chain_(chain) {}
  ~CChainRun() { StopAndWait(); }

  // OnePart where the parts' lines cannot be used as they are (the caller reads the script in
  // one part then); Cancelled leaves the first part's output as it stands, Unsupported an empty
  // one.
  Outcome Run(const ScriptSplit& split, CProgressTicker& ticker, bool* joined);

 private:
  // Reads the parts nobody has begun, from the second on; with the caller's ticker (on the
  // caller's thread), false when the user cancelled.
  bool Work(CProgressTicker* ticker);
  bool ReadPart(std::size_t k, CProgressTicker* callerTicker);
  // Asks every part to stop, and the threads to take no more.
  void Stop();
  void StopAndWait();
  Outcome PutTogether(bool* joined);
  std::ptrdiff_t LineShown();

  const CLineArray& input_;
  const LayoutOptions& options_;
  CLineArray& output_;
  CPartChain& chain_;
  std::vector<CWorkerThread> threads_;
  std::mutex mutex_;
  std::condition_variable allDone_;
  std::size_t working_ = 0;  // other threads not done yet, under mutex_
  std::atomic<bool> stop_{false};
};

CChainRun::Outcome CChainRun::Run(const ScriptSplit& split, CProgressTicker& ticker, bool* joined) {
  if (!split.concurrent) {
    std::vector<std::size_t> order = split.order;
    if (order.empty()) {
      for (std::size_t k = chain_.Count(); k-- > 1;) order.push_back(k);
    }
    order.push_back(0);
    for (std::size_t k : order) {
      if (k < chain_.Count() && chain_.Take(k) && !ReadPart(k, &ticker)) return Outcome::Cancelled;
    }
    return PutTogether(joined);
  }
  // This thread reads the first part, with the caller's display, while the others begin the
  // next ones; then it takes parts as they do. Where no thread starts, it reads on alone.
  chain_.Take(0);
  const std::size_t others =
      std::min<std::size_t>(std::max(std::thread::hardware_concurrency(), 1u), chain_.Count()) - 1;
  // Counted before they start, as they count themselves out when done.
  working_ = others;
  for (std::size_t t = 0; t < others; ++t) {
    try {
      threads_.emplace_back([this] { Work(nullptr); });
    } catch (const std::system_error&) {
      std::lock_guard<std::mutex> lock(mutex_);
      working_ -= others - t;
      break;
    }
  }
  if (!ReadPart(0, &ticker) || !Work(&ticker)) {
    StopAndWait();
    return Outcome::Cancelled;
  }
  // Shows where the others read, and passes on a Cancel, every few milliseconds.
  std::unique_lock<std::mutex> lock(mutex_);
  while (!allDone_.wait_for(lock, std::chrono::milliseconds(2), [&] { return working_ == 0; })) {
    lock.unlock();
    const bool goOn = ticker.ReportNow(LineShown());
    lock.lock();
    if (!goOn) {
      lock.unlock();
      StopAndWait();
      return Outcome::Cancelled;
    }
  }
  lock.unlock();
  StopAndWait();
  return PutTogether(joined);
}

bool CChainRun::Work(CProgressTicker* ticker) {
  bool goOn = true;
  for (std::size_t k = 1; goOn && k < chain_.Count() && !stop_.load(std::memory_order_relaxed);
       ++k) {
    if (chain_.Take(k)) goOn = ReadPart(k, ticker);
  }
  if (!ticker) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (--working_ == 0) allDone_.notify_all();
  }
  return goOn;
}

bool CChainRun::ReadPart(std::size_t k, CProgressTicker* callerTicker) {
  ChainPart& part = chain_.At(k);
  FastPathResult result = FastPathResult::Done;
  try {
    CLineArray& output = k == 0 ? output_ : part.share.output;
    if (k > 0) ReserveOutputRoom(output, part.bytes, part.lines);
    CProgressTicker ownTicker;
    if (!callerTicker) ownTicker.Start(&part.share.progress, &input_, std::string(), 4096);
    COutputEmitter emitter(options_, output);
    CLeanReindenter reindenter(input_, options_, emitter, callerTicker ? *callerTicker : ownTicker);
    reindenter.PlayPart(&chain_, k);
    reindenter.Run(true, part.share.firstPos);
    part.joined = reindenter.Joined();
    part.next = reindenter.JoinedPart();
    part.checkpoint = reindenter.JoinedCheckpoint();
    part.joinedAt = reindenter.JoinedAt();
    part.laterJoinedAt = reindenter.LaterJoinedAt();
    part.history = reindenter.History();
  } catch (const Unsupported&) {
    result = FastPathResult::Unsupported;
  } catch (const Cancelled&) {
    result = FastPathResult::Cancelled;
  } catch (...) {
    // Out of memory, say: the part is of no use, and a part before it reads on through it.
    result = FastPathResult::Unsupported;
  }
  // A later part that did not finish is never put together with the others: its lines go.
  if (k > 0 && result != FastPathResult::Done) part.share.output = CLineArray();
  part.share.Finish(result);
  // What the first part cannot read, the whole run cannot.
  if (k == 0 && result != FastPathResult::Done) Stop();
  // With the caller's display, a Cancel is the user's.
  return !(callerTicker && result == FastPathResult::Cancelled);
}

void CChainRun::Stop() {
  stop_.store(true, std::memory_order_relaxed);
  for (std::size_t k = 0; k < chain_.Count(); ++k)
    chain_.At(k).share.progress.stop.store(true, std::memory_order_relaxed);
}

void CChainRun::StopAndWait() {
  if (threads_.empty()) return;
  Stop();
  for (CWorkerThread& thread : threads_) thread.Join();
  threads_.clear();
}

// The line of the first part still read: the run has come that far at least.
std::ptrdiff_t CChainRun::LineShown() {
  for (std::size_t k = 0; k < chain_.Count(); ++k) {
    ChainPart& part = chain_.At(k);
    if (part.taken.load(std::memory_order_acquire) && !part.share.Finished())
      return part.share.progress.line.load(std::memory_order_relaxed);
  }
  return static_cast<std::ptrdiff_t>(input_.GetSize()) - 1;
}

CChainRun::Outcome CChainRun::PutTogether(bool* joined) {
  ChainPart& first = chain_.At(0);
  switch (first.share.Result()) {
    case FastPathResult::Done:
      break;
    case FastPathResult::Cancelled:
      return Outcome::Cancelled;
    case FastPathResult::Unsupported:
      output_.RemoveAll();
      return Outcome::Unsupported;
  }
  // From the first part on, each part that joined the next: that one must have read on to its
  // own end, and taken rightly the ")" that closed parentheses opened before it. Where one did
  // not, the script is read again in one part (rarely: a part closes a "(" opened before it that
  // opens a statement or function head).
  std::vector<std::size_t> parts{0};
  CTokenHistory parens = first.history;  // the parentheses open where the parts meet
  for (std::size_t k = 0; chain_.At(k).joined;) {
    const ChainPart& part = chain_.At(k);
    ChainPart& next = chain_.At(part.next);
    if (next.share.Result() != FastPathResult::Done ||
        !parens.ContinueWith(next.share.At(part.checkpoint).history, next.history)) {
      output_.RemoveAll();
      return Outcome::OnePart;
    }
    parts.push_back(part.next);
    k = part.next;
  }
  for (std::size_t k : parts) {
    const ChainPart& part = chain_.At(k);
    if (part.joined) (k == 0 ? output_ : chain_.At(k).share.output).TruncateLines(part.joinedAt);
  }
  for (std::size_t i = 1; i < parts.size(); ++i) {
    output_.TakeOverLines(std::move(chain_.At(parts[i]).share.output),
                          chain_.At(parts[i - 1]).laterJoinedAt);
  }
  *joined = parts.size() > 1;
  return Outcome::Done;
}

}  // namespace

void ReserveOutputRoom(CLineArray& output, std::size_t bytes, std::size_t lines) {
  output.Reserve(output.TextSize() + bytes + bytes / 4 + 64,
                 output.GetSize() + std::max(lines + lines / 2, bytes / 16) + 64);
}

FastPathResult ReindentScriptFast(const CLineArray& input, const LayoutOptions& options,
                                  CLineArray& output, CProgressTicker& ticker,
                                  const ScriptSplit& split, SplitOutcome* outcome) {
  if (outcome) *outcome = SplitOutcome::OnePart;
  if (!output.IsEmpty()) return FastPathResult::Unsupported;
  CPartChain chain;
  FindParts(input, split, chain);
  if (chain.Count() > 1) {
    CChainRun run(input, options, output, chain);
    bool joined = false;
    switch (run.Run(split, ticker, &joined)) {
      case CChainRun::Outcome::Done:
        if (outcome) *outcome = joined ? SplitOutcome::Joined : SplitOutcome::RanOn;
        return FastPathResult::Done;
      case CChainRun::Outcome::Cancelled:
        return FastPathResult::Cancelled;
      case CChainRun::Outcome::Unsupported:
        return FastPathResult::Unsupported;
      case CChainRun::Outcome::OnePart:
        if (outcome) *outcome = SplitOutcome::RanOn;
        break;
    }
  }
  COutputEmitter emitter(options, output);
  CLeanReindenter reindenter(input, options, emitter, ticker);
  try {
    reindenter.Run(true);
  } catch (const Unsupported&) {
    output.RemoveAll();
    return FastPathResult::Unsupported;
  } catch (const Cancelled&) {
    return FastPathResult::Cancelled;  // what was done so far stays, as on the general path
  }
  return FastPathResult::Done;
}

FastPathResult ReindentBlockFast(const CLineArray& input, const LayoutOptions& options,
                                 COutputEmitter& emitter, CProgressTicker& ticker,
                                 TextPos blockStart, TextPos blockEnd, TextPos* tagPos,
                                 BlockSplit* split) {
  const COutputEmitter::Snapshot before = emitter.TakeSnapshot();
  // A ticker's count goes on where the general path would, so it is restored with the output.
  const CProgressTicker tickerBefore = ticker;
  CLeanReindenter reindenter(input, options, emitter, ticker);
  CSplitShare* const share = split ? split->share : nullptr;
  const std::size_t run = share && split->later ? share->StartRun() : 0;
  if (share && split->later) {
    reindenter.PlayLaterPart(share, run);
    share->laterReadsPageText.store(false, std::memory_order_release);
  } else if (share)
    reindenter.PlayEarlierPart(share);
  emitter.GuardScriptEnd(true);
  try {
    reindenter.Run(false, blockStart, blockEnd);
  } catch (const Unsupported&) {
    emitter.Restore(before);
    ticker = tickerBefore;
    if (share && split->later) {
      share->laterReadsPageText.store(true, std::memory_order_release);
      split->recordedAll = reindenter.RecordedAll();
    }
    if (share && reindenter.GaveUp()) split->gaveUp = true;
    return FastPathResult::Unsupported;
  } catch (const Cancelled&) {
    return FastPathResult::Cancelled;
  }
  if (share && split->later) {
    share->EndRun(run, reindenter.UnmatchedCloses());
    share->laterReadsPageText.store(true, std::memory_order_release);  // page text again
    split->recordedAll = reindenter.RecordedAll();
  }
  if (share && !split->later) {
    split->joined = reindenter.Joined();
    split->gaveUp = reindenter.GaveUp();
    split->joinedAt = reindenter.JoinedAt();
    split->laterJoinedAt = reindenter.LaterJoinedAt();
    if (split->joined) return FastPathResult::Done;
  }
  *tagPos = reindenter.TagPos();
  return FastPathResult::Done;
}

CSplitRun::CSplitRun(TextPos from) : share_(std::make_unique<CSplitShare>(from)) {}

CSplitRun::~CSplitRun() {
  if (!thread_.Joinable()) return;
  share_->progress.stop.store(true, std::memory_order_relaxed);
  thread_.Join();
}

bool CSplitRun::Start(std::function<void(CSplitShare&)> later, bool concurrent) {
  if (!concurrent) {
    later(*share_);
    return true;
  }
  try {
    thread_ = CWorkerThread([this, later = std::move(later)] { later(*share_); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

TextPos SplitStart(const CSplitShare& share) {
  return share.firstPos;
}

void LaterPageStarts(CSplitShare& share) {
  share.laterReadsPageText.store(true, std::memory_order_release);
}

CLineArray& SplitOutput(CSplitShare& share) {
  return share.output;
}

CAnalyzerProgress& SplitProgress(CSplitShare& share) {
  return share.progress;
}

void FinishLaterPage(CSplitShare& share, FastPathResult result, bool pageTagSeen) {
  share.pageTagSeen = pageTagSeen;
  share.Finish(result);
}

bool LaterPageTagSeen(const CSplitShare& share) {
  return share.pageTagSeen;
}

}  // namespace vantorel
