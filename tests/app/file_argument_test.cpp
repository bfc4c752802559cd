// The window program started with a file argument, as a desktop starts it for a file (Exec %f):
// the real program on the test display, in a folder of its own, observed through the settings
// file that taking an input writes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "file_checks.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

// The window program running in `folder` with `args` (and LC_ALL=`locale` unless empty); killed
// when it goes out of scope.
class CRunningApp {
 public:
  CRunningApp(const std::string& folder, const std::vector<std::string>& args,
              const std::string& locale) {
    m_pid = ::fork();
    if (m_pid != 0) return;
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    if (!locale.empty()) ::setenv("LC_ALL", locale.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(VANTOREL_APP)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(VANTOREL_APP, argv.data());
    ::_exit(127);
  }
  CRunningApp(const CRunningApp&) = delete;
  CRunningApp& operator=(const CRunningApp&) = delete;
  ~CRunningApp() {
    if (!Running()) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
  }

  // Neither crashed nor closed by itself.
  bool Running() {
    if (m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) != 0) m_pid = -1;
    return m_pid > 0;
  }

 private:
  pid_t m_pid = -1;
};

TEST(FileArgumentTest, FirstPlainArgumentBecomesTheInputWithoutARun) {
  if (!std::getenv("DISPLAY")) {
    const char* require = std::getenv("VANTOREL_REQUIRE_DISPLAY");
    if (require && *require && std::string(require) != "0") FAIL() << "No display: use xvfb-run.";
    GTEST_SKIP() << "No display: run this test under xvfb-run.";
  }
  struct Case {
    std::vector<std::string> args;  // "@/" stands for the test folder
    std::string input;              // expected, in the test folder
    std::string output;
    std::string locale = "";  // LC_ALL of the program; empty: the test's
  };
  const std::string utf8 =
      "stra\xc3\x9f"
      "e";  // straße
  const Case cases[] = {
      {{"@/page.html"}, "page.html", "page_out.html"},
      {{"page.html"}, "page.html", "page_out.html"},
      {{"./sub/../Script.JS"}, "Script.JS", "Script_out.JS"},
      {{"-x", "--name=other", "", "page.html", "second.js", "--help"},
       "page.html",
       "page_out.html"},
      // GTK takes its options, with their values, before the program sees them.
      {{"--class", "second.js", "page.html"}, "page.html", "page_out.html"},
      {{"--", "-dash.js", "page.html"}, "-dash.js", "-dash_out.js"},
      {{utf8 + ".js"}, utf8 + ".js", utf8 + "_out.js"},
      // A locale that cannot spell the name: the bytes still reach the file system unchanged.
      {{"--class", "second.js", utf8 + ".js"}, utf8 + ".js", utf8 + "_out.js", "C"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("sub"));
    for (const std::string& name :
         std::vector<std::string>{"page.html", "Script.JS", "-dash.js", "second.js", utf8 + ".js"})
      dir.Write(name, "<html><script>if(a){b();}</script></html>\n");
    // A drop here would start a run at once.
    dir.Write("vtrl.ini", "[Common]\nRunAfterDrop=1\nOpenInNotePad=0\n");
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
      args.push_back(arg.rfind("@/", 0) == 0 ? dir.Path(arg.substr(2)) : arg);
    std::string context = "argument " + std::to_string(&c - cases);

    CRunningApp app(dir.Root().string(), args, c.locale);
    for (auto end = std::chrono::steady_clock::now() + 10s;
         app.Running() && std::chrono::steady_clock::now() < end &&
         !IniValue(ReadFileBytes(dir.Path("vtrl.ini")), "InputFileName");) {
      std::this_thread::sleep_for(20ms);
    }
    std::this_thread::sleep_for(200ms);  // time enough for a run that should not start
    std::string settings = ReadFileBytes(dir.Path("vtrl.ini"));
    EXPECT_EQ(IniValue(settings, "InputFileName"), dir.Path(c.input)) << context;
    EXPECT_EQ(IniValue(settings, "OutputFileName"), dir.Path(c.output)) << context;
    EXPECT_FALSE(std::filesystem::exists(dir.Path(c.output))) << context;
    EXPECT_TRUE(app.Running()) << context;
  }
}

}  // namespace
}  // namespace vantorel::testing
