#pragma once

#include <string>
#include <string_view>

namespace vantorel {

// The text from the last "." of the name to its end, dot included; empty without a dot.
std::string FileExtension(std::string_view name);
// Whether a file of this name is read as JavaScript throughout (extension ".js" in any letter
// case) rather than as a page.
bool IsScriptFileName(std::string_view name);

// The name without leading and trailing white space (space, tab, LF, VT, FF, CR); inner white
// space stays.
std::string TrimName(std::string_view name);
// True when the name denotes an existing entry that is not a folder; a relative name is taken
// relative to the current folder. False for an empty name.
bool FileExists(const std::string& name);
// The folder part of a path: the text before its last separator ("/", and "\" or ":" on
// Windows). Empty when there is none; "/" for a name directly under the root.
std::string DirectoryPart(std::string_view name);
// The output name proposed for an input: "_out" inserted before the last "." of the file's own
// name (never of a folder's), or appended when the file's own name holds no ".".
std::string OutputNameFor(std::string_view name);

}  // namespace vantorel
