// The settings store: registration order, callbacks, and what it leaves in the file.
#include "profile_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace vantorel {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// What the callbacks saw, one line per call: "context key kind value".
struct CallLog {
  std::string name;
  std::vector<std::string> calls;
};

void RecordLoad(void* context, std::string_view key, EntryKind kind, const SettingValue& value) {
  auto* log = static_cast<CallLog*>(context);
  std::string shown = kind == Integer ? std::to_string(value.integer) : value.text;
  log->calls.push_back(log->name + " " + std::string(key) + " " + std::to_string(kind) + " " +
                       shown);
}

// Hands out "v<key>" for texts and the key's length for integers; knows nothing of key "Skip".
void FillSave(void* context, std::string_view key, EntryKind kind, SettingValue& value) {
  auto* log = static_cast<CallLog*>(context);
  log->calls.push_back(log->name + " " + std::string(key) + " " + std::to_string(kind));
  if (key == "Skip") return;
  value.integer = static_cast<std::int32_t>(key.size());
  value.text = "v" + std::string(key);
}

class ProfileSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.SetFileName(path_);
    store_.AddEntry("Count", "Common", Integer, 5);
    store_.AddEntry("Name", "Common", String, "default name");
    store_.AddEntry("Label", "Common", WindowText, "ignored");
    store_.AddEntry("Other", "Second", Integer, -1);
  }

  TempDir dir_;
  std::string path_ = dir_.Path("vtrl.ini");
  CProfileSettings store_;
  CallLog log_{"log", {}};
};

TEST_F(ProfileSettingsTest, LoadWithoutAFileHandsOutTheDefaultsInRegistrationOrder) {
  store_.SetLoadCallback(&log_, RecordLoad);
  EXPECT_TRUE(store_.Load());
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"log Count 3 5", "log Name 2 default name",
                                                  "log Other 3 -1"}));
  EXPECT_FALSE(std::filesystem::exists(path_)) << "loading creates nothing";
}

TEST_F(ProfileSettingsTest, LoadReadsEachKeyFromItsSection) {
  dir_.Write("vtrl.ini", "[common]\nNAME= from file \ncount=12\n[Second]\nOther=x\n");
  store_.SetLoadCallback(&log_, RecordLoad);
  store_.Load();
  EXPECT_EQ(log_.calls,
            (std::vector<std::string>{"log Count 3 12", "log Name 2 from file", "log Other 3 0"}));
}

TEST_F(ProfileSettingsTest, LoadWithoutACallbackDoesNothing) {
  EXPECT_TRUE(store_.Load());
}

TEST_F(ProfileSettingsTest, SaveAsksForEveryEntryAndWritesThemInRegistrationOrder) {
  store_.SetSaveCallback(&log_, FillSave);
  EXPECT_TRUE(store_.Save());
  EXPECT_EQ(log_.calls,
            (std::vector<std::string>{"log Count 3", "log Name 2", "log Label 1", "log Other 3"}));
  EXPECT_EQ(ReadFileBytes(path_), "[Common]\nCount=5\nName=vName\n\n[Second]\nOther=5\n");
}

TEST_F(ProfileSettingsTest, WithoutASaveCallbackTextsAreEmptyAndIntegersZero) {
  EXPECT_TRUE(store_.Save());
  EXPECT_EQ(ReadFileBytes(path_), "[Common]\nCount=0\nName=\n\n[Second]\nOther=0\n");
}

TEST_F(ProfileSettingsTest, ACallbackThatDoesNotKnowTheKeyLeavesTheValueEmpty) {
  CProfileSettings store;
  store.SetFileName(path_);
  store.AddEntry("Skip", "Common", String, "d");
  store.AddEntry("Skip", "Common2", Integer, 4);
  store.SetSaveCallback(&log_, FillSave);
  EXPECT_TRUE(store.Save());
  EXPECT_EQ(ReadFileBytes(path_), "[Common]\nSkip=\n\n[Common2]\nSkip=0\n");
}

TEST_F(ProfileSettingsTest, OneContextServesBothCallbacks) {
  CallLog other{"other", {}};
  store_.SetLoadCallback(&log_, RecordLoad);
  store_.SetSaveCallback(&other, FillSave);
  store_.Load();
  EXPECT_TRUE(log_.calls.empty());
  ASSERT_EQ(other.calls.size(), 3u) << "installing the save callback replaced the context";
  EXPECT_EQ(other.calls[0], "other Count 3 5");
}

TEST_F(ProfileSettingsTest, ClearRemovesTheEntriesButKeepsPathAndCallbacks) {
  store_.SetLoadCallback(&log_, RecordLoad);
  store_.Clear();
  store_.AddEntry("Only", "Common", Integer, 9);
  store_.Load();
  EXPECT_EQ(log_.calls, std::vector<std::string>{"log Only 3 9"});
  EXPECT_EQ(store_.GetFileName(), path_);
}

TEST_F(ProfileSettingsTest, SavedTextsAreCutTo999BytesAndAtANul) {
  CProfileSettings store;
  store.SetFileName(path_);
  store.AddEntry("Long", "Common", String, "");
  store.AddEntry("Nul", "Common", String, "");
  store.SetSaveCallback(nullptr, [](void*, std::string_view key, EntryKind, SettingValue& value) {
    value.text = key == "Long" ? std::string(1200, 'x') : std::string("ab\0cd", 5);
  });
  EXPECT_TRUE(store.Save());
  EXPECT_EQ(ReadFileBytes(path_), "[Common]\nLong=" + std::string(999, 'x') + "\nNul=ab\n");
}

TEST_F(ProfileSettingsTest, ARoundTripLeavesForeignLinesAlone) {
  const std::string before =
      "; written by hand\r\n"
      "[Window]\r\n"
      "Count=77\r\n"
      "\r\n"
      "[COMMON]\r\n"
      "Extra=keep me\r\n"
      "; the name\r\n"
      "name=old\r\n"
      "\r\n"
      "[Second]\r\n"
      "other=1\r\n";
  dir_.Write("vtrl.ini", before);
  store_.SetSaveCallback(&log_, FillSave);
  EXPECT_TRUE(store_.Save());
  EXPECT_EQ(ReadFileBytes(path_),
            "; written by hand\r\n"
            "[Window]\r\n"
            "Count=77\r\n"
            "\r\n"
            "[COMMON]\r\n"
            "Extra=keep me\r\n"
            "; the name\r\n"
            "name=vName\r\n"
            "Count=5\r\n"
            "\r\n"
            "[Second]\r\n"
            "other=5\r\n");
}

TEST_F(ProfileSettingsTest, AReadOnlyFileIsNoErrorAndStaysAsItWas) {
  std::string path = dir_.Write("vtrl.ini", "[Common]\nCount=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  store_.SetSaveCallback(&log_, FillSave);
  EXPECT_FALSE(store_.Save()) << "reported as a value, never as a message";
  EXPECT_EQ(log_.calls.size(), 4u);
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nCount=1\n");
}

TEST_F(ProfileSettingsTest, AFileThatAlreadyHoldsTheValuesNeedsNoWrite) {
  std::string path = dir_.Write("vtrl.ini", "[Common]\nCount=5\nName=vName\n\n[Second]\nOther=5\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  store_.SetSaveCallback(&log_, FillSave);
  EXPECT_TRUE(store_.Save());
}

TEST_F(ProfileSettingsTest, AValueThatCannotBeWrittenKeepsItsOldLine) {
  std::string path = dir_.Write("vtrl.ini", "[Common]\nName=old\n");
  store_.SetSaveCallback(nullptr, [](void*, std::string_view key, EntryKind, SettingValue& value) {
    value.text = "line\nbreak";
    value.integer = key == "Count" ? 3 : 4;
  });
  EXPECT_FALSE(store_.Save());
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nName=old\nCount=3\n\n[Second]\nOther=4\n");
}

}  // namespace
}  // namespace vantorel
