#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace vantorel {

// Memory for buffers that may grow to megabytes (a text's bytes, its index of line ends, the
// output and the checkpoints of one part of a script). Small pages can be dear: on a virtual
// machine a fault on one took about 10 us, one on a whole huge page 0.1 to 0.2 ms. So a block of
// kHugeBlockBytes or more starts on a huge page boundary, spans whole huge pages and is advised as
// huge pages; a block from kSharedBlockBytes up is cut from a huge page that it shares with other
// such blocks, and that goes back to the system once all of them are freed; smaller blocks come
// from the ordinary heap. A huge page is committed only once one of its bytes is touched.
constexpr std::size_t kHugePage = std::size_t{1} << 21;
constexpr std::size_t kHugeBlockBytes = kHugePage / 2;
constexpr std::size_t kSharedBlockBytes = std::size_t{16} << 10;
// A block of at least *size bytes, *size set to how many it has; throws std::bad_alloc.
void* AllocateBlock(std::size_t* size);
// `size`: as AllocateBlock set it, or as it was asked for.
void FreeBlock(void* block, std::size_t size);

// The same blocks for a standard container.
template <typename T>
class CBlockAllocator {
 public:
  using value_type = T;
  CBlockAllocator() = default;
  template <typename U>
  CBlockAllocator(const CBlockAllocator<U>&) {}
  T* allocate(std::size_t count) {
    std::size_t size = count * sizeof(T);
    return static_cast<T*>(AllocateBlock(&size));
  }
  void deallocate(T* block, std::size_t count) { FreeBlock(block, count * sizeof(T)); }
  // A container's new elements are left unwritten (resize), for the caller to fill in place.
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const CBlockAllocator<U>&) const {
    return true;
  }
  template <typename U>
  bool operator!=(const CBlockAllocator<U>&) const {
    return false;
  }
};

}  // namespace vantorel
