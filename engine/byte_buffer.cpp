#include "byte_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "large_block.h"

namespace vantorel {

CByteBuffer& CByteBuffer::operator=(const CByteBuffer& other) {
  if (this != &other) CByteBuffer(other).Swap(*this);
  return *this;
}

CByteBuffer::~CByteBuffer() {
  if (capacity_ > 0) FreeBlock(data_, capacity_);
}

void CByteBuffer::Swap(CByteBuffer& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
}

void CByteBuffer::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  char* block = static_cast<char*>(AllocateBlock(&capacity));
  if (size_ > 0) std::memcpy(block, data_, size_);
  if (capacity_ > 0) FreeBlock(data_, capacity_);
  data_ = block;
  capacity_ = capacity;
}

void CByteBuffer::Grow(std::size_t needed) {
  Reserve(std::max(needed, capacity_ * 2));
}

void CByteBuffer::Append(std::string_view bytes) {
  if (bytes.empty()) return;
  // The bytes may lie in this buffer: where they stand is taken before it moves.
  if (size_ + bytes.size() > capacity_) {
    if (Holds(bytes.data())) {
      const std::size_t offset = static_cast<std::size_t>(bytes.data() - data_);
      Grow(size_ + bytes.size());
      bytes = std::string_view(data_ + offset, bytes.size());
    } else {
      Grow(size_ + bytes.size());
    }
  }
  std::memcpy(data_ + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

void CByteBuffer::Insert(std::size_t at, std::string_view bytes) {
  if (bytes.empty()) return;
  at = std::min(at, size_);  // past the end: appended
  // Inserted bytes from this buffer are copied first: the move below may pass over them.
  if (Holds(bytes.data())) {
    const CByteBuffer copy(bytes);
    Insert(at, copy.View());
    return;
  }
  if (size_ + bytes.size() > capacity_) Grow(size_ + bytes.size());
  std::memmove(data_ + at + bytes.size(), data_ + at, size_ - at);
  std::memcpy(data_ + at, bytes.data(), bytes.size());
  size_ += bytes.size();
}

}  // namespace vantorel
