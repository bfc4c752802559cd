#include "large_block.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOREL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VANTOREL_ADDRESS_SANITIZER 1
#endif
#ifdef VANTOREL_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace vantorel {

namespace {

// Room that is no block's is marked unusable for the address sanitizer, so that a write past a
// shared block is caught as one past a heap block would be.
void Poison(const void* at, std::size_t size) {
#ifdef VANTOREL_ADDRESS_SANITIZER
  ASAN_POISON_MEMORY_REGION(at, size);
#else
  static_cast<void>(at);
  static_cast<void>(size);
#endif
}

void Unpoison(const void* at, std::size_t size) {
#ifdef VANTOREL_ADDRESS_SANITIZER
  ASAN_UNPOISON_MEMORY_REGION(at, size);
#else
  static_cast<void>(at);
  static_cast<void>(size);
#endif
}

void* AllocateHugePages(std::size_t size) {
  void* block = std::aligned_alloc(kHugePage, size);
#ifdef MADV_HUGEPAGE
  // Only advice: where the system has no huge pages the block works all the same.
  if (block) ::madvise(block, size, MADV_HUGEPAGE);
#endif
  return block;
}

// A huge page that blocks are cut from, front to back. It counts the blocks still in use, and one
// more while blocks are still cut from it; it goes when the count comes to nothing.
struct SharedPage {
  std::atomic<std::size_t> users{1};
};

constexpr std::size_t kLine = 64;  // blocks of different threads never share a cache line
constexpr std::size_t kPageHeader = (sizeof(SharedPage) + kLine - 1) & ~(kLine - 1);
#ifdef VANTOREL_ADDRESS_SANITIZER
constexpr std::size_t kGap = kLine;  // unusable room between two blocks
#else
constexpr std::size_t kGap = 0;
#endif
static_assert(kPageHeader + kHugeBlockBytes + kGap <= kHugePage, "a shared block fits a page");

std::mutex sharedMutex;
char* sharedPage = nullptr;  // the page blocks are cut from now
std::size_t sharedUsed = 0;

SharedPage& HeaderOf(char* page) {
  return *std::launder(reinterpret_cast<SharedPage*>(page));
}

void Release(char* page) {
  SharedPage& header = HeaderOf(page);
  if (header.users.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  header.~SharedPage();
  Unpoison(page, kHugePage);
  std::free(page);
}

void* CutSharedBlock(std::size_t size) {
  const std::size_t room = ((size + kLine - 1) & ~(kLine - 1)) + kGap;
  std::lock_guard<std::mutex> lock(sharedMutex);
  if (!sharedPage || sharedUsed + room > kHugePage) {
    char* page = static_cast<char*>(AllocateHugePages(kHugePage));
    if (!page) return nullptr;
    ::new (page) SharedPage;
    Poison(page + kPageHeader, kHugePage - kPageHeader);
    if (sharedPage) Release(sharedPage);
    sharedPage = page;
    sharedUsed = kPageHeader;
  }
  char* block = sharedPage + sharedUsed;
  sharedUsed += room;
  HeaderOf(sharedPage).users.fetch_add(1, std::memory_order_relaxed);
  Unpoison(block, size);
  return block;
}

bool IsShared(std::size_t size) {
  return size >= kSharedBlockBytes && size < kHugeBlockBytes;
}

}  // namespace

void* AllocateBlock(std::size_t* size) {
  void* block = nullptr;
  if (*size >= kHugeBlockBytes) {
    const std::size_t rounded = (*size + kHugePage - 1) & ~(kHugePage - 1);
    block = AllocateHugePages(rounded);
    if (block) *size = rounded;
  } else if (IsShared(*size)) {
    // The size stays as asked, so that FreeBlock knows the block for a shared one either way.
    block = CutSharedBlock(*size);
  } else {
    block = std::malloc(std::max<std::size_t>(*size, 1));
  }
  if (!block) throw std::bad_alloc();
  return block;
}

void FreeBlock(void* block, std::size_t size) {
  if (!IsShared(size)) return std::free(block);
  Poison(block, size);
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  Release(reinterpret_cast<char*>(at & ~(std::uintptr_t{kHugePage} - 1)));
}

}  // namespace vantorel
