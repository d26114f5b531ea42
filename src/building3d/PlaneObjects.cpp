// Creating, linking and freeing plane objects and planes, and the scene list.
#include "building3d/PlaneObjects.h"

PlaneObject* gGLPlaneObjects = nullptr;
PlaneObject* gGLPlaneObjectsTail = nullptr;
PlaneObject* gCurPlaneObject = nullptr;
Objex* gBase2DObject = nullptr;
Objex* gActual3DObject = nullptr;
uint8_t gDisableRenderInterrupt = 0;
uint8_t gRenderDirty = 0;
