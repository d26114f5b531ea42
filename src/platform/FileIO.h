// File access that neither follows symbolic links where that matters nor leaves
// half-written files behind: no-follow opens, an atomic writer and a whole-file reader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/types.h>
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
// failure; the old file is then left as it was. A file that exists keeps its
// permission bits; a new one gets 0666 less the umask.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Reads a whole regular file into `bytes`. Returns false (and leaves `bytes` empty)
// when the file is missing, not a regular file, unreadable or longer than `maxBytes`.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                   size_t maxBytes = size_t(1) << 30);
