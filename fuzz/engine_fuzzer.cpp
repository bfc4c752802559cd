// The engine on arbitrary bytes: the first byte chooses the layout, the rest is the file.
// VANTOREL_FUZZ_PAGE chooses whether the file is read as a page or as a script.
//
// Beyond "no crash": every non-blank byte of the input as the line array read it reaches the
// output in order and nothing is added, formatting the output again changes nothing, and the
// lean pass gives the same lines as the general path, and so does an input read in two parts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "script_analyzer.h"

namespace {

using namespace vantorel;

int Format(const CLineArray& input, const LayoutOptions& options, bool page, CLineArray& output,
           bool fastPath = true, bool* leanUsed = nullptr) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options);
  analyzer.SetPageMode(page);
  analyzer.SetFastPath(fastPath);
  const int result = analyzer.Run(input, output);
  if (leanUsed) *leanUsed = analyzer.FastPathUsed();
  return result;
}

// The input read in parts as `split` says.
std::string FormatSplit(const CLineArray& input, const LayoutOptions& options, bool page,
                        const ScriptSplit& split) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options);
  analyzer.SetPageMode(page);
  analyzer.SetScriptSplit(split);
  CLineArray output;
  if (analyzer.Run(input, output) != ResultDone) return "(not done)";
  return vantorel::fuzz::Joined(output);
}

// The input read in two parts on the caller's thread: a script's later part from `line`, a
// page's from the first script tag from `column` of `line` on.
std::string FormatSplit(const CLineArray& input, const LayoutOptions& options, bool page,
                        std::size_t line, std::size_t column = 0) {
  ScriptSplit split;
  split.line = static_cast<std::ptrdiff_t>(line);
  split.column = column;
  split.concurrent = false;
  return FormatSplit(input, options, page, split);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantorel::fuzz;
  if (size == 0) return 0;
  const bool page = VANTOREL_FUZZ_PAGE != 0;
  const LayoutOptions options = OptionsFromByte(data[0]);
  const std::string how = Describe(options, page);

  CLineArray input;
  input.ReadLines(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  CLineArray once;
  bool leanUsed = false;
  int result = Format(input, options, page, once, true, &leanUsed);
  if (result == ResultCancelled) Fail("a run without a progress display was cancelled", how);
  if (!page && result != ResultDone) Fail("a script run did not finish", how);
  if (result != ResultDone) return 0;

  const std::string inputText = Joined(input);
  const std::string onceText = Joined(once);
  {
    CLineArray general;
    Format(input, options, page, general, false);
    const std::string generalText = Joined(general);
    if (generalText != onceText)
      Fail("the lean pass and the general path differ",
           how + "\n--- lean:\n" + onceText + "--- general:\n" + generalText);
  }
  if (!page && leanUsed && input.GetSize() > 1) {
    // The middle line, and one the input's last byte chooses.
    for (std::size_t line : {input.GetSize() / 2, 1 + data[size - 1] % (input.GetSize() - 1)}) {
      const std::string splitText = FormatSplit(input, options, false, line);
      if (splitText != onceText)
        Fail("a run in two parts differs from one in one part",
             how + ", later part from line " + std::to_string(line) + "\n--- one part:\n" +
                 onceText + "--- two parts:\n" + splitText);
    }
    // Three parts, from lines the input's first bytes choose, begun in an order they choose too:
    // the last first, or one of the later ones only (the other read by the part before it).
    if (input.GetSize() > 2 && size > 3) {
      ScriptSplit split;
      split.concurrent = false;
      const std::size_t first = 1 + data[1] % (input.GetSize() - 2);
      const std::size_t second = first + 1 + data[2] % (input.GetSize() - first - 1);
      split.lines = {static_cast<std::ptrdiff_t>(first), static_cast<std::ptrdiff_t>(second)};
      if (data[3] % 3 != 0) split.order = {static_cast<std::size_t>(data[3] % 3)};
      const std::string splitText = FormatSplit(input, options, false, split);
      if (splitText != onceText)
        Fail("a run in three parts differs from one in one part",
             how + ", parts from lines " + std::to_string(first) + " and " +
                 std::to_string(second) + ", order " + std::to_string(data[3] % 3) +
                 "\n--- one part:\n" + onceText + "--- three parts:\n" + splitText);
    }
  }
  if (!page && leanUsed && input.GetSize() > 1 && size > 4) {
    // Parts by size, as large scripts are read, but of a few bytes each (as many as a run takes),
    // begun the last first, each from a line near where its size ends.
    ScriptSplit split;
    split.concurrent = false;
    split.minBytes = 0;
    split.partBytes = 1 + data[4] % 64;
    const std::string splitText = FormatSplit(input, options, false, split);
    if (splitText != onceText)
      Fail("a run in parts by size differs from one in one part",
           how + ", parts of " + std::to_string(split.partBytes) + " bytes\n--- one part:\n" +
               onceText + "--- in parts:\n" + splitText);
  }
  if (page && leanUsed) {
    // From the start, and from a place the input's last two bytes choose.
    const std::size_t line = data[size - 1] % input.GetSize();
    const std::size_t column = size > 1 ? data[size - 2] % (input.GetAt(line).size() + 1) : 0;
    for (const auto& [fromLine, fromColumn] : {std::pair<std::size_t, std::size_t>{0, 0},
                                               std::pair<std::size_t, std::size_t>{line, column}}) {
      const std::string splitText = FormatSplit(input, options, true, fromLine, fromColumn);
      if (splitText != onceText)
        Fail("a run in two parts differs from one in one part",
             how + ", later part from line " + std::to_string(fromLine) + ", column " +
                 std::to_string(fromColumn) + "\n--- one part:\n" + onceText + "--- two parts:\n" +
                 splitText);
    }
  }
  if (NonBlank(onceText) != NonBlank(inputText))
    Fail("output's non-blank bytes differ from the input's", how + "\n--- output:\n" + onceText);

  // Formatting the written result again (read back as a file would be) changes nothing.
  CLineArray reread;
  reread.ReadLines(onceText);
  CLineArray twice;
  if (Format(reread, options, page, twice) != ResultDone)
    Fail("the formatted output is no longer accepted", how + "\n--- output:\n" + onceText);
  const std::string twiceText = Joined(twice);
  if (twiceText != onceText)
    Fail("a second run changed the result",
         how + "\n--- first:\n" + onceText + "--- second:\n" + twiceText);
  return 0;
}
