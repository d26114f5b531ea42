// Image files that have moved: file names looked up in the content folder.
#include "model/TexturePaths.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/ContentPaths.h"
#include "platform/PathResolver.h"

namespace {

// Bounded length of a buffer that should hold a C string of at most `size` bytes; `size` when
// no terminator lies within it (then it cannot be made a string).
size_t BoundedLength(const char* text, size_t size) {
  const void* end = std::memchr(text, '\0', size);
  return end ? static_cast<size_t>(static_cast<const char*>(end) - text) : size;
}

void CopyInto(char* buffer, const std::string& text) {
  const size_t n = text.size() < kPathBufferSize - 1 ? text.size() : kPathBufferSize - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

const char* SetPathPtrToFilename(const char* path) {
  if (!path || !path[0]) return nullptr;
  const size_t length = std::strlen(path);
  for (size_t i = length - 1; i > 0; --i)
    if (path[i] == '\\' || path[i] == '/') return path + i + 1;
  return path;
}

char* SetPathPtrToFilename(char* path) {
  return const_cast<char*>(SetPathPtrToFilename(static_cast<const char*>(path)));
}

std::string ExistingFilePath(const std::string& path) {
  if (path.empty()) return {};
  const std::string resolved = ResolvePathIgnoringCase(path);
  std::error_code ec;
  return std::filesystem::is_regular_file(resolved, ec) && !ec ? resolved : std::string();
}

std::string ContentFolderFileFor(const char* path) {
  const char* name = SetPathPtrToFilename(path);
  const std::string folder = LocalDomainContentPath();
  if (!name || !name[0] || folder.empty()) return {};
  return ExistingFilePath(folder + "/" + name);
}

namespace {

// The content-folder file for a path when it fits a path buffer; a longer one cannot be
// copied in without naming some other file, so it counts as not found.
std::string ContentFolderFileFitting(const char* path) {
  std::string found = ContentFolderFileFor(path);
  if (found.size() >= kPathBufferSize) found.clear();
  return found;
}

}  // namespace

std::string NotAvailableImagePath() {
  const std::string folder = LocalDomainCustomTexturePath();
  return folder.empty() ? std::string() : folder + "/na.qtx";
}

std::string NotAvailableImagePathUpper() {
  const std::string folder = LocalDomainCustomTexturePath();
  return folder.empty() ? std::string() : folder + "/NA.QTX";
}

void Validate512Pathname(char* path) {
  if (!path || BoundedLength(path, kPathBufferSize) >= kPathBufferSize) return;
  if (!IsWin32Path(path) && !ExistingFilePath(path).empty()) return;
  const std::string found = ContentFolderFileFitting(path);
  if (!found.empty()) CopyInto(path, found);
}

int16_t VerifyOrFindFile(char* path, int16_t search, int16_t substitute) {
  if (!path || BoundedLength(path, kPathBufferSize) >= kPathBufferSize) return 0;
  if (!IsWin32Path(path) && !ExistingFilePath(path).empty()) return 1;
  if (search) {
    const std::string found = ContentFolderFileFitting(path);
    if (found.empty()) return 0;
    CopyInto(path, found);
    return 1;
  }
  if (substitute) {
    const std::string na = NotAvailableImagePathUpper();
    if (!na.empty()) CopyInto(path, na);
  }
  return 0;
}
