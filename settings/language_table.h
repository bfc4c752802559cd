#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "entry_kind.h"
#include "ini_document.h"

namespace vantorel {

// A window whose text the language table sets: the window program wraps its controls and its
// caption in it, tests use a plain string.
class CTextWindow {
 public:
  virtual ~CTextWindow() = default;
  virtual void SetWindowText(std::string_view text) = 0;
};

// The table of UI texts: each text has a key, a built-in default and a target, and a
// language file (an INI file) can replace any default.
//
// A WindowText entry sets its target window's text, a String entry assigns its target string.
// An entry without a target of its kind, or of another kind, is skipped when texts are applied.
// Every pass applies all entries in registration order, and every text comes either from the
// current file or from its default, never from a file chosen earlier. The table does not own its
// targets; they must outlive its use.
class CLanguageTable {
 public:
  CLanguageTable() = default;
  CLanguageTable(const CLanguageTable&) = delete;
  CLanguageTable& operator=(const CLanguageTable&) = delete;
  virtual ~CLanguageTable() { Clear(); }

  // The section that every text is read from; the owner sets it ("Common") before use.
  void SetSection(std::string_view section) { section_ = section; }
  const std::string& GetSection() const { return section_; }
  // The current language file; empty for the built-in texts.
  const std::string& GetLanguageFile() const { return path_; }

  // Removes every entry.
  void Clear();
  void AddText(std::string_view key, CTextWindow* target, EntryKind kind,
               std::string_view defaultText);
  void AddText(std::string_view key, std::string* target, EntryKind kind,
               std::string_view defaultText);
  void AddText(std::string_view key, std::nullptr_t, EntryKind kind, std::string_view defaultText);

  // The key's text in the language file's section, cut to kMaxProfileValue bytes; the default
  // when there is no file or the file, the section or the key is missing or the value is empty.
  std::string LookUpText(std::string_view key, std::string_view defaultText) const;

  // Applies every entry's text from the language file (its default where the file has none).
  virtual void LoadFromFile();
  // Applies every entry's default.
  virtual void ApplyDefaults();

  // Chooses the language file and applies the texts. An empty path (or an empty section)
  // clears the file and applies the defaults: true. A file that cannot be opened for reading
  // stays chosen, the defaults are applied so that no target is left without its text: false.
  // Otherwise the file's texts are applied: true.
  bool SetLanguageFile(std::string_view path);
  // Whether the current language file is a regular file that can be opened for reading; a
  // read-only file is fine, as installed language files are.
  bool CanOpenLanguageFile() const;

 private:
  struct Target {
    CTextWindow* window = nullptr;
    std::string* string = nullptr;
  };

  void AddEntry(std::string_view key, Target target, EntryKind kind, std::string_view defaultText);
  void Apply(std::size_t entry, std::string_view text);
  // The language file's text; empty without a file or a section, or when it cannot be read.
  CIniDocument ReadFile() const;

  std::string path_;
  std::vector<std::string> keys_;
  std::vector<Target> targets_;
  std::vector<EntryKind> kinds_;
  std::vector<std::string> defaults_;
  std::string section_;
};

}  // namespace vantorel
