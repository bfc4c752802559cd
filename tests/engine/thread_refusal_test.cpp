// Helper threads that cannot be had, or that start late: every run that would use one gives what
// it gives with it, and a Cancel is still noticed. This program is linked with pthread_create
// wrapped, so that each test decides how thread starts go.
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine_test_util.h"
#include "line_file.h"

namespace {

enum class Starts { AsUsual, Refused, Held };

std::atomic<Starts> g_starts{Starts::AsUsual};
std::atomic<int> g_refused{0};
std::atomic<int> g_held{0};
std::atomic<bool> g_running{false};  // a held thread was released and runs
// A held thread waits till released (or, so that a broken run cannot hang the tests, a while).
std::mutex g_mutex;
std::condition_variable g_released;
bool g_release = false;

void Release() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_release = true;
  g_released.notify_all();
}

struct HeldStart {
  void* (*routine)(void*);
  void* arg;
};

void* RunWhenReleased(void* arg) {
  const std::unique_ptr<HeldStart> start(static_cast<HeldStart*>(arg));
  {
    std::unique_lock<std::mutex> lock(g_mutex);
    g_released.wait_for(lock, std::chrono::seconds(20), [] { return g_release; });
  }
  g_running = true;
  return start->routine(start->arg);
}

}  // namespace

extern "C" int __real_pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                                     void* (*routine)(void*), void* arg);

extern "C" int __wrap_pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                                     void* (*routine)(void*), void* arg) {
  switch (g_starts.load()) {
    case Starts::Refused:
      ++g_refused;
      return EAGAIN;
    case Starts::Held: {
      ++g_held;
      auto* start = new HeldStart{routine, arg};
      const int error = __real_pthread_create(thread, attributes, RunWhenReleased, start);
      if (error != 0) delete start;
      return error;
    }
    case Starts::AsUsual:
      break;
  }
  return __real_pthread_create(thread, attributes, routine, arg);
}

namespace vantorel::testing {
namespace {

// How thread starts go for the length of a test.
class CStartsScope {
 public:
  explicit CStartsScope(Starts starts) {
    g_refused = 0;
    g_held = 0;
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      g_release = false;
    }
    g_running = false;
    g_starts = starts;
  }
  ~CStartsScope() {
    g_starts = Starts::AsUsual;
    Release();
  }
};

// Lines of a script, some with CR LF, large enough to be read, split into lines and formatted in
// parts.
std::string LargeScriptText() {
  std::string text;
  for (int i = 0; text.size() < (std::size_t{3} << 20); ++i) {
    const std::string n = std::to_string(i);
    text += "function f" + n + "(a, b) {\r\n";
    text += "if (a < b) { return /x{2}/.test(a) ? '{' : \"}\"; } // done\n";
    text += "  for (var k = 0; k < b; k++) { a += k; }\n        return a;\n}\n";
  }
  return text;
}

std::string LargePageText() {
  std::string page = "<html><head><title>t</title></head><body>\n";
  for (int i = 0; page.size() < (std::size_t{1} << 20); ++i) {
    page += "<p>block " + std::to_string(i) + "</p><script>\n";
    page += "var o" + std::to_string(i) + " = {a: [1, 2], f: function (x) {\nreturn x;\n}};\n";
    page += "</script>\n";
  }
  return page + "</body></html>\n";
}

TEST(ThreadRefusal, FilesAreReadAndSplitIntoTheSameLines) {
  const std::string text = LargeScriptText();
  char name[] = "/tmp/vantorel-refusal-XXXXXX";
  const int fd = ::mkstemp(name);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
  struct Read {
    Lines fromFile;
    Lines fromText;
    LineReadInfo info;
  };
  auto read = [&] {
    Read r;
    CLineArray lines;
    EXPECT_TRUE(LoadLineArray(name, &lines, &r.info));
    r.fromFile = FromLineArray(lines);
    CLineArray again;
    again.ReadLines(text);
    r.fromText = FromLineArray(again);
    return r;
  };
  const Read usual = read();
  ASSERT_GT(usual.fromFile.size(), 1000u);
  {
    CStartsScope refused(Starts::Refused);
    const Read r = read();
    EXPECT_GE(g_refused.load(), 2) << "the file and its lines were not read in halves";
    EXPECT_TRUE(r.fromFile == usual.fromFile);
    EXPECT_TRUE(r.fromText == usual.fromFile);
    EXPECT_EQ(r.info.firstLineEndsWithCrLf, usual.info.firstLineEndsWithCrLf);
    EXPECT_EQ(r.info.bytesDropped, usual.info.bytesDropped);
  }
  std::remove(name);
}

TEST(ThreadRefusal, ScriptsAndPagesGiveTheLinesOfOnePart) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: nothing is split";
  CLineArray script;
  script.ReadLines(LargeScriptText());
  CLineArray page;
  page.ReadLines(LargePageText());
  for (bool isPage : {false, true}) {
    SCOPED_TRACE(isPage ? "page" : "script");
    const CLineArray& input = isPage ? page : script;
    const SplitResult usual = RunSplit(input, DefaultLayout(), ScriptSplit(), nullptr, isPage);
    ASSERT_EQ(usual.result, ResultDone);
    ASSERT_NE(usual.outcome, SplitOutcome::OnePart) << "too small to be split";
    CStartsScope refused(Starts::Refused);
    const SplitResult r = RunSplit(input, DefaultLayout(), ScriptSplit(), nullptr, isPage);
    EXPECT_GE(g_refused.load(), 1);
    EXPECT_EQ(r.result, ResultDone);
    EXPECT_TRUE(r.output == usual.output);
    // A script's parts are all read by the caller; a page is read in one.
    if (isPage) {
      EXPECT_EQ(r.outcome, SplitOutcome::OnePart);
    }
  }
}

// Lets held threads go at its first turn, and waits till one runs and has taken the second
// part; cancels at the first turn that comes long after the one before, as when the caller waits
// for the others.
class CCancelWhenWaiting : public CAnalyzerProgress {
 public:
  bool IsCancelled() override {
    const auto now = std::chrono::steady_clock::now();
    if (!released_) {
      released_ = true;
      Release();
      const auto giveUp = now + std::chrono::seconds(5);
      while (!g_running && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      last_ = std::chrono::steady_clock::now();
      return false;
    }
    if (!cancelled_ && now - last_ < std::chrono::microseconds(1500)) {
      last_ = now;
      return false;
    }
    if (!cancelled_) cancelledAt = now;
    cancelled_ = true;
    return true;
  }
  void ShowCurrentLine(const std::string&) override {}
  void SetRange(long long) override {}
  void SetPosition(long long) override {}
  bool PumpMessages() override { return true; }
  bool Cancelled() const { return cancelled_; }
  std::chrono::steady_clock::time_point cancelledAt;

 private:
  std::chrono::steady_clock::time_point last_;
  bool released_ = false;
  bool cancelled_ = false;
};

// The caller reads a small first part while a helper reads the large rest, then waits for it: a
// Cancel then must stop the helper, not wait till it is done.
TEST(ThreadRefusal, CancelWhileWaitingForAHelperStopsIt) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: nothing is split";
  CLineArray script;
  script.ReadLines(LargeScriptText());
  ScriptSplit split;
  split.lines = {static_cast<std::ptrdiff_t>(script.GetSize() / 100)};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunSplit(script, DefaultLayout(), split).result, ResultDone);
  const auto oneRun = std::chrono::steady_clock::now() - start;
  CStartsScope held(Starts::Held);
  CCancelWhenWaiting display;
  const int result = RunSplit(script, DefaultLayout(), split, &display).result;
  const auto ended = std::chrono::steady_clock::now();
  EXPECT_EQ(g_held.load(), 1);
  if (!display.Cancelled()) {
    // The helper was kept from its part (a busy machine), the caller read it: never a wait.
    EXPECT_EQ(result, ResultDone);
    GTEST_SKIP() << "the caller never waited for the helper";
  }
  EXPECT_EQ(result, ResultCancelled);
  EXPECT_LT(ended - display.cancelledAt, oneRun / 2)
      << "the run went on after the Cancel for "
      << std::chrono::duration<double, std::milli>(ended - display.cancelledAt).count()
      << " ms; a whole run takes " << std::chrono::duration<double, std::milli>(oneRun).count()
      << " ms";
}

}  // namespace
}  // namespace vantorel::testing
