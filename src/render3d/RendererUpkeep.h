// Keeping the 3D scene in step with the plan: rebuilding one edited object, dropping the
// plane objects of one object, or all of them.
#pragma once
#include <cstdint>

#include "model/Services.h"

struct Objex;

// gRenderOnShow (the scene is stale and is rebuilt whole when the 3D window is shown) and
// gForceRenderObjectNow (rebuild an object at once even while the window is hidden) belong
// to the model (model/Services.h): lower libraries read and set them.

namespace render3d {
void ReRenderObject(Objex* object);
void DeleteRendererObject(Objex* object);
void DeleteAllRendererObjects();
}  // namespace render3d
