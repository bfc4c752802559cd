#include "line_array.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "worker_thread.h"

namespace vantorel {

namespace {

#if defined(__SSE2__)
// Moves sixteen bytes from `from` to `to`, which lies before it or on it.
inline __m128i Move16(char* to, const char* from) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
  return bytes;
}
#endif

}  // namespace

void CLineArray::Add(std::string_view line) {
  if (!more_.empty()) Flatten();
  if (!ends_.empty()) text_.PushBack('\n');
  text_.Append(line);
  ends_.push_back(text_.Size());
}

void CLineArray::Reserve(std::size_t bytes, std::size_t lines) {
  text_.Reserve(bytes + lines);  // the lines' bytes and the LF after each
  ends_.reserve(lines);
}

void CLineArray::RemoveAll() {
  text_.Clear();
  ends_.clear();
  DropTakenOver();
}

namespace {

// How many bits are set, in line: __builtin_popcountll calls a library function where the
// instruction is not known to be there (the x86-64 baseline), and line ends are counted for
// every 64 bytes read.
unsigned BitCount(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555u;
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<unsigned>((x * 0x0101010101010101u) >> 56);
}

// Finds the line ends of data[begin, end), which starts a line, for as long as reading leaves
// the text where it stands: up to the first line that ends in CR LF or holds a NUL or a 0x1A, or
// the end. Each line's end goes to `ends`; returns where the first line not looked at starts.
std::size_t FindUnmovedLines(const char* data, std::size_t begin, std::size_t end, LineEnds& ends) {
  auto lineStart = [&] { return ends.empty() ? begin : ends.back() + 1; };
  std::size_t at = begin;
#if defined(__SSE2__)
  // Sixteen bytes four times over: a mask of 64 bits per kind of byte. The line ends go into
  // room made beforehand, four at a time, with no test per line end: how many there are comes
  // from the mask.
  std::size_t count = ends.size();
  for (; at + 64 <= end; at += 64) {
    std::uint64_t lfs = 0;
    std::uint64_t crs = 0;
    std::uint64_t dropped = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 16 * k));
      auto maskOf = [&](__m128i equal) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(equal)))
               << (16 * k);
      };
      lfs |= maskOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
      crs |= maskOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
      dropped |= maskOf(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_setzero_si128()),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x1A))));
    }
    // A NUL or 0x1A, or a CR right before an LF (in this block or as the last byte of the one
    // before): the text moves from that line on.
    if (dropped != 0 || ((crs << 1) & lfs) != 0 ||
        ((lfs & 1) != 0 && at > begin && data[at - 1] == '\r')) {
      ends.resize(count);
      return lineStart();
    }
    if (count + 64 > ends.size()) ends.resize(count + 64 + 4096);
    std::size_t* out = ends.data() + count;
    count += BitCount(lfs);
    // A mask gone empty gives bit 63: a value written past the count, never read.
    constexpr std::uint64_t kLast = std::uint64_t{1} << 63;
    for (; lfs != 0; out += 4) {
      for (int k = 0; k < 4; ++k) {
        out[k] = at + static_cast<std::size_t>(__builtin_ctzll(lfs | kLast));
        lfs &= lfs - 1;
      }
    }
  }
  ends.resize(count);
#endif
  for (; at < end; ++at) {
    if (data[at] == '\0' || data[at] == 0x1A) return lineStart();
    if (data[at] != '\n') continue;
    if (at > begin && data[at - 1] == '\r') return lineStart();
    ends.push_back(at);
  }
  const std::size_t rest = lineStart();
  if (rest < end) ends.push_back(end);  // a last line with no line end
  return end;
}

// What reading a part of a text found.
struct PartRead {
  std::size_t end = 0;   // where its text now ends
  bool dropped = false;  // a NUL or a 0x1A
  bool cut = false;      // a 0x1A, which ended the text
};

// Takes out of data[begin, end), which starts a line, what reading drops: a CR before an LF and
// what follows a NUL in its line. Each line's text moves down to follow the LF after the one
// before, its end (an offset into data) goes to `ends`, and its own LF, where it has one, follows
// it. A 0x1A ends the text.
PartRead CompactLines(char* data, std::size_t begin, std::size_t end, LineEnds& ends,
                      bool* firstLineEndsWithCrLf) {
  // Most files have no CR LF, no NUL and no 0x1A: their lines stay where they are.
  std::size_t in = FindUnmovedLines(data, begin, end, ends);
  PartRead read;
  if (in == end) {
    read.end = end;
    return read;
  }
  if (const void* eof = std::memchr(data + in, 0x1A, end - in)) {
    end = static_cast<std::size_t>(static_cast<const char*>(eof) - data);
    read.cut = true;
  }
  const bool hasNul = std::memchr(data + in, '\0', end - in) != nullptr;
  read.dropped = read.cut || hasNul;
  std::size_t out = in;
  // Ends the line whose text now runs up to `out`, and keeps its LF behind it. The line may have
  // begun in a block moved below: it starts after the last line's LF.
  auto endLine = [&](bool atLf) {
    const std::size_t lineStart = ends.empty() ? begin : ends.back() + 1;
    if (atLf && out > lineStart && data[out - 1] == '\r') {
      --out;
      if (ends.empty()) *firstLineEndsWithCrLf = true;
    }
    if (const void* nul = hasNul ? std::memchr(data + lineStart, '\0', out - lineStart) : nullptr)
      out = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    ends.push_back(out);
    if (atLf) data[out++] = '\n';
  };
  while (in < end) {
#if defined(__SSE2__)
    // Sixteen bytes at a time once the text has moved far enough for a whole block written at
    // `out` to land on bytes already read; a NUL, and the last bytes, which may end a line with
    // no line end, are left to the byte rules below.
    if (!hasNul && in - out >= 16 && end - in > 16) {
      const __m128i block = Move16(data + out, data + in);
      const int lfs = _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\n')));
      if (lfs == 0) {
        in += 16;
        out += 16;
        continue;
      }
      const auto length = static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(lfs)));
      in += length + 1;
      out += length;
      endLine(true);
      continue;
    }
#endif
    const char* lf = static_cast<const char*>(std::memchr(data + in, '\n', end - in));
    const std::size_t lineEnd = lf ? static_cast<std::size_t>(lf - data) : end;
    const std::size_t length = lineEnd - in;
    if (out != in) std::memmove(data + out, data + in, length);
    out += length;
    endLine(lf != nullptr);
    in = lf ? lineEnd + 1 : end;
  }
  read.end = out;
  return read;
}

}  // namespace

LineReadInfo CLineArray::ReadLines(std::string_view bytes) {
  return ReadLines(CByteBuffer(bytes));
}

LineReadInfo CLineArray::ReadLines(CByteBuffer bytes) {
  LineReadInfo info;
  RemoveAll();
  char* data = bytes.Data();
  const std::size_t size = bytes.Size();
  // A large text is compacted in two halves at once, the second from the line that starts
  // after its middle, and then moved down behind the first.
  const char* lf = size >= kParallelBytes
                       ? static_cast<const char*>(std::memchr(data + size / 2, '\n', size / 2))
                       : nullptr;
  const std::size_t middle = lf ? static_cast<std::size_t>(lf - data) + 1 : size;
  // Room for lines of 8 bytes on average (script lines are several times as long): the index
  // then never moves while it grows, and room not used costs no memory.
  ends_.reserve(middle / 8 + 16);
  LineEnds laterEnds;
  laterEnds.reserve((size - middle) / 8 + 16);
  PartRead later;
  bool unused = false;
  CWorkerThread thread;
  if (middle < size) {
    try {
      thread = CWorkerThread([&] { later = CompactLines(data, middle, size, laterEnds, &unused); });
    } catch (const std::system_error&) {
      later = CompactLines(data, middle, size, laterEnds, &unused);
    }
  }
  const PartRead first = CompactLines(data, 0, middle, ends_, &info.firstLineEndsWithCrLf);
  thread.Join();
  info.bytesDropped = first.dropped;
  // A 0x1A in the first half ends the text there: the second half is dropped.
  if (middle < size && !first.cut) {
    info.bytesDropped = info.bytesDropped || later.dropped;
    // The first half ends with its last line's LF, so the halves join as the text stood.
    if (first.end != middle) std::memmove(data + first.end, data + middle, later.end - middle);
    const std::size_t shift = middle - first.end;
    ends_.reserve(ends_.size() + laterEnds.size());
    for (std::size_t end : laterEnds) ends_.push_back(end - shift);
  }
  // No LF follows the last line; the bytes dropped leave a little room at the end: not worth a
  // copy of the text.
  bytes.Resize(ends_.empty() ? 0 : ends_.back());
  text_ = std::move(bytes);
  return info;
}

namespace {

// Lines are gathered into large blocks so that the sink sees few, big writes.
constexpr std::size_t kBlock = 1 << 20;
// Short lines are copied sixteen bytes at a time, a few bytes past their end: the block has
// room for that, and the text is read past a line only where it goes on.
constexpr std::size_t kChunk = 16;

}  // namespace

bool CLineArray::WriteLines(CByteSink& sink, std::string_view eol) const {
  if (eol == "\n") {
    if (!WriteOwnText(sink, 0)) return false;
    for (const Piece& piece : more_) {
      if (!piece.lines->WriteOwnText(sink, piece.first)) return false;
    }
    return true;
  }
  std::unique_ptr<char[]> block(new char[kBlock + kChunk + std::max<std::size_t>(eol.size(), 2)]);
  std::size_t used = 0;
  if (!WriteOwnLines(sink, eol, 0, block.get(), &used)) return false;
  for (const Piece& piece : more_) {
    if (!piece.lines->WriteOwnLines(sink, eol, piece.first, block.get(), &used)) return false;
  }
  return used == 0 || sink.Write(block.get(), used);
}

// Adds this array's own lines from `first` on to the block, which holds *used bytes, passing
// each full block to the sink.
bool CLineArray::WriteOwnLines(CByteSink& sink, std::string_view eol, std::size_t first,
                               char* block, std::size_t* usedBytes) const {
  const char* const textEnd = text_.Data() + text_.Size();
  const char eolFirst = eol.empty() ? '\0' : eol[0];
  const char eolSecond = eol.size() < 2 ? '\0' : eol[1];
  std::size_t used = *usedBytes;
  for (std::size_t i = first; i < ends_.size(); ++i) {
    const std::size_t start = StartOf(i);
    const std::string_view line(text_.Data() + start, ends_[i] - start);
    if (used + line.size() > kBlock) {
      if (used > 0 && !sink.Write(block, used)) return false;
      used = 0;
    }
    char* to = block + used;
    if (line.size() >= kBlock) {
      if (!sink.Write(line.data(), line.size())) return false;
    } else if (line.size() <= 4 * kChunk &&
               static_cast<std::size_t>(textEnd - line.data()) >= 4 * kChunk) {
      for (std::size_t k = 0; k < line.size(); k += kChunk)
        std::memcpy(to + k, line.data() + k, kChunk);
      used += line.size();
    } else {
      std::memcpy(to, line.data(), line.size());
      used += line.size();
    }
    if (eol.size() <= 2) {  // the usual CR LF or LF, without a call
      block[used] = eolFirst;
      block[used + 1] = eolSecond;
      used += eol.size();
    } else {
      std::memcpy(block + used, eol.data(), eol.size());
      used += eol.size();
    }
  }
  *usedBytes = used;
  return true;
}

bool CLineArray::WriteOwnText(CByteSink& sink, std::size_t first) const {
  if (first >= ends_.size()) return true;
  const std::size_t start = StartOf(first);
  return (start == text_.Size() || sink.Write(text_.Data() + start, text_.Size() - start)) &&
         sink.Write("\n", 1);
}

std::string_view CLineArray::GetTakenOver(std::size_t index) const {
  for (const Piece& piece : more_) {
    if (index < piece.count) return piece.lines->OwnLine(piece.first + index);
    index -= piece.count;
  }
  return {};  // past the end
}

std::size_t CLineArray::TakenOverBytesBefore(std::size_t index) const {
  std::size_t bytes = 0;
  for (const Piece& piece : more_) {
    if (index < piece.count)
      return bytes + piece.lines->TextBefore(piece.first + index) -
             piece.lines->TextBefore(piece.first);
    bytes += piece.lines->OwnLineBytesFrom(piece.first);
    index -= piece.count;
  }
  return bytes;
}

bool CLineArray::PiecesHold(const char* p) const {
  for (const Piece& piece : more_) {
    if (piece.lines->text_.Holds(p)) return true;
  }
  return false;
}

void CLineArray::AddPiece(std::shared_ptr<const CLineArray> lines, std::size_t first) {
  const std::size_t count = lines->ends_.size() - first;
  moreCount_ += count;
  moreBytes_ += lines->OwnLineBytesFrom(first);
  more_.push_back({std::move(lines), first, count});
}

void CLineArray::TakeOverLines(CLineArray&& other, std::size_t first) {
  // The other's pieces follow its own lines; `first` may lie in one of them.
  std::vector<Piece> otherMore = std::move(other.more_);
  other.DropTakenOver();
  const std::size_t own = other.ends_.size();
  if (first < own) {
    AddPiece(std::make_shared<const CLineArray>(std::move(other)), first);
    first = 0;
  } else {
    first -= own;
  }
  for (Piece& piece : otherMore) {
    if (first >= piece.count) {
      first -= piece.count;
      continue;
    }
    AddPiece(std::move(piece.lines), piece.first + first);
    first = 0;
  }
  other.RemoveAll();
}

void CLineArray::Flatten() {
  std::vector<Piece> more = std::move(more_);  // leaves more_ empty
  DropTakenOver();
  std::size_t bytes = 0;
  std::size_t count = 0;
  for (const Piece& piece : more) {
    bytes += piece.lines->text_.Size() - piece.lines->StartOf(piece.first);
    count += piece.count;
  }
  text_.Reserve(text_.Size() + more.size() + bytes);
  ends_.reserve(ends_.size() + count);
  for (const Piece& piece : more) {
    const CLineArray& lines = *piece.lines;
    const std::size_t from = lines.StartOf(piece.first);
    if (!ends_.empty()) text_.PushBack('\n');
    const std::size_t base = text_.Size();
    text_.Append(lines.text_.View().substr(from));
    for (std::size_t i = piece.first; i < lines.ends_.size(); ++i)
      ends_.push_back(base + (lines.ends_[i] - from));
  }
}

void CLineArray::AppendToLast(std::string_view text) {
  if (!more_.empty()) Flatten();
  text_.Append(text);
  ends_.back() = text_.Size();
}

void CLineArray::InsertIntoLast(std::size_t column, std::string_view text) {
  if (!more_.empty()) Flatten();
  text_.Insert(StartOf(ends_.size() - 1) + std::min(column, GetLast().size()), text);
  ends_.back() = text_.Size();
}

void CLineArray::TruncateLast(std::size_t length) {
  if (!more_.empty()) Flatten();
  text_.Resize(StartOf(ends_.size() - 1) + std::min(length, GetLast().size()));
  ends_.back() = text_.Size();
}

void CLineArray::RemoveLast() {
  if (!more_.empty()) Flatten();
  ends_.pop_back();
  text_.Resize(ends_.empty() ? 0 : ends_.back());
}

}  // namespace vantorel
