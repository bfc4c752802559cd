// The JavaScript re-indenter: cuts script text into segments at ";", "{", "}" and line ends and
// emits them indented by block depth.
#include <algorithm>
#include <string>

#include "comment_carrier.h"
#include "javascript_words.h"
#include "script_analyzer.h"

namespace vantorel {

void ConfigureForScript(CSourceTokenizer& tokenizer) {
  tokenizer.ClearOperators();
  tokenizer.ClearLineComments();
  tokenizer.ClearBlocks();
  for (std::string_view op : {"<", ">", "{", "}", ";", "/", "("}) tokenizer.AddOperator(op);
  tokenizer.AddLineComment(kJsLineComment);
  tokenizer.AddLineComment(kJsHtmlCommentOpen);
  tokenizer.AddBlock(kJsCommentStart, kJsCommentEnd);
  tokenizer.SetQuoteMode(3);
  tokenizer.SetSkipBlanks(true);
  tokenizer.SetSyntax(Syntax::JavaScript);
}

void CScriptAnalyzer::SetScriptLists() {
  ConfigureForScript(tokenizer_);
}

// Reads the next token of the script and keeps track of what came before it.
bool CScriptAnalyzer::Next() {
  if (!Advance()) return false;
  NoteToken();
  return true;
}

void CScriptAnalyzer::NoteToken() {
  const int type = tokenizer_.GetTokenType();
  const std::string_view text = tokenizer_.GetTokenText();
  if (type == TokenEndOfLine || (type == TokenOperator && text == " ")) return;
  if (type == TokenOperator) return history_.NoteOperator(text, tokenizer_.GetTokenLine());
  const std::ptrdiff_t line = tokenizer_.GetTokenLine();
  const std::vector<LiteralSpan>& literals = tokenizer_.Literals();
  history_.NoteWord(text, line, tokenizer_.GetTokenColumn(), [&](std::size_t at) {
    return std::any_of(literals.rbegin(), literals.rend(), [&](const LiteralSpan& l) {
      return l.line == line && l.begin <= at && at < l.end;
    });
  });
}

// The shape of a token's text that goes on a line of its own: whether it began its input line.
PieceShape CScriptAnalyzer::BeginsHere() const {
  PieceShape shape;
  shape.beginsLine = COutputEmitter::BeginsLine(*input_, TokenPos());
  return shape;
}

// An empty line inside a template literal is part of it: its end of line is never passed over.
bool CScriptAnalyzer::IsEmptyLineInLiteral() const {
  return tokenizer_.GetTokenType() == TokenEndOfLine && tokenizer_.GetTokenColumn() == 0 &&
         tokenizer_.LineStartsInLiteral();
}

// A segment starts at the current token.
void CScriptAnalyzer::StartSegment(TextPos* start) {
  *start = TokenPos();
  shape_.lines.clear();
  // "-->" that follows other text on its line is code; at the start of a line it would open a
  // comment, so it stays on the line before.
  std::string_view line = input_->GetAt(static_cast<std::size_t>(start->line));
  shape_.joinFirst = StartsWithAt(line, start->column, kJsHtmlCommentClose) &&
                     line.find_first_not_of(" \t") < start->column;
}

bool CScriptAnalyzer::SkipLineEnds(TextPos* start) {
  while (Next()) {
    if (tokenizer_.GetTokenType() != TokenEndOfLine || IsEmptyLineInLiteral()) {
      StartSegment(start);
      return true;
    }
  }
  return false;
}

bool CScriptAnalyzer::SkipLineEndsAndSemicolons(TextPos* start, int depth) {
  while (Next()) {
    if (TokenIs(TokenOperator, ";")) {
      // A ";" from a later line is not joined onto a line that holds a "/": what follows the
      // ";" on its line (a comment) could close a regular expression there on the next run.
      const bool apart = TokenPos().line != emitted_.line && emitter_->LastLineHoldsSlash();
      // Comments before the ";" go first, so that code never moves past a comment.
      CarryComments(TokenPos(), depth);
      if (apart || emitter_->LastLineEndsInComment())
        emitter_->EmitLine(";", depth, BeginsHere());
      else
        emitter_->AppendToLastLine(";");
      emitted_ = After(TokenPos());
      emittedInComment_ = false;
    } else if (tokenizer_.GetTokenType() != TokenEndOfLine || IsEmptyLineInLiteral()) {
      StartSegment(start);
      return true;
    }
  }
  return false;
}

// What the emitter must know of the current line; how it ends only when that is reached, since
// working it out reads the rest of the line.
LineShape CScriptAnalyzer::CurrentLineShape(bool toLineEnd) const {
  LineShape shape;
  shape.line = tokenizer_.GetLineIndex();
  shape.startsInLiteral = tokenizer_.LineStartsInLiteral();
  if (toLineEnd) {
    shape.lineComment = tokenizer_.LineCommentStart();
    shape.endsInLiteral = tokenizer_.LineEndsInLiteral();
  }
  return shape;
}

void CScriptAnalyzer::EmitSegment(TextPos start, TextPos end, int depth) {
  const std::ptrdiff_t lineCount = static_cast<std::ptrdiff_t>(input_->GetSize());
  std::size_t lineLength =
      end.line < lineCount ? input_->GetAt(static_cast<std::size_t>(end.line)).size() : 0;
  bool onCurrentLine = end.line == tokenizer_.GetLineIndex();
  bool toLineEnd = end.column >= lineLength && onCurrentLine;
  if (onCurrentLine) shape_.lines.push_back(CurrentLineShape(toLineEnd));

  // The literals of the segment, taken out of the tokenizer's list.
  std::vector<LiteralSpan>& literals = tokenizer_.Literals();
  auto used = std::find_if(literals.begin(), literals.end(), [&](const LiteralSpan& l) {
    return l.line > end.line || (l.line == end.line && l.begin >= end.column);
  });
  shape_.literals.assign(literals.begin(), used);
  literals.erase(literals.begin(), used);

  emitter_->EmitRange(*input_, start, end, depth, shape_);
  shape_.lines.clear();
  shape_.joinFirst = false;
  emitted_ = {end.line, std::min(end.column, lineLength)};
  emittedInComment_ = toLineEnd && tokenizer_.LineEndsInBlock();
}

void CScriptAnalyzer::EmitThroughToken(TextPos start, int depth) {
  EmitSegment(start, After(TokenPos()), depth);
}

void CScriptAnalyzer::HandleOpenBrace(TextPos start, int* depth) {
  if (history_.BraceStaysOnLine()) {
    EmitSegment(start, After(TokenPos()), *depth);
  } else {
    EmitSegment(start, TokenPos(), *depth);
    // Joined after a line comment, the brace would have to move before it, ahead of text that
    // stood before it: it keeps a line of its own instead.
    if (options_.bracketStyle == 1 &&
        (!history_.BraceMayJoin() || emitter_->LastLineEndsInComment() ||
         (history_.BraceOnNewLine() && emitter_->LastLineHoldsSlash()))) {
      emitter_->DropTrailingBlankLines();
      emitter_->EmitLine("{", *depth, BeginsHere());
    } else {
      emitter_->PlaceOpenBrace(*depth, COutputEmitter::BeginsLine(*input_, TokenPos()));
    }
  }
  *depth = emitter_->StepIn(*depth);
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
  history_.BlockOpened();
}

void CScriptAnalyzer::HandleCloseBrace(TextPos start, int* depth) {
  EmitSegment(start, TokenPos(), *depth);
  *depth = emitter_->StepOut(*depth);
  emitter_->PlaceCloseBrace(*depth, COutputEmitter::BeginsLine(*input_, TokenPos()));
  emitted_ = After(TokenPos());
  emittedInComment_ = false;
}

// Carries the comments between the end of the emitted text and `to`, where the next segment
// starts: a comment on the line of the code before it stays at the end of that code's line,
// every other comment line becomes a line at the current depth. Semicolons found here have
// already been joined to the output.
void CScriptAnalyzer::CarryComments(TextPos to, int depth, bool afterTag) {
  vantorel::CarryComments(*input_, *emitter_, emitted_, emittedInComment_, to, depth, afterTag,
                          commentText_);
}

// afterTag: the block's text is no more than what follows its opening tag on its line, which
// then stays exactly as it stands.
void CScriptAnalyzer::FinishScript(bool segmentPending, TextPos start, int depth, bool afterTag) {
  if (!IsCancelled()) {
    TextPos end = EndOfInput();
    if (segmentPending)
      EmitSegment(start, end, depth);
    else
      CarryComments(end, depth, afterTag);
    resume_ = end;
  }
  emitter_->GuardScriptEnd(false);
}

// The "</script" of a page's block has been read: emits what is pending, copies the tag and
// finds where page text resumes.
void CScriptAnalyzer::CloseScriptTag(TextPos start, TextPos tagPos, int depth) {
  EmitSegment(start, tagPos, depth);
  ResumeAfterScriptTag(tagPos);
}

// Copies the closing tag that starts at tagPos and finds where page text resumes.
void CScriptAnalyzer::ResumeAfterScriptTag(TextPos tagPos) {
  // The tag runs to its ">", over any attributes it may carry.
  TextPos tagEnd = FindTagEnd(After(tagPos));
  emitter_->CopyThrough(*input_, tagPos, tagEnd);
  emitter_->GuardScriptEnd(false);
  tokenizer_.Literals().clear();
  // What follows is page text again: it must not be read under the script's comment rules.
  // Only blanks and line ends before its first token are passed over.
  tokenizer_.ClearOperators();
  tokenizer_.ClearLineComments();
  tokenizer_.ClearBlocks();
  tokenizer_.SetQuoteMode(0);
  tokenizer_.SetSkipBlanks(true);
  tokenizer_.SetSyntax(Syntax::Generic);
  tokenizer_.SetStopAt(-1, 0);
  tokenizer_.ReadFrom(tagEnd.line, tagEnd.column);
  TextPos next;
  resume_ = SkipLineEnds(&next) ? next : IsCancelled() ? TokenPos() : EndOfInput();
}

void CScriptAnalyzer::ReindentScript(bool wholeFile, TextPos blockStart, TextPos blockEnd) {
  SetScriptLists();
  // Nothing of the script runs past the point where the page's browser ends its block.
  tokenizer_.SetStopAt(blockEnd.line, blockEnd.column);
  emitter_->GuardScriptEnd(!wholeFile);
  shape_.joinFirst = false;
  int depth = 0;
  int forAllowance = 0;
  bool advanced = false;
  TextPos start;
  shape_.lines.clear();
  tokenizer_.Literals().clear();
  emitted_ = blockStart;
  emittedInComment_ = false;
  history_.Clear();
  if (wholeFile) {
    tokenizer_.LoadLine();
  } else {
    // The scanner read the block's first line under its own lists: read it again under ours.
    tokenizer_.ReadFrom(blockStart.line, blockStart.column);
    if (!SkipLineEnds(&start)) return FinishScript(false, start, depth, true);
    CarryComments(start, depth, true);
    advanced = true;
  }

  for (;;) {
    if (!advanced && !Next()) return FinishScript(true, start, depth);
    advanced = false;
    const int type = tokenizer_.GetTokenType();
    const std::string_view text = tokenizer_.GetTokenText();
    if (type == TokenWord) {
      // A line that goes on with a string or template is no keyword (with a lone CR after it,
      // it would spell one once the CR is trimmed, and a second run would differ).
      if (history_.LastEndsInLiteral()) continue;
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

    if (!wholeFile && tokenizer_.GetTokenLine() == blockEnd.line &&
        tokenizer_.GetTokenColumn() == blockEnd.column)
      return CloseScriptTag(start, TokenPos(), depth);  // where the browser ends the block

    if (TokenIs(TokenOperator, "{")) {
      HandleOpenBrace(start, &depth);
      if (!(advanced = SkipLineEnds(&start))) return FinishScript(false, start, depth);
      CarryComments(start, depth);
      forAllowance = 0;
    } else if (TokenIs(TokenOperator, "}")) {
      HandleCloseBrace(start, &depth);
      if (!(advanced = SkipLineEndsAndSemicolons(&start, depth)))
        return FinishScript(false, start, depth);
      CarryComments(start, depth);
      forAllowance = 0;
    } else if (TokenIs(TokenOperator, ";")) {
      if (forAllowance > 0) {
        --forAllowance;
        continue;
      }
      EmitThroughToken(start, depth);
      if (!(advanced = SkipLineEndsAndSemicolons(&start, depth)))
        return FinishScript(false, start, depth);
      CarryComments(start, depth);
    }
  }
}

}  // namespace vantorel
