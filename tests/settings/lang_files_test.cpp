// Every language file that ships in lang/ is complete and keeps the structure of each text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ini_document.h"
#include "temp_dir.h"
#include "ui_texts.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> ShippedLanguageFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(VANTOREL_LANG_DIR)) {
    if (entry.path().extension() == ".lng") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + what.size()))
    ++count;
  return count;
}

std::vector<std::string> SplitAtBars(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
  return parts;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80           ? 1
                         : (c >> 5) == 0x6  ? 2
                         : (c >> 4) == 0xE  ? 3
                         : (c >> 3) == 0x1E ? 4
                                            : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// The keys of the lines in section [Common], in file order.
std::vector<std::string> KeysInCommon(const std::string& bytes) {
  std::vector<std::string> keys;
  std::stringstream in(bytes);
  bool inCommon = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[')
      inCommon = line == "[Common]";
    else if (inCommon && !line.empty() && line[0] != ';')
      keys.push_back(line.substr(0, line.find('=')));
  }
  return keys;
}

TEST(LanguageFiles, AtLeastTwoShip) {
  std::vector<fs::path> files = ShippedLanguageFiles();
  EXPECT_GE(files.size(), 2u);
  EXPECT_TRUE(fs::exists(fs::path(VANTOREL_LANG_DIR) / "german.lng"));
  EXPECT_TRUE(fs::exists(fs::path(VANTOREL_LANG_DIR) / "russian.lng"));
}

TEST(LanguageFiles, EachHasEveryTextWithTheSamePlaceholdersMnemonicsAndFilterParts) {
  for (const fs::path& file : ShippedLanguageFiles()) {
    SCOPED_TRACE(file.filename().string());
    std::string bytes = testing::ReadFileBytes(file.string());
    EXPECT_TRUE(IsUtf8(bytes));
    std::vector<std::string> keys = KeysInCommon(bytes);
    EXPECT_EQ(keys.size(), kUiTexts.size()) << "one line per text, no unknown or repeated key";
    CIniDocument document(bytes);
    for (const UiTextDef& def : kUiTexts) {
      SCOPED_TRACE(std::string(def.key));
      EXPECT_NE(std::find(keys.begin(), keys.end(), def.key), keys.end()) << "spelt as in English";
      std::string text = document.ReadString(kLanguageSection, def.key, "");
      ASSERT_FALSE(text.empty());
      EXPECT_LT(text.size(), kMaxProfileValue);
      EXPECT_EQ(Count(text, "%"), Count(def.english, "%")) << text;
      EXPECT_EQ(Count(text, "%s"), Count(def.english, "%s")) << text;
      EXPECT_EQ(Count(text, "%d"), Count(def.english, "%d")) << text;
      EXPECT_EQ(Count(text, "&"), Count(def.english, "&")) << text;
      std::vector<std::string> parts = SplitAtBars(text);
      std::vector<std::string> english = SplitAtBars(std::string(def.english));
      ASSERT_EQ(parts.size(), english.size()) << text;
      EXPECT_EQ(text.back() == '|', def.english.back() == '|') << text;
      for (std::size_t i = 1; i < parts.size(); i += 2) {
        EXPECT_EQ(parts[i], english[i]) << "file patterns stay as they are";
      }
    }
  }
}

}  // namespace
}  // namespace vantorel
