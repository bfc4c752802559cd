// The token history: a word noted with its ")" counted beforehand leaves the same state as one
// whose ")" the history finds itself.
#include "token_history.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace vantorel::testing {
namespace {

struct Step {
  bool word;
  std::string_view text;
};

std::size_t ClosesIn(std::string_view word) {
  std::size_t count = 0;
  for (char c : word) count += c == ')';
  return count;
}

// Each sequence ends where a "{" may or may not join the line before: the decisions made there
// and the parentheses left open must not depend on how the words were noted.
TEST(TokenHistory, PlainWordsLeaveTheStateNoteWordLeaves) {
  const std::vector<std::vector<Step>> sequences = {
      {{true, "if"}, {false, "("}, {true, "a)"}, {false, "{"}},
      {{true, "while"}, {false, "("}, {true, "f"}, {false, "("}, {true, "x))"}, {false, "{"}},
      {{true, "x"}, {false, "("}, {true, "y)"}, {true, "))"}, {false, "{"}},
      {{true, "class"}, {true, "A"}, {false, "{"}},
      {{true, "class"}, {false, ";"}, {true, "A"}, {false, "{"}},
      {{true, "function"}, {true, "g"}, {false, "("}, {true, "a,b)"}, {false, "{"}},
      {{true, "0===p)return"}, {false, "{"}},
      {{true, "a"}, {false, ">"}, {true, "b"}, {false, "{"}},
  };
  for (std::size_t s = 0; s < sequences.size(); ++s) {
    SCOPED_TRACE(s);
    CTokenHistory general;
    CTokenHistory plain;
    std::ptrdiff_t line = 0;
    for (const Step& step : sequences[s]) {
      // Every token on a line of its own, so that the brace's decisions look back across lines.
      ++line;
      if (!step.word) {
        general.NoteOperator(step.text, line);
        plain.NoteOperator(step.text, line);
        continue;
      }
      general.NoteWord(step.text, line, 0, [](std::size_t) { return false; });
      plain.NotePlainWord(step.text, line, ClosesIn(step.text));
    }
    EXPECT_TRUE(general.Extends(plain));
    EXPECT_TRUE(plain.Extends(general));
    EXPECT_EQ(plain.UnmatchedCloses(), general.UnmatchedCloses());
    EXPECT_EQ(plain.BraceMayJoin(), general.BraceMayJoin());
    EXPECT_EQ(plain.BraceStaysOnLine(), general.BraceStaysOnLine());
  }
}

}  // namespace
}  // namespace vantorel::testing
