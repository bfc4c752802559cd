#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "output_emitter.h"

namespace vantorel {

// Exit statuses of the command-line formatter.
enum CliStatus {
  StatusDone = 0,
  StatusWouldChange = 1,  // --check: some input is not formatted yet
  StatusNoScript = 2,     // a page without a JavaScript script block
  StatusNotPage = 3,      // no html, head or body tag: not a page
  StatusReadError = 4,    // the input cannot be read
  StatusWriteError = 5,   // the output cannot be written
  StatusUsageError = 6,   // bad arguments
};

enum class InputMode { Auto, Script, Page };
enum class LineEnd { Auto, CrLf, Lf };

// Where results go.
enum class WriteMode {
  Result,   // to CliOptions::output, or one after the other to standard output
  InPlace,  // each input file is replaced by its result
  Check,    // nowhere: the inputs whose result differs are listed on standard output
};

// The input name that stands for standard input.
inline constexpr std::string_view kStandardInput = "-";

struct CliOptions {
  std::vector<std::string> inputs;
  std::string output;  // empty: standard output; only with one input
  WriteMode write = WriteMode::Result;
  LayoutOptions layout;
  InputMode mode = InputMode::Auto;  // Auto takes standard input as a script
  LineEnd eol = LineEnd::Auto;
  std::string languageFile;  // messages from this language file; empty: English
};

// Formats every input in turn as the options say, each also when an earlier one failed, and
// writes the results; messages go to err, naming the input, in the language file's words where
// it has them and in English otherwise. Nothing is written for an input unless its whole result
// is ready. The status is that of the first input that failed; with WriteMode::Check it is
// StatusWouldChange when none failed but some would change.
int FormatFiles(const CliOptions& options, std::ostream& err);

}  // namespace vantorel
