#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "line_array.h"
#include "line_classifier.h"
#include "tokenizer_config.h"

namespace vantorel {

enum TokenType { TokenWord = 0, TokenOperator = 1, TokenEndOfLine = 3, TokenNone = 4 };

// Walks a line array line by line and hands out tokens: runs of word characters, operators from a
// configurable list, a one-blank gap token between two words, and one end-of-line token per line.
// Every token carries the line and byte column where it starts.
//
// The owner may change what is recognised between two tokens and then calls LoadLine: the rest of
// the current line, from the reading position on, is classified under the new configuration.
// Text already read is never classified again, so reconfiguring costs nothing per byte and
// page text before a script tag is never read as script.
class CSourceTokenizer {
 public:
  CSourceTokenizer();

  // Binds the array and restarts reading at its first line; false (and nothing changed) without
  // an array. The configuration and the last token's position are kept.
  bool Attach(const CLineArray* lines);
  // Reads the next token; false at the end of the input or when no array is attached.
  bool NextToken();
  // Classifies the rest of the current line under the current configuration.
  void LoadLine();
  // Goes on reading at (line, column) under the current configuration, outside any string or
  // block: the next token is the one that starts there.
  void ReadFrom(std::ptrdiff_t line, std::size_t column);

  std::string_view GetTokenText() const { return tokenText_; }
  int GetTokenType() const { return tokenType_; }
  std::ptrdiff_t GetTokenLine() const { return tokenLine_; }
  std::size_t GetTokenColumn() const { return tokenColumn_; }
  std::ptrdiff_t GetLineIndex() const { return lineIndex_; }

  // Whether the current line, as classified, ends inside a delimited block, and where a line
  // comment that runs to its end starts (npos for none).
  bool LineEndsInBlock() const;
  std::size_t LineCommentStart() const;
  // Whether the current line begins, or ends, inside a literal that spans lines (a continued
  // string or a template literal).
  bool LineStartsInLiteral() const { return classifier_.LineStartState().InLiteral(); }
  bool LineEndsInLiteral() const { return classifier_.EndState().InLiteral(); }
  // The literals classified so far, in order; the owner removes those it has used.
  std::vector<LiteralSpan>& Literals() { return literals_; }

  void AddOperator(std::string_view op);
  void ClearOperators();
  void AddLineComment(std::string_view opener);
  void ClearLineComments();
  void AddBlock(std::string_view start, std::string_view end);
  void ClearBlocks();
  void SetQuoteMode(int mode);
  void SetSkipBlanks(bool skip);
  void SetSyntax(Syntax syntax);
  // Where a page's script block ends: no literal or comment runs past that position. A line of
  // -1 sets none.
  void SetStopAt(std::ptrdiff_t line, std::size_t column);

 private:
  enum Phase { PhaseWord = 0, PhaseOperator = 1, PhaseAfterOperator = 2 };

  const CCompiledConfig* ActiveConfig();
  void StartClassifier(std::size_t from, ClassifierState state);
  void LoadNewLine(ClassifierState state);
  std::size_t SkipClass(std::size_t p, CharClass cls);
  void ReadOperator();
  std::size_t LineCount() const { return lines_ ? lines_->GetSize() : 0; }
  bool PastEnd() const { return lineIndex_ >= static_cast<std::ptrdiff_t>(LineCount()); }

  const CLineArray* lines_ = nullptr;
  TokenizerConfig pending_;  // edited by the owner, taken over by LoadLine
  bool pendingChanged_ = true;
  // Every distinct configuration seen; the owners switch between a handful of them.
  std::vector<std::unique_ptr<CCompiledConfig>> configs_;
  const CCompiledConfig* active_ = nullptr;
  CLineClassifier classifier_;
  std::vector<LiteralSpan> literals_;
  std::ptrdiff_t stopLine_ = -1;
  std::size_t stopColumn_ = 0;

  std::string_view lineText_;
  std::string_view tokenText_;
  int tokenType_ = TokenNone;
  int phase_ = PhaseWord;
  std::size_t pos_ = 0;
  std::ptrdiff_t lineIndex_ = -1;
  std::ptrdiff_t tokenLine_ = 0;
  std::size_t tokenColumn_ = 0;
};

}  // namespace vantorel
