#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace vantorel {

// Memory for buffers that may grow to megabytes (a text's bytes, its index of line ends, the
// output of one part of a script). A block of kHugeBlockBytes or more starts on a huge page
// boundary, spans whole huge pages and is advised as huge pages, so that it can be backed by a few
// large pages instead of hundreds of small ones; smaller blocks come from the ordinary heap.
constexpr std::size_t kHugePage = std::size_t{1} << 21;
// Small pages can be dear: on a virtual machine a fault on one took about 10 us, one on a whole
// huge page 0.1 to 0.2 ms, so a block that comes to touch more than twenty small pages is cheaper
// in huge pages. A huge page is committed only once one of its bytes is touched: a block leaves
// at most the rest of its last huge page unused.
constexpr std::size_t kHugeBlockBytes = kHugePage / 8;
// A block of at least *size bytes, *size set to how many it has; throws std::bad_alloc.
void* AllocateBlock(std::size_t* size);
void FreeBlock(void* block);

// Room for containers that reserve what they need once and keep it as long as the arena lasts
// (the checkpoints of each part of a script): they are handed out front to back from blocks of
// at least a huge page, so that a few dozen reservations of a hundred kilobytes share huge pages
// instead of each touching small ones.
class CBlockArena {
 public:
  CBlockArena() = default;
  ~CBlockArena();
  CBlockArena(const CBlockArena&) = delete;
  CBlockArena& operator=(const CBlockArena&) = delete;
  // `size` bytes on a cache line of their own, so that the threads that write next to each other
  // do not share one; throws std::bad_alloc.
  void* Take(std::size_t size);

 private:
  std::vector<void*> blocks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// The same blocks for a standard container, or room from an arena; what an arena hands out is
// given back with it.
template <typename T>
class CBlockAllocator {
 public:
  using value_type = T;
  CBlockAllocator() = default;
  explicit CBlockAllocator(CBlockArena* arena) : arena_(arena) {}
  template <typename U>
  CBlockAllocator(const CBlockAllocator<U>& other) : arena_(other.Arena()) {}
  T* allocate(std::size_t count) {
    std::size_t size = count * sizeof(T);
    return static_cast<T*>(arena_ ? arena_->Take(size) : AllocateBlock(&size));
  }
  void deallocate(T* block, std::size_t) {
    if (!arena_) FreeBlock(block);
  }
  // A container's new elements are left unwritten (resize), for the caller to fill in place.
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
  CBlockArena* Arena() const { return arena_; }
  template <typename U>
  bool operator==(const CBlockAllocator<U>& other) const {
    return arena_ == other.Arena();
  }
  template <typename U>
  bool operator!=(const CBlockAllocator<U>& other) const {
    return arena_ != other.Arena();
  }

 private:
  CBlockArena* arena_ = nullptr;
};

}  // namespace vantorel
