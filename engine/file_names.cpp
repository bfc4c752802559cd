#include "file_names.h"

#include <sys/stat.h>

#include "tokenizer_config.h"

namespace vantorel {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/:";
#else
constexpr std::string_view kSeparators = "/";
#endif

constexpr std::string_view kNameBlanks = " \t\n\v\f\r";

// Where the file's own name starts: just after the last separator.
std::size_t FileNameStart(std::string_view name) {
  std::size_t separator = name.find_last_of(kSeparators);
  return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace

std::string FileExtension(std::string_view name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool IsScriptFileName(std::string_view name) {
  return EqualsIgnoringCase(FileExtension(name), ".js");
}

std::string TrimName(std::string_view name) {
  std::size_t first = name.find_first_not_of(kNameBlanks);
  if (first == std::string_view::npos) return std::string();
  std::size_t last = name.find_last_not_of(kNameBlanks);
  return std::string(name.substr(first, last - first + 1));
}

bool FileExists(const std::string& name) {
  struct stat st;
  return !name.empty() && ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string DirectoryPart(std::string_view name) {
  std::size_t separator = name.find_last_of(kSeparators);
  if (separator == std::string_view::npos) return std::string();
  if (separator == 0 && name[0] == '/') return "/";
  return std::string(name.substr(0, separator));
}

std::string OutputNameFor(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string result(name);
  if (dot == std::string_view::npos || dot < FileNameStart(name)) return result + "_out";
  return result.insert(dot, "_out");
}

}  // namespace vantorel
