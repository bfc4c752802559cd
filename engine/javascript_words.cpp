#include "javascript_words.h"

#include <algorithm>
#include <initializer_list>

namespace vantorel {
namespace {

bool OneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

}  // namespace

bool IsIdentifier(std::string_view word) {
  if (word.empty()) return false;
  for (char c : word) {
    if (!IsIdentifierByte(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool IsRegexKeyword(std::string_view word) {
  // Asked after nearly every word: the length picks the few keywords worth comparing.
  switch (word.size()) {
    case 2:
      return word == "do" || word == "in" || word == "of";
    case 3:
      return word == "new";
    case 4:
      return word == "case" || word == "else" || word == "void";
    case 5:
      return word == "throw" || word == "yield" || word == "await";
    case 6:
      return word == "return" || word == "typeof" || word == "delete";
    case 10:
      return word == "instanceof";
    default:
      return false;
  }
}

bool EndsStatementAtLineBreak(std::string_view word) {
  switch (word.size()) {
    case 5:
      return word == "throw" || word == "yield" || word == "break";
    case 6:
      return word == "return";
    case 8:
      return word == "continue";
    default:
      return false;
  }
}

bool OpensHead(std::string_view word) {
  switch (word.size()) {
    case 2:
      return word == "if";
    case 3:
      return word == "for";
    case 4:
      return word == "with";
    case 5:
      return word == "while" || word == "catch";
    case 6:
      return word == "switch";
    case 8:
      return word == "function";
    default:
      return word.size() > 8 && word.substr(0, 9) == "function*";
  }
}

bool TakesBlockAfter(std::string_view word) {
  return OneOf(word, {"else", "do", "try", "finally", "catch", "static"});
}

}  // namespace vantorel
