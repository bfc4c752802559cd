// The word lists that decide between a division and a regular expression, and the literal
// scanner's reading of the word before a "/".
#include "javascript_words.h"

#include <gtest/gtest.h>

#include <string>

#include "javascript_literals.h"

namespace vantorel::testing {
namespace {

TEST(JavascriptWords, RegexKeywordsAreExactlyTheOperatorLikeKeywords) {
  const struct {
    const char* word;
    bool keyword;
  } cases[] = {
      {"return", true},      {"typeof", true},  {"case", true},     {"do", true},
      {"else", true},        {"in", true},      {"of", true},       {"new", true},
      {"delete", true},      {"void", true},    {"throw", true},    {"yield", true},
      {"await", true},       {"instanceof", true},
      // Near misses: other letters, other case, a letter more or less, other keywords.
      {"returns", false},    {"Return", false}, {"dO", false},      {"d", false},
      {"", false},           {"on", false},     {"is", false},      {"news", false},
      {"cases", false},      {"elsewhere", false}, {"thrown", false}, {"instanceOf", false},
      {"instanceofx", false}, {"if", false},    {"for", false},     {"while", false},
      {"this", false},       {"x", false},      {"await_", false},  {"void0", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsRegexKeyword(c.word), c.keyword) << c.word;
}

TEST(JavascriptWords, RegexAllowedAfterLooksAtTheNameThatEndsTheWord) {
  const struct {
    const char* line;
    bool allowed;  // after the whole line, read as one word
  } cases[] = {
      {"return", true},
      {"x.return", true},  // the name after the dot still ends the word
      {"a+typeof", true},
      {"returned", false},
      {"instanceof", true},
      {"xinstanceof", false},       // eleven letters: no keyword
      {"aaaaaaaaaaaaaaaa", false},  // a long name
      {"aaaaaaaaaaaaaaaa.in", true},
      {"f()", false},
      {"a[1]", false},
      {"x=", true},
      {"a,", true},
      {"1", false},
  };
  for (const auto& c : cases) {
    const std::string line = c.line;
    CJsLiteralScanner scanner;
    scanner.SetLine(line, 0, std::string::npos);
    EXPECT_EQ(scanner.RegexAllowedAfter(0, line.size()), c.allowed) << c.line;
  }
}

}  // namespace
}  // namespace vantorel::testing
