#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"
#include "large_block.h"

namespace vantorel {

// Receives bytes in order; false once a write has failed (for example a full disk), after which
// the writer stops.
class CByteSink {
 public:
  virtual ~CByteSink() = default;
  virtual bool Write(const char* data, std::size_t size) = 0;
};

// What reading a file's bytes found out about its line ends.
struct LineReadInfo {
  bool firstLineEndsWithCrLf = false;
  // A NUL (with the rest of its line) or a 0x1A (with all that follows) was left out: the lines
  // written back would not give the file again.
  bool bytesDropped = false;
};

// Where each line of a text ends.
using LineEnds = std::vector<std::size_t, CBlockAllocator<std::size_t>>;

// An ordered array of byte strings, one per text line, without line terminators.
//
// A line read from a file holds no NUL and no LF byte; it may hold CR bytes. The lines share one
// buffer (and, after TakeOverLines, the buffers of others behind it), each but the last followed by
// an LF: a file with LF line ends is read without moving its text, and lines written with LF line
// ends go out as the buffer holds them. Only the last line can be changed or removed: the engine
// only ever appends to its output or edits the output's last line, and one buffer keeps memory
// close to the text's size.
class CLineArray {
 public:
  std::size_t GetSize() const { return ends_.size() + moreCount_; }
  bool IsEmpty() const { return GetSize() == 0; }
  std::string_view GetAt(std::size_t index) const {
    if (index >= ends_.size()) return GetTakenOver(index - ends_.size());
    return OwnLine(index);
  }
  std::string_view GetLast() const { return GetAt(GetSize() - 1); }

  // The bytes of all lines together, line ends not counted.
  std::size_t TextSize() const { return OwnLineBytes() + moreBytes_; }
  // The bytes of the lines before `index` (all lines where it lies past them), line ends not
  // counted: without adding up the lines' sizes.
  std::size_t TextBefore(std::size_t index) const {
    if (index <= ends_.size()) return StartOf(index) - index;
    return OwnLineBytes() + TakenOverBytesBefore(index - ends_.size());
  }

  void Add(std::string_view line);
  // Room for this many bytes and lines without reallocating.
  void Reserve(std::size_t bytes, std::size_t lines);
  void RemoveAll();

  // Texts from this size on are read in two halves, one on a thread of its own.
  static constexpr std::size_t kParallelBytes = std::size_t{1} << 20;
  // Replaces the contents with the lines of a file's bytes: CR LF and LF end a line, a lone CR
  // stays in its line, 0x1A ends the input, a NUL ends its line's text (the bytes after it up to
  // the line end are dropped), and no empty line follows a final line end.
  LineReadInfo ReadLines(CByteBuffer bytes);
  LineReadInfo ReadLines(std::string_view bytes);
  // Writes every line followed by eol; false when the sink failed.
  bool WriteLines(CByteSink& sink, std::string_view eol = "\r\n") const;

  // Editing the last line; each needs a last line.
  void AddEmpty() {
    if (!more_.empty()) Flatten();
    if (!ends_.empty()) text_.PushBack('\n');
    ends_.push_back(text_.Size());
  }
  void AppendToLast(std::string_view text);
  // Room for up to `count` more bytes at the end of the last line, to be written there in place;
  // EndLastAt then ends the line after the last byte written. Nothing else may change the array
  // in between.
  char* ExtendLast(std::size_t count) {
    if (!more_.empty()) Flatten();
    const std::size_t size = text_.Size();
    text_.Resize(size + count);
    return text_.Data() + size;
  }
  void EndLastAt(const char* end) {
    text_.Resize(static_cast<std::size_t>(end - text_.Data()));
    ends_.back() = text_.Size();
  }
  // Whether `p` points into this array's text: such text moves when a line is added or extended.
  bool HoldsText(const char* p) const {
    return text_.Holds(p) || (!more_.empty() && PiecesHold(p));
  }
  void InsertIntoLast(std::size_t column, std::string_view text);
  void TruncateLast(std::size_t length);
  void RemoveLast();
  // Appends the lines of `other` from index `first` on, taking its text over where it lies
  // instead of copying it (lines it took over from others, too); `other` is left empty.
  void TakeOverLines(CLineArray&& other, std::size_t first);
  // Keeps the first `count` lines.
  void TruncateLines(std::size_t count) {
    if (count <= ends_.size()) DropTakenOver();  // nothing taken over is kept
    if (!more_.empty()) Flatten();
    if (count >= ends_.size()) return;
    text_.Resize(count == 0 ? 0 : ends_[count - 1]);
    ends_.resize(count);
  }

 private:
  // Lines taken over from another array: its own lines from `first` on.
  struct Piece {
    std::shared_ptr<const CLineArray> lines;
    std::size_t first = 0;
    std::size_t count = 0;
  };

  std::size_t StartOf(std::size_t index) const { return index == 0 ? 0 : ends_[index - 1] + 1; }
  std::string_view OwnLine(std::size_t index) const {
    const std::size_t start = StartOf(index);
    return std::string_view(text_.Data() + start, ends_[index] - start);
  }
  std::string_view GetTakenOver(std::size_t index) const;
  std::size_t TakenOverBytesBefore(std::size_t index) const;
  bool PiecesHold(const char* p) const;
  std::size_t OwnLineBytes() const { return text_.Size() - (ends_.empty() ? 0 : ends_.size() - 1); }
  // The bytes of this array's own lines from `first` on, line ends not counted.
  std::size_t OwnLineBytesFrom(std::size_t first) const {
    return first >= ends_.size() ? 0 : OwnLineBytes() - (StartOf(first) - first);
  }
  void AddPiece(std::shared_ptr<const CLineArray> lines, std::size_t first);
  void DropTakenOver() {
    more_.clear();
    moreCount_ = moreBytes_ = 0;
  }
  // Copies the lines taken over into this array's own text, before an edit.
  void Flatten();
  bool WriteOwnLines(CByteSink& sink, std::string_view eol, std::size_t first, char* block,
                     std::size_t* used) const;
  // This array's own lines from `first` on, each followed by an LF, as the text holds them.
  bool WriteOwnText(CByteSink& sink, std::size_t first) const;

  CByteBuffer text_;  // every line's bytes, an LF between two lines
  LineEnds ends_;     // end offset of each line in text_
  // Lines taken over from other arrays, in order, behind this array's own. Shared by copies and
  // never changed; an edit first copies them into text_. A piece's array has no pieces itself.
  std::vector<Piece> more_;
  std::size_t moreCount_ = 0;
  std::size_t moreBytes_ = 0;  // their bytes, line ends not counted
};

}  // namespace vantorel
