#include "ui_texts.h"

namespace vantorel {

const std::array<UiTextDef, 39> kUiTexts = {{
    {"AppTitle", WindowText, "Vantorel", 0},
    {"LoadButton", WindowText, "&Load", 1019},
    {"SaveButton", WindowText, "&Save", 1001},
    {"RunButton", WindowText, "&Run", 1002},
    {"CloseButton", WindowText, "&Close", 1020},
    {"OptionsButton", WindowText, "&Options", 1003},
    {"LanguageButton", WindowText, "Lan&guage", 1004},
    {"InsertNewLineBracket", WindowText, "Insert a newline before opening bracket", 1036},
    {"OpenNotepad", WindowText, "Open in Notepad", 1014},
    {"RunAfterDrop", WindowText, "Run After Drag and Drop", 1015},
    {"InsertSpaces", WindowText, "Spaces", 1016},
    {"InsertTabs", WindowText, "Tabs", 1017},
    {"InputFileName", WindowText, "Input File Name:", 1021},
    {"OutputFileName", WindowText, "Output File Name:", 1022},
    {"Options", WindowText, "Options:", 1023},
    {"ExtraOptions", WindowText, "Extra Options:", 1029},
    {"Language", WindowText, "Language: English", 1024},
    {"InsertBracketStyle", WindowText, "Insert Bracket Style:", 1025},
    {"Insert", WindowText, "Insert:", 1026},
    {"SelectLanguage", WindowText, "Select Language:", 1027},
    {"IdentNumber", WindowText, "Ident Number:", 1028},
    {"FileMask", String,
     "Htm, Html or JS Files (*.htm, *.html, *.js)|*.htm;*.html;*.js|All Files (*.*)|*.*|", 0},
    {"FileLanMask", String, "Language Files (*.lng)|*.lng|All Files (*.*)|*.*|", 0},
    {"IdentCountErrorMsg", String, "Indent Number must be between 0 to 8", 0},
    {"NeedOpenFileErrorMsg", String, "Need Input File %s to Analyze", 0},
    {"NeedSaveFileErrorMsg", String, "Need Output File %s to Save Results", 0},
    {"FileOpenErrorMsg", String, "Error occurred during opening file: %s", 0},
    {"FileSaveErrorMsg", String, "Error occurred during saving file: %s", 0},
    {"OverWriteFileMsg", String, "File %s Exists. Overwrite?", 0},
    {"SaveFileFailMsg", String, "File %s doesn'n save", 0},
    {"ExecNotpadFailMsg", String, "Error occurred during opening Notepad", 0},
    {"ComfirmExitMsg", String, "Do you really want to exit?", 0},
    {"NoSriptFoundMsg", String, "No one tag <script> was found in file: %s", 0},
    {"UnknownFileErrorMsg", String, "The file %s is unknown type", 0},
    {"AnalysedFile", String, "Analysed File: %s", 0},
    {"FileWillBeSaved", String, "File will be saved: %s", 0},
    {"CancelCaption", String, "&Cancel", 0},
    {"CancelledProcessMsg", String, "User cancelled analysing process", 0},
    {"CurrentLine", String, "Current Line: %d", 0},
}};

std::string_view EnglishText(std::string_view key) {
  for (const UiTextDef& def : kUiTexts) {
    if (def.key == key) return def.english;
  }
  return {};
}

}  // namespace vantorel
