#include "text_template.h"

namespace vantorel {
namespace {

std::string ReplaceFirst(std::string_view text, std::string_view conversion,
                         std::string_view argument) {
  std::size_t at = text.find(conversion);
  if (at == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size() + argument.size());
  result.append(text.substr(0, at)).append(argument).append(text.substr(at + conversion.size()));
  return result;
}

}  // namespace

std::string ExpandTemplate(std::string_view text, std::string_view argument) {
  return ReplaceFirst(text, "%s", argument);
}

std::string ExpandNumberTemplate(std::string_view text, long long number) {
  return ReplaceFirst(text, "%d", std::to_string(number));
}

}  // namespace vantorel
