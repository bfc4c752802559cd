#include "ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// O_NONBLOCK keeps a named pipe from blocking the open; it does not change how a regular file
// reads.
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

bool IsRegularFile(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool IsMissing(int error) {
  return error == ENOENT || error == ENOTDIR;
}

bool ReadAll(int fd, std::string* bytes) {
  char chunk[1 << 14];
  for (;;) {
    ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    bytes->append(chunk, static_cast<std::size_t>(got));
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// The file that a write really replaces: a symbolic link is followed, so the link stays a link.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
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

// A file or folder without any write permission bit counts as read-only even for a user whose
// access ignores the bits (root), as the read-only attribute does on Windows.
bool IsReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return true;
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace

bool IsReadableFile(const std::string& path) {
  CFd fd(OpenForReading(path));
  return fd.Get() >= 0 && IsRegularFile(fd.Get());
}

std::optional<CIniDocument> LoadIniFile(const std::string& path) {
  if (path.empty()) return CIniDocument();
  CFd fd(OpenForReading(path));
  if (fd.Get() < 0) {
    if (IsMissing(errno)) return CIniDocument();
    return std::nullopt;
  }
  std::string bytes;
  if (!IsRegularFile(fd.Get()) || !ReadAll(fd.Get(), &bytes)) return std::nullopt;
  return CIniDocument(bytes);
}

bool SaveIniFile(const std::string& path, const CIniDocument& document) {
  if (path.empty()) return false;
  const std::string target = ResolveTarget(path);
  mode_t mode = DefaultFileMode();
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (!S_ISREG(st.st_mode) || IsReadOnly(target)) return false;
    mode = st.st_mode & 07777;
  }
  const std::string folder = FolderOf(target);
  if (IsReadOnly(folder)) return false;
  std::string base = target.substr(target.find_last_of('/') + 1);
  std::string pattern = folder + "/." + base + ".vtrl-XXXXXX";
  std::vector<char> tempName(pattern.begin(), pattern.end());
  tempName.push_back('\0');
  CFd out(::mkstemp(tempName.data()));
  if (out.Get() < 0) return false;
  if (exists) {
    // Only root can give the file back to its owner; anyone else owns it already.
    [[maybe_unused]] int owned = ::fchown(out.Get(), st.st_uid, st.st_gid);
  }
  bool ok = ::fchmod(out.Get(), mode) == 0 && WriteAll(out.Get(), document.ToBytes()) &&
            ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && ::rename(tempName.data(), target.c_str()) == 0;
  if (!ok) ::unlink(tempName.data());
  return ok;
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultText, const std::string& path) {
  return LoadIniFile(path).value_or(CIniDocument()).ReadString(section, key, defaultText);
}

std::int32_t ReadProfileInt(std::string_view section, std::string_view key,
                            std::int32_t defaultValue, const std::string& path) {
  return LoadIniFile(path).value_or(CIniDocument()).ReadInt(section, key, defaultValue);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
  std::optional<CIniDocument> document = LoadIniFile(path);
  if (!document || !document->WriteString(section, key, value)) return false;
  return SaveIniFile(path, *document);
}

}  // namespace vantorel
