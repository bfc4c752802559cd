#pragma once

#include <string>
#include <vector>

namespace vantorel::testing {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs a program with its arguments (no shell) and collects what it printed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& stdinBytes = "");

}  // namespace vantorel::testing
