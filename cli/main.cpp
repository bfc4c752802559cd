// vantorel-cli: re-indents the JavaScript of a script file or of a page's script blocks.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <iostream>

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
  through unchanged. Lines end at LF or CR LF; a 0x1A byte ends the input, and a NUL byte ends
  its line (the bytes after it up to the line end are dropped).

Settings and language files:
  --settings FILE reads BracketStyle, InsertMode and IndentCount from section [Common] of a
  settings file of the window program (vtrl.ini), as the window program does: a missing key
  gives its default, IndentCount is held to 0..8, and a BracketStyle or InsertMode other than 1
  counts as 0. --indent, --tabs, --spaces and --brace win over the file. The file is only read.
  --lang FILE takes the messages from a language file (section [Common], UTF-8); a message that
  the file lacks or leaves empty is shown in English.
  A --settings or --lang file that does not exist or cannot be read is a bad argument.

Exit status:
  0  done: the result was written
  2  the page holds no JavaScript <script> block (nothing written)
  3  the input is no page: it has no html, head or body tag (nothing written)
  4  the input cannot be read
  5  the output cannot be written
  6  bad arguments (a --settings or --lang file that cannot be read among them)
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
  app.add_option("INPUT", args.options.input, "File to format")->required();
  app.add_option("-o,--output", args.options.output,
                 "Write the result to FILE, not standard output")
      ->type_name("FILE");
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
  app.add_option("--mode", args.mode, "script, page, or by the input's extension (auto)")
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

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Re-indents JavaScript: whole .js files, and the script blocks of HTML pages.",
               "vantorel-cli"};
  CliArgs args;
  AddOptions(app, args);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << app.get_name() << ": " << e.what() << "\nRun with --help for more information.\n";
    return StatusUsageError;
  }
  args.options.layout = ChooseLayout(app, args);
  args.options.mode = EqualsIgnoringCase(args.mode, "script") ? InputMode::Script
                      : EqualsIgnoringCase(args.mode, "page") ? InputMode::Page
                                                              : InputMode::Auto;
  args.options.eol = EqualsIgnoringCase(args.eol, "crlf") ? LineEnd::CrLf
                     : EqualsIgnoringCase(args.eol, "lf") ? LineEnd::Lf
                                                          : LineEnd::Auto;
  return FormatFile(args.options, std::cerr);
}
