#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace vantorel {

// A growable run of bytes in one block of memory. Unlike a std::string it leaves the room it
// grows into unwritten, so that a file's bytes can be read, and output text put together,
// straight into it without clearing the memory first. A block of sixteen kilobytes or more
// lies in huge pages, its own from a megabyte on and shared with other blocks below that: its
// memory then comes in a few large pages rather than hundreds of small ones (see AllocateBlock).
class CByteBuffer {
 public:
  CByteBuffer() = default;
  explicit CByteBuffer(std::string_view bytes) { Append(bytes); }
  CByteBuffer(const CByteBuffer& other) : CByteBuffer(other.View()) {}
  CByteBuffer(CByteBuffer&& other) noexcept { Swap(other); }
  CByteBuffer& operator=(const CByteBuffer& other);
  CByteBuffer& operator=(CByteBuffer&& other) noexcept {
    CByteBuffer(std::move(other)).Swap(*this);
    return *this;
  }
  ~CByteBuffer();

  char* Data() { return data_; }
  const char* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  std::size_t Capacity() const { return capacity_; }
  bool IsEmpty() const { return size_ == 0; }
  std::string_view View() const { return std::string_view(data_, size_); }

  // Room for `capacity` bytes in all, so that growing up to it moves nothing.
  void Reserve(std::size_t capacity);
  // Bytes added by growing are left unwritten, for the caller to fill.
  void Resize(std::size_t size) {
    if (size > capacity_) Grow(size);
    size_ = size;
  }
  void Clear() { size_ = 0; }
  void PushBack(char c) {
    if (size_ == capacity_) Grow(size_ + 1);
    data_[size_++] = c;
  }
  void Append(std::string_view bytes);
  // At `at`, or at the end where `at` lies past it.
  void Insert(std::size_t at, std::string_view bytes);
  void Swap(CByteBuffer& other) noexcept;
  // Whether `p` points into the room of this buffer.
  bool Holds(const char* p) const {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const auto begin = reinterpret_cast<std::uintptr_t>(data_);
    return at >= begin && at < begin + capacity_;
  }

 private:
  // Makes room for at least `needed` bytes, doubling the capacity at the least.
  void Grow(std::size_t needed);

  // An empty buffer points at a byte of its own, so that its data is never null.
  inline static char noBytes_[1] = {};
  char* data_ = noBytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace vantorel
