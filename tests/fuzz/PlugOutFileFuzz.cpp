// libFuzzer target: merging a plug-out file of arbitrary bytes into a design holding objects
// that its replacements and removals can name.
#include "FuzzSupport.h"
#include "files/ByteStream.h"
#include "files/PlugOutFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  RGBColor black{};
  for (Layer* l = open->itsLayers; l; l = l->next) {
    Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    if (!o) continue;
    for (float x : {0.0f, 50.0f})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, l);
  }
  SetInputBuffer(data, size);
  PlugOutReadLoaded(false);
  ReleaseInputBuffer();
  fuzz::EmptyFloors(open);
  return 0;
}
