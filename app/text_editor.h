#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// The program and its arguments that open `file` in the desktop's text editor: the default
// application for text/plain unless it runs in a terminal (which a window program cannot
// show), otherwise the first of a few common graphical editors found on PATH. The program is
// known to exist. Empty when there is no such editor.
std::vector<std::string> TextEditorCommand(const std::string& file);

// The argument vector of a desktop entry's Exec line for one local file: the line is split as
// the entry format quotes it, the file takes the place of its file or URL field code (or is
// appended where there is none), other field codes are dropped and "%%" becomes "%". The file
// name is always one argument of its own, whatever characters it holds. Empty for a line that
// cannot be split.
std::vector<std::string> ExpandExecLine(std::string_view exec, const std::string& file);

}  // namespace vantorel
