#include "large_block.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace vantorel {

void* AllocateBlock(std::size_t* size) {
  void* block = nullptr;
  if (*size >= kHugeBlockBytes) {
    const std::size_t rounded = (*size + kHugePage - 1) & ~(kHugePage - 1);
    block = std::aligned_alloc(kHugePage, rounded);
    if (block) {
      *size = rounded;
#ifdef MADV_HUGEPAGE
      // Only advice: where the system has no huge pages the block works all the same.
      ::madvise(block, rounded, MADV_HUGEPAGE);
#endif
    }
  } else {
    block = std::malloc(std::max<std::size_t>(*size, 1));
  }
  if (!block) throw std::bad_alloc();
  return block;
}

void FreeBlock(void* block) {
  std::free(block);
}

CBlockArena::~CBlockArena() {
  for (void* block : blocks_) FreeBlock(block);
}

void* CBlockArena::Take(std::size_t size) {
  constexpr std::size_t kLine = 64;
  size = (std::max<std::size_t>(size, 1) + kLine - 1) & ~(kLine - 1);
  if (size > left_) {
    std::size_t room = std::max(size, kHugePage);
    blocks_.reserve(blocks_.size() + 1);  // so that a new block is never lost
    next_ = static_cast<char*>(AllocateBlock(&room));
    blocks_.push_back(next_);
    left_ = room;
  }
  void* taken = next_;
  next_ += size;
  left_ -= size;
  return taken;
}

}  // namespace vantorel
