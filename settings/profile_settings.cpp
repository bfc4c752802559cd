#include "profile_settings.h"

#include <optional>

#include "ini_file.h"

namespace vantorel {

void CProfileSettings::Clear() {
  keys_.clear();
  sections_.clear();
  kinds_.clear();
  defaults_.clear();
}

void CProfileSettings::AddEntry(std::string_view key, std::string_view section, EntryKind kind,
                                std::int32_t defaultValue) {
  keys_.emplace_back(key);
  sections_.emplace_back(section);
  kinds_.push_back(kind);
  defaults_.push_back({defaultValue, ""});
}

void CProfileSettings::AddEntry(std::string_view key, std::string_view section, EntryKind kind,
                                std::string_view defaultText) {
  keys_.emplace_back(key);
  sections_.emplace_back(section);
  kinds_.push_back(kind);
  defaults_.push_back({0, std::string(defaultText)});
}

void CProfileSettings::SetLoadCallback(void* context, LoadCallback callback) {
  context_ = context;
  loadCallback_ = callback;
}

void CProfileSettings::SetSaveCallback(void* context, SaveCallback callback) {
  context_ = context;
  saveCallback_ = callback;
}

bool CProfileSettings::Load() {
  const CIniDocument file = LoadIniFile(path_).value_or(CIniDocument());
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    SettingValue value;
    if (kinds_[i] == String) {
      value.text = file.ReadString(sections_[i], keys_[i], defaults_[i].text);
    } else if (kinds_[i] == Integer) {
      value.integer = file.ReadInt(sections_[i], keys_[i], defaults_[i].integer);
    } else {
      continue;
    }
    if (loadCallback_) loadCallback_(context_, keys_[i], kinds_[i], value);
  }
  return true;
}

bool CProfileSettings::Save() {
  std::optional<CIniDocument> file = LoadIniFile(path_);
  const std::string before = file ? file->ToBytes() : std::string();
  bool linesWritten = true;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    SettingValue value;
    if (saveCallback_) saveCallback_(context_, keys_[i], kinds_[i], value);
    std::string text;
    if (kinds_[i] == String) {
      text = CutProfileValue(value.text);
    } else if (kinds_[i] == Integer) {
      text = std::to_string(value.integer);
    } else {
      continue;
    }
    if (file) linesWritten = file->WriteString(sections_[i], keys_[i], text) && linesWritten;
  }
  if (!file) return false;
  if (file->ToBytes() == before) return linesWritten;
  return SaveIniFile(path_, *file) && linesWritten;
}

}  // namespace vantorel
