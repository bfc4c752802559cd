#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "entry_kind.h"
#include "output_emitter.h"
#include "profile_settings.h"

namespace vantorel {

class CLanguageTable;

// The settings file's name (in the folder that is current at start-up) and its section.
inline constexpr std::string_view kSettingsFileName = "vtrl.ini";
inline constexpr std::string_view kSettingsSection = "Common";

enum class SettingId {
  OptionClose,
  OpenInNotePad,
  RunAfterDrop,
  LanFileName,
  BracketStyle,
  InsertMode,
  IndentCount,
  InputFileName,
  OutputFileName,
};

// One of the program's settings: its key in the settings file, kind and default.
struct SettingDef {
  SettingId id;
  std::string_view key;
  EntryKind kind;
  std::int32_t integerDefault;
  std::string_view textDefault;
};

// The nine settings in registration order, which is also their order in a new settings file.
inline constexpr std::array<SettingDef, 9> kSettingDefs = {{
    {SettingId::OptionClose, "OptionClose", Integer, 1, ""},
    {SettingId::OpenInNotePad, "OpenInNotePad", Integer, 1, ""},
    {SettingId::RunAfterDrop, "RunAfterDrop", Integer, 1, ""},
    {SettingId::LanFileName, "LanFileName", String, 0, ""},
    {SettingId::BracketStyle, "BracketStyle", Integer, 0, ""},
    {SettingId::InsertMode, "InsertMode", Integer, 0, ""},
    {SettingId::IndentCount, "IndentCount", Integer, 2, ""},
    {SettingId::InputFileName, "InputFileName", String, 0, ""},
    {SettingId::OutputFileName, "OutputFileName", String, 0, ""},
}};

// The values of the nine settings, named after their keys; they start as the defaults.
struct ProgramSettings {
  std::int32_t optionClose = 1;    // non-zero: the options panel is folded away
  std::int32_t openInNotePad = 1;  // non-zero: open the output in the text editor after a run
  std::int32_t runAfterDrop = 1;   // non-zero: a dropped input file starts a run
  std::string lanFileName;         // empty: the built-in English texts
  std::int32_t bracketStyle = 0;
  std::int32_t insertMode = 0;
  std::int32_t indentCount = 2;
  std::string inputFileName;
  std::string outputFileName;
};

// The setting of that key, the first of the table whose key matches without regard to ASCII
// letter case; nullopt for a key of none.
std::optional<SettingId> FindSetting(std::string_view key);

// The rules for values read from the file: "IndentCount" is held to 0..8, and a "BracketStyle"
// or "InsertMode" other than 1 becomes 0.
std::int32_t ClampIndentCount(std::int32_t value);
std::int32_t ValidBracketStyle(std::int32_t value);
std::int32_t ValidInsertMode(std::int32_t value);

// The main dialog's load callback without the window: stores the value in the field of the key
// (integers with the rules above, other integers as read, texts as read; the kind is not
// consulted) and says which setting it was, so that the caller can bring its window up to date.
// nullopt, and nothing stored, for a key of no setting.
std::optional<SettingId> StoreLoadedSetting(ProgramSettings& settings, std::string_view key,
                                            const SettingValue& value);
// The save callback without the window: copies the field of the key into value; a key of no
// setting leaves value as it is.
void FetchSetting(const ProgramSettings& settings, std::string_view key, SettingValue& value);

// Empties the store and registers the nine settings in their order, section kSettingsSection.
void RegisterSettings(CProfileSettings& store);
// Registers the nine settings and binds the store to `settings` with StoreLoadedSetting and
// FetchSetting as callbacks, for an owner without a window.
void BindSettings(CProfileSettings& store, ProgramSettings& settings);

// The three layout options that the settings hold.
LayoutOptions LayoutOf(const ProgramSettings& settings);

// The nine settings as the window program loads them from that settings file: defaults for
// whatever is missing (the whole file, its section or a key), the rules above applied.
ProgramSettings LoadProgramSettings(const std::string& path);

// The dialog's language step: a name that is no existing file (missing, or a folder) is cleared
// first; then the table gets the file, or the English defaults for an empty name. The result of
// CLanguageTable::SetLanguageFile.
bool ApplyLanguageFile(ProgramSettings& settings, CLanguageTable& table);

}  // namespace vantorel
