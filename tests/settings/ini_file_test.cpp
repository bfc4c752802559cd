// The INI module on real files: missing, read-only, replaced whole.
#include "ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "temp_dir.h"

namespace vantorel {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

int CountEntries(const TempDir& dir) {
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Root())) ++entries;
  return entries;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

TEST(IniFile, AMissingFileGivesTheDefaults) {
  TempDir dir;
  EXPECT_EQ(ReadProfileString("Common", "A", "d", dir.Path("none.ini")), "d");
  EXPECT_EQ(ReadProfileInt("Common", "A", 7, dir.Path("none.ini")), 7);
  EXPECT_EQ(ReadProfileInt("Common", "A", 7, dir.Path("no/folder/none.ini")), 7);
  EXPECT_EQ(ReadProfileInt("Common", "A", 7, ""), 7);
  EXPECT_EQ(ReadProfileInt("Common", "A", 7, dir.Root().string()), 7) << "a folder";
}

TEST(IniFile, ReadsAFile) {
  TempDir dir;
  std::string path = dir.Write("a.ini", "[Common]\r\nA = text \r\nN=-3\r\n");
  EXPECT_EQ(ReadProfileString("common", "a", "", path), "text");
  EXPECT_EQ(ReadProfileInt("COMMON", "n", 0, path), -3);
}

TEST(IniFile, AWriteCreatesAMissingFile) {
  TempDir dir;
  std::string path = dir.Path("new.ini");
  EXPECT_TRUE(WriteProfileString("Common", "A", "1", path));
  EXPECT_TRUE(WriteProfileString("Common", "B", "", path));
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nA=1\nB=\n");
  EXPECT_EQ(CountEntries(dir), 1) << "no temporary file is left behind";
}

TEST(IniFile, AWriteKeepsEveryOtherLine) {
  TempDir dir;
  std::string path = dir.Write("a.ini", "; mine\r\n[Other]\r\nA=1\r\n\r\n[Common]\r\nA=1\r\n");
  EXPECT_TRUE(WriteProfileString("Common", "a", "2", path));
  EXPECT_EQ(ReadFileBytes(path), "; mine\r\n[Other]\r\nA=1\r\n\r\n[Common]\r\nA=2\r\n");
}

TEST(IniFile, AReadOnlyFileIsNotWritten) {
  TempDir dir;
  std::string path = dir.Write("ro.ini", "[Common]\nA=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(WriteProfileString("Common", "A", "2", path));
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nA=1\n");
  EXPECT_EQ(ModeOf(path), 0444u);
  EXPECT_EQ(CountEntries(dir), 1);
}

TEST(IniFile, AReadOnlyFolderTakesNoFile) {
  TempDir dir;
  std::string existing = dir.Write("a.ini", "[Common]\nA=1\n");
  ASSERT_EQ(::chmod(dir.Root().c_str(), 0555), 0);
  EXPECT_FALSE(WriteProfileString("Common", "A", "2", existing));
  EXPECT_FALSE(WriteProfileString("Common", "A", "2", dir.Path("new.ini")));
  ASSERT_EQ(::chmod(dir.Root().c_str(), 0755), 0);
  EXPECT_EQ(ReadFileBytes(existing), "[Common]\nA=1\n");
  EXPECT_EQ(CountEntries(dir), 1);
}

TEST(IniFile, NoWriteIntoAMissingFolderOrOverAFolder) {
  TempDir dir;
  EXPECT_FALSE(WriteProfileString("Common", "A", "1", dir.Path("no/such/a.ini")));
  EXPECT_FALSE(WriteProfileString("Common", "A", "1", dir.Root().string()));
  EXPECT_FALSE(WriteProfileString("Common", "A", "1", ""));
  EXPECT_EQ(CountEntries(dir), 0);
}

TEST(IniFile, AnUnreadableFileIsNotOverwritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  std::string path = dir.Write("secret.ini", "[Common]\nA=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  EXPECT_EQ(ReadProfileString("Common", "A", "d", path), "d");
  EXPECT_FALSE(WriteProfileString("Common", "B", "2", path));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nA=1\n");
}

TEST(IniFile, AReplacedFileKeepsItsPermissionsAndALinkStaysALink) {
  TempDir dir;
  std::string real = dir.Write("real.ini", "[Common]\nA=1\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::string link = dir.Path("link.ini");
  ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
  EXPECT_TRUE(WriteProfileString("Common", "A", "2", link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "[Common]\nA=2\n");
  EXPECT_EQ(ModeOf(real), 0640u);
}

TEST(IniFile, WhatCannotBeWrittenLeavesTheFileAlone) {
  TempDir dir;
  std::string path = dir.Write("a.ini", "[Common]\nA=1\n");
  EXPECT_FALSE(WriteProfileString("Common", "A", "x\n[Evil]", path));
  EXPECT_EQ(ReadFileBytes(path), "[Common]\nA=1\n");
}

TEST(IniFile, ReadableFiles) {
  TempDir dir;
  std::string file = dir.Write("a.lng", "[Common]\n");
  EXPECT_TRUE(IsReadableFile(file));
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_TRUE(IsReadableFile(file)) << "read-only is readable";
  EXPECT_FALSE(IsReadableFile(dir.Path("missing.lng")));
  EXPECT_FALSE(IsReadableFile(dir.Root().string()));
  EXPECT_FALSE(IsReadableFile(""));
  std::string fifo = dir.Path("pipe.lng");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(IsReadableFile(fifo)) << "a named pipe neither blocks nor counts";
  EXPECT_EQ(ReadProfileString("Common", "A", "d", fifo), "d");
}

}  // namespace
}  // namespace vantorel
