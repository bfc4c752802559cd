// The JavaScript re-indenter: cuts script text into segments at ";", "{", "}" and line ends and
// emits them indented by block depth.
#include <string>

#include "script_analyzer.h"

namespace vantorel {
namespace {

constexpr std::string_view kLineComment = "//";
constexpr std::string_view kCommentStart = "/*";
constexpr std::string_view kCommentEnd = "*/";
constexpr std::size_t npos = std::string_view::npos;

bool StartsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
  return text.compare(at, prefix.size(), prefix) == 0;
}

}  // namespace

void CScriptAnalyzer::SetScriptLists() {
  tokenizer_.ClearOperators();
  tokenizer_.ClearLineComments();
  tokenizer_.ClearBlocks();
  for (std::string_view op : {"<", ">", "{", "}", ";", "/", "("}) tokenizer_.AddOperator(op);
  tokenizer_.AddLineComment(kLineComment);
  tokenizer_.AddBlock(kCommentStart, kCommentEnd);
  tokenizer_.SetQuoteMode(3);
  tokenizer_.SetSkipBlanks(true);
}

bool CScriptAnalyzer::SkipLineEnds(TextPos* start) {
  while (Advance()) {
    if (tokenizer_.GetTokenType() != TokenEndOfLine) {
      *start = TokenPos();
      pendingComments_.clear();
      return true;
    }
  }
  return false;
}

bool CScriptAnalyzer::SkipLineEndsAndSemicolons(TextPos* start) {
  while (Advance()) {
    if (TokenIs(TokenOperator, ";")) {
      emitter_->AppendToLastLine(";");
    } else if (tokenizer_.GetTokenType() != TokenEndOfLine) {
      *start = TokenPos();
      pendingComments_.clear();
      return true;
    }
  }
  return false;
}

void CScriptAnalyzer::EmitSegment(TextPos start, TextPos end, int depth) {
  std::size_t lineLength = end.line < static_cast<std::ptrdiff_t>(input_->GetSize())
                               ? input_->GetAt(static_cast<std::size_t>(end.line)).size()
                               : 0;
  bool toLineEnd = end.column >= lineLength && end.line == tokenizer_.GetLineIndex();
  if (toLineEnd) {
    std::size_t comment = tokenizer_.LineCommentStart();
    if (comment != npos) pendingComments_.emplace_back(end.line, comment);
  }
  emitter_->EmitRange(*input_, start, end, depth, pendingComments_);
  pendingComments_.clear();
  emitted_ = {end.line, end.column < lineLength ? end.column : lineLength};
  emittedInComment_ = toLineEnd && tokenizer_.LineEndsInBlock();
}

void CScriptAnalyzer::EmitThroughToken(TextPos start, int depth) {
  EmitSegment(start, After(TokenPos()), depth);
}

void CScriptAnalyzer::HandleOpenBrace(TextPos start, int* depth) {
  EmitSegment(start, TokenPos(), *depth);
  emitter_->PlaceOpenBrace(*depth);
  *depth = emitter_->StepIn(*depth);
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
}

void CScriptAnalyzer::HandleCloseBrace(TextPos start, int* depth) {
  EmitSegment(start, TokenPos(), *depth);
  *depth = emitter_->StepOut(*depth);
  emitter_->PlaceCloseBrace(*depth);
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
}

// Carries the comments between the end of the emitted text and `to`, where the next segment
// starts: a comment on the line of the code before it stays at the end of that code's line,
// every other comment line becomes a line at the current depth. Semicolons found here have
// already been joined to the output.
void CScriptAnalyzer::CarryComments(TextPos to, int depth) {
  const TextPos from = emitted_;
  bool inComment = emittedInComment_;
  const std::ptrdiff_t lineCount = static_cast<std::ptrdiff_t>(input_->GetSize());
  std::string text;
  for (std::ptrdiff_t line = from.line; line <= to.line && line < lineCount; ++line) {
    std::string_view s = input_->GetAt(static_cast<std::size_t>(line));
    std::size_t p = line == from.line ? std::min(from.column, s.size()) : 0;
    std::size_t stop = line == to.line ? std::min(to.column, s.size()) : s.size();
    std::size_t lineCommentAt = npos;
    text.clear();
    while (p < stop) {
      std::size_t begin = p;
      if (inComment || StartsWithAt(s, p, kCommentStart)) {
        std::size_t close = s.find(kCommentEnd, inComment ? p : p + kCommentStart.size());
        inComment = close == npos || close + kCommentEnd.size() > stop;
        p = inComment ? stop : close + kCommentEnd.size();
      } else if (StartsWithAt(s, p, kLineComment)) {
        lineCommentAt = text.empty() ? 0 : text.size() + 1;
        p = stop;
      } else if (s[p] == ' ' || s[p] == '\t' || s[p] == ';') {
        ++p;
        continue;
      } else {
        // Nothing but comments should stand here; whatever does is kept all the same.
        while (p < stop && s[p] != ' ' && s[p] != '\t') ++p;
      }
      if (!text.empty()) text.push_back(' ');
      text.append(s.substr(begin, p - begin));
    }
    if (text.empty()) continue;
    if (line == from.line && from.column > 0)
      emitter_->AppendComment(text, lineCommentAt != npos, depth);
    else
      emitter_->EmitLine(text, depth, lineCommentAt);
  }
}

void CScriptAnalyzer::FinishScript(bool segmentPending, TextPos start, int depth) {
  if (IsCancelled()) return;
  TextPos end = EndOfInput();
  if (segmentPending)
    EmitSegment(start, end, depth);
  else
    CarryComments(end, depth);
  resume_ = end;
}

// The "</script" of a page's block has been read: emits what is pending, copies the tag and
// finds where page text resumes.
void CScriptAnalyzer::CloseScriptTag(TextPos start, TextPos tagPos, int depth) {
  bool more = Advance();  // normally the tag's ">"
  emitter_->EmitRange(*input_, start, tagPos, depth, pendingComments_);
  pendingComments_.clear();
  TextPos tagEnd = more ? After(TokenPos()) : EndOfInput();
  emitter_->CopyThrough(*input_, tagPos, tagEnd);
  // What follows is page text again: it must not be read under the script's comment rules.
  // Only blanks and line ends before its first token are passed over.
  tokenizer_.ClearOperators();
  tokenizer_.ClearLineComments();
  tokenizer_.ClearBlocks();
  tokenizer_.SetQuoteMode(0);
  tokenizer_.SetSkipBlanks(true);
  tokenizer_.ReadFrom(tagEnd.line, tagEnd.column);
  TextPos next;
  resume_ = SkipLineEnds(&next) ? next : IsCancelled() ? TokenPos() : EndOfInput();
}

// Remembers a line of the pending segment that ends in a line comment, when a token that did not
// end the segment was that line's end.
void CScriptAnalyzer::NoteSegmentLineEnd() {
  if (tokenizer_.GetTokenType() != TokenEndOfLine) return;
  std::size_t comment = tokenizer_.LineCommentStart();
  if (comment != npos) pendingComments_.emplace_back(tokenizer_.GetTokenLine(), comment);
}

void CScriptAnalyzer::ReindentScript(bool wholeFile, TextPos blockStart) {
  SetScriptLists();
  int depth = 0;
  int forAllowance = 0;
  bool advanced = false;
  TextPos start;
  pendingComments_.clear();
  emitted_ = blockStart;
  emittedInComment_ = false;
  if (wholeFile) {
    tokenizer_.LoadLine();
  } else {
    // The scanner read the block's first line under its own lists: read it again under ours.
    tokenizer_.ReadFrom(blockStart.line, blockStart.column);
    if (!SkipLineEnds(&start)) return FinishScript(false, start, depth);
    CarryComments(start, depth);
    advanced = true;
  }

  for (;;) {
    if (!advanced && !Advance()) return FinishScript(true, start, depth);
    advanced = false;
    const int type = tokenizer_.GetTokenType();
    const std::string_view text = tokenizer_.GetTokenText();
    if (type == TokenWord) {
      if (EqualsIgnoringCase(text, "function"))
        depth = 0;
      else if (EqualsIgnoringCase(text, "for"))
        forAllowance = 2;
      continue;
    }
    if (type == TokenEndOfLine) {
      EmitThroughToken(start, depth);
      if (!(advanced = SkipLineEnds(&start))) return FinishScript(false, start, depth);
      CarryComments(start, depth);
      continue;
    }
    if (type != TokenOperator) continue;

    if (!wholeFile && text == "<") {
      TextPos tagPos = TokenPos();
      if (!Advance()) return FinishScript(true, start, depth);
      NoteSegmentLineEnd();
      if (TokenIs(TokenOperator, "/")) {
        if (!Advance()) return FinishScript(true, start, depth);
        NoteSegmentLineEnd();
        if (tokenizer_.GetTokenType() == TokenWord &&
            EqualsIgnoringCase(tokenizer_.GetTokenText(), "script"))
          return CloseScriptTag(start, tagPos, depth);
      }
    }

    if (TokenIs(TokenOperator, "{")) {
      HandleOpenBrace(start, &depth);
      if (!(advanced = SkipLineEnds(&start))) return FinishScript(false, start, depth);
      CarryComments(start, depth);
      forAllowance = 0;
    } else if (TokenIs(TokenOperator, "}")) {
      HandleCloseBrace(start, &depth);
      if (!(advanced = SkipLineEndsAndSemicolons(&start)))
        return FinishScript(false, start, depth);
      CarryComments(start, depth);
      forAllowance = 0;
    } else if (TokenIs(TokenOperator, ";")) {
      if (forAllowance > 0) {
        --forAllowance;
        continue;
      }
      EmitThroughToken(start, depth);
      if (!(advanced = SkipLineEndsAndSemicolons(&start)))
        return FinishScript(false, start, depth);
      CarryComments(start, depth);
    }
  }
}

}  // namespace vantorel
