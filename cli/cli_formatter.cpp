#include "cli_formatter.h"

#include <unistd.h>

#include "file_names.h"
#include "language_table.h"
#include "line_file.h"
#include "script_analyzer.h"
#include "text_template.h"
#include "ui_texts.h"

namespace vantorel {
namespace {

// Writes one message: its text from the language table (English where the file has none) is a
// template whose first "%s" takes the name.
class CReporter {
 public:
  CReporter(const std::string& languageFile, std::ostream& err) : err_(err) {
    texts_.SetSection(kLanguageSection);
    texts_.SetLanguageFile(languageFile);  // an unreadable file gives the English texts
  }
  void operator()(std::string_view key, std::string_view name) const {
    err_ << ExpandTemplate(texts_.LookUpText(key, EnglishText(key)), name) << '\n';
  }

 private:
  CLanguageTable texts_;
  std::ostream& err_;
};

}  // namespace

int FormatFile(const CliOptions& options, std::ostream& err) {
  const CReporter report(options.languageFile, err);
  CLineArray input;
  LineReadInfo info;
  if (!LoadLineArray(options.input, &input, &info)) {
    report("FileOpenErrorMsg", options.input);
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
      report("NoSriptFoundMsg", options.input);
      return StatusNoScript;
    case ResultNotPage:
      report("UnknownFileErrorMsg", options.input);
      return StatusNotPage;
    default:
      report("CancelledProcessMsg", "");
      return StatusWriteError;
  }

  bool crlf =
      options.eol == LineEnd::CrLf || (options.eol == LineEnd::Auto && info.firstLineEndsWithCrLf);
  std::string_view eol = crlf ? "\r\n" : "\n";
  if (options.output.empty()) {
    CFileSink out(STDOUT_FILENO);
    if (!output.WriteLines(out, eol)) {
      report("FileSaveErrorMsg", "standard output");
      return StatusWriteError;
    }
  } else if (!SaveLineArray(options.output, &output, eol)) {
    report("FileSaveErrorMsg", options.output);
    return StatusWriteError;
  }
  return StatusDone;
}

}  // namespace vantorel
