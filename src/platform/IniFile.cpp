// INI lookup: the first "key=value" line of the first "[section]", case ignored.
// Files are untrusted: lines are read into a fixed buffer, longer lines are split.
#include "platform/IniFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kLineSize = 4096;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Trims in place; returns the start of the trimmed text.
template <typename Pred>
char* Trim(char* s, Pred pred) {
  while (*s && pred(*s)) ++s;
  size_t n = std::strlen(s);
  while (n > 0 && pred(s[n - 1])) s[--n] = '\0';
  return s;
}

// Copies `text` with blanks and tabs trimmed from both ends into `out`, cut to fit.
void CopyTrimmedName(const char* text, char* out, size_t outSize) {
  while (*text && IsBlank(*text)) ++text;
  size_t n = std::strlen(text);
  while (n > 0 && IsBlank(text[n - 1])) --n;
  if (n > outSize - 1) n = outSize - 1;
  std::memcpy(out, text, n);
  out[n] = '\0';
}

// Opens a regular file for reading; a FIFO or device could block or never end.
FILE* OpenRegularFile(const char* path) {
  int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  FILE* f = ::fdopen(fd, "r");
  if (!f) ::close(fd);
  return f;
}

// Splits an entry line the way strtok with the delimiter "=" would: leading "=" are
// skipped, the key runs to the next "=", the value from there (again past any "=")
// to the following "=" or the end. False when there is no value token.
bool SplitEntry(char* line, char** key, char** value) {
  while (*line == '=') ++line;
  if (!*line) return false;
  char* eq = std::strchr(line, '=');
  if (!eq) return false;
  *eq = '\0';
  char* v = eq + 1;
  while (*v == '=') ++v;
  if (!*v) return false;
  char* end = std::strchr(v, '=');
  if (end) *end = '\0';
  *key = line;
  *value = v;
  return true;
}

// Reads the first section named `section` (blanks around the name ignored, case too) from the
// open file, one line at a time, and hands each entry's key and value, trimmed, to `entry` until
// it returns false or the section ends. *bytes counts the bytes read; reading stops once they
// pass maxBytes.
template <typename OnEntry>
void ReadSectionEntries(FILE* f, const char* section, size_t maxBytes, size_t* bytes, OnEntry entry) {
  char sectionName[kLineSize];
  char header[kLineSize + 2];
  char line[kLineSize];
  CopyTrimmedName(section, sectionName, sizeof sectionName);
  std::snprintf(header, sizeof header, "[%s]", sectionName);
  bool inSection = false;
  while (*bytes <= maxBytes && std::fgets(line, sizeof line, f)) {
    *bytes += std::strlen(line);
    char* text = Trim(line, IsSpace);
    size_t len = std::strlen(text);
    if (len < 2) continue;
    if (!inSection) {
      inSection = strcasecmp(text, header) == 0;
      continue;
    }
    if (text[0] == '[' && text[len - 1] == ']') break;
    char* entryKey;
    char* entryValue;
    if (!SplitEntry(text, &entryKey, &entryValue)) continue;
    entryKey = Trim(entryKey, IsSpace);
    entryValue = Trim(entryValue, IsSpace);
    if (!entry(entryKey, entryValue)) break;
  }
}

enum class Lookup { kNoFile, kNotFound, kFound };

// Finds the value; on kFound it is copied (trimmed, cut to fit) into `value`.
Lookup FindValue(const char* section, const char* key, const char* path, char (&value)[kLineSize]) {
  char keyName[kLineSize];
  CopyTrimmedName(key, keyName, sizeof keyName);
  FILE* f = OpenRegularFile(path);
  if (!f) return Lookup::kNoFile;
  Lookup result = Lookup::kNotFound;
  size_t bytes = 0;
  ReadSectionEntries(f, section, SIZE_MAX, &bytes, [&](const char* entryKey, const char* entryValue) {
    if (strcasecmp(entryKey, keyName) != 0) return true;
    std::snprintf(value, sizeof value, "%s", entryValue);
    result = Lookup::kFound;
    return false;
  });
  std::fclose(f);
  return result;
}

uint32_t CopyCut(const char* text, char* buffer, uint32_t size) {
  size_t n = std::strlen(text);
  if (n > size - 1) n = size - 1;
  std::memmove(buffer, text, n);
  buffer[n] = '\0';
  return uint32_t(n);
}

}  // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                                 char* buffer, uint32_t size, const char* path) {
  if (!section || !key || !defaultText || !buffer || !path || size == 0 || size >= kLineSize)
    return 0;
  CopyCut(defaultText, buffer, size);
  char value[kLineSize];
  if (FindValue(section, key, path, value) != Lookup::kFound) return 0;
  return CopyCut(value, buffer, size);
}

int32_t GetPrivateProfileInt(const char* section, const char* key, int32_t defaultValue,
                             const char* path) {
  if (!section || !key || !path) return defaultValue;
  char value[kLineSize];
  if (FindValue(section, key, path, value) != Lookup::kFound) return defaultValue;
  long n = std::strtol(value, nullptr, 10);
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return int32_t(n);
}

bool IniSectionText::Load(const char* path, const char* section, size_t maxBytes) {
  entries.clear();
  if (!path || !section) return false;
  FILE* f = OpenRegularFile(path);
  if (!f) return false;
  struct stat st;
  if (::fstat(fileno(f), &st) != 0 || st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) {
    std::fclose(f);
    return false;
  }
  size_t bytes = 0;
  // The size is checked again while reading: the file may grow after the check.
  ReadSectionEntries(f, section, maxBytes, &bytes, [&](const char* key, const char* value) {
    entries.emplace_back(key, value);
    return true;
  });
  std::fclose(f);
  if (bytes > maxBytes) {
    entries.clear();
    return false;
  }
  return true;
}

namespace {
const std::string* FindEntry(const IniSectionText& text, const char* key) {
  char keyName[kLineSize];
  CopyTrimmedName(key, keyName, sizeof keyName);
  for (const auto& e : text.entries)
    if (strcasecmp(e.first.c_str(), keyName) == 0) return &e.second;
  return nullptr;
}
}  // namespace

uint32_t IniSectionText::GetString(const char* key, const char* defaultText, char* buffer, uint32_t size) const {
  if (!key || !defaultText || !buffer || size == 0 || size >= kLineSize) return 0;
  CopyCut(defaultText, buffer, size);
  const std::string* value = FindEntry(*this, key);
  return value ? CopyCut(value->c_str(), buffer, size) : 0;
}

int32_t IniSectionText::GetInt(const char* key, int32_t defaultValue) const {
  if (!key) return defaultValue;
  const std::string* value = FindEntry(*this, key);
  if (!value) return defaultValue;
  long n = std::strtol(value->c_str(), nullptr, 10);
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return int32_t(n);
}
