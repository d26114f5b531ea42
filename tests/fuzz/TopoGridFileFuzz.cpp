// libFuzzer target: reading a topography grid file of arbitrary bytes. A refused file
// leaves the default grid; nothing crashes, over-reads, leaks or hangs.
#include <cstdio>

#include "FuzzSupport.h"
#include "files/TopoGridFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.top", data, size);
  char name[512];
  std::snprintf(name, sizeof name, "%s", path.c_str());
  ReadTopoGridFile(name);
  return 0;
}
