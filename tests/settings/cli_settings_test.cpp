// vantorel-cli with --settings and --lang, run on real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_process.h"
#include "temp_dir.h"

namespace vantorel::testing {
namespace {

const std::string kCli = VANTOREL_CLI;
const std::string kLangDir = VANTOREL_LANG_DIR;
const std::string kScript = "if (a) { b(); }\n";

struct LayoutCase {
  const char* label;
  std::string settings;           // the settings file's bytes
  std::vector<std::string> args;  // given before --settings
  const char* expected;
};

TEST(CliSettings, TheSettingsFileGivesTheLayoutAndExplicitOptionsWin) {
  const std::vector<LayoutCase> cases = {
      {"same line, four",
       "[Common]\nBracketStyle=1\nIndentCount=4\n",
       {},
       "if (a){\n    b();\n}\n"},
      {"tabs", "[Common]\nInsertMode=1\n", {}, "if (a)\n{\n\tb();\n}\n"},
      {"out of range",
       "[Common]\nIndentCount=12\nBracketStyle=7\nInsertMode=5\n",
       {},
       "if (a)\n{\n        b();\n}\n"},
      {"the full file of the window program",
       "[Common]\nOptionClose=0\nOpenInNotePad=1\nRunAfterDrop=0\nLanFileName=/x.lng\n"
       "BracketStyle=1\nInsertMode=0\nIndentCount=5\nInputFileName=/a.js\nOutputFileName=\n",
       {},
       "if (a){\n     b();\n}\n"},
      {"--brace wins",
       "[Common]\nBracketStyle=1\nIndentCount=4\n",
       {"--brace", "newline"},
       "if (a)\n{\n    b();\n}\n"},
      {"--indent wins",
       "[Common]\nBracketStyle=1\nIndentCount=4\n",
       {"--indent", "1"},
       "if (a){\n b();\n}\n"},
      {"--spaces wins", "[Common]\nInsertMode=1\n", {"--spaces"}, "if (a)\n{\n  b();\n}\n"},
      {"--tabs wins",
       "[Common]\nInsertMode=0\nIndentCount=4\n",
       {"--tabs"},
       "if (a)\n{\n\tb();\n}\n"},
  };
  for (const LayoutCase& c : cases) {
    TempDir dir;
    std::string settings = dir.Write("vtrl.ini", c.settings);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--settings", settings, dir.Write("in.js", kScript)});
    ProcessResult result = RunProcess(kCli, args);
    EXPECT_EQ(result.status, 0) << c.label << ": " << result.err;
    EXPECT_EQ(result.err, "") << c.label;
    EXPECT_EQ(result.out, c.expected) << c.label;
    EXPECT_EQ(ReadFileBytes(settings), c.settings) << c.label << ": the file is only read";
  }
}

TEST(CliSettings, ASettingsOrLanguageFileThatCannotBeReadIsABadArgument) {
  TempDir dir;
  std::string script = dir.Write("in.js", kScript);
  const std::string folder = dir.Root().string();
  const std::vector<std::vector<std::string>> cases = {
      // option, file, why
      {"--settings", dir.Path("missing.ini"), "File does not exist"},
      {"--settings", folder, "File cannot be read"},
      {"--lang", dir.Path("missing.lng"), "File does not exist"},
      {"--lang", folder, "File cannot be read"},
  };
  for (const std::vector<std::string>& c : cases) {
    ProcessResult result = RunProcess(kCli, {c[0], c[1], script});
    EXPECT_EQ(result.status, 6) << c[0] << " " << c[1];
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "vantorel-cli: " + c[0] + ": " + c[2] + ": " + c[1] +
                              "\nRun with --help for more information.\n");
  }
  EXPECT_NE(RunProcess(kCli, {"--tabs", "--spaces", script}).status, 0);
}

// The shipped translations speak; a text that a file lacks or leaves empty is said in English.
TEST(CliLanguage, MessagesComeFromTheFileOrInEnglish) {
  TempDir dir;
  const std::string missing = dir.Path("missing.js");
  const std::string page = dir.Write("page.html", "<html><body>no script</body></html>");
  const std::string english = "Error occurred during opening file: " + missing + "\n";
  const struct {
    std::string language;  // the language file
    std::string input;
    int status;
    std::string message;
  } cases[] = {
      {kLangDir + "/german.lng", missing, 4, "Fehler beim Öffnen der Datei: " + missing + "\n"},
      {kLangDir + "/russian.lng", page, 2,
       "В файле не найдено ни одного тега <script>: " + page + "\n"},
      {dir.Write("lacks.lng", "[Common]\nRunButton=Los\n"), missing, 4, english},
      {dir.Write("empty.lng", "[Common]\nFileOpenErrorMsg=\n"), missing, 4, english},
  };
  for (const auto& c : cases) {
    ProcessResult result = RunProcess(kCli, {"--lang", c.language, c.input});
    EXPECT_EQ(result.status, c.status) << c.language;
    EXPECT_EQ(result.err, c.message) << c.language;
  }
}

}  // namespace
}  // namespace vantorel::testing
