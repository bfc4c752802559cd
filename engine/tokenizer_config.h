#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

enum CharClass : std::uint8_t { ClassWord = 0, ClassOperator = 1, ClassSkip = 2 };
enum BlockState { BlockNone = 0, BlockDelimited = 1, BlockString = 2 };

// How literals are read. Generic: a string ends at the next quote of its kind that follows no
// backslash, and always with its line. JavaScript: strings honour escapes and continue onto the
// next line after a final backslash; template literals (with their substitutions) and regular
// expressions are literals too; "-->" at the start of a line opens a line comment.
enum class Syntax { Generic, JavaScript };

// What the tokenizer recognises: operators, line-comment openers, delimited blocks, the quotes
// that open strings and whether blanks separate tokens. Lists keep insertion order; list matching
// ignores ASCII letter case and the first matching entry wins, not the longest.
struct TokenizerConfig {
  std::vector<std::string> operators;
  std::vector<std::string> lineComments;
  std::vector<std::string> blockStarts;
  std::vector<std::string> blockEnds;  // entry k closes the block opened by blockStarts[k]
  int quoteMode = 3;  // 1 single quote, 2 double quote, 3 both, anything else none
  bool skipBlanks = true;
  Syntax syntax = Syntax::Generic;

  bool SameAs(const TokenizerConfig& other) const {
    return quoteMode == other.quoteMode && skipBlanks == other.skipBlanks &&
           syntax == other.syntax &&
           operators == other.operators && lineComments == other.lineComments &&
           blockStarts == other.blockStarts && blockEnds == other.blockEnds;
  }
};

// Length and index of the first entry of `list` that stands at `at` in `text`, ignoring ASCII
// letter case; {0, 0} without a match.
struct ListMatch {
  std::size_t length = 0;
  std::size_t index = 0;
};

// A configuration prepared for classifying bytes quickly.
class CCompiledConfig {
 public:
  explicit CCompiledConfig(const TokenizerConfig& config);

  enum : std::uint8_t {
    kQuote = 1,
    kBlank = 2,
    kLineComment = 4,
    kBlockStart = 8,
    kOperator = 16,
    kLiteralStart = 32,  // a backquote or a slash, in JavaScript
  };

  const TokenizerConfig& Config() const { return config_; }
  // Which roles byte c may play; 0 means c can only be a word character.
  std::uint8_t Roles(unsigned char c) const { return roles_[c]; }
  bool IsQuote(unsigned char c) const { return roles_[c] & kQuote; }
  bool IsBlank(unsigned char c) const { return roles_[c] & kBlank; }
  std::size_t MaxOperatorLength() const { return maxOperatorLength_; }
  bool IsOperator(std::string_view text) const;
  enum List { kLineComments = 0, kBlockStarts = 1, kOperators = 2 };
  // MatchList on one of the lists, trying only the entries that can start with the byte at `at`.
  ListMatch Match(List list, std::string_view text, std::size_t at) const;
  bool IsJavaScript() const { return config_.syntax == Syntax::JavaScript; }

 private:
  TokenizerConfig config_;
  std::array<std::uint8_t, 256> roles_{};
  // Per list and first byte, the entries that may match there, in list order. Entries after an
  // empty one never win, since the empty entry matches first (with length 0).
  std::array<std::array<std::vector<std::uint16_t>, 256>, 3> candidates_;
  std::size_t maxOperatorLength_ = 0;
};

ListMatch MatchList(const std::vector<std::string>& list, std::string_view text, std::size_t at);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Whether the closing tag of element `name` starts at `at`: "</" and the name in any letter
// case, followed by a blank, "/" or ">" (or the end of the line).
bool IsEndTag(std::string_view text, std::size_t at, std::string_view name);
// Whether a start tag of element `name` begins at `at`, likewise.
bool IsStartTag(std::string_view text, std::size_t at, std::string_view name);

}  // namespace vantorel
