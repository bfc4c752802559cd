#include "cli_formatter.h"

#include <unistd.h>

#include "file_names.h"
#include "line_file.h"
#include "script_analyzer.h"
#include "text_template.h"
#include "ui_texts.h"

namespace vantorel {
namespace {

void Report(std::ostream& err, std::string_view key, std::string_view name) {
  err << ExpandTemplate(EnglishText(key), name) << '\n';
}

}  // namespace

int FormatFile(const CliOptions& options, std::ostream& err) {
  CLineArray input;
  LineReadInfo info;
  if (!LoadLineArray(options.input, &input, &info)) {
    Report(err, "FileOpenErrorMsg", options.input);
    return StatusReadError;
  }

  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options.layout);
  bool page = options.mode == InputMode::Page ||
              (options.mode == InputMode::Auto && !IsScriptFileName(options.input));
  analyzer.SetPageMode(page);
  CLineArray output;
  switch (analyzer.Run(input, output)) {
    case ResultDone:
      break;
    case ResultNoScript:
      Report(err, "NoSriptFoundMsg", options.input);
      return StatusNoScript;
    case ResultNotPage:
      Report(err, "UnknownFileErrorMsg", options.input);
      return StatusNotPage;
    default:
      Report(err, "CancelledProcessMsg", "");
      return StatusWriteError;
  }

  bool crlf = options.eol == LineEnd::CrLf ||
              (options.eol == LineEnd::Auto && info.firstLineEndsWithCrLf);
  std::string_view eol = crlf ? "\r\n" : "\n";
  if (options.output.empty()) {
    CFileSink out(STDOUT_FILENO);
    if (!output.WriteLines(out, eol)) {
      Report(err, "FileSaveErrorMsg", "standard output");
      return StatusWriteError;
    }
  } else if (!SaveLineArray(options.output, &output, eol)) {
    Report(err, "FileSaveErrorMsg", options.output);
    return StatusWriteError;
  }
  return StatusDone;
}

}  // namespace vantorel
