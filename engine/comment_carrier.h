#pragma once

#include <string>

#include "line_array.h"
#include "output_emitter.h"
#include "text_span.h"

namespace vantorel {

// Carries the comments between the end of the emitted text (`from`; inComment: it ends inside a
// block comment) and `to`, where the next segment starts: a comment on the line of the code
// before it stays at the end of that code's line, every other comment line becomes a line at
// the current depth, and a blank line inside a block comment stays. Semicolons found here have
// already been joined to the output. afterTag: `from` is the end of a script's opening tag, and
// what follows it on its line stays exactly as it stands. `text` is scratch space.
void CarryComments(const CLineArray& input, COutputEmitter& emitter, TextPos from, bool inComment,
                   TextPos to, int depth, bool afterTag, std::string& text);

}  // namespace vantorel
