// The private temporary folder: where it lies and how it is made safe to use.
#include "platform/TemporaryFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
const char kBundleIdentifier[] = "com.zelkoworks.casavelt";

std::string WithoutTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}
}  // namespace

std::string ApplicationTemporaryPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/')
    return WithoutTrailingSlashes(runtime) + "/" + kBundleIdentifier;
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp && tmp[0] == '/') ? WithoutTrailingSlashes(tmp) : "/tmp";
  if (base == "/") base.clear();
  return base + "/" + kBundleIdentifier + "-" + std::to_string(unsigned(::getuid()));
}

bool CreateApplicationTemporaryFolder() { return CreatePrivateFolder(ApplicationTemporaryPath()); }

int64_t FreeBytesInFolder(const std::string& path) {
  struct statvfs fs;
  if (path.empty() || ::statvfs(path.c_str(), &fs) != 0) return -1;
  const uint64_t bytes = uint64_t(fs.f_bavail) * uint64_t(fs.f_frsize);
  return bytes > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(bytes);
}

bool CreatePrivateFolder(const std::string& path) {
  if (path.empty()) return false;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  // Check what is there now through a descriptor, so that the checks and the mode
  // change apply to the same folder.
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  if (ok && (st.st_mode & 07777) != 0700) ok = ::fchmod(fd, 0700) == 0;
  ::close(fd);
  return ok;
}
