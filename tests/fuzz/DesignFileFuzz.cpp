// libFuzzer target: the design-file reader on arbitrary bytes. A read may succeed or fail;
// it must never crash, over-read, leak or hang, and a failed read must leave the open
// design as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/DocumentModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  Layer* layersBefore = open->itsLayers;
  SetInputBuffer(data, size);
  ZLKDocumentModel fresh;
  bool ok = ReadDesignIntoModel(&fresh);
  ReleaseInputBuffer();
  ReleaseModelContents(&fresh);
  gCurDocument = open;
  if (open->itsLayers != layersBefore) abort();
  (void)ok;
  return 0;
}
