#include "language_table.h"

#include "ini_file.h"

namespace vantorel {
namespace {

// A text read from the file counts only when it is not empty.
std::string TextOrDefault(const CIniDocument& file, std::string_view section, std::string_view key,
                          std::string_view defaultText) {
  std::string text = file.ReadString(section, key, "");
  return text.empty() ? std::string(CutProfileValue(defaultText)) : text;
}

}  // namespace

void CLanguageTable::Clear() {
  keys_.clear();
  targets_.clear();
  kinds_.clear();
  defaults_.clear();
}

void CLanguageTable::AddText(std::string_view key, CTextWindow* target, EntryKind kind,
                             std::string_view defaultText) {
  AddEntry(key, {target, nullptr}, kind, defaultText);
}

void CLanguageTable::AddText(std::string_view key, std::string* target, EntryKind kind,
                             std::string_view defaultText) {
  AddEntry(key, {nullptr, target}, kind, defaultText);
}

void CLanguageTable::AddText(std::string_view key, std::nullptr_t, EntryKind kind,
                             std::string_view defaultText) {
  AddEntry(key, {}, kind, defaultText);
}

void CLanguageTable::AddEntry(std::string_view key, Target target, EntryKind kind,
                              std::string_view defaultText) {
  keys_.emplace_back(key);
  targets_.push_back(target);
  kinds_.push_back(kind);
  defaults_.emplace_back(defaultText);
}

std::string CLanguageTable::LookUpText(std::string_view key, std::string_view defaultText) const {
  return TextOrDefault(ReadFile(), section_, key, defaultText);
}

CIniDocument CLanguageTable::ReadFile() const {
  if (path_.empty() || section_.empty()) return CIniDocument();
  return LoadIniFile(path_).value_or(CIniDocument());
}

void CLanguageTable::LoadFromFile() {
  const CIniDocument file = ReadFile();
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    Apply(i, TextOrDefault(file, section_, keys_[i], defaults_[i]));
  }
}

void CLanguageTable::ApplyDefaults() {
  for (std::size_t i = 0; i < keys_.size(); ++i) Apply(i, defaults_[i]);
}

void CLanguageTable::Apply(std::size_t entry, std::string_view text) {
  const Target& target = targets_[entry];
  if (kinds_[entry] == WindowText && target.window) {
    target.window->SetWindowText(text);
  } else if (kinds_[entry] == String && target.string) {
    target.string->assign(text);
  }
}

bool CLanguageTable::SetLanguageFile(std::string_view path) {
  if (path.empty() || section_.empty()) {
    path_.clear();
    ApplyDefaults();
    return true;
  }
  path_ = path;
  if (!CanOpenLanguageFile()) {
    ApplyDefaults();
    return false;
  }
  LoadFromFile();
  return true;
}

bool CLanguageTable::CanOpenLanguageFile() const {
  return !path_.empty() && IsReadableFile(path_);
}

}  // namespace vantorel
