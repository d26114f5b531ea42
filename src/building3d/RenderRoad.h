// The road from the plan to the 3D scene: every layer, one layer, one object with its
// children, one object by its type, and one Objex turned into plane objects. While the 3D
// window is hidden the work is put off and done whole when the window shows.
#pragma once
#include <cstdint>

#include "model/Records.h"
#include "model/Types.h"

struct Layer;
struct Objex;

// gRenderOnShow and gForceRenderObjectNow (the scene is stale / build now even while hidden)
// are the model's (model/Services.h).
// Keep the scene up to date while the 3D window is hidden (set around camera tracking).
extern uint8_t gEnableBackgroundRendering;
// The renderer's memory of the last drawn strip (render3d/RenderPlaneObject reads and sets
// it); a full rebuild clears it.
extern Objex* gPrevPlaneParentObject;
extern RGBColor gPrevPlaneColor;
// Alpha (0..255) given to the glass of custom windows.
extern int16_t gWindowGlassTransparency;

// The floors the 3D scene is built from and drawn by.
inline constexpr const char* kFirstFloorName = "First Floor";
inline constexpr const char* kSecondFloorName = "Second Floor";
inline constexpr const char* kThirdFloorName = "Third Floor";

// Object fields under the names the 3D builders read them by.
// The object follows the terrain.
inline uint8_t& OnTopographyOf(Objex* o) { return o->auxFlag; }
// Alpha of custom attachment parts and of symbol parts of subtype 158.
inline int32_t& AlphaValueOf(Objex* o) { return o->extraFlags; }
// Slab thickness of floors, cut-outs and cabinets (world units).
inline float& SlabThicknessOf(Objex* o) { return o->params[2]; }

// Grows whenever the plan objects behind the scene may have changed: at every entry of the
// road (a whole rebuild, an object's rebuild) and of the renderer's upkeep (an object rebuilt
// or deleted, the whole scene deleted). Whatever is measured from the design for the 3D view
// (the cut-away's extent) may be kept while it stays the same.
uint64_t SceneObjectsChangeCount();
void NoteSceneObjectsChanged();

// Rebuilds the whole scene from "First Floor" on (every layer when there is none).
namespace building3d { void RenderAllLayers(); }
// Builds every top-level object of one visible layer.
void RenderLayer(Layer* layer);
// Deletes and rebuilds the plane objects of an object and, recursively, of its children.
namespace building3d { void RenderEntireObject(Objex* object); }
// Builds the plane objects of one plan object by its type (the caller deletes the old ones).
namespace building3d { void RenderSingleObject(Objex* object); }
// Turns one Objex (plan object or generated part) into plane objects, then its children.
void RenderObject(Objex* object);
