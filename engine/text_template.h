#pragma once

#include <string>
#include <string_view>

namespace vantorel {

// Fills a message template that may come from a hand-edited file. Only the first "%s" (or, for
// ExpandNumberTemplate, the first "%d") is replaced by the argument; every other "%" sequence is
// kept literally, so no template can ask for an argument that was not given.
std::string ExpandTemplate(std::string_view text, std::string_view argument);
std::string ExpandNumberTemplate(std::string_view text, long long number);

}  // namespace vantorel
