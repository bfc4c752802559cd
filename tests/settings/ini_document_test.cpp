// The INI module's rules, on texts in memory.
#include "ini_document.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace vantorel {
namespace {

// The text after one WriteString, which must succeed.
std::string AfterWrite(const std::string& text, std::string_view section, std::string_view key,
                       std::string_view value) {
  CIniDocument document(text);
  EXPECT_TRUE(document.WriteString(section, key, value)) << key << "=" << value;
  return document.ToBytes();
}

TEST(IniDocument, ParsesFromAStreamAndPrintsTheSameBytes) {
  const std::string texts[] = {
      "",
      "[Common]\nA=1\n",
      "[Common]\r\nA=1\r\n\r\n; note\r\n[Other]\r\nB = two \r\n",
      "no section=1\n[Common]\nA=1",  // no final line end
      "[Common]\nA=a\rb\n\n\n",       // a lone CR stays in its line
      "\xEF\xBB\xBF[Common]\nA=\xC3\xA4\n",
  };
  for (const std::string& text : texts) {
    std::istringstream in(text);
    std::ostringstream out;
    CIniDocument::Parse(in).Print(out);
    EXPECT_EQ(out.str(), text);
  }
}

TEST(IniDocument, SectionsAndKeysMatchWithoutRegardToCase) {
  CIniDocument document("[common]\nindentcount=5\n[OTHER]\nKEY=x\n");
  EXPECT_EQ(document.ReadInt("Common", "IndentCount", 2), 5);
  EXPECT_EQ(document.ReadInt("COMMON", "INDENTCOUNT", 2), 5);
  EXPECT_EQ(document.ReadString("other", "key", "d"), "x");
}

TEST(IniDocument, BytesAboveAsciiCompareExactly) {
  // "Ä" is C3 84 and "ä" is C3 A4: no case folding outside ASCII.
  CIniDocument document("[\xC3\x84]\nkey\xC3\x84=1\n");
  EXPECT_EQ(document.ReadString("\xC3\xA4", "key\xC3\x84", "d"), "d");
  EXPECT_EQ(document.ReadString("\xC3\x84", "KEY\xC3\xA4", "d"), "d");
  EXPECT_EQ(document.ReadString("\xC3\x84", "KEY\xC3\x84", "d"), "1");
}

TEST(IniDocument, MissingSectionOrKeyGivesTheDefault) {
  CIniDocument document("A=0\n[Common]\nA=1\n[Other]\nB=2\n");
  EXPECT_EQ(document.ReadString("Common", "B", "none"), "none") << "B is in another section";
  EXPECT_EQ(document.ReadString("Missing", "A", "none"), "none");
  EXPECT_EQ(document.ReadInt("Common", "Missing", 7), 7);
  EXPECT_EQ(CIniDocument().ReadString("Common", "A", "empty file"), "empty file");
  EXPECT_EQ(document.ReadString("Common", "A", ""), "1") << "the line before any section";
}

TEST(IniDocument, ValuesAndNamesAreReadWithoutSurroundingBlanks) {
  CIniDocument document("  [ Common ]  \n\t Key \t=  a  b \t\n");
  EXPECT_EQ(document.ReadString("Common", "Key", ""), "a  b");
  EXPECT_EQ(document.ReadInt("Common", "Key", 3), 0);
}

TEST(IniDocument, EmptyValueIsEmptyTextButNoInteger) {
  CIniDocument document("[Common]\nName=\nCount=   \n");
  EXPECT_EQ(document.ReadString("Common", "Name", "default"), "");
  EXPECT_EQ(document.ReadInt("Common", "Count", 4), 4);
}

TEST(IniDocument, CommentLinesAndLinesWithoutEqualsAreNoKeys) {
  CIniDocument document("[Common]\n;A=1\n# B=2\nC\nD=x=y\n");
  EXPECT_EQ(document.ReadString("Common", "A", "-"), "-");
  EXPECT_EQ(document.ReadString("Common", ";A", "-"), "-");
  EXPECT_EQ(document.ReadString("Common", "B", "-"), "-");
  EXPECT_EQ(document.ReadString("Common", "C", "-"), "-");
  EXPECT_EQ(document.ReadString("Common", "D", "-"), "x=y") << "the first '=' splits";
}

TEST(IniDocument, TheFirstKeyFoundCounts) {
  CIniDocument document("[Common]\nA=1\na=2\n[Other]\n[common]\nA=3\nB=4\n");
  EXPECT_EQ(document.ReadString("Common", "A", ""), "1");
  EXPECT_EQ(document.ReadString("Common", "B", ""), "4") << "a repeated section is searched too";
}

TEST(IniDocument, ValuesAreCutTo999Bytes) {
  std::string longValue(1500, 'x');
  CIniDocument document("[Common]\nLong=" + longValue + "\nExact=" + std::string(999, 'y') +
                        "\nNul=ab" + std::string(1, '\0') + "cd\n");
  EXPECT_EQ(document.ReadString("Common", "Long", ""), std::string(999, 'x'));
  EXPECT_EQ(document.ReadString("Common", "Exact", ""), std::string(999, 'y'));
  EXPECT_EQ(document.ReadString("Common", "Missing", longValue), std::string(999, 'x'))
      << "a default goes through the same buffer";
  EXPECT_EQ(document.ReadString("Common", "Nul", ""), "ab");
  EXPECT_EQ(document.Find("Common", "Long")->size(), 1500u) << "Find does not cut";
}

TEST(IniDocument, IntegersAreReadLikeTheDecimalStartOfTheValue) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"5", 5},
      {"-3", -3},
      {"+7", 7},
      {"12abc", 12},
      {"1.5", 1},
      {"abc", 0},
      {"-", 0},
      {"- 4", 0},
      {"0x10", 0},
      {"2147483647", std::numeric_limits<std::int32_t>::max()},
      {"99999999999999999999", std::numeric_limits<std::int32_t>::max()},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(ParseProfileInt(value), expected) << value;
    EXPECT_EQ(CIniDocument(std::string("[s]\nk=") + value + "\n").ReadInt("s", "k", 99), expected)
        << value;
  }
}

TEST(IniDocument, WritingAnExistingKeyReplacesItsValueInPlace) {
  const std::string text =
      "; settings\n[Common]\nA=1\nindentcount = 5 \nB=2\n[Other]\nIndentCount=9\n";
  EXPECT_EQ(AfterWrite(text, "Common", "IndentCount", "8"),
            "; settings\n[Common]\nA=1\nindentcount=8\nB=2\n[Other]\nIndentCount=9\n");
}

TEST(IniDocument, ANewKeyGoesAtTheEndOfItsSection) {
  EXPECT_EQ(AfterWrite("[Common]\nA=1\n\n; about Other\n[Other]\nX=1\n", "COMMON", "B", "2"),
            "[Common]\nA=1\nB=2\n\n; about Other\n[Other]\nX=1\n");
  EXPECT_EQ(AfterWrite("[Common]\n[Other]\nX=1\n", "Common", "B", "2"),
            "[Common]\nB=2\n[Other]\nX=1\n");
  EXPECT_EQ(AfterWrite("[Common]\nA=1", "Common", "B", "2"), "[Common]\nA=1\nB=2\n");
  EXPECT_EQ(AfterWrite("[Common]\nA=1\n[Other]\n[Common]\nC=3\n", "Common", "B", "2"),
            "[Common]\nA=1\nB=2\n[Other]\n[Common]\nC=3\n")
      << "the first of two sections of that name takes it";
}

TEST(IniDocument, AMissingSectionIsAppendedAtTheEnd) {
  EXPECT_EQ(AfterWrite("", "Common", "A", "1"), "[Common]\nA=1\n");
  EXPECT_EQ(AfterWrite("[Other]\nX=1\n", "Common", "A", "1"), "[Other]\nX=1\n\n[Common]\nA=1\n");
  EXPECT_EQ(AfterWrite("[Other]\nX=1", "Common", "A", "1"), "[Other]\nX=1\n\n[Common]\nA=1\n");
  EXPECT_EQ(AfterWrite("[Other]\nX=1\n\n", "Common", "A", "1"), "[Other]\nX=1\n\n[Common]\nA=1\n");
}

TEST(IniDocument, LineEndsOfTheTextAreKept) {
  EXPECT_EQ(AfterWrite("[Common]\r\nA=1\r\n[Other]\r\nX=1\r\n", "Common", "B", "2"),
            "[Common]\r\nA=1\r\nB=2\r\n[Other]\r\nX=1\r\n");
  EXPECT_EQ(AfterWrite("[Common]\r\nA=1\nC=3\r\n", "Common", "A", "5"), "[Common]\r\nA=5\nC=3\r\n");
  EXPECT_EQ(AfterWrite("[Other]\r\nX=1", "Common", "A", "1"),
            "[Other]\r\nX=1\r\n\r\n[Common]\r\nA=1\r\n");
  // A last line that ends in a CR keeps it as part of its text.
  EXPECT_EQ(AfterWrite("[\n=\r", "Common", "A", "1"), "[\n=\r\r\n\n[Common]\nA=1\n");
  EXPECT_EQ(AfterWrite("[Common]\nX=\r", "Common", "A", "1"), "[Common]\nX=\r\r\nA=1\n");
}

TEST(IniDocument, AnEmptyValueWritesTheKey) {
  EXPECT_EQ(AfterWrite("[Common]\nA=1\n", "Common", "A", ""), "[Common]\nA=\n");
  EXPECT_EQ(AfterWrite("[Common]\n", "Common", "B", ""), "[Common]\nB=\n");
}

TEST(IniDocument, AByteOrderMarkStaysInFront) {
  CIniDocument document("\xEF\xBB\xBF[Common]\nA=1\n");
  EXPECT_EQ(document.ReadString("Common", "A", ""), "1");
  EXPECT_TRUE(document.WriteString("Common", "A", "2"));
  EXPECT_EQ(document.ToBytes(), "\xEF\xBB\xBF[Common]\nA=2\n");
}

TEST(IniDocument, WhatCannotBeReadBackIsNotWritten) {
  const std::string text = "[Common]\nA=1\n";
  const std::pair<std::string, std::string> names[] = {
      {"", "A"},        {" Common", "A"}, {"Com]mon", "A"},  {"Com\nmon", "A"},
      {"Common", ""},   {"Common", "A "}, {"Common", "A=B"}, {"Common", "[A"},
      {"Common", ";A"}, {"Common", "#A"}, {"Common", "A\r"},
  };
  for (const auto& [section, key] : names) {
    CIniDocument document(text);
    EXPECT_FALSE(document.WriteString(section, key, "1")) << section << "/" << key;
    EXPECT_EQ(document.ToBytes(), text);
  }
  const std::string values[] = {"a\nB=2", "a\rb", std::string("a\0b", 3)};
  for (const std::string& value : values) {
    CIniDocument document(text);
    EXPECT_FALSE(document.WriteString("Common", "A", value));
    EXPECT_EQ(document.ToBytes(), text);
  }
}

TEST(IniDocument, WrittenValuesReadBack) {
  CIniDocument document;
  ASSERT_TRUE(document.WriteString("Common", "Path", "/home/x/My Files/a b.js"));
  ASSERT_TRUE(document.WriteString("Common", "Padded", "  v  "));
  ASSERT_TRUE(document.WriteString("Common", "Quoted", "\"q\""));
  EXPECT_EQ(document.ReadString("Common", "Path", ""), "/home/x/My Files/a b.js");
  EXPECT_EQ(document.ReadString("Common", "Padded", ""), "v") << "blanks around are not kept";
  EXPECT_EQ(document.ReadString("Common", "Quoted", ""), "\"q\"") << "quotes are kept";
}

}  // namespace
}  // namespace vantorel
