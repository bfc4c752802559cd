#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "entry_kind.h"
#include "language_table.h"

namespace vantorel {

// The section of a language file that holds the texts.
inline constexpr std::string_view kLanguageSection = "Common";

// The 18 texts that the window program keeps in string variables, named after their keys.
struct UiStrings {
  std::string fileMask;
  std::string fileLanMask;
  std::string identCountErrorMsg;
  std::string needOpenFileErrorMsg;
  std::string needSaveFileErrorMsg;
  std::string fileOpenErrorMsg;
  std::string fileSaveErrorMsg;
  std::string overWriteFileMsg;
  std::string saveFileFailMsg;
  std::string execNotpadFailMsg;
  std::string comfirmExitMsg;
  std::string noSriptFoundMsg;
  std::string unknownFileErrorMsg;
  std::string analysedFile;
  std::string fileWillBeSaved;
  std::string cancelCaption;
  std::string cancelledProcessMsg;
  std::string currentLine;
};

// One user-visible text: its key in the language file, how it is applied, its built-in English
// text and its target: for a window text the id of the control that shows it (0 for the main
// window's caption), for a string text its field in UiStrings.
struct UiTextDef {
  std::string_view key;
  EntryKind kind;
  std::string_view english;
  int controlId;
  std::string UiStrings::*field;
};

// Every text of the program, in the order in which they are registered and applied.
extern const std::array<UiTextDef, 39> kUiTexts;

// The built-in English text for a key; empty for an unknown key.
std::string_view EnglishText(std::string_view key);

// Empties the table, sets its section to kLanguageSection and registers the 39 texts in their
// order: window texts to whatever windowFor returns for their control ids (nullptr: none), string
// texts to their fields of `strings`. Nothing is applied yet.
void RegisterUiTexts(CLanguageTable& table,
                     const std::function<CTextWindow*(int controlId)>& windowFor,
                     UiStrings& strings);

}  // namespace vantorel
