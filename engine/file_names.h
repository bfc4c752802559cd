#pragma once

#include <string>
#include <string_view>

namespace vantorel {

// The text from the last "." of the name to its end, dot included; empty without a dot.
std::string FileExtension(std::string_view name);
// Whether a file of this name is read as JavaScript throughout (extension ".js" in any letter
// case) rather than as a page.
bool IsScriptFileName(std::string_view name);

}  // namespace vantorel
