#include "file_names.h"

#include "tokenizer_config.h"

namespace vantorel {

std::string FileExtension(std::string_view name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool IsScriptFileName(std::string_view name) {
  return EqualsIgnoringCase(FileExtension(name), ".js");
}

}  // namespace vantorel
