#pragma once

#include <pthread.h>

#include <functional>

namespace vantorel {

// A thread for work that runs beside the calling thread's own, which stays busy meanwhile. It
// starts on a core other than the caller's where the system lets us choose: left to the
// scheduler, a new thread was often queued behind its busy creator and began a whole scheduler
// tick (up to 4 ms) late. Once running it may move anywhere, like any other thread.
//
// Like std::thread, starting throws std::system_error where no thread can be had; unlike it, a
// thread still running when its owner goes is joined, not a reason to terminate.
class CWorkerThread {
 public:
  CWorkerThread() = default;
  explicit CWorkerThread(std::function<void()> work);
  CWorkerThread(CWorkerThread&& other) noexcept;
  CWorkerThread& operator=(CWorkerThread&& other) noexcept;
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;
  ~CWorkerThread();

  bool Joinable() const { return joinable_; }
  void Join();

 private:
  pthread_t thread_{};
  bool joinable_ = false;
};

}  // namespace vantorel
