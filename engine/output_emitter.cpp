#include "output_emitter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantorel {
namespace {

constexpr std::size_t npos = std::string_view::npos;

std::string_view PieceOf(std::string_view line, std::size_t from, std::size_t to) {
  from = std::min(from, line.size());
  to = std::min(to, line.size());
  return from < to ? line.substr(from, to - from) : std::string_view();
}

// Calls emit(piece, lineIndex) for each input line that the range touches.
template <typename Emit>
void ForEachPiece(const CLineArray& input, TextPos start, TextPos end, Emit emit) {
  if (start.line > end.line) return;
  if (start.line == end.line) {
    if (start.column >= end.column) return;
    emit(PieceOf(input.GetAt(start.line), start.column, end.column), start.line, start.column);
    return;
  }
  emit(PieceOf(input.GetAt(start.line), start.column, npos), start.line, start.column);
  for (std::ptrdiff_t i = start.line + 1; i < end.line; ++i) emit(input.GetAt(i), i, 0);
  emit(PieceOf(input.GetAt(end.line), 0, end.column), end.line, 0);
}

}  // namespace

void COutputEmitter::EmitRange(const CLineArray& input, TextPos start, TextPos end, int depth,
                               const RangeShape& shape) {
  PieceShape& piece = piece_;
  ForEachPiece(
      input, start, end, [&](std::string_view text, std::ptrdiff_t line, std::size_t from) {
        piece.commentAt = npos;
        piece.keepStart = piece.keepEnd = false;
        piece.beginsLine = line != start.line || BeginsLine(input, start);
        piece.literals.clear();
        std::size_t to = from + text.size();
        for (const LineShape& known : shape.lines) {
          if (known.line != line) continue;
          if (known.lineComment >= from && known.lineComment < to)
            piece.commentAt = known.lineComment - from;
          piece.keepStart = known.startsInLiteral && from == 0;
          piece.keepEnd =
              known.endsInLiteral && to >= input.GetAt(static_cast<std::size_t>(line)).size();
        }
        for (const LiteralSpan& literal : shape.literals) {
          if (literal.line != line || literal.end <= from || literal.begin >= to) continue;
          piece.literals.emplace_back(std::max(literal.begin, from) - from,
                                      std::min(literal.end, to) - from);
        }
        EmitLine(text, depth, piece);
        if (shape.joinFirst && line == start.line && output_.GetSize() > 1)
          JoinLastLineToPrevious(' ');
      });
}

void COutputEmitter::JoinLastLineToPrevious(char separator) {
  std::string_view last = output_.GetLast();
  std::size_t indent = 0;
  while (indent < last.size() && IsBlankChar(last[indent])) ++indent;
  std::string moved(last.substr(indent));
  bool hadComment = LastLineHasComment();
  std::size_t comment = hadComment ? commentColumn_ - indent : 0;
  output_.RemoveLast();
  if (moved.empty()) return;
  std::string_view previous = output_.GetLast();
  std::size_t end = previous.size();
  end = TrimmedEnd(previous, 0, end);
  output_.TruncateLast(end);
  output_.AppendToLast(std::string(1, separator));
  if (hadComment) {
    commentLine_ = output_.GetSize() - 1;
    commentColumn_ = output_.GetLast().size() + comment;
  }
  output_.AppendToLast(moved);
}

void COutputEmitter::CopyThrough(const CLineArray& input, TextPos start, TextPos end) {
  bool first = true;
  ForEachPiece(input, start, end, [&](std::string_view piece, std::ptrdiff_t, std::size_t) {
    // Only the first piece can join: the later ones had a line end before them in the input.
    if (first && ContinueLastLine(BeginsLine(input, start)))
      output_.AppendToLast(piece);
    else
      output_.Add(piece);
    first = false;
  });
}

// Whether a line break came before `at` in the input: only white space stands before it on its
// input line (a form feed is trimmed like a blank), or the white space just before it holds a
// lone CR, which a browser reads as a line end and the emitter drops at a line's end.
bool COutputEmitter::BeginsLine(const CLineArray& input, TextPos at) {
  std::string_view line = input.GetAt(static_cast<std::size_t>(at.line));
  std::size_t i = std::min(at.column, line.size());
  for (; i > 0 && IsWhiteSpace(line[i - 1]); --i)
    if (line[i - 1] == '\r') return true;
  return i == 0;
}

// In a page's script block, a line must not end in "<script" or "</script" where the input went
// on: with the line end after it, a browser would read a tag that was not in the input.
bool COutputEmitter::ContinueLastLine(bool beginsLine) const {
  if (!guardScriptEnd_ || beginsLine || output_.IsEmpty()) return false;
  return EndsInScriptTagName(output_.GetLast());
}

// Whether text ends in "<script" or "</script", in any letter case.
bool COutputEmitter::EndsInScriptTagName(std::string_view text) {
  if (text.empty() || (text.back() != 't' && text.back() != 'T')) return false;  // most lines
  for (std::string_view name : {std::string_view("</script"), std::string_view("<script")}) {
    if (text.size() < name.size()) continue;
    std::string_view tail = text.substr(text.size() - name.size());
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      char c = tail[i];
      same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == name[i];
    }
    if (same) return true;
  }
  return false;
}

namespace {

// Writes n copies of c, sixteen at a time, and up to 15 more past them: indentation is short,
// and a call or a loop per byte costs more than the bytes.
char* Fill(char* out, char c, std::size_t n) {
  const std::uint64_t eight = 0x0101010101010101ULL * static_cast<unsigned char>(c);
  for (std::size_t k = 0; k < n; k += 16) {
    std::memcpy(out + k, &eight, 8);
    std::memcpy(out + k + 8, &eight, 8);
  }
  return out + n;
}

// Copies n bytes, 1 to 16, in two moves that may overlap rather than one per byte.
void CopyShort(char* to, const char* from, std::size_t n) {
  if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

// Copies text[from, to), a run of blanks reduced to its first character. Up to 15 bytes past
// what it copies may be written at `out`.
char* CopyCollapsed(char* out, const char* text, std::size_t from, std::size_t to) {
#if defined(__SSE2__)
  // Sixteen bytes at a time, bit i of a mask standing for byte i: all of them go when none starts
  // a run (a blank followed by one, or a blank in the last byte, whose run may go on), else those
  // up to the first such blank, whose run is then passed over.
  auto blanksOf = [](__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))));
  };
  while (from + 16 <= to) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    const unsigned blanks = blanksOf(bytes);
    const unsigned starts = blanks & ((blanks >> 1) | 0x8000u);
    if (starts == 0) {
      out += 16;
      from += 16;
      continue;
    }
    const auto kept = static_cast<std::size_t>(__builtin_ctz(starts)) + 1;
    out += kept;
    from += kept;
    while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
  }
  if (from == to) return out;
  // The last bytes, fewer than sixteen, as one block of their own: most lines end with no run
  // of blanks in them, and then with no further test.
  char last[32] = {};
  const std::size_t size = to - from;
  CopyShort(last, text + from, size);
  for (std::size_t at = 0;;) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(last + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    const unsigned blanks = blanksOf(bytes) & ((1u << (size - at)) - 1);
    const unsigned starts = blanks & (blanks >> 1);
    if (starts == 0) return out + (size - at);
    const auto kept = static_cast<std::size_t>(__builtin_ctz(starts)) + 1;
    out += kept;
    at += kept;
    while (at < size && (last[at] == ' ' || last[at] == '\t')) ++at;
    if (at == size) return out;
  }
#else
  while (from < to) {
    const char c = text[from++];
    *out++ = c;
    if (c == ' ' || c == '\t') {
      while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
    }
  }
  return out;
#endif
}

}  // namespace

// Where text[begin, end) ends without its trailing white space. In a page's block, after
// "<script" or "</script" the byte that followed decides how a browser reads the name (a blank
// makes it a tag, a vertical tab does not): that byte stays, but for a CR, which the line end
// stands for.
std::size_t COutputEmitter::TrimmedEndOfBlanks(std::string_view text, std::size_t begin,
                                               std::size_t end) const {
  const std::size_t full = end;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  if (guardScriptEnd_ && end < full && text[end] != '\r' &&
      EndsInScriptTagName(text.substr(begin, end - begin)))
    ++end;
  return end;
}

void COutputEmitter::EmitLine(std::string_view text, int depth, const PieceShape& shape) {
  // The line is written in place at the end of the output, which may move as it grows: text
  // from the output itself is copied aside first.
  if (output_.HoldsText(text.data())) return EmitLine(std::string(text), depth, shape);
  const char* t = text.data();
  std::size_t begin = 0;
  std::size_t end = text.size();
  if (!shape.keepStart)
    while (begin < end && IsWhiteSpace(t[begin])) ++begin;
  if (!shape.keepEnd) end = TrimmedEnd(text, begin, end);
  // Blanks inside a literal are its data, at the end of the text too ("\ " is no "\"); but a
  // CR there would merge with the line end when written with LF line ends.
  const auto& literals = shape.literals;
  if (!literals.empty()) end = std::max(end, std::min(literals.back().second, text.size()));
  while (end > begin && t[end - 1] == '\r') --end;
  if (ContinueLastLine(shape.beginsLine)) {
    depth = 0;  // the text goes on where the last line stops
  } else {
    output_.AddEmpty();
  }
  // A line that is part of a literal is data, however blank it looks.
  if (shape.keepStart || shape.keepEnd) keptLine_ = output_.GetSize() - 1;
  const std::size_t indent = depth > 0 && !shape.keepStart ? IndentWidth(depth) : 0;
  // Only a comment's column needs it.
  const std::size_t base = shape.commentAt != npos ? output_.GetLast().size() : 0;
  // Collapsing blanks only ever shortens the text; Fill and CopyCollapsed may write 15 bytes past
  // what they copy.
  char* const lineStart = output_.ExtendLast(indent + (end - begin) + 15);
  char* out = Fill(lineStart, options_.insertMode == 1 ? '\t' : ' ', indent);
  auto noteComment = [&](std::size_t at) {
    commentLine_ = output_.GetSize() - 1;
    commentColumn_ = base + static_cast<std::size_t>(out - lineStart) + (shape.commentAt - at);
  };
  std::size_t i = begin;
  std::size_t k = 0;  // next literal
  if (literals.empty() && (shape.commentAt < begin || shape.commentAt >= end)) {
    // Most lines: no literal, no comment.
    out = CopyCollapsed(out, t, begin, end);
    i = end;
  }
  while (i < end) {
    while (k < literals.size() && literals[k].second <= i) ++k;
    if (k < literals.size() && literals[k].first <= i) {
      std::size_t stop = std::min(literals[k].second, end);
      if (shape.commentAt >= i && shape.commentAt < stop) noteComment(i);
      std::memcpy(out, t + i, stop - i);  // a literal's blanks are data
      out += stop - i;
      i = stop;
      continue;
    }
    std::size_t stop = k < literals.size() ? std::min(literals[k].first, end) : end;
    if (shape.commentAt >= i && shape.commentAt < stop) {
      out = CopyCollapsed(out, t, i, shape.commentAt);
      noteComment(shape.commentAt);
      i = shape.commentAt;
    }
    out = CopyCollapsed(out, t, i, stop);
    i = stop;
  }
  output_.EndLastAt(out);
}

void COutputEmitter::EmitPlainLine(std::string_view text, int depth) {
  if (!TryEmitPlainLine(text, depth)) EmitLine(text, depth);
}

bool COutputEmitter::TryEmitPlainLine(std::string_view text, int depth) {
  if (output_.HoldsText(text.data())) return false;
  const char* t = text.data();
  std::size_t end = text.size();
  while (end > 0 && IsWhiteSpace(t[end - 1])) --end;
  auto endsInT = [](std::string_view s, std::size_t size) {
    return size > 0 && (s[size - 1] == 't' || s[size - 1] == 'T');
  };
  if (guardScriptEnd_) {
    if (endsInT(text, end)) return false;
    if (!output_.IsEmpty()) {
      const std::string_view last = output_.GetLast();
      if (endsInT(last, last.size())) return false;
    }
  }
  std::size_t begin = 0;
  while (begin < end && IsWhiteSpace(t[begin])) ++begin;
  output_.AddEmpty();
  const std::size_t indent = IndentWidth(depth);
  char* const lineStart = output_.ExtendLast(indent + (end - begin) + 15);
  char* out = Fill(lineStart, options_.insertMode == 1 ? '\t' : ' ', indent);
  output_.EndLastAt(CopyCollapsed(out, t, begin, end));
  return true;
}

std::string COutputEmitter::CollapseBlanks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    result.push_back(text[i]);
    if (IsBlankChar(text[i])) {
      while (i + 1 < text.size() && IsBlankChar(text[i + 1])) ++i;
    }
  }
  return result;
}

std::string COutputEmitter::IndentLine(std::string_view text, int depth) const {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  std::string result;
  if (depth > 0) result.assign(IndentWidth(depth), options_.insertMode == 1 ? '\t' : ' ');
  result.append(text.substr(begin, end - begin));
  return result;
}

void COutputEmitter::AppendToLastLine(std::string_view text) {
  if (output_.IsEmpty()) {
    output_.Add(text);
    return;
  }
  std::string_view last = output_.GetLast();
  std::size_t end = last.size();
  if (LastLineHasComment()) {
    // "x // note" joined with "{" becomes "x{ // note": code must never end up in a comment.
    std::size_t codeEnd = commentColumn_;
    codeEnd = TrimmedEnd(last, 0, codeEnd);
    std::string line;
    line.append(last.substr(0, codeEnd)).append(text).append(" ");
    std::size_t newColumn = line.size();
    line.append(last.substr(commentColumn_));
    output_.TruncateLast(0);
    output_.AppendToLast(line);
    commentColumn_ = newColumn;
    return;
  }
  output_.TruncateLast(TrimmedEnd(last, 0, end));
  output_.AppendToLast(text);
}

void COutputEmitter::AppendComment(std::string_view text, std::size_t lineCommentAt, int depth,
                                   bool verbatim, std::string_view separator) {
  if (output_.IsEmpty() || LastLineHasComment()) {
    PieceShape shape;
    shape.commentAt = lineCommentAt;
    EmitLine(text, depth, shape);
    return;
  }
  std::string_view last = output_.GetLast();
  std::size_t end = last.size();
  if (!verbatim) {
    end = TrimmedEnd(last, 0, end);
    output_.TruncateLast(end);
    if (end > 0) output_.AppendToLast(separator);
  }
  std::string added = verbatim ? std::string(text) : CollapseBlanks(text);
  if (lineCommentAt != npos) {
    commentLine_ = output_.GetSize() - 1;
    commentColumn_ =
        output_.GetLast().size() +
        (verbatim ? lineCommentAt : CollapseBlanks(text.substr(0, lineCommentAt)).size());
  }
  output_.AppendToLast(added);
}

void COutputEmitter::DropTrailingBlankLines() {
  while (!output_.IsEmpty() && keptLine_ + 1 != output_.GetSize()) {
    std::string_view last = output_.GetLast();
    // Most lines end in text: then the indentation before it need not be read.
    if (!last.empty() && !IsWhiteSpace(last.back())) break;
    if (!std::all_of(last.begin(), last.end(), IsWhiteSpace)) break;
    output_.RemoveLast();
  }
}

void COutputEmitter::PlaceOpenBrace(int depth, bool beginsLine) {
  DropTrailingBlankLines();
  // Appended to a tag name that a line break followed, the brace would hide the tag from a browser.
  const bool apart =
      beginsLine && guardScriptEnd_ && !output_.IsEmpty() && EndsInScriptTagName(output_.GetLast());
  if (options_.bracketStyle == 1 && !apart)
    AppendToLastLine("{");
  else
    EmitBraceLine('{', depth, beginsLine);
}

void COutputEmitter::PlaceCloseBrace(int depth, bool beginsLine) {
  DropTrailingBlankLines();
  EmitBraceLine('}', depth, beginsLine);
}

// What EmitLine does with a text of one brace, which has nothing to trim or collapse.
void COutputEmitter::EmitBraceLine(char brace, int depth, bool beginsLine) {
  if (ContinueLastLine(beginsLine))
    depth = 0;
  else
    output_.AddEmpty();
  const std::size_t indent = IndentWidth(depth);
  char* out = Fill(output_.ExtendLast(indent + 16), options_.insertMode == 1 ? '\t' : ' ', indent);
  *out++ = brace;
  output_.EndLastAt(out);
}

COutputEmitter::Snapshot COutputEmitter::TakeSnapshot() const {
  Snapshot snapshot;
  std::size_t first = output_.GetSize();
  while (first > 0) {
    std::string_view line = output_.GetAt(first - 1);
    --first;
    if (!std::all_of(line.begin(), line.end(), IsWhiteSpace)) break;
  }
  snapshot.firstKept = first;
  for (std::size_t i = first; i < output_.GetSize(); ++i)
    snapshot.tail.emplace_back(output_.GetAt(i));
  snapshot.commentLine = commentLine_;
  snapshot.commentColumn = commentColumn_;
  snapshot.keptLine = keptLine_;
  snapshot.guardScriptEnd = guardScriptEnd_;
  return snapshot;
}

void COutputEmitter::Restore(const Snapshot& snapshot) {
  output_.TruncateLines(snapshot.firstKept);
  for (const std::string& line : snapshot.tail) output_.Add(line);
  commentLine_ = snapshot.commentLine;
  commentColumn_ = snapshot.commentColumn;
  keptLine_ = snapshot.keptLine;
  guardScriptEnd_ = snapshot.guardScriptEnd;
}

bool COutputEmitter::SameTail(const Snapshot& a, const Snapshot& b) {
  // A remembered line before the tail can never be the last line again: it counts as none.
  auto inTail = [](std::size_t line, const Snapshot& s) {
    return line != kNone && line >= s.firstKept ? line - s.firstKept : kNone;
  };
  const std::size_t comment = inTail(a.commentLine, a);
  return a.tail == b.tail && a.guardScriptEnd == b.guardScriptEnd &&
         comment == inTail(b.commentLine, b) &&
         (comment == kNone || a.commentColumn == b.commentColumn) &&
         inTail(a.keptLine, a) == inTail(b.keptLine, b);
}

bool COutputEmitter::LastLineHoldsSlash() const {
  if (output_.IsEmpty()) return false;
  std::string_view line = output_.GetLast();
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\'' || c == '"' || c == '`') {
      for (++i; i < line.size() && line[i] != c; ++i) {
        if (line[i] == '\\') ++i;
      }
      // A quote that closes nowhere on the line means the line began inside a literal begun on
      // an earlier line: which of its bytes are data is not known, so any "/" counts.
      if (i >= line.size()) return line.find('/') != std::string_view::npos;
    } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
      std::size_t close = line.find("*/", i + 2);
      if (close == std::string_view::npos) return true;
      i = close + 1;
    } else if (c == '/') {
      return true;
    }
  }
  return false;
}

int COutputEmitter::StepIn(int depth) const {
  return options_.insertMode == 1 ? depth + 1 : depth + options_.indentCount;
}

int COutputEmitter::StepOut(int depth) const {
  return options_.insertMode == 1 ? depth - 1 : depth - options_.indentCount;
}

}  // namespace vantorel
