// Keeping the 3D scene in step with the plan: rebuilding one edited object, dropping the
// plane objects of one object, or all of them.
#pragma once
#include <cstdint>

struct Objex;

// gRenderOnShow: the scene is stale and is rebuilt whole when the 3D window is shown.
// gForceRenderObjectNow: rebuild an object at once even while the window is hidden.
// Both are declared in model/PendingServices.h (lower libraries read and set them).
extern uint8_t gRenderOnShow;
extern uint8_t gForceRenderObjectNow;

void ReRenderObject(Objex* object);
void DeleteRendererObject(Objex* object);
void DeleteAllRendererObjects();
