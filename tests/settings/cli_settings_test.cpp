// vantorel-cli with --settings and --lang, run on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
      {"keys in other letter case",
       "[common]\nbracketstyle=1\nindentcount=0\n",
       {},
       "if (a){\nb();\n}\n"},
      {"CR LF and blanks", "[Common]\r\nIndentCount = 3 \r\n", {}, "if (a)\n{\n   b();\n}\n"},
      {"out of range",
       "[Common]\nIndentCount=12\nBracketStyle=7\nInsertMode=5\n",
       {},
       "if (a)\n{\n        b();\n}\n"},
      {"negative indent", "[Common]\nIndentCount=-3\n", {}, "if (a)\n{\nb();\n}\n"},
      {"not a number", "[Common]\nIndentCount=four\n", {}, "if (a)\n{\nb();\n}\n"},
      {"other section",
       "[Settings]\nIndentCount=4\nBracketStyle=1\n",
       {},
       "if (a)\n{\n  b();\n}\n"},
      {"empty file", "", {}, "if (a)\n{\n  b();\n}\n"},
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

TEST(CliSettings, AReadOnlySettingsFileIsRead) {
  TempDir dir;
  std::string settings = dir.Write("vtrl.ini", "[Common]\nInsertMode=1\n");
  ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
  ProcessResult result = RunProcess(kCli, {"--settings", settings, dir.Write("in.js", kScript)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "if (a)\n{\n\tb();\n}\n");
}

TEST(CliSettings, ASettingsOrLanguageFileThatCannotBeReadIsABadArgument) {
  TempDir dir;
  std::string script = dir.Write("in.js", kScript);
  const std::vector<std::vector<std::string>> cases = {
      {"--settings", dir.Path("missing.ini"), script},
      {"--settings", dir.Root().string(), script},
      {"--lang", dir.Path("missing.lng"), script},
      {"--lang", dir.Root().string(), script},
  };
  for (const std::vector<std::string>& args : cases) {
    ProcessResult result = RunProcess(kCli, args);
    EXPECT_EQ(result.status, 6) << args[0] << " " << args[1];
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(args[0]), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(args[1]), std::string::npos) << result.err;
  }
  EXPECT_NE(RunProcess(kCli, {"--tabs", "--spaces", script}).status, 0);
}

TEST(CliLanguage, TheShippedTranslationsSpeak) {
  TempDir dir;
  std::string missing = dir.Path("missing.js");
  ProcessResult german = RunProcess(kCli, {"--lang", kLangDir + "/german.lng", missing});
  EXPECT_EQ(german.status, 4);
  EXPECT_EQ(german.err, "Fehler beim Öffnen der Datei: " + missing + "\n");

  std::string page = dir.Write("page.html", "<html><body>no script</body></html>");
  ProcessResult russian = RunProcess(kCli, {"--lang", kLangDir + "/russian.lng", page});
  EXPECT_EQ(russian.status, 2);
  EXPECT_EQ(russian.err, "В файле не найдено ни одного тега <script>: " + page + "\n");
}

struct MessageCase {
  const char* label;
  std::string language;  // the language file's bytes
  const char* message;   // standard error, "@" standing for the input's path
};

TEST(CliLanguage, MessagesComeFromTheFileAndHostileTemplatesStayText) {
  const std::vector<MessageCase> cases = {
      {"translated", "[Common]\nFileOpenErrorMsg=Kann %s nicht lesen\n", "Kann @ nicht lesen\n"},
      {"BOM and CR LF", "\xEF\xBB\xBF[common]\r\nfileopenerrormsg = Kann %s nicht lesen \r\n",
       "Kann @ nicht lesen\n"},
      {"key missing", "[Common]\nRunButton=Los\n", "Error occurred during opening file: @\n"},
      {"empty value", "[Common]\nFileOpenErrorMsg=\n", "Error occurred during opening file: @\n"},
      {"other section", "[Deutsch]\nFileOpenErrorMsg=Kann %s nicht lesen\n",
       "Error occurred during opening file: @\n"},
      {"empty file", "", "Error occurred during opening file: @\n"},
      {"no conversion", "[Common]\nFileOpenErrorMsg=Datei fehlt\n", "Datei fehlt\n"},
      {"several conversions", "[Common]\nFileOpenErrorMsg=%s%s%s%n\n", "@%s%s%n\n"},
      {"%d where %s is expected", "[Common]\nFileOpenErrorMsg=Datei %d fehlt\n",
       "Datei %d fehlt\n"},
      {"100%", "[Common]\nFileOpenErrorMsg=100%\n", "100%\n"},
      {"a lone %", "[Common]\nFileOpenErrorMsg=%\n", "%\n"},
      {"cut to 999", "[Common]\nFileOpenErrorMsg=" + std::string(1200, 'x') + "%s\n", nullptr},
  };
  for (const MessageCase& c : cases) {
    TempDir dir;
    std::string language = dir.Write("x.lng", c.language);
    std::string missing = dir.Path("missing.js");
    ProcessResult result = RunProcess(kCli, {"--lang", language, missing});
    EXPECT_EQ(result.status, 4) << c.label;
    std::string expected = c.message ? c.message : std::string(999, 'x') + "\n";
    for (std::size_t at; (at = expected.find('@')) != std::string::npos;)
      expected.replace(at, 1, missing);
    EXPECT_EQ(result.err, expected) << c.label;
  }
}

TEST(CliLanguage, HelpNamesTheNewOptions) {
  ProcessResult result = RunProcess(kCli, {"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* word : {"--settings FILE", "--lang FILE", "--spaces", "vtrl.ini", "6  "})
    EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace vantorel::testing
