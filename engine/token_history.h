#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "source_tokenizer.h"

namespace vantorel {

// The last two significant tokens of a script and what its parentheses so far were: enough to
// tell where a line break before "{" may be added or removed without changing the program.
// Gaps and ends of line are not significant; both re-indenter paths feed the same tokens.
class CTokenHistory {
 public:
  void Clear();
  // An operator token other than the gap between two words. Only "(" asks what came before.
  void NoteOperator(std::string_view text, std::ptrdiff_t line) {
    if (text.size() == 1 && text[0] == '(') return NoteOpenParen(text, line);
    if (text.size() == 1 && text[0] == ';') inClassHead_ = false;
    Push(TokenOperator, text, line, false);
  }
  // A word at `column` of its line; inLiteral(c) tells whether byte c of the line lies inside a
  // string, template or regular expression. Closing parentheses stand inside words; a caller
  // that knows the word holds none says so with mayHoldParen false.
  template <typename InLiteral>
  void NoteWord(std::string_view text, std::ptrdiff_t line, std::size_t column, InLiteral inLiteral,
                bool mayHoldParen = true) {
    for (std::size_t i = 0; mayHoldParen && i < text.size(); ++i) {
      if (text[i] == ')' && !inLiteral(column + i)) CloseParen();
    }
    const bool endsInLiteral = inLiteral(column + text.size() - 1);
    // A line that goes on with a string or template is no class head, whatever it spells.
    if (text == "class" && !endsInLiteral) inClassHead_ = true;
    Push(TokenWord, text, line, endsInLiteral);
  }
  // A word with `closes` ")" outside its literals, and whether it ends inside one: the same as
  // NoteWord, for a caller that has counted them.
  void NotePlainWord(std::string_view text, std::ptrdiff_t line, std::size_t closes,
                     bool endsInLiteral = false) {
    for (; closes > 0; --closes) CloseParen();
    if (text == "class" && !endsInLiteral) inClassHead_ = true;
    Push(TokenWord, text, line, endsInLiteral);
  }
  // Whether the last token ends inside a string, template or regular expression: a word that
  // does (a line that goes on with a literal) is no keyword, whatever it spells.
  bool LastEndsInLiteral() const { return Last().endsInLiteral; }
  // A "{" has opened a block: a class head is over.
  void BlockOpened() { inClassHead_ = false; }

  // With the "{" as the last token: whether it must stay on the line of the token before
  // (after return, throw, yield: a line break there would end the statement), and whether
  // joining it onto the line before keeps the program the same.
  bool BraceStaysOnLine() const;
  bool BraceMayJoin() const;
  // Whether joining the "{" removes a line break.
  bool BraceOnNewLine() const { return Before().line != Last().line; }

  // For a pass that began later in the same script, with no "(" open: whether `later` goes on
  // exactly as this history does. Everything must be equal except the open parentheses, of which
  // `later` may know only the innermost.
  bool Extends(const CTokenHistory& later) const;
  // Whether `closes` more ")" than `later` saw open would, here, close parentheses that open no
  // head: what `later` took them for.
  bool OuterParensOpenNoHead(const CTokenHistory& later, std::size_t closes) const;
  // For a pass that began later and met this history where its own was `later` (see Extends), and
  // went on to where its history is `laterEnd`: whether the ")" it took for closing parentheses
  // that open no head did (see OuterParensOpenNoHead). If so, this history's open parentheses
  // become those open at laterEnd; nothing else of it is kept up to date.
  bool ContinueWith(const CTokenHistory& later, const CTokenHistory& laterEnd);
  // How many ")" closed no "(" so far.
  std::size_t UnmatchedCloses() const { return unmatchedCloses_; }

 private:
  struct Token {
    int type = TokenNone;
    std::string_view text;
    std::ptrdiff_t line = -1;
    bool endsInLiteral = false;  // its last byte belongs to a string, template or regex
    // The same token of the same input: texts are compared by where they stand.
    bool operator==(const Token& other) const {
      return type == other.type && text.data() == other.text.data() &&
             text.size() == other.text.size() && line == other.line &&
             endsInLiteral == other.endsInLiteral;
    }
  };
  // The two tokens take turns in two slots: a new one overwrites the older, and nothing is
  // copied from slot to slot.
  // Field by field: building a whole token and copying it in cost more on the per-token path.
  void Push(int type, std::string_view text, std::ptrdiff_t line, bool endsInLiteral) {
    newest_ ^= 1;
    Token& slot = slots_[newest_];
    slot.type = type;
    slot.text = text;
    slot.line = line;
    slot.endsInLiteral = endsInLiteral;
  }
  const Token& Last() const { return slots_[newest_]; }
  const Token& Before() const { return slots_[newest_ ^ 1]; }
  void NoteOpenParen(std::string_view text, std::ptrdiff_t line);
  void CloseParen();

  Token slots_[2];
  unsigned newest_ = 0;
  std::vector<char> parenIsHead_;  // per open "(": whether it opens a statement or function head
  bool lastParenWasHead_ = false;
  bool inClassHead_ = false;
  std::size_t unmatchedCloses_ = 0;
};

}  // namespace vantorel
