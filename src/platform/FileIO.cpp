// No-follow opens, the atomic file writer and the whole-file reader (POSIX).
#include "platform/FileIO.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= size_t(w);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a fresh temporary file next to `path`; O_EXCL never opens an existing
// file or link.
int CreateSiblingTemp(const std::string& path, std::string& tempPath) {
  static std::mt19937_64 rng{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string folder = FolderOf(path);
  std::string base = NameOf(path);
  if (base.size() > 200) base.resize(200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kDigits[rng() % 36];
    tempPath = folder + "/." + base + "." + suffix + ".tmp";
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

int OpenNoFollow(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

FILE* FOpenNoFollow(const std::string& path, const char* mode) {
  if (!mode || !*mode) return nullptr;
  bool plus = std::strchr(mode, '+') != nullptr;
  int flags;
  switch (mode[0]) {
    case 'r': flags = plus ? O_RDWR : O_RDONLY; break;
    case 'w': flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: return nullptr;
  }
  int fd = OpenNoFollow(path, flags, 0600);
  if (fd < 0) return nullptr;
  FILE* f = ::fdopen(fd, mode);
  if (!f) ::close(fd);
  return f;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  if (path.empty() || (size > 0 && !data)) return false;
  std::string tempPath;
  int fd = CreateSiblingTemp(path, tempPath);
  if (fd < 0) return false;

  bool ok = true;
  struct stat old;
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, static_cast<const uint8_t*>(data), size);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tempPath.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  // Make the rename itself durable; the data is already safe if this fails.
  int dirFd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
  bytes.clear();
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) > maxBytes) {
    ::close(fd);
    return false;
  }
  bytes.reserve(size_t(st.st_size));
  uint8_t chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) {
      ::close(fd);
      return true;
    }
    if (bytes.size() + size_t(n) > maxBytes) break;  // grew while being read
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  ::close(fd);
  bytes.clear();
  return false;
}
