#pragma once

#include <string_view>

namespace vantorel {

// What the re-indenter needs to know of JavaScript's words and comment markers.

inline constexpr std::string_view kJsLineComment = "//";
inline constexpr std::string_view kJsHtmlCommentOpen = "<!--";  // a line comment in scripts too
inline constexpr std::string_view kJsHtmlCommentClose = "-->";  // one, at the start of a line
inline constexpr std::string_view kJsCommentStart = "/*";
inline constexpr std::string_view kJsCommentEnd = "*/";

inline bool StartsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
  // The first byte nearly always decides, without a call (every segment start is asked).
  if (at < text.size() && !prefix.empty() && text[at] != prefix[0]) return false;
  return text.compare(at, prefix.size(), prefix) == 0;
}

inline bool IsIdentifierByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

// Whether every byte of a non-empty word can stand in an identifier.
bool IsIdentifier(std::string_view word);
// Words after which a "/" starts a regular expression rather than a division.
bool IsRegexKeyword(std::string_view word);
// Words after which a line break ends the statement: a "{" after them must stay on their line.
bool EndsStatementAtLineBreak(std::string_view word);
// Words whose "(" opens the head of a statement or function, which a block follows.
bool OpensHead(std::string_view word);
// Words after which a "{" on the next line opens their block: joining it keeps the program.
bool TakesBlockAfter(std::string_view word);

}  // namespace vantorel
