#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ini_document.h"

namespace vantorel {

// The INI module's file side: a thin wrapper that reads a whole file into a CIniDocument and
// writes one back, with the effects of the classic private-profile calls (read a string, read an
// integer, write a string) that settings files of this format are known by.

// Whether the name is a regular file (symbolic links followed) that can be opened for reading.
bool IsReadableFile(const std::string& path);

// The file's text. A missing file (or a missing folder on the way to it) reads as an empty
// document; nullopt when the file exists but cannot be read, or is no regular file.
std::optional<CIniDocument> LoadIniFile(const std::string& path);

// Replaces the file with the document's text. The text goes to a temporary file in the same
// folder that replaces the target only once it is complete, so a failed write never leaves a
// half-written file. False, with the file as it was, when the file or its folder is read-only
// (no write permission bit at all, or no write access), the folder is missing, or a write fails.
// A replaced file keeps its permission bits and owner; a symbolic link stays a link.
bool SaveIniFile(const std::string& path, const CIniDocument& document);

// GetPrivateProfileStringA: the value cut to kMaxProfileValue bytes, or the default when the
// file, the section or the key is missing (or the file cannot be read).
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultText, const std::string& path);
// GetPrivateProfileIntA: the value as an integer (ParseProfileInt), or the default when the
// file, the section or the key is missing or the value is empty.
std::int32_t ReadProfileInt(std::string_view section, std::string_view key,
                            std::int32_t defaultValue, const std::string& path);
// WritePrivateProfileStringA: sets the key, creating the file, the section or the key as needed.
// False when the file exists but cannot be read, the line cannot be written
// (CIniDocument::WriteString) or the file cannot be written (SaveIniFile).
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);

}  // namespace vantorel
