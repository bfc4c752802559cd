// Shared by the fuzz targets: how the engine's output is compared with its input.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "line_array.h"
#include "output_emitter.h"

namespace vantorel::fuzz {

// Stops the run with a report that libFuzzer turns into a crash artifact.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s\n%s\n", what, detail.c_str());
  std::abort();
}

// The lines as the window program writes them: each followed by CR LF, so that a line whose
// text ends in a CR reads back as it was.
inline std::string Joined(const CLineArray& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.GetSize(); ++i) text.append(lines.GetAt(i)).append("\r\n");
  return text;
}

// The bytes the engine may move: space, tab, LF, VT, FF and CR.
inline std::string NonBlank(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && (c < '\t' || c > '\r')) kept.push_back(c);
  }
  return kept;
}

// One byte chooses the layout: bit 0 the brace style, bit 1 tabs, the rest the indent (0..8).
inline LayoutOptions OptionsFromByte(unsigned char b) {
  LayoutOptions options;
  options.bracketStyle = b & 1;
  options.insertMode = (b >> 1) & 1;
  options.indentCount = (b >> 2) % 9;
  return options;
}

inline std::string Describe(const LayoutOptions& o, bool page) {
  return std::string(page ? "page" : "script") + " brace=" + std::to_string(o.bracketStyle) +
         " tabs=" + std::to_string(o.insertMode) + " indent=" + std::to_string(o.indentCount);
}

}  // namespace vantorel::fuzz
