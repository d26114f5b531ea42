// libFuzzer target: opening a palette file of arbitrary bytes into the active palette.
#include "FuzzSupport.h"
#include "files/PaletteFile.h"
#include "model/Palettes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::OpenDesign();
  static DocPaletteList* palette = [] {
    DocPaletteList* p = AddNewDocPaletteList();
    if (p) p->active = 1;
    return p;
  }();
  if (!palette) return 0;
  const std::string path = fuzz::WriteInput("input.pal", data, size);
  PaletteFileOpen(path.c_str(), palette->entries);
  return 0;
}
