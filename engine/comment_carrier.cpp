#include "comment_carrier.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "javascript_words.h"

namespace vantorel {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The white space between two kept pieces as code keeps it: each blank run reduced to its first
// character; a ";" there is written on its own.
std::string CollapsedGap(std::string_view gap) {
  std::string joint(gap);
  joint.erase(std::remove(joint.begin(), joint.end(), ';'), joint.end());
  return COutputEmitter::CollapseBlanks(joint);
}

}  // namespace

void CarryComments(const CLineArray& input, COutputEmitter& emitter, TextPos from, bool inComment,
                   TextPos to, int depth, bool afterTag, std::string& text) {
  if (from.line > to.line || (from.line == to.line && from.column >= to.column)) return;
  const std::ptrdiff_t lineCount = static_cast<std::ptrdiff_t>(input.GetSize());
  TextPos inputEnd;
  if (!input.IsEmpty()) inputEnd = {lineCount - 1, input.GetAt(input.GetSize() - 1).size()};
  // A comment that runs to the end of the input keeps its last line; one that a script's closing
  // tag cuts off does not gain one.
  const bool toEnd = to.line == inputEnd.line && to.column == inputEnd.column;
  for (std::ptrdiff_t line = from.line; line <= to.line && line < lineCount; ++line) {
    std::string_view s = input.GetAt(static_cast<std::size_t>(line));
    std::size_t p = line == from.line ? std::min(from.column, s.size()) : 0;
    std::size_t stop = line == to.line ? std::min(to.column, s.size()) : s.size();
    const std::size_t lineFrom = p;
    const bool lineStart = p == 0;
    bool closeMayComment = lineStart;  // nothing but blanks and a continued comment before
    const bool insideComment = inComment && line > from.line;  // a further line of a comment
    std::size_t lineCommentAt = npos;                          // in text
    std::size_t lineCommentColumn = npos;                      // in the input line
    std::size_t firstPiece = npos;  // where the first piece kept begins in the input line
    std::size_t pieceEnd = npos;  // where the last piece kept ends in the input line
    text.clear();
    while (p < stop) {
      std::size_t begin = p;
      const char c = s[p];
      if (!inComment && (c == ' ' || c == ';' || (c >= '\t' && c <= '\r'))) {
        ++p;
        continue;
      }
      // Pieces are joined by what stood between them, blank runs collapsed as in code: the
      // same comments come out alike whether a later run carries them or keeps them in code.
      if (!text.empty() && begin > pieceEnd) {
        const std::string joint = CollapsedGap(s.substr(pieceEnd, begin - pieceEnd));
        text.append(joint.empty() ? std::string(" ") : joint);  // pieces stay apart
      }
      if (inComment || StartsWithAt(s, p, kJsCommentStart)) {
        // "-->" may still open a comment after the end of one that began on an earlier line.
        if (!inComment) closeMayComment = false;
        std::size_t close = s.find(kJsCommentEnd, inComment ? p : p + kJsCommentStart.size());
        inComment = close == npos || close + kJsCommentEnd.size() > stop;
        p = inComment ? stop : close + kJsCommentEnd.size();
      } else if (StartsWithAt(s, p, kJsLineComment) || StartsWithAt(s, p, kJsHtmlCommentOpen) ||
                 (closeMayComment && StartsWithAt(s, p, kJsHtmlCommentClose))) {
        lineCommentAt = text.size();
        lineCommentColumn = p;
        p = stop;
      } else {
        // Nothing but comments should stand here; whatever does is kept all the same.
        closeMayComment = false;
        while (p < stop && s[p] != ' ' && !(s[p] >= '\t' && s[p] <= '\r')) ++p;
      }
      if (text.empty()) firstPiece = begin;
      text.append(s.substr(begin, p - begin));
      pieceEnd = p;
    }
    text.resize(emitter.TrimmedEnd(text, 0, text.size()));
    if (text.empty()) {
      // A blank line inside a block comment is part of it.
      if (insideComment && (line < to.line || toEnd)) {
        PieceShape blank;
        blank.beginsLine = true;
        emitter.EmitLine("", 0, blank);
      }
      continue;
    }
    if (line == from.line && afterTag) {
      // What follows the opening tag on its line stays exactly as it stands.
      std::size_t end = stop;
      while (end > from.column && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
      std::string_view raw = s.substr(from.column, end - from.column);
      std::size_t rawComment = lineCommentColumn == npos ? npos : lineCommentColumn - from.column;
      emitter.AppendComment(raw, rawComment, depth, true);
    } else if (line == from.line && from.column > 0) {
      // What stood between the code and the first comment.
      const std::string separator = CollapsedGap(s.substr(lineFrom, firstPiece - lineFrom));
      emitter.AppendComment(text, lineCommentAt, depth, false, separator);
    } else {
      PieceShape shape;
      shape.commentAt = lineCommentAt;
      shape.beginsLine = true;  // a comment line of its own, or a later line of a comment
      emitter.EmitLine(text, depth, shape);
    }
  }
}

}  // namespace vantorel
