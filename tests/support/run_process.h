#pragma once

#include <string>
#include <vector>

namespace vantorel::testing {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs a program with its arguments (no shell) and collects what it printed. Standard output
// goes to `stdoutTo` when one is named, a file or a device such as /dev/full (whose bytes are not
// collected).
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& stdinBytes = "", const std::string& stdoutTo = "");

}  // namespace vantorel::testing
