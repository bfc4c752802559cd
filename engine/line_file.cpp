#include "line_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace vantorel {
namespace {

// Closes a descriptor when it goes out of scope.
class CFd {
 public:
  explicit CFd(int fd) : fd_(fd) {}
  CFd(const CFd&) = delete;
  CFd& operator=(const CFd&) = delete;
  ~CFd() { Close(); }
  int Get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

bool ReadAll(int fd, std::size_t sizeHint, std::string* bytes) {
  bytes->clear();
  bytes->reserve(sizeHint + 1);
  std::size_t chunk = 1 << 20;
  for (;;) {
    std::size_t old = bytes->size();
    std::size_t want = sizeHint > old ? sizeHint - old + 1 : chunk;
    bytes->resize(old + want);
    ssize_t got = ::read(fd, bytes->data() + old, want);
    if (got < 0) {
      bytes->resize(old);
      if (errno == EINTR) continue;
      return false;
    }
    bytes->resize(old + static_cast<std::size_t>(got));
    if (got == 0) return true;
  }
}

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

}  // namespace

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

bool LoadLineArray(const std::string& name, CLineArray* lines, LineReadInfo* info) {
  if (!lines) return false;
  lines->RemoveAll();
  CFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return false;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;
  std::string bytes;
  std::size_t hint = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
  if (!ReadAll(fd.Get(), hint, &bytes)) return false;
  if (!fd.Close()) return false;
  LineReadInfo read = lines->ReadLines(std::move(bytes));
  if (info) *info = read;
  return true;
}

bool SaveLineArray(const std::string& name, const CLineArray* lines, std::string_view eol) {
  if (!lines || name.empty()) return false;
  const std::string target = ResolveTarget(name);
  mode_t mode = DefaultFileMode();
  struct stat st;
  int lockFd = -1;
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    mode = st.st_mode & 07777;
    lockFd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
  }
  // Held until the rename, so that no other locker works on the file while it is replaced.
  CFd existing(lockFd);
  if (lockFd >= 0 && ::flock(lockFd, LOCK_EX | LOCK_NB) != 0) return false;
  std::string base = target.substr(target.find_last_of('/') + 1);
  std::string tmpl = FolderOf(target) + "/." + base + ".vtrl-XXXXXX";
  std::vector<char> tmpName(tmpl.begin(), tmpl.end());
  tmpName.push_back('\0');
  CFd out(::mkstemp(tmpName.data()));
  if (out.Get() < 0) return false;
  CFileSink sink(out.Get());
  bool ok = ::fchmod(out.Get(), mode) == 0 && lines->WriteLines(sink, eol) &&
            ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && ::rename(tmpName.data(), target.c_str()) == 0;
  if (!ok) ::unlink(tmpName.data());
  return ok;
}

}  // namespace vantorel
