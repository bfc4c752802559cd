#include "program_settings.h"

#include "file_names.h"
#include "language_table.h"
#include "tokenizer_config.h"  // EqualsIgnoringCase

namespace vantorel {
namespace {

// The field of an integer or a text setting; Settings is ProgramSettings, const or not.
template <typename Settings>
auto IntegerField(Settings& settings, SettingId id) -> decltype(&settings.optionClose) {
  switch (id) {
    case SettingId::OptionClose:
      return &settings.optionClose;
    case SettingId::OpenInNotePad:
      return &settings.openInNotePad;
    case SettingId::RunAfterDrop:
      return &settings.runAfterDrop;
    case SettingId::BracketStyle:
      return &settings.bracketStyle;
    case SettingId::InsertMode:
      return &settings.insertMode;
    case SettingId::IndentCount:
      return &settings.indentCount;
    default:
      return nullptr;
  }
}

template <typename Settings>
auto TextField(Settings& settings, SettingId id) -> decltype(&settings.lanFileName) {
  switch (id) {
    case SettingId::LanFileName:
      return &settings.lanFileName;
    case SettingId::InputFileName:
      return &settings.inputFileName;
    case SettingId::OutputFileName:
      return &settings.outputFileName;
    default:
      return nullptr;
  }
}

std::int32_t ApplyLoadRule(SettingId id, std::int32_t value) {
  switch (id) {
    case SettingId::BracketStyle:
      return ValidBracketStyle(value);
    case SettingId::InsertMode:
      return ValidInsertMode(value);
    case SettingId::IndentCount:
      return ClampIndentCount(value);
    default:
      return value;
  }
}

void OnLoaded(void* context, std::string_view key, EntryKind, const SettingValue& value) {
  StoreLoadedSetting(*static_cast<ProgramSettings*>(context), key, value);
}

void OnSaving(void* context, std::string_view key, EntryKind, SettingValue& value) {
  FetchSetting(*static_cast<const ProgramSettings*>(context), key, value);
}

}  // namespace

std::optional<SettingId> FindSetting(std::string_view key) {
  for (const SettingDef& def : kSettingDefs) {
    if (EqualsIgnoringCase(def.key, key)) return def.id;
  }
  return std::nullopt;
}

std::int32_t ClampIndentCount(std::int32_t value) {
  return value < 0 ? 0 : value > 8 ? 8 : value;
}
std::int32_t ValidBracketStyle(std::int32_t value) {
  return value == 1 ? 1 : 0;
}
std::int32_t ValidInsertMode(std::int32_t value) {
  return value == 1 ? 1 : 0;
}

std::optional<SettingId> StoreLoadedSetting(ProgramSettings& settings, std::string_view key,
                                            const SettingValue& value) {
  std::optional<SettingId> id = FindSetting(key);
  if (!id) return std::nullopt;
  if (std::int32_t* field = IntegerField(settings, *id)) {
    *field = ApplyLoadRule(*id, value.integer);
  } else if (std::string* text = TextField(settings, *id)) {
    *text = value.text;
  }
  return id;
}

void FetchSetting(const ProgramSettings& settings, std::string_view key, SettingValue& value) {
  std::optional<SettingId> id = FindSetting(key);
  if (!id) return;
  if (const std::int32_t* field = IntegerField(settings, *id)) {
    value.integer = *field;
  } else if (const std::string* text = TextField(settings, *id)) {
    value.text = *text;
  }
}

void RegisterSettings(CProfileSettings& store) {
  store.Clear();
  for (const SettingDef& def : kSettingDefs) {
    if (def.kind == Integer) {
      store.AddEntry(def.key, kSettingsSection, def.kind, def.integerDefault);
    } else {
      store.AddEntry(def.key, kSettingsSection, def.kind, def.textDefault);
    }
  }
}

void BindSettings(CProfileSettings& store, ProgramSettings& settings) {
  RegisterSettings(store);
  store.SetLoadCallback(&settings, OnLoaded);
  store.SetSaveCallback(&settings, OnSaving);
}

LayoutOptions LayoutOf(const ProgramSettings& settings) {
  LayoutOptions layout;
  layout.bracketStyle = settings.bracketStyle;
  layout.insertMode = settings.insertMode;
  layout.indentCount = settings.indentCount;
  return layout;
}

ProgramSettings LoadProgramSettings(const std::string& path) {
  ProgramSettings settings;
  CProfileSettings store;
  BindSettings(store, settings);
  store.SetFileName(path);
  store.Load();
  return settings;
}

bool ApplyLanguageFile(ProgramSettings& settings, CLanguageTable& table) {
  if (!FileExists(settings.lanFileName)) settings.lanFileName.clear();
  return table.SetLanguageFile(settings.lanFileName);
}

}  // namespace vantorel
