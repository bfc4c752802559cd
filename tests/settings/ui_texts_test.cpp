// The 39 texts of the program and their registration with the language table.
#include "ui_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace vantorel {
namespace {

class CCaption : public CTextWindow {
 public:
  void SetWindowText(std::string_view text) override { text_ = text; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

TEST(UiTexts, TheThirtyNineTextsInTheirOrder) {
  const char* keys[] = {
      "AppTitle",
      "LoadButton",
      "SaveButton",
      "RunButton",
      "CloseButton",
      "OptionsButton",
      "LanguageButton",
      "InsertNewLineBracket",
      "OpenNotepad",
      "RunAfterDrop",
      "InsertSpaces",
      "InsertTabs",
      "InputFileName",
      "OutputFileName",
      "Options",
      "ExtraOptions",
      "Language",
      "InsertBracketStyle",
      "Insert",
      "SelectLanguage",
      "IdentNumber",
      "FileMask",
      "FileLanMask",
      "IdentCountErrorMsg",
      "NeedOpenFileErrorMsg",
      "NeedSaveFileErrorMsg",
      "FileOpenErrorMsg",
      "FileSaveErrorMsg",
      "OverWriteFileMsg",
      "SaveFileFailMsg",
      "ExecNotpadFailMsg",
      "ComfirmExitMsg",
      "NoSriptFoundMsg",
      "UnknownFileErrorMsg",
      "AnalysedFile",
      "FileWillBeSaved",
      "CancelCaption",
      "CancelledProcessMsg",
      "CurrentLine",
  };
  const int ids[] = {0,    1019, 1001, 1002, 1020, 1003, 1004, 1036, 1014, 1015, 1016,
                     1017, 1021, 1022, 1023, 1029, 1024, 1025, 1026, 1027, 1028};
  ASSERT_EQ(kUiTexts.size(), 39u);
  for (std::size_t i = 0; i < kUiTexts.size(); ++i) {
    EXPECT_EQ(kUiTexts[i].key, keys[i]);
    EXPECT_EQ(kUiTexts[i].kind, i < 21 ? WindowText : String) << keys[i];
    if (i < 21) {
      EXPECT_EQ(kUiTexts[i].controlId, ids[i]) << keys[i];
      EXPECT_EQ(kUiTexts[i].field, nullptr) << keys[i];
    } else {
      EXPECT_NE(kUiTexts[i].field, nullptr) << keys[i];
    }
  }
  EXPECT_EQ(EnglishText("FileMask"),
            "Htm, Html or JS Files (*.htm, *.html, *.js)|*.htm;*.html;*.js|All Files (*.*)|*.*|");
  EXPECT_EQ(EnglishText("FileLanMask"), "Language Files (*.lng)|*.lng|All Files (*.*)|*.*|");
  EXPECT_EQ(EnglishText("SaveFileFailMsg"), "File %s doesn'n save");
  EXPECT_EQ(EnglishText("CurrentLine"), "Current Line: %d");
  EXPECT_EQ(EnglishText("LanguageButton"), "Lan&guage");
  EXPECT_EQ(EnglishText("NoSuchKey"), "");
}

TEST(UiTexts, RegisteredTextsReachTheirWindowsAndStrings) {
  std::map<int, CCaption> windows;
  auto windowFor = [&windows](int id) -> CTextWindow* { return &windows[id]; };
  UiStrings strings;
  CLanguageTable table;
  RegisterUiTexts(table, windowFor, strings);
  EXPECT_EQ(table.GetSection(), "Common");
  EXPECT_TRUE(table.SetLanguageFile(""));

  EXPECT_EQ(windows.size(), 21u);
  EXPECT_EQ(windows[0].Text(), "Vantorel");
  EXPECT_EQ(windows[1019].Text(), "&Load");
  EXPECT_EQ(windows[1028].Text(), "Ident Number:");
  std::set<std::string*> fields;
  for (const UiTextDef& def : kUiTexts) {
    if (def.kind != String) continue;
    EXPECT_EQ(strings.*def.field, def.english) << def.key;
    fields.insert(&(strings.*def.field));
  }
  EXPECT_EQ(fields.size(), 18u) << "every string text has a field of its own";
  EXPECT_EQ(strings.currentLine, "Current Line: %d");
  EXPECT_EQ(strings.cancelCaption, "&Cancel");
}

TEST(UiTexts, WithoutWindowsOnlyTheStringsAreSet) {
  UiStrings strings;
  CLanguageTable table;
  table.AddText("Stale", &strings.fileMask, String, "stale");
  RegisterUiTexts(table, nullptr, strings);
  table.SetLanguageFile("");
  EXPECT_EQ(strings.fileMask, EnglishText("FileMask")) << "registering empties the table first";
}

}  // namespace
}  // namespace vantorel
