// libFuzzer target: pasting a private clipboard scrap of arbitrary bytes. A damaged scrap
// adds nothing; nothing crashes, over-reads, leaks or hangs.
#include <cstring>

#include "FuzzSupport.h"
#include "files/Clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  FreeScrap();
  if (size) {
    gStream.privateScrap = static_cast<uint8_t*>(malloc(size));
    if (!gStream.privateScrap) return 0;
    memcpy(gStream.privateScrap, data, size);
    gStream.scrapLength = static_cast<uint32_t>(size);
  }
  gClipboardDoc = open;
  gClipboardDocID = open->itsDocID;
  DoPasteObjects();
  FreeScrap();
  fuzz::EmptyFloors(open);
  return 0;
}
