// File access that neither follows symbolic links where that matters nor leaves
// half-written files behind: no-follow opens, an atomic writer and a whole-file reader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// open(2) with O_NOFOLLOW and O_CLOEXEC added; -1 when the last component is a
// symbolic link or the open fails.
int OpenNoFollow(const std::string& path, int flags, mode_t mode = 0600);

// fopen(3) without following a symbolic link in the last component. `mode` is one of
// "r", "w", "a", "r+", "w+", "a+" with an optional "b"; files are created 0600.
// Null on failure.
FILE* FOpenNoFollow(const std::string& path, const char* mode);

// Replaces the file at `path` with `size` bytes: writes a temporary file in the same
// folder, flushes it to disk and renames it over the old one. Returns false on any
// failure (see LastFileFailure); the old file is then left as it was. A file that exists
// keeps its permission bits; a new one gets 0666 less the umask. A file the user
// write-protected is refused (kReadOnlyFile), not replaced. Temporary files that crashed
// saves left beside `path` are removed before the first save of `path` in each run
// (RemoveAbandonedSaveFiles). Without `durable` nothing is flushed to disk (private scratch
// files): the replacement is still atomic, but a system crash may lose the new contents.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool durable = true);
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// The same replacement with the bytes handed over in pieces as they are made: `begin` makes
// the temporary file (false, the failure noted, when it cannot be made or the file may not be
// replaced), `append` adds to it, `commit` puts it in place of the file (false, noted, when
// any step failed; the temporary file is then gone). An uncommitted write is abandoned, its
// temporary file removed, when the writer goes or begins again.
class AtomicFileWrite {
 public:
  AtomicFileWrite() = default;
  AtomicFileWrite(const AtomicFileWrite&) = delete;
  AtomicFileWrite& operator=(const AtomicFileWrite&) = delete;
  ~AtomicFileWrite() { abandon(); }
  bool begin(const std::string& path, bool durable = true);
  void append(const void* data, size_t size);
  bool commit();
  void abandon();

 private:
  void step(bool done);
  std::string path_, tempPath_;
  int fd_ = -1;
  bool durable_ = true;
  bool ok_ = true;
  int error_ = 0;
};

// Reads a whole regular file into `bytes`. Returns false (and leaves `bytes` empty)
// when the file is missing, not a regular file, unreadable or longer than `maxBytes`.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                   size_t maxBytes = size_t(1) << 30);

// Why the last open, read or write of this layer (on this thread) failed.
enum class FileFailure {
  kNone,
  kNotFound,          // no such file or folder
  kNotAFile,          // a folder, device, FIFO or link where a file was expected
  kPermissionDenied,  // the file or its folder may not be read or written
  kTooLarge,          // longer than the reader accepts
  kRefusedHeader,     // the first bytes are not those of the expected kind of file
  kDiskFull,          // no space left (or quota used up)
  kReadOnlyFile,      // the file is write-protected
  kReadOnlyDisk,      // the disk or mount is read-only
  kOther
};
FileFailure LastFileFailure();

// How the reading routines treat a file: whether symbolic links are followed and whether
// the file must belong to the user (for files in our private folders).
struct FileReadRules {
  bool followLinks = true;
  bool mustBeOwnedByUser = false;
};

// What a head check makes of the first `size` bytes of a file of `fileSize` bytes: accept it
// (the rest is read), refuse it, or look further first: kMore with *wanted set beyond `size`
// calls the check again with the first *wanted bytes (the whole file when it is shorter), so
// that what a file's first records claim can be checked against its size before the rest
// of it is read.
enum class HeadAnswer { kAccept, kRefuse, kMore };
using FileHeadCheck = HeadAnswer (*)(const uint8_t* head, size_t size, uint64_t fileSize, size_t* wanted);

// Reads a regular file in steps: first its leading `headBytes` bytes (the whole file when
// shorter), which `acceptHead` checks (asking for more of them, up to kMaxHeadBytes, as it
// needs); the rest is read only when it accepts them. False (and `bytes` empty) when the
// file cannot be opened or read, is not a regular file (or, by `rules`, is a link or someone
// else's), is longer than `maxBytes` or its head is refused (kRefusedHeader). A null
// `acceptHead` accepts every head.
constexpr size_t kMaxHeadBytes = size_t(1) << 20;
bool ReadFileAfterHead(const std::string& path, std::vector<uint8_t>& bytes, size_t headBytes,
                       FileHeadCheck acceptHead, size_t maxBytes,
                       const FileReadRules& rules = FileReadRules());

// Bytes whose new room is left unfilled when the vector grows (a read fills it at once):
// the whole-file readers skip a pass over every byte.
template <class T>
struct UnfilledAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UnfilledAllocator<U>;
  };
  UnfilledAllocator() = default;
  template <class U>
  UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using FileBytes = std::vector<uint8_t, UnfilledAllocator<uint8_t>>;
bool ReadFileAfterHead(const std::string& path, FileBytes& bytes, size_t headBytes,
                       FileHeadCheck acceptHead, size_t maxBytes,
                       const FileReadRules& rules = FileReadRules());

// Bytes read from files through this layer since the program started; tests use it to see
// how much of a file a reader looked at.
uint64_t FileBytesReadSoFar();

// ---- Ownership of files among running copies of the program ----
// A running copy owns a file by holding an advisory lock on a file of its own: the lock
// goes away with the process, so whatever a crashed run left behind is owned by nobody.

// Takes the lock file at `path` (created 0600, never through a link) and keeps it locked;
// the descriptor to keep open, or -1 when the file cannot be created or another copy holds it.
int HoldOwnershipLock(const std::string& path);
// Gives the lock up and removes its file.
void DropOwnershipLock(int fd, const std::string& path);
// Whether a running copy (this one included) holds a lock on the file at `path`.
bool IsHeldByRunningCopy(const std::string& path);

// Removes the temporary files a crashed save left beside `path` (".<name>.XXXXXXXX.tmp",
// regular files of the user that no running save holds). Returns how many were removed.
int RemoveAbandonedSaveFiles(const std::string& path);
