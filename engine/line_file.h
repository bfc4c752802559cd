#pragma once

#include <string>
#include <string_view>

#include "line_array.h"

namespace vantorel {

// Writes to an open file descriptor, retrying short writes.
class CFileSink : public CByteSink {
 public:
  explicit CFileSink(int fd) : fd_(fd) {}
  bool Write(const char* data, std::size_t size) override;

 private:
  int fd_;
};

// Loads a text file into `lines` (see CLineArray::ReadLines). False when there is no array, the
// name is no readable regular file, another process holds an advisory lock on it, or a read fails;
// `lines` is then left empty.
bool LoadLineArray(const std::string& name, CLineArray* lines, LineReadInfo* info = nullptr);

// Saves `lines`, each followed by eol, under `name`. The text goes to a temporary file in the
// same folder that replaces the target only once it is complete, so a failed save leaves an
// existing file exactly as it was and no partial file behind. A replaced file keeps its
// permission bits; a file that another process holds locked is not replaced.
bool SaveLineArray(const std::string& name, const CLineArray* lines,
                   std::string_view eol = "\r\n");

}  // namespace vantorel
