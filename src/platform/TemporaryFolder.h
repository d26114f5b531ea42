// The application's private temporary folder, where undo snapshots and exchange
// files live.
#pragma once
#include <cstdint>
#include <string>

// $XDG_RUNTIME_DIR/com.zelkoworks.casavelt, or, without a usable runtime folder,
// <temp>/com.zelkoworks.casavelt-<uid>. Does not create the folder.
std::string ApplicationTemporaryPath();

// Creates ApplicationTemporaryPath() (see CreatePrivateFolder).
bool CreateApplicationTemporaryFolder();

// Bytes the user may still write in the file system of the folder at `path`; -1 when that
// cannot be told.
int64_t FreeBytesInFolder(const std::string& path);

// Makes sure `path` is a folder of ours, mode 0700: creates it when missing. Refuses
// (false) a symbolic link, something that is not a folder, a folder of another user
// and one that others may write to; a folder of ours that others may only read or
// enter is narrowed to 0700.
bool CreatePrivateFolder(const std::string& path);
