// vantorel-cli: re-indents the JavaScript of a script file or of a page's script blocks.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli_formatter.h"
#include "ini_file.h"
#include "program_settings.h"
#include "tokenizer_config.h"

namespace {

using namespace vantorel;

constexpr const char* kNotes = R"(
Input:
  A name ending in ".js" (any letter case) is JavaScript from its first line to its last; every
  other name is a page whose <script> blocks are re-indented while all other text is copied
  through unchanged. "-" reads standard input (once at most), taken as a script unless --mode
  says page. Lines end at LF or CR LF; a 0x1A byte ends the input, and a NUL byte ends its line
  (the bytes after it up to the line end are dropped); --in-place therefore leaves a file with
  such bytes alone.

Several inputs:
  Each input is formatted, also when an earlier one failed. Without -o, --in-place or --check the
  results go to standard output one after the other; -o takes one input only. --in-place
  replaces each file by its result as -o does (a temporary file renamed over it, permissions
  kept), and leaves a file that is already formatted, or that fails, untouched. --check writes
  nothing and lists each input that formatting would change, one name a line, as given.

Settings and language files:
  --settings FILE reads BracketStyle, InsertMode and IndentCount from section [Common] of a
  settings file of the window program (vtrl.ini), as the window program does: a missing key
  gives its default, IndentCount is held to 0..8, and a BracketStyle or InsertMode other than 1
  counts as 0. --indent, --tabs, --spaces and --brace win over the file. The file is only read.
  --lang FILE takes the messages from a language file (section [Common], UTF-8); a message that
  the file lacks or leaves empty is shown in English.
  A --settings or --lang file that does not exist or cannot be read is a bad argument.

Progress:
  An input over 1 MB shows a progress bar on standard error while it is formatted, only when
  standard error is a terminal.

Exit status:
  0  done: every result was written (--check: no input would change)
  1  --check only: some input would change, and none failed
  2  the page holds no JavaScript <script> block (nothing written)
  3  the input is no page: it has no html, head or body tag (nothing written)
  4  the input cannot be read
  5  the output cannot be written
  6  bad arguments (a --settings or --lang file that cannot be read among them)
  With several inputs the status is that of the first input that failed; each failure's message
  names its input.
)";

// What the command line says; the layout options become CliOptions::layout in ChooseLayout.
struct CliArgs {
  CliOptions options;
  int indent = 2;
  bool tabs = false;
  bool spaces = false;
  std::string brace = "newline";
  std::string mode = "auto";
  std::string eol = "auto";
  std::string settingsFile;
  bool inPlace = false;
  bool check = false;
};

// A file named on the command line must exist and be readable; a folder is not read.
std::string ProblemReading(const std::string& path) {
  if (IsReadableFile(path)) return {};
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "File does not exist: " + path;
  return "File cannot be read: " + path;
}

void AddOptions(CLI::App& app, CliArgs& args) {
  app.footer(kNotes);
  app.set_version_flag("--version", "vantorel-cli " VANTOREL_VERSION);
  app.add_option("INPUT", args.options.inputs, "Files to format; - for standard input")
      ->required()
      ->type_name("FILE");
  CLI::Option* output = app.add_option("-o,--output", args.options.output,
                                       "Write the result to FILE, not standard output")
                            ->type_name("FILE");
  CLI::Option* inPlace =
      app.add_flag("-i,--in-place", args.inPlace, "Replace each input file by its result")
          ->excludes(output);
  app.add_flag("--check", args.check,
               "Write nothing; list the inputs that formatting would change (status 1)")
      ->excludes(output)
      ->excludes(inPlace);
  app.add_option("--indent", args.indent, "Spaces per level (0 to 8)")
      ->check(CLI::Range(0, 8))
      ->capture_default_str();
  CLI::Option* tabs = app.add_flag("--tabs", args.tabs, "Indent with one tab per level");
  app.add_flag("--spaces", args.spaces, "Indent with --indent spaces per level (the default)")
      ->excludes(tabs);
  app.add_option("--brace", args.brace,
                 "Opening brace on a line of its own (newline) or at the end of the line "
                 "before (same-line)")
      ->check(CLI::IsMember({"newline", "same-line"}))
      ->capture_default_str();
  // Named values shown as words in --help; CheckedTransformer would list the enum numbers too.
  app.add_option("--mode", args.mode,
                 "script, page, or by the input's extension, standard input a script (auto)")
      ->check(CLI::IsMember({"auto", "script", "page"}, CLI::ignore_case))
      ->capture_default_str();
  app.add_option("--eol", args.eol,
                 "Line ends of the result: crlf, lf, or as the input's first line (auto)")
      ->check(CLI::IsMember({"auto", "crlf", "lf"}, CLI::ignore_case))
      ->capture_default_str();
  app.add_option("--settings", args.settingsFile,
                 "Take the layout options from the window program's settings file")
      ->check(CLI::Validator(ProblemReading, ""))
      ->type_name("FILE");
  app.add_option("--lang", args.options.languageFile,
                 "Take the messages from a language file (.lng)")
      ->check(CLI::Validator(ProblemReading, ""))
      ->type_name("FILE");
}

// What the inputs and the way of writing results rule out; empty when they fit together.
std::string ProblemWithInputs(const CliArgs& args) {
  const std::vector<std::string>& inputs = args.options.inputs;
  if (inputs.size() > 1 && !args.options.output.empty())
    return "--output takes one input, not " + std::to_string(inputs.size()) +
           " (--in-place formats several files where they are)";
  auto standardInputs = std::count(inputs.begin(), inputs.end(), kStandardInput);
  if (standardInputs > 1) return "standard input (-) can be read only once";
  if (standardInputs > 0 && args.inPlace)
    return "--in-place cannot replace standard input (-); use -o FILE or standard output";
  return {};
}

// The settings file's layout, if one is named, then each layout option the command line names.
LayoutOptions ChooseLayout(const CLI::App& app, const CliArgs& args) {
  LayoutOptions layout;
  if (!args.settingsFile.empty()) layout = LayoutOf(LoadProgramSettings(args.settingsFile));
  if (app.count("--indent")) layout.indentCount = args.indent;
  if (app.count("--tabs")) layout.insertMode = 1;
  if (app.count("--spaces")) layout.insertMode = 0;
  if (app.count("--brace")) layout.bracketStyle = args.brace == "same-line" ? 1 : 0;
  return layout;
}

int UsageError(const CLI::App& app, const std::string& problem) {
  std::cerr << app.get_name() << ": " << problem << "\nRun with --help for more information.\n";
  return StatusUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Re-indents JavaScript: whole .js files, and the script blocks of HTML pages.",
               "vantorel-cli"};
  CliArgs args;
  AddOptions(app, args);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help or --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return UsageError(app, e.what());
  }
  if (std::string problem = ProblemWithInputs(args); !problem.empty())
    return UsageError(app, problem);
  args.options.write = args.inPlace ? WriteMode::InPlace
                       : args.check ? WriteMode::Check
                                    : WriteMode::Result;
  args.options.layout = ChooseLayout(app, args);
  args.options.mode = EqualsIgnoringCase(args.mode, "script") ? InputMode::Script
                      : EqualsIgnoringCase(args.mode, "page") ? InputMode::Page
                                                              : InputMode::Auto;
  args.options.eol = EqualsIgnoringCase(args.eol, "crlf") ? LineEnd::CrLf
                     : EqualsIgnoringCase(args.eol, "lf") ? LineEnd::Lf
                                                          : LineEnd::Auto;
  return FormatFiles(args.options, std::cerr);
}
