#pragma once

#include <string>

#include "analyzer_progress.h"
#include "line_array.h"
#include "output_emitter.h"

namespace vantorel {

enum class FastPathResult { Done, Cancelled, Unsupported };

// Re-indents a whole script in one lean pass, with exactly the result of the token-by-token
// re-indenter, for the JavaScript that real files are made of. Rarer input (template literals
// or strings that go on over a line end, HTML comment markers in code, a lone CR, vertical tab or
// form feed outside literals and comments) makes it give up: Unsupported, and output is left as
// it was, for the general path to do the work. Output must be empty.
//
// Progress is reported every progressInterval tokens (at least 1), with the same calls the
// general path makes, and a cancel ends the run there.
FastPathResult ReindentScriptFast(const CLineArray& input, const LayoutOptions& options,
                                  CLineArray& output, CAnalyzerProgress* progress,
                                  const std::string& lineFormat, int progressInterval);

}  // namespace vantorel
