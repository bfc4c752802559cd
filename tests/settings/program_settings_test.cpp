// The nine settings of the program and the rules the window program applies to them.
#include "program_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "language_table.h"
#include "temp_dir.h"

namespace vantorel {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

const char kDefaultFile[] =
    "[Common]\n"
    "OptionClose=1\n"
    "OpenInNotePad=1\n"
    "RunAfterDrop=1\n"
    "LanFileName=\n"
    "BracketStyle=0\n"
    "InsertMode=0\n"
    "IndentCount=2\n"
    "InputFileName=\n"
    "OutputFileName=\n";

TEST(ProgramSettings, TheNineKeysInTheirOrder) {
  const char* keys[] = {"OptionClose", "OpenInNotePad", "RunAfterDrop",
                        "LanFileName", "BracketStyle",  "InsertMode",
                        "IndentCount", "InputFileName", "OutputFileName"};
  const EntryKind kinds[] = {Integer, Integer, Integer, String, Integer,
                             Integer, Integer, String,  String};
  const std::int32_t defaults[] = {1, 1, 1, 0, 0, 0, 2, 0, 0};
  ASSERT_EQ(kSettingDefs.size(), 9u);
  for (std::size_t i = 0; i < kSettingDefs.size(); ++i) {
    EXPECT_EQ(kSettingDefs[i].key, keys[i]);
    EXPECT_EQ(kSettingDefs[i].kind, kinds[i]) << keys[i];
    EXPECT_EQ(kSettingDefs[i].integerDefault, defaults[i]) << keys[i];
    EXPECT_EQ(kSettingDefs[i].textDefault, "") << keys[i];
    EXPECT_EQ(static_cast<std::size_t>(kSettingDefs[i].id), i) << keys[i];
  }
  EXPECT_EQ(kSettingsFileName, "vtrl.ini");
  EXPECT_EQ(kSettingsSection, "Common");
}

TEST(ProgramSettings, RulesForValuesRead) {
  EXPECT_EQ(ClampIndentCount(-3), 0);
  EXPECT_EQ(ClampIndentCount(0), 0);
  EXPECT_EQ(ClampIndentCount(5), 5);
  EXPECT_EQ(ClampIndentCount(8), 8);
  EXPECT_EQ(ClampIndentCount(12), 8);
  EXPECT_EQ(ValidBracketStyle(1), 1);
  EXPECT_EQ(ValidBracketStyle(7), 0);
  EXPECT_EQ(ValidBracketStyle(-1), 0);
  EXPECT_EQ(ValidInsertMode(1), 1);
  EXPECT_EQ(ValidInsertMode(5), 0);
}

TEST(ProgramSettings, KeysAreFoundWithoutRegardToCase) {
  EXPECT_EQ(FindSetting("indentcount"), SettingId::IndentCount);
  EXPECT_EQ(FindSetting("LANFILENAME"), SettingId::LanFileName);
  EXPECT_EQ(FindSetting("IndentCounts"), std::nullopt);
  EXPECT_EQ(FindSetting(""), std::nullopt);
}

TEST(ProgramSettings, StoringALoadedValueAppliesTheRules) {
  ProgramSettings settings;
  SettingValue value{12, "ignored"};
  EXPECT_EQ(StoreLoadedSetting(settings, "INDENTCOUNT", value), SettingId::IndentCount);
  EXPECT_EQ(settings.indentCount, 8);
  value.integer = 300;
  StoreLoadedSetting(settings, "OpenInNotePad", value);
  EXPECT_EQ(settings.openInNotePad, 300) << "any non-zero value is kept as read";
  value.text = "/a/b.lng";
  EXPECT_EQ(StoreLoadedSetting(settings, "lanfilename", value), SettingId::LanFileName);
  EXPECT_EQ(settings.lanFileName, "/a/b.lng");
  EXPECT_EQ(StoreLoadedSetting(settings, "Unknown", value), std::nullopt);
}

TEST(ProgramSettings, FetchingCopiesTheFieldAndLeavesUnknownKeysAlone) {
  ProgramSettings settings;
  settings.insertMode = 1;
  settings.outputFileName = "out.js";
  SettingValue value;
  FetchSetting(settings, "insertmode", value);
  EXPECT_EQ(value.integer, 1);
  FetchSetting(settings, "OutputFileName", value);
  EXPECT_EQ(value.text, "out.js");
  SettingValue untouched{42, "x"};
  FetchSetting(settings, "Nothing", untouched);
  EXPECT_EQ(untouched.integer, 42);
  EXPECT_EQ(untouched.text, "x");
}

class SettingsFileTest : public ::testing::Test {
 protected:
  // Loads the file as the window program does, into a fresh ProgramSettings.
  ProgramSettings Load() {
    ProgramSettings settings;
    CProfileSettings store;
    BindSettings(store, settings);
    store.SetFileName(path_);
    store.Load();
    return settings;
  }
  bool Save(ProgramSettings& settings) {
    CProfileSettings store;
    BindSettings(store, settings);
    store.SetFileName(path_);
    return store.Save();
  }

  TempDir dir_;
  std::string path_ = dir_.Path("vtrl.ini");
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaultsAndTheFirstSaveWritesTheTable) {
  ProgramSettings settings = Load();
  EXPECT_EQ(settings.optionClose, 1);
  EXPECT_EQ(settings.openInNotePad, 1);
  EXPECT_EQ(settings.runAfterDrop, 1);
  EXPECT_EQ(settings.lanFileName, "");
  EXPECT_EQ(settings.bracketStyle, 0);
  EXPECT_EQ(settings.insertMode, 0);
  EXPECT_EQ(settings.indentCount, 2);
  EXPECT_EQ(settings.inputFileName, "");
  EXPECT_EQ(settings.outputFileName, "");
  EXPECT_TRUE(Save(settings));
  EXPECT_EQ(ReadFileBytes(path_), kDefaultFile);
}

TEST_F(SettingsFileTest, ValuesOutOfRangeAreHeldAndSavedBackInRange) {
  dir_.Write("vtrl.ini",
             "[Common]\nIndentCount=12\nBracketStyle=7\nInsertMode=5\nOpenInNotePad=300\n");
  ProgramSettings settings = Load();
  EXPECT_EQ(settings.indentCount, 8);
  EXPECT_EQ(settings.bracketStyle, 0);
  EXPECT_EQ(settings.insertMode, 0);
  EXPECT_EQ(settings.openInNotePad, 300);
  EXPECT_TRUE(Save(settings));
  EXPECT_EQ(ReadFileBytes(path_),
            "[Common]\nIndentCount=8\nBracketStyle=0\nInsertMode=0\nOpenInNotePad=300\n"
            "OptionClose=1\nRunAfterDrop=1\nLanFileName=\nInputFileName=\nOutputFileName=\n");

  dir_.Write("vtrl.ini", "[Common]\nIndentCount=-3\nInsertMode=1\nBracketStyle=1\n");
  settings = Load();
  EXPECT_EQ(settings.indentCount, 0);
  EXPECT_EQ(settings.insertMode, 1);
  EXPECT_EQ(settings.bracketStyle, 1);
}

TEST_F(SettingsFileTest, KeysInOtherLetterCaseAreFoundAndKeepTheirSpelling) {
  dir_.Write("vtrl.ini", "[common]\nindentcount=5\ninputfilename=/src/a.js\n");
  ProgramSettings settings = Load();
  EXPECT_EQ(settings.indentCount, 5);
  EXPECT_EQ(settings.inputFileName, "/src/a.js");
  settings.indentCount = 6;
  EXPECT_TRUE(Save(settings));
  std::string saved = ReadFileBytes(path_);
  EXPECT_EQ(saved.substr(0, saved.find("OptionClose")),
            "[common]\nindentcount=6\ninputfilename=/src/a.js\n");
}

TEST_F(SettingsFileTest, NamesWithBlanksAndLongNamesSurvive) {
  ProgramSettings settings;
  settings.inputFileName = "/home/u/My Pages/ä b.html";
  settings.outputFileName = std::string(1200, 'o');
  EXPECT_TRUE(Save(settings));
  ProgramSettings loaded = Load();
  EXPECT_EQ(loaded.inputFileName, "/home/u/My Pages/ä b.html");
  EXPECT_EQ(loaded.outputFileName, std::string(999, 'o'));
}

TEST_F(SettingsFileTest, TheLayoutOfTheSettings) {
  dir_.Write("vtrl.ini", "[Common]\nBracketStyle=1\nInsertMode=1\nIndentCount=9\n");
  LayoutOptions layout = LayoutOf(LoadProgramSettings(path_));
  EXPECT_EQ(layout.bracketStyle, 1);
  EXPECT_EQ(layout.insertMode, 1);
  EXPECT_EQ(layout.indentCount, 8);
  LayoutOptions defaults = LayoutOf(LoadProgramSettings(dir_.Path("missing.ini")));
  EXPECT_EQ(defaults.bracketStyle, 0);
  EXPECT_EQ(defaults.insertMode, 0);
  EXPECT_EQ(defaults.indentCount, 2);
}

TEST_F(SettingsFileTest, ALanguageFileThatIsGoneIsClearedAndSavedEmpty) {
  std::string language = dir_.Write("gone.lng", "[Common]\nRunButton=Los\n");
  dir_.Write("vtrl.ini", "[Common]\nLanFileName=" + language + "\n");
  std::string runButton;
  CLanguageTable table;
  table.SetSection("Common");
  table.AddText("RunButton", &runButton, String, "&Run");

  ProgramSettings settings = Load();
  EXPECT_TRUE(ApplyLanguageFile(settings, table));
  EXPECT_EQ(runButton, "Los");
  EXPECT_EQ(settings.lanFileName, language);

  std::filesystem::remove(language);
  settings = Load();
  EXPECT_TRUE(ApplyLanguageFile(settings, table));
  EXPECT_EQ(runButton, "&Run");
  EXPECT_EQ(settings.lanFileName, "");
  EXPECT_TRUE(Save(settings));
  EXPECT_NE(ReadFileBytes(path_).find("\nLanFileName=\n"), std::string::npos);

  settings.lanFileName = dir_.Root().string();
  ApplyLanguageFile(settings, table);
  EXPECT_EQ(settings.lanFileName, "") << "a folder is no language file";
}

}  // namespace
}  // namespace vantorel
