#pragma once

#include <array>
#include <string_view>

namespace vantorel {

// Kind of a settings or language-table entry.
enum EntryKind : unsigned {
  WindowText = 1,  // the text becomes a window's text
  String = 2,      // a text value
  Integer = 3,     // a 32-bit signed integer value
};

// One user-visible text: its key in the language file, how it is applied, its built-in English
// text and, for window texts, the id of the control that shows it (0 for the main window).
struct UiTextDef {
  std::string_view key;
  EntryKind kind;
  std::string_view english;
  int controlId;
};

// Every text of the program, in the order in which they are registered and applied.
extern const std::array<UiTextDef, 39> kUiTexts;

// The built-in English text for a key; empty for an unknown key.
std::string_view EnglishText(std::string_view key);

}  // namespace vantorel
