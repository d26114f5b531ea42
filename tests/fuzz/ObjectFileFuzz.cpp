// libFuzzer target: inserting an object file of arbitrary bytes.
#include "FuzzSupport.h"
#include "files/ObjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.obj", data, size);
  ObjectFileRead(path.c_str());
  fuzz::EmptyFloors(open);
  return 0;
}
