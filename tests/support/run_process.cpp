#include "run_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "temp_dir.h"

namespace vantorel::testing {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& stdinBytes, const std::string& stdoutTo) {
  // Output goes to files rather than pipes so that neither stream can block the other.
  TempDir dir;
  std::string in = dir.Write("stdin", stdinBytes);
  const std::string out = stdoutTo.empty() ? dir.Path("stdout") : stdoutTo;
  std::string err = dir.Path("stderr");
  ProcessResult result;
  pid_t pid = ::fork();
  if (pid == 0) {
    int i = ::open(in.c_str(), O_RDONLY);
    int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (i < 0 || o < 0 || e < 0) ::_exit(127);
    ::dup2(i, 0);
    ::dup2(o, 1);
    ::dup2(e, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  if (out.rfind("/dev/", 0) != 0) result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}

}  // namespace vantorel::testing
