#include "line_array.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace vantorel {

void CLineArray::Add(std::string_view line) {
  text_.append(line);
  ends_.push_back(text_.size());
}

void AdviseLargeBuffer(char* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
  // Only advice: where the system has no huge pages the buffer works all the same.
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void CLineArray::Reserve(std::size_t bytes, std::size_t lines) {
  const bool fresh = text_.capacity() < bytes;
  text_.reserve(bytes);
  ends_.reserve(lines);
  if (fresh) AdviseLargeBuffer(text_.data() + text_.size(), text_.capacity() - text_.size());
}

void CLineArray::RemoveAll() {
  text_.clear();
  ends_.clear();
}

LineReadInfo CLineArray::ReadLines(std::string bytes) {
  LineReadInfo info;
  RemoveAll();
  if (const void* eof = std::memchr(bytes.data(), 0x1A, bytes.size())) {
    bytes.resize(static_cast<const char*>(eof) - bytes.data());
  }
  // Compact the lines in place: each line's text moves to `out`, terminators and NUL tails go.
  char* data = bytes.data();
  const std::size_t size = bytes.size();
  const bool hasNul = std::memchr(data, '\0', size) != nullptr;
  std::size_t in = 0;
  std::size_t out = 0;
  while (in < size) {
    const char* lf = static_cast<const char*>(std::memchr(data + in, '\n', size - in));
    std::size_t lineEnd = lf ? static_cast<std::size_t>(lf - data) : size;
    std::size_t textEnd = lineEnd;
    if (lf && textEnd > in && data[textEnd - 1] == '\r') {
      --textEnd;
      if (ends_.empty()) info.firstLineEndsWithCrLf = true;
    }
    if (const void* nul = hasNul ? std::memchr(data + in, '\0', textEnd - in) : nullptr) {
      textEnd = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    }
    std::size_t length = textEnd - in;
    if (out != in) std::memmove(data + out, data + in, length);
    out += length;
    ends_.push_back(out);
    in = lf ? lineEnd + 1 : size;
  }
  // The line ends taken out leave a little room at the end: not worth a copy of the text.
  bytes.resize(out);
  text_ = std::move(bytes);
  return info;
}

bool CLineArray::WriteLines(CByteSink& sink, std::string_view eol) const {
  // Lines are gathered into large blocks so that the sink sees few, big writes.
  constexpr std::size_t kBlock = 1 << 20;
  std::unique_ptr<char[]> block(new char[kBlock + eol.size()]);
  std::size_t used = 0;
  for (std::size_t i = 0; i < ends_.size(); ++i) {
    std::string_view line = GetAt(i);
    if (used + line.size() > kBlock) {
      if (used > 0 && !sink.Write(block.get(), used)) return false;
      used = 0;
    }
    if (line.size() >= kBlock) {
      if (!sink.Write(line.data(), line.size())) return false;
    } else {
      std::memcpy(block.get() + used, line.data(), line.size());
      used += line.size();
    }
    std::memcpy(block.get() + used, eol.data(), eol.size());
    used += eol.size();
  }
  return used == 0 || sink.Write(block.get(), used);
}

void CLineArray::AppendToLast(std::string_view text) {
  text_.append(text);
  ends_.back() = text_.size();
}

void CLineArray::AppendToLast(char c, std::size_t count) {
  text_.append(count, c);
  ends_.back() = text_.size();
}

void CLineArray::InsertIntoLast(std::size_t column, std::string_view text) {
  text_.insert(StartOf(ends_.size() - 1) + column, text);
  ends_.back() = text_.size();
}

void CLineArray::TruncateLast(std::size_t length) {
  text_.resize(StartOf(ends_.size() - 1) + length);
  ends_.back() = text_.size();
}

void CLineArray::RemoveLast() {
  text_.resize(StartOf(ends_.size() - 1));
  ends_.pop_back();
}

}  // namespace vantorel
