// No-follow opens, the atomic file writer and the whole-file reader (POSIX).
#include "platform/FileIO.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <unordered_set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local FileFailure sLastFailure = FileFailure::kNone;
std::atomic<uint64_t> sBytesRead{0};

FileFailure FailureOf(int error) {
  switch (error) {
    case ENOENT: case ENOTDIR: return FileFailure::kNotFound;
    case EACCES: case EPERM: return FileFailure::kPermissionDenied;
    case ENOSPC: case EDQUOT: return FileFailure::kDiskFull;
    case EROFS: return FileFailure::kReadOnlyDisk;
    case EISDIR: case ELOOP: case ENXIO: return FileFailure::kNotAFile;
    case EFBIG: return FileFailure::kTooLarge;
    default: return FileFailure::kOther;
  }
}

bool Fail(FileFailure failure) {
  sLastFailure = failure;
  return false;
}

bool FailWithErrno() { return Fail(FailureOf(errno)); }

// Reads exactly n bytes unless the file ends first; the count read, or -1 on an error.
ssize_t ReadUpTo(int fd, uint8_t* p, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::read(fd, p + done, n - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += size_t(r);
    sBytesRead += uint64_t(r);
  }
  return ssize_t(done);
}

// Whether the open file is a regular file of the user.
bool IsOwnRegularFile(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

// Whether the descriptor still names the file at `path` (no one removed or replaced it
// between the open and the lock).
bool StillNamedBy(int fd, const std::string& path) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 && open.st_nlink > 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

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

const char kTempDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// The name part of the temporary files of a save target.
std::string TempBaseOf(const std::string& path) {
  std::string base = NameOf(path);
  if (base.size() > 200) base.resize(200);
  return base;
}

// Whether `name` is ".<base>.XXXXXXXX.tmp" with eight of our digits.
bool IsTempNameOf(const std::string& name, const std::string& base) {
  const std::string head = "." + base + ".", tail = ".tmp";
  if (name.size() != head.size() + 8 + tail.size()) return false;
  if (name.compare(0, head.size(), head) != 0) return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  for (size_t i = head.size(); i < head.size() + 8; ++i)
    if (!std::strchr(kTempDigits, name[i]) || name[i] == 0) return false;
  return true;
}

// Creates a fresh temporary file next to `path` and locks it for the life of the save, so
// that other running copies leave it alone; O_EXCL never opens an existing file or link.
int CreateSiblingTemp(const std::string& path, std::string& tempPath) {
  static std::mt19937_64 rng{std::random_device{}()};
  std::string folder = FolderOf(path);
  std::string base = TempBaseOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kTempDigits[rng() % 36];
    tempPath = folder + "/." + base + "." + suffix + ".tmp";
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno != EEXIST) return -1;
      continue;
    }
    int locked;
    do {
      locked = ::flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    // Another copy tidying the folder may have taken it for a leftover before the lock. (A
    // file system without locks still gets its save; its leftovers are then kept.)
    if (StillNamedBy(fd, tempPath)) return fd;
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

// Leftovers of crashed saves come only from earlier runs: one look per target and run is
// enough, and keeps frequent writes of the same file (undo snapshots) from scanning the folder.
void TidyBeforeFirstSave(const std::string& path) {
  static std::mutex mutex;
  static std::unordered_set<std::string> tidied;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!tidied.insert(path).second) return;
  }
  RemoveAbandonedSaveFiles(path);
}

// Whether the file at `path` is write-protected for the user: no write bit at all, or
// not writable for the user.
bool IsWriteProtected(const struct stat& st, const std::string& path) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
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

FileFailure LastFileFailure() { return sLastFailure; }

uint64_t FileBytesReadSoFar() { return sBytesRead.load(); }

bool AtomicFileWrite::begin(const std::string& path, bool durable) {
  abandon();
  sLastFailure = FileFailure::kNone;
  ok_ = true;
  error_ = 0;
  durable_ = durable;
  if (path.empty()) return Fail(FileFailure::kOther);
  struct stat old;
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return Fail(FileFailure::kNotAFile);
  // A file the user write-protected is not replaced behind their back.
  if (exists && S_ISREG(old.st_mode) && IsWriteProtected(old, path))
    return Fail(FileFailure::kReadOnlyFile);
  TidyBeforeFirstSave(path);
  fd_ = CreateSiblingTemp(path, tempPath_);
  if (fd_ < 0) return FailWithErrno();
  path_ = path;
  if (exists && S_ISREG(old.st_mode)) step(::fchmod(fd_, old.st_mode & 07777) == 0);
  return true;
}

void AtomicFileWrite::step(bool done) {
  if (ok_ && !done) {
    ok_ = false;
    error_ = errno;
  }
}

void AtomicFileWrite::append(const void* data, size_t size) {
  if (fd_ < 0 || !ok_ || size == 0) return;
  step(WriteAll(fd_, static_cast<const uint8_t*>(data), size));
}

bool AtomicFileWrite::commit() {
  if (fd_ < 0) return Fail(FileFailure::kOther);
  const int fd = fd_;
  fd_ = -1;
  if (ok_ && durable_) step(::fsync(fd) == 0);
  if (ok_) step(::close(fd) == 0);
  else ::close(fd);
  if (ok_) step(::rename(tempPath_.c_str(), path_.c_str()) == 0);
  if (!ok_) {
    ::unlink(tempPath_.c_str());
    return Fail(FailureOf(error_));
  }
  if (!durable_) return true;
  // Make the rename itself durable; the data is already safe if this fails.
  int dirFd = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

void AtomicFileWrite::abandon() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(tempPath_.c_str());
  fd_ = -1;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool durable) {
  sLastFailure = FileFailure::kNone;
  if (path.empty() || (size > 0 && !data)) return Fail(FileFailure::kOther);
  AtomicFileWrite write;
  if (!write.begin(path, durable)) return false;
  write.append(data, size);
  return write.commit();
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
  return ReadFileAfterHead(path, bytes, 0, nullptr, maxBytes);
}

namespace {
template <class Bytes>
bool ReadFileAfterHeadInto(const std::string& path, Bytes& bytes, size_t headBytes,
                           FileHeadCheck acceptHead, size_t maxBytes, const FileReadRules& rules) {
  bytes.clear();
  sLastFailure = FileFailure::kNone;
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
  int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (rules.followLinks ? 0 : O_NOFOLLOW);
  int fd;
  do {
    fd = ::open(path.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return FailWithErrno();
  auto refuse = [&](FileFailure failure) {
    ::close(fd);
    Bytes().swap(bytes);
    return Fail(failure);
  };
  struct stat st;
  if (::fstat(fd, &st) != 0) return refuse(FailureOf(errno));
  if (!S_ISREG(st.st_mode)) return refuse(FileFailure::kNotAFile);
  if (rules.mustBeOwnedByUser && st.st_uid != ::geteuid())
    return refuse(FileFailure::kPermissionDenied);
  if (uint64_t(st.st_size) > maxBytes) return refuse(FileFailure::kTooLarge);

  // The head first: a file of the wrong kind costs no more than these bytes.
  const size_t expected = size_t(st.st_size);
  bytes.resize(std::min(headBytes, expected));
  ssize_t n = ReadUpTo(fd, bytes.data(), bytes.size());
  if (n < 0) return refuse(FailureOf(errno));
  bytes.resize(size_t(n));
  while (acceptHead) {
    size_t wanted = 0;
    const HeadAnswer answer = acceptHead(bytes.data(), bytes.size(), uint64_t(st.st_size), &wanted);
    if (answer == HeadAnswer::kAccept) break;
    // A check that asks for no more than it saw, or for more than the file holds once it saw
    // it all, has refused.
    const size_t have = bytes.size();
    if (answer == HeadAnswer::kRefuse || wanted <= have || wanted > kMaxHeadBytes || have >= expected)
      return refuse(FileFailure::kRefusedHeader);
    bytes.resize(std::min(wanted, expected));
    n = ReadUpTo(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0) return refuse(FailureOf(errno));
    bytes.resize(have + size_t(n));
    if (size_t(n) == 0) return refuse(FileFailure::kRefusedHeader);  // shrank meanwhile
  }

  // The rest straight into its place in the one buffer; then whatever the file grew by since
  // the size was taken.
  size_t have = bytes.size();
  if (expected > have) {
    bytes.resize(expected);
    n = ReadUpTo(fd, bytes.data() + have, expected - have);
    if (n < 0) return refuse(FailureOf(errno));
    have += size_t(n);
    bytes.resize(have);
  }
  // Usually nothing more: a file that grew meanwhile is read to its end, within the limit.
  uint8_t chunk[4096];
  for (;;) {
    n = ReadUpTo(fd, chunk, sizeof chunk);
    if (n < 0) return refuse(FailureOf(errno));
    if (n == 0) break;
    if (bytes.size() + size_t(n) > maxBytes) return refuse(FileFailure::kTooLarge);  // grew
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  ::close(fd);
  return true;
}
}  // namespace

bool ReadFileAfterHead(const std::string& path, std::vector<uint8_t>& bytes, size_t headBytes,
                       FileHeadCheck acceptHead, size_t maxBytes, const FileReadRules& rules) {
  return ReadFileAfterHeadInto(path, bytes, headBytes, acceptHead, maxBytes, rules);
}

bool ReadFileAfterHead(const std::string& path, FileBytes& bytes, size_t headBytes,
                       FileHeadCheck acceptHead, size_t maxBytes, const FileReadRules& rules) {
  return ReadFileAfterHeadInto(path, bytes, headBytes, acceptHead, maxBytes, rules);
}

int HoldOwnershipLock(const std::string& path) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = OpenNoFollow(path, O_RDWR | O_CREAT, 0600);
    if (fd < 0) return -1;
    if (!IsOwnRegularFile(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return -1;
    }
    if (StillNamedBy(fd, path)) return fd;
    ::close(fd);  // removed as a leftover between the open and the lock: make it again
  }
  return -1;
}

void DropOwnershipLock(int fd, const std::string& path) {
  if (fd < 0) return;
  ::unlink(path.c_str());
  ::close(fd);
}

bool IsHeldByRunningCopy(const std::string& path) {
  int fd = OpenNoFollow(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

int RemoveAbandonedSaveFiles(const std::string& path) {
  const std::string base = TempBaseOf(path);
  if (base.empty()) return 0;
  DIR* dir = ::opendir(FolderOf(path).c_str());
  if (!dir) return 0;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir))
    if (IsTempNameOf(entry->d_name, base)) names.push_back(entry->d_name);
  int removed = 0;
  for (const std::string& name : names) {
    int fd = ::openat(::dirfd(dir), name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    // Locked while removed, so that no save can take it up in between.
    if (IsOwnRegularFile(fd) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::unlinkat(::dirfd(dir), name.c_str(), 0) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}
