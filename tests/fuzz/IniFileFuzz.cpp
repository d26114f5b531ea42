// libFuzzer target: looking keys up in an INI file of arbitrary bytes (catalogues,
// descriptors, style files).
#include <cstring>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("input.ini", data, size);
  char value[256];
  static const char* const kLookups[][2] = {
      {"Style", "Object2D"}, {"Size", "Width"}, {"Opacity", "Alpha"}, {"", ""}, {"a", "b"}};
  for (const auto& lookup : kLookups) {
    GetPrivateProfileString(lookup[0], lookup[1], "default", value, sizeof value, path.c_str());
    if (strlen(value) >= sizeof value) abort();
    GetPrivateProfileInt(lookup[0], lookup[1], -7, path.c_str());
  }
  GetPrivateProfileString("Size", "Width", "", value, 1, path.c_str());
  return 0;
}
