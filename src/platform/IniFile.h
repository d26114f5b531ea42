// Reader of INI-style text files (catalogues, information files, descriptors) with
// the GetPrivateProfileString / GetPrivateProfileInt calling convention.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The entries of one section of an INI file read once into memory, for readers that take
// many keys of one small file. The same lookup rules as the two routines above.
struct IniSectionText {
  // Reads the first `[section]` of the file. False, with no entries, when the file is
  // missing, is not a regular file, or is larger than maxBytes (damaged or foreign files
  // then read as files without keys).
  bool Load(const char* path, const char* section, size_t maxBytes);
  // As GetPrivateProfileString (0 < size < 4096, else 0 and the buffer untouched).
  uint32_t GetString(const char* key, const char* defaultText, char* buffer, uint32_t size) const;
  // As GetPrivateProfileInt.
  int32_t GetInt(const char* key, int32_t defaultValue) const;

  // Key and trimmed value of each entry in file order (values cut to 4095 characters).
  std::vector<std::pair<std::string, std::string>> entries;
};
