#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "entry_kind.h"

namespace vantorel {

// A setting's value as the callbacks see it: `integer` for an Integer entry, `text` (at most
// kMaxProfileValue bytes) for a String entry. It takes the place of a fixed 1000-byte buffer.
struct SettingValue {
  std::int32_t integer = 0;
  std::string text;
};

// A window-free registry of typed settings bound to one INI file.
//
// The owner registers entries (key, section, kind, default), installs a load and a save
// callback, and calls Load and Save; the store never knows what a setting means. Every pass runs
// over the entries in registration order, which is also the order of the keys in a newly created
// file. Entries of a kind other than String and Integer are kept but ignored by both passes.
class CProfileSettings {
 public:
  // Receives one value read from the file (or its default). `value` lives only during the call.
  using LoadCallback = void (*)(void* context, std::string_view key, EntryKind kind,
                                const SettingValue& value);
  // Fills `value` for the key; it starts as 0 and "" for every call, so a callback that does
  // not know the key leaves them so. A text is cut to kMaxProfileValue bytes (and at a NUL).
  using SaveCallback = void (*)(void* context, std::string_view key, EntryKind kind,
                                SettingValue& value);

  CProfileSettings() = default;
  CProfileSettings(const CProfileSettings&) = delete;
  CProfileSettings& operator=(const CProfileSettings&) = delete;
  virtual ~CProfileSettings() { Clear(); }

  // Removes every entry; the path and the callbacks stay.
  void Clear();
  void AddEntry(std::string_view key, std::string_view section, EntryKind kind,
                std::int32_t defaultValue);
  void AddEntry(std::string_view key, std::string_view section, EntryKind kind,
                std::string_view defaultText);

  void SetFileName(std::string_view path) { path_ = path; }
  const std::string& GetFileName() const { return path_; }

  // Either call installs its callback and replaces the one context handed to both.
  void SetLoadCallback(void* context, LoadCallback callback);
  void SetSaveCallback(void* context, SaveCallback callback);

  // Hands every entry's value to the load callback: the file's value, or the entry's default
  // when the file, its section or its key is missing (a missing or unreadable file is no error).
  // Always true.
  bool Load();
  // Asks the save callback for every entry's value and writes them all in one replacement of the
  // file (keys in place or appended to their section, every other line kept). Without a save
  // callback texts are written empty and integers as "0". False, with the file as it was, when
  // the file cannot be written (read-only file or folder) or exists but cannot be read; nothing
  // is reported, and the owner keeps its values. True when the file already holds the values.
  bool Save();

 private:
  std::vector<std::string> keys_;
  std::vector<std::string> sections_;
  std::vector<EntryKind> kinds_;
  std::vector<SettingValue> defaults_;

  std::string path_;
  LoadCallback loadCallback_ = nullptr;
  SaveCallback saveCallback_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace vantorel
