#include "line_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "file_io.h"

namespace vantorel {

bool LoadLineArray(const std::string& name, CLineArray* lines, LineReadInfo* info) {
  if (!lines) return false;
  lines->RemoveAll();
  CFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return false;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // A file that another process is writing (and holds locked) is not read half-written.
  if (::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0) return false;
  CByteBuffer bytes;
  std::size_t hint = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
  if (!ReadWhole(fd.Get(), hint, &bytes) || !fd.Close()) return false;
  LineReadInfo read = lines->ReadLines(std::move(bytes));
  if (info) *info = read;
  return true;
}

bool SaveLineArray(const std::string& name, const CLineArray* lines, std::string_view eol) {
  if (!lines) return false;
  return ReplaceFile(name, [&](CByteSink& sink) { return lines->WriteLines(sink, eol); });
}

}  // namespace vantorel
