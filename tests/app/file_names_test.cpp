#include "file_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace vantorel {
namespace {

using testing::TempDir;

struct NameCase {
  std::string name;
  std::string expected;
};

TEST(TrimName, RemovesOuterWhiteSpaceOnly) {
  const NameCase cases[] = {
      {"", ""},
      {" \t\n\v\f\r", ""},
      {"page.htm", "page.htm"},
      {"  page.htm\t", "page.htm"},
      {"\r\n/tmp/my page.htm \n", "/tmp/my page.htm"},
      {" a  b ", "a  b"},
      {"\xA0page\xA0", "\xA0page\xA0"},  // a byte of 0x80 and above is never a blank
  };
  for (const NameCase& c : cases) EXPECT_EQ(TrimName(c.name), c.expected) << '"' << c.name << '"';
}

TEST(DirectoryPart, TextBeforeTheLastSeparator) {
  const NameCase cases[] = {
      {"/home/u/src/page.htm", "/home/u/src"},
      {"/page.htm", "/"},
      {"src/page.htm", "src"},
      {"page.htm", ""},
      {"", ""},
      {"/home/u/site.v1/", "/home/u/site.v1"},
      {"/home/u/site.v1/readme", "/home/u/site.v1"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(DirectoryPart(c.name), c.expected) << c.name;
}

TEST(OutputNameFor, InsertsBeforeTheLastDotOfTheFilesOwnName) {
  const NameCase cases[] = {
      {"/src/page.html", "/src/page_out.html"},
      {"/src/script", "/src/script_out"},
      {"/src/archive.tar.gz", "/src/archive.tar_out.gz"},
      {"page.JS", "page_out.JS"},
      // A dot in a folder name is no extension: the output stays in the input's folder.
      {"/home/u/site.v1/readme", "/home/u/site.v1/readme_out"},
      {"/home/u/old.files/page.htm", "/home/u/old.files/page_out.htm"},
      {"./readme", "./readme_out"},
      {"", "_out"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(OutputNameFor(c.name), c.expected) << c.name;
}

TEST(OutputNameFor, StaysInAnExistingFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path("site.v1"));
  for (const std::string& input : {dir.Path("site.v1/readme"), dir.Path("site.v1/page.htm")}) {
    std::string output = OutputNameFor(input);
    EXPECT_NE(output, input);
    EXPECT_EQ(DirectoryPart(output), DirectoryPart(input)) << output;
    EXPECT_TRUE(std::filesystem::is_directory(DirectoryPart(output))) << output;
  }
}

TEST(FileExtension, FromTheLastDotOfTheWholeTextAndOnlyJsIsAScript) {
  // The last dot counts even in a folder name: the run only compares the extension with ".js".
  const struct {
    const char* name;
    const char* extension;
    bool script;
  } cases[] = {
      {"x.js", ".js", true},
      {"x.JS", ".JS", true},
      {"C:\\dir\\a.Js", ".Js", true},
      {".js", ".js", true},
      {"x.js.htm", ".htm", false},
      {"x.html", ".html", false},
      {"x.jsx", ".jsx", false},
      {"x", "", false},
      {"x.", ".", false},
      {"dir.js/page", ".js/page", false},
      {"/old.files/readme", ".files/readme", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExtension(c.name), c.extension) << c.name;
    EXPECT_EQ(IsScriptFileName(c.name), c.script) << c.name;
  }
}

TEST(FileExists, TrueForFilesOnly) {
  TempDir dir;
  std::string file = dir.Write("page.htm", "<html>");
  std::filesystem::create_directory(dir.Path("folder"));
  std::string longName = dir.Path(std::string(200, 'a'));
  std::filesystem::create_directories(longName + "/" + std::string(200, 'b'));
  std::string deepFile =
      dir.Write(std::string(200, 'a') + "/" + std::string(200, 'b') + "/x.js", "");

  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(deepFile)) << "names longer than 260 characters are fine";
  EXPECT_FALSE(FileExists(dir.Path("folder")));
  EXPECT_FALSE(FileExists(dir.Path("missing.htm")));
  EXPECT_FALSE(FileExists(""));

  // A relative name is taken relative to the current folder.
  std::string old = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Root());
  EXPECT_TRUE(FileExists("page.htm"));
  EXPECT_FALSE(FileExists("folder"));
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace vantorel
