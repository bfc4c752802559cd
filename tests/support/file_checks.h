#pragma once

// Checks on files that several test programs share: the non-blank bytes a result must keep,
// every file under some folders (so that a change or a leftover shows), a settings file's
// value, and a lock such as another program holds.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "line_array.h"
#include "temp_dir.h"

namespace vantorel::testing {

// The bytes that are no blank: all but space, tab, LF, VT, FF and CR.
inline std::string NonBlank(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && (c < '\t' || c > '\r')) kept.push_back(c);
  }
  return kept;
}

// The input's non-blank bytes as a run reads them: a NUL ends its line's text, 0x1A the input.
inline std::string NonBlankAsRead(const std::string& bytes) {
  CLineArray lines;
  lines.ReadLines(bytes);
  std::string text;
  for (std::size_t i = 0; i < lines.GetSize(); ++i) text += NonBlank(lines.GetAt(i));
  return text;
}

// Every regular file under the folders with its bytes.
inline std::map<std::string, std::string> Snapshot(
    const std::vector<std::filesystem::path>& roots) {
  std::map<std::string, std::string> files;
  for (const std::filesystem::path& root : roots) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_regular_file()) files[entry.path().string()] = ReadFileBytes(entry.path());
    }
  }
  return files;
}

// The value of the first line "key=value" in a settings file's text; nullopt without one.
inline std::optional<std::string> IniValue(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
  }
  return std::nullopt;
}

// An exclusive advisory lock on a file, from an open file of its own, as another program holding
// the file would have (flock locks belong to the open file, not to the process).
class CFileLock {
 public:
  explicit CFileLock(const std::string& name) : fd_(::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {
    locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
  }
  CFileLock(const CFileLock&) = delete;
  CFileLock& operator=(const CFileLock&) = delete;
  ~CFileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Locked() const { return locked_; }

 private:
  int fd_;
  bool locked_ = false;
};

}  // namespace vantorel::testing
