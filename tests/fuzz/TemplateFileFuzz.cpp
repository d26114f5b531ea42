// libFuzzer target: inserting a template file of arbitrary bytes. A refused template adds
// nothing; nothing crashes, over-reads, leaks or hangs.
#include "FuzzSupport.h"
#include "files/TemplateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.pro", data, size);
  TemplateFileRead(path.c_str());
  fuzz::EmptyFloors(open);
  return 0;
}
