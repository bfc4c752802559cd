#include "ui_texts.h"

namespace vantorel {

const std::array<UiTextDef, 39> kUiTexts = {{
    {"AppTitle", WindowText, "Vantorel", 0, nullptr},
    {"LoadButton", WindowText, "&Load", 1019, nullptr},
    {"SaveButton", WindowText, "&Save", 1001, nullptr},
    {"RunButton", WindowText, "&Run", 1002, nullptr},
    {"CloseButton", WindowText, "&Close", 1020, nullptr},
    {"OptionsButton", WindowText, "&Options", 1003, nullptr},
    {"LanguageButton", WindowText, "Lan&guage", 1004, nullptr},
    {"InsertNewLineBracket", WindowText, "Insert a newline before opening bracket", 1036, nullptr},
    {"OpenNotepad", WindowText, "Open in Notepad", 1014, nullptr},
    {"RunAfterDrop", WindowText, "Run After Drag and Drop", 1015, nullptr},
    {"InsertSpaces", WindowText, "Spaces", 1016, nullptr},
    {"InsertTabs", WindowText, "Tabs", 1017, nullptr},
    {"InputFileName", WindowText, "Input File Name:", 1021, nullptr},
    {"OutputFileName", WindowText, "Output File Name:", 1022, nullptr},
    {"Options", WindowText, "Options:", 1023, nullptr},
    {"ExtraOptions", WindowText, "Extra Options:", 1029, nullptr},
    {"Language", WindowText, "Language: English", 1024, nullptr},
    {"InsertBracketStyle", WindowText, "Insert Bracket Style:", 1025, nullptr},
    {"Insert", WindowText, "Insert:", 1026, nullptr},
    {"SelectLanguage", WindowText, "Select Language:", 1027, nullptr},
    {"IdentNumber", WindowText, "Ident Number:", 1028, nullptr},
    {"FileMask", String,
     "Htm, Html or JS Files (*.htm, *.html, *.js)|*.htm;*.html;*.js|All Files (*.*)|*.*|", 0,
     &UiStrings::fileMask},
    {"FileLanMask", String, "Language Files (*.lng)|*.lng|All Files (*.*)|*.*|", 0,
     &UiStrings::fileLanMask},
    {"IdentCountErrorMsg", String, "Indent Number must be between 0 to 8", 0,
     &UiStrings::identCountErrorMsg},
    {"NeedOpenFileErrorMsg", String, "Need Input File %s to Analyze", 0,
     &UiStrings::needOpenFileErrorMsg},
    {"NeedSaveFileErrorMsg", String, "Need Output File %s to Save Results", 0,
     &UiStrings::needSaveFileErrorMsg},
    {"FileOpenErrorMsg", String, "Error occurred during opening file: %s", 0,
     &UiStrings::fileOpenErrorMsg},
    {"FileSaveErrorMsg", String, "Error occurred during saving file: %s", 0,
     &UiStrings::fileSaveErrorMsg},
    {"OverWriteFileMsg", String, "File %s Exists. Overwrite?", 0, &UiStrings::overWriteFileMsg},
    {"SaveFileFailMsg", String, "File %s doesn'n save", 0, &UiStrings::saveFileFailMsg},
    {"ExecNotpadFailMsg", String, "Error occurred during opening Notepad", 0,
     &UiStrings::execNotpadFailMsg},
    {"ComfirmExitMsg", String, "Do you really want to exit?", 0, &UiStrings::comfirmExitMsg},
    {"NoSriptFoundMsg", String, "No one tag <script> was found in file: %s", 0,
     &UiStrings::noSriptFoundMsg},
    {"UnknownFileErrorMsg", String, "The file %s is unknown type", 0,
     &UiStrings::unknownFileErrorMsg},
    {"AnalysedFile", String, "Analysed File: %s", 0, &UiStrings::analysedFile},
    {"FileWillBeSaved", String, "File will be saved: %s", 0, &UiStrings::fileWillBeSaved},
    {"CancelCaption", String, "&Cancel", 0, &UiStrings::cancelCaption},
    {"CancelledProcessMsg", String, "User cancelled analysing process", 0,
     &UiStrings::cancelledProcessMsg},
    {"CurrentLine", String, "Current Line: %d", 0, &UiStrings::currentLine},
}};

std::string_view EnglishText(std::string_view key) {
  for (const UiTextDef& def : kUiTexts) {
    if (def.key == key) return def.english;
  }
  return {};
}

void RegisterUiTexts(CLanguageTable& table,
                     const std::function<CTextWindow*(int controlId)>& windowFor,
                     UiStrings& strings) {
  table.Clear();
  table.SetSection(kLanguageSection);
  for (const UiTextDef& def : kUiTexts) {
    if (def.kind == WindowText) {
      table.AddText(def.key, windowFor ? windowFor(def.controlId) : nullptr, def.kind, def.english);
    } else {
      table.AddText(def.key, &(strings.*def.field), def.kind, def.english);
    }
  }
}

}  // namespace vantorel
