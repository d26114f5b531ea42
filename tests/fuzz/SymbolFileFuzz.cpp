// libFuzzer target: reading a 2D symbol file of arbitrary bytes into a symbol.
#include <cstdlib>

#include "FuzzSupport.h"
#include "files/SymbolFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.qtm", data, size);
  auto* symbol = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  if (!symbol) return 0;
  symbol->type = 55;  // a symbol kind placed by its back edge
  Symbol2DFileRead(path.c_str(), symbol);
  DeleteSymbolObject(symbol);
  return 0;
}
