// The language table: which text each target gets from which file.
#include "language_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace vantorel {
namespace {

using testing::TempDir;

// A window that records the texts it is given, in one log shared by all of them.
class CFakeWindow : public CTextWindow {
 public:
  CFakeWindow(std::string name, std::vector<std::string>* log)
      : name_(std::move(name)), log_(log) {}
  void SetWindowText(std::string_view text) override {
    text_ = text;
    log_->push_back(name_ + ": " + text_);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string name_;
  std::vector<std::string>* log_;
  std::string text_ = "(template)";
};

class LanguageTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.SetSection("Common");
    table_.AddText("AppTitle", &caption_, WindowText, "Vantorel");
    table_.AddText("RunButton", &runButton_, WindowText, "&Run");
    table_.AddText("FileOpenErrorMsg", &openError_, String,
                   "Error occurred during opening file: %s");
    table_.AddText("CurrentLine", &currentLine_, String, "Current Line: %d");
  }

  std::vector<std::string> log_;
  CFakeWindow caption_{"caption", &log_};
  CFakeWindow runButton_{"run", &log_};
  std::string openError_ = "(unset)";
  std::string currentLine_ = "(unset)";
  CLanguageTable table_;
  TempDir dir_;
};

TEST_F(LanguageTableTest, NoFileAppliesEveryDefaultInRegistrationOrder) {
  EXPECT_TRUE(table_.SetLanguageFile(""));
  EXPECT_EQ(log_, (std::vector<std::string>{"caption: Vantorel", "run: &Run"}));
  EXPECT_EQ(openError_, "Error occurred during opening file: %s");
  EXPECT_EQ(currentLine_, "Current Line: %d");
  EXPECT_EQ(table_.GetLanguageFile(), "");
}

TEST_F(LanguageTableTest, AFileReplacesWhatItHasAndLeavesTheRestEnglish) {
  std::string file = dir_.Write("de.lng", "[Common]\nRunButton=&Ausführen\nAppTitle=\n");
  EXPECT_TRUE(table_.SetLanguageFile(file));
  EXPECT_EQ(runButton_.Text(), "&Ausführen");
  EXPECT_EQ(caption_.Text(), "Vantorel") << "an empty value leaves the default";
  EXPECT_EQ(openError_, "Error occurred during opening file: %s");
  EXPECT_EQ(table_.GetLanguageFile(), file);
}

TEST_F(LanguageTableTest, SwitchingFilesShowsTheDefaultForWhatTheNewFileLacks) {
  std::string a = dir_.Write("a.lng", "[Common]\nRunButton=A run\nCurrentLine=A %d\n");
  std::string b = dir_.Write("b.lng", "[Common]\nAppTitle=B title\n");
  EXPECT_TRUE(table_.SetLanguageFile(a));
  EXPECT_EQ(runButton_.Text(), "A run");
  EXPECT_EQ(currentLine_, "A %d");
  EXPECT_TRUE(table_.SetLanguageFile(b));
  EXPECT_EQ(runButton_.Text(), "&Run");
  EXPECT_EQ(currentLine_, "Current Line: %d");
  EXPECT_EQ(caption_.Text(), "B title");
  EXPECT_TRUE(table_.SetLanguageFile(""));
  EXPECT_EQ(caption_.Text(), "Vantorel");
}

TEST_F(LanguageTableTest, ASectionOtherThanCommonGivesTheDefaults) {
  std::string file = dir_.Write("x.lng", "[Deutsch]\nRunButton=Los\n");
  EXPECT_TRUE(table_.SetLanguageFile(file));
  EXPECT_EQ(runButton_.Text(), "&Run");
}

TEST_F(LanguageTableTest, KeysAndTheSectionMatchInAnyLetterCase) {
  std::string file = dir_.Write("x.lng", "[COMMON]\r\nrunbutton = Los \r\n");
  EXPECT_TRUE(table_.SetLanguageFile(file));
  EXPECT_EQ(runButton_.Text(), "Los");
}

TEST_F(LanguageTableTest, AReadOnlyFileIsUsed) {
  std::string file = dir_.Write("ro.lng", "[Common]\nRunButton=Los\n");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_TRUE(table_.SetLanguageFile(file));
  EXPECT_TRUE(table_.CanOpenLanguageFile());
  EXPECT_EQ(runButton_.Text(), "Los");
}

TEST_F(LanguageTableTest, AFileThatCannotBeReadLeavesNoTargetWithoutText) {
  std::string a = dir_.Write("a.lng", "[Common]\nRunButton=A run\n");
  EXPECT_TRUE(table_.SetLanguageFile(a));
  for (const std::string& bad : {dir_.Path("missing.lng"), dir_.Root().string()}) {
    EXPECT_FALSE(table_.SetLanguageFile(bad)) << bad;
    EXPECT_FALSE(table_.CanOpenLanguageFile());
    EXPECT_EQ(table_.GetLanguageFile(), bad) << "the chosen name stays";
    EXPECT_EQ(runButton_.Text(), "&Run") << bad;
    EXPECT_EQ(openError_, "Error occurred during opening file: %s") << bad;
  }
}

TEST_F(LanguageTableTest, AnEmptySectionNameMeansTheDefaults) {
  std::string file = dir_.Write("a.lng", "[]\nRunButton=A run\n");
  table_.SetSection("");
  EXPECT_TRUE(table_.SetLanguageFile(file));
  EXPECT_EQ(runButton_.Text(), "&Run");
  EXPECT_EQ(table_.GetLanguageFile(), "");
}

TEST_F(LanguageTableTest, EntriesWithoutATargetOfTheirKindAreSkipped) {
  CLanguageTable table;
  table.SetSection("Common");
  std::string text = "(unset)";
  std::string wrongKind = "(unset)";
  table.AddText("A", nullptr, WindowText, "a");
  table.AddText("B", nullptr, String, "b");
  table.AddText("C", &wrongKind, WindowText, "c");
  table.AddText("D", &runButton_, String, "d");
  table.AddText("E", &text, Integer, "e");
  table.AddText("F", &text, String, "f");
  EXPECT_TRUE(table.SetLanguageFile(""));
  EXPECT_EQ(text, "f");
  EXPECT_EQ(wrongKind, "(unset)");
  EXPECT_TRUE(log_.empty());
}

TEST_F(LanguageTableTest, ClearRemovesEveryEntry) {
  table_.Clear();
  table_.ApplyDefaults();
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(openError_, "(unset)");
}

TEST_F(LanguageTableTest, LookUpTextReadsTheCurrentFile) {
  EXPECT_EQ(table_.LookUpText("RunButton", "&Run"), "&Run") << "no file";
  std::string file =
      dir_.Write("a.lng", "[Common]\nRunButton=Los\nEmpty=\nLong=" + std::string(1500, 'x') + "\n");
  table_.SetLanguageFile(file);
  EXPECT_EQ(table_.LookUpText("RunButton", "&Run"), "Los");
  EXPECT_EQ(table_.LookUpText("runbutton", "&Run"), "Los");
  EXPECT_EQ(table_.LookUpText("Empty", "default"), "default");
  EXPECT_EQ(table_.LookUpText("Missing", "default"), "default");
  EXPECT_EQ(table_.LookUpText("Long", ""), std::string(999, 'x'));
  dir_.Write("a.lng", "[Common]\nRunButton=Start\n");
  EXPECT_EQ(table_.LookUpText("RunButton", "&Run"), "Start") << "read anew at each call";
}

TEST_F(LanguageTableTest, LoadFromFileAppliesTheFileAgain) {
  std::string file = dir_.Write("a.lng", "[Common]\nRunButton=Los\n");
  table_.SetLanguageFile(file);
  dir_.Write("a.lng", "[Common]\nAppTitle=Neu\n");
  table_.LoadFromFile();
  EXPECT_EQ(runButton_.Text(), "&Run");
  EXPECT_EQ(caption_.Text(), "Neu");
}

}  // namespace
}  // namespace vantorel
