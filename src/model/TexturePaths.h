// Finding image files that have moved: the file-name part of a path, repairs of paths in the
// other platform's form (drive letter, backslashes) by looking the file name up in the content
// folder, and the not-available image that stands in for a file that cannot be found.
#pragma once
#include <cstdint>
#include <string>

// Size of the path buffers the routines below repair in place.
constexpr size_t kPathBufferSize = 512;

// The character after the last "\" or "/" of the path (the first character is never taken as
// a separator); null for a null or empty path. Points into `path`.
const char* SetPathPtrToFilename(const char* path);
char* SetPathPtrToFilename(char* path);
// The existing file a path names, whatever the case of its components; "" when none.
std::string ExistingFilePath(const std::string& path);
// Content folder, "/", the path's file name: the existing file, or "" when there is none.
std::string ContentFolderFileFor(const char* path);
// Repairs a path in a 512-byte buffer in place: a path that is not Windows-style and names an
// existing file is left alone; otherwise, when the content folder holds the file name, that
// path is copied in; else the buffer is left alone. Null: nothing.
void Validate512Pathname(char* path);
// 1 when the buffer names an existing file on return, else 0. With `search` the file name is
// looked up in the content folder (copied in when found); without it, `substitute` copies the
// not-available image's path in (and still returns 0).
int16_t VerifyOrFindFile(char* path, int16_t search, int16_t substitute);
// The not-available image of the custom texture folder, as the image loader names it
// ("na.qtx") and as VerifyOrFindFile names it ("NA.QTX").
std::string NotAvailableImagePath();
std::string NotAvailableImagePathUpper();
