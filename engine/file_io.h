#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "line_array.h"

namespace vantorel {

// Closes a file descriptor when it goes out of scope.
class CFd {
 public:
  explicit CFd(int fd) : fd_(fd) {}
  CFd(const CFd&) = delete;
  CFd& operator=(const CFd&) = delete;
  ~CFd() { Close(); }
  int Get() const { return fd_; }
  bool Close();

 private:
  int fd_;
};

// Writes to an open file descriptor, retrying short writes.
class CFileSink : public CByteSink {
 public:
  explicit CFileSink(int fd) : fd_(fd) {}
  bool Write(const char* data, std::size_t size) override;

 private:
  int fd_;
};

// Reads everything an open descriptor yields; sizeHint (the file's size, or 0) saves regrowing.
bool ReadWhole(int fd, std::size_t sizeHint, CByteBuffer* bytes);
bool ReadWhole(int fd, std::size_t sizeHint, std::string* bytes);

struct ReplaceRules {
  // Refuse a target or folder without write permission, even where the user could write it
  // anyway (root): such a file is meant to stay as it is.
  bool honourReadOnly = false;
};

// Creates or replaces the file `name` with what `write` puts into the sink. The bytes go to a
// temporary file in the same folder, which takes the target's place only once it is complete
// and on disk, so a failure leaves an existing file exactly as it was and nothing else behind.
// A replaced file keeps its permission bits (and, where allowed, its owner); a symbolic link
// stays a link to the replaced file; a file that another process holds locked is not replaced.
// A device or pipe is written to directly; a folder is refused.
bool ReplaceFile(const std::string& name, const std::function<bool(CByteSink&)>& write,
                 ReplaceRules rules = {});

}  // namespace vantorel
