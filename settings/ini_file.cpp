#include "ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "file_io.h"

namespace vantorel {
namespace {

// O_NONBLOCK keeps a named pipe from blocking the open; it does not change how a regular file
// reads.
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

bool IsRegularFile(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool IsMissing(int error) {
  return error == ENOENT || error == ENOTDIR;
}

}  // namespace

bool IsReadableFile(const std::string& path) {
  CFd fd(OpenForReading(path));
  return fd.Get() >= 0 && IsRegularFile(fd.Get());
}

std::optional<CIniDocument> LoadIniFile(const std::string& path) {
  if (path.empty()) return CIniDocument();
  CFd fd(OpenForReading(path));
  if (fd.Get() < 0) {
    if (IsMissing(errno)) return CIniDocument();
    return std::nullopt;
  }
  std::string bytes;
  if (!IsRegularFile(fd.Get()) || !ReadWhole(fd.Get(), 0, &bytes)) return std::nullopt;
  return CIniDocument(bytes);
}

bool SaveIniFile(const std::string& path, const CIniDocument& document) {
  // A settings file without write permission is meant to stay as it is, even for root.
  ReplaceRules rules;
  rules.honourReadOnly = true;
  const std::string bytes = document.ToBytes();
  return ReplaceFile(
      path, [&](CByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); }, rules);
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultText, const std::string& path) {
  return LoadIniFile(path).value_or(CIniDocument()).ReadString(section, key, defaultText);
}

std::int32_t ReadProfileInt(std::string_view section, std::string_view key,
                            std::int32_t defaultValue, const std::string& path) {
  return LoadIniFile(path).value_or(CIniDocument()).ReadInt(section, key, defaultValue);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
  std::optional<CIniDocument> document = LoadIniFile(path);
  if (!document || !document->WriteString(section, key, value)) return false;
  return SaveIniFile(path, *document);
}

}  // namespace vantorel
