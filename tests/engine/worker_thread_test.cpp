#include "worker_thread.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vantorel {
namespace {

// Restricts the calling thread to some of its cores for the length of a test.
class CAffinityScope {
 public:
  CAffinityScope() { ::sched_getaffinity(0, sizeof before_, &before_); }
  ~CAffinityScope() { ::sched_setaffinity(0, sizeof before_, &before_); }
  const cpu_set_t& Before() const { return before_; }

 private:
  cpu_set_t before_{};
};

std::vector<int> CoresOf(const cpu_set_t& set) {
  std::vector<int> cores;
  for (int c = 0; c < CPU_SETSIZE; ++c)
    if (CPU_ISSET(c, &set)) cores.push_back(c);
  return cores;
}

// A worker starts away from its creator's core, but must not stay tied to the others: once
// running, it may go wherever its creator may.
TEST(WorkerThread, RunsOnceFreeToGoWhereItsCreatorMay) {
  CAffinityScope scope;
  const std::vector<int> cores = CoresOf(scope.Before());
  ASSERT_FALSE(cores.empty());
  struct Case {
    const char* name;
    std::vector<int> creatorCores;
  };
  std::vector<Case> cases = {{"all cores", cores}, {"one core", {cores.back()}}};
  if (cores.size() > 2) cases.push_back({"two cores", {cores[0], cores[1]}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cpu_set_t creator;
    CPU_ZERO(&creator);
    for (int core : c.creatorCores) CPU_SET(core, &creator);
    ASSERT_EQ(::sched_setaffinity(0, sizeof creator, &creator), 0);
    int away = 0;  // rounds in which the worker began on another core than its creator's
    for (int round = 0; round < 20; ++round) {
      std::atomic<int> runs{0};
      std::atomic<int> began{-1};
      cpu_set_t seen;
      CPU_ZERO(&seen);
      // An idle moment first, as before a run: the other cores go idle too.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      const int creatorCore = ::sched_getcpu();
      CWorkerThread worker([&] {
        began = ::sched_getcpu();
        ::sched_getaffinity(0, sizeof seen, &seen);
        ++runs;
      });
      EXPECT_TRUE(worker.Joinable());
      // Busy, as the engine's threads are while their helpers start.
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
      while (runs.load() == 0 && std::chrono::steady_clock::now() < giveUp) {
      }
      worker.Join();
      EXPECT_FALSE(worker.Joinable());
      EXPECT_EQ(runs.load(), 1);
      EXPECT_EQ(CoresOf(seen), c.creatorCores);
      if (began.load() != creatorCore) ++away;
    }
    // A creator that moved between two cores in between may meet its worker now and then.
    if (c.creatorCores.size() > 1) {
      EXPECT_GE(away, 18);
    }
  }
}

TEST(WorkerThread, OwnerGoingOrTakingAnotherWaitsForTheWork) {
  using namespace std::chrono_literals;
  std::atomic<int> done{0};
  auto slow = [&] {
    std::this_thread::sleep_for(20ms);
    ++done;
  };
  { CWorkerThread worker(slow); }
  EXPECT_EQ(done.load(), 1);  // the destructor joined

  std::atomic<bool> release{false};
  auto held = [&] {
    while (!release.load()) std::this_thread::yield();
    ++done;
  };
  CWorkerThread worker(slow);
  worker = CWorkerThread(held);  // the first one is joined before it is replaced
  EXPECT_EQ(done.load(), 2);
  release = true;
  CWorkerThread moved(std::move(worker));
  EXPECT_FALSE(worker.Joinable());
  EXPECT_TRUE(moved.Joinable());
  moved.Join();
  moved.Join();  // a second Join does nothing
  EXPECT_EQ(done.load(), 3);
  EXPECT_FALSE(CWorkerThread().Joinable());
}

}  // namespace
}  // namespace vantorel
