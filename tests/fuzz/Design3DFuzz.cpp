// libFuzzer target: a design file of arbitrary bytes opened as the program opens it, with the
// building, openings and tools libraries serving the model: the read rebuilds walls, roofs,
// decks, stairs and their attachments, and the 3D window, shown, then builds the plane
// objects of every floor. No input may crash, over-read, leak, hang or run out of memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "building3d/Building3DServices.h"
#include "building3d/PlaneObjects.h"
#include "files/DesignFile.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "openings/OpeningsServices.h"
#include "tools/ToolsServices.h"

namespace {

void ViewBounds(int32_t* width, int32_t* height) { *width = *height = 64; }
bool Shown() { return true; }

// Frees the plane objects the 3D road built.
void FreeScene() {
  for (PlaneObject* p = gGLPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  gGLPlaneObjects = gGLPlaneObjectsTail = nullptr;
  gCurPlaneObject = nullptr;
  gBase2DObject = gActual3DObject = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // As the program installs them at start-up (the widget libraries' tables stay empty).
  InstallBuilding3DServices();
  InstallOpeningsServices();
  InstallToolsServices();
  gLiveViewHost.viewBounds = ViewBounds;
  gLiveViewHost.isVisible = Shown;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("input.pro", data, size);
  // A new design window's design: its state and the three floors.
  ZLKDocumentModel design;
  gCurDocument = &design;
  design.itsDocState = CreateDocState();
  for (const char* floor : {"First Floor", "Second Floor", "Third Floor"})
    AppendLayerToDocument(CreateLayer(floor, 1, floor[0] == 'F', nullptr));
  Layer* layersBefore = design.itsLayers;
  if (KeyFileRead(path.c_str())) {
    RenderAllLayers();
    FreeScene();
  } else if (design.itsLayers != layersBefore) {
    abort();  // a refused file leaves the open design as it was
  }
  ReleaseModelContents(&design);
  gCurDocument = nullptr;
  return 0;
}
