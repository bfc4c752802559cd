#include "worker_thread.h"

#include <sched.h>

#include <cerrno>
#include <memory>
#include <system_error>
#include <utility>

namespace vantorel {

namespace {

struct Start {
  std::function<void()> work;
#ifdef __linux__
  bool placed = false;  // started away from its creator's core: free to go anywhere again
  cpu_set_t allowed{};
#endif
};

// An exception that leaves the work ends the program, as with std::thread.
void Call(const std::function<void()>& work) noexcept {
  work();
}

extern "C" void* RunWork(void* arg) {
  std::unique_ptr<Start> start(static_cast<Start*>(arg));
#ifdef __linux__
  if (start->placed)
    ::pthread_setaffinity_np(::pthread_self(), sizeof start->allowed, &start->allowed);
#endif
  Call(start->work);
  return nullptr;
}

#ifdef __linux__
// Where the caller may run on other cores than its present one, the new thread is to start on
// one of those.
bool PlaceAway(pthread_attr_t* attributes, Start* start) {
  if (::sched_getaffinity(0, sizeof start->allowed, &start->allowed) != 0) return false;
  const int here = ::sched_getcpu();
  if (here < 0 || here >= CPU_SETSIZE || !CPU_ISSET(here, &start->allowed) ||
      CPU_COUNT(&start->allowed) < 2)
    return false;
  cpu_set_t away = start->allowed;
  CPU_CLR(here, &away);
  return ::pthread_attr_setaffinity_np(attributes, sizeof away, &away) == 0;
}
#endif

int Create(pthread_t* thread, Start* start) {
  pthread_attr_t attributes;
  int error = ::pthread_attr_init(&attributes);
  if (error != 0) return error;
#ifdef __linux__
  start->placed = PlaceAway(&attributes, start);
#endif
  error = ::pthread_create(thread, &attributes, RunWork, start);
  ::pthread_attr_destroy(&attributes);
#ifdef __linux__
  // A core that went offline meanwhile is no reason not to start at all.
  if (error == EINVAL && start->placed) {
    start->placed = false;
    error = ::pthread_create(thread, nullptr, RunWork, start);
  }
#endif
  return error;
}

}  // namespace

CWorkerThread::CWorkerThread(std::function<void()> work) {
  auto start = std::make_unique<Start>();
  start->work = std::move(work);
  const int error = Create(&thread_, start.get());
  if (error != 0) throw std::system_error(error, std::generic_category(), "pthread_create");
  start.release();  // the thread owns it now
  joinable_ = true;
}

CWorkerThread::CWorkerThread(CWorkerThread&& other) noexcept
    : thread_(other.thread_), joinable_(other.joinable_) {
  other.joinable_ = false;
}

CWorkerThread& CWorkerThread::operator=(CWorkerThread&& other) noexcept {
  if (this != &other) {
    Join();
    thread_ = other.thread_;
    joinable_ = other.joinable_;
    other.joinable_ = false;
  }
  return *this;
}

CWorkerThread::~CWorkerThread() {
  Join();
}

void CWorkerThread::Join() {
  if (!joinable_) return;
  ::pthread_join(thread_, nullptr);
  joinable_ = false;
}

}  // namespace vantorel
