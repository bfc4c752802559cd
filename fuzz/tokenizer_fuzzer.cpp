// The source tokenizer, configured as the re-indenter configures it, on arbitrary bytes: every
// token lies inside the input, its text is the input's bytes there (a gap token stands on a
// byte of the line), tokens come in reading order, and reading ends.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "script_analyzer.h"
#include "source_tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantorel;
  using vantorel::fuzz::Fail;
  CLineArray lines;
  lines.ReadLines(std::string(reinterpret_cast<const char*>(data), size));

  CSourceTokenizer tokenizer;
  ConfigureForScript(tokenizer);
  if (!tokenizer.Attach(&lines)) Fail("Attach refused an array");
  tokenizer.LoadLine();

  // Each token consumes a byte, or is the one end-of-line token of its line; some slack for the
  // gap tokens between words.
  const std::size_t budget = 3 * size + 2 * lines.GetSize() + 8;
  std::size_t count = 0;
  std::ptrdiff_t lastLine = -1;
  std::size_t lastColumn = 0;
  while (tokenizer.NextToken()) {
    if (++count > budget) Fail("the tokenizer does not come to an end");
    const std::ptrdiff_t line = tokenizer.GetTokenLine();
    const std::size_t column = tokenizer.GetTokenColumn();
    const std::string_view text = tokenizer.GetTokenText();
    const int type = tokenizer.GetTokenType();
    const std::string where = "line " + std::to_string(line) + " column " +
                              std::to_string(column) + " type " + std::to_string(type) +
                              " text \"" + std::string(text) + "\"";
    if (line < 0 || static_cast<std::size_t>(line) >= lines.GetSize())
      Fail("token line outside the input", where);
    const std::string_view lineText = lines.GetAt(static_cast<std::size_t>(line));
    if (column > lineText.size()) Fail("token column past its line", where);
    if (line < lastLine || (line == lastLine && column < lastColumn))
      Fail("token before the one read earlier", where);
    lastLine = line;
    lastColumn = column;
    switch (type) {
      case TokenEndOfLine:
        break;
      case TokenWord:
        if (text.empty() || lineText.substr(column, text.size()) != text)
          Fail("word token text is not the input's bytes", where);
        break;
      case TokenOperator:
        if (column >= lineText.size()) Fail("operator token past its line", where);
        if (text != " " && lineText.substr(column, text.size()) != text)
          Fail("operator token text is not the input's bytes", where);
        break;
      default:
        Fail("token of an unknown type", where);
    }
  }
  if (tokenizer.NextToken()) Fail("a token after the end of the input");
  return 0;
}
