// libFuzzer target: inserting a cabinet file of arbitrary bytes.
#include <cstdlib>

#include "FuzzSupport.h"
#include "files/CabinetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.cab", data, size);
  CabinetState* state = nullptr;
  CabinetFileRead(path.c_str(), &state);
  free(state);
  fuzz::EmptyFloors(open);
  return 0;
}
