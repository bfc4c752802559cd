#pragma once

#include <ostream>
#include <string>

#include "output_emitter.h"

namespace vantorel {

// Exit statuses of the command-line formatter.
enum CliStatus {
  StatusDone = 0,
  StatusNoScript = 2,    // a page without a JavaScript script block
  StatusNotPage = 3,     // no html, head or body tag: not a page
  StatusReadError = 4,   // the input cannot be read
  StatusWriteError = 5,  // the output cannot be written
  StatusUsageError = 6,  // bad arguments
};

enum class InputMode { Auto, Script, Page };
enum class LineEnd { Auto, CrLf, Lf };

struct CliOptions {
  std::string input;
  std::string output;  // empty: standard output
  LayoutOptions layout;
  InputMode mode = InputMode::Auto;
  LineEnd eol = LineEnd::Auto;
  std::string languageFile;  // messages from this language file; empty: English
};

// Formats one input as the options say and writes the result; messages go to err, in the
// language file's words where it has them and in English otherwise. Nothing is written unless
// the whole result is ready.
int FormatFile(const CliOptions& options, std::ostream& err);

}  // namespace vantorel
