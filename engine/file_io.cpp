#include "file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "worker_thread.h"

namespace vantorel {
namespace {

// The file that a save really replaces: a symbolic link is followed, so the link stays a link.
std::string ResolveTarget(const std::string& name) {
  struct stat st;
  if (::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(name.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return name;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

mode_t DefaultFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

bool IsReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return true;
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace

bool CFd::Close() {
  if (fd_ < 0) return true;
  int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0;
}

bool CFileSink::Write(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t put = ::write(fd_, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

namespace {

// Reads size bytes at offset into `to`, as far as the file has them; the count read, or -1.
ssize_t ReadAt(int fd, char* to, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, to + done, size - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

// A large file whose size is known is read in two halves at once, the second by a thread of its
// own: copying the bytes, and the first touch of the memory they go to, take two cores instead
// of one. Where that cannot be done (the file cannot be read at an offset, or shrank meanwhile)
// nothing is kept and the file stays where it was, for the caller to read the usual way.
void ReadInHalves(int fd, std::size_t size, CByteBuffer* bytes) {
  const off_t start = ::lseek(fd, 0, SEEK_CUR);
  if (start < 0) return;
  const std::size_t half = size / 2;
  bytes->Resize(size);
  ssize_t later = -1;
  CWorkerThread thread;
  try {
    thread = CWorkerThread([&] {
      later = ReadAt(fd, bytes->Data() + half, size - half, start + static_cast<off_t>(half));
    });
  } catch (const std::system_error&) {
    bytes->Clear();
    return;
  }
  const ssize_t first = ReadAt(fd, bytes->Data(), half, start);
  thread.Join();
  // Reading at an offset leaves the file where it was: it moves past the bytes only when all came.
  if (first != static_cast<ssize_t>(half) || later != static_cast<ssize_t>(size - half) ||
      ::lseek(fd, start + static_cast<off_t>(size), SEEK_SET) < 0)
    bytes->Clear();
}

}  // namespace

bool ReadWhole(int fd, std::size_t sizeHint, CByteBuffer* bytes) {
  bytes->Clear();
  bytes->Reserve(sizeHint + 1);
  if (sizeHint >= CLineArray::kParallelBytes) ReadInHalves(fd, sizeHint, bytes);
  const std::size_t chunk = 1 << 20;
  for (;;) {
    std::size_t old = bytes->Size();
    // The hinted size and one byte more, to see the end without growing the buffer; only a
    // file that grew since its size was taken needs more room.
    std::size_t want = sizeHint > 0 && sizeHint >= old ? sizeHint - old + 1 : chunk;
    bytes->Resize(old + want);
    ssize_t got = ::read(fd, bytes->Data() + old, want);
    if (got < 0) {
      bytes->Resize(old);
      if (errno == EINTR) continue;
      return false;
    }
    bytes->Resize(old + static_cast<std::size_t>(got));
    if (got == 0) return true;
  }
}

bool ReadWhole(int fd, std::size_t sizeHint, std::string* bytes) {
  CByteBuffer read;
  if (!ReadWhole(fd, sizeHint, &read)) return false;
  bytes->assign(read.View());
  return true;
}

bool ReplaceFile(const std::string& name, const std::function<bool(CByteSink&)>& write,
                 ReplaceRules rules) {
  if (name.empty()) return false;
  const std::string target = ResolveTarget(name);
  const std::string folder = FolderOf(target);
  mode_t mode = DefaultFileMode();
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return false;
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or a pipe (/dev/null, /dev/stdout) is written to, never replaced.
    CFd out(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (out.Get() < 0) return false;
    CFileSink sink(out.Get());
    bool ok = write(sink);
    return out.Close() && ok;
  }
  if (exists) {
    if (rules.honourReadOnly && IsReadOnly(target)) return false;
    mode = st.st_mode & 07777;
  }
  if (rules.honourReadOnly && IsReadOnly(folder)) return false;
  // Held until the rename, so that no other locker works on the file while it is replaced.
  CFd existing(exists ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC) : -1);
  if (existing.Get() >= 0 && ::flock(existing.Get(), LOCK_EX | LOCK_NB) != 0) return false;

  std::string pattern =
      folder + "/." + target.substr(target.find_last_of('/') + 1) + ".vtrl-XXXXXX";
  std::vector<char> tempName(pattern.begin(), pattern.end());
  tempName.push_back('\0');
  CFd out(::mkstemp(tempName.data()));
  if (out.Get() < 0) return false;
  if (exists) {
    // Only root can give the file back to its owner; anyone else owns it already.
    [[maybe_unused]] int owned = ::fchown(out.Get(), st.st_uid, st.st_gid);
  }
  CFileSink sink(out.Get());
  bool ok = ::fchmod(out.Get(), mode) == 0 && write(sink) && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && ::rename(tempName.data(), target.c_str()) == 0;
  if (!ok) ::unlink(tempName.data());
  return ok;
}

}  // namespace vantorel
