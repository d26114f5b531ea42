// libFuzzer target: reading an exchange file of arbitrary bytes as the design.
#include "FuzzSupport.h"
#include "files/PlugInFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("data.qxf", data, size);
  PlugInFileRead(path.c_str(), 131);
  fuzz::EmptyFloors(open);
  return 0;
}
