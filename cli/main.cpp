// vantorel-cli: re-indents the JavaScript of a script file or of a page's script blocks.
#include <iostream>
#include <map>

#include <CLI/CLI.hpp>

#include "cli_formatter.h"

namespace {

constexpr const char* kNotes = R"(
Input:
  A name ending in ".js" (any letter case) is JavaScript from its first line to its last; every
  other name is a page whose <script> blocks are re-indented while all other text is copied
  through unchanged. Lines end at LF or CR LF; a 0x1A byte ends the input, and a NUL byte ends
  its line (the bytes after it up to the line end are dropped).

Exit status:
  0  done: the result was written
  2  the page holds no JavaScript <script> block (nothing written)
  3  the input is no page: it has no html, head or body tag (nothing written)
  4  the input cannot be read
  5  the output cannot be written
  6  bad arguments
)";

}  // namespace

int main(int argc, char** argv) {
  using namespace vantorel;
  CliOptions options;
  bool tabs = false;
  std::string brace = "newline";

  CLI::App app{"Re-indents JavaScript: whole .js files, and the script blocks of HTML pages.",
               "vantorel-cli"};
  app.footer(kNotes);
  app.add_option("INPUT", options.input, "File to format")->required();
  app.add_option("-o,--output", options.output, "Write the result to FILE, not standard output")
      ->type_name("FILE");
  app.add_option("--indent", options.layout.indentCount, "Spaces per level (0 to 8)")
      ->check(CLI::Range(0, 8))
      ->capture_default_str();
  app.add_flag("--tabs", tabs, "Indent with one tab per level");
  app.add_option("--brace", brace,
                 "Opening brace on a line of its own (newline) or at the end of the line "
                 "before (same-line)")
      ->check(CLI::IsMember({"newline", "same-line"}))
      ->capture_default_str();
  app.add_option("--mode", options.mode, "script, page, or by the input's extension (auto)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, InputMode>{
              {"auto", InputMode::Auto}, {"script", InputMode::Script}, {"page", InputMode::Page}},
          CLI::ignore_case))
      ->default_str("auto");
  app.add_option("--eol", options.eol,
                 "Line ends of the result: crlf, lf, or as the input's first line (auto)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, LineEnd>{
              {"auto", LineEnd::Auto}, {"crlf", LineEnd::CrLf}, {"lf", LineEnd::Lf}},
          CLI::ignore_case))
      ->default_str("auto");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << app.get_name() << ": " << e.what() << "\nRun with --help for more information.\n";
    return StatusUsageError;
  }
  options.layout.insertMode = tabs ? 1 : 0;
  options.layout.bracketStyle = brace == "same-line" ? 1 : 0;
  return FormatFile(options, std::cerr);
}
