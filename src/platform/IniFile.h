// Reader of INI-style text files (catalogues, information files, descriptors) with
// the GetPrivateProfileString / GetPrivateProfileInt calling convention.
#pragma once
#include <cstdint>

// Copies the value of `key` in `[section]` of the file at `path` into `buffer` and
// returns its length. The buffer first receives `defaultText`; it keeps it (result 0)
// when the file, section or key is missing. Texts longer than size - 1 are cut.
// Returns 0 without touching the buffer unless every pointer is given and
// 0 < size < 4096.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                                 char* buffer, uint32_t size, const char* path);

// The leading decimal integer of the value of `key` in `[section]` (0 when the value
// does not begin with a number); `defaultValue` when the file, section or key is missing.
int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t defaultValue,
                             const char* path);
