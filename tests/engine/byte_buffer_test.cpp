#include "byte_buffer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "large_block.h"

namespace vantorel::testing {
namespace {

using Edit = std::function<void(CByteBuffer&, std::string&)>;

// Appends bytes taken from the buffer itself: the source moves when the buffer grows.
void AppendOwnBytes(CByteBuffer& buffer, std::string& model, std::size_t from, std::size_t n) {
  const std::string copied = model.substr(from, n);
  buffer.Append(std::string_view(buffer.Data() + from, copied.size()));
  model += copied;
}

// Every run of edits leaves the buffer holding what a std::string would, however often it grew
// on the way, and wherever the bytes it was given came from.
TEST(ByteBuffer, EditsMatchAString) {
  const std::pair<const char*, std::vector<Edit>> runs[] = {
      {"appends that grow it", {[](CByteBuffer& b, std::string& m) {
         for (int i = 0; i < 300; ++i) {
           const std::string piece(static_cast<std::size_t>(i % 17),
                                   static_cast<char>('a' + i % 26));
           b.Append(piece);
           m += piece;
         }
       }}},
      {"bytes pushed one by one", {[](CByteBuffer& b, std::string& m) {
         for (int i = 0; i < 5000; ++i) {
           b.PushBack(static_cast<char>(i));
           m.push_back(static_cast<char>(i));
         }
       }}},
      {"own bytes appended as it grows", {[](CByteBuffer& b, std::string& m) {
         b.Append("0123456789");
         m = "0123456789";
         for (int i = 0; i < 12; ++i) AppendOwnBytes(b, m, m.size() / 3, m.size() - m.size() / 3);
       }}},
      {"own bytes inserted before themselves", {[](CByteBuffer& b, std::string& m) {
         b.Append("abcdefgh");
         m = "abcdefgh";
         for (int i = 0; i < 10; ++i) {
           const std::string copied = m.substr(2, 5);
           b.Insert(1, std::string_view(b.Data() + 2, 5));
           m.insert(1, copied);
         }
       }}},
      {"inserts at both ends", {[](CByteBuffer& b, std::string& m) {
         for (int i = 0; i < 200; ++i) {
           const std::string piece = std::to_string(i);
           const std::size_t at = i % 2 == 0 ? 0 : m.size();
           b.Insert(at, piece);
           m.insert(at, piece);
         }
       }}},
      {"inserted past the end: appended", {[](CByteBuffer& b, std::string& m) {
         b.Append("abc");
         b.Insert(100, "xyz");
         m = "abcxyz";
       }}},
      {"resized down and filled again in place", {[](CByteBuffer& b, std::string& m) {
         b.Append(std::string(100, 'x'));
         b.Resize(40);
         b.Resize(45);
         std::memcpy(b.Data() + 40, "HELLO", 5);
         m = std::string(40, 'x') + "HELLO";
       }}},
      {"cleared, then used again", {[](CByteBuffer& b, std::string& m) {
         b.Append(std::string(3000, 'q'));
         b.Clear();
         b.Append("after");
         m = "after";
       }}},
  };
  for (const auto& [label, edits] : runs) {
    SCOPED_TRACE(label);
    CByteBuffer buffer;
    std::string model;
    for (const Edit& edit : edits) edit(buffer, model);
    EXPECT_EQ(buffer.View(), model);
    EXPECT_EQ(buffer.Size(), model.size());
    EXPECT_GE(buffer.Capacity(), buffer.Size());
    // Copies and moves hold the same bytes; a copy is a buffer of its own.
    CByteBuffer copy = buffer;
    CByteBuffer moved = std::move(copy);
    EXPECT_EQ(moved.View(), model);
    EXPECT_TRUE(copy.IsEmpty());
    if (!buffer.IsEmpty()) {
      buffer.Data()[0] ^= 1;
      EXPECT_EQ(moved.View(), model);
    }
    copy = moved;
    EXPECT_EQ(copy.View(), model);
  }
}

// Room reserved is kept until used up; large blocks start on a huge page boundary, so that all of
// them can be backed by huge pages.
TEST(ByteBuffer, ReservedRoomDoesNotMove) {
  for (std::size_t size : {std::size_t{1}, std::size_t{4096}, kSharedBlockBytes - 1,
                           kSharedBlockBytes, kSharedBlockBytes + 1, kHugeBlockBytes - 1,
                           kHugeBlockBytes, kHugePage - 1, kHugePage, 3 * kHugePage + 5}) {
    SCOPED_TRACE(size);
    CByteBuffer buffer;
    buffer.Reserve(size);
    EXPECT_GE(buffer.Capacity(), size);
    const char* const data = buffer.Data();
    if (size >= kHugeBlockBytes) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % kHugePage, 0u);
      EXPECT_EQ(buffer.Capacity() % kHugePage, 0u);
    } else if (size >= kSharedBlockBytes) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % 64, 0u);
    }
    buffer.Resize(size);
    buffer.Data()[size - 1] = 'z';
    buffer.Resize(size / 2);
    EXPECT_EQ(buffer.Data(), data);
    EXPECT_TRUE(buffer.Holds(data + size - 1));
    EXPECT_FALSE(buffer.Holds(data + buffer.Capacity()));
    EXPECT_FALSE(CByteBuffer().Holds(data));
  }
}

// A container's large blocks are placed the same way, however it grew to them.
TEST(ByteBuffer, LargeContainerBlocksStartOnAHugePage) {
  std::vector<std::size_t, CBlockAllocator<std::size_t>> ends;
  for (std::size_t i = 0; i < 3 * kHugePage / sizeof(std::size_t); ++i) ends.push_back(i);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ends.data()) % kHugePage, 0u);
  EXPECT_EQ(ends[12345], 12345u);
  EXPECT_EQ(ends.back(), ends.size() - 1);
}

// Resident memory of this process, in bytes.
std::size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Blocks cut from shared huge pages, taken and freed in any order by two threads at once: each
// keeps its bytes until freed, lies on a cache line of its own, and the pages go back once all
// their blocks are freed.
TEST(ByteBuffer, SharedBlocksKeepApartAndTheirPagesGoBack) {
  const std::size_t before = ResidentBytes();
  auto churn = [](unsigned seed, int* faults) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> sizes(kSharedBlockBytes, kHugeBlockBytes - 1);
    struct Held {
      char* data;
      std::size_t size;
      char fill;
    };
    std::vector<Held> held;
    for (int round = 0; round < 2000; ++round) {
      if (held.size() < 6 && random() % 3 != 0) {
        std::size_t size = sizes(random);
        const std::size_t asked = size;
        char* data = static_cast<char*>(AllocateBlock(&size));
        if (size != asked || reinterpret_cast<std::uintptr_t>(data) % 64 != 0) ++*faults;
        const char fill = static_cast<char>('a' + random() % 26);
        std::memset(data, fill, size);
        held.push_back({data, size, fill});
      } else if (!held.empty()) {
        const std::size_t k = random() % held.size();
        const Held block = held[k];
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(k));
        if (std::string_view(block.data, block.size) != std::string(block.size, block.fill))
          ++*faults;
        FreeBlock(block.data, block.size);
      }
    }
    for (const Held& block : held) FreeBlock(block.data, block.size);
  };
  int faults[2] = {0, 0};
  std::thread other(churn, 7u, &faults[1]);
  churn(11u, &faults[0]);
  other.join();
  EXPECT_EQ(faults[0], 0);
  EXPECT_EQ(faults[1], 0);
  // Some 900 huge pages were filled; kept, they would hold nearly 2 GB. The bound leaves room for
  // the page blocks are still cut from, and for an address sanitizer's quarantine (256 MB).
  EXPECT_LT(ResidentBytes(), before + (std::size_t{400} << 20));
}

}  // namespace
}  // namespace vantorel::testing
