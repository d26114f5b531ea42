// libFuzzer target: the design-file reader on arbitrary bytes. A read may succeed or fail;
// it must never crash, over-read, leak or hang, and a failed read must leave the open
// design as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"

namespace {
ZLKDocumentModel* OpenDesign() {
  static ZLKDocumentModel* model = [] {
    auto* m = new ZLKDocumentModel;
    gCurDocument = m;
    m->itsDocState = CreateDocState();
    AppendLayerToDocument(CreateLayer("First Floor", 1, 1, nullptr));
    AppendLayerToDocument(CreateLayer("Second Floor", 1, 0, nullptr));
    AppendLayerToDocument(CreateLayer("Third Floor", 1, 0, nullptr));
    return m;
  }();
  return model;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = OpenDesign();
  gCurDocument = open;
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
